#!/usr/bin/env bash
# A user's editing session with the real dravik on a virtual X server: open a project,
# place one element of each of the sixteen kinds from the menus, move one, resize one,
# lock one from the Edit menu and nudge it, align a group from the tool bar, undo and
# redo the alignment, copy and paste one element and a group, save; then dravik-cli
# shows every element where the session left it.
#
# DRAVIK_E2E_SCREENSHOT=1 also writes docs/screenshots/editing_page.png (or the PNG it
# names) of the finished page with the pasted group selected.
source "$(dirname "$0")/journey_lib.sh"

readonly kPageWidth=600
readonly kPageHeight=380

journey_begin
project="$scratch/journey.QX3"
"$cli" new "$project" >/dev/null
"${DRAVIK_PAGE_SIZE:?DRAVIK_PAGE_SIZE names dravik-e2e-page-size}" "$project" "$kPageWidth" "$kPageHeight"

step "open the project"
start_dravik editor "$project"
find_canvas "$kPageWidth" "$kPageHeight"

# ---- placing: the menu keys of each kind, where it goes, and its kind code. The Draw
# menu is reached from the Elements menu (Alt+D is also the page list's Delete button).
# Elements take the free slots in the order they are placed (dynamic text from 135).
placements=(
  # keys                    x    y   kind
  "alt+l t                  10   10  1"   # text            slot 0
  "alt+l r                  100  10  2"   # register        slot 1
  "alt+l l                  170  10  3"   # lamp            slot 2
  "alt+l b                  200  10  34"  # bit switch      slot 3
  "alt+l f                  290  10  8"   # function key    slot 4
  "alt+l p                  400  10  6"   # picture         slot 5
  "alt+l d                  10   60  7"   # dynamic text    slot 135
  "alt+l a                  160  60  9"   # ASCII Chinese   slot 6
  "alt+l e                  310  60  10"  # date            slot 7
  "alt+l m                  10   110 11"  # time            slot 8
  "alt+l g                  190  110 5"   # bar graph       slot 9
  "alt+l Left c             230  110 25"  # scale           slot 10
  "alt+l Left e             280  110 26"  # ellipse         slot 11
  "alt+l Left l             350  110 27"  # line            slot 12
  "alt+l Left r             420  110 20"  # rectangle       slot 13
  "alt+l h                  10   230 4"   # trend chart     slot 14
)
readonly kEllipse=11 kRectangle=13

step "place one element of each kind"
placed="["
for row in "${placements[@]}"; do
  read -r -a fields <<<"$row"
  n=${#fields[@]}
  kind=${fields[n - 1]} y=${fields[n - 2]} x=${fields[n - 3]}
  menu_command "${fields[@]:0:n-3}"
  pointer_to $((x + 7)) $((y + 7))  # the ghost follows the pointer
  # Shift: placed without the property dialog.
  click_at "$x" "$y" shift
  placed+="[$kind,$x,$y],"
done
placed="${placed%,}]"
save_and_expect "$project" "([.pages[0].elements[] | [.kind, .left, .top]] | sort) == ($placed | sort)" \
  "sixteen elements, one of each kind, where they were placed"

step "move the rectangle with the mouse"
drag 470 135 490 145
save_and_expect "$project" "[.pages[0].elements[] | select(.slot == $kRectangle) | .left, .top] == [440, 120]" \
  "the rectangle moved by 20 and 10"

step "resize the ellipse by its bottom-right handle"
click_at 305 135  # selects it
# The handle's centre is the element's bottom-right pixel, one inside its edge, and
# sizes are kept even: dragged 20 and 10 further, the ellipse is 68 x 58.
drag 329 159 349 169
save_and_expect "$project" "[.pages[0].elements[] | select(.slot == $kEllipse) | .left, .top, .width, .height] == [280, 110, 68, 58]" \
  "the ellipse 68 x 58"

step "lock the ellipse from the Edit menu; it stays selected and nudges"
menu_command alt+e l
key Right
save_and_expect "$project" ".pages[0].elements[] | select(.slot == $kEllipse) | .locked and .left == 282" \
  "the ellipse locked, still selected and nudged 2 pixels right"
menu_command alt+e n
save_and_expect "$project" ".pages[0].elements[] | select(.slot == $kEllipse) | .locked | not" \
  "the ellipse unlocked"

step "align the group's tops on its anchor from the tool bar"
# A rubber band around the ellipse, the line and the rectangle; the ellipse (lowest
# slot) is the anchor.
drag 270 100 560 185
click_tool $kAlignTopsTool "Align tops"
tops='[.pages[0].elements[] | select(.slot == 11 or .slot == 12 or .slot == 13) | .top]'
save_and_expect "$project" "$tops == [110, 110, 110]" "the group's tops on the ellipse's"

step "undo and redo the alignment"
wait_tool $kUndoTool Undo
key ctrl+z
save_and_expect "$project" "$tops == [110, 110, 120]" "the rectangle back at 120"
wait_tool $kRedoTool Redo
key ctrl+y
save_and_expect "$project" "$tops == [110, 110, 110]" "the alignment done again"

step "copy and paste one element"
click_at 180 20  # the lamp
key ctrl+c
wait_for "the lamp's marker on the clipboard" clipboard_is "zr_QX:02"
wait_tool $kPasteTool Paste
key ctrl+v
key ctrl+v
lamps='[.pages[0].elements[] | select(.kind == 3) | [.left, .top]]'
save_and_expect "$project" "$lamps == [[170, 10], [180, 16], [190, 22]]" \
  "two copies of the lamp, 10 and 6 further each"

step "copy and paste the group"
drag 270 100 560 185
key ctrl+c
wait_for "an area marker on the clipboard" clipboard_starts "zr_QX:EE03"
key ctrl+v
save_and_expect "$project" '[.pages[0].elements[] | select(.kind == 26 or .kind == 27 or .kind == 20) | [.kind, .left, .top]] | sort ==
  ([[26,282,110],[27,350,110],[20,440,110],[26,292,116],[27,360,116],[20,450,116]] | sort)' \
  "the group pasted 10 and 6 further"

step "dravik-cli shows the page"
summary=$("$cli" info "$project")
echo "$summary"
grep -q "page   1  Window1  (21 elements)" <<<"$summary" || journey_fail "info does not show 21 elements"

if [ -n "${DRAVIK_E2E_SCREENSHOT:-}" ]; then
  shot=$DRAVIK_E2E_SCREENSHOT
  if [ "$shot" = 1 ]; then shot="$(cd "$(dirname "$0")/../.." && pwd)/docs/screenshots/editing_page.png"; fi
  # The mouse away from the elements, so no hint covers them.
  xdotool mousemove --sync 1100 700
  screenshot "$shot"
  echo "wrote $shot"
fi
step "done"
