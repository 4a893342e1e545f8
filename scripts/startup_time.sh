#!/usr/bin/env bash
# Measures the start-up of dravik on a virtual X server: from launching the program with
# the example project on its command line to the main window shown with the project's
# page window (the program reports that moment itself when DRAVIK_STARTUP_PROBE is set).
# Prints each run and the median; fails when the median is above the goal (1000 ms).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${DRAVIK_BUILD_DIR:-$root/build}"
runs="${RUNS:-7}"
goal_ms="${GOAL_MS:-1000}"
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target dravik dravik_program_data >/dev/null
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/config" "$scratch/work"
cp -r "$build/bin/examples" "$scratch/examples"

XDG_CONFIG_HOME="$scratch/config" DRAVIK_WORKDIR="$scratch/work" DRAVIK_STARTUP_PROBE=1 \
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    program=$1 project=$2 runs=$3
    for i in $(seq "$runs"); do
      start=$(date +%s%N)
      shown=$("$program" "$project" 2>/dev/null | sed -n "s/^shown-at-ns //p")
      if [ -z "$shown" ]; then echo "run $i: the window was not reported" >&2; exit 1; fi
      echo $(( (shown - start) / 1000000 ))
    done' measure "$build/bin/dravik" "$scratch/examples/茶叶整形机.QX3" "$runs" > "$scratch/times"

i=0
while read -r ms; do i=$((i + 1)); echo "run $i: ${ms} ms"; done < "$scratch/times"
median=$(sort -n "$scratch/times" | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "median start-up to the shown main window with the example open: ${median} ms (goal ${goal_ms} ms)"
[ "$median" -le "$goal_ms" ]
