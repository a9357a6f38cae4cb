// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmmoveit.h"

#include "folderlists.h"
#include "mainstate.h"
#include "prompts.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *namedLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

frmMOVEIT &frmMOVEIT::instance(MainState &state)
{
    static frmMOVEIT *dialog = nullptr;
    if (dialog && &dialog->m_logic.state() != &state) {
        delete dialog; // another main window's state (tests make several)
        dialog = nullptr;
    }
    if (!dialog) {
        dialog = new frmMOVEIT(state);
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, dialog,
                         &QObject::deleteLater);
        QObject::connect(dialog, &QObject::destroyed, [] { dialog = nullptr; });
    }
    return *dialog;
}

frmMOVEIT::frmMOVEIT(MainState &state) : QDialog(nullptr), m_logic(state)
{
    setObjectName(QStringLiteral("frmMOVEIT"));
    setWindowTitle(QStringLiteral("Move File"));
    lblFILENAME = namedLabel("lblFILENAME", this);
    lblFROM = namedLabel("lblFROM", this);
    lblTO = namedLabel("lblTO", this);
    lblNEWNAME = namedLabel("lblNEWNAME", this);
    lblNEWNAME->hide(); // carries the name at the destination back to the review
    lblDIR = namedLabel("lblDIR", this);
    lstDRIVE = new QComboBox(this);
    lstDRIVE->setObjectName(QStringLiteral("lstDRIVE"));
    lstDIR = new QListWidget(this);
    lstDIR->setObjectName(QStringLiteral("lstDIR"));
    lstDIR->setMinimumSize(320, 240);
    lstPATHS = new QListWidget(this);
    lstPATHS->setObjectName(QStringLiteral("lstPATHS"));
    cmdADDDIR = new QPushButton(QStringLiteral("&Move"), this);
    cmdADDDIR->setObjectName(QStringLiteral("cmdADDDIR"));
    cmdCANCEL = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCANCEL->setObjectName(QStringLiteral("cmdCANCEL"));

    auto *labels = new QFormLayout;
    labels->addRow(QStringLiteral("Move file - "), lblFILENAME);
    labels->addRow(QStringLiteral("from - "), lblFROM);
    labels->addRow(QStringLiteral("to - "), lblTO);
    auto *left = new QVBoxLayout;
    left->addWidget(lstDRIVE);
    left->addWidget(lstDIR, 1);
    left->addWidget(lblDIR);
    auto *right = new QVBoxLayout;
    right->addWidget(lstPATHS, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdADDDIR);
    buttons->addWidget(cmdCANCEL);
    right->addLayout(buttons);
    auto *lists = new QHBoxLayout;
    lists->addLayout(left, 1);
    lists->addLayout(right, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(labels);
    layout->addLayout(lists, 1);
    layout->addWidget(new QLabel(QStringLiteral("Select a directoy and click Move, or double click "
                                                "a previous directory from list..."),
                                 this));

    FolderLists::fillVolumes(lstDRIVE);
    setDirectory(m_logic.lblDIR.isEmpty() ? QDir::homePath() : m_logic.lblDIR);

    connect(lstDRIVE, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (!setDirectory(lstDRIVE->itemData(index).toString())) {
            Prompts::ask(this, Prompts::Box{QStringLiteral("Device not responding..."),
                                            QStringLiteral("Error"), Prompts::Buttons::Ok,
                                            Prompts::Icon::Critical, Prompts::Default::First});
        }
    });
    connect(lstDIR, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { setDirectory(item->data(FolderLists::PathRole).toString()); });
    connect(lstPATHS, &QListWidget::currentTextChanged, this, [this](const QString &text) {
        if (!text.isEmpty()) {
            m_logic.lblDIR = text;
            showLabels();
        }
    });
    connect(lstPATHS, &QListWidget::itemDoubleClicked, this, &frmMOVEIT::lstPATHS_DblClick);
    connect(cmdADDDIR, &QPushButton::clicked, this, &frmMOVEIT::cmdADDDIR_Click);
    connect(cmdCANCEL, &QPushButton::clicked, this, &frmMOVEIT::cmdCANCEL_Click);
}

void frmMOVEIT::prepare(const QString &fileName, const QString &from, QWidget *review)
{
    m_logic.start(fileName, from);
    showLabels();
    if (review) {
        // 100 twips in from the review window's left and bottom edges.
        adjustSize();
        const QRect r = review->frameGeometry();
        const int inset = qRound(100.0 / 15.0);
        move(r.left() + inset, qMax(0, r.bottom() - inset - frameGeometry().height()));
    }
}

MoveDialog &frmMOVEIT::run(MainState &state, const QString &fileName, const QString &from,
                           QWidget *review)
{
    frmMOVEIT &dialog = instance(state);
    dialog.prepare(fileName, from, review);
    Prompts::exec(&dialog);
    return dialog.logic();
}

bool frmMOVEIT::setDirectory(const QString &path)
{
    const QString listed = FolderLists::listFolder(lstDIR, lstDRIVE, path);
    if (listed.isEmpty())
        return false;
    m_current = listed;
    m_logic.lblDIR = MoveDialog::destinationOf(m_current);
    showLabels();
    return true;
}

void frmMOVEIT::showLabels()
{
    lblFILENAME->setText(m_logic.lblFILENAME);
    lblFROM->setText(m_logic.lblFROM);
    lblTO->setText(m_logic.lblTO);
    lblNEWNAME->setText(m_logic.lblNEWNAME);
    lblDIR->setText(m_logic.lblDIR);
    if (lstPATHS->count() != m_logic.lstPATHS.size()) {
        lstPATHS->clear();
        lstPATHS->addItems(m_logic.lstPATHS);
    }
}

void frmMOVEIT::finish(bool moved)
{
    showLabels();
    if (moved)
        accept();
}

void frmMOVEIT::cmdADDDIR_Click()
{
    finish(m_logic.cmdADDDIR_Click());
}

void frmMOVEIT::lstPATHS_DblClick()
{
    if (QListWidgetItem *item = lstPATHS->currentItem())
        finish(m_logic.lstPATHS_DblClick(item->text()));
}

void frmMOVEIT::cmdCANCEL_Click()
{
    m_logic.cmdCANCEL_Click();
    showLabels();
    QDialog::reject();
}
