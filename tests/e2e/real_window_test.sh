#!/usr/bin/env bash
# The whole program as a person uses it: orv_lp in its own X server, driven by real key
# events, with SDL's disk driver standing in for the sound device and TEMP in a fresh folder.
#
#   real_window_test.sh ORV_LP E2E_PROBE OUT_DIR
#
# OUT_DIR is emptied and then holds the screenshot at start (start.xwd, and start.png when
# netpbm is there), the program's output, the sound files seen and the watcher's state.
# Exits 77 (skipped) only when no X server can be started.
set -u

orv=$1
probe=$2
out=$3

rm -rf "$out"
mkdir -p "$out/temp" "$out/device" "$out/watch" "$out/files"
wav="$out/temp/~\$~\$~\$~\$.wav"
device="$out/device/sound.raw"

xvfb_pid="" orv_pid="" watch_pid=""
# Ends what this script started, by process id; the program gets a moment to go by itself.
stop_pid() {
  local pid=$1 i
  kill "$pid" 2>/dev/null || return 0
  for i in $(seq 1 40); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}
cleanup() {
  [ -n "$orv_pid" ] && stop_pid "$orv_pid"
  if [ -n "$watch_pid" ]; then
    touch "$out/watch/stop"
    wait "$watch_pid" 2>/dev/null
  fi
  [ -n "$xvfb_pid" ] && stop_pid "$xvfb_pid"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  if [ -n "${DISPLAY:-}" ]; then
    # What the keys would have reached: the focus, the windows shown and their picture.
    echo "-- focus: $(xdotool getwindowfocus getwindowname 2>/dev/null)"
    echo "-- windows shown:"
    local w
    for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
      echo "$w $(xdotool getwindowname "$w" 2>/dev/null)"
    done
    xwd -silent -root >"$out/fail.xwd" 2>/dev/null && echo "-- screen: $out/fail.xwd"
  fi
  echo "-- watcher state:"
  cat "$out/watch/state" 2>/dev/null
  echo "-- program output:"
  tail -n 20 "$out/orv.log" 2>/dev/null
  exit 1
}

now_ms() { echo $(( ${EPOCHREALTIME/./} / 1000 )); }

# Reads the watcher's state into SEGMENTS, NONZERO, WAVS and WAVEXISTS.
state() {
  SEGMENTS=0 NONZERO=0 WAVS=0 WAVEXISTS=0
  # shellcheck disable=SC1091
  [ -f "$out/watch/state" ] && . "$out/watch/state"
}

# wait_for SECONDS WHAT CONDITION: polls the watcher's state until the shell condition holds.
wait_for() {
  local limit=$(( $(now_ms) + $1 * 1000 )) what=$2 cond=$3
  while :; do
    state
    eval "$cond" && return 0
    [ "$(now_ms)" -ge "$limit" ] && fail "no $what within $1 s (waiting for: $cond)"
    sleep 0.02
  done
}

# Every wait below waits for its condition, with a bound generous enough for a machine
# busy with other work; none of them takes a fixed time to mean that something happened.

# wait_quiet SECONDS: waits until no new sound has reached the device for 1.5 s. Used only
# after the awaited sound has all arrived, to see that nothing more follows it: a slow
# machine can then only let an extra sentence go unseen, never fail a good run.
wait_quiet() {
  local limit=$(( $(now_ms) + $1 * 1000 )) last=-1 since
  since=$(now_ms)
  while :; do
    state
    if [ "$NONZERO" != "$last" ]; then
      last=$NONZERO
      since=$(now_ms)
    elif [ $(( $(now_ms) - since )) -ge 1500 ]; then
      return 0
    fi
    [ "$(now_ms)" -ge "$limit" ] && fail "the sound did not end within $1 s"
    sleep 0.02
  done
}

samples() { "$probe" samples "$1"; }

