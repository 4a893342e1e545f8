# What the journeys share: a virtual X server of their own, dravik started on it with
# private folders, the mouse and the keys (xdotool), and waits that poll what can be seen
# from outside (the saved project, the screen, the clipboard) until it holds or a
# time-out runs out. Sourced by the journey scripts; ctest runs them (tests/e2e).
#
# Environment: DRAVIK_BIN_DIR (dravik, dravik-cli), DRAVIK_X11_PROBE, DRAVIK_PAGE_SIZE,
# DRAVIK_GRAB_SCREEN; DRAVIK_E2E_TIMEOUT (seconds one wait may take, default 60);
# DRAVIK_E2E_KEEP=1 keeps the scratch folder.

set -euo pipefail

readonly kSkip=77
readonly kTimeout=${DRAVIK_E2E_TIMEOUT:-60}
readonly kScreen=1280x800x24
readonly kCanvasColour=00FFFF  # a new page's background, which nothing else on the screen has

bin=${DRAVIK_BIN_DIR:?DRAVIK_BIN_DIR names the folder of dravik and dravik-cli}
probe=${DRAVIK_X11_PROBE:?DRAVIK_X11_PROBE names dravik-x11-probe}
cli="$bin/dravik-cli"
scratch=""
xvfb_pid=""
app_pids=()

step() { echo "== $*"; }

journey_skip() {
  echo "SKIP: $*"
  exit "$kSkip"
}

