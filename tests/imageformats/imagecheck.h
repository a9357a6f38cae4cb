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

#include <initializer_list>
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

// Byte building for the hand-made files, little-endian (Bytes) or big-endian (Be).
template <bool BigEndian>
struct ByteWriter
{
    QByteArray d;
    ByteWriter &u8(int v) { return d.append(char(v)), *this; }
    ByteWriter &u8s(std::initializer_list<int> values)
    {
        for (int v : values)
            u8(v);
        return *this;
    }
    ByteWriter &u16(int v) { return BigEndian ? u8(v >> 8).u8(v) : u8(v).u8(v >> 8); }
    ByteWriter &u16s(std::initializer_list<int> values)
    {
        for (int v : values)
            u16(v);
        return *this;
    }
    ByteWriter &u32(quint32 v)
    {
        return BigEndian ? u16(int(v >> 16)).u16(int(v)) : u16(int(v & 0xffff)).u16(int(v >> 16));
    }
    ByteWriter &rect(int t, int l, int b, int r) { return u16s({t, l, b, r}); }
    ByteWriter &raw(const QByteArray &b) { return d.append(b), *this; }
};
using Bytes = ByteWriter<false>;
using Be = ByteWriter<true>;

// PackBits over units of one or two bytes: runs of equal units repeat, the rest are literals.
inline QByteArray packBits(const QByteArray &row, int unit)
{
    const int n = int(row.size()) / unit;
    const auto at = [&](int i) { return row.mid(i * unit, unit); };
    QByteArray out;
    for (int i = 0, run = 1, literal = 1; i < n; i += run > 1 ? run : literal, run = literal = 1) {
        while (i + run < n && run < 128 && at(i) == at(i + run))
            ++run;
        while (run == 1 && i + literal < n && literal < 128 &&
               at(i + literal) != at(i + literal - 1))
            ++literal;
        if (run > 1)
            out.append(char(1 - run)).append(at(i));
        else
            out.append(char(literal - 1)).append(row.mid(i * unit, literal * unit));
    }
    return out;
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
