// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmaltview.h"

#include "folderlists.h"
#include "mainstate.h"
#include "platform.h"
#include "prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

template <typename T>
T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

void centre(QWidget *window)
{
    window->adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

void error(QWidget *parent, const QString &text)
{
    Prompts::ask(parent, Prompts::Box{text, QStringLiteral("Error"), Prompts::Buttons::Ok,
                                      Prompts::Icon::Critical, Prompts::Default::First});
}

} // namespace

// ---- frmALTVIEW ----

frmALTVIEW &frmALTVIEW::instance(MainState &state)
{
    static frmALTVIEW *window = nullptr;
    if (window && &window->m_state != &state) {
        delete window; // another main window's state (tests make several)
        window = nullptr;
    }
    if (!window) {
        window = new frmALTVIEW(state);
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, window,
                         &QObject::deleteLater);
        QObject::connect(window, &QObject::destroyed, [] { window = nullptr; });
    }
    return *window;
}

void frmALTVIEW::offer(MainState &state, const QString &file)
{
    frmALTVIEW &window = instance(state);
    window.setFile(file);
    Prompts::exec(&window);
}

void frmALTVIEW::setFile(const QString &file)
{
    m_file = file;
    lblFILE->setText(QDir::toNativeSeparators(file));
    lblFILE->setToolTip(file);
}

frmALTVIEW::frmALTVIEW(MainState &state) : QDialog(nullptr), m_state(state)
{
    setObjectName(QStringLiteral("frmALTVIEW"));
    setWindowTitle(QStringLiteral("Vexa! - Launch external viewer"));
    lblFILE = named(new QLabel(QStringLiteral("file..."), this), "lblFILE");
    lblVIEWER = named(new QLabel(this), "lblVIEWER");
    for (QLabel *l : {lblFILE, lblVIEWER}) {
        l->setTextFormat(Qt::PlainText);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        l->setMinimumWidth(420);
    }
    cmdVIEW = named(new QPushButton(QStringLiteral("&Use..."), this), "cmdVIEW");
    cmdFIND = named(new QPushButton(QStringLiteral("&Find a Viewer"), this), "cmdFIND");
    cmdEXIT = named(new QPushButton(QStringLiteral("E&xit"), this), "cmdEXIT");
    cmdVIEW->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdVIEW);
    buttons->addWidget(cmdFIND);
    buttons->addStretch();
    buttons->addWidget(cmdEXIT);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblFILE);
    layout->addWidget(new QLabel(
        QStringLiteral("is un-readable or you have chosen to launch an external viewer..."), this));
    layout->addWidget(lblVIEWER);
    layout->addLayout(buttons);

    connect(cmdVIEW, &QPushButton::clicked, this, &frmALTVIEW::cmdVIEW_Click);
    connect(cmdFIND, &QPushButton::clicked, this, &frmALTVIEW::cmdFIND_Click);
    connect(cmdEXIT, &QPushButton::clicked, this, &frmALTVIEW::cmdEXIT_Click);
    centre(this);
}

void frmALTVIEW::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmALTVIEW::Form_Activate()
{
    lblVIEWER->setText(m_state.alternateViewer);
    refreshViewer();
}

void frmALTVIEW::refreshViewer()
{
    // Paths keep their case here: an upper-cased path would name another program.
    const QString viewer = lblVIEWER->text();
    const QString name = viewer.mid(viewer.lastIndexOf(QLatin1Char('/')) + 1);
    cmdVIEW->setText(QStringLiteral("&Use ") + name);
    m_state.alternateViewer = viewer;
}

void frmALTVIEW::cmdVIEW_Click()
{
    const QString viewer = lblVIEWER->text();
    if (viewer.trimmed().isEmpty()) {
        error(this, QStringLiteral("No viewer specified..."));
        return;
    }
    // The file is one argument as it is: spaces, quotes, "%" or a leading "-" reach the program
    // untouched, since no shell reads the command.
    if (const auto failed = Platform::services().startProgram(viewer, {m_file})) {
        error(this, QStringLiteral("Unable to launch viewer... Error ")
                        + QString::number(failed->number) + QStringLiteral(" - ")
                        + failed->description);
    }
}

