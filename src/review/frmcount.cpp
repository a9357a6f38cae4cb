// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmcount.h"

#include "prompts.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

frmCOUNT::frmCOUNT(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCOUNT"));
    setWindowTitle(QStringLiteral("Vexa!"));
    lblCOUNT = new QLabel(this);
    lblCOUNT->setObjectName(QStringLiteral("lblCOUNT"));
    lblCOUNT->setTextFormat(Qt::PlainText);
    lblCOUNT->setMinimumWidth(360);
    lblCOUNT->setWordWrap(true);
    cmdOK = new QPushButton(QStringLiteral("Continue"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblCOUNT);
    layout->addWidget(cmdOK, 0, Qt::AlignHCenter);
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void frmCOUNT::progress(const QString &text)
{
    cmdOK->setEnabled(false);
    lblCOUNT->setText(text);
    if (!isVisible())
        show();
    // Painting every row would cost more than counting it.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_lastPaint >= 50) {
        m_lastPaint = now;
        lblCOUNT->repaint();
    }
}

void frmCOUNT::result(const QString &text)
{
    hide();
    lblCOUNT->setText(text);
    cmdOK->setEnabled(true);
    Prompts::exec(this);
}
