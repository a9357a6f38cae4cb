// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmviewimages.h"

#include "frmaltview.h"
#include "programdir.h"
#include "prompts.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

namespace {

bool isIcon(const QString &path)
{
    const QString lower = path.toLower();
    return lower.endsWith(QLatin1String(".cur")) || lower.endsWith(QLatin1String(".ico"));
}

template <typename T>
T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace

frmVIEWIMAGES::frmVIEWIMAGES(MainState *state, QWidget *parent) : QDialog(parent), m_state(state)
{
    setObjectName(QStringLiteral("frmVIEWIMAGES"));
    setWindowTitle(QStringLiteral("Vexa! - View images"));
    for (size_t i = 0; i < 2; ++i) {
        const QString n = QString::number(i + 1);
        Picturebox[i] = named(new QFrame(this), QStringLiteral("Picturebox") + n);
        Picturebox[i]->setAutoFillBackground(true);
        Picturebox[i]->setBackgroundRole(QPalette::Dark);
        Picture[i] = named(new QWidget(Picturebox[i]), QStringLiteral("Picture") + n);
        gvbIMAGE[i] = named(new QLabel(Picture[i]), QStringLiteral("gvbIMAGE") + n);
        gvbIMAGE[i]->setScaledContents(true);
        picIMAGE[i] = named(new QLabel(Picture[i]), QStringLiteral("picIMAGE") + n);
        picIMAGE[i]->hide();
        VScroll[i] = named(new QScrollBar(Qt::Vertical, this), QStringLiteral("VScroll") + n);
        HScroll[i] = named(new QScrollBar(Qt::Horizontal, this), QStringLiteral("HScroll") + n);
        cmdCORNER[i] = named(new QWidget(this), QStringLiteral("cmdCORNER") + n);
        cmdCORNER[i]->setAutoFillBackground(true);
        lblFILE[i] = named(new QLabel(this), QStringLiteral("lblFILE") + n);
        lblSIZE[i] = named(new QLabel(this), QStringLiteral("lblSIZE") + n);
        for (QLabel *l : {lblFILE[i], lblSIZE[i]})
            l->setTextFormat(Qt::PlainText);
        // Each button has an access key of its own.
        cmdDELETE[i] = named(new QPushButton(QStringLiteral("Delete &") + n, this), QStringLiteral("cmdDELETE") + n);
        cmdVIEW[i] = named(new QPushButton(i == 0 ? QStringLiteral("&View 1...") : QStringLiteral("V&iew 2..."), this),
                           QStringLiteral("cmdVIEW") + n);
        cmdVIEW[i]->setToolTip(QStringLiteral("Open the picture in another program"));
        for (QPushButton *b : {cmdDELETE[i], cmdVIEW[i]})
            b->setAutoDefault(false);
        for (QWidget *w : {static_cast<QWidget *>(Picturebox[i]), static_cast<QWidget *>(gvbIMAGE[i]),
                           static_cast<QWidget *>(picIMAGE[i])}) {
            w->installEventFilter(this);
        }
        gvbIMAGE[i]->setCursor(Qt::PointingHandCursor);
        const int index = int(i) + 1;
        connect(HScroll[i], &QScrollBar::valueChanged, this, [this, index] { scrolled(index); });
        connect(VScroll[i], &QScrollBar::valueChanged, this, [this, index] { scrolled(index); });
        connect(cmdDELETE[i], &QPushButton::clicked, this, [this, index] { cmdDELETE_Click(index); });
        connect(cmdVIEW[i], &QPushButton::clicked, this, [this, index] { cmdVIEW_Click(index); });
    }
    cmdRETURN = named(new QPushButton(QStringLiteral("&Return"), this), QStringLiteral("cmdRETURN"));
    cmdRETURN->setDefault(true);
    connect(cmdRETURN, &QPushButton::clicked, this, &frmVIEWIMAGES::cmdRETURN_Click);

    // At least a third of the screen each way.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QSize s = screen->availableGeometry().size();
        setMinimumSize(s.width() / 3, s.height() / 3);
        resize(qMax(s.width() * 3 / 4, 640), qMax(s.height() * 3 / 4, 480));
    } else {
        resize(900, 600);
    }
}

QString frmVIEWIMAGES::view(MainState &state, QWidget *parent, const QString &firstPath,
                            const QString &secondPath, const QString &firstSize,
                            const QString &secondSize)
{
    frmVIEWIMAGES viewer(&state, parent);
    if (firstPath.isEmpty())
        viewer.showImages(secondPath, QString(), secondSize, QString());
    else
        viewer.showImages(firstPath, secondPath, firstSize, secondSize);
    // A file the viewer cannot show may still open in the user's own program.
    for (int n = 1; n <= 2; ++n) {
        if (!viewer.wasRead(n))
            frmALTVIEW::offer(state, viewer.m_path[size_t(n - 1)]);
    }
    Prompts::exec(&viewer);
    return viewer.deleteRequest();
}

