// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "wmfhandler.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <queue>
#include <vector>

#include <QBuffer>
#include <QFontMetricsF>
#include <QIODevice>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

#include "legacyreader.h"

using namespace ImageFormats::Legacy;

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr int kPlaceableSize = 22;
// Drawing work allowed for one file, in points drawn; a metafile that asks for more is cut
// short rather than keeping the reader busy for minutes.
constexpr qint64 kWorkBudget = 4'000'000;
constexpr int kMaxSavedStates = 1024;
constexpr int kMaxObjects = 65535;
constexpr double kPi = 3.14159265358979323846;

// Record functions.
enum : int {
    EOF_ = 0x0000,
    SAVEDC = 0x001E,
    REALIZEPALETTE = 0x0035,
    SETPALENTRIES = 0x0037,
    CREATEPALETTE = 0x00F7,
    SETBKMODE = 0x0102,
    SETMAPMODE = 0x0103,
    SETROP2 = 0x0104,
    SETPOLYFILLMODE = 0x0106,
    RESTOREDC = 0x0127,
    SELECTCLIPREGION = 0x012C,
    SELECTOBJECT = 0x012D,
    SETTEXTALIGN = 0x012E,
    DIBCREATEPATTERNBRUSH = 0x0142,
    DELETEOBJECT = 0x01F0,
    CREATEPATTERNBRUSH = 0x01F9,
    SETBKCOLOR = 0x0201,
    SETTEXTCOLOR = 0x0209,
    SETWINDOWORG = 0x020B,
    SETWINDOWEXT = 0x020C,
    SETVIEWPORTORG = 0x020D,
    SETVIEWPORTEXT = 0x020E,
    OFFSETWINDOWORG = 0x020F,
    LINETO = 0x0213,
    MOVETO = 0x0214,
    OFFSETCLIPRGN = 0x0220,
    CREATEPENINDIRECT = 0x02FA,
    CREATEFONTINDIRECT = 0x02FB,
    CREATEBRUSHINDIRECT = 0x02FC,
    POLYGON = 0x0324,
    POLYLINE = 0x0325,
    SCALEWINDOWEXT = 0x0410,
    EXCLUDECLIPRECT = 0x0415,
    INTERSECTCLIPRECT = 0x0416,
    ELLIPSE = 0x0418,
    RECTANGLE = 0x041B,
    SETPIXEL = 0x041F,
    TEXTOUT = 0x0521,
    POLYPOLYGON = 0x0538,
    ROUNDRECT = 0x061C,
    PATBLT = 0x061D,
    CREATEREGION = 0x06FF,
    ARC = 0x0817,
    PIE = 0x081A,
    CHORD = 0x0830,
    BITBLT = 0x0922,
    DIBBITBLT = 0x0940,
    EXTTEXTOUT = 0x0A32,
    STRETCHBLT = 0x0B23,
    DIBSTRETCHBLT = 0x0B41,
    SETDIBTODEV = 0x0D33,
    STRETCHDIB = 0x0F43,
};

// Raster operations of the blit records that matter for how a picture looks.
constexpr quint32 kSrcCopy = 0x00CC0020, kSrcAnd = 0x008800C6, kSrcPaint = 0x00EE0086,
                  kSrcInvert = 0x00660046, kNotSrcCopy = 0x00330008, kPatCopy = 0x00F00021,
                  kPatInvert = 0x005A0049, kDstInvert = 0x00550009, kBlackness = 0x00000042,
                  kWhiteness = 0x00FF0062;

QColor colorRef(quint32 v)
{
    return QColor(int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff));
}

// A device-independent bitmap as stored in the blit records (a BITMAPINFOHEADER or
// BITMAPCOREHEADER, its colours, then its bits), read through Qt's BMP reader once a file
// header is put in front of it. Sizes are checked first so that no claimed size larger than
// the bytes at hand is ever allocated.
QImage decodeDib(const uchar *p, qint64 size)
{
    ByteReader r(p, size);
    const quint32 headerSize = r.u32();
    qint64 width = 0, height = 0;
    int bitCount = 0;
    quint32 compression = 0, colorsUsed = 0;
    int entry = 4;
    if (headerSize == 12) {
        width = r.u16();
        height = r.s16();
        r.u16();
        bitCount = r.u16();
        entry = 3;
    } else if (headerSize >= 40 && headerSize <= 124) {
        width = r.s32();
        height = r.s32();
        r.u16();
        bitCount = r.u16();
        compression = r.u32();
        r.seek(32);
        colorsUsed = r.u32();
    } else {
        return {};
    }
    const qint64 absHeight = height < 0 ? -height : height;
    if (!r.ok() || !sizeAcceptable(width, absHeight))
        return {};
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        return {};
    qint64 colors = colorsUsed ? colorsUsed : (bitCount <= 8 ? (1 << bitCount) : 0);
    if (colors > 256 && bitCount <= 8)
        colors = 256;
    qint64 offset = headerSize + colors * entry;
    if (compression == 3 && headerSize == 40)
        offset += 12;
    if (offset > size)
        return {};
    const qint64 stride = ((width * bitCount + 31) / 32) * 4;
    const qint64 bits = size - offset;
    const bool rle = compression == 1 || compression == 2;
    // Uncompressed rows must be there; run-length data expands at most 255 pixels per 2 bytes.
    if (!rle && stride * absHeight > bits + stride)
        return {};
    if (rle && width * absHeight > (bits + 2) * 128)
        return {};
    QByteArray file;
    file.reserve(int(size + 14));
    auto put32 = [&file](quint32 v) {
        for (int i = 0; i < 4; ++i)
            file.append(char((v >> (8 * i)) & 0xff));
    };
    file.append("BM");
    put32(quint32(size + 14));
    put32(0);
    put32(quint32(offset + 14));
    file.append(reinterpret_cast<const char *>(p), int(size));
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    return reader.read();
}

