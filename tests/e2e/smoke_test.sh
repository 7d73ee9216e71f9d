#!/usr/bin/env bash
# The real game from a first start to the next: the splash, the main menu (idling there without
# spinning), a new game whose pieces land, a pause, SIGTERM and the saved game in play; the next
# start resumes it paused and a second SIGTERM writes the same game back; Escape on the menu ends
# the game with status 0 and leaves a fresh saved game. ctest runs it on the SDL 1.2 the game was
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
wait_for_menu menu  # the logos run about five and a half seconds
[ "$(pixel menu 1 1)" != "0,0,0" ] || fail "the menu has no background"

# Idling in the menu the game sleeps between frames instead of spinning: under a quarter of a
# second of CPU in five seconds (CPU time, so a busy machine cannot make this fail). On the
# compatibility build SDL 2's own drawing under Xvfb takes about a tenth of a CPU: not measured.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }
if [ -z "$compat" ]; then
    before=$(cpu_ticks)
    sleep 5
    used=$(($(cpu_ticks) - before))
    hz=$(getconf CLK_TCK)
    [ $((used * 4)) -lt "$hz" ] || fail "the menu used $used/$hz s of CPU in 5 s"
fi

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
flags=$(int_at "$saved" 4)
(((flags & 0x201) == 0x201)) || fail "the saved game is not in progress and paused (flags $flags)"
[ "$(int_at "$saved" 8)" -eq 1 ] || fail "level $(int_at "$saved" 8), not 1"
landed=$(saved_cells "$saved" | tr -s " " "\n" | grep -cvx -- "-1\|")
[ "$landed" -ge 1 ] || fail "no block landed in the well"
cp "$saved" "$WORK/first.bin"

# The next start shows the same game, paused; keys other than space change nothing.
start_game
sleep 1
shot resumed
[ "$(pixel resumed 112 160)" != "0,0,0" ] || fail "the resumed game shows no paused banner"
key Left
key Down
stop_game
[ "$STATUS" -eq 0 ] || fail "second SIGTERM ended with status $STATUS"
for range in "0 1220" "1220 28" "1268 28" "1316 24"; do
    set -- $range
    [ "$(bytes_at "$WORK/first.bin" "$1" "$2")" = "$(bytes_at "$saved" "$1" "$2")" ] ||
        fail "bytes $1..$(($1 + $2 - 1)) changed while the game was paused"
done

# Escape leaves the game for the menu, and Escape on the menu ends the program: status 0, a fresh
# saved game (no state, no flags) and no other record file.
start_game
key Escape
wait_for_menu menu_again
key Escape
wait_game_end
[ "$STATUS" -eq 0 ] || fail "Escape at the menu ended with status $STATUS"
[ "$(file_size "$saved")" -eq 1348 ] || fail "saved game is $(file_size "$saved") bytes"
[ "$(int_at "$saved" 0)" -eq -1 ] || fail "saved state id is $(int_at "$saved" 0), not -1"
[ "$(int_at "$saved" 4)" -eq 0 ] || fail "a fresh record has no flags"
[ ! -e "$WORK/.vextile-options" ] || fail "options were written without OK"
[ ! -e "$WORK/.vextile-hiscores" ] || fail "scores were written without an entry"
echo "1 passed, 0 failed"
