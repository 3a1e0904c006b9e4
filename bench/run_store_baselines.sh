#!/usr/bin/env bash
# The store benchmarks beside the baseline: sorting the same lines by property number and
# update date with `LC_ALL=C sort --parallel=1 -t TAB -k3,3r -k19,19r`.
set -euo pipefail
build=${1:-$(cd "$(dirname "$0")/.." && pwd)/build}
file=$(mktemp /tmp/kestrova-merge-XXXXXX.txt)
trap 'rm -f "$file"' EXIT
"$build/bench/property_lines_gen" "$file" 100000 1
"$build/bench/property_lines_gen" "$file.new" 2000 2 && cat "$file.new" >> "$file" && rm -f "$file.new"
b=999999
for _ in 1 2 3 4 5; do
  s=$(date +%s%N); LC_ALL=C sort --parallel=1 -t $'\t' -k3,3r -k19,19r "$file" > /dev/null; e=$(date +%s%N)
  t=$(( (e - s) / 1000000 )); [ "$t" -lt "$b" ] && b=$t
done
echo "baseline LC_ALL=C sort --parallel=1 -t TAB -k3,3r -k19,19r of 102,000 lines: $b ms"
"$build/bench/merge_peak"
"$build/bench/store_bench"