int frmVIEWIMAGES::px(double twips) const
{
    return qRound(twips * logicalDpiX() / 1440.0);
}

bool frmVIEWIMAGES::showImages(const QString &firstPath, const QString &secondPath,
                               const QString &firstSize, const QString &secondSize)
{
    const bool first = load(1, firstPath, firstSize);
    const bool second = load(2, secondPath, secondSize);
    Form_Resize();
    return first && second;
}

bool frmVIEWIMAGES::load(int n, const QString &path, const QString &sizeText)
{
    clear(n);
    const size_t i = size_t(n - 1);
    m_path[i] = path;
    if (path.isEmpty())
        return true;
    lblFILE[i]->setToolTip(path);
    ImageBox &box = m_box[i];
    m_read[i] = box.setFileName(path);
    if (m_read[i]) {
        lblSIZE[i]->setText(
            QStringLiteral("%1,  %2 x %3").arg(sizeText).arg(box.width()).arg(box.height()));
    } else {
        // The picture shown for unreadable files; when it is missing too the frame stays empty.
        box.setFileName(ProgramDir::file(QStringLiteral("error.bmp")));
        lblSIZE[i]->setText(QStringLiteral("%1,  cannot be read").arg(sizeText));
    }
    if (box.isLoaded()) {
        // Cursors and icons go to the picture box, which always shows them at their own size.
        const bool icon = m_read[i] && isIcon(path);
        QLabel *shown = icon ? picIMAGE[i] : gvbIMAGE[i];
        shown->setPixmap(QPixmap::fromImage(box.picture()));
        gvbIMAGE[i]->setVisible(!icon);
        picIMAGE[i]->setVisible(icon);
        if (icon)
            picIMAGE[i]->raise();
    }
    return m_read[i];
}

void frmVIEWIMAGES::clear(int n)
{
    const size_t i = size_t(n - 1);
    m_box[i].release();
    m_path[i].clear();
    m_read[i] = true;
    gvbIMAGE[i]->clear();
    picIMAGE[i]->clear();
    picIMAGE[i]->hide();
    lblFILE[i]->clear();
    lblFILE[i]->setToolTip(QString());
    lblSIZE[i]->clear();
}

QString frmVIEWIMAGES::shortened(const QString &text, const std::function<bool(const QString &)> &fits)
{
    QString s = text;
    // Each round takes one more character out after the "...".
    while (s.size() > 7 && !fits(s))
        s = s.left(3) + QStringLiteral("...") + s.mid(7);
    return s;
}

