#!/usr/bin/env bash
# Rebuilds the example projects in data/examples from the core (dravik-make-examples), so
# they follow the project formats. Run it after a format change and commit the result.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${DRAVIK_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target dravik-make-examples dravik_device_resources
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
# The picture library template is made in the work folder: keep it away from the user's.
DRAVIK_WORKDIR="$out/work" DRAVIK_PROGRAM_DIR="$build/bin" \
  "$build/src/app/dravik-make-examples" "$out/examples"
mkdir -p "$root/data/examples"
rm -f "$root/data/examples/"*.QX3 "$root/data/examples/"*.PIC "$root/data/examples/"*.M
cp "$out/examples/"*.QX3 "$out/examples/"*.PIC "$out/examples/"*.M "$root/data/examples/"
ls -l "$root/data/examples"
