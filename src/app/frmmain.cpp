// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmmain.h"

#include "dirlist.h"
#include "formats.h"
#include "frmcheckem.h"
#include "frmdirlook.h"
#include "frmprematch.h"
#include "frmfindit.h"
#include "frmresume.h"
#include "frmsnapshot.h"
#include "frmaltview.h"
#include "frmstats.h"
#include "platform.h"
#include "programdir.h"
#include "prompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSessionManager>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

namespace {

using Check = MainState::Check;
using Mode = MainState::Mode;

// The three pictures of a blinking eye: open, half shut, shut.
std::array<QPixmap, 3> drawEyes()
{
    std::array<QPixmap, 3> out;
    const QSize size(40, 26);
    for (int frame = 0; frame < 3; ++frame) {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF eye(2, 2, 36, 22);
        const double open = frame == 0 ? 1.0 : frame == 1 ? 0.45 : 0.0;
        p.setPen(QPen(Qt::black, 1.5));
        if (open > 0) {
            const double h = eye.height() * open;
            const QRectF lid(eye.left(), eye.center().y() - h / 2, eye.width(), h);
            p.setBrush(Qt::white);
            p.drawEllipse(lid);
            p.setClipRect(lid);
            p.setBrush(QColor(40, 90, 160));
            p.drawEllipse(eye.center(), 7, 7);
            p.setBrush(Qt::black);
            p.drawEllipse(eye.center(), 3, 3);
        } else {
            p.drawLine(QPointF(eye.left(), eye.center().y()), QPointF(eye.right(), eye.center().y()));
        }
        out[size_t(frame)] = pm;
    }
    return out;
}

QCheckBox *makeCheck(QWidget *parent, const char *name, const QString &caption)
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(QLatin1String(name));
    return c;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

frmMAIN::frmMAIN(const QString &commandLine, QWidget *parent)
    : QWidget(parent), m_controller(m_state, *this)
{
    setObjectName(QStringLiteral("frmMAIN"));
    setWindowTitle(QStringLiteral("Vexa!"));
    // During a search the main window is hidden and the progress windows close one after the
    // other; the program must not end when the last of them closes. It ends through Quit or
    // by closing the main window.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    m_controller.setCommandLine(commandLine);
    buildControls();
    connect(&m_state, &MainState::changed, this, &frmMAIN::syncFromState);
    MainState::setCurrent(&m_state);
    // When the desktop session ends, the session manager asks for the user's work first;
    // a program ended by other means saves on its way out.
#if QT_CONFIG(sessionmanager)
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager &) { m_controller.saveAtSessionEnd(); });
#endif
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { m_controller.saveAtSessionEnd(); });
    Form_Load();
}

frmMAIN::~frmMAIN()
{
    if (MainState::current() == &m_state)
        MainState::setCurrent(nullptr);
}

