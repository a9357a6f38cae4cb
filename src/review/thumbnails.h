// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <array>

// The pair review's two thumbnails: each picture decoded by the image component and scaled
// once to the frame, on worker threads while the window's thread keeps serving its events.
namespace Thumbnails {

struct Picture
{
    QImage thumbnail; // at most the frame's size; null when nothing could be shown
    QSize size;       // the picture's own size (the error picture's when it could not be read)
};

// One picture; a file that cannot be read gives the program's error picture.
Picture decode(const QString &path, const QSize &frame);

// Both pictures at once (an empty path: none). Returns when both are done; meanwhile the
// calling thread runs its event loop, user input excluded.
std::array<Picture, 2> load(const std::array<QString, 2> &paths, const QSize &frame);

} // namespace Thumbnails
