#!/usr/bin/env bash
# Configures a sanitizer build, builds it and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DLORVANT_SANITIZE=ON -DLORVANT_FUZZ=ON
cmake --build build-test -j"$jobs"
cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" --timeout 600