void frmMAIN::buildControls()
{
    // ---- Mode ----
    // Each button has an access key of its own; the option buttons and boxes are reached
    // through the key of their group.
    auto *modeBox = new QGroupBox(QStringLiteral("&Mode"), this);
    auto *modeGrid = new QGridLayout(modeBox);
    const struct
    {
        QRadioButton **member;
        const char *name;
        const char *caption;
    } modes[] = {{&optNAME, "optNAME", "Name"},
                 {&optSIZE, "optSIZE", "Size"},
                 {&optNAMESIZE, "optNAMESIZE", "Name && Size"},
                 {&optNUMBERED, "optNUMBERED", "Numbered"},
                 {&optCHECKSUM, "optCHECKSUM", "Checksum"},
                 {&optAVERAGERGB, "optAVERAGERGB", "Avg. RGB"},
                 {&optQUADRGB, "optQUADRGB", "Quadrant RGB"},
                 {&optPATTERN, "optPATTERN", "Pattern"}};
    for (int i = 0; i < MainState::ModeCount; ++i) {
        auto *r = new QRadioButton(QLatin1String(modes[i].caption), modeBox);
        r->setObjectName(QLatin1String(modes[i].name));
        *modes[i].member = r;
        modeButtons[size_t(i)] = r;
        modeGrid->addWidget(r, i % 4, i / 4);
        connect(r, &QRadioButton::clicked, this, [this, i] { m_state.clickMode(Mode(i)); });
    }
    txtTOLERANCE = new QLineEdit(modeBox);
    txtTOLERANCE->setObjectName(QStringLiteral("txtTOLERANCE"));
    txtTOLERANCE->setMaxLength(4);
    txtTOLERANCE->setMaximumWidth(50);
    txtTOLERANCE->setToolTip(QStringLiteral("Sets the Tolerance for RGB and Pattern modes"));
    auto *tolLabel = new QLabel(QStringLiteral("&Tolerance"), modeBox);
    tolLabel->setBuddy(txtTOLERANCE);
    modeGrid->addWidget(tolLabel, 4, 0);
    modeGrid->addWidget(txtTOLERANCE, 4, 1);

    // ---- Options ----
    chkSOFTMATCH = makeCheck(this, "chkSOFTMATCH", QStringLiteral("SOFT matching"));
    chkIGNORE = makeCheck(this, "chkIGNORE", QStringLiteral("Ignore .EXT"));
    chkEXCLUSIVE = makeCheck(this, "chkEXCLUSIVE", QStringLiteral("Exclusive"));
    chkGATHER = makeCheck(this, "chkGATHER", QStringLiteral("Gather and Quit"));
    chkGATHER->setToolTip(
        QStringLiteral("Use this to populate your database with all file info in one pass."));
    chkPREMATCH = makeCheck(this, "chkPREMATCH", QStringLiteral("Pre-Match"));
    chkSNAPSHOT = makeCheck(this, "chkSNAPSHOT", QStringLiteral("SnapShot"));
    chkRECYCLE = makeCheck(this, "chkRECYCLE", QStringLiteral("Recycle"));
    chkCONFIRM = makeCheck(this, "chkCONFIRM", QStringLiteral("No Confirm"));
    chkAUTONEXT = makeCheck(this, "chkAUTONEXT", QStringLiteral("AutoNEXT"));
    chkNOT = makeCheck(this, "chkNOT", QStringLiteral("NOT"));
    chkJPEG = makeCheck(this, "chkJPEG", QStringLiteral("Fix jpeg / jpe"));
    chkNOSOUND = makeCheck(this, "chkNOSOUND", QStringLiteral("No Sound"));
    chkSAVELIST = makeCheck(this, "chkSAVELIST", QStringLiteral("AutoSave list"));
    chkSINGLETABLE = makeCheck(this, "chkSINGLETABLE", QStringLiteral("Single Database"));
    chkTREEMODEIFCD = makeCheck(this, "chkTREEMODEIFCD", QStringLiteral("Tree"));
    checkBoxes = {chkSOFTMATCH, chkIGNORE,  chkEXCLUSIVE, chkGATHER,   chkPREMATCH,
                  chkSNAPSHOT,  chkRECYCLE, chkCONFIRM,   chkAUTONEXT, chkNOT,
                  chkJPEG,      chkNOSOUND, chkSAVELIST,  chkSINGLETABLE, chkTREEMODEIFCD};
    for (int i = 0; i < MainState::CheckCount; ++i) {
        connect(checkBoxes[size_t(i)], &QCheckBox::clicked, this,
                [this, i](bool on) { m_state.clickCheck(Check(i), on); });
    }
    modeGrid->addWidget(chkSOFTMATCH, 5, 0);
    modeGrid->addWidget(chkIGNORE, 5, 1);

    txtFILTER = new QLineEdit(this);
    txtFILTER->setObjectName(QStringLiteral("txtFILTER"));
    txtFILTER->setMaxLength(20);
    txtFILTER->setToolTip(QStringLiteral(
        "Define up to 3 file filters (do not enter extenstion - i.e. dog*,cat*,bird*)"));
    txtTHUMBNAILEXT = new QLineEdit(this);
    txtTHUMBNAILEXT->setObjectName(QStringLiteral("txtTHUMBNAILEXT"));
    txtTHUMBNAILEXT->setMaxLength(4);
    txtTHUMBNAILEXT->setMaximumWidth(60);

    auto *optionBox = new QGroupBox(QStringLiteral("Opt&ions"), this);
    auto *optionGrid = new QGridLayout(optionBox);
    const QList<QCheckBox *> optionOrder = {chkEXCLUSIVE, chkGATHER,  chkPREMATCH, chkSNAPSHOT,
                                            chkRECYCLE,   chkCONFIRM, chkAUTONEXT, chkJPEG,
                                            chkNOSOUND,   chkSAVELIST, chkSINGLETABLE};
    for (int i = 0; i < optionOrder.size(); ++i)
        optionGrid->addWidget(optionOrder[i], i / 2, i % 2);
    auto *filterLabel = new QLabel(QStringLiteral("&Filter"), optionBox);
    filterLabel->setBuddy(txtFILTER);
    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(txtFILTER, 1);
    filterRow->addWidget(chkNOT);
    optionGrid->addLayout(filterRow, 6, 0, 1, 2);
    auto *thumbLabel = new QLabel(QStringLiteral("T&humbnail extension"), optionBox);
    thumbLabel->setBuddy(txtTHUMBNAILEXT);
    auto *thumbRow = new QHBoxLayout;
    thumbRow->addWidget(thumbLabel);
    thumbRow->addWidget(txtTHUMBNAILEXT);
    thumbRow->addStretch();
    optionGrid->addLayout(thumbRow, 7, 0, 1, 2);

    // ---- File types ----
    auto *typeBox = new QGroupBox(QStringLiteral("File t&ypes"), this);
    auto *typeGrid = new QGridLayout(typeBox);
    for (int i = 0; i < MainState::FileTypeCount; ++i) {
        const QString ext = QLatin1String(MainState::fileTypes()[size_t(i)]);
        auto *c = new QCheckBox(ext.toLower(), typeBox);
        c->setObjectName(QStringLiteral("chk") + ext.mid(1));
        fileTypeBoxes[size_t(i)] = c;
        typeGrid->addWidget(c, i / 4, i % 4);
        connect(c, &QCheckBox::clicked, this, [this, i](bool on) { m_state.clickFileType(i, on); });
        // A photo type whose library this build lacks is shown, greyed, and keeps its setting.
        if (i >= MainState::ClassicFileTypeCount
            && !ImageFormats::canReadType(ext.mid(1).toLower().toLatin1())) {
            c->setEnabled(false);
            c->setToolTip(QStringLiteral("This build of Vexa! cannot read %1 pictures").arg(ext));
        }
    }

    // ---- Directory list ----
    auto *listBox = new QGroupBox(QStringLiteral("Di&rectories"), this);
    auto *listLayout = new QVBoxLayout(listBox);
    lblLISTNAME = new QLabel(QStringLiteral("General"), listBox);
    lblLISTNAME->setObjectName(QStringLiteral("lblLISTNAME"));
    QFont bold = lblLISTNAME->font();
    bold.setBold(true);
    lblLISTNAME->setFont(bold);
    lstDIRECTORIES = new QListWidget(listBox);
    lstDIRECTORIES->setObjectName(QStringLiteral("lstDIRECTORIES"));
    lstDIRECTORIES->setSelectionMode(QAbstractItemView::ExtendedSelection);
    txtIFCD = new QLineEdit(listBox);
    txtIFCD->setObjectName(QStringLiteral("txtIFCD"));
    txtIFCD->setReadOnly(true);
    txtIFCD->setToolTip(QStringLiteral("Incoming Files Check Directory"));
    auto *ifcdRow = new QHBoxLayout;
    ifcdRow->addWidget(new QLabel(QStringLiteral("IFCD"), listBox));
    ifcdRow->addWidget(txtIFCD, 1);
    ifcdRow->addWidget(chkTREEMODEIFCD);
    chkTREEMODEIFCD->setEnabled(false); // set through the add-directories dialog
    cmdADD = makeButton(listBox, "cmdADD", QStringLiteral("&Add"));
    cmdDELETE = makeButton(listBox, "cmdDELETE", QStringLiteral("&Delete"));
    cmdCLEAR = makeButton(listBox, "cmdCLEAR", QStringLiteral("&Clear"));
    cmdLOAD = makeButton(listBox, "cmdLOAD", QStringLiteral("&Load"));
    cmdSAVE = makeButton(listBox, "cmdSAVE", QStringLiteral("&Save"));
    auto *listButtons = new QHBoxLayout;
    for (QPushButton *b : {cmdADD, cmdDELETE, cmdCLEAR, cmdLOAD, cmdSAVE})
        listButtons->addWidget(b);
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("List:"), listBox));
    nameRow->addWidget(lblLISTNAME, 1);
    listLayout->addLayout(nameRow);
    listLayout->addWidget(lstDIRECTORIES, 1);
    listLayout->addLayout(ifcdRow);
    listLayout->addLayout(listButtons);

    // ---- Commands and the eyes ----
    cmdGO = makeButton(this, "cmdGO", QStringLiteral("&Go"));
    cmdGO->setToolTip(QStringLiteral("Let's go!"));
    cmdGO->setDefault(true);
    cmdQUIT = makeButton(this, "cmdQUIT", QStringLiteral("&Quit"));
    cmdQUIT->setToolTip(QStringLiteral("Goodbye, Stop, Quit, Adios, Go Away, Vamoose!"));
    cmdPURGE = makeButton(this, "cmdPURGE", QStringLiteral("&Purge Database..."));
    cmdCOMPACT = makeButton(this, "cmdCOMPACT", QStringLiteral("Compact Data&base..."));
    cmdHELP = makeButton(this, "cmdHELP", QStringLiteral("H&elp!"));
    cmdABOUT = makeButton(this, "cmdABOUT", QStringLiteral("Hell&o!"));
    m_eyePictures = drawEyes();
    imgLEFTEYE = new QLabel(this);
    imgLEFTEYE->setObjectName(QStringLiteral("imgLEFTEYE"));
    imgRIGHTEYE = new QLabel(this);
    imgRIGHTEYE->setObjectName(QStringLiteral("imgRIGHTEYE"));
    for (QLabel *eye : {imgLEFTEYE, imgRIGHTEYE}) {
        eye->setPixmap(m_eyePictures[0]);
        eye->setToolTip(QStringLiteral("Please take your finger out of my eye!"));
    }
    auto *eyes = new QHBoxLayout;
    eyes->addStretch();
    eyes->addWidget(imgLEFTEYE);
    eyes->addWidget(imgRIGHTEYE);
    eyes->addStretch();
    auto *commands = new QVBoxLayout;
    commands->addLayout(eyes);
    for (QPushButton *b : {cmdGO, cmdQUIT, cmdPURGE, cmdCOMPACT, cmdHELP, cmdABOUT})
        commands->addWidget(b);
    commands->addStretch();

    // The list and the commands above the three option groups: the window fits a screen of
    // 1024 x 768.
    auto *top = new QHBoxLayout;
    top->addWidget(listBox, 1);
    top->addLayout(commands);
    auto *groups = new QHBoxLayout;
    groups->addWidget(modeBox);
    groups->addWidget(optionBox);
    groups->addWidget(typeBox);
    auto *main = new QVBoxLayout(this);
    main->addLayout(top, 1);
    main->addLayout(groups);

    connect(cmdGO, &QPushButton::clicked, this, &frmMAIN::cmdGO_Click);
    connect(cmdQUIT, &QPushButton::clicked, this, &frmMAIN::cmdQUIT_Click);
    connect(cmdADD, &QPushButton::clicked, this, &frmMAIN::cmdADD_Click);
    connect(cmdDELETE, &QPushButton::clicked, this, &frmMAIN::cmdDELETE_Click);
    connect(cmdCLEAR, &QPushButton::clicked, this, &frmMAIN::cmdCLEAR_Click);
    connect(cmdLOAD, &QPushButton::clicked, this, &frmMAIN::cmdLOAD_Click);
    connect(cmdSAVE, &QPushButton::clicked, this, &frmMAIN::cmdSAVE_Click);
    connect(cmdPURGE, &QPushButton::clicked, this, [this] { m_controller.cmdPURGE_Click(); });
    connect(cmdCOMPACT, &QPushButton::clicked, this, [this] { m_controller.cmdCOMPACT_Click(); });
    connect(cmdHELP, &QPushButton::clicked, this, [this] { m_controller.openHelp(); });
    connect(cmdABOUT, &QPushButton::clicked, this, &frmMAIN::cmdABOUT_Click);
    auto *f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, [this] { m_controller.openHelp(); });

    // Texts go to the state as typed; leaving a field validates it.
    connect(txtTOLERANCE, &QLineEdit::textEdited, this, [this](const QString &t) { m_state.tolerance = t; });
    connect(txtFILTER, &QLineEdit::textEdited, this, [this](const QString &t) { m_state.filter = t; });
    connect(txtTHUMBNAILEXT, &QLineEdit::textEdited, this,
            [this](const QString &t) { m_state.thumbnailExt = t; });
    for (QLineEdit *e : {txtTOLERANCE, txtFILTER, txtTHUMBNAILEXT})
        e->installEventFilter(this);

    // The eyes blink now and then: a slow timer picks an eye, a fast one animates it.
    m_blinkTimer = new QTimer(this);
    m_blinkTimer->setInterval(3000);
    connect(m_blinkTimer, &QTimer::timeout, this, &frmMAIN::blinkTick);
    for (int eye = 0; eye < 2; ++eye) {
        m_eyeTimers[size_t(eye)] = new QTimer(this);
        m_eyeTimers[size_t(eye)]->setInterval(300);
        connect(m_eyeTimers[size_t(eye)], &QTimer::timeout, this, [this, eye] { stepEye(eye); });
    }
}

