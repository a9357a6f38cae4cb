// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmfindit.h"

#include "dirlist.h"
#include "mainstate.h"
#include "platform.h"
#include "programdir.h"
#include "prompts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void centreOver(QWidget *dialog, QWidget *parent)
{
    if (!parent)
        return;
    dialog->adjustSize();
    const QRect p = parent->geometry();
    dialog->move(p.left() + (p.width() - dialog->width()) / 2,
                 p.top() + (p.height() - dialog->height()) / 2);
}

constexpr int kPathRole = Qt::UserRole + 1;

} // namespace

frmFINDIT::frmFINDIT(MainState &state, QWidget *parent) : QDialog(parent), m_state(state)
{
    setObjectName(QStringLiteral("frmFINDIT"));
    setWindowTitle(QStringLiteral("Add directories"));
    lstDRIVE = new QComboBox(this);
    lstDRIVE->setObjectName(QStringLiteral("lstDRIVE"));
    lstDIR = new QListWidget(this);
    lstDIR->setObjectName(QStringLiteral("lstDIR"));
    lstDIR->setMinimumSize(380, 300);
    lblDIR = new QLabel(this);
    lblDIR->setObjectName(QStringLiteral("lblDIR"));
    lblDIR->setWordWrap(true);
    auto button = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    cmdADDDIR = button("cmdADDDIR", QStringLiteral("Add &Directory"));
    cmdADDTREE = button("cmdADDTREE", QStringLiteral("Add &Tree"));
    cmdIFCD = button("cmdIFCD", QStringLiteral("Set &Incoming Files Check Directory"));
    // Alt+I sets the directory; the tree takes a key of its own.
    cmdIFCDTREE = button("cmdIFCDTREE", QStringLiteral("Set Incoming Files Check T&ree"));
    cmdCANCEL = button("cmdCANCEL", QStringLiteral("&Exit"));

    auto *driveLabel = new QLabel(QStringLiteral("&Volume"), this);
    driveLabel->setBuddy(lstDRIVE);
    auto *dirLabel = new QLabel(QStringLiteral("F&olders"), this);
    dirLabel->setBuddy(lstDIR);
    auto *left = new QVBoxLayout;
    left->addWidget(driveLabel);
    left->addWidget(lstDRIVE);
    left->addWidget(dirLabel);
    left->addWidget(lstDIR, 1);
    left->addWidget(lblDIR);
    auto *right = new QVBoxLayout;
    for (QPushButton *b : {cmdADDDIR, cmdADDTREE, cmdIFCD, cmdIFCDTREE})
        right->addWidget(b);
    right->addStretch();
    right->addWidget(cmdCANCEL);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);

    // Volumes, with the root file system first.
    QList<Platform::Volume> volumes = Platform::services().mountedVolumes();
    std::sort(volumes.begin(), volumes.end(),
              [](const Platform::Volume &a, const Platform::Volume &b) { return a.root < b.root; });
    for (const Platform::Volume &v : volumes) {
        const QString caption = v.label.isEmpty() ? v.root : v.root + QStringLiteral("  [") + v.label + QLatin1Char(']');
        lstDRIVE->addItem(caption, v.root);
    }
    if (lstDRIVE->findData(QStringLiteral("/")) < 0)
        lstDRIVE->insertItem(0, QStringLiteral("/"), QStringLiteral("/"));

    // Start where the user last was when that is on a fixed or network volume.
    const QString last = m_state.lastDirectory;
    const Platform::DriveKind kind = Platform::services().driveKind(last);
    const bool usable = !last.isEmpty()
                        && (kind == Platform::DriveKind::Fixed || kind == Platform::DriveKind::Remote);
    if (!usable || !setDirectory(last))
        setDirectory(QDir::homePath());

    connect(lstDRIVE, qOverload<int>(&QComboBox::activated), this, &frmFINDIT::lstDRIVE_Change);
    connect(lstDIR, &QListWidget::itemActivated, this, &frmFINDIT::lstDIR_Activated);
    connect(cmdADDDIR, &QPushButton::clicked, this, &frmFINDIT::cmdADDDIR_Click);
    connect(cmdADDTREE, &QPushButton::clicked, this, &frmFINDIT::cmdADDTREE_Click);
    connect(cmdIFCD, &QPushButton::clicked, this, &frmFINDIT::cmdIFCD_Click);
    connect(cmdIFCDTREE, &QPushButton::clicked, this, &frmFINDIT::cmdIFCDTREE_Click);
    connect(cmdCANCEL, &QPushButton::clicked, this, &QDialog::accept);
    centreOver(this, parent);
}

