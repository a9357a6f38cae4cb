// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "picthandler.h"

#include "rasterio.h"

#include <QIODevice>
#include <QLoggingCategory>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <vector>

Q_LOGGING_CATEGORY(lcPict, "vexa.imageformats.pict")

using namespace ImageFormats::Raster;

namespace {

// A picture: the file header (512 bytes, often zero; some files lack it), the picture's size
// (a word, meaningless past 64 KB) and frame, the version operation, then operations to the
// end operation 0x00FF. Version 1 has one-byte operations; version 2 two-byte operations on
// even offsets. Every number is big-endian.
constexpr qint64 kFileHeader = 512;

struct Rect
{
    int top = 0, left = 0, bottom = 0, right = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool valid() const { return right > left && bottom > top; }
    QRect toQRect() const { return QRect(left, top, width(), height()); }
};

class Reader
{
public:
    Reader(const QByteArray &data, qint64 pos)
        : m_data(reinterpret_cast<const uchar *>(data.constData())), m_size(data.size()), m_pos(pos)
    {}
    bool ok() const { return m_ok; }
    qint64 pos() const { return m_pos; }
    bool has(qint64 n) const { return m_ok && n >= 0 && n <= m_size - m_pos; }
    const uchar *current() const { return m_data + m_pos; }
    bool skip(qint64 n)
    {
        if (!has(n))
            return fail();
        m_pos += n;
        return true;
    }
    int u8() { return has(1) ? m_data[m_pos++] : (fail(), 0); }
    int u16()
    {
        if (!has(2))
            return fail(), 0;
        m_pos += 2;
        return be16(m_data + m_pos - 2);
    }
    int s16() { return int16_t(u16()); }
    qint64 u32()
    {
        if (!has(4))
            return fail(), 0;
        m_pos += 4;
        return be32(m_data + m_pos - 4);
    }
    Rect rect()
    {
        Rect r;
        r.top = s16();
        r.left = s16();
        r.bottom = s16();
        r.right = s16();
        return r;
    }
    void alignEven() { m_pos += m_pos & 1; }
    bool fail()
    {
        m_ok = false;
        return false;
    }

private:
    const uchar *m_data;
    qint64 m_size;
    qint64 m_pos;
    bool m_ok = true;
};

// The version of the picture starting at start (its size word), 0 when there is none there.
int versionAt(const QByteArray &data, qint64 start)
{
    if (data.size() < start + 14)
        return 0;
    const auto *p = reinterpret_cast<const uchar *>(data.constData()) + start;
    const auto s = [p](int k) { return int16_t(be16(p + k)); };
    if (!(s(6) > s(2) && s(8) > s(4)))
        return 0; // the frame: top, left, bottom, right
    if (p[10] == 0x11 && p[11] == 0x01)
        return 1;
    if (p[10] == 0x00 && p[11] == 0x11 && p[12] == 0x02 && p[13] == 0xff)
        return 2;
    return 0;
}

// Where the picture starts, or -1: after the file header, or at 0 for one without it.
qint64 pictureStart(const QByteArray &data, int *version)
{
    for (qint64 start : {kFileHeader, qint64(0)}) {
        if ((*version = versionAt(data, start)) != 0)
            return start;
    }
    return -1;
}

// A region: its size in bytes (with this word), its bounds, then for a region that is not a
// rectangle the lines where it changes: the line's y and the x's at which coverage flips from
// the line above, each list ended by 0x7FFF, the whole ended by 0x7FFF.
bool readRegion(Reader &r, QRegion *region)
{
    const qint64 start = r.pos();
    const int size = r.u16();
    const Rect bounds = r.rect();
    if (!r.ok() || size < 10 || !r.has(size - 10))
        return r.fail();
    const qint64 end = start + size;
    if (size == 10) {
        if (region)
            *region = bounds.valid() ? QRegion(bounds.toQRect()) : QRegion();
        return true;
    }
    std::vector<QRect> rects;
    std::vector<int> flips; // sorted x's where the current lines change between out and in
    int lineY = bounds.top;
    while (r.pos() + 2 <= end) {
        const int y = r.s16();
        if (y == 0x7fff)
            break;
        for (size_t k = 0; k + 1 < flips.size() && y > lineY; k += 2)
            rects.emplace_back(flips[k], lineY, flips[k + 1] - flips[k], y - lineY);
        while (r.pos() + 2 <= end) {
            const int x = r.s16();
            if (x == 0x7fff)
                break;
            const auto at = std::lower_bound(flips.begin(), flips.end(), x);
            if (at != flips.end() && *at == x)
                flips.erase(at);
            else
                flips.insert(at, x);
        }
        lineY = std::max(lineY, y);
    }
    r.skip(end - r.pos());
    if (region) {
        region->setRects(rects.data(), int(rects.size()));
        *region &= QRegion(bounds.toQRect());
    }
    return r.ok();
}

// The part of a pixel map after its row bytes and bounds: version, packing, resolutions, pixel
// type and size, components, then three long words of no use here.
struct PixMap
{
    int rowBytes = 0;
    Rect bounds;
    int packType = 0;
    int pixelSize = 1;
    int cmpCount = 1;
};

void readPixMapFields(Reader &r, PixMap &pm)
{
    r.u16();
    pm.packType = r.u16();
    r.skip(12);
    r.u16();
    pm.pixelSize = r.u16();
    pm.cmpCount = r.u16();
    r.u16();
    r.skip(12);
}

// A colour table: seed, flags, entries less one, then index and 16-bit red, green, blue for
// each. With the flags' high bit the index is the entry's place.
QVector<QRgb> readColourTable(Reader &r)
{
    r.u32();
    const int flags = r.u16();
    const int count = r.s16() + 1;
    QVector<QRgb> colours(256, qRgb(0, 0, 0));
    if (count < 0 || count > 256 || !r.has(qint64(count) * 8)) {
        r.fail();
        return colours;
    }
    const auto level = [](int v) { return (v * 255 + 32767) / 65535; };
    for (int i = 0; i < count; ++i) {
        const int index = (flags & 0x8000) ? i : r.u16() & 0xff;
        if (flags & 0x8000)
            r.u16();
        const int red = r.u16(), green = r.u16(), blue = r.u16();
        colours[index] = qRgb(level(red), level(green), level(blue));
    }
    return colours;
}

// Expands PackBits data of 16-bit units (the packing of 16-bit direct pixels).
void unpackWords(const uchar *src, const uchar *end, uchar *dst, qsizetype count)
{
    qsizetype written = 0;
    while (written + 1 < count && src < end) {
        const int n = *src++;
        if (n < 128) {
            for (int k = 0; k <= n && src + 1 < end && written + 1 < count; ++k, src += 2) {
                dst[written++] = src[0];
                dst[written++] = src[1];
            }
        } else if (n > 128 && src + 1 < end) {
            for (int k = 0; k < 257 - n && written + 1 < count; ++k) {
                dst[written++] = src[0];
                dst[written++] = src[1];
            }
            src += 2;
        }
    }
}

// Reads the rows of a bitmap's pixel data into pixels (one colour each), or only passes over
// them when pixels is null. False when the data runs out.
bool readRows(Reader &r, const PixMap &pm, bool packed, const QVector<QRgb> &colours,
              QImage *pixels)
{
    const int width = pm.bounds.width();
    const int height = pm.bounds.height();
    const bool planar = pm.pixelSize == 32 && packed && pm.packType != 3;
    const bool rgbTriplets = pm.pixelSize == 32 && !packed && pm.packType == 2;
    // Bytes of one row once unpacked.
    const qint64 rowLength = planar        ? qint64(width) * std::max(3, std::min(4, pm.cmpCount))
                             : rgbTriplets ? qint64(width) * 3
                                           : pm.rowBytes;
    std::vector<uchar> row(size_t(std::max<qint64>(rowLength, 1)), 0);
    for (int y = 0; y < height; ++y) {
        if (packed) {
            const int count = pm.rowBytes > 250 ? r.u16() : r.u8();
            if (!r.has(count))
                return r.fail();
            const uchar *src = r.current();
            if (pixels) {
                std::fill(row.begin(), row.end(), 0);
                if (pm.pixelSize == 16)
                    unpackWords(src, src + count, row.data(), rowLength);
                else
                    unpackBits(src, src + count, row.data(), rowLength);
            }
            r.skip(count);
        } else {
            if (!r.has(rowLength))
                return r.fail();
            if (pixels)
                std::copy_n(r.current(), rowLength, row.begin());
            r.skip(rowLength);
        }
        if (!pixels)
            continue;
        auto *out = reinterpret_cast<QRgb *>(pixels->scanLine(y));
        const uchar *p = row.data();
        switch (pm.pixelSize) {
        case 16:
            for (int x = 0; x < width; ++x) {
                const int v = be16(p + 2 * x);
                const auto five = [](int c) { return (c << 3) | (c >> 2); };
                out[x] = qRgb(five((v >> 10) & 31), five((v >> 5) & 31), five(v & 31));
            }
            break;
        case 32:
            if (planar) {
                // One plane of each component in turn; the first of four is alpha, not shown.
                const int skip = pm.cmpCount >= 4 ? width : 0;
                for (int x = 0; x < width; ++x)
                    out[x] = qRgb(p[skip + x], p[skip + width + x], p[skip + 2 * width + x]);
            } else if (rgbTriplets) {
                for (int x = 0; x < width; ++x)
                    out[x] = qRgb(p[3 * x], p[3 * x + 1], p[3 * x + 2]);
            } else {
                for (int x = 0; x < width; ++x)
                    out[x] = qRgb(p[4 * x + 1], p[4 * x + 2], p[4 * x + 3]);
            }
            break;
        default: {
            const int bits = pm.pixelSize;
            const int mask = (1 << bits) - 1;
            for (int x = 0; x < width; ++x) {
                const int bit = x * bits;
                out[x] = colours[(p[bit >> 3] >> (8 - bits - (bit & 7))) & mask];
            }
        }
        }
    }
    return true;
}

// One bitmap operation: where it goes and its pixels.
struct Bitmap
{
    Rect source, destination;
    QRegion mask;
    bool masked = false;
    QImage pixels; // the bounds' pixels, RGB32
};

// Reads a bitmap operation's data: BitsRect 0x90, BitsRgn 0x91, PackBitsRect 0x98, PackBitsRgn
// 0x99 (a one-bit bit map, or a pixel map with a colour table), DirectBitsRect 0x9A and
// DirectBitsRgn 0x9B (a pixel map of direct colours). The Rgn forms add a mask region.
bool readBitmap(Reader &r, int opcode, QRgb foreground, QRgb background, Bitmap *out, QString *why)
{
    const bool direct = opcode == 0x9a || opcode == 0x9b;
    if (direct)
        r.u32(); // base address
    PixMap pm;
    const int rowWord = r.u16();
    const bool pixMap = direct || (rowWord & 0x8000);
    pm.rowBytes = rowWord & 0x3fff;
    pm.bounds = r.rect();
    QVector<QRgb> colours;
    if (pixMap) {
        readPixMapFields(r, pm);
        if (!direct)
            colours = readColourTable(r);
    } else {
        colours = {background, foreground};
    }
    Bitmap b;
    b.source = r.rect();
    b.destination = r.rect();
    r.u16(); // transfer mode: every mode is shown as a copy
    if ((opcode & 1) && !readRegion(r, &b.mask))
        return false;
    b.masked = opcode & 1;
    if (!r.ok())
        return false;
    const int width = pm.bounds.width(), height = pm.bounds.height();
    const bool depthOk = pm.pixelSize == 1 || pm.pixelSize == 2 || pm.pixelSize == 4 ||
                         pm.pixelSize == 8 || pm.pixelSize == 16 || pm.pixelSize == 32;
    const qint64 needed = (qint64(width) * pm.pixelSize + 7) / 8;
    if (!depthOk || !sizeIsSane(width, height) || pm.rowBytes < needed) {
        if (why)
            *why = QStringLiteral("a bitmap of %1 x %2 at %3 bits a pixel in %4 bytes a row "
                                  "cannot be read")
                       .arg(width)
                       .arg(height)
                       .arg(pm.pixelSize)
                       .arg(pm.rowBytes);
        return r.fail();
    }
    // Rows shorter than 8 bytes are never packed; nor are those of the plain operations or of
    // direct pixels whose packing says so.
    const bool packed =
        pm.rowBytes >= 8 && (opcode >= 0x98) && !(direct && (pm.packType == 1 || pm.packType == 2));
    // Every row takes some data: a header cannot claim rows the file lacks.
    const qint64 leastPerRow = packed                       ? (pm.rowBytes > 250 ? 2 : 1)
                               : direct && pm.packType == 2 ? qint64(width) * 3
                                                            : pm.rowBytes;
    if (!r.has(leastPerRow * height) || !allocate(&b.pixels, width, height, QImage::Format_RGB32))
        return r.fail();
    colours.resize(256, qRgb(0, 0, 0));
    if (!readRows(r, pm, packed, colours, &b.pixels))
        return false;
    b.source.top -= pm.bounds.top;
    b.source.bottom -= pm.bounds.top;
    b.source.left -= pm.bounds.left;
    b.source.right -= pm.bounds.left;
    *out = std::move(b);
    return true;
}

// A pixel pattern: its type, an old-style 8 x 8 pattern, then for type 1 a pixel map with its
// colour table and pixels, for type 2 an RGB colour.
bool skipPixPat(Reader &r)
{
    const int type = r.u16();
    r.skip(8);
    if (type == 2)
        return r.skip(6);
    if (type != 1)
        return r.ok();
    PixMap pm;
    pm.rowBytes = r.u16() & 0x3fff;
    pm.bounds = r.rect();
    readPixMapFields(r, pm);
    readColourTable(r);
    if (!r.ok() || pm.bounds.height() < 0 || pm.bounds.height() > 32767 || pm.bounds.width() < 0 ||
        pm.pixelSize < 1 || pm.pixelSize > 32)
        return r.fail();
    // A pattern's pixels are passed over: only their row structure matters.
    pm.pixelSize = std::min(pm.pixelSize, 8);
    return readRows(r, pm, pm.rowBytes >= 8, {}, nullptr);
}

// Passes over the data of an operation that draws nothing we keep.
bool skipOperation(Reader &r, int op, int version)
{
    const auto sized16 = [&r] { return r.skip(r.u16()); };                   // length word, data
    const auto sized32 = [&r] { return r.skip(r.u32()); };                   // length long, data
    const auto withSize = [&r] { return r.skip(std::max(0, r.u16() - 2)); }; // size counts itself
    const auto text = [&r](int before) { return r.skip(before) && r.skip(r.u8()); };
    if (op >= 0x8100)
        return sized32();
    if (op >= 0x8000)
        return true;
    if (op >= 0x0100)
        return r.skip((op >> 8) * 2);
    static const signed char fixed[0x24] = {
        0, -1, 8,  2,  1,  2, 4, 4, 2, 8, 8, 4, 4, 2, 4, 4, // 0x00-0x0F
        8, 0,  -1, -1, -1, 2, 2, 0, 0, 0, 6, 6, 0, 6, 0, 6, // 0x10-0x1F
        8, 4,  6,  2,                                       // 0x20-0x23
    };
    if (op == 0x11)
        return r.skip(version == 1 ? 1 : 2);
    if (op == 0x01)
        return withSize();
    if (op >= 0x12 && op <= 0x14)
        return skipPixPat(r);
    if (op < 0x24)
        return r.skip(fixed[op]);
    switch (op) {
    case 0x28:
        return text(4);
    case 0x29:
    case 0x2a:
        return text(1);
    case 0x2b:
        return text(2);
    case 0xa0:
        return r.skip(2);
    case 0xa1:
        return r.skip(2) && sized16();
    default:
        break;
    }
    if (op <= 0x2f || (op >= 0x92 && op <= 0x97) || (op >= 0x9c && op <= 0x9f) ||
        (op >= 0xa2 && op <= 0xaf))
        return sized16();
    if (op >= 0xd0)
        return sized32();
    if (op >= 0xb0)
        return true;
    // Shapes: the first of each group of eight gives its geometry, the others reuse it.
    const int group = op & ~7;
    const bool same = op & 8;
    if (op >= 0x30 && op < 0x60)
        return r.skip(same ? 0 : 8);
    if (op >= 0x60 && op < 0x70)
        return r.skip(same ? 4 : 12);
    if ((group == 0x70 || group == 0x80))
        return withSize();
    return true; // 0x78-0x7F, 0x88-0x8F: the last polygon or region again
}

} // namespace

