// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmmoveit.h"

#include "mainstate.h"
#include "platform.h"
#include "prompts.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int PathRole = Qt::UserRole + 1;

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

    QList<Platform::Volume> volumes = Platform::services().mountedVolumes();
    std::sort(volumes.begin(), volumes.end(),
              [](const Platform::Volume &a, const Platform::Volume &b) { return a.root < b.root; });
    for (const Platform::Volume &v : volumes)
        lstDRIVE->addItem(v.label.isEmpty() ? v.root : v.root + QStringLiteral("  [") + v.label + QLatin1Char(']'), v.root);
    if (lstDRIVE->findData(QStringLiteral("/")) < 0)
        lstDRIVE->insertItem(0, QStringLiteral("/"), QStringLiteral("/"));
    setDirectory(m_logic.lblDIR.isEmpty() ? QDir::homePath() : m_logic.lblDIR);

    connect(lstDRIVE, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (!setDirectory(lstDRIVE->itemData(index).toString())) {
            Prompts::ask(this, Prompts::Box{QStringLiteral("Device not responding..."),
                                            QStringLiteral("Error"), Prompts::Buttons::Ok,
                                            Prompts::Icon::Critical, Prompts::Default::First});
        }
    });
    connect(lstDIR, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { setDirectory(item->data(PathRole).toString()); });
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

bool frmMOVEIT::setDirectory(const QString &path)
{
    const QDir dir(QDir::cleanPath(QDir(path).absolutePath()));
    if (!dir.exists() || !dir.isReadable())
        return false;
    m_current = dir.path();
    lstDIR->clear();
    auto add = [this](const QString &text, const QString &target) {
        auto *item = new QListWidgetItem(text, lstDIR);
        item->setData(PathRole, target);
    };
    add(m_current, m_current);
    if (m_current != QLatin1String("/"))
        add(QStringLiteral(".."), QFileInfo(m_current).path());
    const QStringList children = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                               QDir::Name | QDir::IgnoreCase);
    for (const QString &c : children)
        add(QStringLiteral("    ") + c, dir.filePath(c));
    const int drive = lstDRIVE->findData(Platform::services().volume(m_current).root);
    if (drive >= 0)
        lstDRIVE->setCurrentIndex(drive);
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
