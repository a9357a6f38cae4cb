// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmsnapshot.h"

#include "mainstate.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

using Role = SnapshotController::Role;
using From = SnapshotController::From;
using Colour = ReviewController::Colour;

namespace {

QLabel *namedLabel(const QString &name, QWidget *parent, const QString &text = QString())
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton *namedButton(const char *name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QString colourStyle(Colour c)
{
    return c == Colour::Blue  ? QStringLiteral("color: #0000ff")
           : c == Colour::Red ? QStringLiteral("color: #ff0000")
                              : QString();
}

QColor lineColour(Colour c, const QPalette &palette)
{
    return c == Colour::Blue  ? QColor(0, 0, 255)
           : c == Colour::Red ? QColor(255, 0, 0)
                              : palette.color(QPalette::ButtonText);
}

bool isIcon(const QString &path)
{
    const QString lower = path.toLower();
    return lower.endsWith(QLatin1String(".cur")) || lower.endsWith(QLatin1String(".ico"));
}

int keyCode(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

// Beyond the screen's right and bottom edges, where the small windows wait unseen.
QPoint parking(const QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect s = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const int gap = qRound(100.0 * window->logicalDpiX() / 1440.0);
    return {s.right() + gap, s.bottom() + gap};
}

QRect onScreen(QRect r, const QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return r;
    const QRect s = screen->availableGeometry();
    r.moveLeft(qBound(s.left(), r.left(), qMax(s.left(), s.right() - r.width())));
    r.moveTop(qBound(s.top(), r.top(), qMax(s.top(), s.bottom() - r.height())));
    return r;
}

} // namespace

// ---- frmNAME ----

frmNAME::frmNAME(SnapshotController &controller, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("frmNAME"));
    setWindowTitle(QStringLiteral("Vexa!"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    lblNAME = namedLabel(QStringLiteral("lblNAME"), this, QStringLiteral("filename"));
    lblSIZE = namedLabel(QStringLiteral("lblSIZE"), this, QStringLiteral("filesize"));
    lblDATE = namedLabel(QStringLiteral("lblDATE"), this, QStringLiteral("filedate"));
    lblDIM = namedLabel(QStringLiteral("lblDIM"), this, QStringLiteral("0 x 0"));
    lblDELSTATUS = namedLabel(QStringLiteral("lblDELSTATUS"), this, QStringLiteral("status"));
    lblNAME->setMinimumWidth(300);
    const struct { QPushButton **button; const char *name, *caption; Role role; } buttons[] = {
        {&cmdDELETE, "cmdDELETE", "&Delete", Role::Delete}, {&cmdMOVE, "cmdMOVE", "&Move", Role::Move},
        {&cmdTAG, "cmdTAG", "&Tag", Role::Tag},             {&cmdVIEW, "cmdVIEW", "&View", Role::View},
        {&cmdALL, "cmdALL", "&All", Role::All},             {&cmdSKIP, "cmdSKIP", "&Skip", Role::Skip},
        {&cmdCOUNT, "cmdCOUNT", "&Count", Role::Count},     {&cmdPREVIOUS, "cmdPREVIOUS", "&Previous", Role::Previous},
        {&cmdNEXT, "cmdNEXT", "&Next", Role::Next},
    };
    auto *row = new QHBoxLayout;
    row->setSpacing(2);
    for (const auto &b : buttons) {
        *b.button = namedButton(b.name, QLatin1String(b.caption), this);
        row->addWidget(*b.button);
        const Role role = b.role;
        connect(*b.button, &QPushButton::clicked, this,
                [&controller, role] { controller.press(role, From::NameWindow); });
    }
    auto *labels = new QHBoxLayout;
    labels->addWidget(lblNAME, 1);
    for (QLabel *l : {lblSIZE, lblDATE, lblDIM, lblDELSTATUS})
        labels->addWidget(l);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 3, 6, 3);
    layout->setSpacing(2);
    layout->addLayout(labels);
    layout->addLayout(row);
}

void frmNAME::keyPressEvent(QKeyEvent *event)
{
    auto *snapshot = qobject_cast<frmSNAPSHOT *>(parentWidget());
    if (snapshot && snapshot->controller().Form_KeyPress(From::NameWindow, event->text()))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

// ---- frmDOWHAT ----

frmDOWHAT::frmDOWHAT(SnapshotController &controller, QWidget *parent)
    : QWidget(parent, Qt::Tool), m_controller(controller)
{
    setObjectName(QStringLiteral("frmDOWHAT"));
    setWindowTitle(QStringLiteral("Vexa!"));
    const struct { QPushButton **button; const char *name, *caption; Role role; int row, column; } buttons[] = {
        {&cmdDELETE, "cmdDELETE", "&Delete", Role::Delete, 0, 0}, {&cmdMOVE, "cmdMOVE", "&Move", Role::Move, 0, 1},
        {&cmdRENAME, "cmdRENAME", "&Rename", Role::Rename, 1, 0}, {&cmdTAG, "cmdTAG", "&Tag", Role::Tag, 1, 1},
        {&cmdVIEW, "cmdVIEW", "&View", Role::View, 2, 0},         {&cmdALL, "cmdALL", "&All", Role::All, 2, 1},
        {&cmdPREVIOUS, "cmdPREVIOUS", "&Previous", Role::Previous, 3, 0},
        {&cmdNEXT, "cmdNEXT", "&Next", Role::Next, 3, 1},
        {&cmdP, "cmdP", "<", Role::Previous, 4, 0},               {&cmdN, "cmdN", ">", Role::Next, 4, 1},
        {&cmdSKIP, "cmdSKIP", "&Skip", Role::Skip, 5, 0},         {&cmdCANCEL, "cmdCANCEL", "&Cancel", Role::Cancel, 5, 1},
        {&cmdEXIT, "cmdEXIT", "E&xit", Role::Exit, 6, 1},
    };
    auto *grid = new QGridLayout;
    grid->setSpacing(2);
    for (const auto &b : buttons) {
        *b.button = namedButton(b.name, QLatin1String(b.caption), this);
        grid->addWidget(*b.button, b.row, b.column);
        const Role role = b.role;
        connect(*b.button, &QPushButton::clicked, this,
                [this, role] { m_controller.press(role, From::DoWhat); });
    }
    txtNEWNAME = new QLineEdit(this);
    txtNEWNAME->setObjectName(QStringLiteral("txtNEWNAME"));
    txtNEWNAME->installEventFilter(this);
    cmdOK = namedButton("cmdOK", QStringLiteral("&OK"), this);
    cmdOK->setFocusPolicy(Qt::StrongFocus);
    auto *renameRow = new QHBoxLayout;
    renameRow->addWidget(txtNEWNAME, 1);
    renameRow->addWidget(cmdOK);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(grid);
    layout->addLayout(renameRow);
    // OK takes the focus from the box, which runs the rename.
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK->setFocus(); });
    connect(txtNEWNAME, &QLineEdit::returnPressed, this, [this] { cmdOK->setFocus(); });
    showBox(false);
}

void frmDOWHAT::showBox(bool shown)
{
    txtNEWNAME->setVisible(shown);
    txtNEWNAME->setEnabled(shown);
    cmdOK->setVisible(shown);
}

void frmDOWHAT::cmdRENAME_Click()
{
    if (txtNEWNAME->text().isEmpty())
        return;
    showBox(true);
    adjustSize();
    txtNEWNAME->setFocus();
    txtNEWNAME->selectAll();
}

void frmDOWHAT::park()
{
    hide();
    move(parking(this));
}

bool frmDOWHAT::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtNEWNAME && event->type() == QEvent::FocusOut && txtNEWNAME->isVisible()) {
        showBox(false);
        m_controller.press(Role::Rename, From::Snapshot);
    }
    return QWidget::eventFilter(watched, event);
}