void frmMAIN::syncFromState()
{
    for (int i = 0; i < MainState::ModeCount; ++i)
        modeButtons[size_t(i)]->setChecked(int(m_state.mode()) == i);
    for (int i = 0; i < MainState::CheckCount; ++i)
        checkBoxes[size_t(i)]->setChecked(m_state.isChecked(Check(i)));
    for (int i = 0; i < MainState::FileTypeCount; ++i)
        fileTypeBoxes[size_t(i)]->setChecked(m_state.isFileTypeChecked(i));
    auto setText = [](QLineEdit *e, const QString &t) {
        if (e->text() != t)
            e->setText(t);
    };
    setText(txtTOLERANCE, m_state.tolerance);
    setText(txtFILTER, m_state.filter);
    setText(txtTHUMBNAILEXT, m_state.thumbnailExt);
    setText(txtIFCD, m_state.ifcd);
    lblLISTNAME->setText(m_state.listName);
    QStringList shown;
    for (int i = 0; i < lstDIRECTORIES->count(); ++i)
        shown << lstDIRECTORIES->item(i)->text();
    if (shown != m_state.directories) {
        lstDIRECTORIES->clear();
        lstDIRECTORIES->addItems(m_state.directories);
    }
}

QPoint frmMAIN::placement(const QSize &screen, const QSize &window, double twipsPerPixel)
{
    const bool large = screen.width() * twipsPerPixel >= 12000 || screen.height() * twipsPerPixel >= 9000;
    const int divisor = large ? 4 : 2;
    return QPoint((screen.width() - window.width()) / divisor,
                  (screen.height() - window.height()) / divisor);
}

