#!/usr/bin/env bash
# Builds what the README's first command runs: the library (shared and
# static) and the driver, optimised, into build/. The tests and benchmarks
# are built by scripts/test.sh; a build/ already configured keeps its
# settings.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DDRAVMOR_TESTS=OFF -DDRAVMOR_BENCH=OFF >/dev/null
fi
cmake --build build -j"$(nproc)" --target dravmor2 dravmor2_static dravmor