void frmDOWHAT::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow())
        showBox(txtNEWNAME->hasFocus());
    else if (isVisible() && !txtNEWNAME->isVisible())
        park();
}

void frmDOWHAT::keyPressEvent(QKeyEvent *event)
{
    // While the rename box is open, typing goes into it.
    if (!txtNEWNAME->isVisible() && m_controller.Form_KeyPress(From::DoWhat, event->text()))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void frmDOWHAT::keyReleaseEvent(QKeyEvent *event)
{
    const int code = keyCode(event);
    if (!event->isAutoRepeat() && code && !txtNEWNAME->isVisible()
        && m_controller.Form_KeyUp(From::DoWhat, code)) {
        event->accept();
    } else {
        QWidget::keyReleaseEvent(event);
    }
}

// ---- frmSNAPSHOT ----

frmSNAPSHOT::frmSNAPSHOT(MainState &state, std::function<void()> showMain,
                         std::function<bool()> writeSettings, QWidget *parent)
    : ReviewWindow(state, parent),
      m_controller(state, *this, std::move(writeSettings), std::move(showMain))
{
    setObjectName(QStringLiteral("frmSNAPSHOT"));
    setWindowTitle(QStringLiteral("Vexa! - Duplicate image file manager"));
    setMouseTracking(true);

    for (int i = 0; i < Slots; ++i) {
        const QString n = QString::number(i);
        gvbIMAGE[size_t(i)] = namedLabel(QStringLiteral("gvbIMAGE") + n, this);
        picIMAGE[size_t(i)] = namedLabel(QStringLiteral("picIMAGE") + n, this);
        for (QLabel *l : {gvbIMAGE[size_t(i)], picIMAGE[size_t(i)]}) {
            l->setAlignment(Qt::AlignCenter);
            l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            l->setCursor(Qt::PointingHandCursor);
            l->setMouseTracking(true);
            l->installEventFilter(this);
            l->hide();
        }
        lblREFNAME[size_t(i)] = namedLabel(QStringLiteral("lblREFNAME") + n, this);
        lblREFNAME[size_t(i)]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    for (size_t i = 0; i < 4; ++i) {
        boxLINE[i] = new QFrame(this);
        boxLINE[i]->setObjectName(QStringLiteral("boxLINE%1").arg(i + 1));
        boxLINE[i]->setAutoFillBackground(true);
        boxLINE[i]->hide();
    }
    lblNAME = namedLabel(QStringLiteral("lblNAME"), this, QStringLiteral("filename"));
    lblSIZE = namedLabel(QStringLiteral("lblSIZE"), this, QStringLiteral("filesize"));
    lblDATE = namedLabel(QStringLiteral("lblDATE"), this, QStringLiteral("filedate"));
    lblDIM = namedLabel(QStringLiteral("lblDIM"), this, QStringLiteral("0"));
    lblDELSTATUS = namedLabel(QStringLiteral("lblDELSTATUS"), this, QStringLiteral("status"));
    lblSTATUS = namedLabel(QStringLiteral("lblSTATUS"), this, QStringLiteral("Status..."));
    imgTIP = namedLabel(QStringLiteral("imgTIP"), this);
    imgTIP->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    lblTIP = namedLabel(QStringLiteral("lblTIP"), this,
                        QStringLiteral("Point: details\nClick: actions"));
    lblTIP->setWordWrap(true);
    QFont small = lblTIP->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    lblTIP->setFont(small);

    cmdNEXT = namedButton("cmdNEXT", QStringLiteral("&Next"), this);
    cmdPREV = namedButton("cmdPREV", QStringLiteral("&Prev"), this);
    cmdSKIP = namedButton("cmdSKIP", QStringLiteral("&Skip"), this);
    cmdCOUNT = namedButton("cmdCOUNT", QStringLiteral("&Count"), this);
    cmdDELETE = namedButton("cmdDELETE", QStringLiteral("Delete"), this);
    cmdRENAME = namedButton("cmdRENAME", QStringLiteral("Rename"), this);
    cmdMOVE = namedButton("cmdMOVE", QStringLiteral("Move"), this);
    cmdTAG = namedButton("cmdTAG", QStringLiteral("Tag"), this);
    cmdVIEW = namedButton("cmdVIEW", QStringLiteral("View"), this);
    cmdALL = namedButton("cmdALL", QStringLiteral("All"), this);
    cmdSTOP = namedButton("cmdSTOP", QStringLiteral("S&top"), this);
    cmdEXIT = namedButton("cmdEXIT", QStringLiteral("E&xit"), this);
    cmdSTOP->hide();
    const struct { QPushButton *button; Role role; } roles[] = {
        {cmdNEXT, Role::Next},     {cmdPREV, Role::Previous}, {cmdSKIP, Role::Skip},
        {cmdCOUNT, Role::Count},   {cmdDELETE, Role::Delete}, {cmdRENAME, Role::Rename},
        {cmdMOVE, Role::Move},     {cmdTAG, Role::Tag},       {cmdVIEW, Role::View},
        {cmdALL, Role::All},       {cmdEXIT, Role::Exit},
    };
    for (const auto &r : roles) {
        const Role role = r.role;
        connect(r.button, &QPushButton::clicked, this,
                [this, role] { m_controller.press(role, From::Snapshot); });
    }
    connect(cmdSTOP, &QPushButton::clicked, this, [this] { m_controller.cmdSTOP_Click(); });

    // The small windows wait off the screen until they are wanted.
    m_name = new frmNAME(m_controller, this);
    m_doWhat = new frmDOWHAT(m_controller, this);
    m_name->move(parking(m_name));
    m_doWhat->park();

    connect(&m_loader, &Thumbnails::Loader::ready, this, &frmSNAPSHOT::thumbnailReady);

    resize(px(9615), px(9000));
    m_controller.Form_Load();
    refresh();
}

// A window destroyed without closing (the program ending) has no main window to go back to.
frmSNAPSHOT::~frmSNAPSHOT() = default;

int frmSNAPSHOT::px(int twips) const
{
    return qRound(twips * logicalDpiX() / 1440.0);
}

QRect frmSNAPSHOT::px(const QRect &t) const
{
    return {px(t.left()), px(t.top()), px(t.width()), px(t.height())};
}

QRect frmSNAPSHOT::twips(const QRect &p) const
{
    const double f = 1440.0 / logicalDpiX();
    return {qRound(p.left() * f), qRound(p.top() * f), qRound(p.width() * f), qRound(p.height() * f)};
}

void frmSNAPSHOT::refresh()
{
    const SnapshotController &c = m_controller;
    const SnapshotLayout &l = c.layout();
    const bool relaid = m_capacityShown != c.capacity();
    m_capacityShown = c.capacity();
    for (int i = 0; i < Slots; ++i) {
        const size_t k = size_t(i);
        const QRect cell = px(l.thumbnails[k]);
        gvbIMAGE[k]->setGeometry(cell);
        picIMAGE[k]->setGeometry(cell);
        const bool hasFile = !c.slot(i).NAME.trimmed().isEmpty();
        gvbIMAGE[k]->setVisible(hasFile && !m_icon[k]);
        picIMAGE[k]->setVisible(hasFile && m_icon[k]);
        if (relaid && !m_thumbnails[k].isNull())
            placeThumbnail(i);
        QLabel *name = lblREFNAME[k];
        name->setGeometry(px(l.names[k]));
        name->setText(name->fontMetrics().elidedText(c.slotLabel(i), Qt::ElideMiddle, name->width()));
        name->setToolTip(c.slotLabel(i));
        // The tagged picture's name stands out.
        QFont font = name->font();
        font.setBold(i == c.taggedSlot());
        name->setFont(font);
        name->raise();
    }

    const SnapshotController::Details &d = c.details();
    const QRect details = px(l.details);
    const int line = details.height() / 3;
    lblNAME->setGeometry(details.left(), details.top(), details.width(), line);
    lblNAME->setText(lblNAME->fontMetrics().elidedText(d.name, Qt::ElideMiddle, details.width()));
    lblNAME->setStyleSheet(colourStyle(d.colour));
    const struct { QLabel *label; QString text; int share; } parts[] = {
        {lblSIZE, d.size, 3}, {lblDATE, d.date, 4}, {lblDIM, d.dim, 3}};
    int x = details.left();
    for (const auto &part : parts) {
        const int w = details.width() * part.share / 10;
        part.label->setGeometry(x, details.top() + line, w, line);
        part.label->setText(part.text);
        x += w;
    }
    lblDELSTATUS->setGeometry(details.left(), details.top() + 2 * line, details.width(), line);
    lblDELSTATUS->setText(d.deleted);
    m_name->lblNAME->setText(d.name);
    m_name->lblNAME->setStyleSheet(colourStyle(d.colour));
    m_name->lblSIZE->setText(d.size);
    m_name->lblDATE->setText(d.date);
    m_name->lblDIM->setText(d.dim);
    m_name->lblDELSTATUS->setText(d.deleted);

    // The highlight box around the pointed thumbnail.
    const int pointed = c.pointedSlot();
    const int thick = qMax(1, px(20));
    for (size_t k = 0; k < 4; ++k) {
        if (pointed < 0 || pointed >= Slots) {
            boxLINE[k]->hide();
            continue;
        }
        const QLine lt = SnapshotLayout::highlight(l.thumbnails[size_t(pointed)])[k];
        const QPoint a(px(lt.x1()), px(lt.y1())), b(px(lt.x2()), px(lt.y2()));
        boxLINE[k]->setGeometry(QRect(a, b).normalized().adjusted(0, 0, thick, thick));
        QPalette palette = boxLINE[k]->palette();
        palette.setColor(QPalette::Window, lineColour(d.colour, palette));
        boxLINE[k]->setPalette(palette);
        boxLINE[k]->show();
        boxLINE[k]->raise();
    }

    lblSTATUS->setGeometry(px(l.status));
    lblSTATUS->setText(c.statusText());
    imgTIP->setGeometry(px(l.tip));
    lblTIP->setGeometry(px(l.tipLabel));
    cmdPREV->setGeometry(px(l.prev));
    cmdNEXT->setGeometry(px(l.next));
    cmdSTOP->setGeometry(px(l.stop));
    cmdEXIT->setGeometry(px(l.exit));
    // The actions are reached through the small windows and the keys.
    int hx = 120;
    for (QPushButton *b : {cmdDELETE, cmdALL, cmdRENAME, cmdMOVE, cmdTAG, cmdVIEW, cmdSKIP, cmdCOUNT}) {
        b->setGeometry(px(QRect(hx, l.hiddenTop, 1080, 375)));
        hx += 1200;
    }

    const SnapshotController::Buttons &b = c.buttons();
    const struct { QPushButton *button; bool enabled; } states[] = {
        {cmdDELETE, b.del}, {cmdNEXT, b.next}, {cmdPREV, b.prev},  {cmdRENAME, b.rename},
        {cmdSKIP, b.skip},  {cmdTAG, b.tag},   {cmdVIEW, b.view},  {cmdMOVE, b.move},
        {cmdEXIT, b.exit},  {m_name->cmdDELETE, b.del}, {m_name->cmdMOVE, b.move},
        {m_name->cmdTAG, b.tag}, {m_name->cmdVIEW, b.view}, {m_name->cmdSKIP, b.skip},
        {m_name->cmdNEXT, b.next}, {m_name->cmdPREVIOUS, b.prev}, {m_doWhat->cmdDELETE, b.del},
        {m_doWhat->cmdMOVE, b.move}, {m_doWhat->cmdRENAME, b.rename}, {m_doWhat->cmdTAG, b.tag},
        {m_doWhat->cmdVIEW, b.view}, {m_doWhat->cmdSKIP, b.skip}, {m_doWhat->cmdNEXT, b.next},
        {m_doWhat->cmdN, b.next}, {m_doWhat->cmdPREVIOUS, b.prev}, {m_doWhat->cmdP, b.prev},
        {m_doWhat->cmdEXIT, b.exit},
    };
    for (const auto &s : states)
        s.button->setEnabled(s.enabled);
    cmdSTOP->setVisible(b.stopVisible);
    update();
}

void frmSNAPSHOT::loadThumbnails(const QVector<Thumbnails::Loader::Job> &jobs)
{
    // Decoded once at the size of the wide grid's cells.
    m_loader.load(jobs, QSize(px(1555), px(1166)));
}

void frmSNAPSHOT::clearThumbnail(int slot)
{
    if (slot < 0 || slot >= Slots)
        return;
    const size_t k = size_t(slot);
    m_thumbnails[k] = QImage();
    m_icon[k] = false;
    gvbIMAGE[k]->clear();
    picIMAGE[k]->clear();
    picIMAGE[k]->hide();
}

void frmSNAPSHOT::thumbnailReady(int slot, const QString &path, const Thumbnails::Picture &picture)
{
    if (slot < 0 || slot >= Slots || m_controller.slot(slot).fullPath() != path)
        return;
    m_thumbnails[size_t(slot)] = picture.thumbnail;
    m_icon[size_t(slot)] = picture.read && isIcon(path);
    placeThumbnail(slot);
    m_controller.thumbnailShown(slot, path, picture.size);
    emit thumbnailShown(slot);
}

void frmSNAPSHOT::placeThumbnail(int slot)
{
    const size_t k = size_t(slot);
    QLabel *shown = m_icon[k] ? picIMAGE[k] : gvbIMAGE[k];
    QLabel *other = m_icon[k] ? gvbIMAGE[k] : picIMAGE[k];
    const QSize room = shown->contentsRect().size();
    const QImage &image = m_thumbnails[k];
    shown->setPixmap(QPixmap::fromImage(
        image.width() > room.width() || image.height() > room.height()
            ? image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : image));
    other->clear();
    other->hide();
    shown->setVisible(!m_controller.slot(slot).NAME.trimmed().isEmpty());
    shown->raise();
}

void frmSNAPSHOT::showDoWhat(int slot, const QString &name)
{
    if (slot < 0 || slot >= Slots)
        return;
    m_doWhat->txtNEWNAME->setText(name);
    m_doWhat->adjustSize();
    QLabel *cell = gvbIMAGE[size_t(slot)];
    const QRect thumbnail(cell->mapToGlobal(QPoint(0, 0)), cell->size());
    const QPoint at = SnapshotLayout::doWhatPosition(twips(thumbnail), twips(frameGeometry()),
                                                     twips(QRect(QPoint(), m_doWhat->size())).size());
    m_doWhat->move(onScreen(QRect(QPoint(px(at.x()), px(at.y())), m_doWhat->size()), this).topLeft());
    m_doWhat->show();
    m_doWhat->raise();
    m_doWhat->activateWindow();
}

void frmSNAPSHOT::hideDoWhat()
{
    if (m_doWhat->isVisible())
        m_doWhat->park();
}

void frmSNAPSHOT::showNameWindow(int slot)
{
    refresh();
    m_name->adjustSize();
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect screenRect = s ? s->geometry() : QRect(0, 0, 1024, 768);
    const QRect at = SnapshotLayout::namePosition(slot, twips(frameGeometry()),
                                                  twips(QRect(0, 0, m_name->sizeHint().width(), 1)).width(),
                                                  twips(screenRect));
    QRect r = px(at);
    r.setHeight(qMax(r.height(), m_name->sizeHint().height()));
    m_name->setGeometry(onScreen(r, this));
    m_name->show();
    m_name->raise();
}

void frmSNAPSHOT::hideNameWindow()
{
    if (m_name->isVisible()) {
        m_name->hide();
        m_name->move(parking(m_name));
    }
}

void frmSNAPSHOT::openRenameBox()
{
    m_doWhat->cmdRENAME_Click();
}

QString frmSNAPSHOT::renameText()
{
    return m_doWhat->txtNEWNAME->text().trimmed();
}

bool frmSNAPSHOT::doWhatInUse()
{
    return m_doWhat->isVisible() && m_doWhat->isActiveWindow();
}

void frmSNAPSHOT::statusChanged()
{
    lblSTATUS->setText(m_controller.statusText());
}

bool frmSNAPSHOT::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < Slots; ++i) {
            if (watched != gvbIMAGE[size_t(i)] && watched != picIMAGE[size_t(i)])
                continue;
            if (event->type() == QEvent::MouseMove)
                m_controller.gvbIMAGE_MouseMove(i);
            else if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                m_controller.gvbIMAGE_Click(i);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmSNAPSHOT::keyPressEvent(QKeyEvent *event)
{
    if (m_controller.Form_KeyPress(From::Snapshot, event->text()))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void frmSNAPSHOT::keyReleaseEvent(QKeyEvent *event)
{
    const int code = keyCode(event);
    if (!event->isAutoRepeat() && code && m_controller.Form_KeyUp(From::Snapshot, code))
        event->accept();
    else
        QWidget::keyReleaseEvent(event);
}

void frmSNAPSHOT::mouseMoveEvent(QMouseEvent *event)
{
    m_controller.Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

void frmSNAPSHOT::mousePressEvent(QMouseEvent *event)
{
    // A click beside the pictures closes the action window.
    hideDoWhat();
    QWidget::mousePressEvent(event);
}

void frmSNAPSHOT::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QLine tip = m_controller.layout().tipLine;
    painter.drawLine(px(tip.x1()), px(tip.y1()), px(tip.x2()), px(tip.y2()));
}

void frmSNAPSHOT::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const double f = 1440.0 / logicalDpiX();
    m_controller.Form_Resize(qRound(width() * f), qRound(height() * f));
}

QPoint frmSNAPSHOT::placement(const QRect &screen, const QSize &frame) const
{
    // Wide screens: centred across, a quarter of the free height from the top.
    const bool wide = screen.width() * 1440.0 / logicalDpiX() > 9600;
    return {screen.left() + (screen.width() - frame.width()) / 2,
            screen.top() + (screen.height() - frame.height()) / (wide ? 4 : 2)};
}

void frmSNAPSHOT::closing()
{
    m_loader.cancel();
    m_name->hide();
    m_doWhat->hide();
}
