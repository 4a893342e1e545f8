#!/usr/bin/env bash
# Installs the dependencies, builds everything and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi
"$root/scripts/build.sh" -DDRAVIK_WERROR="$werror"
build="${DRAVIK_BUILD_DIR:-$root/build}"
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
