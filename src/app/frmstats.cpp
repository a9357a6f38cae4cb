// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmstats.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmSTATS::frmSTATS(const QString &message, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSTATS"));
    setWindowTitle(QStringLiteral("Vexa! - DriveSpace Recovery Stats"));
    auto *layout = new QVBoxLayout(this);
    lblMSG = new QLabel(message, this);
    lblMSG->setObjectName(QStringLiteral("lblMSG"));
    chkNODISPLAY = new QCheckBox(QStringLiteral("Do &not display this message..."), this);
    chkNODISPLAY->setObjectName(QStringLiteral("chkNODISPLAY"));
    auto *ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(lblMSG);
    layout->addWidget(chkNODISPLAY);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    if (parent) {
        adjustSize();
        move(parent->geometry().center() - rect().center());
    }
}
