#!/usr/bin/env bash
# The local search benchmarks. Their baselines run inside the benchmark over the very file the
# search reads: `LC_ALL=C grep -F` with the search's keys, once with every key in one pass and
# once as a pipeline of one grep per key group (what the search's AND of groups asks).
# Targets: RunSearch within 2x grep, opening < 1 s, sorting 100,000 rows < 0.3 s, the whole
# `kestrova --headless find` process < 1 s.
set -euo pipefail
build=${1:-$(cd "$(dirname "$0")/.." && pwd)/build}
"$build/bench/search_bench" "${@:2}"
