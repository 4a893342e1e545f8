#!/usr/bin/env bash
# Configures and builds Dravik with Ninja into ${DRAVIK_BUILD_DIR:-build}.
# Extra arguments go to cmake's configure step (for example -DDRAVIK_SANITIZE=ON).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${DRAVIK_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
