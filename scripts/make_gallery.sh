#!/usr/bin/env bash
# Redraws the gallery's sample pictures in data/gallery (dravik-make-gallery). Run it after
# changing a drawing and commit the result.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${DRAVIK_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target dravik-make-gallery
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
QT_QPA_PLATFORM=offscreen "$build/src/pictures/ui/dravik-make-gallery" "$out"
mkdir -p "$root/data/gallery"
rm -f "$root/data/gallery/"*.bmp "$root/data/gallery/"*.jpg
cp "$out/"* "$root/data/gallery/"
ls -l "$root/data/gallery"
