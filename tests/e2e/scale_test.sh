#!/usr/bin/env bash
# --scale 2: a 640 x 640 window whose picture is the scale-1 picture with every pixel doubled, and
# a click on a doubled button presses it.
source "$(dirname "$0")/lib.sh"
XVFB_SCREEN=1024x768x24 e2e_setup

start_game --scale 1
wait_for_menu menu1
stop_game
[ "$STATUS" -eq 0 ] || fail "at scale 1 SIGTERM ended with status $STATUS"

start_game --scale 2
geometry=$(xdotool getwindowgeometry "$WINDOW" | sed -n 's/.*Geometry: //p')
[ "$geometry" = 640x640 ] || fail "the window is $geometry, not 640x640"
wait_for_pixel menu2 $((2 * 78)) $((2 * 139 + 1)) "$MENU_RED"
convert "$WORK/menu1.png" -sample 200% "$WORK/doubled.png"
differ=$(compare -metric AE "$WORK/doubled.png" "$WORK/menu2.png" null: 2>&1)
[ "$differ" = 0 ] || fail "$differ pixels of the scale-2 menu differ from the scale-1 menu doubled"

click_at 320 378  # Options, the second button, doubled
wait_for_pixel options 30 100 "$MENU_RED"  # the first check box has the focus
stop_game
[ "$STATUS" -eq 0 ] || fail "at scale 2 SIGTERM ended with status $STATUS"
echo "1 passed, 0 failed"
