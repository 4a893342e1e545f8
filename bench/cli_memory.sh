#!/usr/bin/env bash
# Peak memory and time of `dravik-cli info` on a full project (240 pages x 200 elements).
set -euo pipefail
build="${1:-$(cd "$(dirname "$0")/.." && pwd)/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/bin/dravik_make_full_project" "$work/full.QX3"
/usr/bin/time -f "dravik-cli info: %e s, peak memory %M KB" \
  "$build/bin/dravik-cli" info "$work/full.QX3" >/dev/null
