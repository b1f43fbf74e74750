#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
# ORV_BUILD_DIR and ORV_CMAKE_ARGS choose another build (the sanitizer build of CI).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=${ORV_BUILD_DIR:-build}
# shellcheck disable=SC2086
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${ORV_CMAKE_ARGS:-} >/dev/null
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" --timeout 600
