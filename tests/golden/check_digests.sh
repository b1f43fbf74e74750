#!/usr/bin/env bash
# The engine's output, byte for byte: bench_synthesis --digests must print exactly the lines
# of the digest file, one digest of every WAV byte per voice and setting.
#   check_digests.sh <bench_synthesis> <digest file>
set -uo pipefail
program=$1
expected=$2

mapfile -t want <"$expected"
output=$("$program" --digests)
status=$?
if [ "$status" -ne 0 ]; then
  echo "$program --digests failed (exit $status)"
  exit 1
fi
mapfile -t got <<<"$output"

count=${#want[@]}
[ ${#got[@]} -gt "$count" ] && count=${#got[@]}
first=0 differing=0
for ((i = 0; i < count; ++i)); do
  if [ "${want[i]-<no line>}" != "${got[i]-<no line>}" ]; then
    ((differing++))
    [ "$first" -eq 0 ] && first=$((i + 1))
  fi
done
if [ "$differing" -eq 0 ]; then
  echo "${#got[@]} digests as in $expected"
  exit 0
fi

echo "The engine's output differs from $expected: $differing of $count lines."
echo "First at line $first:"
echo "  expected: ${want[first - 1]-<no line>}"
echo "  got:      ${got[first - 1]-<no line>}"
echo "If the change is meant to alter the sound (a bank recorded again, an engine change),"
echo "write the file again and commit it with the change:"
echo "  $program --digests > $expected"
exit 1
