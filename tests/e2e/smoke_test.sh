#!/usr/bin/env bash
# Start-up, menu and play in one short run: the splash, the main menu, a new game whose pieces
# land, a pause, SIGTERM and a saved game in play. ctest runs it on the SDL 1.2 the game was
# built with and again on Debian's compatibility build over SDL 2, unpacked into the folder that
# VEXTILE_SDL12_COMPAT names: the game must have loaded that SDL 1.2 and that SDL 2.
source "$(dirname "$0")/lib.sh"

# The file a library of the running game was mapped from.
mapped() { awk -v lib="/$1" 'index($6, lib) { print $6; exit }' "/proc/$GAME_PID/maps"; }

compat=${VEXTILE_SDL12_COMPAT:-}
if [ -n "$compat" ]; then
    export LD_LIBRARY_PATH="$compat/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
fi

e2e_setup
start_game
sdl12=$(mapped libSDL-1.2.so)
sdl2=$(mapped libSDL2-2.0.so)
echo "SDL 1.2 from ${sdl12:-nowhere}, SDL 2 from ${sdl2:-nowhere}"
if [ -n "$compat" ]; then
    root=$(readlink -f "$compat")/root/
    [[ "$sdl12" == "$root"* ]] || fail "SDL 1.2 came from '$sdl12', not from $root"
    [[ "$sdl2" == "$root"* ]] || fail "SDL 2 came from '$sdl2', not from $root"
else
    [ -n "$sdl12" ] && dpkg -S "$sdl12" 2>/dev/null | grep -q '^libsdl1\.2debian:' ||
        fail "SDL 1.2 came from '$sdl12', not from the classic libsdl1.2debian"
fi

sleep 1
shot splash
[ "$(pixel splash 5 5)" = "0,0,0" ] || fail "the splash is not on black"
[ "$(pixel splash 160 160)" != "0,0,0" ] || fail "no logo in the middle of the splash"
wait_for_menu menu
[ "$(pixel menu 1 1)" != "0,0,0" ] || fail "the menu has no background"

key Return  # start game
sleep 0.5
hold_key Left 0.3
key Up
hold_key Down 1.5  # the first piece lands
hold_key Right 0.3
hold_key Down 1.5  # and the second
key space          # pause
sleep 0.5
shot paused
[ "$(pixel paused 112 160)" != "0,0,0" ] || fail "the paused banner is missing"
stop_game
[ "$STATUS" -eq 0 ] || fail "SIGTERM ended with status $STATUS"

saved="$WORK/.vextile-game_info"
[ "$(file_size "$saved")" -eq 1348 ] || fail "saved game is $(file_size "$saved") bytes"
[ "$(int_at "$saved" 0)" -eq 2 ] || fail "saved state id is $(int_at "$saved" 0), not play"
(( $(int_at "$saved" 4) & 0x200 )) || fail "the saved game is not paused"
landed=$(saved_cells "$saved" | tr -s " " "\n" | grep -cvx -- "-1\|")
[ "$landed" -ge 1 ] || fail "no block landed in the well"
echo "1 passed, 0 failed"
