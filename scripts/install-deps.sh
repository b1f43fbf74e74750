#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, skipping what is there.
# ORV_WITH_ESPEAK=1 also installs espeak-ng, for the bank-recording tool and the benchmarks'
# comparison. x11-apps (xwd) and netpbm take the real-window test's screenshot.
# qt6-translations-l10n gives the standard dialogs and buttons in Spanish. The accessibility
# tests run the screen reader Orca on the AT-SPI bus (orca, speech-dispatcher, at-spi2-core,
# python3-pyatspi, dbus-x11) under a window manager (openbox).
set -euo pipefail

packages=(cmake g++ make libgtest-dev qt6-base-dev libsdl2-dev xvfb xdotool x11-apps netpbm clang
  libclang-rt-14-dev qt6-translations-l10n orca speech-dispatcher at-spi2-core python3-pyatspi
  dbus-x11 openbox)
if [ "${ORV_WITH_ESPEAK:-0}" = 1 ]; then
  packages+=(espeak-ng libespeak-ng-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
