// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Loading a photograph through the image component and reading its pixels for the signatures.
// bench/run_imagebox.sh makes the photograph and times the reference decoder in the same run.
#include "imagebox.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

namespace {

void BM_LoadAndReadPixels(benchmark::State &state)
{
    const QString path = qEnvironmentVariable("VEXA_BENCH_JPEG");
    if (path.isEmpty()) {
        state.SkipWithError("VEXA_BENCH_JPEG names no picture");
        return;
    }
    qint64 pixelCount = 0;
    for (auto _ : state) {
        ImageBox box;
        if (!box.setFileName(path)) {
            state.SkipWithError("the picture does not load");
            return;
        }
        const PixelArray pixels = ReadPixels(box.picture());
        benchmark::DoNotOptimize(pixels.at(1, 1));
        pixelCount = qint64(pixels.width()) * pixels.height();
    }
    state.counters["megapixels"] = double(pixelCount) / 1e6;
}
BENCHMARK(BM_LoadAndReadPixels)->Unit(benchmark::kMillisecond)->UseRealTime();

// Compositing a fully translucent 24-megapixel picture over the backdrop, the worst case of
// the conversion that follows decoding.
void BM_CompositeTransparency(benchmark::State &state)
{
    QImage translucent(6000, 4000, QImage::Format_ARGB32);
    translucent.fill(qRgba(200, 100, 50, 128));
    for (auto _ : state) {
        state.PauseTiming();
        QImage work = translucent.copy();
        state.ResumeTiming();
        const QImage opaque = toOpaqueRgb32(std::move(work));
        benchmark::DoNotOptimize(opaque.constBits());
    }
}
BENCHMARK(BM_CompositeTransparency)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv); // image plugins are found through the application
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
