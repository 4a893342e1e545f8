#!/usr/bin/env bash
# Takes the pictures in docs/screenshots: the main window with the example project open,
# in Chinese and in English, on a virtual X server (Xvfb).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${DRAVIK_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target dravik dravik-grab-screen dravik_program_data
out="$root/docs/screenshots"
mkdir -p "$out"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# shoot NAME LANGUAGE(1 Chinese, 0 English)
shoot() {
  local name=$1 language=$2 home="$scratch/$1"
  mkdir -p "$home/config/dravik" "$home/work"
  cat > "$home/config/dravik/Dravik.ini" <<INI
[configure]
GriX=32
GriY=16
Language=$language
N23=0
N2=1
AutoSavBakFun=0
AutoSavBakInterval=5
AutoTempBakFun=0
INI
  # A copy: opening a project attaches its picture library, which may touch the files.
  cp -r "$build/bin/examples" "$home/examples"
  XDG_CONFIG_HOME="$home/config" DRAVIK_WORKDIR="$home/work" \
    xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
      "$1" "$2" & app=$!
      sleep "${DRAVIK_SHOT_DELAY:-4}"
      "$3" "$4"; status=$?
      kill "$app"; wait "$app" 2>/dev/null || true
      exit $status' shoot "$build/bin/dravik" "$home/examples/茶叶整形机.QX3" \
      "$build/src/app/dravik-grab-screen" "$out/main_window_$name.png"
  echo "wrote $out/main_window_$name.png"
}

shoot zh 1
shoot en 0
