#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) with clang and libFuzzer into ${DRAVIK_FUZZ_BUILD_DIR:-build-fuzz}
# and runs each for SECONDS (default 60), one after another or J at once, printing per target the
# executions, the speed, the coverage and any crash with the input that reproduces it.
#
#   scripts/fuzz.sh [--runs N] [--jobs J] [SECONDS] [TARGET...]
#                                           targets: project_file mac_file bmp jpeg
#                                           dravik_ini clipboard_marker modbus_reply
#                                           boot_loader_reply device_image language_file
#                                           device_resources register_file online_reply
#                                           (default: all)
#       --runs N   also stops a target after N executions (the long run:
#                  scripts/fuzz.sh --runs 10000000 --jobs 2 3600)
#       --jobs J   runs J targets at once (one per core); results print as each ends
#   scripts/fuzz.sh --seeds                 records the protocol targets' seed scripts
#                                           from the emulators into fuzz/corpus
#
# The seeds in fuzz/corpus/<target> are read, never written: what a run finds goes to the
# build folder's corpus/<target>, which the next run starts from. A crash leaves its input
# in the build folder's artifacts/<target>/; once the parser is fixed, the input goes into
# fuzz/corpus/<target> beside a regression test. The exit status is 1 when a target crashed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${DRAVIK_FUZZ_BUILD_DIR:-$root/build-fuzz}"

ALL_TARGETS=(project_file mac_file bmp jpeg dravik_ini clipboard_marker modbus_reply boot_loader_reply
  device_image language_file device_resources register_file online_reply)
# Inputs larger than a target's parser ever needs only slow it down; the ".Mac" limit is
# 101 rows of 66 bytes.
declare -A MAX_LEN=([device_image]=153600 [project_file]=65536 [mac_file]=8192 [bmp]=65536 [jpeg]=65536
                    [dravik_ini]=4096 [clipboard_marker]=1024 [modbus_reply]=4096
                    [boot_loader_reply]=4096 [language_file]=4096 [device_resources]=4096
                    [register_file]=4096 [online_reply]=1024)
# No single allocation may exceed this: the project image is 47 MB and the zstd window at
# most 64 MB (plus its two 128 kB blocks), a picture at most 48 MB of colour; libjpeg's own
# working memory comes on top of that.
declare -A MALLOC_LIMIT_MB=([project_file]=65 [mac_file]=16 [bmp]=64 [jpeg]=96
                            [dravik_ini]=16 [clipboard_marker]=16 [modbus_reply]=16
                            [boot_loader_reply]=16 [device_image]=16 [language_file]=64
                            [device_resources]=32 [register_file]=16 [online_reply]=16)

# The compiler and libFuzzer's runtime, installed only when missing (as scripts/setup.sh
# does for the rest, which does not need them).
install_toolchain() {
  local missing=()
  for pkg in clang libclang-rt-14-dev; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "fuzz: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() {
  local launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    "${launcher[@]}" -DDRAVIK_FUZZ=ON -DDRAVIK_BUILD_TESTS=OFF -DDRAVIK_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" --target "$@"
}

# The last value of `key: N` in a libFuzzer log ("cov: 1234", "stat::...: N").
last_value() { grep -o "$2[: ]*[0-9]*" "$1" | tail -n 1 | grep -o '[0-9]*$' || echo "-"; }

run_target() {
  local name=$1 seconds=$2
  local binary="$build/fuzz-bin/dravik-fuzz-$name"
  local corpus="$build/corpus/$name" artifacts="$build/artifacts/$name/" log="$build/logs/$name.log"
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  local started=$SECONDS status=0
  local limits=(-max_total_time="$seconds")
  if [ -n "$runs_limit" ]; then limits+=(-runs="$runs_limit"); fi
  "$binary" "${limits[@]}" -timeout=20 -print_final_stats=1 \
    -max_len="${MAX_LEN[$name]}" -malloc_limit_mb="${MALLOC_LIMIT_MB[$name]}" \
    -artifact_prefix="$artifacts" "$corpus" "$root/fuzz/corpus/$name" >"$log" 2>&1 || status=$?
  local wall=$((SECONDS - started))
  local runs speed cov features
  runs=$(last_value "$log" 'stat::number_of_executed_units')
  speed=$(last_value "$log" 'stat::average_exec_per_sec')
  cov=$(last_value "$log" 'cov')
  features=$(last_value "$log" 'ft')
  local result="ok"
  if [ "$status" -ne 0 ]; then result="CRASH"; fi
  printf '%-18s %12s %10s %8s %8s %7ss  %s\n' "$name" "$runs" "$speed" "$cov" "$features" "$wall" "$result"
  if [ "$status" -ne 0 ]; then
    grep -E '^==[0-9]+==ERROR|runtime error|invariant broken|SUMMARY|deadly signal|Test unit written' "$log" \
      | head -n 8 | sed 's/^/    /'
    local input
    input=$(grep -o 'Test unit written to .*' "$log" | tail -n 1 | sed 's/Test unit written to //')
    if [ -n "$input" ]; then echo "    reproduce: $binary $input"; fi
    echo "    log: $log"
  fi
  return "$status"
}

install_toolchain
if [ "${1:-}" = "--seeds" ]; then
  configure_and_build dravik-fuzz-comm-seeds
  "$build/fuzz-bin/dravik-fuzz-comm-seeds" "$root/fuzz/corpus"
  echo "fuzz: protocol seeds written to fuzz/corpus"
  exit 0
fi

runs_limit="" jobs=1
while [[ "${1:-}" == --runs || "${1:-}" == --jobs ]]; do
  if ! [[ "${2:-}" =~ ^[1-9][0-9]*$ ]]; then
    echo "fuzz: $1 needs a positive number" >&2
    exit 2
  fi
  if [ "$1" = --runs ]; then runs_limit=$2; else jobs=$2; fi
  shift 2
done
seconds=60
if [[ "${1:-}" =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=("${ALL_TARGETS[@]}"); fi
for name in "${targets[@]}"; do
  if [ -z "${MAX_LEN[$name]:-}" ]; then
    echo "fuzz: no target '$name' (targets: ${ALL_TARGETS[*]})" >&2
    exit 2
  fi
done

configure_and_build "${targets[@]/#/dravik-fuzz-}"
failed=0
printf '%-18s %12s %10s %8s %8s %8s  %s\n' target executions "exec/s" cov features wall result
# Each target's lines are printed whole when it ends, so parallel runs never interleave.
reports=$(mktemp -d)
trap 'rm -rf "$reports"' EXIT
running=0
collect_one() {
  local status=0
  wait -n || status=$?
  running=$((running - 1))
  if [ "$status" -ne 0 ]; then failed=1; fi
}
for name in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then collect_one; fi
  {
    status=0
    run_target "$name" "$seconds" >"$reports/$name" 2>&1 || status=$?
    cat "$reports/$name"
    exit "$status"
  } &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do collect_one; done
exit "$failed"
