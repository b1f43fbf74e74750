#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (ASan and UBSan) and runs each for a
# bounded time on its committed seeds and kept regressions. Fails when any run finds a
# crash, a leak, a hang, undefined behaviour or a failed check; the input that did it is
# left in <build dir>/fuzz-runs/<target>/ (keep it in tests/fuzz/regressions/<target>/
# once fixed).
#
#   scripts/fuzz.sh [target...]     targets: synthesis richtext wavefile banktext (default all)
#   ORV_FUZZ_SECONDS   seconds per target (default 60)
#   ORV_FUZZ_BUILD_DIR build folder (default build-fuzz)
#   ORV_FUZZ_JOBS      build jobs (default all cores)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

dir=${ORV_FUZZ_BUILD_DIR:-build-fuzz}
seconds=${ORV_FUZZ_SECONDS:-60}
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(synthesis richtext wavefile banktext)

cmake -S . -B "$dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORV_FUZZ=ON -DORV_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j"${ORV_FUZZ_JOBS:-$(nproc)}" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

failed=()
for t in "${targets[@]}"; do
  # A whole sentence under the sanitizers takes far longer than a file read: 4000 digits at
  # the slowest speed with the strongest reverberation are 40 minutes of sound and take over
  # a minute and a half. Sentences are kept to 1 KB and only a run of two minutes is a hang.
  case $t in
    synthesis) max_len=1024 timeout=120 ;;
    *) max_len=16384 timeout=10 ;;
  esac
  work="$dir/fuzz-runs/$t"
  rm -rf "$work"
  mkdir -p "$work/corpus"
  inputs=("$work/corpus" "tests/fuzz/corpus/$t")  # new inputs go to the first folder only
  [ -d "tests/fuzz/regressions/$t" ] && inputs+=("tests/fuzz/regressions/$t")
  echo "== fuzz $t for ${seconds}s"
  status=0
  "$dir/tests/fuzz/fuzz_$t" "${inputs[@]}" -max_total_time="$seconds" -timeout="$timeout" \
    -rss_limit_mb=2048 -max_len="$max_len" -dict="tests/fuzz/$t.dict" \
    -artifact_prefix="$work/" -print_final_stats=1 \
    >"$work/log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$work/log"
    echo "== fuzz $t FAILED (exit $status); input and log in $work/"
    failed+=("$t")
  else
    echo "== fuzz $t: ${runs:-?} runs, nothing found"
  fi
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}"
  exit 1
fi
