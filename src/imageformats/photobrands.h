// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QByteArray>
#include <QList>

class QIODevice;

// What today's photo types share: HEIC, HEIF and AVIF pictures are ISO base media files that
// name their kind in the brands of their first box, 'ftyp'.
namespace ImageFormats::Photo {

// The major brand, then the compatible ones, of the device's 'ftyp' box; empty when the
// device does not start with one. Peeks only.
QList<QByteArray> brands(QIODevice *device);

// True for the brands of a HEIF picture coded with HEVC (the phones' .heic), or of a generic
// HEIF file that names no AV1 brand.
bool isHeif(const QList<QByteArray> &brands);
// True for the brands of an AV1 picture or sequence (.avif).
bool isAvif(const QList<QByteArray> &brands);

} // namespace ImageFormats::Photo
