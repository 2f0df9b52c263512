#!/bin/sh
# Whole-command cost of blurmond-render against oiiotool's copy and GEGL's lens blur, on the same
# generated 1920x1080 PNG and EXR plates with bright points: wall time and peak memory of each, and
# the ratios (ours over oiiotool at radius 0, ours over GEGL at radius 50). Each figure is the best of
# RUNS runs, so a busy machine inflates it less.
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

# Best wall seconds and the peak resident kilobytes of that run.
measure() {
    best=
    for _ in $(seq "$runs"); do
        /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>"$work/stderr" || {
            echo "bench/cli.sh: failed: $*" >&2; cat "$work/stderr" >&2; exit 1; }
        read -r seconds kilobytes <"$work/time"
        if [ -z "$best" ] || awk "BEGIN { exit !($seconds < $best) }"; then best=$seconds; peak=$kilobytes; fi
    done
    echo "$best $peak"
}

row() {  # name seconds kilobytes
    printf '  %-34s %7.2f s %7d MB\n' "$1" "$2" $(($3 / 1024))
}

ratio() { awk "BEGIN { printf \"%.2f\", $1 / $2 }"; }

uptime
echo "blurmond-render vs oiiotool copy (radius 0) and gegl:lens-blur (radius $radius), 1920x1080, best of $runs"
for format in png exr; do
    in="$work/plate.$format"
    echo "$format:"
    set -- $(measure oiiotool "$in" -o "$work/copy.$format"); copy_s=$1; copy_k=$2
    set -- $(measure "$command" --set radius=0 "$in" "$work/r0.$format"); r0_s=$1; r0_k=$2
    set -- $(measure gegl "$in" -o "$work/gegl.$format" -- gegl:lens-blur radius=$radius); gegl_s=$1; gegl_k=$2
    set -- $(measure "$command" --set radius=$radius "$in" "$work/r$radius.$format"); r50_s=$1; r50_k=$2
    row "oiiotool copy" "$copy_s" "$copy_k"
    row "blurmond-render radius=0" "$r0_s" "$r0_k"
    row "gegl gegl:lens-blur radius=$radius" "$gegl_s" "$gegl_k"
    row "blurmond-render radius=$radius" "$r50_s" "$r50_k"
    echo "  radius 0 time over oiiotool: $(ratio "$r0_s" "$copy_s") (target <= 1.20)"
    echo "  radius $radius: GEGL time over ours: $(ratio "$gegl_s" "$r50_s") (target >= 1.50)"
done
