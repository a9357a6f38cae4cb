// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Shared set-up of the decoder fuzz targets: a headless application (drawings need fonts) and
// Qt's warnings kept quiet so that the fuzzer's output stays readable.
#pragma once

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <cstdlib>

namespace FuzzCommon {

inline void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

inline void start()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    static QGuiApplication app(argc, argv);
}

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(size));
}

// Touches every pixel so that reads of memory the decoder never wrote show up.
inline void consume(const QImage &image)
{
    if (image.isNull())
        return;
    volatile uint32_t sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        const uchar *line = image.constScanLine(y);
        for (qsizetype x = 0; x < image.bytesPerLine(); x += 64)
            sum = sum + line[x];
    }
}

} // namespace FuzzCommon

#define VEXA_FUZZ_DECODER(expr)                                                                    \
    extern "C" int LLVMFuzzerInitialize(int *, char ***)                                           \
    {                                                                                              \
        FuzzCommon::start();                                                                       \
        return 0;                                                                                  \
    }                                                                                              \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                        \
    {                                                                                              \
        const QByteArray input = FuzzCommon::bytes(data, size);                                    \
        FuzzCommon::consume(expr);                                                                 \
        return 0;                                                                                  \
    }
