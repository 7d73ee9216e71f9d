#!/usr/bin/env bash
# Whole-process load of the real game on an X server: CPU seconds per wall second of the game and
# of the X server (Xvfb), in the main menu and in play, at the default frame-rate ceiling and
# unpaced (--fps 0), over LOAD_SECONDS each. CPU time comes from /proc/<pid>/task/*/schedstat
# (nanoseconds on a core, every thread of the process).
#
#   bench/desktop_load.sh <vextile binary> <media dir>
set -u
BIN=${1:?usage: desktop_load.sh <vextile> <media>}
MEDIA=${2:?usage: desktop_load.sh <vextile> <media>}
SECONDS_EACH=${LOAD_SECONDS:-8}
MENU_BUDGET=0.02   # cores, game plus X server, at the default ceiling
PLAY_BUDGET=0.03

export VEXTILE_BIN=$BIN VEXTILE_MEDIA=$MEDIA
source "$(dirname "$0")/../tests/e2e/lib.sh"

cpu_ns() {
    local pid=$1 total=0 t
    for t in /proc/"$pid"/task/*/schedstat; do
        total=$((total + $(cut -d' ' -f1 "$t" 2>/dev/null || echo 0)))
    done
    echo "$total"
}

# Prints one row: the game's and the X server's cores over SECONDS_EACH, their sum, the verdict.
measure() {
    local name=$1 budget=$2 g0 x0 g1 x1
    g0=$(cpu_ns "$GAME_PID") x0=$(cpu_ns "$XVFB_PID")
    sleep "$SECONDS_EACH"
    g1=$(cpu_ns "$GAME_PID") x1=$(cpu_ns "$XVFB_PID")
    awk -v n="$name" -v g=$((g1 - g0)) -v x=$((x1 - x0)) -v s="$SECONDS_EACH" -v b="$budget" '
        BEGIN {
            game = g / s / 1e9; xs = x / s / 1e9; sum = game + xs
            verdict = b == "" ? "" : sprintf("<= %s: %s", b, sum <= b ? "met" : "NOT MET")
            printf "%-26s %10.4f %10.4f %10.4f  %s\n", n, game, xs, sum, verdict
        }'
}

run_one() {
    local label=$1 menu_budget=$2 play_budget=$3
    shift 3
    e2e_setup
    start_game "$@"
    wait_for_menu menu >/dev/null
    measure "process/menu$label" "$menu_budget"
    key Return  # start a game
    sleep 1
    measure "process/play$label" "$play_budget"
    stop_game
    e2e_teardown
    trap - EXIT
    WORK= XVFB_PID= GAME_PID=
}

echo
echo "Whole-process load under Xvfb, CPU seconds per wall second over ${SECONDS_EACH} s"
printf "%-26s %10s %10s %10s  %s\n" "row" "game" "X server" "together" "budget"
run_one "" "$MENU_BUDGET" "$PLAY_BUDGET"
run_one "_unpaced" "" "" --fps 0
