// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "legacyreader.h"

#include <algorithm>
#include <cmath>

#include <QIODevice>
#include <QImageIOHandler>

namespace ImageFormats::Legacy {

bool sizeAcceptable(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= kMaxPixels;
}

QByteArray readAll(QIODevice *device, qint64 maxBytes)
{
    if (!device)
        return {};
    QByteArray data;
    // Read in pieces so that a device claiming a wrong size cannot make us reserve memory.
    char buffer[65536];
    while (data.size() < maxBytes) {
        const qint64 want = std::min<qint64>(sizeof(buffer), maxBytes - data.size());
        const qint64 got = device->read(buffer, want);
        if (got <= 0)
            break;
        data.append(buffer, got);
    }
    return data;
}

QImage allocate(int width, int height, QImage::Format format)
{
    if (!sizeAcceptable(width, height))
        return {};
    QImage image;
    if (!QImageIOHandler::allocateImage(QSize(width, height), format, &image))
        return {};
    return image;
}

QSize drawingSize(double widthInches, double heightInches)
{
    if (!(widthInches > 0) || !(heightInches > 0) || !std::isfinite(widthInches) ||
        !std::isfinite(heightInches))
        return {};
    double w = widthInches * 96.0;
    double h = heightInches * 96.0;
    double scale = 1.0;
    if (w * h > double(kMaxVectorPixels))
        scale = std::sqrt(double(kMaxVectorPixels) / (w * h));
    scale = std::min({scale, kMaxSide / w, kMaxSide / h});
    w = std::max(1.0, std::round(w * scale));
    h = std::max(1.0, std::round(h * scale));
    return QSize(int(std::min<double>(w, kMaxSide)), int(std::min<double>(h, kMaxSide)));
}

namespace {

// The part of a device rectangle that lies on the image, in pixels.
double visibleArea(const QRectF &deviceRect, const QSize &image)
{
    const QRectF visible =
        deviceRect.normalized().intersected(QRectF(0, 0, image.width(), image.height()));
    return visible.isValid() ? visible.width() * visible.height() : 0.0;
}

} // namespace

bool PaintBudget::charge(const QPainterPath &path, const QTransform &transform, const QSize &image,
                         bool wideStroke)
{
    if (m_left <= 0)
        return false;
    const QRectF bounds = transform.mapRect(path.controlPointRect());
    const double rows = std::clamp(bounds.height(), 1.0, double(std::max(1, image.height())));
    // A stroke is rasterized as its outline, several times the segments of the path.
    const qint64 segments = qint64(path.elementCount() + 1) * (wideStroke ? 4 : 1);
    m_left -= segments * qint64(rows) + qint64(visibleArea(bounds, image) / 16);
    return m_left > 0;
}

bool PaintBudget::charge(const QRectF &deviceRect, const QSize &image)
{
    if (m_left <= 0)
        return false;
    m_left -= 16 + qint64(visibleArea(deviceRect, image) / 16);
    return m_left > 0;
}

QRgb cgaColour(int index)
{
    static const QRgb colours[16] = {
        0xff000000, 0xff0000aa, 0xff00aa00, 0xff00aaaa, 0xffaa0000, 0xffaa00aa,
        0xffaa5500, 0xffaaaaaa, 0xff555555, 0xff5555ff, 0xff55ff55, 0xff55ffff,
        0xffff5555, 0xffff55ff, 0xffffff55, 0xffffffff,
    };
    return colours[index & 15];
}

QRgb egaColour(int code)
{
    // Each primary has a 2/3 bit (bits 2, 1, 0 for red, green, blue) and a 1/3 bit (5, 4, 3).
    auto level = [code](int high, int low) {
        return ((code >> high) & 1) * 0xaa + ((code >> low) & 1) * 0x55;
    };
    return qRgb(level(2, 5), level(1, 4), level(0, 3));
}

QVector<QRgb> greyRamp(int n)
{
    QVector<QRgb> ramp(n);
    for (int i = 0; i < n; ++i) {
        const int v = n > 1 ? i * 255 / (n - 1) : 0;
        ramp[i] = qRgb(v, v, v);
    }
    return ramp;
}

} // namespace ImageFormats::Legacy
