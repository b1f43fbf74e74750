#!/usr/bin/env bash
# Runs an accessibility test script in a D-Bus session of its own:
#
#   run.sh TEST.py ORV_LP OUT_DIR [tool...]
#
# Exits 77 (skipped) only when one of the tools the test needs is not installed
# (scripts/install-deps.sh installs them all).
set -u
script=$1 orv=$2 out=$3
shift 3
for tool in dbus-run-session Xvfb xdotool openbox /usr/libexec/at-spi-bus-launcher "$@"; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
  { echo "SKIPPED: python3-pyatspi is not installed"; exit 77; }
exec dbus-run-session -- /usr/bin/python3 "$script" "$orv" "$out"