bool PictHandler::canRead() const
{
    return device() != nullptr;
}

bool PictHandler::canRead(QIODevice *device)
{
    if (!device)
        return false;
    int version = 0;
    return pictureStart(peek(device, kFileHeader + 14), &version) >= 0;
}

QImage PictHandler::decode(const QByteArray &data, QString *why)
{
    QString reason;
    const auto fail = [&](const QString &text) {
        if (why)
            *why = reason.isEmpty() ? text : reason;
        return QImage();
    };
    int version = 0;
    const qint64 start = pictureStart(data, &version);
    if (start < 0)
        return fail(QStringLiteral("not a PICT picture"));
    Reader r(data, start + 2);
    Rect frame = r.rect();
    r.skip(version == 1 ? 2 : 4);
    QRgb foreground = qRgb(0, 0, 0), background = qRgb(255, 255, 255);
    std::vector<Bitmap> bitmaps;
    bool ended = false;
    while (r.ok()) {
        if (version == 2)
            r.alignEven();
        const int op = version == 2 ? r.u16() : r.u8();
        if (!r.ok())
            break;
        if (op == 0xff) {
            ended = true;
            break;
        }
        if (op == 0x90 || op == 0x91 || op == 0x98 || op == 0x99 || op == 0x9a || op == 0x9b) {
            Bitmap b;
            if (!readBitmap(r, op, foreground, background, &b, &reason))
                break;
            bitmaps.push_back(std::move(b));
        } else if (op == 0x1a || op == 0x1b) {
            const int red = r.u16() >> 8, green = r.u16() >> 8, blue = r.u16() >> 8;
            (op == 0x1a ? foreground : background) = qRgb(red, green, blue);
        } else if (op == 0x0c00) {
            // The extended header of version 2 gives the picture's own resolution and its
            // frame at that resolution, the one its operations use.
            const qint64 at = r.pos();
            if (r.s16() == -2) {
                r.skip(10);
                const Rect native = r.rect();
                if (native.valid())
                    frame = native;
            }
            r.skip(at + 24 - r.pos());
        } else if (!skipOperation(r, op, version)) {
            break;
        }
    }
    if (!ended)
        return fail(QStringLiteral("the picture is cut short or damaged"));
    if (bitmaps.empty())
        return fail(QStringLiteral("a PICT drawing without a bitmap: only bitmaps are shown"));
    if (!frame.valid())
        return fail(QStringLiteral("the picture's frame is empty"));

    // Bitmaps drawn larger or smaller than their pixels (a picture at a finer resolution than
    // its frame's) set the scale: the first one's pixels are kept one for one.
    const Bitmap &first = bitmaps.front();
    const double sx = first.destination.width() > 0
                          ? double(first.source.width()) / first.destination.width()
                          : 1.0;
    const double sy = first.destination.height() > 0
                          ? double(first.source.height()) / first.destination.height()
                          : 1.0;
    const auto scaleOk = [](double s) { return s >= 1.0 / 16 && s <= 16; };
    const QTransform toCanvas = QTransform::fromTranslate(-frame.left, -frame.top) *
                                QTransform::fromScale(scaleOk(sx) ? sx : 1, scaleOk(sy) ? sy : 1);
    const QRect canvasRect = toCanvas.mapRect(frame.toQRect());
    // The frame may leave white around the bitmaps, but not far more white than picture.
    qint64 bitmapPixels = 0;
    for (const Bitmap &b : bitmaps)
        bitmapPixels += qint64(b.pixels.width()) * b.pixels.height();
    const qint64 canvasPixels = qint64(canvasRect.width()) * canvasRect.height();
    QImage canvas;
    if (canvasPixels > bitmapPixels * 16 + 65536 ||
        !allocate(&canvas, canvasRect.width(), canvasRect.height(), QImage::Format_RGB32))
        return fail(QStringLiteral("a frame of %1 x %2 pixels cannot be shown")
                        .arg(canvasRect.width())
                        .arg(canvasRect.height()));
    canvas.fill(qRgb(255, 255, 255));
    QPainter painter(&canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const Bitmap &b : bitmaps) {
        const QRect target = toCanvas.mapRect(b.destination.toQRect());
        painter.setClipping(b.masked);
        if (b.masked)
            painter.setClipRegion(toCanvas.map(b.mask));
        painter.drawImage(target, b.pixels, b.source.toQRect());
    }
    painter.end();
    return canvas;
}

bool PictHandler::read(QImage *image)
{
    QString why;
    const QImage decoded = decode(readAtMost(device(), 512LL * 1024 * 1024), &why);
    if (decoded.isNull()) {
        qCWarning(lcPict) << "cannot read the picture:" << why;
        return false;
    }
    *image = decoded;
    return true;
}
