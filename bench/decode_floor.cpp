// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The decode-only floor of a gather: every image file given decoded once with Qt, spread over
// all cores. Prints the wall time in milliseconds. Usage: decode_floor FILE...
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageReader>
#include <QThreadPool>

#include <atomic>
#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QStringList files;
    for (int i = 1; i < argc; ++i)
        files << QString::fromLocal8Bit(argv[i]);
    std::atomic<int> failed{0};
    QElapsedTimer clock;
    clock.start();
    QThreadPool pool;
    for (const QString &f : files) {
        pool.start([f, &failed] {
            QImageReader reader(f);
            if (reader.read().isNull())
                ++failed;
        });
    }
    pool.waitForDone();
    std::printf("%.1f\n", clock.nsecsElapsed() / 1e6);
    if (failed)
        std::fprintf(stderr, "%d files failed to decode\n", int(failed));
    return 0;
}
