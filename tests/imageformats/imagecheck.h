// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// What the decoder tests share: reading bytes as the program does and comparing pictures.
#pragma once

#include "formats.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <string>

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// Reads bytes through QImageReader, by content alone unless a format is named; the format the
// reader chose goes to detected.
inline QImage readBytes(const QByteArray &bytes, const QByteArray &format = {},
                        QByteArray *detected = nullptr)
{
    ImageFormats::registerBuiltInFormats();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    if (detected)
        *detected = reader.format();
    return reader.read();
}

// Empty when the pictures agree pixel for pixel, alpha included, else where they first differ.
inline std::string difference(const QImage &actual, const QImage &expected)
{
    if (actual.isNull())
        return "no picture";
    if (actual.size() != expected.size())
        return "size " + std::to_string(actual.width()) + "x" + std::to_string(actual.height()) +
               ", expected " + std::to_string(expected.width()) + "x" +
               std::to_string(expected.height());
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    const QImage e = expected.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != e.pixel(x, y))
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + " is " +
                       QColor::fromRgba(a.pixel(x, y)).name(QColor::HexArgb).toStdString() +
                       " not " +
                       QColor::fromRgba(e.pixel(x, y)).name(QColor::HexArgb).toStdString();
        }
    }
    return {};
}
