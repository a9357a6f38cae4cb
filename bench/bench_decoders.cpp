// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Decoding each of the program's own picture types against Qt decoding a PNG of the same
// pixels, in one run. bench/run_decoders.sh makes the files (with independent writers where
// they exist) into a folder named by VEXA_BENCH_DECODERS; every file there is measured, its
// type taken from its extension. The PNG twin is made here from the decoded pixels.
#include "formats.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

#include <cstdio>
#include <memory>

namespace {

QImage decode(const QByteArray *bytes, const QByteArray &format)
{
    QBuffer buffer(const_cast<QByteArray *>(bytes));
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    return reader.read();
}

void decodeLoop(benchmark::State &state, std::shared_ptr<QByteArray> bytes, QByteArray format)
{
    for (auto _ : state) {
        const QImage image = decode(bytes.get(), format);
        if (image.isNull()) {
            state.SkipWithError("the file does not decode");
            return;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}

// Registers "BM_Decode/<file>" and "BM_Png/<file>" for every file of the folder.
int registerFolder(const QString &folder)
{
    int count = 0;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &info : files) {
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        auto bytes = std::make_shared<QByteArray>(file.readAll());
        const QByteArray format = info.suffix().toLower().toLatin1();
        const QImage image = decode(bytes.get(), format);
        if (image.isNull()) {
            std::fprintf(stderr, "%s does not decode\n", qPrintable(info.fileName()));
            continue;
        }
        auto png = std::make_shared<QByteArray>();
        QBuffer out(png.get());
        out.open(QIODevice::WriteOnly);
        image.save(&out, "PNG");
        const std::string name = info.fileName().toStdString();
        benchmark::RegisterBenchmark(("BM_Decode/" + name).c_str(), decodeLoop, bytes, format)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("BM_Png/" + name).c_str(), decodeLoop, png, QByteArray("png"))
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        ++count;
    }
    return count;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv); // image plugins are found through the application
    ImageFormats::registerBuiltInFormats();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const QString folder = qEnvironmentVariable("VEXA_BENCH_DECODERS");
    if (folder.isEmpty() || registerFolder(folder) == 0) {
        std::fprintf(stderr, "VEXA_BENCH_DECODERS names no folder of pictures\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