bool frmFINDIT::setDirectory(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    QDir dir(clean);
    if (!DirList::isReadableDirectory(clean))
        return false;
    const DirList::Subdirectories children = DirList::subdirectories(clean);
    m_current = clean;
    lstDIR->clear();
    // The path from the root down to the directory, then its subdirectories indented below.
    QStringList parts = clean.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString built = QStringLiteral("/");
    auto add = [this](const QString &text, const QString &target, int depth) {
        auto *item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + text, lstDIR);
        item->setData(kPathRole, target);
        return item;
    };
    add(QStringLiteral("/"), built, 0);
    for (int i = 0; i < parts.size(); ++i) {
        built = QDir(built).filePath(parts[i]);
        add(parts[i], built, i + 1);
    }
    lstDIR->setCurrentRow(lstDIR->count() - 1);
    // A folder the dialog cannot open is shown greyed, with the reason.
    auto grey = [](QListWidgetItem *item, const QString &why) {
        item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
        item->setToolTip(why);
    };
    const int depth = int(parts.size()) + 1;
    for (const QString &c : children.names) {
        QListWidgetItem *item = add(c, dir.filePath(c), depth);
        if (!DirList::isReadableDirectory(dir.filePath(c)))
            grey(item, QStringLiteral("You have no permission to open this folder."));
    }
    for (const QString &c : children.notText) {
        grey(add(c, QString(), depth),
             QStringLiteral("This folder's name is not valid text on this system: it cannot be opened."));
    }
    lblDIR->setText(clean);
    const QString root = Platform::services().volume(clean).root;
    const int driveIndex = lstDRIVE->findData(root);
    if (driveIndex >= 0)
        lstDRIVE->setCurrentIndex(driveIndex);
    return true;
}

void frmFINDIT::lstDRIVE_Change(int index)
{
    const QString root = lstDRIVE->itemData(index).toString();
    if (!setDirectory(root)) {
        Prompts::ask(this, Prompts::Box{QStringLiteral("Device not responding..."),
                                        QStringLiteral("Error"), Prompts::Buttons::Ok,
                                        Prompts::Icon::Critical, Prompts::Default::First});
        const int back = lstDRIVE->findData(Platform::services().volume(m_current).root);
        if (back >= 0)
            lstDRIVE->setCurrentIndex(back);
    }
}

void frmFINDIT::lstDIR_Activated(QListWidgetItem *item)
{
    if (m_busy || !item || !(item->flags() & Qt::ItemIsEnabled))
        return;
    const QString path = item->data(kPathRole).toString();
    if (!setDirectory(path)) {
        Prompts::message(this, QDir::toNativeSeparators(path)
                                   + QStringLiteral("\n\nThis folder cannot be opened: you have no "
                                                    "permission to read it, or it is gone."),
                         Prompts::Icon::Information, QStringLiteral("Vexa! - Add directories"));
    }
}

