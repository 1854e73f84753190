#!/usr/bin/env bash
# Runs each scan benchmark in a process of its own, so that its peak RSS is
# its own. Extra arguments go to the benchmark.
set -euo pipefail
bin="$(dirname "$0")/bench_scan"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
for name in BM_ScanStreamed BM_ScanWindow; do
  "$bin" --benchmark_filter="^${name}/" "$@"
done