void frmMAIN::Form_Load()
{
    m_controller.Form_Load();
    // The external viewer window waits hidden for the reviews.
    frmALTVIEW::instance(m_state);
    syncFromState();
    adjustSize();
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const double twipsPerPixel = 1440.0 / screen->logicalDotsPerInchX();
        const QRect g = screen->geometry();
        move(g.topLeft() + placement(g.size(), frameGeometry().size(), twipsPerPixel));
    }
}

bool frmMAIN::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate && !m_closing && !m_controller.hasEnded())
        QTimer::singleShot(0, this, [this] { m_controller.Form_Activate(); });
    return QWidget::event(e);
}

void frmMAIN::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    // Headless screens never activate a window: the first activation then runs from here.
    if (!m_activationQueued) {
        m_activationQueued = true;
        QTimer::singleShot(0, this, [this] { m_controller.Form_Activate(); });
    }
}

bool frmMAIN::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::FocusOut) {
        if (watched == txtFILTER)
            m_controller.txtFILTER_LostFocus();
        else if (watched == txtTHUMBNAILEXT)
            m_controller.txtTHUMBNAILEXT_LostFocus();
        else if (watched == txtTOLERANCE)
            m_controller.txtTOLERANCE_LostFocus();
    }
    return QWidget::eventFilter(watched, e);
}

