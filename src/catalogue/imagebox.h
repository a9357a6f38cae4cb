// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "pixelarray.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

// The image component of every window that shows or measures pictures: it loads one file by
// path, holds its picture and size, and carries the display mode the windows fit it with.
class ImageBox
{
public:
    // How the windows size the component around the picture.
    enum DisplayMode {
        FreeSize = 0,    // the window sets width and height; the picture is stretched to them
        NaturalSize = 1, // the component takes the picture's own size
        FitWidth = 2,    // the window sets the width; the height follows the picture's proportions
        FitHeight = 3,   // the window sets the height; the width follows the picture's proportions
    };

    // Images whose pixels would need more memory than this (at 32 bits per pixel) are refused
    // before they are decoded, so a damaged or hostile header cannot exhaust memory.
    static constexpr int AllocationLimitMB = 512;

    // Loads and decodes the file, replacing the current picture, shown upright: a photograph
    // whose camera recorded it turned (an EXIF orientation) is turned back. The empty path
    // releases the picture and succeeds. On failure the component is left empty and false is
    // returned.
    bool setFileName(const QString &path);
    QString fileName() const { return m_fileName; }
    void release();

    bool isLoaded() const { return !m_picture.isNull(); }
    // The loaded picture in Format_RGB32, transparent parts laid over the windows' face colour
    // RGB(240, 240, 240). Null when nothing is loaded.
    const QImage &picture() const { return m_picture; }
    int width() const { return m_picture.width(); }
    int height() const { return m_picture.height(); }

    void setDisplayMode(int mode) { m_displayMode = mode; }
    // The size the component takes in the current display mode when the window offers
    // `requested`: under FitWidth only its width counts, under FitHeight only its height.
    QSize displaySize(const QSize &requested) const;

    // Stored: the pixels as the file holds them, which the signatures measure. Upright: as
    // the windows show them.
    enum class Orientation { Stored, Upright };

    // Decodes an image file as the component does (format by content, then by extension;
    // transparency composited). A null image when the file cannot be read as a picture.
    static QImage decode(const QString &path, Orientation orientation = Orientation::Stored);
    // Rows top .. top + count - 1 of the picture being decoded (Format_RGB32, at its final
    // size) are in place. They come top first; top 0 starts the picture, again when a first
    // decoder gave up part-way and another decodes the file.
    using Rows = std::function<void(const QImage &picture, int top, int count)>;
    // The same as stored, telling `rows` of the rows as they are decoded: a JPEG file's a few at
    // a time, so they can be read while still in the processor's cache; other files' all at
    // once at the end. Rows told of a file that then turns out unreadable are to be dropped.
    static QImage decodeRows(const QString &path, const Rows &rows);
    // The same, upright, for a thumbnail that fits in `frame`: a JPEG file is decoded straight
    // at the smallest of a half, a quarter or an eighth of its size that still covers the
    // thumbnail, which costs a fraction of the whole picture. ownSize receives the picture's
    // own size, upright.
    static QImage decodeForFrame(const QString &path, const QSize &frame, QSize *ownSize);

private:
    QString m_fileName;
    QImage m_picture;
    int m_displayMode = NaturalSize;
};

// The backdrop transparent pixels are composited over.
constexpr QRgb ImageBackdrop = 0xFFF0F0F0;

// Converts a decoded image to Format_RGB32, compositing any transparency over ImageBackdrop.
// Works in place where the format allows it, so at most one copy of the pixels is made.
QImage toOpaqueRgb32(QImage image);

// The pixels of the rectangle at (x, y) (from the picture's top-left corner) of w x h pixels,
// as the signatures read them: column i from the left, row j from the bottom, both from 1.
// Parts of the rectangle outside the picture read as black. The whole picture of an RGB32
// image is shared, not copied.
PixelArray ReadPixels(const QImage &picture, int x, int y, int w, int h);
inline PixelArray ReadPixels(const QImage &picture)
{
    return ReadPixels(picture, 0, 0, picture.width(), picture.height());
}
