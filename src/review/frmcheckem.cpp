// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmcheckem.h"

#include "mainstate.h"
#include "thumbnails.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *namedLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton *namedButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

const char *const markNames[] = {"NAME", "LOCATION", "TYPE", "SIZE", "DATE", "DIM"};

} // namespace

frmCHECKEM::frmCHECKEM(MainState &state, std::function<void()> showMain,
                       std::function<bool()> writeSettings, QWidget *parent)
    : ReviewWindow(state, parent),
      m_controller(state, *this, std::move(writeSettings), std::move(showMain))
{
    setObjectName(QStringLiteral("frmCHECKEM"));
    setWindowTitle(QStringLiteral("Vexa! - Duplicate image file manager"));

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    buildPane(0, grid, 0);
    buildPane(1, grid, 3);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(5, 1);

    cmdBOTH = namedButton(QStringLiteral("cmdBOTH"), QStringLiteral("&3 Delete Both!"), this);
    cmdPREVIOUS = namedButton(QStringLiteral("cmdPREVIOUS"), QStringLiteral("&Previous match"), this);
    cmdNEXT = namedButton(QStringLiteral("cmdNEXT"), QStringLiteral("&Next match"), this);
    cmdSKIP = namedButton(QStringLiteral("cmdSKIP"), QStringLiteral("&Skip to Next Alpha"), this);
    cmdCOUNT = namedButton(QStringLiteral("cmdCOUNT"), QStringLiteral("&Count"), this);
    cmdSTOP = namedButton(QStringLiteral("cmdSTOP"), QStringLiteral("Stop"), this);
    cmdCANCEL = namedButton(QStringLiteral("cmdCANCEL"), QStringLiteral("E&xit"), this);
    auto *commands = new QHBoxLayout;
    for (QPushButton *b : {cmdBOTH, cmdPREVIOUS, cmdNEXT, cmdSKIP, cmdCOUNT, cmdSTOP})
        commands->addWidget(b);
    commands->addStretch();
    commands->addWidget(cmdCANCEL);

    lblSTATUS = namedLabel(QStringLiteral("lblSTATUS"), this);
    lblSTATUS->setText(QStringLiteral("Status..."));
    lblSTATUS->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto *hint = new QLabel(QStringLiteral("Click on the thumbnails to see images full size"), this);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(hint, 0, Qt::AlignHCenter);
    layout->addLayout(commands);
    layout->addWidget(lblSTATUS);

    CheckemController &c = m_controller;
    connect(cmdBOTH, &QPushButton::clicked, this, [&c] { c.cmdBOTH_Click(); });
    connect(cmdPREVIOUS, &QPushButton::clicked, this, [&c] { c.cmdPREVIOUS_Click(); });
    connect(cmdNEXT, &QPushButton::clicked, this, [&c] { c.cmdNEXT_Click(); });
    connect(cmdSKIP, &QPushButton::clicked, this, [&c] { c.cmdSKIP_Click(); });
    connect(cmdCOUNT, &QPushButton::clicked, this, [&c] { c.cmdCOUNT_Click(); });
    connect(cmdSTOP, &QPushButton::clicked, this, [&c] { c.cmdSTOP_Click(); });
    connect(cmdCANCEL, &QPushButton::clicked, this, [&c] { c.cmdCANCEL_Click(); });
    for (int n = 1; n <= 2; ++n) {
        const size_t i = size_t(n - 1);
        connect(cmdDELETE[i], &QPushButton::clicked, this, [&c, n] { c.cmdDELETE_Click(n); });
        connect(cmdMOVE[i], &QPushButton::clicked, this, [&c, n] { c.cmdMOVE_Click(n); });
        connect(cmdRENAME[i], &QPushButton::clicked, this, [&c, n] { c.cmdRENAME_Click(n); });
        // OK takes the focus from the box, which runs the rename.
        connect(cmdOK[i], &QPushButton::clicked, this, [this, i] { cmdOK[i]->setFocus(); });
        connect(txtNEWNAME[i], &QLineEdit::returnPressed, this, [this, i] { cmdOK[i]->setFocus(); });
    }

    m_controller.Form_Load();
    refresh();
}

