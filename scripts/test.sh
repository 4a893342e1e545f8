#!/usr/bin/env bash
# Installs the dependencies, builds everything and runs every test.
#   scripts/test.sh                  the normal build (build/, or DRAVIK_BUILD_DIR)
#   scripts/test.sh --sanitize       a build with AddressSanitizer and UndefinedBehaviorSanitizer
#                                    in build-sanitize/ and every test under them
#   scripts/test.sh --sanitize core  the same for the rooms without Qt and the command line
#                                    only (build-sanitize-core/), much quicker to build
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi

if [ "${1:-}" != "--sanitize" ]; then
  "$root/scripts/build.sh" -DDRAVIK_WERROR="$werror"
  build="${DRAVIK_BUILD_DIR:-$root/build}"
  cd "$build"
  ctest --output-on-failure --parallel "$(nproc)" --timeout 600
  exit 0
fi

scope="${2:-all}"
case "$scope" in
  all) gui=ON build="${DRAVIK_SANITIZE_BUILD_DIR:-$root/build-sanitize}" ;;
  core) gui=OFF build="${DRAVIK_SANITIZE_BUILD_DIR:-$root/build-sanitize-core}" ;;
  *)
    echo "usage: scripts/test.sh [--sanitize [core]]" >&2
    exit 2
    ;;
esac
# Any finding fails the test that made it: undefined behaviour stops the program (the
# build has -fno-sanitize-recover), leaks are reported at exit except those of the
# libraries listed in the suppressions. The build needs the same options: it runs each
# test program to list its tests.
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
DRAVIK_BUILD_DIR="$build" "$root/scripts/build.sh" -DDRAVIK_SANITIZE=ON -DDRAVIK_BUILD_GUI="$gui" \
  -DDRAVIK_BUILD_BENCH=OFF -DDRAVIK_WERROR="$werror"
cd "$build"
# The sanitizers make the programs several times slower; the time limit grows with them.
ctest --output-on-failure --parallel "$(nproc)" --timeout 1800
