#!/usr/bin/env bash
# Fails, naming each file and line, when a C++ source of the tree differs from what
# clang-format makes of it with the repo's .clang-format. Every .cpp and .h that git tracks
# or would add is checked (build folders are ignored, and the banks' generated code lives
# there). `scripts/check-format.sh --fix` formats them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=(--dry-run -Werror)
[ "${1:-}" = --fix ] && mode=(-i)
git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h' |
  xargs -0 -r -n 32 -P "$(nproc)" clang-format "${mode[@]}"
