#!/usr/bin/env bash
# Builds everything, the tests and benchmarks included, and runs the whole
# test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DDRAVMOR_TESTS=ON -DDRAVMOR_BENCH=ON >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
