#!/usr/bin/env bash
# The real program on a real X server, driven as a user drives it: click the
# SVIP badge button, click save, type a path into the dialog, press Enter,
# close the window with Esc. The saved file must equal what pictorin-cli
# composes from the default picture with that badge, and the exit status 0.
# Skipped (status 77) where Xvfb or xdotool is missing.
set -uo pipefail
program=$1
cli=$2

for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*"
  exit 1
}

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local seconds=$1
  shift
  local tries=$((seconds * 10))
  until "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# A display number nobody uses.
display=
for n in $(seq 71 140); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=$n; break; fi
done
[ -n "$display" ] || fail "no free X display number"
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for 10 test -S "/tmp/.X11-unix/X$display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$display"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM QT_SCALE_FACTOR

# The program's windows that are shown, by process id; xdotool's search by
# name does not match Chinese titles, so the names are compared here.
shown_windows() { xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null; }
main_window() {
  local id
  for id in $(shown_windows); do
    case "$(xdotool getwindowname "$id")" in Pictorin*) echo "$id"; return 0 ;; esac
  done
  return 1
}
has_dialog() { [ "$(shown_windows | wc -l)" -ge 2 ]; }
has_no_dialog() { [ "$(shown_windows | wc -l)" -eq 1 ]; }
window_gone() { ! kill -0 "$program_pid" 2>/dev/null; }

"$program" >"$work/program.log" 2>&1 &
program_pid=$!
wait_for 20 main_window >/dev/null || fail "the window did not appear: $(cat "$work/program.log")"
window=$(main_window)
xdotool windowfocus --sync "$window"

# 按钮6 (SVIP) at 128,80 size 88x24; 按钮2 (save) at 20,136 size 60x23.
xdotool mousemove --window "$window" 172 92 click 1
sleep 0.3
xdotool mousemove --window "$window" 50 147 click 1
wait_for 15 has_dialog || fail "the save dialog did not open"
sleep 0.5
saved="$work/avatar.jpg"
xdotool type --delay 10 "$saved"
sleep 0.3
xdotool key Return
wait_for 15 test -s "$saved" || fail "nothing was saved under $saved"
wait_for 10 has_no_dialog || fail "the save dialog stayed open"

xdotool windowfocus --sync "$window"
xdotool key Escape
wait_for 15 window_gone || fail "Esc did not close the window"
wait "$program_pid"
status=$?
program_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat "$work/program.log")"

mkdir "$work/assets"
"$cli" export-assets "$work/assets" >/dev/null || fail "pictorin-cli export-assets failed"
"$cli" compose "$work/assets/default-canvas-picture.jpg" --badge svip -o "$work/expected.bmp" ||
  fail "pictorin-cli compose failed"
cmp "$saved" "$work/expected.bmp" || fail "the saved file differs from pictorin-cli compose"
[ "$(stat -c %s "$saved")" -eq 30054 ] || fail "the saved file is not 30054 bytes"
echo "passed: SVIP badge saved through the dialog equals pictorin-cli compose; Esc ended the program with status 0"
