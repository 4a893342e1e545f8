#!/usr/bin/env bash
# Builds Dravik and shows its main job on the bundled example "茶叶整形机".
# With a display it starts the desktop program with the example open. Without one it
# runs the main job headless: inspect the example, compile it, and download the image
# into the emulated panel over a pseudo-terminal, with progress, then run the image in
# the simulator and write its screen to a picture. The example is opened
# from the user's own copy in ~/Dravik/examples.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build="${DRAVIK_BUILD_DIR:-$root/build}"
cli="$build/bin/dravik-cli"
emulator="$build/bin/dravik-panel-emu"

demo="$(mktemp -d)"
emulator_pid=""
cleanup() {
  [ -n "$emulator_pid" ] && kill "$emulator_pid" 2>/dev/null || true
  rm -rf "$demo"
}
trap cleanup EXIT
# The user works on their own copy of the examples, made once and kept: what they save
# stays, and a copy they already have is never replaced (the desktop program's "open
# example" uses the same folder).
examples="${DRAVIK_EXAMPLES_DIR:-$HOME/Dravik/examples}"
mkdir -p "$examples"
cp -rn "$build/bin/examples/." "$examples/"
project="$examples/茶叶整形机.QX3"

if { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; } && [ -x "$build/bin/dravik" ]; then
  "$build/bin/dravik" "$project"
  exit 0
fi

echo "== no display: the main job, headless"
echo
echo "== dravik-cli info $project"
"$cli" info "$project"
echo
echo "== dravik-cli compile $project -o $demo/QX.bin"
"$cli" compile "$project" -o "$demo/QX.bin"
echo
echo "== the emulated panel"
"$emulator" --out "$demo/received.bin" > "$demo/emulator.out" &
emulator_pid=$!
for _ in $(seq 50); do
  [ -s "$demo/emulator.out" ] && break
  sleep 0.1
done
port="$(head -n 1 "$demo/emulator.out")"
echo "panel on $port"
echo
echo "== dravik-cli download $project --port $port"
"$cli" download "$project" --port "$port"
kill "$emulator_pid"
wait "$emulator_pid" 2>/dev/null || true
emulator_pid=""
if cmp -s -n "$(stat -c %s "$demo/QX.bin")" "$demo/QX.bin" "$demo/received.bin"; then
  echo "the panel holds the compiled image"
else
  echo "the panel's image differs from QX.bin" >&2
  exit 1
fi
echo
screen="${DRAVIK_DEMO_SCREENSHOT:-$examples/../simulated-screen.png}"
echo "== tolvesk --image $demo/QX.bin --headless --set D100=1500 --screenshot $screen"
"$build/bin/tolvesk" --image "$demo/QX.bin" --headless --set D100=1500 --after-ms 500 \
  --screenshot "$screen" --dump-registers
echo "the simulated panel's first page, with 150.0 °C: $screen"
