// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "signatures.h"

#include "checksum.h"
#include "coloursig.h"
#include "filesrecord.h"
#include "imagebox.h"
#include "patternsig.h"
#include "pixelarray.h"

#include <mutex>

namespace {

// HEIF photographs are decoded by a library that already spreads one picture over every core
// and holds several times its pixels while it does: a gather reads one of them at a time,
// signatures included, so that no other HEIF picture is held beside the one being decoded.
bool decodedOneAtATime(const QString &type)
{
    return type.compare(QLatin1String(".HEIC"), Qt::CaseInsensitive) == 0
           || type.compare(QLatin1String(".HEIF"), Qt::CaseInsensitive) == 0;
}

std::mutex &oneAtATime()
{
    static std::mutex lock;
    return lock;
}

} // namespace

SignatureBuffer SignatureBuffer::from(const FilesRecord &row)
{
    SignatureBuffer b;
    b.CHECKSUM = row.CHECKSUM;
    b.X = row.X;
    b.Y = row.Y;
    b.XYRATIO = row.XYRATIO;
    b.RGB = row.RGB;
    b.QRGB = row.QRGB;
    b.SOFTRGB = row.SOFTRGB;
    b.SOFTQRGB = row.SOFTQRGB;
    b.PXLRAY = row.PXLRAY;
    b.PXLNUM = row.PXLNUM;
    return b;
}

void SignatureBuffer::into(FilesRecord &row) const
{
    row.CHECKSUM = CHECKSUM;
    row.X = X;
    row.Y = Y;
    row.XYRATIO = XYRATIO;
    row.RGB = RGB;
    row.QRGB = QRGB;
    row.SOFTRGB = SOFTRGB;
    row.SOFTQRGB = SOFTQRGB;
    row.PXLRAY = PXLRAY;
    row.PXLNUM = PXLNUM;
}

bool SignatureBuffer::operator==(const SignatureBuffer &o) const
{
    return CHECKSUM == o.CHECKSUM && X == o.X && Y == o.Y && XYRATIO == o.XYRATIO && RGB == o.RGB
           && QRGB == o.QRGB && SOFTRGB == o.SOFTRGB && SOFTQRGB == o.SOFTQRGB
           && PXLRAY == o.PXLRAY && PXLNUM == o.PXLNUM;
}

SignatureNeeds missing(const SignatureBuffer &b, const SignatureNeeds &needs)
{
    SignatureNeeds m;
    m.checksum = needs.checksum
                 && (b.CHECKSUM.size() < 200 || b.CHECKSUM.at(4) != QLatin1Char(' '));
    m.colour = needs.colour
               && (b.RGB.size() < 5 || b.QRGB.size() < 5 || b.SOFTRGB.size() < 5
                   || b.SOFTQRGB.size() < 5);
    m.pattern = needs.pattern && b.PXLRAY.size() < 5;
    return m;
}

SignatureResult computeSignatures(const QString &path, const QString &type,
                                  const SignatureBuffer &buffer, const SignatureNeeds &needs,
                                  QImage *preview)
{
    SignatureResult r;
    r.buffer = buffer;
    if (needs.checksum) {
        r.buffer.CHECKSUM = Checksum::Compute(path, type);
        r.readFile = true;
    }
    if (!needs.colour && !needs.pattern)
        return r;
    std::unique_lock<std::mutex> alone(oneAtATime(), std::defer_lock);
    if (decodedOneAtATime(type))
        alone.lock();

    // The rows are read for the signatures as the decoder hands them over, while they are still
    // in the processor's cache.
    std::optional<Pattern::PatternSums> sums;
    std::optional<SignatureRows> rows;
    QImage picture = ImageBox::decodeRows(path, [&](const QImage &p, int top, int count) {
        if (top == 0) {
            rows.reset();
            sums.reset();
            if (needs.pattern)
                sums.emplace(p.width(), p.height());
            rows.emplace(p.width(), p.height(), needs.colour, sums ? &*sums : nullptr);
        }
        for (int y = top; y < top + count; ++y)
            rows->add(reinterpret_cast<const std::uint32_t *>(p.constScanLine(y)), p.height() - y);
    });
    if (picture.isNull() || !rows)
        return r; // an unreadable picture keeps what the buffer held
    r.readFile = true;
    r.decodedBytes = picture.sizeInBytes();
    if (preview)
        *preview = picture.scaled(600, 600, Qt::KeepAspectRatio, Qt::FastTransformation);
    // A trimmed frame is read again from the pixels.
    const PixelArray pixels = ReadPixels(picture);

    auto storeColour = [&r](const ColourValues &c) {
        r.buffer.X = c.x;
        r.buffer.Y = c.y;
        r.buffer.XYRATIO = c.xyRatio;
        r.buffer.RGB = c.rgb;
        r.buffer.QRGB = c.qrgb;
        r.buffer.SOFTRGB = c.softRgb;
        r.buffer.SOFTQRGB = c.softQrgb;
    };
    auto storePattern = [&r](const PatternValues &p) {
        r.buffer.X = p.x;
        r.buffer.Y = p.y;
        r.buffer.PXLRAY = p.pxlray;
        r.buffer.PXLNUM = p.pxlnum;
    };
    if (needs.colour) {
        // Without colour signatures (a side too large) there is no pattern either.
        if (auto c = rows->colour()) {
            storeColour(*c);
            if (sums)
                if (auto p = PatternSignature(pixels, *sums))
                    storePattern(*p);
        }
    } else if (auto p = PatternSignature(pixels, *sums)) {
        storePattern(*p);
    }
    return r;
}
