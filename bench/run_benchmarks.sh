#!/usr/bin/env bash
# Speed and memory on one Spanish text (bench/texto.txt, Windows-1252, 25 sentences with
# numbers and punctuation), side by side with espeak-ng when it is installed:
#   - synthesis throughput, seconds of audio per CPU second, for each of the ten voices;
#   - the time from the release of Enter on "Leer" to the first sound handed to the device;
#   - the peak memory of the main window reading the whole text (about a minute and a half:
#     the silent sound driver plays in real time);
#   - espeak-ng's throughput on the same text, and the ratio.
# Targets: throughput at least 3 times espeak-ng's, first sound within 230 ms, peak memory
# under 150 MB.
#
#   bench/run_benchmarks.sh [BUILD_DIR]     (default: build; configured and built as needed)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
text=bench/texto.txt

cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORV_BUILD_BENCH=ON >/dev/null
cmake --build "$dir" -j3 --target bench_reading bench_first_sample >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
verdict() { if [ "$1" = 1 ]; then echo "met"; else echo "MISSED"; fi; }

echo "== synthesis throughput per voice ($text)"
"$dir/bench/bench_reading" "$text" 22050 20 | tee "$work/reading.txt"
ours=$(awk '/^all voices:/ { print $(NF-2) }' "$work/reading.txt")
slowest=$(awk 'NR > 2 && !/^all voices:/ { if (min == "" || $4 < min) min = $4 } END { print min }' \
  "$work/reading.txt")

echo
echo "== first sound after Enter on \"Leer\", and peak memory of a whole reading"
QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy /usr/bin/time -v -o "$work/time.txt" \
  "$dir/bench/bench_first_sample" "$text" 10 --whole 2>"$work/first.err" | tee "$work/first.txt"
median=$(sed -n 's/.*median \([0-9.]*\) ms.*/\1/p' "$work/first.txt")
worst=$(sed -n 's/.*max \([0-9.]*\) ms.*/\1/p' "$work/first.txt")
peak_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
peak_mb=$(awk -v k="$peak_kb" 'BEGIN { printf "%.1f", k / 1024 }')
echo "peak resident memory of the process (time -v): $peak_mb MB"

echo
echo "== espeak-ng on the same text"
ratio=""
if command -v espeak-ng >/dev/null; then
  # The text 20 times over, as our voices read it 20 times, so that the CPU time is long
  # enough to measure and espeak-ng's start-up weighs little.
  iconv -f WINDOWS-1252 -t UTF-8 "$text" >"$work/once.txt"
  for _ in $(seq 20); do cat "$work/once.txt"; done >"$work/texto-utf8.txt"
  /usr/bin/time -f "%U %S" -o "$work/espeak-time.txt" \
    espeak-ng -v es -f "$work/texto-utf8.txt" -w "$work/espeak.wav"
  read -r user sys <"$work/espeak-time.txt"
  bytes=$(stat -c %s "$work/espeak.wav")
  rate=$(od -An -tu4 -j24 -N4 "$work/espeak.wav" | tr -d ' ')
  espeak=$(awk -v b="$bytes" -v r="$rate" -v u="$user" -v s="$sys" \
    'BEGIN { a = (b - 44) / 2 / r; c = u + s; if (c < 0.01) c = 0.01;
             printf "%.1f", a / c }')
  audio=$(awk -v b="$bytes" -v r="$rate" 'BEGIN { printf "%.2f", (b - 44) / 2 / r }')
  echo "espeak-ng: $audio s of audio in $(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }') s of CPU: $espeak x real time"
  ratio=$(awk -v o="$ours" -v e="$espeak" 'BEGIN { printf "%.1f", o / e }')
  slowest_ratio=$(awk -v o="$slowest" -v e="$espeak" 'BEGIN { printf "%.1f", o / e }')
  echo "ratio, all voices: $ratio x espeak-ng; slowest voice: $slowest_ratio x espeak-ng"
else
  echo "espeak-ng is not installed (ORV_WITH_ESPEAK=1 scripts/install-deps.sh installs it)"
fi

if [ -x "$dir/bench/bench_synthesis" ]; then
  echo
  echo "== bench_synthesis (its own fixed text)"
  "$dir/bench/bench_synthesis" --all-voices | tail -n 1
fi

echo
echo "== summary"
echo "throughput: $ours x real time over all voices, slowest voice $slowest x"
if [ -n "$ratio" ]; then
  echo "  vs espeak-ng: $ratio x (target >= 3): $(verdict "$(awk -v r="$slowest_ratio" 'BEGIN { print (r >= 3) }')") for every voice"
fi
echo "first sound: median $median ms, worst $worst ms (target <= 230): $(verdict "$(awk -v m="$worst" 'BEGIN { print (m <= 230) }')")"
echo "peak memory: $peak_mb MB (target < 150): $(verdict "$(awk -v m="$peak_mb" 'BEGIN { print (m < 150) }')")"
