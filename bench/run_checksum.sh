#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# The checksum of 10,000 small files against `head -c 402` over the same files, and the
# content comparison of two equal 1 GB files against `cmp`, with the comparison's memory.
# The files are made in a temporary folder and deleted afterwards.
# Usage: bench/run_checksum.sh [folder of the benchmark programs]
set -euo pipefail
source "$(dirname "$0")/common.sh"
bin=$(bench_bin_dir "${1:-}")
runs=5

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/small"
head -c $((10000 * 3000)) /dev/urandom \
  | split -b 3000 -a 5 -d --additional-suffix=.jpg - "$work/small/f"
mapfile -t files < <(find "$work/small" -type f | sort)
echo "small files: ${#files[@]} of 3000 bytes"
export VEXA_BENCH_SMALL_DIR="$work/small"
read -r ours ref < <(best_of_alternating $runs "$bin/bench_checksum" BM_ChecksumOfManyFiles \
                       head -q -c 402 "${files[@]}")
report "checksum of 10,000 files (best of $runs)" "$ours" "$ref" 1.5

head -c $((1024 * 1024 * 1024)) /dev/urandom >"$work/a.bin"
cp "$work/a.bin" "$work/b.bin"
export VEXA_BENCH_BIG_A="$work/a.bin" VEXA_BENCH_BIG_B="$work/b.bin"
read -r ours ref < <(best_of_alternating 3 "$bin/bench_checksum" BM_CompareLargeFiles \
                       cmp "$work/a.bin" "$work/b.bin")
report "CompareFiles of two 1 GB files (best of 3)" "$ours" "$ref" 1.3

# Peak memory of a process that compares the files once, and of one that only starts.
rss_kb() { /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -1; }
compare_kb=$(rss_kb "$bin/bench_checksum" --benchmark_filter=CompareLargeFiles \
               --benchmark_min_time=0)
idle_kb=$(rss_kb "$bin/bench_checksum" --benchmark_filter=NONE)
awk -v c="$compare_kb" -v i="$idle_kb" 'BEGIN {
  printf "CompareFiles memory: %.1f MB over the %.1f MB of the program alone (target < 16 MB)\n",
         (c - i) / 1024, i / 1024 }'
