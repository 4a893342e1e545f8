#!/usr/bin/env bash
# Takes the pictures in docs/screenshots: the main window with the example project open,
# in Chinese and in English, in the light (first) and the dark (second) visual style, on a
# virtual X server (Xvfb): main_window_{zh,en}_{light,dark}.png; and the clock macro
# editor with the example's macro in both languages, on the offscreen platform:
# macro_editor_{zh,en}.png; and every element property dialog in both languages, on Xvfb:
# dialogs/<dialog>[_<kind>]_{zh,en}.png, which the user guide shows; and the panel
# simulator tolvesk running the compiled example, on Xvfb: its window at ×2 and its register
# window in both languages, and page 2 from a run without a window:
# simulator/{tolvesk,registers}_{zh,en}.png and simulator/headless_page2.png, which the
# user guide shows too.
#
# Usage: scripts/screenshots.sh [main] [macro] [dialogs] [sim]   (no section: all four)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${DRAVIK_BUILD_DIR:-$root/build}"
sections=("$@")
if [ ${#sections[@]} -eq 0 ]; then sections=(main macro dialogs sim); fi
targets=(dravik_program_data)
for section in "${sections[@]}"; do
  case "$section" in
    main) targets+=(dravik dravik-grab-screen) ;;
    macro) targets+=(dravik-shoot-macro-editor) ;;
    dialogs) targets+=(dravik-shoot-dialogs) ;;
    sim) targets+=(tolvesk dravik-cli dravik-grab-screen) ;;
    *) echo "usage: $0 [main] [macro] [dialogs] [sim]" >&2; exit 2 ;;
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

# The simulator runs the example compiled, with the registers the screen shows kept in the
# register file beside the image, as a previous run would have left them.
if wants sim; then
  sim="$scratch/sim"
  mkdir -p "$sim/shots"
  cp -r "$build/bin/examples" "$sim/examples"
  "$build/bin/dravik-cli" --lang en compile "$sim/examples/茶叶整形机.QX3" -o "$sim/QX.bin"
  cat > "$sim/QX.bin.registers" <<REGISTERS
# The example's temperature, speed and output; its state text "预热"; a running machine
D100=1500
D101=850
D102=326
D120=1
D200=850
D201=45
D202=35
D203=850
D204=120
Y0=ON
M100=ON
REGISTERS
  for language in zh en; do
    locale=C.UTF-8
    if [ "$language" = zh ]; then locale=zh_CN.UTF-8; fi
    run="$sim/$language"
    mkdir -p "$run"
    cp "$sim/QX.bin" "$sim/QX.bin.registers" "$run/"
    # The window follows LANG; no window manager, so each window is focused by hand before
    # it is sent keys: Ctrl+2 for ×2, Ctrl+M for the register window, then three watches,
    # each added with Alt+A.
    env -u QT_QPA_PLATFORM -u LC_ALL -u LC_MESSAGES LANG="$locale" LC_CTYPE=C.UTF-8 \
      xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
        set -e
        "$1" --image "$2/QX.bin" & app=$!
        trap "kill $app 2>/dev/null || true" EXIT
        window=$(xdotool search --sync --onlyvisible --name "^Tolvesk" | head -n 1)
        xdotool windowfocus --sync "$window"
        xdotool key --clearmodifiers ctrl+2
        sleep "${DRAVIK_SHOT_DELAY:-2}"
        "$3" "$4/tolvesk_$5.png" "$window"
        xdotool key --clearmodifiers ctrl+m
        # xdotool reads a Chinese title badly: the register window is the other one shown.
        registers=""
        for _ in $(seq 50); do
          registers=$(xdotool search --onlyvisible --pid "$app" --name . | grep -vx "$window" | head -n 1 || true)
          [ -n "$registers" ] && break
          sleep 0.1
        done
        [ -n "$registers" ]
        xdotool windowfocus --sync "$registers"
        for name in D100 D101 Y0; do
          xdotool type --delay 50 "$name"
          sleep 0.3
          xdotool key alt+a
          sleep 0.3
        done
        sleep 1
        "$3" "$4/registers_$5.png" "$registers"' shoot \
        "$build/bin/tolvesk" "$run" "$build/src/app/dravik-grab-screen" "$sim/shots" "$language"
  done
  QT_QPA_PLATFORM=offscreen "$build/bin/tolvesk" --image "$sim/QX.bin" --headless \
    --set D200=850 --set D201=45 --set D202=35 --set D203=850 --set D204=120 \
    --key F2 --screenshot "$sim/shots/headless_page2.png"
  mkdir -p "$out/simulator"
  rm -f "$out/simulator"/*.png
  cp "$sim/shots"/*.png "$out/simulator/"
  echo "wrote $(ls "$out/simulator" | wc -l) pictures into $out/simulator"
fi
