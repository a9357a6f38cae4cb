// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The image plugin for AVIF pictures, decoded by libavif. Built only when the library is found.
#include "photobrands.h"
#include "rasterio.h"

#include <QIODevice>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QImageReader>
#include <QTransform>
#include <QtPlugin>

#include <avif/avif.h>

#include <memory>

namespace {

struct DecoderDeleter
{
    void operator()(avifDecoder *d) const { avifDecoderDestroy(d); }
};

constexpr qint64 kMaxFileBytes = 512LL * 1024 * 1024;

class AvifHandler : public QImageIOHandler
{
public:
    bool canRead() const override
    {
        if (!device() || !ImageFormats::Photo::isAvif(ImageFormats::Photo::brands(device())))
            return false;
        setFormat("avif");
        return true;
    }

    bool read(QImage *image) override
    {
        if (!open() || avifDecoderNextImage(m_decoder.get()) != AVIF_RESULT_OK)
            return false;
        const avifImage *decoded = m_decoder->image;
        const bool alpha = decoded->alphaPlane != nullptr;
        QImage out;
        if (!ImageFormats::Raster::allocate(&out, int(decoded->width), int(decoded->height),
                                            alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32))
            return false;
        // The library writes the toolkit's 32-bit pixels directly: blue, green, red, alpha in
        // memory on a little-endian machine.
        avifRGBImage rgb;
        avifRGBImageSetDefaults(&rgb, decoded);
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        rgb.format = AVIF_RGB_FORMAT_BGRA;
#else
        rgb.format = AVIF_RGB_FORMAT_ARGB;
#endif
        rgb.depth = 8;
        rgb.ignoreAlpha = alpha ? AVIF_FALSE : AVIF_TRUE;
        rgb.pixels = out.bits();
        rgb.rowBytes = uint32_t(out.bytesPerLine());
        if (avifImageYUVToRGB(decoded, &rgb) != AVIF_RESULT_OK)
            return false;
        if (!alpha) {
            // Without an alpha plane the fourth byte is left as it was: make every pixel opaque.
            for (int y = 0; y < out.height(); ++y) {
                auto *p = reinterpret_cast<QRgb *>(out.scanLine(y));
                for (int x = 0; x < out.width(); ++x)
                    p[x] |= 0xff000000u;
            }
        }
        // The picture as its container lays it out: turned (anticlockwise) then mirrored. An
        // EXIF orientation inside the file is left alone, as for every other type.
        if (decoded->transformFlags & AVIF_TRANSFORM_IROT && decoded->irot.angle % 4)
            out = out.transformed(QTransform().rotate(-90.0 * (decoded->irot.angle % 4)));
        if (decoded->transformFlags & AVIF_TRANSFORM_IMIR)
            out = out.mirrored(decoded->imir.mode == 1, decoded->imir.mode == 0);
        *image = out;
        return !image->isNull();
    }

    bool supportsOption(ImageOption option) const override
    {
        return option == Size;
    }

    QVariant option(ImageOption option) const override
    {
        if (option != Size || !const_cast<AvifHandler *>(this)->open())
            return {};
        QSize size(int(m_decoder->image->width), int(m_decoder->image->height));
        if (m_decoder->image->transformFlags & AVIF_TRANSFORM_IROT &&
            m_decoder->image->irot.angle % 2)
            size.transpose();
        return size;
    }

private:
    bool open()
    {
        if (m_decoder)
            return true;
        if (m_failed || !device())
            return false;
        m_failed = true;
        m_data = ImageFormats::Raster::readAtMost(device(), kMaxFileBytes);
        std::unique_ptr<avifDecoder, DecoderDeleter> decoder(avifDecoderCreate());
        if (!decoder || m_data.isEmpty())
            return false;
        // Pictures whose pixels would pass the toolkit's allocation limit are refused while
        // their header is read.
        const qint64 limitMB = QImageReader::allocationLimit();
        decoder->imageSizeLimit = uint32_t(std::min<qint64>(
            ImageFormats::Raster::MaxPixels,
            limitMB > 0 ? limitMB * 1024 * 1024 / 4 : AVIF_DEFAULT_IMAGE_SIZE_LIMIT));
        decoder->maxThreads = 2;
        if (avifDecoderSetIOMemory(decoder.get(),
                                   reinterpret_cast<const uint8_t *>(m_data.constData()),
                                   size_t(m_data.size())) != AVIF_RESULT_OK ||
            avifDecoderParse(decoder.get()) != AVIF_RESULT_OK)
            return false;
        if (!ImageFormats::Raster::sizeIsSane(decoder->image->width, decoder->image->height))
            return false;
        m_decoder = std::move(decoder);
        m_failed = false;
        return true;
    }

    QByteArray m_data; // the decoder reads it in place
    std::unique_ptr<avifDecoder, DecoderDeleter> m_decoder;
    bool m_failed = false;
};

} // namespace

class VexaAvifPlugin : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "vexaavif.json")
public:
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override
    {
        if (format == "avif")
            return CanRead;
        if (!format.isEmpty() || !device || !device->isReadable())
            return {};
        return ImageFormats::Photo::isAvif(ImageFormats::Photo::brands(device)) ? CanRead
                                                                                : Capabilities();
    }

    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        auto *handler = new AvifHandler;
        handler->setDevice(device);
        handler->setFormat(format.isEmpty() ? QByteArrayLiteral("avif") : format);
        return handler;
    }
};

#include "avifplugin.moc"
