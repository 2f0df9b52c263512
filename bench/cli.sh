#!/bin/sh
# Whole-command cost of blurmond-render against oiiotool's copy and GEGL's lens blur, on the same
# generated 1920x1080 PNG and EXR plates with bright points: wall time and peak memory of each, and
# the ratios (ours over oiiotool at radius 0, GEGL over ours at radius 50). Each figure is the best of
# RUNS runs (default 3), so a busy machine inflates it less.
#   bench/cli.sh [BLURMOND_RENDER]   (default: build/release/plugin/blurmond-render)
set -eu

command=${1:-build/release/plugin/blurmond-render}
runs=${RUNS:-3}
radius=50
[ -x "$command" ] || { echo "bench/cli.sh: no blurmond-render at '$command' (give its path)" >&2; exit 1; }

need_packages() {
    missing=
    command -v oiiotool >/dev/null || missing="$missing openimageio-tools"
    command -v gegl >/dev/null || missing="$missing gegl"
    [ -x /usr/bin/time ] || missing="$missing time"
    [ -z "$missing" ] && return
    sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "installing$missing" >&2
    $sudo apt-get install -y $missing >/dev/null || { $sudo apt-get update >/dev/null && $sudo apt-get install -y $missing >/dev/null; }
}
need_packages

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# A dim, noisy plate with a grid of small lights well above white: linear half EXR, and as 8-bit sRGB
# PNG (clipped at white) the display-referred plate a PNG would be.
points=
y=60
while [ $y -lt 1080 ]; do
    x=$(( (y * 7) % 160 + 40 ))
    while [ $x -lt 1920 ]; do points="$points$x,$y,"; x=$((x + 160)); done
    y=$((y + 120))
done
oiiotool --pattern noise:type=uniform:min=0.02:max=0.3:seed=7 1920x1080 3 \
    --point:color=40,36,30 "${points%,}" -d half -o "$work/plate.exr"
oiiotool "$work/plate.exr" --colorconvert linear sRGB -d uint8 -o "$work/plate.png"

# One timed run: the wall seconds, processor seconds (user and system, all threads) and peak resident
# kilobytes, appended to the results under a name.
measure() {
    name=$1
    shift
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >/dev/null 2>"$work/stderr" || {
        echo "bench/cli.sh: failed: $*" >&2; cat "$work/stderr" >&2; exit 1; }
    read -r seconds user system kilobytes <"$work/time"
    echo "$name $seconds $(awk "BEGIN { print $user + $system }") $kilobytes" >>"$work/results"
}

# The fastest run of a name: seconds, processor seconds, kilobytes. On a busy machine the processor
# time shows what the wall time hides.
best() { awk -v name="$1" '$1 == name && (b == "" || $2 < b) { b = $2; c = $3; k = $4 } END { print b, c, k }' "$work/results"; }

row() {  # label name
    set -- "$1" $(best "$2")
    printf '  %-34s %6.2f s  (cpu %5.2f s) %6d MB\n' "$1" "$2" "$3" $(($4 / 1024))
}

ratio() {  # name over name, wall and processor time
    set -- $(best "$1") $(best "$2")
    awk "BEGIN { printf \"time %.2f, cpu %.2f\", $1 / $4, $2 / $5 }"
}

uptime
echo "blurmond-render vs oiiotool copy (radius 0) and gegl:lens-blur (radius $radius), 1920x1080, best of $runs"
for format in png exr; do
    in="$work/plate.$format"
    # Rounds rather than runs in a row, so a change in the machine's load falls on every command alike.
    for _ in $(seq "$runs"); do
        measure copy oiiotool "$in" -o "$work/copy.$format"
        measure r0 "$command" --set radius=0 "$in" "$work/r0.$format"
        measure gegl gegl "$in" -o "$work/gegl.$format" -- gegl:lens-blur radius=$radius
        measure r$radius "$command" --set radius=$radius "$in" "$work/r$radius.$format"
    done
    echo "$format:"
    row "oiiotool copy" copy
    row "blurmond-render radius=0" r0
    row "gegl gegl:lens-blur radius=$radius" gegl
    row "blurmond-render radius=$radius" r$radius
    echo "  radius 0 over oiiotool: $(ratio r0 copy) (target: time <= 1.20);" \
         "file $(wc -c <"$work/r0.$format") bytes, oiiotool's $(wc -c <"$work/copy.$format")"
    echo "  radius $radius, GEGL over ours: $(ratio gegl r$radius) (target: time >= 1.50)"
    rm "$work/results"
done
