#!/usr/bin/env bash
# Regenerates docs/pictures/all_kinds_zh.png and docs/pictures/all_kinds_en.png: a project
# whose page shows every element kind under its name, drawn by `dravik-cli render` in
# language one (Chinese) and language two (English). Run it after changing a renderer;
# never edit the pictures by hand.
#
#   scripts/render_docs_page.sh            (uses $DRAVIK_BUILD_DIR, default build/)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${DRAVIK_BUILD_DIR:-$root/build}"
pictures="$root/docs/pictures"

# The pictures show the panel font "宋体" as AR PL UMing draws it; another fallback
# font would change every text in them.
if ! fc-list | grep -q "AR PL UMing"; then
  echo "AR PL UMing is missing (run scripts/setup.sh)" >&2
  exit 1
fi

if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
  cmake -S "$root" -B "$build" -G Ninja
fi
cmake --build "$build" --target dravik-cli dravik_make_all_kinds_project

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export DRAVIK_WORKDIR="$work/workdir"
export XDG_CONFIG_HOME="$work/config"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$DRAVIK_WORKDIR" "$pictures"

"$build/bin/dravik_make_all_kinds_project" "$work/AllKinds.QX3"
"$build/bin/dravik-cli" render "$work/AllKinds.QX3" --page 1 --lang 1 -o "$pictures/all_kinds_zh.png"
"$build/bin/dravik-cli" render "$work/AllKinds.QX3" --page 1 --lang 2 -o "$pictures/all_kinds_en.png"