struct LogicalFont
{
    int height = 0;
    int escapement = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QString face;
};

struct LogicalPen
{
    int style = 0; // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none, 6 inside frame
    double width = 0;
    QColor color = Qt::black;
};

struct GdiObject
{
    enum Kind { Empty, Pen, Brush, Font, Other } kind = Empty;
    LogicalPen pen;
    QBrush brush;
    LogicalFont font;
};

struct DcState
{
    LogicalPen pen;
    QBrush brush = QBrush(Qt::white);
    LogicalFont font;
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    bool bkOpaque = true;
    int textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    QPointF winOrg{0, 0};
    QPointF winExt{1, 1};
    QPointF position{0, 0};
    bool clipped = false;
    QRegion clip;
};

class WmfPlayer
{
public:
    explicit WmfPlayer(const QByteArray &data) : m_data(data) {}
    QImage render();

private:
    bool readHeaders();
    void findWindow();
    void play(QPainter *painter);
    void playRecord(int function, ByteReader &r, qint64 words);
    QTransform transform() const;
    void applyTransform();
    void applyClip();
    void spend(qint64 work);
    void draw(const QPainterPath &path, bool fill, bool stroke);
    void drawImage(const QImage &image, QRectF dest, QRectF source, quint32 rop);
    void patBlt(const QRectF &rect, quint32 rop);
    void text(double x, double y, const QByteArray &bytes, bool useOpaqueRect,
              const QRectF &opaqueRect);
    QPen currentPen() const;
    int createObject(const GdiObject &object);
    QRectF deviceRect(const QRectF &logical) const;

    const QByteArray &m_data;
    qint64 m_recordsStart = 0;
    int m_objectCount = 0;
    bool m_placeable = false;
    QRectF m_frame; // the window the picture's frame shows, in logical units
    bool m_frameKnown = false;
    QSize m_size;

    QPainter *m_painter = nullptr;
    QRectF m_bounds; // what a measuring pass found drawn
    DcState m_dc;
    std::vector<DcState> m_saved;
    std::vector<GdiObject> m_objects;
    std::priority_queue<int, std::vector<int>, std::greater<int>> m_freeSlots;
    qint64 m_budget = kWorkBudget;
    PaintBudget m_paintBudget;
};

bool WmfPlayer::readHeaders()
{
    ByteReader r(m_data);
    if (r.u32() == kPlaceableKey) {
        m_placeable = true;
        r.u16();
        const int left = r.s16();
        const int top = r.s16();
        const int right = r.s16();
        const int bottom = r.s16();
        int inch = r.u16();
        if (inch == 0)
            inch = 1440;
        if (right == left || bottom == top)
            return false;
        m_frame = QRectF(QPointF(left, top), QPointF(right, bottom));
        m_frameKnown = true;
        m_size = drawingSize(std::abs(right - left) / double(inch),
                             std::abs(bottom - top) / double(inch));
        r.seek(kPlaceableSize);
    } else {
        r.seek(0);
    }
    const int type = r.u16();
    const int headerWords = r.u16();
    r.u16();
    r.u32();
    m_objectCount = std::min<int>(r.u16(), kMaxObjects);
    if (!r.ok() || (type != 1 && type != 2) || headerWords < 9 || headerWords > 64)
        return false;
    m_recordsStart = (m_placeable ? kPlaceableSize : 0) + headerWords * 2;
    return m_recordsStart <= m_data.size();
}

