#!/usr/bin/env bash
# The options screen: tick and untick with keys and mouse; OK writes ".vextile-options" with the
# right bits, Cancel writes nothing, and the options are kept after a restart.
source "$(dirname "$0")/lib.sh"
e2e_setup
options="$WORK/.vextile-options"

open_options() {
    wait_for_menu
    key Down   # focus on Options
    key Return
    sleep 0.5
}

start_game
key Escape
open_options
shot options
key space          # tick random colours (focus on the first box)
point_at 24 82     # the pointer takes the focus to the second box...
click_at 24 82     # ...and a click unticks special blocks
key Down           # third box
key space          # tick uncontrolled drop
key Down           # OK
key Return
wait_for_menu menu_after_ok
[ "$(file_size "$options")" -eq 36 ] || fail "options file is $(file_size "$options") bytes"
[ "$(int_at "$options" 0)" -eq 9 ] || fail "option bits are $(int_at "$options" 0), not 9"
[ "$(int_at "$options" 4)" -eq 33 ] || fail "special chance is $(int_at "$options" 4), not 33"
[ "$(bytes_at "$options" 8 28)" = "$(printf '0%.0s' $(seq 56))" ] || fail "reserved bytes changed"
cp "$options" "$WORK/after_ok.bin"

# Cancel drops a change and writes nothing.
open_options
key space
click_at 240 292   # Cancel
wait_for_menu menu_after_cancel
cmp -s "$options" "$WORK/after_ok.bin" || fail "Cancel changed the options file"
key Escape
wait_game_end
[ "$STATUS" -eq 0 ] || fail "Escape at the menu ended with status $STATUS"

# After a restart the screen shows the kept options: first box ticked, second unticked.
start_game
key Escape
open_options
shot options_kept
convert "$WORK/options_kept.png" -crop 16x16+16+45 +repage "$WORK/box0.png"
convert "$WORK/options_kept.png" -crop 16x16+16+75 +repage "$WORK/box1.png"
[ "$(compare -metric AE "$WORK/box0.png" "$MEDIA/checkbox1-320.bmp" null: 2>&1)" = "0" ] ||
    fail "the first box is not shown ticked after a restart"
[ "$(compare -metric AE "$WORK/box1.png" "$MEDIA/checkbox0-320.bmp" null: 2>&1)" = "0" ] ||
    fail "the second box is not shown unticked after a restart"
stop_game
[ "$STATUS" -eq 0 ] || fail "SIGTERM ended with status $STATUS"
echo "1 passed, 0 failed"
