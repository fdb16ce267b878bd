#!/usr/bin/env bash
# Times two other box-filter scalers on the raster that resample_bench scales:
# ImageMagick's `convert -filter box -resize` and Pillow's BOX resize, each to
# 100×100 and 1000×1000, several runs each, beside our own figures.
#
#   bench/resample_reference.sh [build-dir] [runs]
#
# The build dir (default build-release at the top of the tree) gets a Release
# build of resample_bench if it has none; the raster goes to a temporary PPM.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

build=${1:-$top/build-release}
runs=${2:-5}

# Debian's own Python, the one python3-pil installs into.
python=/usr/bin/python3
ensure_packages "${build_packages[@]}" libbenchmark-dev python3
command -v convert >/dev/null || ensure_packages imagemagick
"$python" -c 'import PIL' 2>/dev/null || ensure_packages python3-pil

if [ ! -x "$build/bench/resample_bench" ]; then
  [ -f "$build/CMakeCache.txt" ] || cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPICTORIN_BENCH=ON >/dev/null
  cmake --build "$build" --parallel "$(nproc)" --target resample_bench
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ppm=$work/source.ppm

echo "== Pictorin (one thread) and libjpeg's decode of the same picture"
PICTORIN_BENCH_PPM=$ppm "$build/bench/resample_bench" --benchmark_repetitions="$runs" \
  --benchmark_report_aggregates_only=true

"$python" - "$ppm" "$work" "$runs" <<'EOF'
import os, statistics, subprocess, sys, time
from PIL import Image

ppm, work, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])

def report(label, seconds):
    ms = [s * 1000 for s in seconds]
    print(f"{label:48s} min {min(ms):8.1f} ms   median {statistics.median(ms):8.1f} ms")

def time_command(args, env):
    seconds = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(args, check=True, env=env)
        seconds.append(time.perf_counter() - start)
    return seconds

print("== ImageMagick convert, whole command (reading the PPM included)")
for threads in ("1", None):
    env = dict(os.environ)
    if threads:
        env["MAGICK_THREAD_LIMIT"] = threads
    name = "one thread" if threads else "default threads"
    report(f"read only, {name}", time_command(["convert", ppm, "null:"], env))
    for side in (100, 1000):
        out = os.path.join(work, f"magick-{side}.ppm")
        args = ["convert", ppm, "-filter", "box", "-resize", f"{side}x{side}!", out]
        report(f"box {side}x{side}, {name}", time_command(args, env))

print("== Pillow Image.resize BOX, resize alone (picture loaded once)")
picture = Image.open(ppm)
picture.load()
for side in (100, 1000):
    seconds = []
    for _ in range(runs):
        start = time.perf_counter()
        picture.resize((side, side), Image.Resampling.BOX)
        seconds.append(time.perf_counter() - start)
    report(f"BOX {side}x{side}", seconds)
EOF
