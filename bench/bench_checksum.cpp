// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The checksum of many small files and the content comparison of two large ones.
// bench/run_checksum.sh makes the files and times the reference tools in the same run.
#include "checksum.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <sys/resource.h>

namespace {

double peakResidentMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

void BM_ChecksumOfManyFiles(benchmark::State &state)
{
    const QDir dir(qEnvironmentVariable("VEXA_BENCH_SMALL_DIR"));
    QStringList paths;
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    if (paths.isEmpty()) {
        state.SkipWithError("VEXA_BENCH_SMALL_DIR holds no files");
        return;
    }
    for (auto _ : state) {
        for (const QString &path : paths)
            benchmark::DoNotOptimize(Checksum::Compute(path, QStringLiteral(".JPG")));
    }
    state.counters["files"] = double(paths.size());
}
BENCHMARK(BM_ChecksumOfManyFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CompareLargeFiles(benchmark::State &state)
{
    const QString a = qEnvironmentVariable("VEXA_BENCH_BIG_A");
    const QString b = qEnvironmentVariable("VEXA_BENCH_BIG_B");
    if (a.isEmpty() || b.isEmpty()) {
        state.SkipWithError("VEXA_BENCH_BIG_A and VEXA_BENCH_BIG_B name no files");
        return;
    }
    const double before = peakResidentMB();
    for (auto _ : state) {
        if (!Checksum::CompareFiles("[]", a, "[]", b)) {
            state.SkipWithError("the files differ");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(a).size());
    state.counters["peak_rss_mb"] = peakResidentMB();
    state.counters["rss_growth_mb"] = peakResidentMB() - before;
}
BENCHMARK(BM_CompareLargeFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
