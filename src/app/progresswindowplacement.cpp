// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "progresswindowplacement.h"

#include "mainstate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace ProgressWindowPlacement {
namespace {

constexpr qint16 kNotSet = -5000;
constexpr int kAboveBottomTwips = 450;
// How long after showing a window its placement follows the window manager's moves: it
// frames the window only once it is on the screen, and the frame changes the window's size.
constexpr int kSettleMs = 1500;

QWidget *mainWindow()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        if (w->objectName() == QLatin1String("frmMAIN"))
            return w;
    }
    return nullptr;
}

// The frame's top-left corner that keeps the whole frame on the area, moved as little as
// possible; a frame larger than the area keeps its top-left corner on it.
QPoint inside(const QRect &available, const QRect &frame)
{
    const int x = std::max(available.left(), std::min(frame.left(), available.right() + 1 - frame.width()));
    const int y = std::max(available.top(), std::min(frame.top(), available.bottom() + 1 - frame.height()));
    return QPoint(x, y);
}

// The size of a window's frame. Before the window manager has framed it, the window gets the
// frame the main window has.
QSize frameSize(const QWidget *window)
{
    const QSize frame = window->frameGeometry().size();
    if (frame != window->size())
        return frame;
    const QWidget *main = mainWindow();
    if (!main || main == window)
        return frame;
    return frame + (main->frameGeometry().size() - main->size());
}

// Stays with a progress window and places it whenever the window manager's framing or a
// change of content moves or resizes it: by the whole rule while it settles after showing,
// afterwards only back onto the screen.
class Keeper : public QObject
{
public:
    Keeper(QWidget *window, qint16 savedTop, qint16 savedLeft)
        : QObject(window), m_window(window), m_top(savedTop), m_left(savedLeft)
    {
        window->installEventFilter(this);
    }

    void apply(bool wholeRule)
    {
        if (m_window->isMinimized() || m_window->isMaximized() || m_window->isFullScreen())
            return;
        const QScreen *s = screen();
        if (!s)
            return;
        const QRect frame(m_window->pos(), frameSize(m_window));
        const QPoint target =
            wholeRule ? framePosition(s->availableGeometry(), frame.size(), m_top, m_left, twipsPerPixel(s))
                      : inside(s->availableGeometry(), frame);
        if (target != m_window->pos())
            m_window->move(target);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window)
            return false;
        switch (event->type()) {
        case QEvent::Show:
            m_shown.start();
            apply(true);
            break;
        case QEvent::Move:
        case QEvent::Resize:
            if (m_shown.isValid())
                apply(m_shown.elapsed() < kSettleMs);
            break;
        default:
            break;
        }
        return false;
    }

private:
    QWidget *m_window;
    qint16 m_top, m_left;
    QElapsedTimer m_shown;
};

} // namespace

QScreen *screen()
{
    if (const QWidget *main = mainWindow()) {
        if (QScreen *s = main->screen())
            return s;
    }
    return QGuiApplication::primaryScreen();
}

double twipsPerPixel(const QScreen *screen)
{
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

QPoint framePosition(const QRect &available, const QSize &frame, qint16 savedTop,
                     qint16 savedLeft, double twipsPerPixel)
{
    if (savedTop != kNotSet) {
        const QPoint saved(int(std::lround(savedLeft / twipsPerPixel)),
                           int(std::lround(savedTop / twipsPerPixel)));
        return inside(available, QRect(saved, frame));
    }
    const int above = int(std::lround(kAboveBottomTwips / twipsPerPixel));
    const QPoint lowerRight(available.right() + 1 - frame.width(),
                            available.bottom() + 1 - frame.height() - above);
    return inside(available, QRect(lowerRight, frame));
}

void place(QWidget *window, const MainState &state)
{
    auto *keeper = new Keeper(window, state.scanBarTop, state.scanBarLeft);
    keeper->apply(true);
}

void store(const QWidget *window, MainState &state)
{
    if (window->isMinimized()) {
        state.scanBarMinimized = true;
        return;
    }
    // The same conversion both ways, so a window opens where it was closed, to the pixel.
    const double tpp = twipsPerPixel(screen());
    const QPoint frame = window->frameGeometry().topLeft();
    state.scanBarTop = qint16(std::clamp(std::lround(frame.y() * tpp), -32768L, 32767L));
    state.scanBarLeft = qint16(std::clamp(std::lround(frame.x() * tpp), -32768L, 32767L));
}

} // namespace ProgressWindowPlacement
