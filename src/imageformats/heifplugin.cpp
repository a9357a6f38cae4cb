// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The image plugin for HEIC and HEIF photographs, decoded by libheif. Built only when the
// library is found.
#include "photobrands.h"
#include "rasterio.h"

#include <QIODevice>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QImageReader>
#include <QMutex>
#include <QtPlugin>

#include <libheif/heif.h>

#include <memory>

namespace {

using ImageFormats::Raster::sizeIsSane;

// One picture at a time: libheif already spreads the tiles of a photograph over the cores, and
// two pictures at once would double the memory a gather needs for nothing.
QMutex &decodeLock()
{
    static QMutex lock;
    return lock;
}

struct ContextDeleter
{
    void operator()(heif_context *c) const { heif_context_free(c); }
};
struct HandleDeleter
{
    void operator()(heif_image_handle *h) const { heif_image_handle_release(h); }
};

// The files are parsed from memory; nothing larger than this is a photograph.
constexpr qint64 kMaxFileBytes = 512LL * 1024 * 1024;

bool withinAllocationLimit(qint64 width, qint64 height)
{
    const qint64 limitMB = QImageReader::allocationLimit();
    return sizeIsSane(width, height) &&
           (limitMB <= 0 || width * height * 4 <= limitMB * 1024 * 1024);
}

class HeifHandler : public QImageIOHandler
{
public:
    bool canRead() const override
    {
        if (!device() || !ImageFormats::Photo::isHeif(ImageFormats::Photo::brands(device())))
            return false;
        setFormat("heic");
        return true;
    }

    bool read(QImage *image) override
    {
        if (!open())
            return false;
        QMutexLocker locker(&decodeLock());
        // The library lays the picture out as its container says (rotation, mirror, crop); an
        // EXIF orientation inside the file is left alone, as for every other type.
        heif_image *decoded = nullptr;
        const heif_chroma chroma = heif_chroma_interleaved_RGBA;
        if (heif_decode_image(m_handle.get(), &decoded, heif_colorspace_RGB, chroma, nullptr)
                .code != heif_error_Ok)
            return false;
        const int w = heif_image_get_width(decoded, heif_channel_interleaved);
        const int h = heif_image_get_height(decoded, heif_channel_interleaved);
        int stride = 0;
        auto *pixels = const_cast<uint8_t *>(
            heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride));
        if (!pixels || w <= 0 || h <= 0 || stride < w * 4) {
            heif_image_release(decoded);
            return false;
        }
        // R, G, B, A bytes become the toolkit's 32-bit pixels where they lie, so the decoded
        // picture is never copied.
        const bool alpha = heif_image_handle_has_alpha_channel(m_handle.get());
        for (int y = 0; y < h; ++y) {
            uint8_t *p = pixels + qint64(y) * stride;
            auto *q = reinterpret_cast<QRgb *>(p);
            for (int x = 0; x < w; ++x, p += 4)
                q[x] = qRgba(p[0], p[1], p[2], alpha ? p[3] : 255);
        }
        *image = QImage(
            pixels, w, h, stride, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32,
            [](void *img) { heif_image_release(static_cast<heif_image *>(img)); }, decoded);
        return !image->isNull();
    }

    bool supportsOption(ImageOption option) const override { return option == Size; }

    QVariant option(ImageOption option) const override
    {
        if (option != Size || !const_cast<HeifHandler *>(this)->open())
            return {};
        return QSize(heif_image_handle_get_width(m_handle.get()),
                     heif_image_handle_get_height(m_handle.get()));
    }

private:
    // Parses the file's boxes once; false when it holds no picture we would decode.
    bool open()
    {
        if (m_handle)
            return true;
        if (m_failed || !device())
            return false;
        m_failed = true;
        m_data = ImageFormats::Raster::readAtMost(device(), kMaxFileBytes);
        m_context.reset(heif_context_alloc());
        if (!m_context || m_data.isEmpty())
            return false;
        heif_context_set_maximum_image_size_limit(m_context.get(),
                                                  int(ImageFormats::Raster::MaxSide));
        if (heif_context_read_from_memory_without_copy(m_context.get(), m_data.constData(),
                                                       size_t(m_data.size()), nullptr)
                .code != heif_error_Ok)
            return false;
        heif_image_handle *handle = nullptr;
        if (heif_context_get_primary_image_handle(m_context.get(), &handle).code != heif_error_Ok)
            return false;
        m_handle.reset(handle);
        if (!withinAllocationLimit(heif_image_handle_get_width(handle),
                                   heif_image_handle_get_height(handle))) {
            m_handle.reset();
            return false;
        }
        m_failed = false;
        return true;
    }

    QByteArray m_data; // the context reads it in place
    std::unique_ptr<heif_context, ContextDeleter> m_context;
    std::unique_ptr<heif_image_handle, HandleDeleter> m_handle;
    bool m_failed = false;
};

} // namespace

class VexaHeifPlugin : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "vexaheif.json")
public:
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override
    {
        if (format == "heic" || format == "heif")
            return CanRead;
        if (!format.isEmpty() || !device || !device->isReadable())
            return {};
        return ImageFormats::Photo::isHeif(ImageFormats::Photo::brands(device)) ? CanRead
                                                                                : Capabilities();
    }

    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        auto *handler = new HeifHandler;
        handler->setDevice(device);
        handler->setFormat(format.isEmpty() ? QByteArrayLiteral("heic") : format);
        return handler;
    }
};

#include "heifplugin.moc"
