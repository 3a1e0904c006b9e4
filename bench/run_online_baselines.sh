#!/usr/bin/env bash
# Builds online_bench and kestrova-sim (Release) and runs the online property search and the
# start-up benchmarks a few times, printing the figures of every run and their spread.
# The search runs twice over: with its homes on the temporary folder's own file system (as a
# user's disk) and on tmpfs (/dev/shm), which takes the disk out and leaves the program's work.
#   bench/run_online_baselines.sh [BUILD_DIR] [RUNS]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-/work/build-bench}
runs=${2:-3}
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" -j2 --target online_bench kestrova-sim kestrova_setting > /dev/null
out=$(mktemp -d /tmp/kestrova-online-runs-XXXXXX)
trap 'rm -rf "$out"' EXIT

run() {  # label, TMPDIR, filter
  for i in $(seq "$runs"); do
    TMPDIR=$2 "$build/bench/online_bench" --benchmark_filter="$3" --benchmark_format=json \
      > "$out/$1-$i.json" 2> /dev/null
  done
}
run disk "${TMPDIR:-/tmp}" Online
run tmpfs /dev/shm Online
run startup "${TMPDIR:-/tmp}" StartUp

python3 - "$out" "$runs" <<'EOF'
import json, sys
out, runs = sys.argv[1], int(sys.argv[2])
def load(label):
    rows = []
    for i in range(1, runs + 1):
        for b in json.load(open(f"{out}/{label}-{i}.json"))["benchmarks"]:
            if b.get("error_occurred"):
                sys.exit(f"{label} run {i}: {b.get('error_message')}")
            rows.append(b)
    return rows
def spread(values, fmt):
    return f"{fmt % min(values)} .. {fmt % max(values)}"
for label, place in (("disk", "temporary folder"), ("tmpfs", "/dev/shm")):
    rows = load(label)
    first = rows[0]
    print(f"online property search, homes on {place}: {int(first['forms'])} forms, "
          f"{int(first['rows'])} rows, {int(first['pdfs'])} PDFs, {int(first['requests'])} requests, "
          f"{first['MB']:.2f} MB, errors {int(first['errors'])}")
    for r in rows:
        print(f"  wall {r['wall_s']:.3f} s (iterations {r['wall_min_s']:.3f}-{r['wall_max_s']:.3f}), "
              f"exchange {r['exchange_s']:.3f} s, own {r['own_s']:.3f} s, "
              f"exchange share {r['exchange_pct']:.1f} %")
    print(f"  spread over {runs} runs: wall {spread([r['wall_s'] for r in rows], '%.3f')} s, "
          f"exchange share {spread([r['exchange_pct'] for r in rows], '%.1f')} % (target >= 90 %)")
rows = load("startup")
times = [r["real_time"] for r in rows]
print(f"start-up, 100,000 records and {int(rows[0]['details'])} detail entries: "
      f"{spread(times, '%.1f')} ms over {runs} runs (target < 500 ms)")
EOF
