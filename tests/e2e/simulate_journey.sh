#!/usr/bin/env bash
# Simulating from Dravik with the real programs on a virtual X server: F9 compiles the
# bundled example into the work folder and starts tolvesk on it; in the simulator's window
# the panel's keys are pressed on the keyboard: F2 jumps to the settings page, Down gives
# the first entry field the focus, Enter opens it, 1 2 3 are typed and Enter confirms;
# closing the simulator keeps the register in the file beside the image.
source "$(dirname "$0")/journey_lib.sh"

readonly kSimulatorTitle="Tolvesk panel simulator"

journey_begin
example="$bin/examples/茶叶整形机"
[ -f "$example.QX3" ] || journey_skip "the bundled example is not built"
project="$scratch/tea.QX3"
cp "$example.QX3" "$project"
cp "$example.M" "$scratch/tea.M"
cp "$example.PIC" "$scratch/tea.PIC"

simulator_window() { xdotool search --onlyvisible --name "$kSimulatorTitle" 2>/dev/null | head -n 1; }
has_simulator_window() { [ -n "$(simulator_window)" ]; }
registers_hold() { grep -qx "$1" "$scratch/work/QX.bin.registers" 2>/dev/null; }
simulator_gone() { ! has_simulator_window; }

step "open the example and simulate it off-line (F9)"
start_dravik designer "$project"
key F9
wait_for "the simulator's window" has_simulator_window
window=$(simulator_window)
app_pids+=("$(xdotool getwindowpid "$window")")
[ -f "$scratch/work/QX.bin" ] || journey_fail "F9 did not compile QX.bin into the work folder"

step "enter 12.3 into the first field of the settings page with the panel's keys"
xdotool windowfocus --sync "$window"
key F2 Down Return 1 2 3 Return
key ctrl+q
wait_for "the simulator to close" simulator_gone
wait_for "D200=1230 in the register file" registers_hold "D200=1230"
echo "PASS"
