#!/usr/bin/env bash
# First start: the splash fades in the maker's logo, then the main menu follows by itself; Escape
# at the menu ends the game with status 0 (after idling there without spinning) and leaves a fresh saved game (no state) behind.
source "$(dirname "$0")/lib.sh"
e2e_setup
start_game

sleep 1
shot splash
[ "$(pixel splash 5 5)" = "0,0,0" ] || fail "the splash is not on black"
[ "$(pixel splash 160 160)" != "0,0,0" ] || fail "no logo in the middle of the splash"

wait_for_menu menu  # the logos run about five and a half seconds
[ "$(pixel menu 1 1)" != "0,0,0" ] || fail "the menu has no background"

# Idling in the menu the game sleeps between frames instead of spinning: under a quarter of a
# second of CPU in five seconds (CPU time, so a busy machine cannot make this fail).
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }
before=$(cpu_ticks)
sleep 5
used=$(( $(cpu_ticks) - before ))
hz=$(getconf CLK_TCK)
[ $(( used * 4 )) -lt "$hz" ] || fail "the menu used $used/$hz s of CPU in 5 s"

key Escape
wait_game_end
[ "$STATUS" -eq 0 ] || fail "Escape at the menu ended with status $STATUS"
saved="$WORK/.vextile-game_info"
[ "$(file_size "$saved")" -eq 1348 ] || fail "saved game is $(file_size "$saved") bytes"
[ "$(int_at "$saved" 0)" -eq -1 ] || fail "saved state id is $(int_at "$saved" 0), not -1"
[ "$(int_at "$saved" 4)" -eq 0 ] || fail "a fresh record has no flags"
[ ! -e "$WORK/.vextile-options" ] || fail "options were written without OK"
[ ! -e "$WORK/.vextile-hiscores" ] || fail "scores were written without an entry"

# The next start begins with the splash again.
start_game
sleep 1
shot splash2
[ "$(pixel splash2 160 160)" != "0,0,0" ] || fail "the second start does not show the splash"
stop_game
[ "$STATUS" -eq 0 ] || fail "SIGTERM ended with status $STATUS"
echo "1 passed, 0 failed"
