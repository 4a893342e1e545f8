#!/usr/bin/env bash
# Builds Dravik and shows its main job headless on the example project: create a project,
# inspect it, compile it and download the image into the emulated panel over a
# pseudo-terminal, with progress.
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
project="$demo/demo.QX3"

echo "== dravik-cli new $project"
"$cli" new "$project"
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
