// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "gemmetahandler.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QFontMetricsF>
#include <QIODevice>
#include <QPainter>
#include <QPainterPath>

#include "legacyreader.h"

using namespace ImageFormats::Legacy;

namespace {

// Header words: -1, header length in words, version, coordinate kind (0: normalised, origin
// bottom left, 0..32767 across the page; 2: raster, origin top left), the extents of the
// picture (min x, min y, max x, max y), the page size in tenths of a millimetre, and the user
// coordinate window (lower left x, y, upper right x, y; all zero for the default).
// Records: opcode, number of points, number of integers, sub-function, the points (x, y
// words), the integers. Opcode -1 ends the file.
constexpr int kMinHeaderWords = 14;
constexpr qint64 kWorkBudget = 4'000'000;

enum Opcode {
    OpEscape = 5,
    OpPolyline = 6,
    OpPolymarker = 7,
    OpText = 8,
    OpFillArea = 9,
    OpGdp = 11,
    OpTextHeight = 12,
    OpTextRotation = 13,
    OpSetColour = 14,
    OpLineType = 15,
    OpLineWidth = 16,
    OpLineColour = 17,
    OpMarkerColour = 20,
    OpTextColour = 22,
    OpFillInterior = 23,
    OpFillStyle = 24,
    OpFillColour = 25,
    OpTextAlignment = 39,
    OpPerimeter = 104,
    OpTextEffects = 106,
    OpTextPoint = 107,
    OpFillRect = 114,
    OpClip = 129,
};

enum Gdp {
    GdpBar = 1,
    GdpArc = 2,
    GdpPie = 3,
    GdpCircle = 4,
    GdpEllipse = 5,
    GdpEllArc = 6,
    GdpEllPie = 7,
    GdpRoundBox = 8,
    GdpFilledRoundBox = 9,
    GdpJustified = 10,
};

QColor defaultColour(int index)
{
    static const QRgb colours[16] = {
        0xffffffff, 0xff000000, 0xffff0000, 0xff00ff00, 0xff0000ff, 0xff00ffff,
        0xffffff00, 0xffff00ff, 0xffc0c0c0, 0xff808080, 0xff800000, 0xff008000,
        0xff000080, 0xff008080, 0xff808000, 0xff800080,
    };
    return QColor(colours[index & 15]);
}

struct Record
{
    int opcode = 0;
    int sub = 0;
    std::vector<QPointF> points;
    std::vector<int> ints;
};

class GemPlayer
{
public:
    explicit GemPlayer(const QByteArray &data) : m_data(data) {}
    QImage render();

private:
    bool readHeader();
    bool next(ByteReader &r, Record &rec);
    void play(QPainter *painter);
    void playRecord(const Record &rec);
    QPointF map(const QPointF &p) const;
    double scaleX() const { return m_pixelsPerUnitX; }
    double scaleY() const { return m_pixelsPerUnitY; }
    QColor colour(int index) const;
    void shape(const QPainterPath &devicePath, bool fill, bool outline, const QPen &outlinePen);
    QPen linePen() const;
    void text(const Record &rec, int firstChar);

    const QByteArray &m_data;
    qint64 m_recordsStart = 0;
    bool m_yUp = true;
    QRectF m_region; // the part of the coordinate space shown, in units
    QSizeF m_inchesPerUnit;
    QSize m_size;
    double m_pixelsPerUnitX = 1, m_pixelsPerUnitY = 1;

