// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "imagebox.h"

#include <array>
#include <cstdint>

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include "formats.h"
#include "jpegreader.h"

namespace {

void prepareReaders()
{
    static const bool prepared = [] {
        ImageFormats::registerBuiltInFormats();
        QImageReader::setAllocationLimit(ImageBox::AllocationLimitMB);
        return true;
    }();
    Q_UNUSED(prepared);
}

bool withinAllocationLimit(const QSize &size)
{
    const qint64 bytes = qint64(size.width()) * size.height() * 4;
    return size.width() > 0 && size.height() > 0 &&
           bytes <= qint64(ImageBox::AllocationLimitMB) * 1024 * 1024;
}

// Some decoders accept a file that ends early and fill the missing part with grey: a JPEG cut
// in its scan data, an uncompressed BMP cut in its pixel rows. Such a file is damaged, and
// signatures computed from the filler would be meaningless, so it counts as unreadable.
bool endsEarly(QFile &file, const QByteArray &head)
{
    const auto byte = [&head](int k) { return uchar(head.at(k)); };
    if (head.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xD8) {
        // The decoder leaves the file positioned just after the end-of-image marker it read;
        // when the data ran out first, no marker precedes the position.
        const qint64 pos = file.pos();
        if (pos < 4 || !file.seek(pos - 2))
            return true;
        const QByteArray marker = file.read(2);
        return marker.size() != 2 || uchar(marker[0]) != 0xFF || uchar(marker[1]) != 0xD9;
    }
    if (head.size() >= 30 && head.startsWith("BM")) {
        const auto u16 = [&](int k) { return qFromLittleEndian<quint16>(head.constData() + k); };
        const auto u32 = [&](int k) { return qFromLittleEndian<quint32>(head.constData() + k); };
        const quint32 dataOffset = u32(10);
        const quint32 headerSize = u32(14);
        qint64 width = 0;
        qint64 height = 0;
        int bitCount = 0;
        if (headerSize == 12) {
            width = u16(18);
            height = u16(20);
            bitCount = u16(24);
        } else if (headerSize >= 40 && head.size() >= 34) {
            const quint32 compression = u32(30);
            if (compression != 0 && compression != 3) // run-length data has no fixed size
                return false;
            width = qint32(u32(18));
            height = qint32(u32(22));
            bitCount = u16(28);
        } else {
            return false;
        }
        const qint64 stride = (qAbs(width) * bitCount + 31) / 32 * 4;
        return file.size() < qint64(dataOffset) + stride * qAbs(height);
    }
    return false;
}

// Reads one image from the file; an empty format lets the content choose the decoder. Upright,
// a picture the camera recorded turned is turned back. With a valid frame, a JPEG picture is
// decoded at a reduced size that still covers what fits in the frame; ownSize then receives
// the picture's own size (upright when the picture is).
QImage readImage(QFile &file, const QByteArray &head, const QByteArray &format, bool upright,
                 const QSize &frame = QSize(), QSize *ownSize = nullptr)
{
    if (!file.seek(0))
        return {};
    QImageReader reader(&file, format);
    if (format.isEmpty())
        reader.setDecideFormatFromContent(true);
    else
        reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(upright);
    const bool turned =
        upright && (reader.transformation() & QImageIOHandler::TransformationRotate90);
    const QSize size = reader.size(); // as stored
    if (size.isValid() && !withinAllocationLimit(size))
        return {};
    bool reduced = false;
    const QByteArray type = reader.format();
    if (frame.isValid() && size.isValid() && (type == "jpeg" || type == "jpg")) {
        // The decoder scales by 1/2, 1/4 or 1/8 while it decodes.
        const QSize needed = size.scaled(turned ? frame.transposed() : frame, Qt::KeepAspectRatio);
        int d = 8;
        while (d > 1 && (size.width() / d < needed.width() || size.height() / d < needed.height()))
            d /= 2;
        if (d > 1) {
            reader.setScaledSize(QSize(size.width() / d, size.height() / d));
            reduced = true;
        }
    }
    QImage image;
    if (!reader.read(&image) || image.isNull() || endsEarly(file, head))
        return {};
    if (ownSize)
        *ownSize = !reduced ? image.size() : turned ? size.transposed() : size;
    return image;
}

// For each alpha value a, what the backdrop adds to every colour byte of a premultiplied
// pixel: 240 x (255 - a) / 255, rounded, repeated in the blue, green and red bytes.
const std::array<uint32_t, 256> &backdropShares()
{
    static const std::array<uint32_t, 256> shares = [] {
        std::array<uint32_t, 256> t{};
        const uint32_t level = qRed(ImageBackdrop);
        for (uint32_t a = 0; a < 256; ++a)
            t[a] = ((level * (255 - a) + 127) / 255) * 0x010101u;
        return t;
    }();
    return shares;
}

} // namespace

