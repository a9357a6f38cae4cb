# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# Helpers shared by the run_*.sh benchmark scripts (sourced, not run).

# The folder holding the benchmark programs: the first argument, else build/bench.
bench_bin_dir() {
  local dir="${1:-$(dirname "${BASH_SOURCE[0]}")/../build/bench}"
  [ -d "$dir" ] || { echo "no benchmark programs in $dir: build the project first" >&2; exit 1; }
  (cd "$dir" && pwd)
}

# Wall time in milliseconds of one run of a command, its output discarded.
time_ms() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.1f\n", ns / 1e6 }'
}

# Real time in milliseconds per iteration of one benchmark of a program (Google Benchmark).
bench_ms() {
  local program=$1 name=$2
  "$program" --benchmark_filter="^$name" --benchmark_format=csv 2>/dev/null \
    | awk -F, -v n="$name" '$1 == "\"" n "\"" || $1 == "\"" n "/real_time\"" { print $3 }'
}

# Runs one benchmark and a reference command in turn, N times each, so that both meet the
# same load on a shared machine, and prints the best time of each: "ours reference".
best_of_alternating() {
  local runs=$1 program=$2 name=$3
  shift 3
  local ours=() refs=()
  for ((k = 0; k < runs; k++)); do
    refs+=("$(time_ms "$@")")
    ours+=("$(bench_ms "$program" "$name")")
  done
  local best_ours best_ref
  best_ours=$(printf '%s\n' "${ours[@]}" | sort -g | head -1)
  best_ref=$(printf '%s\n' "${refs[@]}" | sort -g | head -1)
  echo "$best_ours $best_ref"
}

# Prints what was measured, both times and their ratio against the target.
report() {
  awk -v what="$1" -v ours="$2" -v ref="$3" -v target="$4" 'BEGIN {
    printf "%-40s %8.1f ms   reference %8.1f ms   ratio %.2f (target <= %s)\n",
           what, ours, ref, ours / ref, target }'
}

# Fetches the Debian wallpaper package into a folder and prints the path of its bird
# photograph (6028 x 3391 JPEG), the source of the benchmarks' photographs.
wallpaper_photo() {
  local work=$1
  (cd "$work" && apt-get download -qq lomiri-wallpapers-20.04 >/dev/null 2>&1 \
     && dpkg-deb -x lomiri-wallpapers-20.04_*.deb pkg) || true
  local photo="$work/pkg/usr/share/backgrounds/Kleiber_by_Lukas_Baubkus.jpg"
  [ -f "$photo" ] || { echo "the wallpaper package could not be fetched" >&2; return 1; }
  echo "$photo"
}