    QPainter *m_painter = nullptr;
    QRectF m_bounds;
    qint64 m_budget = kWorkBudget;
    PaintBudget m_paintBudget;
    std::vector<QColor> m_colours;
    int m_lineColour = 1, m_lineType = 1, m_fillColour = 1, m_fillInterior = 0, m_fillStyle = 1,
        m_textColour = 1, m_markerColour = 1, m_textRotation = 0, m_textEffects = 0, m_alignH = 0,
        m_alignV = 0;
    double m_lineWidth = 1, m_textHeight = 0;
    bool m_perimeter = true;
};

bool GemPlayer::readHeader()
{
    ByteReader r(m_data);
    if (r.u16() != 0xffff)
        return false;
    const int headerWords = r.u16();
    r.u16();
    const int kind = r.u16();
    const double xMin = r.s16(), yMin = r.s16(), xMax = r.s16(), yMax = r.s16();
    const int pageW = r.s16(), pageH = r.s16();
    const double llx = r.s16(), lly = r.s16(), urx = r.s16(), ury = r.s16();
    if (!r.ok() || headerWords < kMinHeaderWords || (kind != 0 && kind != 2))
        return false;
    m_recordsStart = qint64(headerWords) * 2;
    if (m_recordsStart > m_data.size())
        return false;

    // The coordinate window: the user's, or the page in normalised units, or raster pixels.
    QRectF window;
    if (llx != urx && lly != ury) {
        window = QRectF(QPointF(std::min(llx, urx), std::min(lly, ury)),
                        QPointF(std::max(llx, urx), std::max(lly, ury)));
        m_yUp = ury > lly;
    } else if (kind == 0) {
        window = QRectF(0, 0, 32767, 32767);
        m_yUp = true;
    } else {
        m_yUp = false;
    }
    // Physical size of a unit: the page spread over the window; without a page, raster units
    // are screen pixels and normalised units spread over an A4 sheet.
    const bool page = pageW > 0 && pageH > 0;
    if (page && window.isValid()) {
        m_inchesPerUnit = QSizeF(pageW / 254.0 / window.width(), pageH / 254.0 / window.height());
    } else if (window.isValid() && kind == 0) {
        m_inchesPerUnit = QSizeF(8.27 / window.width(), 11.69 / window.height());
    } else {
        m_inchesPerUnit = QSizeF(1 / 96.0, 1 / 96.0);
    }
    if (xMax > xMin && yMax > yMin)
        m_region = QRectF(QPointF(xMin, yMin), QPointF(xMax, yMax));
    else if (window.isValid())
        m_region = window;
    return true;
}

bool GemPlayer::next(ByteReader &r, Record &rec)
{
    if (!r.has(8))
        return false;
    rec.opcode = r.u16();
    if (rec.opcode == 0xffff)
        return false;
    const int points = r.u16();
    const int ints = r.u16();
    rec.sub = r.u16();
    if (!r.has(qint64(points) * 4 + qint64(ints) * 2))
        return false;
    rec.points.resize(size_t(points));
    for (QPointF &p : rec.points) {
        const int x = r.s16();
        p = QPointF(x, r.s16());
    }
    rec.ints.resize(size_t(ints));
    for (int &v : rec.ints)
        v = r.s16();
    return true;
}

QImage GemPlayer::render()
{
    if (!readHeader())
        return {};
    if (!m_region.isValid()) {
        // No extents and no window: the picture is what it draws.
        play(nullptr);
        if (!m_bounds.isValid() || m_bounds.width() < 1 || m_bounds.height() < 1)
            return {};
        m_region = m_bounds;
    }
    m_size = drawingSize(m_region.width() * m_inchesPerUnit.width(),
                         m_region.height() * m_inchesPerUnit.height());
    if (m_size.isEmpty())
        return {};
    m_pixelsPerUnitX = m_size.width() / m_region.width();
    m_pixelsPerUnitY = m_size.height() / m_region.height();
    QImage image = allocate(m_size.width(), m_size.height(), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::white);
    // Shapes are drawn without antialiasing, as the graphics system drew them; Qt's
    // antialiasing rasterizer also slows to seconds on outlines that cross themselves.
    QPainter painter(&image);
    play(&painter);
    painter.end();
    return image;
}

QPointF GemPlayer::map(const QPointF &p) const
{
    if (!m_painter)
        return p;
    const double x = (p.x() - m_region.left()) * m_pixelsPerUnitX;
    const double y = m_yUp ? (m_region.bottom() - p.y()) * m_pixelsPerUnitY
                           : (p.y() - m_region.top()) * m_pixelsPerUnitY;
    return QPointF(x, y);
}

QColor GemPlayer::colour(int index) const
{
    if (index >= 0 && size_t(index) < m_colours.size())
        return m_colours[size_t(index)];
    return defaultColour(index);
}

QPen GemPlayer::linePen() const
{
    QPen pen(colour(m_lineColour));
    const double width = m_lineWidth * m_pixelsPerUnitX;
    pen.setWidthF(width < 1.5 ? 0
                              : std::min(width, 2.0 * std::max(m_size.width(), m_size.height())));
    static const Qt::PenStyle styles[] = {Qt::SolidLine,      Qt::SolidLine,   Qt::DashLine,
                                          Qt::DotLine,        Qt::DashDotLine, Qt::DashLine,
                                          Qt::DashDotDotLine, Qt::SolidLine};
    pen.setStyle(styles[std::clamp(m_lineType, 0, 7)]);
    return pen;
}

void GemPlayer::shape(const QPainterPath &devicePath, bool fill, bool outline,
                      const QPen &outlinePen)
{
    m_budget -= devicePath.elementCount() + 1;
    if (!m_painter) {
        m_bounds |= devicePath.boundingRect();
        return;
    }
    if (!m_paintBudget.charge(devicePath, QTransform(), m_size,
                              outline && outlinePen.widthF() > 0)) {
        m_budget = 0;
        return;
    }
    QBrush brush(Qt::NoBrush);
    if (fill && m_fillInterior != 0) {
        const QColor c = colour(m_fillColour);
        if (m_fillInterior == 1)
            brush = QBrush(c);
        else if (m_fillInterior == 3)
            brush = QBrush(c, m_fillStyle % 3 == 1   ? Qt::BDiagPattern
                              : m_fillStyle % 3 == 2 ? Qt::CrossPattern
                                                     : Qt::HorPattern);
        else // patterns: shades of the fill colour
            brush = QBrush(c, m_fillStyle >= 6 ? Qt::Dense2Pattern : Qt::Dense5Pattern);
    }
    m_painter->setBrush(brush);
    m_painter->setPen(outline ? outlinePen : QPen(Qt::NoPen));
    m_painter->drawPath(devicePath);
}

void GemPlayer::text(const Record &rec, int firstChar)
{
    if (rec.points.empty())
        return;
    QString string;
    for (size_t i = size_t(firstChar); i < rec.ints.size(); ++i)
        string.append(QChar(ushort(rec.ints[i] & 0xff)));
    m_budget -= string.size() * 16 + 1;
    const QPointF at = map(rec.points[0]);
    const double units = m_textHeight > 0 ? m_textHeight : 12.0 / m_inchesPerUnit.height() / 72;
    const double pixels = units * (m_painter ? m_pixelsPerUnitY : 1);
    if (!m_painter) {
        m_bounds |= QRectF(at.x(), at.y() - units, units * 0.6 * string.size(), 2 * units);
        return;
    }
    if (string.isEmpty() || pixels < 1 || pixels > 4096)
        return;
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    font.setBold(m_textEffects & 1);
    font.setItalic(m_textEffects & 4);
    font.setUnderline(m_textEffects & 8);
    const QFontMetricsF metrics(font);
    const double width = metrics.horizontalAdvance(string);
    const double dx = m_alignH == 1 ? -width / 2 : m_alignH == 2 ? -width : 0;
    double dy = 0;
    switch (m_alignV) {
    case 1:
        dy = metrics.ascent() / 2;
        break;
    case 2:
    case 5:
        dy = metrics.ascent();
        break;
    case 3:
    case 4:
        dy = -metrics.descent();
        break;
    default:
        break;
    }
    m_painter->save();
    m_painter->translate(at);
    if (m_textRotation)
        m_painter->rotate(-m_textRotation / 10.0);
    m_painter->setFont(font);
    m_painter->setPen(colour(m_textColour));
    m_painter->drawText(QPointF(dx, dy), string);
    m_painter->restore();
}

void GemPlayer::play(QPainter *painter)
{
    m_painter = painter;
    m_budget = kWorkBudget;
    m_colours.clear();
    ByteReader r(m_data);
    r.seek(m_recordsStart);
    Record rec;
    while (m_budget > 0 && next(r, rec)) {
        m_budget -= 1 + qint64(rec.points.size());
        playRecord(rec);
    }
    m_painter = nullptr;
}

void GemPlayer::playRecord(const Record &rec)
{
    const auto &pts = rec.points;
    const auto &ints = rec.ints;
    auto intAt = [&ints](size_t i, int fallback) { return i < ints.size() ? ints[i] : fallback; };
    auto polygon = [&]() {
        QPolygonF poly;
        for (const QPointF &p : pts)
            poly.append(map(p));
        return poly;
    };
    // Circles and ellipses: a centre and radii in units, angles in tenths of a degree
    // counter-clockwise from three o'clock.
    auto ellipse = [&](QPointF centre, double rx, double ry, int from, int to, bool pie) {
        const QPointF c = map(centre);
        const double sx = m_painter ? m_pixelsPerUnitX : 1;
        const double sy = m_painter ? m_pixelsPerUnitY : 1;
        const QRectF box(c.x() - std::abs(rx) * sx, c.y() - std::abs(ry) * sy,
                         2 * std::abs(rx) * sx, 2 * std::abs(ry) * sy);
        QPainterPath path;
        if (from == to || std::abs(to - from) >= 3600) {
            path.addEllipse(box);
            return path;
        }
        double start = from / 10.0;
        double sweep = (to - from) / 10.0;
        while (sweep <= 0)
            sweep += 360;
        if (pie)
            path.moveTo(c);
        else
            path.arcMoveTo(box, start);
        path.arcTo(box, start, sweep);
        if (pie)
            path.closeSubpath();
        return path;
    };
    QPen perimeterPen(colour(m_fillColour));
    perimeterPen.setWidthF(0);

    switch (rec.opcode) {
    case OpPolyline:
        if (pts.size() >= 2) {
            QPainterPath path;
            path.addPolygon(polygon());
            shape(path, false, true, linePen());
        }
        break;
    case OpPolymarker:
        for (const QPointF &p : pts) {
            QPainterPath path;
            const QPointF c = map(p);
            path.addRect(QRectF(c.x() - 1, c.y() - 1, 3, 3));
            QPen pen(colour(m_markerColour));
            pen.setWidthF(0);
            const int saved = m_fillInterior;
            m_fillInterior = 0;
            shape(path, false, true, pen);
            m_fillInterior = saved;
        }
        break;
    case OpFillArea:
        if (pts.size() >= 2) {
            QPainterPath path;
            path.addPolygon(polygon());
            path.closeSubpath();
            shape(path, true, m_perimeter || m_fillInterior == 0, perimeterPen);
        }
        break;
    case OpFillRect:
        if (pts.size() >= 2) {
            QPainterPath path;
            path.addRect(QRectF(map(pts[0]), map(pts[1])).normalized());
            shape(path, true, false, perimeterPen);
        }
        break;
    case OpText:
        text(rec, 0);
        break;
    case OpGdp:
        switch (rec.sub) {
        case GdpBar:
        case GdpRoundBox:
        case GdpFilledRoundBox:
            if (pts.size() >= 2) {
                const QRectF box = QRectF(map(pts[0]), map(pts[1])).normalized();
                QPainterPath path;
                if (rec.sub == GdpBar) {
                    path.addRect(box);
                    shape(path, true, m_perimeter, perimeterPen);
                } else {
                    const double radius = std::min({box.width(), box.height()}) / 8;
                    path.addRoundedRect(box, radius, radius);
                    if (rec.sub == GdpRoundBox)
                        shape(path, false, true, linePen());
                    else
                        shape(path, true, m_perimeter, perimeterPen);
                }
            }
            break;
        case GdpArc:
        case GdpPie:
            if (pts.size() >= 4) {
                const double radius = pts[3].x();
                const QPainterPath path = ellipse(
                    pts[0], radius, radius * m_inchesPerUnit.width() / m_inchesPerUnit.height(),
                    intAt(0, 0), intAt(1, 3600), rec.sub == GdpPie);
                if (rec.sub == GdpArc)
                    shape(path, false, true, linePen());
                else
                    shape(path, true, m_perimeter, perimeterPen);
            }
            break;
        case GdpCircle:
            if (pts.size() >= 3) {
                const double radius = pts[2].x();
                shape(ellipse(pts[0], radius,
                              radius * m_inchesPerUnit.width() / m_inchesPerUnit.height(), 0, 0,
                              false),
                      true, m_perimeter, perimeterPen);
            }
            break;
        case GdpEllipse:
        case GdpEllArc:
        case GdpEllPie:
            if (pts.size() >= 2) {
                const bool whole = rec.sub == GdpEllipse;
                const QPainterPath path =
                    ellipse(pts[0], pts[1].x(), pts[1].y(), whole ? 0 : intAt(0, 0),
                            whole ? 0 : intAt(1, 3600), rec.sub == GdpEllPie);
                if (rec.sub == GdpEllArc)
                    shape(path, false, true, linePen());
                else
                    shape(path, true, m_perimeter, perimeterPen);
            }
            break;
        case GdpJustified:
            text(rec, 2);
            break;
        default:
            break;
        }
        break;
    case OpTextHeight:
        if (!pts.empty())
            m_textHeight = std::abs(pts[0].y());
        break;
    case OpTextPoint:
        if (!ints.empty())
            m_textHeight = std::abs(ints[0]) / 72.0 / m_inchesPerUnit.height();
        break;
    case OpTextRotation:
        m_textRotation = intAt(0, 0);
        break;
    case OpSetColour:
        if (ints.size() >= 4 && ints[0] >= 0 && ints[0] < 256) {
            if (m_colours.size() <= size_t(ints[0])) {
                const size_t old = m_colours.size();
                m_colours.resize(size_t(ints[0]) + 1);
                for (size_t i = old; i < m_colours.size(); ++i)
                    m_colours[i] = defaultColour(int(i));
            }
            auto level = [](int v) { return std::clamp(v * 255 / 1000, 0, 255); };
            m_colours[size_t(ints[0])] = QColor(level(ints[1]), level(ints[2]), level(ints[3]));
        }
        break;
    case OpLineType:
        m_lineType = intAt(0, 1);
        break;
    case OpLineWidth:
        if (!pts.empty())
            m_lineWidth = std::abs(pts[0].x());
        break;
    case OpLineColour:
        m_lineColour = intAt(0, 1);
        break;
    case OpMarkerColour:
        m_markerColour = intAt(0, 1);
        break;
    case OpTextColour:
        m_textColour = intAt(0, 1);
        break;
    case OpFillInterior:
        m_fillInterior = intAt(0, 0);
        break;
    case OpFillStyle:
        m_fillStyle = intAt(0, 1);
        break;
    case OpFillColour:
        m_fillColour = intAt(0, 1);
        break;
    case OpTextAlignment:
        m_alignH = intAt(0, 0);
        m_alignV = intAt(1, 0);
        break;
    case OpPerimeter:
        m_perimeter = intAt(0, 1) != 0;
        break;
    case OpTextEffects:
        m_textEffects = intAt(0, 0);
        break;
    case OpClip:
        if (m_painter) {
            if (intAt(0, 0) && pts.size() >= 2)
                m_painter->setClipRect(QRectF(map(pts[0]), map(pts[1])).normalized());
            else
                m_painter->setClipping(false);
        }
        break;
    default:
        break;
    }
}

} // namespace

bool GemMetaHandler::canRead() const
{
    return device() != nullptr;
}

bool GemMetaHandler::canRead(QIODevice *device)
{
    if (!device)
        return false;
    const QByteArray head = device->peek(8);
    if (head.size() < 8)
        return false;
    ByteReader r(head);
    const int magic = r.u16();
    const int headerWords = r.u16();
    r.u16();
    const int kind = r.u16();
    return magic == 0xffff && headerWords >= kMinHeaderWords && headerWords <= 512 &&
           (kind == 0 || kind == 2);
}

QImage GemMetaHandler::decode(const QByteArray &data)
{
    GemPlayer player(data);
    return player.render();
}

bool GemMetaHandler::read(QImage *image)
{
    const QImage decoded = decode(readAll(device()));
    if (decoded.isNull())
        return false;
    *image = decoded;
    return true;
}
