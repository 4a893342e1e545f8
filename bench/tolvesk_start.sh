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

best() {  # best of five: "wall cpu" in seconds
  local label="$1"; shift
  local best_wall="" best_cpu=""
  for _ in 1 2 3 4 5; do
    /usr/bin/time -o "$work/time" -f "%e %U %S" "$@" >/dev/null
    read -r wall user sys <"$work/time"
    cpu=$(echo "$user + $sys" | bc)
    if [[ -z "$best_wall" ]] || (( $(echo "$wall < $best_wall" | bc) )); then best_wall=$wall; fi
    if [[ -z "$best_cpu" ]] || (( $(echo "$cpu < $best_cpu" | bc) )); then best_cpu=$cpu; fi
  done
  printf '%-22s %6.2f s wall  %6.2f s CPU\n' "$label" "$best_wall" "$best_cpu"
}

best screenshot "$tolvesk" --image "$work/QX.bin" --headless --screenshot "$work/a.png"
best "screenshot x2, key" "$tolvesk" --image "$work/QX.bin" --headless --set D100=1500 \
  --key F2 --screenshot "$work/b.png" --scale 2 --dump-registers
[[ "$(head -c 4 "$work/a.png" | tail -c 3)" == PNG ]] || { echo "no screenshot written" >&2; exit 1; }
