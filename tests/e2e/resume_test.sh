#!/usr/bin/env bash
# A game from the menu, some moves and a pause; SIGTERM; the next start shows the same game
# paused, and a second SIGTERM writes back the same well, pieces, level and score.
source "$(dirname "$0")/lib.sh"
e2e_setup
start_game
key Escape  # skip the splash
wait_for_menu
key Return  # start game
sleep 1
hold_key Left 0.3
key Up
hold_key Down 1.5  # the first piece lands
hold_key Right 0.3
key Up
sleep 0.5
key space   # pause
sleep 0.5
shot paused
stop_game
[ "$STATUS" -eq 0 ] || fail "SIGTERM ended with status $STATUS"

saved="$WORK/.vextile-game_info"
[ "$(file_size "$saved")" -eq 1348 ] || fail "saved game is $(file_size "$saved") bytes"
[ "$(int_at "$saved" 0)" -eq 2 ] || fail "saved state id is $(int_at "$saved" 0), not play"
flags=$(int_at "$saved" 4)
(( flags & 0x200 )) || fail "the saved game is not paused (flags $flags)"
(( flags & 0x1 )) || fail "the saved game is not in progress (flags $flags)"
[ "$(int_at "$saved" 8)" -eq 1 ] || fail "level $(int_at "$saved" 8), not 1"
well=$(bytes_at "$saved" 16 1120)
[ "$(echo "$well" | grep -o ffffffff | wc -l)" -lt 280 ] || fail "no block landed in the well"
cp "$saved" "$WORK/first.bin"

start_game
sleep 1
shot resumed
# The paused banner stands in the middle of the well.
[ "$(pixel resumed 112 160)" != "0,0,0" ] || fail "the resumed game shows no paused banner"
key Left
key Down
stop_game
[ "$STATUS" -eq 0 ] || fail "second SIGTERM ended with status $STATUS"

second="$WORK/.vextile-game_info"
for range in "0 1220" "1220 28" "1268 28" "1316 24"; do
    set -- $range
    [ "$(bytes_at "$WORK/first.bin" "$1" "$2")" = "$(bytes_at "$second" "$1" "$2")" ] ||
        fail "bytes $1..$(($1 + $2 - 1)) changed while the game was paused"
done
echo "1 passed, 0 failed"