void frmMAIN::closeEvent(QCloseEvent *e)
{
    // Closing the window (its close button, Alt+F4) is quitting: the statistics, the
    // settings and the list, as the Quit button does, which also ends the program.
    e->accept();
    if (m_closing || m_controller.hasEnded())
        return;
    if (m_controller.hasReadSettings()) {
        m_controller.cmdQUIT_Click();
    } else {
        // Closed before the start-up read the settings: writing them now would replace the
        // user's with the defaults.
        m_closing = true;
        Platform::services().releaseInstanceLock();
        QApplication::quit();
    }
}

void frmMAIN::blinkTick()
{
    const int pick = int(QRandomGenerator::global()->bounded(1, 9));
    if (pick == 1 || pick == 2)
        m_eyeTimers[size_t(pick - 1)]->start();
}

void frmMAIN::stepEye(int eye)
{
    static const int frames[] = {0, 1, 2, 1, 0};
    QLabel *label = eye == 0 ? imgLEFTEYE : imgRIGHTEYE;
    int &frame = m_eyeFrame[size_t(eye)];
    label->setPixmap(m_eyePictures[size_t(frames[frame])]);
    if (++frame >= 5) {
        frame = 0;
        m_eyeTimers[size_t(eye)]->stop();
    }
}

// ---- Directory list buttons ----