void frmVIEWIMAGES::Form_Resize()
{
    const double tp = 1440.0 / logicalDpiX();
    const double w = width() * tp, h = height() * tp;
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const double barT = bar * tp;
    // A single picture takes the whole width.
    const bool two = !m_path[1].isEmpty();
    const double frameW = (two ? w / 2 : w) - barT - 240;
    const double frameH = h - 1800;
    for (size_t i = 0; i < 2; ++i) {
        const bool shown = i == 0 || two;
        for (QWidget *widget : {static_cast<QWidget *>(Picturebox[i]), static_cast<QWidget *>(VScroll[i]),
                                static_cast<QWidget *>(HScroll[i]), cmdCORNER[i],
                                static_cast<QWidget *>(lblFILE[i]), static_cast<QWidget *>(lblSIZE[i])}) {
            widget->setVisible(shown);
        }
        // An image's buttons are there only for an image.
        cmdDELETE[i]->setVisible(shown && !m_path[i].isEmpty());
        cmdVIEW[i]->setVisible(shown && !m_path[i].isEmpty() && m_state);
        if (!shown)
            continue;
        const QRect frame(px(i == 0 ? 120 : w / 2 + 120), px(120), px(frameW), px(frameH));
        Picturebox[i]->setGeometry(frame);
        VScroll[i]->setGeometry(frame.right() + 1, frame.top(), bar, frame.height());
        HScroll[i]->setGeometry(frame.left(), frame.bottom() + 1, frame.width(), bar);
        cmdCORNER[i]->setGeometry(frame.right() + 1, frame.bottom() + 1, bar, bar);
        const int fileTop = frame.bottom() + 1 + bar + px(120);
        lblFILE[i]->setGeometry(frame.left(), fileTop, frame.width(), px(240));
        lblSIZE[i]->setGeometry(frame.left(), fileTop + px(400), frame.width(), px(240));
        const QFontMetrics metrics(lblFILE[i]->font());
        lblFILE[i]->setText(shortened(m_path[i], [&](const QString &s) {
            return metrics.horizontalAdvance(s) <= frame.width();
        }));
        const int buttonsTop = height() - px(740);
        cmdDELETE[i]->setGeometry(frame.left(), buttonsTop, px(1200), px(375));
        cmdVIEW[i]->setGeometry(frame.left() + px(1320), buttonsTop, px(1200), px(375));

        // The picture at its own size, or fitted where it is larger than its frame.
        ImageBox &box = m_box[i];
        QSize shownSize(box.width(), box.height());
        if (m_fit && box.isLoaded()
            && (box.width() > frame.width() || box.height() > frame.height())) {
            const bool byWidth = double(frame.width()) / box.width()
                                 <= double(frame.height()) / box.height();
            box.setDisplayMode(byWidth ? ImageBox::FitWidth : ImageBox::FitHeight);
            shownSize = box.displaySize(frame.size());
        } else {
            box.setDisplayMode(ImageBox::NaturalSize);
        }
        Picture[i]->setGeometry(0, 0, shownSize.width(), shownSize.height());
        gvbIMAGE[i]->setGeometry(0, 0, shownSize.width(), shownSize.height());
        picIMAGE[i]->setGeometry(0, 0, box.width(), box.height());
        // Scroll ranges: the part of the picture that does not fit, in steps of a fiftieth and
        // a tenth of it.
        const auto range = [](QScrollBar *barWidget, int excess) {
            const int max = qMax(0, excess);
            barWidget->setRange(0, max);
            barWidget->setSingleStep(qMax(1, max / 50));
            barWidget->setPageStep(qMax(1, max / 10));
        };
        const bool loaded = box.isLoaded();
        range(HScroll[i], loaded ? shownSize.width() - frame.width() : 0);
        range(VScroll[i], loaded ? shownSize.height() - frame.height() : 0);
    }
    for (size_t i = 0; i < 2; ++i) {
        HScroll[i]->setValue(0);
        VScroll[i]->setValue(0);
    }
    cmdRETURN->setGeometry(width() - px(120 + 1200), height() - px(740), px(1200), px(375));
}

void frmVIEWIMAGES::scrolled(int n)
{
    const size_t i = size_t(n - 1);
    Picture[i]->move(-HScroll[i]->value(), -VScroll[i]->value());
    // Two pictures of one size move together when the first one's bars move.
    if (n == 1 && !m_path[1].isEmpty()) {
        for (const auto &bars : {HScroll, VScroll}) {
            if (bars[1]->maximum() == bars[0]->maximum())
                bars[1]->setValue(bars[0]->value());
        }
    }
}

void frmVIEWIMAGES::gvbIMAGE_Click()
{
    m_fit = !m_fit;
    Form_Resize();
}

void frmVIEWIMAGES::cmdRETURN_Click()
{
    clear(1);
    clear(2);
    hide();
    setResult(QDialog::Accepted);
}

void frmVIEWIMAGES::cmdDELETE_Click(int n)
{
    const QString path = m_path[size_t(n - 1)];
    if (path.isEmpty())
        return;
    m_deleteRequest = path;
    cmdRETURN_Click();
}

void frmVIEWIMAGES::cmdVIEW_Click(int n)
{
    const QString path = m_path[size_t(n - 1)];
    if (!path.isEmpty() && m_state)
        frmALTVIEW::offer(*m_state, path);
}

void frmVIEWIMAGES::reject()
{
    cmdRETURN_Click();
    QDialog::reject();
}

bool frmVIEWIMAGES::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        for (size_t i = 0; i < 2; ++i) {
            if (watched == picIMAGE[i]) {
                cmdRETURN_Click();
                return true;
            }
            if (watched == gvbIMAGE[i] || watched == Picturebox[i]) {
                gvbIMAGE_Click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmVIEWIMAGES::keyPressEvent(QKeyEvent *event)
{
    const QString key = event->text().toUpper();
    if (key == QLatin1String("1") || key == QLatin1String("2")) {
        cmdDELETE_Click(key.toInt());
    } else if (key == QLatin1String("R") || key == QLatin1String("V") || key == QLatin1String("/")) {
        cmdRETURN_Click();
    } else {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
}

void frmVIEWIMAGES::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmVIEWIMAGES::showEvent(QShowEvent *event)
{
    m_deleteRequest.clear();
    QDialog::showEvent(event);
    Form_Resize();
}
