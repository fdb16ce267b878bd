#!/usr/bin/env bash
# The window's start-up and idle figures, beside the minimal Qt Widgets
# program, on a display of its own (Xvfb, no window manager):
#   bench/window_startup.sh BUILD_DIR [RUNS]
# BUILD_DIR is a Release build with the benchmarks (PICTORIN_BENCH on).
# The server does not reset when its last client leaves (-noreset), as on a
# desktop where other clients stay; otherwise every start would wait for the
# reset that the previous run's exit caused.
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-41}
harness=$build/platform/window_startup_harness
program=$build/platform/pictorin
minimal=$build/platform/window_startup_minimal

display=
for n in $(seq 71 140); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=$n; break; fi
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid"; wait "$xvfb_pid" 2>/dev/null' EXIT
for _ in $(seq 100); do [ -S "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM QT_SCALE_FACTOR

echo "== start to first paint (then exit) and peak RSS, $runs runs each, taking turns =="
"$harness" start "$runs" "$minimal" "$program"
echo "== wake-ups while idle: 3 s to settle, then 5 s watched =="
"$harness" idle 3 5 "$minimal"
"$harness" idle 3 5 "$program"
