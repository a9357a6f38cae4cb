// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "hrzhandler.h"

#include <algorithm>

#include "legacyreader.h"

using namespace ImageFormats::Legacy;

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 240;

// Widens a 6-bit sample to 8 bits so that 63 is white.
inline int widen(int v)
{
    v = std::min(v, 63);
    return (v << 2) | (v >> 4);
}

} // namespace

bool HrzHandler::canRead() const
{
    return device() != nullptr;
}

bool HrzHandler::canRead(QIODevice *)
{
    // The file is bare pixels: it is known by its name.
    return false;
}

QImage HrzHandler::decode(const QByteArray &data)
{
    // Rows from the top, three bytes a pixel (red, green, blue). A short file gives the rows it
    // holds over black.
    const qint64 pixels = std::min<qint64>(data.size() / 3, qint64(kWidth) * kHeight);
    if (pixels == 0)
        return {};
    QImage image = allocate(kWidth, kHeight, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::black);
    const auto *src = reinterpret_cast<const uchar *>(data.constData());
    for (int y = 0; qint64(y) * kWidth < pixels; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        const int n = int(std::min<qint64>(kWidth, pixels - qint64(y) * kWidth));
        for (int x = 0; x < n; ++x, src += 3)
            row[x] = qRgb(widen(src[0]), widen(src[1]), widen(src[2]));
    }
    return image;
}

bool HrzHandler::read(QImage *image)
{
    const QImage decoded = decode(readAll(device(), qint64(kWidth) * kHeight * 3));
    if (decoded.isNull())
        return false;
    *image = decoded;
    return true;
}