// A plain metafile has no frame of its own: the first window it sets is the picture's frame, or
// failing that, the extent of what it draws.
void WmfPlayer::findWindow()
{
    ByteReader r(m_data);
    r.seek(m_recordsStart);
    QPointF org(0, 0);
    bool haveExt = false;
    QPointF ext;
    while (r.has(6)) {
        const qint64 start = r.pos();
        const qint64 words = r.u32();
        const int function = r.u16();
        if (words < 3 || function == EOF_ || !r.has((words - 3) * 2))
            break;
        if (function == SETWINDOWORG && words >= 5) {
            const int y = r.s16();
            org = QPointF(r.s16(), y);
        } else if (function == SETWINDOWEXT && words >= 5 && !haveExt) {
            const int y = r.s16();
            ext = QPointF(r.s16(), y);
            haveExt = ext.x() != 0 && ext.y() != 0;
        }
        r.seek(start + words * 2);
    }
    if (haveExt) {
        m_frame = QRectF(org, QSizeF(ext.x(), ext.y()));
        m_frameKnown = true;
        m_size = drawingSize(std::abs(ext.x()) / 96.0, std::abs(ext.y()) / 96.0);
        return;
    }
    play(nullptr);
    if (m_bounds.isValid() && m_bounds.width() >= 1 && m_bounds.height() >= 1) {
        m_frame = m_bounds;
        m_frameKnown = true;
        m_size = drawingSize(m_bounds.width() / 96.0, m_bounds.height() / 96.0);
    }
}

QImage WmfPlayer::render()
{
    if (!readHeaders())
        return {};
    if (!m_placeable)
        findWindow();
    if (!m_frameKnown || m_size.isEmpty())
        return {};
    QImage image = allocate(m_size.width(), m_size.height(), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::white);
    // Shapes are drawn without antialiasing, as the system that plays metafiles draws them;
    // Qt's antialiasing rasterizer also slows to seconds on outlines that cross themselves.
    QPainter painter(&image);
    play(&painter);
    painter.end();
    return image;
}

QTransform WmfPlayer::transform() const
{
    if (!m_painter)
        return {};
    // The window maps onto the whole image; a record may move or resize the window, as when
    // the picture is played into a frame.
    const double ex = m_dc.winExt.x() ? m_dc.winExt.x() : 1;
    const double ey = m_dc.winExt.y() ? m_dc.winExt.y() : 1;
    const double sx = m_size.width() / ex;
    const double sy = m_size.height() / ey;
    return QTransform(sx, 0, 0, sy, -m_dc.winOrg.x() * sx, -m_dc.winOrg.y() * sy);
}

void WmfPlayer::applyTransform()
{
    if (m_painter)
        m_painter->setWorldTransform(transform());
}

void WmfPlayer::applyClip()
{
    if (!m_painter)
        return;
    m_painter->resetTransform();
    if (m_dc.clipped)
        m_painter->setClipRegion(m_dc.clip);
    else
        m_painter->setClipping(false);
    applyTransform();
}

// The rectangle in device pixels, kept within a range that whole-pixel regions can hold.
QRectF WmfPlayer::deviceRect(const QRectF &logical) const
{
    const double limit = 4.0 * kMaxSide;
    return transform()
        .mapRect(logical.normalized())
        .intersected(QRectF(-limit, -limit, 2 * limit, 2 * limit));
}

void WmfPlayer::spend(qint64 work)
{
    m_budget -= std::max<qint64>(1, work);
}

