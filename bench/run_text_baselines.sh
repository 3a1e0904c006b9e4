#!/usr/bin/env bash
# Runs the text and settings benchmarks beside their baselines on the same 100,000-line file:
# `wc -l` for LoadLines and `LC_ALL=C sort --parallel=1` for Sort.
set -euo pipefail
build=${1:-$(cd "$(dirname "$0")/.." && pwd)/build}
file=$(mktemp /tmp/kestrova-lines-XXXXXX.txt)
trap 'rm -f "$file"' EXIT
"$build/bench/property_lines_gen" "$file" 100000 1
echo "file: $(du -h "$file" | cut -f1), $(wc -l < "$file") lines"
best() {  # best wall time in ms of five runs of a command
  local b=999999
  for _ in 1 2 3 4 5; do
    local s e; s=$(date +%s%N); "$@" >/dev/null; e=$(date +%s%N)
    local t=$(( (e - s) / 1000000 )); [ "$t" -lt "$b" ] && b=$t
  done
  echo "$b"
}
echo "baseline wc -l:                         $(best wc -l "$file") ms"
echo "baseline LC_ALL=C sort --parallel=1:    $(LC_ALL=C best sort --parallel=1 "$file") ms"
KESTROVA_BENCH_LINES="$file" "$build/bench/text_bench" --benchmark_min_time=1
"$build/bench/settings_bench"
