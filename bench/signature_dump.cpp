// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Prints the colour and pattern signatures of image files as a gather computes them, and the
// pattern distances between them, in the form bench/signatures_reference.py prints them; writes
// the pixels it read to a PPM file per image so that the reference reads exactly the same pixels.
// Usage: signature_dump PPM_FOLDER IMAGE...
#include "imagebox.h"
#include "patternsig.h"
#include "pixelarray.h"
#include "signatures.h"

#include <cstdio>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

namespace {

bool writePpm(const PixelArray &pixels, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QByteArray("P6\n") + QByteArray::number(pixels.width()) + ' ' +
               QByteArray::number(pixels.height()) + "\n255\n");
    QByteArray row(pixels.width() * 3, '\0');
    for (int j = pixels.height(); j >= 1; --j) { // top row first
        for (int i = 1; i <= pixels.width(); ++i) {
            const quint32 p = pixels.at(i, j);
            row[3 * (i - 1)] = char(PixelArray::red(p));
            row[3 * (i - 1) + 1] = char(PixelArray::green(p));
            row[3 * (i - 1) + 2] = char(PixelArray::blue(p));
        }
        file.write(row);
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: signature_dump PPM_FOLDER IMAGE...\n");
        return 2;
    }
    const QDir out(args[1]);
    std::vector<QString> patterns;
    for (int k = 2; k < args.size(); ++k) {
        // The signatures' own reading: the stored pixels, never turned upright.
        const QImage picture = ImageBox::decode(args[k]);
        if (picture.isNull()) {
            std::fprintf(stderr, "cannot load %s\n", qPrintable(args[k]));
            return 1;
        }
        const PixelArray pixels = ReadPixels(picture);
        const QString name = QFileInfo(args[k]).completeBaseName();
        if (!writePpm(pixels, out.filePath(name + QStringLiteral(".ppm")))) {
            std::fprintf(stderr, "cannot write the pixels of %s\n", qPrintable(name));
            return 1;
        }
        // The values as a gather computes them, reading the rows as they are decoded.
        const SignatureBuffer v =
            computeSignatures(args[k], QStringLiteral(".X"), SignatureBuffer(), {false, true, true})
                .buffer;
        if (v.RGB.size() < 5 || v.PXLRAY.size() < 5) {
            std::printf("%s\tnot computed\n", qPrintable(name));
            patterns.emplace_back();
            continue;
        }
        std::printf("%s\t%d\t%d\t%.17g\t%s\t%s\t%s\t%s\t%d\t\"%s\"\n", qPrintable(name), v.X, v.Y,
                    v.XYRATIO, qPrintable(v.RGB), qPrintable(v.SOFTRGB), qPrintable(v.QRGB),
                    qPrintable(v.SOFTQRGB), v.PXLNUM, qPrintable(v.PXLRAY));
        patterns.push_back(v.PXLRAY);
    }
    for (std::size_t a = 0; a < patterns.size(); ++a)
        for (std::size_t b = a + 1; b < patterns.size(); ++b)
            std::printf("distance\t%zu\t%zu\t%d\t%d\n", a + 1, b + 1,
                        PatternDistance(patterns[a], patterns[b], false),
                        PatternDistance(patterns[a], patterns[b], true));
    return 0;
}
