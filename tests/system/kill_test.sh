#!/usr/bin/env bash
# Kills a saver at random moments and checks the file after each kill.
#   kill_test.sh SAVE_LOOP KIND COUNT
# SAVE_LOOP is the built dravik-save-loop, KIND project|macro|picture|image. Each round
# starts the saver, waits until it saves, kills it with SIGKILL after a random delay of up
# to three saves, then checks that the file opens and holds the old or the new content and
# that the next save succeeds beside whatever the killed one left. Prints the figure and
# fails when any round lost or damaged the file.
set -euo pipefail
saver="$1"
kind="$2"
count="$3"
folder="$(mktemp -d "${TMPDIR:-/tmp}/dravik-kill-$kind.XXXXXX")"
trap 'rm -rf "$folder"' EXIT

# Each step is bounded, so that a hang fails the round instead of the run.
step_limit=120

"$saver" prepare "$kind" "$folder"

# Sets `first_save` (microseconds) from one save that is not killed before it ends.
start_saver() {
  coproc SAVER { exec "$saver" loop "$kind" "$folder"; }
  local line
  if ! read -r -t "$step_limit" -u "${SAVER[0]}" line || [ "$line" != ready ]; then
    echo "the saver did not start" >&2
    exit 1
  fi
}

stop_saver() {
  kill -KILL "$SAVER_PID" 2>/dev/null || true
  wait "$SAVER_PID" 2>/dev/null || true
}

start_saver
read -r -t "$step_limit" -u "${SAVER[0]}" word first_save
stop_saver
if [ "${word:-}" != saved ]; then
  echo "the saver did not save" >&2
  exit 1
fi
span=$((first_save * 3))
"$saver" check "$kind" "$folder" >/dev/null

damaged=0 old=0 new=0 strays=0
started=$SECONDS
for ((round = 1; round <= count; round++)); do
  start_saver
  delay=$(((RANDOM * 32768 + RANDOM) % span))
  sleep "$(printf '%d.%06d' $((delay / 1000000)) $((delay % 1000000)))"
  if ! kill -0 "$SAVER_PID" 2>/dev/null; then
    echo "round $round: the saver stopped by itself" >&2
    damaged=$((damaged + 1))
    wait "$SAVER_PID" || true
    continue
  fi
  stop_saver
  if report="$(timeout "$step_limit" "$saver" check "$kind" "$folder")"; then
    case "$(head -n1 <<<"$report")" in
      old) old=$((old + 1)) ;;
      new) new=$((new + 1)) ;;
    esac
    strays=$((strays + $(grep -c '^stray ' <<<"$report" || true)))
  else
    damaged=$((damaged + 1))
    echo "round $round (killed after ${delay} us): $report" >&2
  fi
done

echo "$kind: $damaged of $count kills lost or damaged the file" \
  "(old content $old, new $new; files left beside it $strays, none in the next save's way;" \
  "one save ${first_save} us; $((SECONDS - started)) s)"
[ "$damaged" -eq 0 ]
