// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The decode-only floor of a gather: every image file given decoded once with Qt and the
// program's own decoders, spread over all cores. Prints the wall time in milliseconds.
// Usage: decode_floor FILE...   (or decode_floor -  to read the names from standard input)
#include "formats.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QThreadPool>

#include <atomic>
#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    ImageFormats::registerBuiltInFormats();
    QStringList files;
    for (int i = 1; i < argc; ++i)
        files << QString::fromLocal8Bit(argv[i]);
    if (files == QStringList{QStringLiteral("-")}) {
        files.clear();
        char line[4096];
        while (std::fgets(line, sizeof line, stdin))
            files << QString::fromLocal8Bit(line).trimmed();
    }
    std::atomic<int> failed{0};
    QElapsedTimer clock;
    clock.start();
    QThreadPool pool;
    for (const QString &f : files) {
        pool.start([f, &failed] {
            QImageReader reader(f);
            if (!reader.read().isNull())
                return;
            // A file of a type the toolkit reads only in part (TGA without the newer footer)
            // goes to the program's second reader of that type, as the gather does.
            QImageReader second(f, "vexa" + QFileInfo(f).suffix().toLower().toLatin1());
            if (second.read().isNull())
                ++failed;
        });
    }
    pool.waitForDone();
    std::printf("%.1f\n", clock.nsecsElapsed() / 1e6);
    if (failed)
        std::fprintf(stderr, "%d files failed to decode\n", int(failed));
    return 0;
}
