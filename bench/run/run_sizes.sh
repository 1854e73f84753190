#!/usr/bin/env bash
# Runs each wire size of bench_run in a process of its own, so that the peak
# RSS of one size is not raised by the other. Extra arguments go to the
# benchmark (e.g. --benchmark_repetitions=5).
set -euo pipefail
bin="$(dirname "$0")/bench_run"
for size in 40m 1000m; do
  "$bin" --benchmark_filter="^BM_CompleteRun_${size}\$" "$@"
done