# The device stretch k, whole once the next one has begun; the current one is the file itself.
segment() {
  if [ -f "$out/watch/seg$1.raw" ]; then echo "$out/watch/seg$1.raw"; else echo "$device"; fi
}

# heard K W: the sound of device stretch K is the WAV file W as written. A stretch still
# being played is waited for until it is whole (or 60 s have passed).
heard() {
  local seg limit=$(( $(now_ms) + 60000 ))
  while :; do
    seg=$(segment "$1")
    "$probe" match "$seg" "$out/watch/wav$2.wav" >"$out/match.txt" && return 0
    [ "$(now_ms)" -ge "$limit" ] &&
      fail "device stretch $1 is not WAV file $2: $(cat "$out/match.txt")"
    sleep 0.05
  done
}

# wait_windows N: waits until the program shows at least N windows (a menu is one).
wait_windows() {
  local limit=$(( $(now_ms) + 30000 ))
  until [ "$(xdotool search --onlyvisible --pid "$orv_pid" 2>/dev/null | wc -l)" -ge "$1" ]; do
    [ "$(now_ms)" -ge "$limit" ] && fail "the program did not show $1 windows"
    sleep 0.02
  done
}

# Keys and typed text go to the window named by $target, and only once it has the input
# focus: a key sent while the focus is still on its way is lost, or lands elsewhere.
target=""
await_focus() {
  local limit=$(( $(now_ms) + 30000 ))
  until [ "$(xdotool getwindowfocus 2>/dev/null)" = "$target" ]; do
    [ "$(now_ms)" -ge "$limit" ] && fail "window $target did not get the focus for: $*"
    sleep 0.02
  done
}
key() {
  await_focus "$@"
  xdotool key --clearmodifiers "$@"
}
type_text() {
  await_focus "$1"
  xdotool type --delay "$2" "$1"
}

# --- the X server -------------------------------------------------------------------------
command -v Xvfb >/dev/null || { echo "SKIPPED: Xvfb is not installed"; exit 77; }
command -v xdotool >/dev/null || fail "xdotool is not installed"
exec 3>"$out/display"
# No key repeat (-r): on a busy machine xdotool's release can come late enough for the
# server to repeat a key, and a repeated Return that closes the open dialog lands in the
# main window and starts a reading of its own.
Xvfb -displayfd 3 -r -screen 0 1024x768x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
limit=$(( $(now_ms) + 10000 ))
until [ -s "$out/display" ]; do
  if ! kill -0 "$xvfb_pid" 2>/dev/null || [ "$(now_ms)" -ge "$limit" ]; then
    echo "SKIPPED: Xvfb could not start: $(tail -n 3 "$out/xvfb.log")"
    xvfb_pid=""
    exit 77
  fi
  sleep 0.05
done
export DISPLAY=":$(head -n 1 "$out/display")"
echo "X server on $DISPLAY"

# --- the program --------------------------------------------------------------------------
"$probe" watch "$device" "$wav" "$out/watch" &
watch_pid=$!
env -u QT_QPA_PLATFORM -u SDL_AUDIODEV SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$device" \
  TEMP="$out/temp" "$orv" >"$out/orv.log" 2>&1 &
orv_pid=$!

win=$(timeout 60 xdotool search --sync --onlyvisible --name "ORV Quenvar") ||
  fail "the main window did not appear"
win=$(echo "$win" | head -n 1)
xdotool windowfocus --sync "$win" || fail "the main window takes no focus"
target=$win
sleep 0.5  # lets the first paint finish; only the picture depends on it
xwd -silent -id "$win" >"$out/start.xwd" 2>/dev/null || echo "note: no screenshot (xwd missing)"
if [ -s "$out/start.xwd" ] && command -v xwdtopnm >/dev/null && command -v pnmtopng >/dev/null; then
  xwdtopnm "$out/start.xwd" 2>/dev/null | pnmtopng >"$out/start.png" 2>/dev/null
