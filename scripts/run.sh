#!/usr/bin/env bash
# Installs what is missing, builds and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORV_BUILD_TESTS=OFF -DORV_BUILD_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target orv_lp
exec build/app/orv_lp
