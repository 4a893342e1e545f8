#!/usr/bin/env bash
# Takes the pictures in docs/screenshots: the main window with the example project open,
# in Chinese and in English, in the light (first) and the dark (second) visual style, on a
# virtual X server (Xvfb): main_window_{zh,en}_{light,dark}.png; and the clock macro
# editor with the example's macro in both languages, on the offscreen platform:
# macro_editor_{zh,en}.png; and every element property dialog in both languages, on Xvfb:
# dialogs/<dialog>[_<kind>]_{zh,en}.png, which the user guide shows.
#
# Usage: scripts/screenshots.sh [main] [macro] [dialogs]   (no section: all three)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${DRAVIK_BUILD_DIR:-$root/build}"
sections=("$@")
if [ ${#sections[@]} -eq 0 ]; then sections=(main macro dialogs); fi
targets=(dravik_program_data)
for section in "${sections[@]}"; do
  case "$section" in
    main) targets+=(dravik dravik-grab-screen) ;;
    macro) targets+=(dravik-shoot-macro-editor) ;;
    dialogs) targets+=(dravik-shoot-dialogs) ;;
    *) echo "usage: $0 [main] [macro] [dialogs]" >&2; exit 2 ;;
  esac
done
wants() {
  local section
  for section in "${sections[@]}"; do [ "$section" = "$1" ] && return 0; done
  return 1
}
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target "${targets[@]}"
out="$root/docs/screenshots"
mkdir -p "$out"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# shoot LANGUAGE(zh|en) STYLE(light|dark)
shoot() {
  local language=$1 style=$2
  local name="main_window_${language}_${style}" home="$scratch/${language}_${style}"
  local chinese=1 visual=1
  if [ "$language" = en ]; then chinese=0; fi
  if [ "$style" = dark ]; then visual=2; fi
  mkdir -p "$home/config/dravik" "$home/work"
  cat > "$home/config/dravik/Dravik.ini" <<INI
[configure]
GriX=32
GriY=16
Language=$chinese
N23=0
N2=1
AutoSavBakFun=0
AutoSavBakInterval=5
AutoTempBakFun=0
INI
  # A copy: opening a project attaches its picture library, which may touch the files.
  cp -r "$build/bin/examples" "$home/examples"
  XDG_CONFIG_HOME="$home/config" DRAVIK_WORKDIR="$home/work" DRAVIK_VISUAL_STYLE="$visual" \
    xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
      "$1" "$2" & app=$!
      sleep "${DRAVIK_SHOT_DELAY:-4}"
      "$3" "$4"; status=$?
      kill "$app"; wait "$app" 2>/dev/null || true
      exit $status' shoot "$build/bin/dravik" "$home/examples/茶叶整形机.QX3" \
      "$build/src/app/dravik-grab-screen" "$out/$name.png"
  echo "wrote $out/$name.png"
}

if wants main; then
  for language in zh en; do
    for style in light dark; do shoot "$language" "$style"; done
  done
fi

if wants macro; then
  for language in zh en; do
    mkdir -p "$scratch/macro_$language"
    cp -r "$build/bin/examples" "$scratch/macro_$language/examples"
    DRAVIK_WORKDIR="$scratch/macro_$language" QT_QPA_PLATFORM=offscreen \
      "$build/bin/dravik-shoot-macro-editor" "$scratch/macro_$language/examples/茶叶整形机.QX3" \
      "$language" "$out/macro_editor_$language.png"
    echo "wrote $out/macro_editor_$language.png"
  done
fi

# The dialogs are shot into a scratch folder first and replace the old pictures only when
# both languages came out, so a dialog that is gone leaves no picture behind and a failed
# run leaves the old ones.
if wants dialogs; then
  shots="$scratch/dialogs"
  mkdir -p "$shots" "$scratch/dialogs_work"
  cp -r "$build/bin/examples" "$scratch/dialogs_examples"
  for language in zh en; do
    env -u QT_QPA_PLATFORM DRAVIK_WORKDIR="$scratch/dialogs_work" \
      xvfb-run -a -s "-screen 0 1280x800x24" \
      "$build/bin/dravik-shoot-dialogs" "$language" "$shots" "$scratch/dialogs_examples/茶叶整形机.QX3"
  done
  mkdir -p "$out/dialogs"
  rm -f "$out/dialogs"/*.png
  cp "$shots"/*.png "$out/dialogs/"
  echo "wrote $(ls "$out/dialogs" | wc -l) pictures into $out/dialogs"
fi