void frmFINDIT::setBusy(bool busy)
{
    m_busy = busy;
    for (QWidget *w : std::initializer_list<QWidget *>{lstDRIVE, lstDIR, cmdADDDIR, cmdADDTREE,
                                                       cmdIFCD, cmdIFCDTREE, cmdCANCEL})
        w->setEnabled(!busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void frmFINDIT::cmdADDDIR_Click()
{
    DirList::AddListEntry(m_state, m_current);
}

void frmFINDIT::cmdADDTREE_Click()
{
    addTree();
}

bool frmFINDIT::addTree()
{
    // The walk may take long on a big tree: the window keeps painting meanwhile, with its
    // buttons and pickers disabled.
    setBusy(true);
    const bool added = DirList::AddTree(m_state, m_current, [] {
        QCoreApplication::processEvents();
        return true;
    });
    setBusy(false);
    return added;
}

void frmFINDIT::cmdIFCD_Click()
{
    if (DirList::AddListEntry(m_state, m_current).isEmpty())
        return;
    m_state.ifcd = DirList::entryFor(m_current);
    m_state.setChecked(MainState::Check::TreeModeIfcd, false);
    m_state.listEdited = true;
    m_state.notifyChanged();
}

void frmFINDIT::cmdIFCDTREE_Click()
{
    if (!addTree())
        return;
    m_state.ifcd = DirList::entryFor(m_current);
    m_state.setChecked(MainState::Check::TreeModeIfcd, true);
    m_state.listEdited = true;
    m_state.notifyChanged();
}

void frmFINDIT::done(int result)
{
    if (m_busy)
        return; // the tree walk finishes first
    m_state.lastDirectory = m_current;
    QDialog::done(result);
}

// ---- frmLOADSAVE ----

frmLOADSAVE::frmLOADSAVE(MainState &state, Action action, QWidget *parent)
    : QDialog(parent), m_state(state), m_action(action)
{
    setObjectName(QStringLiteral("frmLOADSAVE"));
    setWindowTitle(QStringLiteral("Load / Save Directory list"));
    auto *layout = new QGridLayout(this);
    auto *prompt = new QLabel(QStringLiteral("&Enter a list name or select one from the list of previous..."), this);
    layout->addWidget(prompt, 0, 0, 1, 2);
    txtFILENAME = new QLineEdit(this);
    txtFILENAME->setObjectName(QStringLiteral("txtFILENAME"));
    prompt->setBuddy(txtFILENAME);
    listFILES = new QListWidget(this);
    listFILES->setObjectName(QStringLiteral("listFILES"));
    cmdACTION = new QPushButton(action == Action::Load ? QStringLiteral("&Load") : QStringLiteral("&Save"), this);
    cmdACTION->setObjectName(QStringLiteral("cmdACTION"));
    cmdACTION->setDefault(true);
    cmdDELETE = new QPushButton(QStringLiteral("&Delete"), this);
    cmdDELETE->setObjectName(QStringLiteral("cmdDELETE"));
    layout->addWidget(txtFILENAME, 1, 0);
    layout->addWidget(listFILES, 2, 0, 3, 1);
    layout->addWidget(cmdACTION, 1, 1);
    layout->addWidget(cmdDELETE, 2, 1);
    refreshFiles();
    connect(listFILES, &QListWidget::currentTextChanged, txtFILENAME, &QLineEdit::setText);
    connect(listFILES, &QListWidget::itemActivated, this, [this] { cmdACTION_Click(); });
    connect(cmdACTION, &QPushButton::clicked, this, &frmLOADSAVE::cmdACTION_Click);
    connect(cmdDELETE, &QPushButton::clicked, this, &frmLOADSAVE::cmdDELETE_Click);
    centreOver(this, parent);
}

void frmLOADSAVE::refreshFiles()
{
    listFILES->clear();
    listFILES->addItems(QDir(ProgramDir::dataDir())
                            .entryList({QStringLiteral("*.lst")}, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void frmLOADSAVE::cmdACTION_Click()
{
    const QString name = DirList::nameFromInput(txtFILENAME->text());
    if (name.isEmpty()) {
        Prompts::message(this, QStringLiteral("No list name specified..."));
        return;
    }
    if (name.toUpper() == QLatin1String("VEXA")) {
        Prompts::message(this, QStringLiteral("You may not use the name VEXA!"));
        return;
    }
    if (m_action == Action::Save)
        DirList::SaveList(m_state, name);
    else
        DirList::LoadList(m_state, name);
    accept();
}

void frmLOADSAVE::cmdDELETE_Click()
{
    const QString name = DirList::nameFromInput(txtFILENAME->text());
    if (name.isEmpty()) {
        Prompts::message(this, QStringLiteral("No list name specified..."));
        return;
    }
    const Prompts::Answer a = Prompts::ask(
        this, Prompts::Box{QStringLiteral("Delete list - ") + name + QStringLiteral(" ?"),
                           QStringLiteral("Confirm Deletion..."), Prompts::Buttons::YesNo,
                           Prompts::Icon::Question, Prompts::Default::Second});
    if (a != Prompts::Answer::Yes)
        return;
    DirList::DeleteListFiles(name);
    refreshFiles();
    txtFILENAME->clear();
}
