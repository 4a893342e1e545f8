#!/usr/bin/env bash
# Time of the whole `tolvesk --headless --screenshot` run on the bundled example's image:
# the program's start, the image read, the panel started and its first screen painted and
# written (goal: <= 0.5 s). Wall clock and CPU (user + system: on a busy machine the CPU
# time is the steadier figure), best of five runs; also the run with a page change by key.
set -euo pipefail
build="${1:-$(cd "$(dirname "$0")/.." && pwd)/build}"
cli="$build/bin/dravik-cli"
tolvesk="$build/bin/tolvesk"
example="$(cd "$(dirname "$0")/.." && pwd)/data/examples/茶叶整形机.QX3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

"$cli" compile "$example" -o "$work/QX.bin" >/dev/null

BEST_OF=5
source "$(dirname "$0")/best_of.sh"

best screenshot "$tolvesk" --image "$work/QX.bin" --headless --screenshot "$work/a.png"
best "screenshot x2, key" "$tolvesk" --image "$work/QX.bin" --headless --set D100=1500 \
  --key F2 --screenshot "$work/b.png" --scale 2 --dump-registers
[[ "$(head -c 4 "$work/a.png" | tail -c 3)" == PNG ]] || { echo "no screenshot written" >&2; exit 1; }