// A window destroyed without closing (the program ending) has no main window to go back to.
frmCHECKEM::~frmCHECKEM() = default;

void frmCHECKEM::buildPane(int index, QGridLayout *grid, int column)
{
    const QString n = QString::number(index + 1);
    auto *thumbs = new QWidget(this);
    thumbs->setFixedSize(ThumbnailWidth, ThumbnailHeight);
    gvbIMAGE[index] = namedLabel(QStringLiteral("gvbIMAGE") + n, thumbs);
    picIMAGE[index] = namedLabel(QStringLiteral("picIMAGE") + n, thumbs);
    for (QLabel *l : {gvbIMAGE[index], picIMAGE[index]}) {
        l->setGeometry(0, 0, ThumbnailWidth, ThumbnailHeight);
        l->setAlignment(Qt::AlignCenter);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
    }
    picIMAGE[index]->hide();
    grid->addWidget(thumbs, 0, column, 1, 3, Qt::AlignCenter);

    const struct { const char *caption; std::array<QLabel *, 2> &labels; const char *name; } rows[] = {
        {"File name -", lblFILE, "lblFILE"}, {"Location -", lblPATH, "lblPATH"},
        {"Type -", lblTYPE, "lblTYPE"},      {"Size -", lblSIZE, "lblSIZE"},
        {"Date -", lblDATE, "lblDATE"},      {"Dimensions -", lblDIM, "lblDIM"},
    };
    int row = 1;
    for (const auto &r : rows) {
        grid->addWidget(new QLabel(QLatin1String(r.caption), this), row, column, Qt::AlignRight);
        QLabel *value = namedLabel(QLatin1String(r.name) + n, this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setMinimumWidth(120);
        r.labels[size_t(index)] = value;
        grid->addWidget(value, row, column + 2);
        QLabel *mark = namedLabel(QStringLiteral("lblCHK") + QLatin1String(markNames[row - 1]) + n, this);
        mark->setText(QString(QChar(0x2714))); // a check mark
        mark->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
        mark->hide();
        lblCHK[size_t(index)][size_t(row - 1)] = mark;
        grid->addWidget(mark, row, column + 1);
        ++row;
    }
    lblDIM[size_t(index)]->setText(QStringLiteral("0 x 0"));

    txtNEWNAME[size_t(index)] = new QLineEdit(this);
    txtNEWNAME[size_t(index)]->setObjectName(QStringLiteral("txtNEWNAME") + n);
    txtNEWNAME[size_t(index)]->installEventFilter(this);
    cmdOK[size_t(index)] = namedButton(QStringLiteral("cmdOK") + n, QStringLiteral("OK"), this);
    auto *renameRow = new QHBoxLayout;
    renameRow->addWidget(txtNEWNAME[size_t(index)], 1);
    renameRow->addWidget(cmdOK[size_t(index)]);
    grid->addLayout(renameRow, row++, column, 1, 3);

    cmdDELETE[size_t(index)] = namedButton(QStringLiteral("cmdDELETE") + n, QStringLiteral("&") + n + QStringLiteral(" Delete"), this);
    cmdMOVE[size_t(index)] = namedButton(QStringLiteral("cmdMOVE") + n, QStringLiteral("Move"), this);
    cmdRENAME[size_t(index)] = namedButton(QStringLiteral("cmdRENAME") + n, QStringLiteral("Rename"), this);
    auto *actions = new QHBoxLayout;
    for (QPushButton *b : {cmdDELETE[size_t(index)], cmdMOVE[size_t(index)], cmdRENAME[size_t(index)]})
        actions->addWidget(b);
    grid->addLayout(actions, row, column, 1, 3);
}

void frmCHECKEM::refresh()
{
    using Colour = CheckemController::Colour;
    const CheckemController::Buttons &b = m_controller.buttons();
    for (int i = 0; i < 2; ++i) {
        const CheckemController::Pane &p = m_controller.pane(i + 1);
        lblFILE[size_t(i)]->setText(p.file);
        lblPATH[size_t(i)]->setText(p.path);
        lblTYPE[size_t(i)]->setText(p.type);
        lblSIZE[size_t(i)]->setText(p.size);
        lblDATE[size_t(i)]->setText(p.date);
        lblDIM[size_t(i)]->setText(p.dim);
        const QString colour = p.colour == Colour::Blue  ? QStringLiteral("color: #0000ff")
                               : p.colour == Colour::Red ? QStringLiteral("color: #ff0000")
                                                         : QString();
        lblFILE[size_t(i)]->setStyleSheet(colour);
        lblPATH[size_t(i)]->setStyleSheet(colour);
        for (int m = 0; m < CheckemController::MarkCount; ++m)
            lblCHK[size_t(i)][size_t(m)]->setVisible(p.marks[size_t(m)]);
        if (p.picture.isEmpty()) {
            gvbIMAGE[size_t(i)]->clear();
            picIMAGE[size_t(i)]->clear();
            picIMAGE[size_t(i)]->hide();
        }
        QLineEdit *box = txtNEWNAME[size_t(i)];
        if (!box->hasFocus())
            box->setText(p.newName);
        box->setVisible(p.renameOpen);
        box->setEnabled(p.renameOpen);
        cmdOK[size_t(i)]->setVisible(p.renameOpen);
        cmdDELETE[size_t(i)]->setEnabled(p.deleteEnabled);
        cmdMOVE[size_t(i)]->setEnabled(p.moveEnabled);
        cmdRENAME[size_t(i)]->setEnabled(p.renameEnabled);
        gvbIMAGE[size_t(i)]->setEnabled(b.thumbnails);
        picIMAGE[size_t(i)]->setEnabled(b.thumbnails);
    }
    cmdBOTH->setEnabled(b.both);
    cmdPREVIOUS->setEnabled(b.previous);
    cmdNEXT->setEnabled(b.next);
    cmdSKIP->setEnabled(b.skip);
    cmdCANCEL->setEnabled(b.exit);
    cmdSTOP->setVisible(b.stopVisible);
    lblSTATUS->setText(m_controller.statusText());
}

std::array<QSize, 2> frmCHECKEM::loadPictures(const std::array<QString, 2> &paths)
{
    // Both pictures are decoded at once on worker threads while the window keeps painting;
    // the buttons stay locked until both are shown.
    const std::array<Thumbnails::Picture, 2> results =
        Thumbnails::load(paths, QSize(ThumbnailWidth, ThumbnailHeight));
    std::array<QSize, 2> sizes;
    for (size_t i = 0; i < 2; ++i) {
        const CheckemController::Pane &p = m_controller.pane(int(i) + 1);
        const QPixmap pixmap = QPixmap::fromImage(results[i].thumbnail);
        QLabel *shown = p.icon ? picIMAGE[i] : gvbIMAGE[i];
        (p.icon ? gvbIMAGE[i] : picIMAGE[i])->clear();
        gvbIMAGE[i]->setVisible(!p.icon);
        picIMAGE[i]->setVisible(p.icon);
        shown->setPixmap(pixmap);
        sizes[i] = results[i].size;
    }
    return sizes;
}

void frmCHECKEM::focusRenameBox(int pane)
{
    txtNEWNAME[size_t(pane - 1)]->setFocus();
}

void frmCHECKEM::focusNext()
{
    cmdNEXT->setFocus();
}

bool frmCHECKEM::eventFilter(QObject *watched, QEvent *event)
{
    for (int i = 0; i < 2; ++i) {
        if (watched == txtNEWNAME[size_t(i)] && event->type() == QEvent::FocusOut)
            m_controller.txtNEWNAME_LostFocus(i + 1, txtNEWNAME[size_t(i)]->text());
        if ((watched == gvbIMAGE[size_t(i)] || watched == picIMAGE[size_t(i)])
            && event->type() == QEvent::MouseButtonRelease) {
            m_controller.gvbIMAGE_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmCHECKEM::keyPressEvent(QKeyEvent *event)
{
    if (m_controller.Form_KeyPress(event->text()))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void frmCHECKEM::keyReleaseEvent(QKeyEvent *event)
{
    const int code = event->key() == Qt::Key_PageUp ? 33 : event->key() == Qt::Key_PageDown ? 34 : 0;
    if (!event->isAutoRepeat() && code && m_controller.Form_KeyUp(code))
        event->accept();
    else
        QWidget::keyReleaseEvent(event);
}
