// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "wpghandler.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QIODevice>
#include <QPainter>
#include <QPainterPath>

#include "legacyreader.h"

using namespace ImageFormats::Legacy;

namespace {

// The file header: 0xFF "WPC", the offset of the records, product and file type (0x16 for
// graphics), major and minor version, an encryption key (0: none) and a reserved word.
constexpr int kHeaderSize = 16;
constexpr int kGraphicsType = 0x16;
// Drawing work allowed for one file, in points; the rest of a larger file is left out.
constexpr qint64 kWorkBudget = 4'000'000;

// One thing to draw, in page coordinates (inches from the top left corner).
struct Item
{
    QPainterPath path;
    QPen pen = Qt::NoPen;
    QBrush brush = Qt::NoBrush;
    QImage image;
    QRectF imageRect;
};

struct Drawing
{
    QSizeF page; // inches
    std::vector<Item> items;
    int shapes = 0;          // items that are not bitmaps
    qint64 bitmapPixels = 0; // decoded so far, all bitmaps together
    qint64 budget = kWorkBudget;

    bool addBitmap(const QImage &image, const QRectF &rect)
    {
        if (image.isNull())
            return false;
        bitmapPixels += qint64(image.width()) * image.height();
        Item item;
        item.image = image;
        item.imageRect = rect;
        items.push_back(std::move(item));
        return true;
    }
    void addShape(const QPainterPath &path, const QPen &pen, const QBrush &brush)
    {
        budget -= path.elementCount() + 1;
        if (budget < 0 || path.isEmpty())
            return;
        Item item;
        item.path = path;
        item.pen = pen;
        item.brush = brush;
        items.push_back(std::move(item));
        ++shapes;
    }
    QImage render() const;
};

QImage Drawing::render() const
{
    // A file that only carries bitmaps is its bitmap, pixel for pixel.
    if (shapes == 0) {
        const Item *best = nullptr;
        for (const Item &item : items) {
            if (!best || qint64(item.image.width()) * item.image.height() >
                             qint64(best->image.width()) * best->image.height())
                best = &item;
        }
        return best ? best->image : QImage();
    }
    const QSize size = drawingSize(page.width(), page.height());
    if (size.isEmpty())
        return {};
    QImage image = allocate(size.width(), size.height(), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::white);
    // Shapes are drawn without antialiasing, as on the screens these drawings were made for;
    // Qt's antialiasing rasterizer also slows to seconds on outlines that cross themselves.
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    PaintBudget budget;
    const QTransform t =
        QTransform::fromScale(size.width() / page.width(), size.height() / page.height());
    painter.setWorldTransform(t);
    const double maxPen = 2.0 * std::max(page.width(), page.height());
    for (const Item &item : items) {
        if (!item.image.isNull()) {
            painter.drawImage(item.imageRect.normalized(), item.image);
            continue;
        }
        QPen pen = item.pen;
        if (pen.style() != Qt::NoPen) {
            // Hairlines stay one pixel wide; nothing is wider than twice the page.
            if (pen.widthF() * t.m11() < 1.0)
                pen.setWidthF(0);
            else
                pen.setWidthF(std::min(pen.widthF(), maxPen));
        }
        if (!budget.charge(item.path, t, size, pen.style() != Qt::NoPen && pen.widthF() > 0))
            break;
        painter.setPen(pen);
        painter.setBrush(item.brush);
        painter.drawPath(item.path);
    }
    painter.end();
    return image;
}

QPen makePen(const QColor &color, double width)
{
    QPen pen(color);
    pen.setWidthF(width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// The palettes a file starts with. Both begin with sixteen display colours and a grey ramp;
// the first version goes on with rings of hues at several strengths.
QVector<QRgb> defaultPalette(int version)
{
    QVector<QRgb> colours(256, qRgb(0, 0, 0));
    if (version == 1) {
        static const uchar base[16][3] = {
            {0x00, 0x00, 0x00}, {0x00, 0x00, 0x7f}, {0x00, 0x7f, 0x00}, {0x00, 0x7f, 0x7f},
            {0x7f, 0x00, 0x00}, {0x7f, 0x00, 0x7f}, {0x7f, 0x3f, 0x00}, {0x7f, 0x7f, 0x7f},
            {0xc0, 0xc0, 0xc0}, {0x00, 0x00, 0xff}, {0x00, 0xff, 0x00}, {0x00, 0xff, 0xff},
            {0xff, 0x00, 0x00}, {0xff, 0x00, 0xff}, {0xff, 0xff, 0x00}, {0xff, 0xff, 0xff},
        };
        static const uchar greys[16] = {0x00, 0x14, 0x20, 0x2c, 0x38, 0x45, 0x51, 0x61,
                                        0x71, 0x82, 0x92, 0xa2, 0xb6, 0xcb, 0xe3, 0xff};
        for (int i = 0; i < 16; ++i) {
            colours[i] = qRgb(base[i][0], base[i][1], base[i][2]);
            colours[16 + i] = qRgb(greys[i], greys[i], greys[i]);
        }
        // Nine rings of 24 hues from blue through red, yellow and green back to blue, each
        // between a strong and a weak level.
        static const int levels[9][2] = {{0xff, 0x00}, {0xff, 0x7d}, {0xff, 0xb6},
                                         {0x71, 0x00}, {0x71, 0x38}, {0x71, 0x51},
                                         {0x41, 0x00}, {0x41, 0x20}, {0x41, 0x2c}};
        for (int ring = 0; ring < 9; ++ring) {
            const int hi = levels[ring][0];
            const int lo = levels[ring][1];
            // Level of a primary over the ring, as a function of the step (0..23) where it
            // starts rising, is fully on, starts falling and is fully off.
            auto channel = [hi, lo](int i, int riseAt) {
                const int k = ((i - riseAt) % 24 + 24) % 24;
                if (k < 4)
                    return lo + (hi - lo) * k / 4;
                if (k < 12)
                    return hi;
                if (k < 16)
                    return hi - (hi - lo) * (k - 12) / 4;
                return lo;
            };
            for (int i = 0; i < 24; ++i)
                colours[32 + ring * 24 + i] = qRgb(channel(i, 0), channel(i, 8), channel(i, 16));
        }
    } else {
        static const uchar base[16][3] = {
            {0x00, 0x00, 0x00}, {0xff, 0xff, 0xff}, {0x7f, 0x7f, 0x7f}, {0xbf, 0xbf, 0xbf},
            {0x00, 0x00, 0x7f}, {0x00, 0x7f, 0x00}, {0x00, 0x7f, 0x7f}, {0x7f, 0x00, 0x00},
            {0x7f, 0x00, 0x7f}, {0x7f, 0x7f, 0x00}, {0x00, 0x00, 0xff}, {0x00, 0xff, 0x00},
            {0x00, 0xff, 0xff}, {0xff, 0x00, 0x00}, {0xff, 0x00, 0xff}, {0xff, 0xff, 0x00},
        };
        for (int i = 0; i < 16; ++i) {
            colours[i] = qRgb(base[i][0], base[i][1], base[i][2]);
            colours[16 + i] = qRgb(i * 0x11, i * 0x11, i * 0x11);
        }
        const QVector<QRgb> first = defaultPalette(1);
        std::copy(first.begin() + 32, first.end(), colours.begin() + 32);
    }
    return colours;
}

// Turns unpacked rows of palette indices (1, 2, 4 or 8 bits), 24-bit BGR or 8-bit grey into an
// image. Rows run from the top; missing bytes are zero.
QImage bitmapFromRows(const QByteArray &rows, int width, int height, int bits, bool grey,
                      const QVector<QRgb> &palette)
{
    const qint64 rowBytes = (qint64(width) * bits + 7) / 8;
    QImage image;
    if (bits == 24) {
        image = allocate(width, height, QImage::Format_RGB32);
        if (image.isNull())
            return {};
        for (int y = 0; y < height; ++y) {
            auto *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                const qint64 at = y * rowBytes + x * 3;
                if (at + 2 < rows.size())
                    dst[x] = qRgb(uchar(rows[at + 2]), uchar(rows[at + 1]), uchar(rows[at]));
                else
                    dst[x] = qRgb(0, 0, 0);
            }
        }
        return image;
    }
    image = allocate(width, height, QImage::Format_Indexed8);
    if (image.isNull())
        return {};
    image.fill(0);
    const int perByte = 8 / bits;
    const int mask = (1 << bits) - 1;
    for (int y = 0; y < height; ++y) {
        uchar *dst = image.scanLine(y);
        const qint64 start = y * rowBytes;
        const qint64 n = std::min<qint64>(rowBytes, rows.size() - start);
        for (qint64 i = 0; i < n; ++i) {
            const int byte = uchar(rows[start + i]);
            if (bits == 8) {
                dst[i] = uchar(byte);
                continue;
            }
            for (int j = 0; j < perByte; ++j) {
                const qint64 x = i * perByte + j;
                if (x < width)
                    dst[x] = uchar((byte >> (8 - bits * (j + 1))) & mask);
            }
        }
    }
    if (grey)
        image.setColorTable(greyRamp(256));
    else if (bits == 1 && palette.isEmpty())
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    else
        image.setColorTable(palette);
    return image;
}

bool bitmapSizeOk(const Drawing &d, int width, int height)
{
    return sizeAcceptable(width, height) && d.bitmapPixels + qint64(width) * height <= kMaxPixels;
}

// ---- Version 1 ----

// Records: a type byte, then a length (a byte; 0xFF: a word follows, and when its top bit is
// set a second word extends it to 31 bits). Coordinates are 1/1200 inch from the bottom left.
qint64 readLength1(ByteReader &r)
{
    qint64 length = r.u8();
    if (length == 0xff) {
        length = r.u16();
        if (length & 0x8000)
            length = ((length & 0x7fff) << 16) | r.u16();
    }
    return length;
}

// Bitmap rows of the first version: a byte with the top bit set repeats the next byte (count
// in the low bits; a zero count repeats 0xFF as often as the next byte says); without it, the
// count of literal bytes follows, or with a zero count the previous row is repeated as often as
// the next byte says.
QByteArray unpack1(ByteReader &r, qint64 end, qint64 rowBytes, qint64 total)
{
    QByteArray out;
    while (r.pos() < end && out.size() < total) {
        const int op = r.u8();
        const int count = op & 0x7f;
        if (op & 0x80) {
            if (count) {
                const char v = char(r.u8());
                out.append(int(std::min<qint64>(count, total - out.size())), v);
            } else {
                const int n = r.u8();
                out.append(int(std::min<qint64>(n, total - out.size())), char(0xff));
            }
        } else if (count) {
            const qint64 n = std::min<qint64>({count, end - r.pos(), total - out.size()});
            out.append(reinterpret_cast<const char *>(r.current()), int(std::max<qint64>(0, n)));
            r.skip(count);
        } else {
            const int times = r.u8();
            if (out.size() < rowBytes || !r.ok())
                break;
            for (int i = 0; i < times && out.size() < total; ++i) {
                const QByteArray last = out.right(rowBytes);
                out.append(last.left(int(std::min<qint64>(rowBytes, total - out.size()))));
            }
        }
        if (!r.ok())
            break;
    }
    return out;
}

QImage decodeVersion1(ByteReader &r)
{
    Drawing d;
    QVector<QRgb> palette = defaultPalette(1);
    double pageHeight = 0; // in units
    QPen pen = makePen(Qt::black, 0);
    QBrush brush(Qt::black);
    constexpr double unit = 1200.0;
    auto point = [&](int x, int y) { return QPointF(x / unit, (pageHeight - y) / unit); };

    while (r.has(2) && d.budget > 0) {
        const int type = r.u8();
        const qint64 length = readLength1(r);
        if (!r.ok() || type == 0)
            break;
        const qint64 start = r.pos();
        const qint64 end = std::min(r.size(), start + length);
        ByteReader rec(r.current(), end - start);
        d.budget -= 1;
        switch (type) {
        case 0x0f: // start
            rec.skip(2);
            {
                const int width = rec.u16();
                const int height = rec.u16();
                d.page = QSizeF(width / unit, height / unit);
            }
            pageHeight = d.page.height() * unit;
            break;
        case 0x10: // end
            r.seek(r.size());
            break;
        case 0x0e: { // colour map
            const int first = rec.u16();
            const int count = rec.u16();
            for (int i = 0; i < count && first + i < 256 && rec.has(3); ++i) {
                const int red = rec.u8();
                const int green = rec.u8();
                palette[first + i] = qRgb(red, green, rec.u8());
            }
            break;
        }
        case 0x01: { // fill attributes
            const int style = rec.u8();
            const int colour = rec.u8();
            brush = style == 0 ? QBrush(Qt::NoBrush) : QBrush(QColor(palette[colour]));
            break;
        }
        case 0x02: { // line attributes
            const int style = rec.u8();
            const int colour = rec.u8();
            const int width = rec.u16();
            pen = style == 0 ? QPen(Qt::NoPen) : makePen(QColor(palette[colour]), width / unit);
            break;
        }
        case 0x05: { // line
            const int x1 = rec.s16(), y1 = rec.s16(), x2 = rec.s16(), y2 = rec.s16();
            if (!rec.ok())
                break;
            QPainterPath path(point(x1, y1));
            path.lineTo(point(x2, y2));
            d.addShape(path, pen, Qt::NoBrush);
            break;
        }
        case 0x06:   // polyline
        case 0x08: { // polygon
            const int count = rec.u16();
            QPolygonF polygon;
            for (int i = 0; i < count && rec.has(4); ++i) {
                const int x = rec.s16();
                polygon.append(point(x, rec.s16()));
            }
            if (polygon.size() < 2)
                break;
            QPainterPath path;
            path.addPolygon(polygon);
            if (type == 0x08)
                path.closeSubpath();
            d.addShape(path, pen, type == 0x08 ? brush : QBrush(Qt::NoBrush));
            break;
        }
        case 0x07: { // rectangle: lower left corner, width, height
            const int x = rec.s16(), y = rec.s16(), w = rec.s16(), h = rec.s16();
            if (!rec.ok())
                break;
            QPainterPath path;
            path.addRect(QRectF(point(x, y + h), point(x + w, y)).normalized());
            d.addShape(path, pen, brush);
            break;
        }
        case 0x09: { // ellipse: centre, radii, rotation in degrees
            const int cx = rec.s16(), cy = rec.s16(), rx = rec.s16(), ry = rec.s16();
            const int rotation = rec.s16();
            if (!rec.ok())
                break;
            QPainterPath path;
            path.addEllipse(QPointF(0, 0), rx / unit, ry / unit);
            QTransform t;
            t.translate(point(cx, cy).x(), point(cx, cy).y());
            t.rotate(-rotation);
            d.addShape(t.map(path), pen, brush);
            break;
        }
        case 0x0b:   // bitmap, placed at the origin at its own resolution
        case 0x14: { // bitmap with a position
            int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
            if (type == 0x14) {
                rec.s16();
                x1 = rec.s16(), y1 = rec.s16(), x2 = rec.s16(), y2 = rec.s16();
            }
            const int width = rec.s16(), height = rec.s16(), depth = rec.s16();
            int hres = rec.s16(), vres = rec.s16();
            if (!rec.ok() || (depth != 1 && depth != 2 && depth != 4 && depth != 8) ||
                !bitmapSizeOk(d, width, height))
                break;
            const qint64 rowBytes = (qint64(width) * depth + 7) / 8;
            // A run of 2 bytes gives at most 255 bytes; a row repeat at most 255 rows.
            if (rowBytes * height > (rec.remaining() + 2) * 255 * std::max<qint64>(1, rowBytes))
                break;
            const QByteArray rows = unpack1(rec, rec.size(), rowBytes, rowBytes * height);
            if (rows.isEmpty() || rows.size() * 64 < rowBytes * height)
                break;
            const QImage bitmap = bitmapFromRows(rows, width, height, depth, false,
                                                 depth == 1 ? QVector<QRgb>() : palette);
            QRectF rect;
            if (type == 0x14 && x1 != x2 && y1 != y2) {
                rect = QRectF(point(x1, y1), point(x2, y2));
            } else {
                hres = hres > 0 ? hres : 72;
                vres = vres > 0 ? vres : 72;
                rect = QRectF(0, 0, double(width) / hres, double(height) / vres);
            }
            d.addBitmap(bitmap, rect);
            break;
        }
        default:
            break;
        }
        r.seek(end);
    }
    return d.render();
}

// ---- Version 2 ----

// Record lengths and extensions are variable: a byte; 0xFF: a word; a word with the top bit
// set is followed by a second word.
qint64 readVarLength(ByteReader &r)
{
    return readLength1(r);
}

struct Context2
{
    bool doublePrecision = false;
    double unitsX = 1200, unitsY = 1200;         // per inch
    double originX = 0, originY = 0, height = 0; // of the image area, in units
};

double coord(ByteReader &r, const Context2 &c)
{
    return c.doublePrecision ? r.s32() / 65536.0 : double(r.s16());
}

// The object header of drawing records: flags saying which transform parts follow.
struct Character
{
    bool filled = false, closed = false, framed = true, winding = false;
    QTransform matrix;
};

Character readCharacter(ByteReader &r)
{
    Character ch;
    const int flags = r.u16();
    ch.winding = flags & (1 << 12);
    ch.filled = flags & (1 << 13);
    ch.closed = flags & (1 << 14);
    ch.framed = flags & (1 << 15);
    if (flags & 0x80)
        r.u32(); // lock flags
    if (flags & 0x20) {
        if (r.u16() & 0x8000)
            r.u16(); // a 31-bit object id
    }
    if (flags & 0x10)
        r.u32(); // rotation angle, already folded into the matrix terms
    double sx = 1, sy = 1, kx = 0, ky = 0, tx = 0, ty = 0;
    if (flags & 0x18) {
        sx = r.s32() / 65536.0;
        sy = r.s32() / 65536.0;
    }
    if (flags & 0x14) {
        kx = r.s32() / 65536.0;
        ky = r.s32() / 65536.0;
    }
    if (flags & 0x02) {
        r.u16();
        tx = r.s32();
        r.u16();
        ty = r.s32();
    }
    if (flags & 0x01)
        r.skip(8); // taper
    ch.matrix = QTransform(sx, ky, kx, sy, tx, ty);
    return ch;
}

QColor rgba(ByteReader &r)
{
    const int red = r.u8();
    const int green = r.u8();
    const int blue = r.u8();
    const int transparency = r.u8();
    return QColor(red, green, blue, 255 - transparency);
}

// Bitmap rows of the second version: 0x7D sets the sample size; 0x7F and 0xFF give count+1
// samples of zeros or 0xFF bytes; 0xFD repeats the last sample count+1 times; 0xFE repeats
// the previous row count+1 times; 0x7E is ignored; otherwise the top bit set repeats the next
// sample (low bits)+1 times and clear copies (low bits)+1 samples.
QByteArray unpack2(ByteReader &r, qint64 rowBytes, qint64 total)
{
    QByteArray out;
    int sampleSize = 1;
    QByteArray sample(1, 0);
    auto put = [&](const char *p, int n, qint64 times) {
        for (qint64 t = 0; t < times && out.size() < total; ++t)
            out.append(p, int(std::min<qint64>(n, total - out.size())));
    };
    while (!r.atEnd() && out.size() < total) {
        const int op = r.u8();
        switch (op) {
        case 0x7d: {
            const int size = r.u8();
            if (size >= 1 && size <= 8) {
                sampleSize = size;
                sample = QByteArray(size, 0);
            }
            break;
        }
        case 0x7e:
            break;
        case 0x7f:
        case 0xff: {
            const int count = r.u8() + 1;
            const QByteArray fill(sampleSize, op == 0x7f ? char(0) : char(0xff));
            put(fill.constData(), sampleSize, count);
            break;
        }
        case 0xfd:
            put(sample.constData(), sampleSize, r.u8() + 1);
            break;
        case 0xfe: {
            const int count = r.u8() + 1;
            if (out.size() < rowBytes)
                return out;
            const QByteArray last = out.right(rowBytes);
            put(last.constData(), int(rowBytes), count);
            break;
        }
        default:
            if (op & 0x80) {
                if (!r.has(sampleSize))
                    return out;
                sample = QByteArray(reinterpret_cast<const char *>(r.current()), sampleSize);
                r.skip(sampleSize);
                put(sample.constData(), sampleSize, (op & 0x7f) + 1);
            } else {
                const qint64 n = std::min<qint64>(qint64(op + 1) * sampleSize, r.remaining());
                put(reinterpret_cast<const char *>(r.current()), int(n), 1);
                r.skip(n);
            }
            break;
        }
        if (!r.ok())
            break;
    }
    return out;
}

QImage decodeVersion2(ByteReader &r)
{
    Drawing d;
    Context2 c;
    QVector<QRgb> palette = defaultPalette(2);
    QPen pen = makePen(Qt::black, 0);
    QColor brushColour = Qt::black;
    QRectF bitmapRect;
    bool haveBitmapRect = false;
    // A compound polygon gathers the paths of the records it holds.
    int compoundLeft = 0;
    Character compound;
    QPainterPath compoundPath;

    auto toPage = [&](const QTransform &m, double x, double y) {
        const QPointF p = m.map(QPointF(x, y));
        return QPointF((p.x() - c.originX) / c.unitsX, (c.height - (p.y() - c.originY)) / c.unitsY);
    };
    auto output = [&](const Character &ch, QPainterPath path) {
        if (compoundLeft > 0) {
            compoundPath.addPath(path);
            return;
        }
        path.setFillRule(ch.winding ? Qt::WindingFill : Qt::OddEvenFill);
        if (ch.closed || ch.filled)
            path.closeSubpath();
        d.addShape(path, ch.framed ? pen : QPen(Qt::NoPen),
                   ch.filled ? QBrush(brushColour) : QBrush(Qt::NoBrush));
    };

    while (r.has(4) && d.budget > 0) {
        r.u8(); // record class
        const int type = r.u8();
        const qint64 extension = readVarLength(r);
        const qint64 length = readVarLength(r);
        if (!r.ok() || type == 0 || type > 0x3f)
            break;
        const qint64 end = std::min(r.size(), r.pos() + length);
        ByteReader rec(r.current(), end - r.pos());
        const bool inCompound = compoundLeft > 0;
        d.budget -= 1;
        switch (type) {
        case 0x01: { // start: units per inch, precision, viewport, image area
            const int ux = rec.u16();
            const int uy = rec.u16();
            const int precision = rec.u8();
            if (precision > 1)
                return {};
            c.doublePrecision = precision == 1;
            c.unitsX = ux ? ux : 1200;
            c.unitsY = uy ? uy : 1200;
            for (int i = 0; i < 4; ++i)
                coord(rec, c);
            const double x1 = coord(rec, c), y1 = coord(rec, c);
            const double x2 = coord(rec, c), y2 = coord(rec, c);
            c.originX = std::min(x1, x2);
            c.originY = std::min(y1, y2);
            c.height = std::abs(y2 - y1);
            d.page = QSizeF(std::abs(x2 - x1) / c.unitsX, c.height / c.unitsY);
            break;
        }
        case 0x02: // end
            r.seek(r.size());
            continue;
        case 0x0c: { // colour palette, RGBA
            const int first = rec.u16();
            const int count = rec.u16();
            for (int i = 0; i < count && first + i < 256 && rec.has(4); ++i)
                palette[first + i] = rgba(rec).rgb();
            break;
        }
        case 0x0d: { // colour palette with 16-bit samples
            const int first = rec.u16();
            const int count = rec.u16();
            for (int i = 0; i < count && first + i < 256 && rec.has(8); ++i) {
                const int red = rec.u16() >> 8;
                const int green = rec.u16() >> 8;
                const int blue = rec.u16() >> 8;
                rec.u16();
                palette[first + i] = qRgb(red, green, blue);
            }
            break;
        }
        case 0x25: // pen colour
            if (!inCompound)
                pen.setColor(rgba(rec));
            break;
        case 0x2b: // pen size
            if (!inCompound)
                pen.setWidthF((c.doublePrecision ? rec.u32() / 65536.0 : rec.u16()) / c.unitsX);
            break;
        case 0x31: // brush colour: a plain colour, or the first colour of a gradient
            if (!inCompound) {
                const int gradient = rec.u8();
                if (gradient != 0)
                    rec.u16();
                brushColour = rgba(rec);
            }
            break;
        case 0x15:   // polyline
        case 0x16: { // polyspline, drawn through its points
            const Character ch = readCharacter(rec);
            const int count = rec.u16();
            QPolygonF polygon;
            for (int i = 0; i < count && rec.ok(); ++i) {
                const double x = coord(rec, c);
                const double y = coord(rec, c);
                if (rec.ok())
                    polygon.append(toPage(ch.matrix, x, y));
            }
            if (polygon.size() >= 2) {
                QPainterPath path;
                path.addPolygon(polygon);
                output(ch, path);
            }
            break;
        }
        case 0x17: { // polycurve: per point a control point in, the point, a control point out
            const Character ch = readCharacter(rec);
            const int count = rec.u16();
            QPainterPath path;
            QPointF lastOut;
            for (int i = 0; i < count && rec.ok(); ++i) {
                const double ix = coord(rec, c), iy = coord(rec, c);
                const double ax = coord(rec, c), ay = coord(rec, c);
                const double ox = coord(rec, c), oy = coord(rec, c);
                if (!rec.ok())
                    break;
                const QPointF anchor = toPage(ch.matrix, ax, ay);
                if (i == 0)
                    path.moveTo(anchor);
                else
                    path.cubicTo(lastOut, toPage(ch.matrix, ix, iy), anchor);
                lastOut = toPage(ch.matrix, ox, oy);
            }
            if (path.elementCount() >= 2)
                output(ch, path);
            break;
        }
        case 0x18: { // rectangle: two corners and the corner radii
            const Character ch = readCharacter(rec);
            const double x1 = coord(rec, c), y1 = coord(rec, c);
            const double x2 = coord(rec, c), y2 = coord(rec, c);
            const double rx = coord(rec, c), ry = coord(rec, c);
            if (!rec.ok())
                break;
            QPainterPath path;
            const QRectF box = QRectF(toPage(ch.matrix, x1, y1), toPage(ch.matrix, x2, y2));
            path.addRoundedRect(box.normalized(), std::abs(rx) / c.unitsX, std::abs(ry) / c.unitsY);
            output(ch, path);
            break;
        }
        case 0x19: { // arc or ellipse: centre, radii, start and end relative to the centre
            const Character ch = readCharacter(rec);
            const double cx = coord(rec, c), cy = coord(rec, c);
            const double rx = coord(rec, c), ry = coord(rec, c);
            const double ix = coord(rec, c), iy = coord(rec, c);
            const double ex = coord(rec, c), ey = coord(rec, c);
            if (!rec.ok() || rx == 0 || ry == 0)
                break;
            QPainterPath shape;
            const QRectF box(-std::abs(rx), -std::abs(ry), 2 * std::abs(rx), 2 * std::abs(ry));
            if (ix == ex && iy == ey) {
                shape.addEllipse(box);
            } else {
                const double a1 = std::atan2(iy / ry, ix / rx) * 180.0 / 3.14159265358979;
                double sweep = std::atan2(ey / ry, ex / rx) * 180.0 / 3.14159265358979 - a1;
                while (sweep <= 0)
                    sweep += 360;
                shape.arcMoveTo(box, a1);
                shape.arcTo(box, a1, sweep);
            }
            // The shape was built with y up around the centre; place it on the page.
            QTransform place =
                QTransform::fromScale(1, -1) * QTransform::fromTranslate(cx, cy) * ch.matrix;
            QPainterPath path;
            for (const QPolygonF &poly : shape.toSubpathPolygons(place)) {
                QPolygonF mapped;
                for (const QPointF &p : poly)
                    mapped.append(toPage(QTransform(), p.x(), p.y()));
                path.addPolygon(mapped);
            }
            output(ch, path);
            break;
        }
        case 0x1a: // compound polygon: the next records make one shape
            compound = readCharacter(rec);
            compoundPath = QPainterPath();
            compoundLeft = int(std::min<qint64>(extension, 1 << 20));
            break;
        case 0x1b: { // bitmap position; its pixels follow in a bitmap data record
            const Character ch = readCharacter(rec);
            const double x1 = coord(rec, c), y1 = coord(rec, c);
            const double x2 = coord(rec, c), y2 = coord(rec, c);
            if (rec.ok()) {
                bitmapRect = QRectF(toPage(ch.matrix, x1, y1), toPage(ch.matrix, x2, y2));
                haveBitmapRect = true;
            }
            break;
        }
        case 0x0e: { // bitmap data
            const int width = rec.u16();
            const int height = rec.u16();
            const int format = rec.u8();
            const int compression = rec.u8();
            int bits = 0;
            bool grey = false;
            switch (format) {
            case 1:
                bits = 1;
                break;
            case 2:
                bits = 2;
                break;
            case 3:
                bits = 4;
                break;
            case 4:
                bits = 8;
                break;
            case 8:
                bits = 24;
                break;
            case 12:
                bits = 8, grey = true;
                break;
            default:
                break;
            }
            if (!rec.ok() || bits == 0 || !bitmapSizeOk(d, width, height))
                break;
            const qint64 rowBytes = (qint64(width) * bits + 7) / 8;
            const qint64 total = rowBytes * height;
            QByteArray rows;
            if (compression == 0) {
                const qint64 n = std::min(total, rec.remaining());
                rows = QByteArray(reinterpret_cast<const char *>(rec.current()), int(n));
            } else if (compression == 1) {
                // Each 2-byte code gives at most 256 samples of up to 8 bytes, or a row again
                // up to 256 times.
                if (total > (rec.remaining() + 2) * 2048 * std::max<qint64>(1, rowBytes))
                    break;
                rows = unpack2(rec, rowBytes, total);
            }
            if (rows.isEmpty() || rows.size() * 64 < total)
                break;
            const QImage bitmap = bitmapFromRows(rows, width, height, bits, grey, palette);
            const QRectF rect =
                haveBitmapRect ? bitmapRect : QRectF(0, 0, width / 96.0, height / 96.0);
            d.addBitmap(bitmap, rect);
            break;
        }
        default:
            break;
        }
        if (inCompound && --compoundLeft == 0) {
            compoundPath.setFillRule(compound.winding ? Qt::WindingFill : Qt::OddEvenFill);
            d.addShape(compoundPath, compound.framed ? pen : QPen(Qt::NoPen),
                       compound.filled ? QBrush(brushColour) : QBrush(Qt::NoBrush));
        }
        r.seek(end);
    }
    if (compoundLeft > 0 && !compoundPath.isEmpty())
        d.addShape(compoundPath, compound.framed ? pen : QPen(Qt::NoPen),
                   compound.filled ? QBrush(brushColour) : QBrush(Qt::NoBrush));
    return d.render();
}

} // namespace

bool WpgHandler::canRead() const
{
    return device() != nullptr;
}

bool WpgHandler::canRead(QIODevice *device)
{
    if (!device)
        return false;
    const QByteArray head = device->peek(kHeaderSize);
    return head.size() == kHeaderSize && head.startsWith("\xffWPC") && head[9] == kGraphicsType;
}

QImage WpgHandler::decode(const QByteArray &data)
{
    ByteReader r(data);
    if (data.size() < kHeaderSize || !data.startsWith("\xffWPC") || data[9] != kGraphicsType)
        return {};
    r.seek(4);
    const quint32 offset = r.u32();
    r.seek(10);
    const int major = r.u8();
    r.u8();
    const int key = r.u16();
    if (key != 0 || offset < kHeaderSize || offset > quint32(data.size()))
        return {};
    r.seek(offset);
    if (major == 1)
        return decodeVersion1(r);
    if (major == 2)
        return decodeVersion2(r);
    return {};
}

bool WpgHandler::read(QImage *image)
{
    const QImage decoded = decode(readAll(device()));
    if (decoded.isNull())
        return false;
    *image = decoded;
    return true;
}