void frmMAIN::cmdADD_Click()
{
    m_state.optionsChanged = true;
    frmFINDIT dialog(m_state, this);
    Prompts::exec(&dialog);
    if (m_state.isChecked(Check::SaveList))
        DirList::SaveListAutomatically(m_state);
}

void frmMAIN::cmdDELETE_Click()
{
    QList<int> selected;
    for (int i = 0; i < lstDIRECTORIES->count(); ++i) {
        if (lstDIRECTORIES->item(i)->isSelected())
            selected << i;
    }
    DirList::DeleteEntries(m_state, selected);
    if (m_state.isChecked(Check::SaveList))
        DirList::SaveListAutomatically(m_state);
}

void frmMAIN::cmdCLEAR_Click()
{
    using namespace Prompts;
    if (ask(this, Box{QStringLiteral("Clear the entire list of directories?"),
                      QStringLiteral("Vexa! - Delete directories"), Buttons::YesNo, Icon::Question,
                      Default::First})
        != Answer::Yes)
        return;
    m_state.optionsChanged = true;
    m_state.listEdited = true;
    m_state.directories.clear();
    m_state.ifcd.clear();
    m_state.setChecked(Check::TreeModeIfcd, false);
    m_state.listName.clear();
    m_state.notifyChanged();
}

void frmMAIN::cmdLOAD_Click()
{
    m_state.optionsChanged = true;
    frmLOADSAVE dialog(m_state, frmLOADSAVE::Action::Load, this);
    Prompts::exec(&dialog);
}