QImage toOpaqueRgb32(QImage image)
{
    if (image.isNull())
        return image;
    if (!image.hasAlphaChannel()) {
        image.convertTo(QImage::Format_RGB32);
        return image;
    }
    // Source-over onto the backdrop: with premultiplied colour bytes c <= a, the result
    // c + 240 x (255 - a) / 255 never carries into the next byte.
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    const std::array<uint32_t, 256> &shares = backdropShares();
    const int w = image.width();
    for (int y = 0; y < image.height(); ++y) {
        auto *p = reinterpret_cast<uint32_t *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const uint32_t s = p[x];
            p[x] = 0xFF000000u | ((s & 0x00FFFFFFu) + shares[s >> 24]);
        }
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

namespace {

QImage decodeFile(const QString &path, bool upright, const QSize &frame, QSize *ownSize,
                  const ImageBox::Rows &rows = {})
{
    prepareReaders();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.peek(64);
    QImage image;
    bool contentRead = false; // the content's own reader has had its say
    if (!upright && !frame.isValid() && head.startsWith("\xFF\xD8")) {
        // Most files are JPEG photographs: the signatures read them decoded straight into
        // their pixels as stored.
        JpegReader::Result jpeg =
            JpegReader::read(file.readAll(), qint64(ImageBox::AllocationLimitMB) << 20, rows);
        if (jpeg.outcome == JpegReader::Outcome::Decoded)
            return std::move(jpeg.image);
        contentRead = jpeg.outcome == JpegReader::Outcome::Unreadable;
    }
    if (!contentRead)
        image = readImage(file, head, QByteArray(), upright, frame, ownSize);
    if (image.isNull()) {
        // Formats without a signature are known by their extension only, and a weak
        // signature of one format can match another's content: try the extension's decoder.
        const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
        if (!suffix.isEmpty())
            image = readImage(file, head, suffix, upright, frame, ownSize);
        // Last, the program's own second reader of a type the toolkit reads only in part.
        if (image.isNull() && suffix == "tga")
            image = readImage(file, head, QByteArrayLiteral("vexatga"), upright, frame, ownSize);
    }
    image = toOpaqueRgb32(std::move(image));
    if (rows && !image.isNull())
        rows(image, 0, image.height());
    return image;
}

} // namespace

QImage ImageBox::decode(const QString &path, Orientation orientation)
{
    return decodeFile(path, orientation == Orientation::Upright, QSize(), nullptr);
}

QImage ImageBox::decodeRows(const QString &path, const Rows &rows)
{
    return decodeFile(path, false, QSize(), nullptr, rows);
}

QImage ImageBox::decodeForFrame(const QString &path, const QSize &frame, QSize *ownSize)
{
    return decodeFile(path, true, frame, ownSize);
}

bool ImageBox::setFileName(const QString &path)
{
    release();
    if (path.isEmpty())
        return true;
    m_picture = decode(path, Orientation::Upright);
    if (m_picture.isNull())
        return false;
    m_fileName = path;
    return true;
}

void ImageBox::release()
{
    m_fileName.clear();
    m_picture = QImage();
}

QSize ImageBox::displaySize(const QSize &requested) const
{
    const int w = width();
    const int h = height();
    switch (m_displayMode) {
    case NaturalSize:
        return {w, h};
    case FitWidth:
        return {requested.width(), w > 0 ? int((qint64(requested.width()) * h + w / 2) / w) : 0};
    case FitHeight:
        return {h > 0 ? int((qint64(requested.height()) * w + h / 2) / h) : 0, requested.height()};
    default:
        return requested;
    }
}

PixelArray ReadPixels(const QImage &picture, int x, int y, int w, int h)
{
    if (picture.isNull() || w <= 0 || h <= 0)
        return {};
    const QImage rgb = picture.format() == QImage::Format_RGB32 ? picture : toOpaqueRgb32(picture);
    if (x == 0 && y == 0 && w == rgb.width() && h == rgb.height())
        return PixelArray(rgb);
    return PixelArray(rgb.copy(x, y, w, h));
}
