#!/usr/bin/env bash
# Shared steps of the end-to-end tests: a private X server, the real game in a fresh working
# directory, keys and clicks through xdotool, screenshots through ImageMagick, SIGTERM to stop.
set -u

BIN=${VEXTILE_BIN:?VEXTILE_BIN names the game binary}
MEDIA=${VEXTILE_MEDIA:?VEXTILE_MEDIA names the generated media directory}
SHOTS=${VEXTILE_SHOTS:-}  # where to keep screenshots, if anywhere
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}  # no sound card needed

fail() {
    echo "FAIL: $*"
    [ -n "${WORK:-}" ] && [ -s "$WORK/stderr" ] && { echo "--- game stderr:"; cat "$WORK/stderr"; }
    exit 1
}

# Starts a private Xvfb (it picks a free display itself, so tests may run side by side) with a
# screen of XVFB_SCREEN (400x400x24 unless set); sets DISPLAY and WORK (the game's directory).
e2e_setup() {
    WORK=$(mktemp -d /tmp/vextile-e2e-XXXXXX)
    ln -s "$MEDIA" "$WORK/media"
    : >"$WORK/stderr"
    Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-400x400x24}" -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
    XVFB_PID=$!
    trap e2e_teardown EXIT
    local i n
    for i in $(seq 100); do
        n=$(cat "$WORK/display" 2>/dev/null)
        # The server answering must be ours (still running), not another test's.
        if [ -n "$n" ] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && kill -0 $XVFB_PID 2>/dev/null; then
            export DISPLAY=":$n"
            return 0
        fi
        kill -0 $XVFB_PID 2>/dev/null || break
        sleep 0.1
    done
    fail "no X server could be started"
}

e2e_teardown() {
    [ -n "${GAME_PID:-}" ] && kill -KILL "$GAME_PID" 2>/dev/null
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    [ -n "${WORK:-}" ] && rm -rf "$WORK"
}

# Starts the game in WORK, or in GAME_DIR when set (with the given arguments), and gives its window
# the pointer and the focus.
start_game() {
    (cd "${GAME_DIR:-$WORK}" && exec "$BIN" "$@" 2>>"$WORK/stderr") &
    GAME_PID=$!
    WINDOW=$(timeout 30 xdotool search --sync --name '^Vextile!$' | head -1)
    [ -n "$WINDOW" ] || fail "the game window did not appear on display '${DISPLAY:-}'"
    xdotool mousemove --window "$WINDOW" 2 2
    xdotool windowfocus "$WINDOW"
    sleep 0.5
}

# Sends SIGTERM and waits; sets STATUS.
stop_game() {
    kill -TERM "$GAME_PID"
    wait "$GAME_PID"
    STATUS=$?
    GAME_PID=
}

# Waits for the game to end by itself; sets STATUS.
wait_game_end() {
    local i
    for i in $(seq 100); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$GAME_PID" 2>/dev/null && fail "the game did not end"
    wait "$GAME_PID"
    STATUS=$?
    GAME_PID=
}

key() { xdotool key --delay 80 "$@"; sleep 0.3; }
hold_key() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; sleep 0.2; }
# Moves the pointer to a pixel of the game screen, optionally clicking there.
point_at() { xdotool mousemove --window "$WINDOW" "$1" "$2"; sleep 0.3; }
click_at() { point_at "$1" "$2"; xdotool click 1; sleep 0.4; }

# Screenshot of the game screen into $WORK/NAME.png (and SHOTS/NAME.png when kept).
shot() {
    import -window "$WINDOW" "$WORK/$1.png" 2>/dev/null || fail "no screenshot $1"
    [ -n "$SHOTS" ] && { mkdir -p "$SHOTS"; cp "$WORK/$1.png" "$SHOTS/$1.png"; }
    return 0
}

# "r,g,b" of a pixel of a screenshot.
pixel() {
    convert "$WORK/$1.png" -format \
        "%[fx:int(255*p{$2,$3}.r+.5)],%[fx:int(255*p{$2,$3}.g+.5)],%[fx:int(255*p{$2,$3}.b+.5)]" info:
}

# Waits until the pixel of a fresh screenshot is the colour; fails after a while.
wait_for_pixel() {
    local name=$1 x=$2 y=$3 want=$4 i
    for i in $(seq 60); do
        shot "$name"
        [ "$(pixel "$name" "$x" "$y")" = "$want" ] && return 0
        sleep 0.25
    done
    fail "$name: pixel ($x,$y) is $(pixel "$name" "$x" "$y"), expected $want"
}

# The main menu shows its focus frame (pure red) around the focused button.
MENU_RED="255,0,0"
wait_for_menu() { wait_for_pixel "${1:-menu}" 78 139 "$MENU_RED"; }

# Little-endian signed 32-bit value at an offset of a file.
int_at() {
    od -An -t d4 -j "$2" -N 4 "$1" | tr -d ' '
}
bytes_at() { od -An -t x1 -v -j "$2" -N "$3" "$1" | tr -d ' \n'; }
file_size() { stat -c %s "$1" 2>/dev/null || echo 0; }

# The 280 cells of a saved game, row by row.
saved_cells() { od -An -t d4 -v -j 16 -N 1120 "$1"; }