void frmMAIN::cmdSAVE_Click()
{
    frmLOADSAVE dialog(m_state, frmLOADSAVE::Action::Save, this);
    Prompts::exec(&dialog);
}

void frmMAIN::cmdABOUT_Click()
{
    QDialog about(this);
    about.setObjectName(QStringLiteral("frmABOUT"));
    about.setWindowTitle(QStringLiteral("About Vexa!"));
    auto *layout = new QVBoxLayout(&about);
    auto *title = new QLabel(QStringLiteral("<h2>Vexa!</h2>"), &about);
    auto *revision = new QLabel(
        MainController::revisionText(PROJECT_VERSION_MAJOR, PROJECT_VERSION_MINOR), &about);
    revision->setObjectName(QStringLiteral("lblREVISION"));
    auto *blurb = new QLabel(QStringLiteral("Finds duplicate images and helps you tidy them away."), &about);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &about);
    connect(buttons, &QDialogButtonBox::accepted, &about, &QDialog::accept);
    for (QWidget *w : std::initializer_list<QWidget *>{title, revision, blurb, buttons})
        layout->addWidget(w, 0, Qt::AlignHCenter);
    Prompts::exec(&about);
}

// ---- MainWindowHost ----

void frmMAIN::processEvents()
{
    QCoreApplication::processEvents();
}

void frmMAIN::waitForEvents()
{
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
}

void frmMAIN::runResumeDialog()
{
    frmRESUME dialog(m_state, this);
    Prompts::exec(&dialog);
}

void frmMAIN::showPreScan()
{
    auto *w = new frmDIRLOOK(m_state);
    w->show();
}

void frmMAIN::showPreMatch()
{
    auto *w = new frmPREMATCH(m_state);
    if (m_state.scanBarMinimized)
        w->showMinimized();
    else
        w->show();
}

void frmMAIN::showReview(bool snapshot, const QString &title)
{
    auto showMain = [this] { show(); };
    auto writeSettings = [this] { return m_controller.saveSettings(); };
    QWidget *w = snapshot ? static_cast<QWidget *>(new frmSNAPSHOT(m_state, showMain, writeSettings))
                          : static_cast<QWidget *>(new frmCHECKEM(m_state, showMain, writeSettings));
    w->setWindowTitle(title);
    w->show();
}

void frmMAIN::hideMain()
{
    hide();
}

void frmMAIN::setEyeTimer(bool running)
{
    if (running)
        m_blinkTimer->start();
    else
        m_blinkTimer->stop();
}

void frmMAIN::setGoEnabled(bool enabled)
{
    cmdGO->setEnabled(enabled);
}

void frmMAIN::setCompactWindowVisible(bool visible)
{
    if (visible && !m_compactWindow) {
        m_compactWindow = new QWidget(this, Qt::Dialog);
        m_compactWindow->setObjectName(QStringLiteral("frmCOMPACT"));
        m_compactWindow->setWindowTitle(QStringLiteral("Vexa!"));
        auto *layout = new QVBoxLayout(m_compactWindow);
        auto *Image1 = new QLabel(m_compactWindow);
        Image1->setObjectName(QStringLiteral("Image1"));
        Image1->setPixmap(m_eyePictures[2].scaled(120, 78));
        layout->addWidget(Image1);
        layout->addWidget(new QLabel(QStringLiteral("Compacting the database..."), m_compactWindow));
        m_compactWindow->adjustSize();
        m_compactWindow->move(geometry().center() - m_compactWindow->rect().center());
        m_compactWindow->show();
    } else if (!visible && m_compactWindow) {
        m_compactWindow->close();
        m_compactWindow->deleteLater();
        m_compactWindow = nullptr;
    }
}

bool frmMAIN::showStats(const QString &message)
{
    frmSTATS stats(message, this);
    Prompts::exec(&stats);
    return stats.chkNODISPLAY->isChecked();
}

void frmMAIN::showMain()
{
    show();
}

void frmMAIN::endProgram(int exitCode)
{
    m_closing = true;
    hide();
    QCoreApplication::exit(exitCode);
}
