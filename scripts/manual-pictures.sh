#!/usr/bin/env bash
# Makes the pictures of the user manual from the real programs, so they can be made again after any
# change to the windows: the main window (with and without the timeline) under a virtual X display, and
# a timeline picture drawn by the command line. Usage: scripts/manual-pictures.sh [BUILD_DIR]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
images=$root/docs/manual/images
for tool in xvfb-run xwininfo import convert; do
    command -v "$tool" >/dev/null || { echo "manual-pictures: $tool is missing" >&2; exit 1; }
done
[ -x "$build/bin/ambrel" ] && [ -x "$build/bin/ambrel-cli" ] \
    || { echo "manual-pictures: build ambrel and ambrel-cli in $build first" >&2; exit 1; }

# A scratch copy of the programs and a home of their own, so the person's settings and kept work are
# neither read nor touched.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$build/bin" "$scratch/bin"
mkdir -p "$scratch/home" "$scratch/data/Ambrel" "$scratch/config" "$scratch/runtime"
chmod 700 "$scratch/runtime"
export HOME=$scratch/home XDG_DATA_HOME=$scratch/data XDG_CONFIG_HOME=$scratch/config
export XDG_RUNTIME_DIR=$scratch/runtime LC_ALL=C.UTF-8 LANG=C.UTF-8

project=$scratch/home/Website\ relaunch.ambrel
cat >"$project" <<'PROJECT'
Ambrel project 1
Name: Website relaunch
Start: right away
Working week: on

Requirements + 5 days [done]
// Interviews + 2 days [done]
Design + 4 days [60%]
Build + 10 days
// User guide + 4 days [after Design]
Review + 0.5
Test + 3 days [after Build]
Launch [milestone]
PROJECT

mkdir -p "$images"
"$scratch/bin/ambrel-cli" --timeline "$images/timeline.png" "$project" >/dev/null 2>&1

# Shoots the main window on FILE as it shows with the timeline shown or hidden (which it remembers).
shoot() {
    local timeline=$1 out=$2
    echo "$timeline" >"$XDG_DATA_HOME/Ambrel/timeline.txt"
    xvfb-run -a -s "-screen 0 1600x1000x24" sh -c '
        "$1" "$2" & app=$!
        sleep 4
        id=$(xwininfo -root -tree | awk "/\"Website relaunch.*Ambrel|Ambrel.*Website relaunch/ {print \$1; exit}")
        [ -n "$id" ] && import -window "$id" "$3"
        kill $app' sh "$scratch/bin/ambrel" "$project" "$out"
    [ -s "$out" ] || { echo "manual-pictures: no window to shoot for $out" >&2; exit 1; }
}
shoot hidden "$images/main-window.png"
shoot shown "$images/main-window-timeline.png"
# Smaller files: the pictures hold few colours.
for picture in "$images"/*.png; do
    convert "$picture" -strip "$picture"
done
echo "manual-pictures: wrote $(ls "$images" | tr '\n' ' ')"
