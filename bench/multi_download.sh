#!/usr/bin/env bash
# A production-line download: the time `dravik-cli download` takes to load one emulated
# panel, and three at once (one thread per port), on pseudo-terminals that keep each byte
# on the wire for its time at the line's speed. Prints both times (best of N runs) and
# their ratio, which should stay at or below 1.2.
#   bench/multi_download.sh [BUILD_DIR] [PROJECT.QX3] [RUNS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
project="${2:-$root/data/examples/茶叶整形机.QX3}"
runs="${3:-3}"
bin="$build/bin"
work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$bin/dravik-cli" compile "$project" -o "$work/QX.bin" >/dev/null
ports=()
for n in 1 2 3; do
  "$bin/dravik-panel-emu" --wire-time >"$work/emu$n.out" 2>/dev/null &
  pids+=("$!")
  for _ in $(seq 50); do [[ -s "$work/emu$n.out" ]] && break; sleep 0.1; done
  ports+=(--port "$(head -n1 "$work/emu$n.out")")
done

# Best wall time in seconds of `dravik-cli download` with the given ports.
best_of() {
  local best=""
  for _ in $(seq "$runs"); do
    local start end took
    start=$(date +%s.%N)
    "$bin/dravik-cli" download "$work/QX.bin" "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    best=$(awk -v t="$(awk -v s="$start" -v e="$end" 'BEGIN { print e - s }')" -v b="$best" \
      'BEGIN { print (b == "" || t < b) ? t : b }')
  done
  echo "$best"
}

size=$(stat -c %s "$work/QX.bin")
one=$(best_of "${ports[@]:0:2}")
three=$(best_of "${ports[@]}")
printf 'image %d bytes; one panel %.2f s, three panels %.2f s, ratio %.2f (target <= 1.20)\n' \
  "$size" "$one" "$three" "$(awk -v a="$three" -v b="$one" 'BEGIN { print a / b }')"
