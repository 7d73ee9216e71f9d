#!/usr/bin/env bash
# The installed game as a player meets it: installed under /usr into a temporary DESTDIR and
# started from / with a fresh HOME, it finds its media beside its executable, shows the menu,
# starts a game, and on SIGTERM saves the game under HOME's .local/share/vextile/, a folder it made
# private to the player.
source "$(dirname "$0")/lib.sh"
e2e_setup
stage=$WORK/stage
export HOME=$WORK/home
unset XDG_DATA_HOME
mkdir -p "$HOME"
DESTDIR=$stage cmake --install "$(dirname "$BIN")" --prefix /usr >"$WORK/install.log" 2>&1 ||
    fail "install failed: $(cat "$WORK/install.log")"
BIN=$stage/usr/bin/vextile
GAME_DIR=/
start_game
wait_for_menu
key Return  # start game
sleep 1
stop_game
[ "$STATUS" -eq 0 ] || fail "SIGTERM ended with status $STATUS"

records=$HOME/.local/share/vextile
saved=$records/.vextile-game_info
[ "$(file_size "$saved")" -eq 1348 ] || fail "no saved game of 1348 bytes in $records: $(ls -A "$HOME")"
[ "$(int_at "$saved" 0)" -eq 2 ] || fail "saved state id is $(int_at "$saved" 0), not play"
[ "$(stat -c %a "$records")" = 700 ] || fail "$records has mode $(stat -c %a "$records"), not 700"
echo "1 passed, 0 failed"
