// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class MainState;
class QScreen;
class QWidget;

// Where the progress windows (the pre-scan's and the pre-match's) open and how they remember
// it: at the lower right of the screen that holds the main window, 450 twips above its
// bottom, or where the user last left one; never with any part off the screen. Positions are
// those of the window's frame as the window manager draws it, kept in twips.
namespace ProgressWindowPlacement {

// The frame's top-left corner on a screen's available area: the saved position (twips; -5000
// for none) moved as little as needed to bring the whole frame onto the area, or the lower
// right corner 450 twips above the bottom.
QPoint framePosition(const QRect &available, const QSize &frame, qint16 savedTop,
                     qint16 savedLeft, double twipsPerPixel);

// Places a progress window by that rule, from the saved position in the shared state. Call it
// once the window has its size, before it is shown: it stays with the window, places it again
// once the window manager has framed it, and pulls it back onto the screen when it grows.
void place(QWidget *window, const MainState &state);

// Remembers where a closing progress window is: its frame's position in ScanBarTop and
// ScanBarLeft, or ScanBarMinimized when it is minimised.
void store(const QWidget *window, MainState &state);

// The screen the progress windows use: the one holding the main window, else the primary one.
QScreen *screen();
double twipsPerPixel(const QScreen *screen);

} // namespace ProgressWindowPlacement