fi
[ -s "$out/start.xwd" ] && echo "screenshot: $out/start.xwd"

# --- typing a text and reading it ---------------------------------------------------------
# Three sentences of clearly different lengths, so that their order shows in the sound:
# the second is the longest, the third the shortest.
xdotool mousemove --window "$win" 200 40 click 1
key ctrl+End ctrl+shift+Home Delete
type_text "Hoy hace sol. Mañana vamos al campo con la abuela y el perro. Adiós." 15
key alt+a
key Return
wait_for 60 "first sentence" '[ "$WAVS" -ge 1 ] && [ "$NONZERO" -gt 0 ]'
wait_for 120 "three sentences" '[ "$WAVS" -ge 3 ] && [ "$SEGMENTS" -ge 3 ]'
heard 3 3
wait_quiet 60
state
[ "$WAVS" -eq 3 ] || fail "the reading wrote $WAVS WAV files, not 3"
[ "$SEGMENTS" -eq 3 ] || fail "the reading opened the device $SEGMENTS times, not 3"
for k in 1 2 3; do heard "$k" "$k"; done
n1=$(samples "$out/watch/wav1.wav") n2=$(samples "$out/watch/wav2.wav") n3=$(samples "$out/watch/wav3.wav")
echo "sentences read: $n1, $n2 and $n3 samples"
[ "$n2" -gt "$n1" ] && [ "$n1" -gt "$n3" ] || fail "the sentences were not read in order"
[ "$WAVEXISTS" -eq 1 ] || fail "the WAV file of the last sentence is gone after the reading"
echo "ok: three sentences reached the device in order"

# --- Escape stops; the caret had moved past what was read ---------------------------------
# With the caret at the end the reading starts again from the beginning.
key Return
wait_for 120 "second sentence of the new reading" '[ "$WAVS" -ge 5 ] && [ "$SEGMENTS" -ge 5 ]'
before=$NONZERO
wait_for 60 "sound of the second sentence" '[ "$NONZERO" -gt "$before" ]'
key Escape
wait_for 30 "deleted WAV file after Escape" '[ "$WAVEXISTS" -eq 0 ]'
state
stopped=$NONZERO
wait_quiet 30
state
[ $(( NONZERO - stopped )) -le 2048 ] || fail "sound went on after Escape ($(( NONZERO - stopped )) samples)"
[ "$WAVEXISTS" -eq 0 ] || fail "the WAV file is back after Escape"
echo "ok: Escape silenced the device and deleted the WAV file"
# Each sentence moved the caret past itself as its synthesis began: the next Enter reads on
# from the third sentence, and only that one.
key Return
wait_for 60 "the reading after the caret" '[ "$WAVS" -ge 6 ] && [ "$SEGMENTS" -ge 6 ]'
heard 6 6
wait_quiet 30
state
[ "$WAVS" -eq 6 ] || fail "reading from the caret wrote $(( WAVS - 5 )) WAV files, not 1"
n6=$(samples "$out/watch/wav6.wav")
[ "$n6" -lt "$n1" ] || fail "the reading from the caret was not the last sentence ($n6 samples)"
heard "$SEGMENTS" 6
echo "ok: the caret had moved on; the next reading began at the third sentence"

# --- a step in the voice list and its announcement ----------------------------------------
key alt+v
key Down
key Return
wait_for 60 "announcement" '[ "$WAVS" -ge 7 ] && [ "$SEGMENTS" -ge 7 ]'
heard 7 7
wait_quiet 30
state
[ "$WAVS" -eq 7 ] || fail "the announcement wrote $(( WAVS - 6 )) WAV files, not 1"
heard "$SEGMENTS" 7
echo "ok: the voice list announced its item"

