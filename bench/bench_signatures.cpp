// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Colour and pattern signatures of a 24-megapixel picture, against Qt decoding the same picture
// as a JPEG in the same run. The picture is the JPEG that VEXA_BENCH_JPEG names (see
// run_signatures.sh, which makes one from a photograph), else a photo-like picture painted
// here and compressed in memory.
#include "coloursig.h"
#include "patternsig.h"
#include "pixelarray.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>

namespace {

QByteArray s_jpeg; // the compressed picture
QImage s_decoded;  // the same, decoded once, in the pixel array's format

// Sky, ground, soft shapes and grain: enough detail that the JPEG is as costly to decode as a
// photograph's.
QByteArray paintedJpeg()
{
    QImage img(6000, 4000, QImage::Format_RGB32);
    {
        QPainter p(&img);
        QLinearGradient sky(0, 0, 0, 2400);
        sky.setColorAt(0, QColor(40, 90, 170));
        sky.setColorAt(1, QColor(200, 220, 240));
        p.fillRect(0, 0, 6000, 2400, sky);
        QLinearGradient ground(0, 2400, 0, 4000);
        ground.setColorAt(0, QColor(90, 120, 60));
        ground.setColorAt(1, QColor(50, 40, 30));
        p.fillRect(0, 2400, 6000, 1600, ground);
        p.setRenderHint(QPainter::Antialiasing);
        std::mt19937 random(7);
        for (int k = 0; k < 400; ++k) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(int(random() % 256), int(random() % 256), int(random() % 256), 160));
            p.drawEllipse(int(random() % 6000), int(random() % 4000), int(50 + random() % 600),
                          int(50 + random() % 600));
        }
    }
    std::mt19937 random(11);
    for (int y = 0; y < img.height(); ++y) {
        auto *px = reinterpret_cast<quint32 *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int n = int(random() % 25) - 12;
            const auto c = [n](quint32 v) { return quint32(qBound(0, int(v) + n, 255)); };
            const quint32 p = px[x];
            px[x] = 0xFF000000u | c((p >> 16) & 0xFF) << 16 | c((p >> 8) & 0xFF) << 8 | c(p & 0xFF);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "JPG", 92);
    return bytes;
}

QImage decode(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "JPG");
    return reader.read();
}

void BM_DecodeJpeg(benchmark::State &state)
{
    for (auto _ : state) {
        const QImage img = decode(s_jpeg);
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

// Colour and pattern signatures from one reading of the pixels, as a gather computes them.
void BM_Signatures(benchmark::State &state)
{
    const PixelArray pixels(s_decoded);
    for (auto _ : state) {
        Pattern::PatternSums sums(pixels.width(), pixels.height());
        const auto colour = ColourSignatures(pixels, sums);
        const auto pattern = PatternSignature(pixels, sums);
        benchmark::DoNotOptimize(colour);
        benchmark::DoNotOptimize(pattern);
    }
}
BENCHMARK(BM_Signatures)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ColourOnly(benchmark::State &state)
{
    const PixelArray pixels(s_decoded);
    for (auto _ : state)
        benchmark::DoNotOptimize(ColourSignatures(pixels));
}
BENCHMARK(BM_ColourOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PatternOnly(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        PixelArray pixels(s_decoded.copy());
        state.ResumeTiming();
        Pattern::PatternSums sums(pixels.width(), pixels.height());
        ConvertToGrey(pixels, &sums);
        benchmark::DoNotOptimize(PatternSignature(pixels, sums));
    }
}
BENCHMARK(BM_PatternOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps each benchmark's time per iteration (the median when repeated) for the summary.
class Reporter : public benchmark::ConsoleReporter
{
public:
    Reporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            const std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Iteration)
                m_last[name] = run.GetAdjustedRealTime();
            else if (run.aggregate_name == "median")
                m_median[name] = run.GetAdjustedRealTime();
        }
    }
    double ms(const std::string &name) const
    {
        if (const auto it = m_median.find(name); it != m_median.end())
            return it->second;
        const auto it = m_last.find(name);
        return it == m_last.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> m_last, m_median;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // image plugins are found through the application
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    const QString path = qEnvironmentVariable("VEXA_BENCH_JPEG");
    if (path.isEmpty()) {
        s_jpeg = paintedJpeg();
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return 1;
        }
        s_jpeg = file.readAll();
    }
    s_decoded = decode(s_jpeg).convertToFormat(QImage::Format_RGB32);
    std::printf("picture: %s, %dx%d, %.1f MB as JPEG\n",
                path.isEmpty() ? "painted" : qPrintable(path), s_decoded.width(),
                s_decoded.height(), double(s_jpeg.size()) / 1e6);

    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double decodeMs = reporter.ms("BM_DecodeJpeg");
    const double signaturesMs = reporter.ms("BM_Signatures");
    if (decodeMs > 0 && signaturesMs > 0)
        std::printf("signatures %.1f ms, Qt JPEG decode %.1f ms (reference): %.1f%% (target < "
                    "25%%)\n",
                    signaturesMs, decodeMs, 100.0 * signaturesMs / decodeMs);
    benchmark::Shutdown();
    return 0;
}