journey_fail() {
  echo "FAIL: $*" >&2
  if [ -n "$scratch" ] && [ -n "${DISPLAY:-}" ] && [ -n "${DRAVIK_GRAB_SCREEN:-}" ]; then
    "$DRAVIK_GRAB_SCREEN" "$scratch/failure.png" >/dev/null 2>&1 || true
    echo "screen at the failure: $scratch/failure.png" >&2
  fi
  for log in "$scratch"/*/dravik.log; do
    [ -s "$log" ] && { echo "--- $log" >&2; tail -n 20 "$log" >&2; }
  done
  DRAVIK_E2E_KEEP=1
  exit 1
}

journey_end() {
  local status=$?
  for pid in "${app_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${app_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  if [ -n "$scratch" ]; then
    if [ "${DRAVIK_E2E_KEEP:-0}" = 1 ]; then
      echo "scratch folder kept: $scratch"
    else
      rm -rf "$scratch"
    fi
  fi
  exit "$status"
}

# Runs "$@" until it succeeds; fails the journey after kTimeout seconds.
wait_for() {
  local what=$1
  shift
  local deadline=$((SECONDS + kTimeout))
  until "$@"; do
    if ((SECONDS >= deadline)); then journey_fail "timed out after ${kTimeout}s waiting for $what"; fi
    sleep 0.1
  done
}

# The scratch folder, the X server and the tools; skips when a tool is missing.
journey_begin() {
  for tool in Xvfb xdotool jq; do
    command -v "$tool" >/dev/null || journey_skip "$tool is not installed (scripts/setup.sh installs it)"
  done
  [ -x "$bin/dravik" ] || journey_skip "$bin/dravik is not built"
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/dravik-e2e.XXXXXX")
  trap journey_end EXIT
  mkdir -m 700 "$scratch/work" "$scratch/runtime"
  start_display
}

# An X server of our own; it tells its display number once it is ready.
start_display() {
  mkfifo "$scratch/display"
  Xvfb -displayfd 3 -screen 0 "$kScreen" -nolisten tcp -noreset 3>"$scratch/display" \
    >"$scratch/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local number=""
  read -r -t "$kTimeout" number <"$scratch/display" || true
  [ -n "$number" ] || journey_fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
  export DISPLAY=":$number"
  export QT_QPA_PLATFORM=xcb
  export XDG_RUNTIME_DIR="$scratch/runtime"
  unset WAYLAND_DISPLAY
}

# The visible top-level windows of process $1, largest first, one "id width height" a line.
windows_of() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
    echo "$id $WIDTH $HEIGHT"
  done | sort -k2,2nr -k3,3nr
}

main_window_of() { windows_of "$1" | awk '$2 > 400 && $3 > 300 { print $1; exit }'; }
has_main_window() { [ -n "$(main_window_of "$1")" ]; }

# Whether process $1 shows a menu: a window besides its main window taller than a tool
# tip. (Qt names the window type of a menu only the first time it shows.)
menu_open() {
  local main
  main=$(main_window_of "$1")
  windows_of "$1" | awk -v main="$main" '$1 != main && $3 > 40 { found = 1 } END { exit !found }'
}
menu_closed() { ! menu_open "$1"; }

# Starts dravik as instance $1 (its own home and configuration; the work folder is shared
# by all instances, as on a desktop) with project $2 and waits for its main window.
# Sets app_pid and app_window.
start_dravik() {
  local name=$1 project=$2
  local home="$scratch/$name"
  mkdir -p "$home/config/dravik"
  # English, no grid (the canvas is one colour), no automatic saving.
  cat >"$home/config/dravik/Dravik.ini" <<'INI'
[configure]
Language=0
N2=0
N23=0
AutoSavBakFun=0
AutoSavBakInterval=5
AutoTempBakFun=0
INI
  HOME="$home" XDG_CONFIG_HOME="$home/config" DRAVIK_WORKDIR="$scratch/work" \
    "$bin/dravik" "$project" >"$home/dravik.log" 2>&1 &
  app_pid=$!
  app_pids+=("$app_pid")
  wait_for "the main window of $name" has_main_window "$app_pid"
  app_window=$(main_window_of "$app_pid")
  # Without a window manager nothing gives the window the keyboard: we do.
  xdotool windowfocus --sync "$app_window"
}

# Brings instance ($1 its process, $2 its main window) to the front with the keyboard,
# as a click on its task-bar entry would; the waits and tools act on it from then on.
switch_to() {
  app_pid=$1
  app_window=$2
  xdotool windowraise "$app_window"
  xdotool windowfocus --sync "$app_window"
}

# ---- the page canvas: page coordinates (what the dialogs and dravik-cli show) ----

canvas_shown() {
  local found
  found=$("$probe" find "$kCanvasColour") || return 1
  read -r canvas_x canvas_y canvas_w canvas_h <<<"$found"
  [ "$canvas_w" = "$1" ] && [ "$canvas_h" = "$2" ]
}

# Waits for the page canvas of width $1 and height $2 (empty, so all of it shows) and
# remembers where it is.
find_canvas() { wait_for "a ${1}x$2 page canvas" canvas_shown "$1" "$2"; }

pointer_to() { xdotool mousemove --sync $((canvas_x + $1)) $((canvas_y + $2)); }

# A click at page point ($1, $2), with modifier key $3 held if given.
click_at() {
  pointer_to "$1" "$2"
  if [ $# -ge 3 ]; then
    xdotool keydown "$3" click 1 keyup "$3"
  else
    xdotool click 1
  fi
}

# Presses at ($1, $2), moves in steps to ($3, $4) and releases there.
drag() {
  local x1=$1 y1=$2 x2=$3 y2=$4 n
  pointer_to "$x1" "$y1"
  xdotool mousedown 1
  for n in 1 2 3 4; do pointer_to $((x1 + (x2 - x1) * n / 4)) $((y1 + (y2 - y1) * n / 4)); done
  xdotool mouseup 1
}

# ---- tool buttons: centres relative to the main window's top-left corner, as the tool
# bars lay them out on this screen (the standard bar above, the edit bar below it).
# shellcheck disable=SC2034  # the journeys use them
readonly kPasteTool="200 38" kUndoTool="446 38" kRedoTool="479 38" kAlignTopsTool="134 77"

# Whether the tool button at $1 $2 is enabled: its icon is drawn in black, a disabled
# one in grey.
tool_enabled() {
  eval "$(xdotool getwindowgeometry --shell "$app_window")"
  local black
  black=$("$probe" count 000000 $((X + $1 - 12)) $((Y + $2 - 12)) 24 24)
  [ "$black" -gt 10 ]
}

# Waits until the tool button at $1 $2 ($3 names it) is enabled.
wait_tool() { wait_for "$3 enabled" tool_enabled "$1" "$2"; }

# Clicks the tool button at $1 $2 once it is enabled ($3 names it).
click_tool() {
  wait_tool "$1" "$2" "$3"
  eval "$(xdotool getwindowgeometry --shell "$app_window")"
  xdotool mousemove --sync $((X + $1)) $((Y + $2)) click 1
}

# ---- menus and keys ----

# Opens a menu with key $1 (alt+e), presses the keys that follow in it (the last one
# chooses the command) and waits until the menu has closed.
menu_command() {
  xdotool key "$1"
  shift
  wait_for "the menu to open" menu_open "$app_pid"
  xdotool key "$@"
  wait_for "the menu to close" menu_closed "$app_pid"
}

key() { xdotool key "$@"; }

# ---- what the project holds ----

# Whether jq filter $2 holds for `dravik-cli info --json` of project $1.
project_holds() { "$cli" info --json "$1" 2>/dev/null | jq -e "$2" >/dev/null 2>&1; }

# Saves (Ctrl+S) and waits until the saved project $1 satisfies jq filter $2.
save_and_expect() {
  local project=$1 filter=$2 what=$3
  key ctrl+s
  wait_for "$what" project_holds "$project" "$filter"
}

# The element of page 1 in slot $2 of project $1, as JSON.
element() { "$cli" info --json "$1" | jq -c ".pages[0].elements[] | select(.slot == $2)"; }

clipboard_is() { [ "$("$probe" clipboard 2>/dev/null)" = "$1" ]; }
clipboard_starts() { [[ "$("$probe" clipboard 2>/dev/null)" == "$1"* ]]; }

# Saves the whole screen as PNG $1.
screenshot() { "${DRAVIK_GRAB_SCREEN:?DRAVIK_GRAB_SCREEN names dravik-grab-screen}" "$1"; }
