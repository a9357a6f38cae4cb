// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QByteArray>
#include <QImage>

#include <functional>

// The image component's own path for most JPEG files: the same library and settings as the
// toolkit's reader (accurate integer transform, smooth upsampling), decoding straight into
// 32-bit pixels instead of into 24-bit rows copied one by one, so each picture is written to
// memory once. Grey and colour pictures only; others are left to the toolkit.
namespace JpegReader {

enum class Outcome {
    Decoded,    // image holds the picture in Format_RGB32
    Unreadable, // a JPEG that the toolkit's reader would not give either: cut short, too large
    NotHandled, // not ours to decide (another colour model, a damaged stream): ask the toolkit
};

struct Result
{
    Outcome outcome = Outcome::NotHandled;
    QImage image;
};

// Rows top .. top + count - 1 of the picture being decoded are now in place.
using Rows = std::function<void(const QImage &picture, int top, int count)>;

// Decodes the whole file's bytes, telling `rows` (when given) of each few rows as they are
// decoded, top first. Pictures whose pixels would take more than maxBytes are refused before
// any is decoded.
Result read(const QByteArray &data, qint64 maxBytes, const Rows &rows = {});

} // namespace JpegReader
