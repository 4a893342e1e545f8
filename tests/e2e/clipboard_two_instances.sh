#!/usr/bin/env bash
# Two dravik processes on one desktop share the element clipboard: an element and a group
# copied in one are pasted into the other's page, and an element copied there comes back,
# through the system clipboard's marker and the work folder's MCopy.Temp.
source "$(dirname "$0")/journey_lib.sh"

journey_begin
first="$scratch/first.QX3"
second="$scratch/second.QX3"
for project in "$first" "$second"; do "$cli" new "$project" >/dev/null; done
# Pages of different sizes tell the two windows apart on the screen.
"${DRAVIK_PAGE_SIZE:?DRAVIK_PAGE_SIZE names dravik-e2e-page-size}" "$first" 600 380
"$DRAVIK_PAGE_SIZE" "$second" 500 300

step "start two instances"
start_dravik first "$first"
first_pid=$app_pid first_window=$app_window
start_dravik second "$second"
second_pid=$app_pid second_window=$app_window

step "place a rectangle and an ellipse in the first"
switch_to "$first_pid" "$first_window"
find_canvas 600 380
menu_command alt+l Left r
click_at 40 40 shift
menu_command alt+l Left e
click_at 200 40 shift
save_and_expect "$first" '[.pages[0].elements[] | [.kind, .left, .top]] == [[20, 40, 40], [26, 200, 40]]' \
  "the first project's two elements"

step "copy the rectangle in the first, paste it in the second"
click_at 60 60
key ctrl+c
wait_for "the rectangle's marker on the clipboard" clipboard_is "zr_QX:00"
switch_to "$second_pid" "$second_window"
find_canvas 500 300
wait_tool $kPasteTool "Paste in the second"
key ctrl+v
save_and_expect "$second" '[.pages[0].elements[] | [.kind, .left, .top, .width, .height]] == [[20, 50, 46, 100, 50]]' \
  "the rectangle in the second, 10 and 6 further"

# A page copy greys element Paste in every instance; the next element or group marker
# enables it again, so an enabled Paste button then shows that the marker has arrived.
step "copy both as a group in the first, paste them in the second"
key shift+c
wait_for "the second's page marker on the clipboard" clipboard_is "zr_QX:FF"
switch_to "$first_pid" "$first_window"
drag 20 20 300 120
key ctrl+c
wait_for "an area marker with two slots on the clipboard" clipboard_starts "zr_QX:EE02"
switch_to "$second_pid" "$second_window"
wait_tool $kPasteTool "Paste in the second"
key ctrl+v
save_and_expect "$second" '[.pages[0].elements[] | [.kind, .left, .top]] == [[20, 50, 46], [20, 50, 46], [26, 210, 46]]' \
  "the group in the second"

step "copy the ellipse in the second, paste it back in the first"
switch_to "$first_pid" "$first_window"
key shift+c
wait_for "the first's page marker on the clipboard" clipboard_is "zr_QX:FF"
switch_to "$second_pid" "$second_window"
key Escape  # the pasted group is selected: a click on a member would take the group
click_at 230 70
key ctrl+c
wait_for "the ellipse's marker on the clipboard" clipboard_is "zr_QX:02"
switch_to "$first_pid" "$first_window"
wait_tool $kPasteTool "Paste in the first"
key ctrl+v
save_and_expect "$first" '[.pages[0].elements[] | [.kind, .left, .top]] == [[20, 40, 40], [26, 200, 40], [26, 220, 52]]' \
  "the ellipse back in the first, 10 and 6 further than in the second"
step "done"
