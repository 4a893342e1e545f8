# What the command-timing scripts share, sourced by them: `best LABEL COMMAND...` runs the
# command BEST_OF times (default 3) and prints its best wall-clock and CPU (user + system)
# time; on a busy machine the CPU time is the steadier figure. Needs $work (a scratch
# folder), /usr/bin/time and bc.
best() {
  local label="$1"; shift
  local best_wall="" best_cpu="" wall user sys cpu
  for ((run = 0; run < ${BEST_OF:-3}; run++)); do
    /usr/bin/time -o "$work/time" -f "%e %U %S" "$@" >/dev/null
    read -r wall user sys <"$work/time"
    cpu=$(echo "$user + $sys" | bc)
    if [[ -z "$best_wall" ]] || (( $(echo "$wall < $best_wall" | bc) )); then best_wall=$wall; fi
    if [[ -z "$best_cpu" ]] || (( $(echo "$cpu < $best_cpu" | bc) )); then best_cpu=$cpu; fi
  done
  printf '%-22s %6.2f s wall  %6.2f s CPU\n' "$label" "$best_wall" "$best_cpu"
}
