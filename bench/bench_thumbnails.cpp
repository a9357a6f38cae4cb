// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The pair review's thumbnails of two 24-megapixel photographs: the plain way (both decoded one
// after the other on the window's thread) against ours (decoded together on workers while the
// window's thread serves its events). Prints the time until both are shown and the longest
// time the window could not paint or take a click.
#include "imagebox.h"
#include "thumbnails.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// A photograph-like picture: smooth colour fields with grain, which JPEG cannot shrink much.
bool makePhoto(const QString &path, int width, int height, quint32 seed)
{
    QImage picture(width, height, QImage::Format_RGB32);
    QRandomGenerator rng(seed);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int grain = int(rng.bounded(24));
            line[x] = qRgb((x * 255 / width + grain) & 255, (y * 255 / height + grain) & 255,
                           ((x + y) * 128 / (width + height) + grain) & 255);
        }
    }
    return picture.save(path, "JPG", 90);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const std::array<QString, 2> paths = {dir.filePath(QStringLiteral("a.jpg")),
                                          dir.filePath(QStringLiteral("b.jpg"))};
    if (!makePhoto(paths[0], 6000, 4000, 1) || !makePhoto(paths[1], 6000, 4000, 2))
        return 1;
    const QSize frame(400, 300);
    std::vector<double> plain, ours, oursPause;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        for (const QString &p : paths)
            Thumbnails::decode(p, frame);
        plain.push_back(double(t.elapsed()));

        // A 5 ms timer stands for the window's painting and clicks.
        qint64 last = 0, longest = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = t.elapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        tick.start(5);
        t.restart();
        const auto shown = Thumbnails::load(paths, frame);
        const qint64 total = t.elapsed();
        longest = std::max(longest, total - last);
        tick.stop();
        if (shown[0].size != QSize(6000, 4000) || shown[1].thumbnail.isNull())
            return 1;
        ours.push_back(double(total));
        oursPause.push_back(double(longest));
    }
    std::printf("two 6000 x 4000 JPEG photographs, median of 5 runs\n");
    std::printf("plain (one after the other on the window's thread): %.0f ms shown, window blocked %.0f ms\n",
                median(plain), median(plain));
    std::printf("ours (together on workers): %.0f ms shown, longest window pause %.0f ms\n",
                median(ours), median(oursPause));
    return 0;
}
