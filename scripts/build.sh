#!/usr/bin/env bash
# Configures and builds Dravik with Ninja into ${DRAVIK_BUILD_DIR:-build}.
# Extra arguments go to cmake's configure step (for example -DDRAVIK_SANITIZE=ON).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${DRAVIK_BUILD_DIR:-$root/build}"
launcher=()
# A compiler cache, when the machine has one, lets several build folders share objects.
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$root" -B "$build" -G Ninja "${launcher[@]}" "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
