// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QByteArray>
#include <QList>

#include <functional>

class QIODevice;
class QImageIOHandler;

// The program's own image decoders, for the picture types Qt does not read. Each decoder is a
// Qt image handler; the program's image plugin offers them to QImageReader under their format
// names, so the image component reads every type the same way.
namespace ImageFormats {

struct Format
{
    QByteArray name;             // format name given to QImageReader, lower case: "pcx"
    QList<QByteArray> suffixes;  // file extensions without the dot: {"pcx"}
    // True when the device's content looks like this format. Peeks only (no reads that
    // move the position). Formats without a signature return false: they are chosen by
    // extension alone.
    std::function<bool(QIODevice *)> canRead;
    std::function<QImageIOHandler *()> create;
};

// The entry of a handler class with a static canRead(QIODevice *).
template <typename Handler> Format format(const char *name, QList<QByteArray> suffixes)
{
    return Format{name, std::move(suffixes),
                  [](QIODevice *device) { return Handler::canRead(device); },
                  [] { return static_cast<QImageIOHandler *>(new Handler); }};
}

// The bitmap formats with a widespread writer (PCX, RAS, MAC, MSP, IMG, IFF/LBM, Utah RLE).
const QList<Format> &rasterFormats();
// The older and drawing formats (CUT, ART, HRZ, PIC as PC Paint or Macintosh PICT, WMF, WPG,
// GEM).
const QList<Format> &legacyFormats();

// Second readers for types the toolkit reads only in part (TGA files without the newer
// footer), asked for by name: "vexa" + the type, such as "vexatga".
const QList<Format> &fallbackFormats();

// Makes the program's image plugins known to Qt. Call once before reading images.
void registerBuiltInFormats();

// True when some installed or built-in reader takes files of this suffix ("webp", "heic").
bool canReadType(const QByteArray &suffix);

} // namespace ImageFormats