QPen WmfPlayer::currentPen() const
{
    const LogicalPen &logical = m_dc.pen;
    if (logical.style == 5)
        return Qt::NoPen;
    QPen pen(logical.color);
    const QTransform t = transform();
    const double scale = std::sqrt(std::abs(t.determinant()));
    const double deviceWidth = logical.width * scale;
    const double limit = 2.0 * std::max(m_size.width(), m_size.height());
    if (deviceWidth < 1.5) {
        pen.setWidthF(0); // one device pixel
        pen.setCosmetic(true);
    } else {
        pen.setWidthF(std::min(deviceWidth, limit) / (scale > 0 ? scale : 1));
    }
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                          Qt::DashDotDotLine};
    if (logical.style >= 0 && logical.style <= 4)
        pen.setStyle(styles[logical.style]);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void WmfPlayer::draw(const QPainterPath &path, bool fill, bool stroke)
{
    spend(path.elementCount());
    if (!m_painter) {
        m_bounds |= path.boundingRect();
        return;
    }
    const QPen pen = stroke ? currentPen() : QPen(Qt::NoPen);
    if (!m_paintBudget.charge(path, transform(), m_size,
                              pen.style() != Qt::NoPen && !pen.isCosmetic())) {
        m_budget = 0;
        return;
    }
    QPainterPath p = path;
    p.setFillRule(m_dc.fillRule);
    QBrush brush = fill ? m_dc.brush : QBrush(Qt::NoBrush);
    // Hatches and patterns keep their device size whatever the mapping.
    if (brush.style() != Qt::SolidPattern && brush.style() != Qt::NoBrush)
        brush.setTransform(transform().inverted());
    m_painter->setBackgroundMode(m_dc.bkOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter->setBackground(m_dc.bkColor);
    m_painter->setBrush(brush);
    m_painter->setPen(pen);
    m_painter->drawPath(p);
}

void WmfPlayer::drawImage(const QImage &image, QRectF dest, QRectF source, quint32 rop)
{
    spend(int(std::min<qint64>(qint64(image.width()) * image.height() / 64, kWorkBudget)));
    if (!m_painter) {
        m_bounds |= dest.normalized();
        return;
    }
    if (image.isNull() || !m_paintBudget.charge(transform().mapRect(dest), m_size)) {
        m_budget = 0;
        return;
    }
    QImage picture = image;
    if (dest.width() < 0 || dest.height() < 0) {
        picture = picture.mirrored(dest.width() < 0, dest.height() < 0);
        dest = dest.normalized();
    }
    if (rop == kNotSrcCopy) {
        picture = picture.convertToFormat(QImage::Format_RGB32);
        picture.invertPixels();
    }
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    if (rop == kSrcAnd)
        mode = QPainter::RasterOp_SourceAndDestination;
    else if (rop == kSrcPaint)
        mode = QPainter::RasterOp_SourceOrDestination;
    else if (rop == kSrcInvert)
        mode = QPainter::RasterOp_SourceXorDestination;
    if (mode != QPainter::CompositionMode_SourceOver)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    // Enlarged bitmaps keep hard pixel edges as the playing system draws them; reduced ones
    // are filtered so that fine detail does not vanish.
    const QRectF onDevice = transform().mapRect(dest);
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform,
                             onDevice.width() < source.width() ||
                                 onDevice.height() < source.height());
    m_painter->setCompositionMode(mode);
    m_painter->drawImage(dest, picture, source);
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void WmfPlayer::patBlt(const QRectF &rect, quint32 rop)
{
    spend(4);
    if (!m_painter) {
        m_bounds |= rect.normalized();
        return;
    }
    const QRectF r = rect.normalized();
    if (!m_paintBudget.charge(transform().mapRect(r), m_size)) {
        m_budget = 0;
        return;
    }
    switch (rop) {
    case kBlackness:
        m_painter->fillRect(r, Qt::black);
        break;
    case kWhiteness:
        m_painter->fillRect(r, Qt::white);
        break;
    case kDstInvert:
        m_painter->setCompositionMode(QPainter::RasterOp_NotDestination);
        m_painter->fillRect(r, Qt::black);
        m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    case kPatInvert:
        m_painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        m_painter->fillRect(r, m_dc.brush);
        m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    default:
        if (rop == kPatCopy || m_dc.brush.style() != Qt::NoBrush)
            m_painter->fillRect(r, m_dc.brush);
        break;
    }
}

void WmfPlayer::text(double x, double y, const QByteArray &bytes, bool useOpaqueRect,
                     const QRectF &opaqueRect)
{
    spend(bytes.size() * 16);
    const QString string = QString::fromLatin1(bytes);
    if (m_dc.textAlign & 1) { // the current position is the reference point
        x = m_dc.position.x();
        y = m_dc.position.y();
    }
    const QTransform t = transform();
    const double scaleY = std::abs(t.m22()) > 0 ? std::abs(t.m22()) : 1.0;
    double pixels = std::abs(m_dc.font.height) * scaleY;
    if (m_dc.font.height > 0)
        pixels *= 0.85; // a positive height includes the leading above the letters
    if (pixels < 1)
        pixels = 12 * scaleY;
    if (!m_painter) {
        const double h = std::abs(m_dc.font.height ? m_dc.font.height : 12);
        m_bounds |= QRectF(x, y - h, h * 0.6 * std::max<qsizetype>(1, string.size()), 2 * h);
        return;
    }
    if (pixels > 4.0 * std::max(m_size.width(), m_size.height()) || pixels > 4096)
        return;
    QFont font(m_dc.font.face.isEmpty() ? QStringLiteral("Sans Serif") : m_dc.font.face);
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    font.setWeight(QFont::Weight(std::clamp(m_dc.font.weight, 100, 900)));
    font.setItalic(m_dc.font.italic);
    font.setUnderline(m_dc.font.underline);
    font.setStrikeOut(m_dc.font.strikeOut);
    const QFontMetricsF metrics(font);
    const QPointF anchor = t.map(QPointF(x, y));
    const double width = metrics.horizontalAdvance(string);
    double dx = 0;
    if ((m_dc.textAlign & 6) == 6)
        dx = -width / 2;
    else if (m_dc.textAlign & 2)
        dx = -width;
    double dy = metrics.ascent(); // top alignment: the reference point is above the letters
    if ((m_dc.textAlign & 24) == 24)
        dy = 0;
    else if (m_dc.textAlign & 8)
        dy = -metrics.descent();

    const QRectF textArea(anchor.x() - width, anchor.y() - metrics.height(), 2 * width,
                          2 * metrics.height());
    if (!m_paintBudget.charge(textArea, m_size) ||
        (useOpaqueRect && !m_paintBudget.charge(t.mapRect(opaqueRect), m_size))) {
        m_budget = 0;
        return;
    }
    m_painter->save();
    m_painter->resetTransform();
    if (useOpaqueRect)
        m_painter->fillRect(t.mapRect(opaqueRect.normalized()), m_dc.bkColor);
    m_painter->translate(anchor);
    if (m_dc.font.escapement)
        m_painter->rotate(-m_dc.font.escapement / 10.0);
    m_painter->setFont(font);
    if (m_dc.bkOpaque && !useOpaqueRect)
        m_painter->fillRect(QRectF(dx, dy - metrics.ascent(), width, metrics.height()),
                            m_dc.bkColor);
    m_painter->setPen(m_dc.textColor);
    m_painter->drawText(QPointF(dx, dy), string);
    m_painter->restore();
    if (m_dc.textAlign & 1)
        m_dc.position.rx() += width / std::max(1e-9, std::abs(t.m11()));
}

int WmfPlayer::createObject(const GdiObject &object)
{
    // A new object takes the lowest free slot, as the playing system assigns them.
    int slot;
    if (!m_freeSlots.empty()) {
        slot = m_freeSlots.top();
        m_freeSlots.pop();
    } else if (int(m_objects.size()) < std::max(m_objectCount, 1)) {
        slot = int(m_objects.size());
        m_objects.emplace_back();
    } else {
        return -1;
    }
    m_objects[size_t(slot)] = object;
    return slot;
}

void WmfPlayer::play(QPainter *painter)
{
    m_painter = painter;
    m_dc = DcState();
    m_saved.clear();
    m_objects.clear();
    m_freeSlots = {};
    m_budget = kWorkBudget;
    if (m_frameKnown) {
        m_dc.winOrg = m_frame.topLeft();
        m_dc.winExt = QPointF(m_frame.width(), m_frame.height());
    }
    applyTransform();
    ByteReader r(m_data);
    r.seek(m_recordsStart);
    while (r.has(6) && m_budget > 0) {
        const qint64 start = r.pos();
        const qint64 words = r.u32();
        const int function = r.u16();
        if (words < 3 || function == EOF_ || !r.has((words - 3) * 2))
            break;
        ByteReader params(r.current(), (words - 3) * 2);
        playRecord(function, params, words);
        r.seek(start + words * 2);
        spend(1);
    }
    m_painter = nullptr;
}

void WmfPlayer::playRecord(int function, ByteReader &r, qint64 words)
{
    const qint64 paramWords = words - 3;
    auto need = [&](qint64 n) { return paramWords >= n; };
    auto rectFrom = [&]() {
        const int bottom = r.s16();
        const int right = r.s16();
        const int top = r.s16();
        const int left = r.s16();
        return QRectF(QPointF(left, top), QPointF(right, bottom));
    };
    auto points = [&](qint64 count) {
        QPolygonF polygon;
        count = std::min<qint64>(count, r.remaining() / 4);
        polygon.reserve(int(count));
        for (qint64 i = 0; i < count; ++i) {
            const int x = r.s16();
            const int y = r.s16();
            polygon.append(QPointF(x, y));
        }
        return polygon;
    };
    // Arcs, pies and chords: a bounding box, then the points fixing where the curve starts and
    // ends, drawn counter-clockwise.
    auto arcPath = [&](int kind) {
        const int yEnd = r.s16();
        const int xEnd = r.s16();
        const int yStart = r.s16();
        const int xStart = r.s16();
        const QRectF box = rectFrom().normalized();
        QPainterPath path;
        if (box.width() <= 0 || box.height() <= 0)
            return path;
        const QPointF c = box.center();
        auto angle = [&](double x, double y) {
            return std::atan2(-(y - c.y()) / box.height(), (x - c.x()) / box.width()) * 180.0 / kPi;
        };
        const double a1 = angle(xStart, yStart);
        double sweep = angle(xEnd, yEnd) - a1;
        while (sweep <= 0)
            sweep += 360;
        if (xStart == xEnd && yStart == yEnd)
            sweep = 360;
        if (kind == PIE)
            path.moveTo(c);
        else
            path.arcMoveTo(box, a1);
        path.arcTo(box, a1, sweep);
        if (kind != ARC)
            path.closeSubpath();
        return path;
    };

    switch (function) {
    case SAVEDC:
        if (int(m_saved.size()) < kMaxSavedStates)
            m_saved.push_back(m_dc);
        break;
    case RESTOREDC: {
        if (!need(1))
            break;
        int n = r.s16();
        if (n > 0)
            n = n - int(m_saved.size()) - 1; // an absolute level
        while (n < 0 && !m_saved.empty()) {
            m_dc = m_saved.back();
            m_saved.pop_back();
            ++n;
        }
        applyTransform();
        applyClip();
        break;
    }
    case SETBKMODE:
        if (need(1))
            m_dc.bkOpaque = r.u16() == 2;
        break;
    case SETPOLYFILLMODE:
        if (need(1))
            m_dc.fillRule = r.u16() == 2 ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    case SETTEXTALIGN:
        if (need(1))
            m_dc.textAlign = r.u16();
        break;
    case SETBKCOLOR:
        if (need(2))
            m_dc.bkColor = colorRef(r.u32());
        break;
    case SETTEXTCOLOR:
        if (need(2))
            m_dc.textColor = colorRef(r.u32());
        break;
    case SETWINDOWORG:
        if (need(2) && !(m_painter == nullptr && !m_frameKnown)) {
            const int y = r.s16();
            m_dc.winOrg = QPointF(r.s16(), y);
            applyTransform();
        }
        break;
    case SETWINDOWEXT:
        if (need(2) && !(m_painter == nullptr && !m_frameKnown)) {
            const int y = r.s16();
            const int x = r.s16();
            if (x != 0 && y != 0) {
                m_dc.winExt = QPointF(x, y);
                applyTransform();
            }
        }
        break;
    case OFFSETWINDOWORG:
        if (need(2) && m_painter) {
            const int y = r.s16();
            m_dc.winOrg += QPointF(r.s16(), y);
            applyTransform();
        }
        break;
    case SCALEWINDOWEXT:
        if (need(4) && m_painter) {
            const int yDenom = r.s16();
            const int yNum = r.s16();
            const int xDenom = r.s16();
            const int xNum = r.s16();
            if (xDenom && yDenom && xNum && yNum) {
                m_dc.winExt =
                    QPointF(m_dc.winExt.x() * xNum / xDenom, m_dc.winExt.y() * yNum / yDenom);
                applyTransform();
            }
        }
        break;
    case MOVETO:
        if (need(2)) {
            const int y = r.s16();
            m_dc.position = QPointF(r.s16(), y);
        }
        break;
    case LINETO:
        if (need(2)) {
            const int y = r.s16();
            const QPointF to(r.s16(), y);
            QPainterPath path(m_dc.position);
            path.lineTo(to);
            draw(path, false, true);
            m_dc.position = to;
        }
        break;
    case INTERSECTCLIPRECT:
    case EXCLUDECLIPRECT:
        if (need(4) && m_painter) {
            const QRegion area = deviceRect(rectFrom()).toAlignedRect();
            const QRegion whole(0, 0, m_size.width(), m_size.height());
            const QRegion current = m_dc.clipped ? m_dc.clip : whole;
            m_dc.clip = function == INTERSECTCLIPRECT ? current.intersected(area)
                                                      : current.subtracted(area);
            m_dc.clipped = true;
            applyClip();
        }
        break;
    case OFFSETCLIPRGN:
        if (need(2) && m_painter && m_dc.clipped) {
            const int y = r.s16();
            const int x = r.s16();
            const QTransform t = transform();
            const double limit = 4.0 * kMaxSide;
            m_dc.clip.translate(int(std::clamp(x * t.m11(), -limit, limit)),
                                int(std::clamp(y * t.m22(), -limit, limit)));
            applyClip();
        }
        break;
    case SELECTCLIPREGION:
        m_dc.clipped = false;
        applyClip();
        break;
    case RECTANGLE:
        if (need(4)) {
            QPainterPath path;
            path.addRect(rectFrom().normalized());
            draw(path, true, true);
        }
        break;
    case ROUNDRECT:
        if (need(6)) {
            const int h = r.s16();
            const int w = r.s16();
            QPainterPath path;
            path.addRoundedRect(rectFrom().normalized(), std::abs(w) / 2.0, std::abs(h) / 2.0);
            draw(path, true, true);
        }
        break;
    case ELLIPSE:
        if (need(4)) {
            QPainterPath path;
            path.addEllipse(rectFrom().normalized());
            draw(path, true, true);
        }
        break;
    case ARC:
    case PIE:
    case CHORD:
        if (need(8))
            draw(arcPath(function), function != ARC, true);
        break;
    case POLYGON:
    case POLYLINE:
        if (need(1)) {
            const QPolygonF polygon = points(r.u16());
            if (polygon.size() < 2)
                break;
            QPainterPath path;
            path.addPolygon(polygon);
            if (function == POLYGON)
                path.closeSubpath();
            draw(path, function == POLYGON, true);
        }
        break;
    case POLYPOLYGON:
        if (need(1)) {
            const int polygons = r.u16();
            if (!r.has(qint64(polygons) * 2))
                break;
            std::vector<int> counts(static_cast<size_t>(polygons), 0);
            for (int &c : counts)
                c = r.u16();
            QPainterPath path;
            for (int c : counts) {
                const QPolygonF polygon = points(c);
                if (polygon.size() >= 2) {
                    path.addPolygon(polygon);
                    path.closeSubpath();
                }
            }
            draw(path, true, true);
        }
        break;
    case SETPIXEL:
        if (need(4)) {
            const QColor color = colorRef(r.u32());
            const int y = r.s16();
            const int x = r.s16();
            spend(1);
            if (!m_painter) {
                m_bounds |= QRectF(x, y, 1, 1);
            } else {
                const QPointF at = transform().map(QPointF(x, y));
                m_painter->save();
                m_painter->resetTransform();
                m_painter->fillRect(QRectF(std::floor(at.x()), std::floor(at.y()), 1, 1), color);
                m_painter->restore();
            }
        }
        break;
    case TEXTOUT:
        if (need(1)) {
            const int length = r.u16();
            if (!r.has((length + 1) / 2 * 2 + 4))
                break;
            const QByteArray bytes(reinterpret_cast<const char *>(r.current()), length);
            r.skip((length + 1) / 2 * 2);
            const int y = r.s16();
            const int x = r.s16();
            text(x, y, bytes, false, {});
        }
        break;
    case EXTTEXTOUT:
        if (need(4)) {
            const int y = r.s16();
            const int x = r.s16();
            const int length = r.u16();
            const int options = r.u16();
            QRectF rect;
            const bool hasRect = options & 0x0006;
            if (hasRect) {
                const int left = r.s16();
                const int top = r.s16();
                const int right = r.s16();
                const int bottom = r.s16();
                rect = QRectF(QPointF(left, top), QPointF(right, bottom));
            }
            if (!r.has(length))
                break;
            const QByteArray bytes(reinterpret_cast<const char *>(r.current()), length);
            text(x, y, bytes, (options & 0x0002) != 0, rect);
        }
        break;
    case PATBLT:
        if (need(6)) {
            const quint32 rop = r.u32();
            const int h = r.s16();
            const int w = r.s16();
            const int y = r.s16();
            const int x = r.s16();
            patBlt(QRectF(x, y, w, h), rop);
        }
        break;
    case BITBLT:
    case STRETCHBLT: {
        // The old device-dependent blits: without a bitmap they paint with the brush.
        const bool withBitmap = words > (function >> 8) + 3;
        if (withBitmap || !need(9))
            break;
        const quint32 rop = r.u32();
        if (function == STRETCHBLT)
            r.skip(2 * 4);
        else
            r.skip(2 * 3);
        const int h = r.s16();
        const int w = r.s16();
        const int y = r.s16();
        const int x = r.s16();
        patBlt(QRectF(x, y, w, h), rop);
        break;
    }
    case DIBBITBLT:
    case DIBSTRETCHBLT:
    case STRETCHDIB: {
        const bool withBitmap = words > (function >> 8) + 3;
        if (!need(function == DIBBITBLT ? 8 : 10))
            break;
        const quint32 rop = r.u32();
        if (function == STRETCHDIB)
            r.u16(); // colour usage
        int srcW = 0, srcH = 0, srcX, srcY;
        if (function == DIBBITBLT) {
            srcY = r.s16();
            srcX = r.s16();
            if (!withBitmap)
                r.u16();
        } else {
            srcH = r.s16();
            srcW = r.s16();
            srcY = r.s16();
            srcX = r.s16();
            if (!withBitmap)
                r.u16();
        }
        const int h = r.s16();
        const int w = r.s16();
        const int y = r.s16();
        const int x = r.s16();
        if (function == DIBBITBLT) {
            srcW = w;
            srcH = h;
        }
        if (!withBitmap) {
            patBlt(QRectF(x, y, w, h), rop);
            break;
        }
        const QImage image = decodeDib(r.current(), r.remaining());
        if (image.isNull())
            break;
        // Source rows count from the bottom of the bitmap.
        QRectF source(srcX, image.height() - srcY - srcH, srcW, srcH);
        source = source.normalized().intersected(QRectF(0, 0, image.width(), image.height()));
        if (source.isEmpty())
            source = QRectF(0, 0, image.width(), image.height());
        drawImage(image, QRectF(x, y, w, h), source, rop);
        break;
    }
    case SETDIBTODEV:
        if (need(9)) {
            r.skip(2 * 5);
            const int h = r.s16();
            const int w = r.s16();
            const int y = r.s16();
            const int x = r.s16();
            const QImage image = decodeDib(r.current(), r.remaining());
            if (!image.isNull())
                drawImage(image, QRectF(x, y, w, h), QRectF(0, 0, image.width(), image.height()),
                          kSrcCopy);
        }
        break;
    case CREATEPENINDIRECT:
        if (need(5)) {
            GdiObject object;
            object.kind = GdiObject::Pen;
            object.pen.style = r.u16() & 0x0f;
            object.pen.width = std::abs(r.s16());
            r.s16();
            object.pen.color = colorRef(r.u32());
            createObject(object);
        } else {
            createObject(GdiObject{GdiObject::Other, {}, {}, {}});
        }
        break;
    case CREATEBRUSHINDIRECT:
        if (need(4)) {
            GdiObject object;
            object.kind = GdiObject::Brush;
            const int style = r.u16();
            const QColor color = colorRef(r.u32());
            const int hatch = r.u16();
            static const Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                     Qt::BDiagPattern, Qt::FDiagPattern,
                                                     Qt::CrossPattern, Qt::DiagCrossPattern};
            if (style == 1)
                object.brush = Qt::NoBrush;
            else if (style == 2)
                object.brush = QBrush(color, hatches[std::clamp(hatch, 0, 5)]);
            else
                object.brush = QBrush(color);
            createObject(object);
        } else {
            createObject(GdiObject{GdiObject::Other, {}, {}, {}});
        }
        break;
    case DIBCREATEPATTERNBRUSH: {
        GdiObject object;
        object.kind = GdiObject::Brush;
        object.brush = QBrush(Qt::gray);
        if (need(2)) {
            r.skip(4);
            const QImage pattern = decodeDib(r.current(), r.remaining());
            if (!pattern.isNull() && pattern.width() <= 256 && pattern.height() <= 256)
                object.brush = QBrush(pattern);
        }
        createObject(object);
        break;
    }
    case CREATEFONTINDIRECT: {
        GdiObject object;
        object.kind = GdiObject::Font;
        if (need(9)) {
            object.font.height = r.s16();
            r.s16();
            object.font.escapement = r.s16();
            r.s16();
            object.font.weight = r.s16();
            object.font.italic = r.u8();
            object.font.underline = r.u8();
            object.font.strikeOut = r.u8();
            r.skip(5);
            const qint64 n = std::min<qint64>(32, r.remaining());
            QByteArray face(reinterpret_cast<const char *>(r.current()), int(n));
            const int nul = face.indexOf('\0');
            if (nul >= 0)
                face.truncate(nul);
            object.font.face = QString::fromLatin1(face);
        }
        createObject(object);
        break;
    }
    case CREATEPATTERNBRUSH: {
        GdiObject object;
        object.kind = GdiObject::Brush;
        object.brush = QBrush(Qt::gray);
        createObject(object);
        break;
    }
    case CREATEPALETTE:
    case CREATEREGION:
        createObject(GdiObject{GdiObject::Other, {}, {}, {}});
        break;
    case SELECTOBJECT:
        if (need(1)) {
            const int index = r.u16();
            if (index >= int(m_objects.size()))
                break;
            const GdiObject &object = m_objects[size_t(index)];
            if (object.kind == GdiObject::Pen)
                m_dc.pen = object.pen;
            else if (object.kind == GdiObject::Brush)
                m_dc.brush = object.brush;
            else if (object.kind == GdiObject::Font)
                m_dc.font = object.font;
        }
        break;
    case DELETEOBJECT:
        if (need(1)) {
            const int index = r.u16();
            if (index < int(m_objects.size()) &&
                m_objects[size_t(index)].kind != GdiObject::Empty) {
                m_objects[size_t(index)] = GdiObject();
                m_freeSlots.push(index);
            }
        }
        break;
    default:
        // Palettes, mapping modes, viewport records and escapes do not change the picture as
        // we play it into its own frame.
        break;
    }
}

} // namespace

bool WmfHandler::canRead() const
{
    return device() != nullptr;
}

bool WmfHandler::canRead(QIODevice *device)
{
    if (!device)
        return false;
    const QByteArray head = device->peek(6);
    if (head.size() < 6)
        return false;
    ByteReader r(head);
    if (r.u32() == kPlaceableKey)
        return true;
    r.seek(0);
    const int type = r.u16();
    const int headerWords = r.u16();
    const int version = r.u16();
    return (type == 1 || type == 2) && headerWords == 9 && (version == 0x0300 || version == 0x0100);
}

QImage WmfHandler::decode(const QByteArray &data)
{
    WmfPlayer player(data);
    return player.render();
}

bool WmfHandler::read(QImage *image)
{
    const QImage decoded = decode(readAll(device()));
    if (decoded.isNull())
        return false;
    *image = decoded;
    return true;
}
