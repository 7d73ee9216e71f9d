#!/usr/bin/env bash
# A finished game whose score earns a place: type a name, accept, find it in ".vextile-hiscores"
# and on the list. A score that earns none goes straight to the list and writes nothing.
source "$(dirname "$0")/lib.sh"
e2e_setup
scores="$WORK/.vextile-hiscores"
GAME_OVER=2

# A saved game that ended with 5000 points: the best score of the default table is 1000.
write_saved_game "$WORK/.vextile-game_info" 2 $GAME_OVER 4 5000
start_game
shot game_over
key Return
sleep 0.5
shot name_entry
type_text "Adx"
key BackSpace
type_text "a L"  # space cannot be typed into a name
key Return
sleep 0.5
shot score_list
[ "$(file_size "$scores")" -eq 160 ] || fail "score file is $(file_size "$scores") bytes"
[ "$(bytes_at "$scores" 0 12)" = "4164614c0000000000000000" ] ||
    fail "row 0 name is $(bytes_at "$scores" 0 12), not AdaL"
[ "$(int_at "$scores" 12)" -eq 5000 ] || fail "row 0 score is $(int_at "$scores" 12)"
[ "$(int_at "$scores" 28)" -eq 1000 ] || fail "the old best did not move to row 1"
[ "$(int_at "$scores" 156)" -eq 200 ] || fail "the old tenth row was not dropped"
key Return
wait_for_menu
stop_game
[ "$STATUS" -eq 0 ] || fail "SIGTERM ended with status $STATUS"

# 50 points earn no place: the tenth row holds 200 now.
cp "$scores" "$WORK/before.bin"
write_saved_game "$WORK/.vextile-game_info" 2 $GAME_OVER 1 50
start_game
key Return
sleep 0.8
shot no_place_list
key Return
wait_for_menu menu_after_no_place
cmp -s "$scores" "$WORK/before.bin" || fail "a score without a place changed the score file"
stop_game
[ "$STATUS" -eq 0 ] || fail "SIGTERM ended with status $STATUS"
echo "1 passed, 0 failed"
