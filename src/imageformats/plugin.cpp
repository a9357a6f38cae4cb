// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The image plugin built into the program: it hands QImageReader our own decoders. The photo
// plugins beside it (HEIC/HEIF, AVIF) are registered here too when they were built.
#include "formats.h"

#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QImageReader>
#include <QtPlugin>

namespace {

QList<ImageFormats::Format> allFormats()
{
    return ImageFormats::rasterFormats() + ImageFormats::legacyFormats()
           + ImageFormats::fallbackFormats();
}

} // namespace

class VexaImageFormatsPlugin : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "vexaformats.json")
public:
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override
    {
        const QList<ImageFormats::Format> formats = allFormats();
        if (!format.isEmpty()) {
            for (const auto &f : formats) {
                if (f.name == format.toLower() || f.suffixes.contains(format.toLower()))
                    return CanRead;
            }
            // Another format was named: only a content match counts.
        }
        if (!device || !device->isOpen() || !device->isReadable())
            return {};
        for (const auto &f : formats) {
            if (f.canRead && f.canRead(device))
                return CanRead;
        }
        return {};
    }

    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        const QList<ImageFormats::Format> formats = allFormats();
        const QByteArray wanted = format.toLower();
        // A second reader asked for by name is what the caller wants, whatever the content.
        for (const auto &f : ImageFormats::fallbackFormats()) {
            if (f.name == wanted) {
                QImageIOHandler *h = f.create();
                h->setDevice(device);
                h->setFormat(f.name);
                return h;
            }
        }
        // The content decides first: a file whose extension lies is still read by its type.
        if (device) {
            for (const auto &f : formats) {
                if (f.canRead && f.canRead(device)) {
                    QImageIOHandler *h = f.create();
                    h->setDevice(device);
                    h->setFormat(f.name);
                    return h;
                }
            }
        }
        for (const auto &f : formats) {
            if (f.name == wanted || f.suffixes.contains(wanted)) {
                QImageIOHandler *h = f.create();
                h->setDevice(device);
                h->setFormat(f.name);
                return h;
            }
        }
        return nullptr;
    }
};

extern const QStaticPlugin qt_static_plugin_VexaImageFormatsPlugin();
#ifdef VEXA_HAVE_HEIF
extern const QStaticPlugin qt_static_plugin_VexaHeifPlugin();
#endif
#ifdef VEXA_HAVE_AVIF
extern const QStaticPlugin qt_static_plugin_VexaAvifPlugin();
#endif

namespace ImageFormats {

void registerBuiltInFormats()
{
    // The plugin lives in this static library; importing it here links it into every
    // program that reads images.
    static const bool registered = [] {
        qRegisterStaticPluginFunction(qt_static_plugin_VexaImageFormatsPlugin());
#ifdef VEXA_HAVE_HEIF
        qRegisterStaticPluginFunction(qt_static_plugin_VexaHeifPlugin());
#endif
#ifdef VEXA_HAVE_AVIF
        qRegisterStaticPluginFunction(qt_static_plugin_VexaAvifPlugin());
#endif
        return true;
    }();
    Q_UNUSED(registered);
}

bool canReadType(const QByteArray &suffix)
{
    registerBuiltInFormats();
    return QImageReader::supportedImageFormats().contains(suffix.toLower());
}

} // namespace ImageFormats

#include "plugin.moc"
