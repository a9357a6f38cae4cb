#!/usr/bin/env bash
# Fuzzes the image decoders: builds every bench/fuzz/fuzz_*.cpp with clang's libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, then runs each target in turn for SECONDS
# seconds on a seed corpus made of the test fixtures with the target's extension and the
# files under bench/fuzz/seeds/<format>/. Findings land in build-fuzz/artifacts/<format>/.
# Usage: bench/fuzz.sh SECONDS [TARGET...]   (targets by name, e.g. fuzz_wmf; default all)
# Prints, per target, the CPU seconds spent and the number of runs; exits 1 if any target
# found a crash, hang, leak or an allocation over the limit.
set -euo pipefail
seconds=${1:?usage: bench/fuzz.sh SECONDS [TARGET...]}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXA_FUZZ_BUILD:-$root/build-fuzz}

# clang and its sanitizer runtimes come from Debian; they are only needed here.
missing=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$root/bench/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$root"/bench/fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi

# Font caches that live as long as the process are not leaks of ours.
export LSAN_OPTIONS="suppressions=$root/bench/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

failed=0
for target in "${targets[@]}"; do
  format=${target#fuzz_}
  corpus=$build/corpus/$format
  artifacts=$build/artifacts/$format
  mkdir -p "$corpus" "$artifacts"
  while IFS= read -r -d '' seed; do
    cp -n "$seed" "$corpus/" 2>/dev/null || true
  done < <(find "$root/tests/data" "$root/bench/fuzz/seeds/$format" -type f \
             -iname "*.$format" -size -256k -print0 2>/dev/null)
  log=$build/$target.log
  # The target runs in the background so that its CPU time can be read from /proc while it
  # lives (sampled each second).
  ( cd "$build" && exec "./$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
      -max_len=65536 -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" \
      >"$log" 2>&1 ) &
  pid=$!
  ticks=0
  while kill -0 "$pid" 2>/dev/null; do
    now=$(awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null || true)
    [ -n "$now" ] && ticks=$now
    sleep 1
  done
  set +e
  wait "$pid"
  status=$?
  set -e
  cpu=$(( ticks / $(getconf CLK_TCK) ))
  runs=$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' \
           || echo 0)
  if [ "$status" -eq 0 ]; then
    echo "$target: ${cpu} s CPU, ${runs} runs, no findings"
  else
    failed=1
    echo "$target: ${cpu} s CPU, ${runs} runs, FINDING (exit $status), see $log and $artifacts"
    grep -m3 -E 'ERROR|SUMMARY|runtime error' "$log" || true
  fi
done
exit $failed
