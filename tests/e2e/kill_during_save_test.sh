#!/usr/bin/env bash
# The real game killed (SIGKILL) at random moments while it saves: entering the main menu writes a
# fresh saved game over the stored one, again and again. The file must always hold the old image
# or the new one, never a short or mixed file, and the next start must read it without complaint.
source "$(dirname "$0")/lib.sh"
e2e_setup
saved="$WORK/.vextile-game_info"
ABOUT=11

for round in $(seq 12); do
    # The game resumes on the about screen of a game in progress; Enter goes to the main menu.
    write_saved_game "$saved" $ABOUT 1 7 4242 5
    cp "$saved" "$WORK/old.bin"
    start_game
    xdotool key Return
    sleep "0.$((RANDOM % 40))"
    kill -KILL "$GAME_PID"
    wait "$GAME_PID" 2>/dev/null
    GAME_PID=

    size=$(file_size "$saved")
    [ "$size" -eq 1348 ] || fail "round $round: the saved game is $size bytes"
    if ! cmp -s "$saved" "$WORK/old.bin"; then
        [ "$(int_at "$saved" 0)" -eq -1 ] || fail "round $round: neither old nor fresh (state)"
        [ "$(int_at "$saved" 1324)" -eq 0 ] || fail "round $round: neither old nor fresh (score)"
        [ "$(saved_cells "$saved" | tr -s ' ' '\n' | grep -c -- '^-1$')" -eq 280 ] ||
            fail "round $round: neither old nor fresh (well)"
        fresh=$((${fresh:-0} + 1))
    fi
done
[ "${fresh:-0}" -gt 0 ] || fail "no round got as far as the menu's save"

# Whatever the last kill left is read without a corrupt message.
: >"$WORK/stderr"
start_game
stop_game
[ "$STATUS" -eq 0 ] || fail "the start after the kills ended with status $STATUS"
grep -q corrupt "$WORK/stderr" && fail "the start after the kills found a corrupt file"
echo "1 passed, 0 failed"
