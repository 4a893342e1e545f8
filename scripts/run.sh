#!/usr/bin/env bash
# Builds Dravik and shows its main job on the bundled example. Until the desktop
# program lands this runs headless: create a project with dravik-cli and inspect it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build="${DRAVIK_BUILD_DIR:-$root/build}"
cli="$build/bin/dravik-cli"

demo="$(mktemp -d)"
trap 'rm -rf "$demo"' EXIT
project="$demo/demo.QX3"

echo "== dravik-cli new $project"
"$cli" new "$project"
echo
echo "== dravik-cli info $project"
"$cli" info "$project"