void frmALTVIEW::cmdFIND_Click()
{
    frmFINDVIEW chooser(lblVIEWER->text(), this);
    if (Prompts::exec(&chooser) != QDialog::Accepted || chooser.chosen().trimmed().isEmpty())
        return;
    lblVIEWER->setText(chooser.chosen());
    refreshViewer();
}

void frmALTVIEW::cmdEXIT_Click()
{
    hide();
    setResult(QDialog::Accepted);
}

// ---- frmFINDVIEW ----

frmFINDVIEW::frmFINDVIEW(const QString &current, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFINDVIEW"));
    setWindowTitle(QStringLiteral("Find Launch Application"));
    lstDRIVE = named(new QComboBox(this), "lstDRIVE");
    lstDIR = named(new QListWidget(this), "lstDIR");
    lstFILENAME = named(new QListWidget(this), "lstFILENAME");
    chkTYPE = named(new QCheckBox(QStringLiteral("&Look for programs only"), this), "chkTYPE");
    chkTYPE->setChecked(true);
    txtFILENAME = named(new QLineEdit(this), "txtFILENAME");
    cmdACCEPT = named(new QPushButton(QStringLiteral("&Accept"), this), "cmdACCEPT");
    cmdCANCEL = named(new QPushButton(QStringLiteral("&Cancel"), this), "cmdCANCEL");
    cmdACCEPT->setDefault(true);
    for (QListWidget *list : {lstDIR, lstFILENAME})
        list->setMinimumSize(240, 260);

    auto *grid = new QGridLayout(this);
    grid->addWidget(lstDRIVE, 0, 0);
    grid->addWidget(chkTYPE, 0, 1);
    grid->addWidget(lstDIR, 1, 0);
    grid->addWidget(lstFILENAME, 1, 1);
    grid->addWidget(txtFILENAME, 2, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdACCEPT);
    buttons->addWidget(cmdCANCEL);
    grid->addLayout(buttons, 3, 0, 1, 2);

    FolderLists::fillVolumes(lstDRIVE);
    const QFileInfo program(current);
    if (current.isEmpty() || !setDirectory(program.absolutePath()))
        setDirectory(QStringLiteral("/usr/bin"));

    connect(lstDRIVE, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (!setDirectory(lstDRIVE->itemData(index).toString()))
            error(this, QStringLiteral("Device not responding..."));
    });
    connect(lstDIR, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        setDirectory(item->data(FolderLists::PathRole).toString());
    });
    connect(chkTYPE, &QCheckBox::toggled, this, &frmFINDVIEW::listFiles);
    connect(lstFILENAME, &QListWidget::currentTextChanged, this, [this](const QString &name) {
        if (!name.isEmpty())
            txtFILENAME->setText(QDir(m_current).filePath(name));
    });
    connect(lstFILENAME, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(cmdACCEPT, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    centre(this);
}

QString frmFINDVIEW::chosen() const
{
    return txtFILENAME->text();
}

bool frmFINDVIEW::setDirectory(const QString &path)
{
    const QString listed = FolderLists::listFolder(lstDIR, lstDRIVE, path);
    if (listed.isEmpty())
        return false;
    m_current = listed;
    listFiles();
    txtFILENAME->setText(QDir(m_current).filePath(lstFILENAME->currentItem()
                                                      ? lstFILENAME->currentItem()->text()
                                                      : QString()));
    return true;
}

void frmFINDVIEW::listFiles()
{
    lstFILENAME->clear();
    const QFileInfoList entries =
        QDir(m_current).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &entry : entries) {
        // Programs are the files the user may run.
        if (!chkTYPE->isChecked() || entry.isExecutable())
            lstFILENAME->addItem(entry.fileName());
    }
}