# --- sound quality from the menu, by keyboard alone ---------------------------------------
"$probe" rate "$out/watch/wav7.wav" | grep -qx 22050 || fail "the announcement was not at 22050"
# F10 highlights "Varios", Down opens it, Down and Right reach "Calidad del sonido" and its
# "Normal (22050)", Down "Baja (11025)", Enter picks it. Each menu is waited for as a window.
windows=$(xdotool search --onlyvisible --pid "$orv_pid" | wc -l)
key F10
key Down
wait_windows $(( windows + 1 ))
key Down Right
wait_windows $(( windows + 2 ))
key Down Return
key alt+a
key Return
wait_for 120 "reading at the new quality" '[ "$WAVS" -ge 8 ] && [ "$SEGMENTS" -ge 8 ]'
rate=$("$probe" rate "$out/watch/wav8.wav")
[ "$rate" = 11025 ] || fail "the WAV file after choosing 'Baja (11025)' has rate $rate"
key Escape
wait_for 30 "deleted WAV file after Escape" '[ "$WAVEXISTS" -eq 0 ]'
echo "ok: the next WAV file after the quality change runs at 11025"

# --- files through the open dialog --------------------------------------------------------
# open_file PATH: Ctrl+A from "Leer", the path typed into the dialog, Enter. The dialog takes
# Enter on its press; the release comes after the dialog has gone, to "Leer", which must not
# take it for a reading of its own: read_all counts exactly the sentences it asked for.
open_file() {
  key ctrl+a
  local dialog
  dialog=$(timeout 60 xdotool search --sync --onlyvisible --name "^Abrir" | head -n 1) ||
    fail "the open dialog did not appear"
  xdotool windowfocus --sync "$dialog"
  target=$dialog
  type_text "$1" 10
  key Return
  target=$win
  local limit=$(( $(now_ms) + 60000 ))
  while xdotool search --onlyvisible --name "^Abrir" >/dev/null 2>&1; do
    [ "$(now_ms)" -ge "$limit" ] && fail "the open dialog did not take $1"
    sleep 0.05
  done
  xdotool windowfocus --sync "$win"
}

# read_all N: reads the text box aloud (the caret after a load stands at its start or end,
# so the whole text), waits for N sentences to be heard whole, and sets READ to the count
# of sentences read (more than N when more followed).
read_all() {
  state
  local base=$WAVS segs=$SEGMENTS
  key alt+a
  key Return
  local limit=$(( $(now_ms) + 120000 ))
  while :; do
    state
    [ $(( WAVS - base )) -ge "$1" ] && [ $(( SEGMENTS - segs )) -ge "$1" ] && break
    [ "$(now_ms)" -ge "$limit" ] && break
    sleep 0.02
  done
  if [ $(( SEGMENTS - segs )) -ge "$1" ]; then heard "$SEGMENTS" "$WAVS"; fi
  wait_quiet 30
  state
  READ=$(( WAVS - base ))
}

# A full stop before a capital with an accent cuts a sentence only when the file's UTF-8 was
# decoded as such: read as Windows-1252, "\xc3\x9a" would be two other letters.
printf 'Primera l\xc3\xadnea con e\xc3\xb1e. \xc3\x9altima frase\nSegunda l\xc3\xadnea\n' \
  >"$out/files/texto utf8.txt"
open_file "$out/files/texto utf8.txt"
read_all 3
[ "$READ" -eq 3 ] || fail "the UTF-8 file read as $READ sentences, not 3"
echo "ok: the UTF-8 file loaded as UTF-8 and read as its three sentences"

printf '%s' '{\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\f0 Uno dos tres\par {\b Cuatro cinco}\par Seis siete ocho\par}' \
  >"$out/files/formato.rtf"
open_file "$out/files/formato.rtf"
read_all 3
[ "$READ" -eq 3 ] || fail "the rich-text file read as $READ sentences, not its 3 paragraphs"
echo "ok: the rich-text file loaded as its three paragraphs"

kill -0 "$orv_pid" 2>/dev/null || fail "the program ended by itself"
echo "PASS"
exit 0
