#!/usr/bin/env bash
# The real binary: a start without the font fails with status 1 and the exact message; the command
# line answers help, version and mistakes without starting; without an audio device the game runs
# all the same, silently, until SIGTERM ends it with status 0 and the game saved.
bin=${VEXTILE_BIN:?VEXTILE_BIN names the game binary}
media=${VEXTILE_MEDIA:?VEXTILE_MEDIA names the generated media directory}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

# 1. No font picture.
mkdir -p "$work/nofont/media"
for f in "$media"/*; do
    [ "$(basename "$f")" = vextile_font-320.bmp ] || ln -s "$f" "$work/nofont/media/"
done
(cd "$work/nofont" && timeout 20 "$bin" 2>"$work/nofont.err")
status=$?
[ $status -eq 1 ] || fail "without the font the status is $status, not 1"
grep -qxF "Unable to load font file: ./media/vextile_font-320.bmp" "$work/nofont.err" ||
    fail "missing font message: $(cat "$work/nofont.err")"
[ ! -e "$work/nofont/.vextile-game_info" ] || fail "a failed start wrote the saved game"

# 2. The command line: version and help end at once with status 0; a mistake with status 2, one line
# saying what is wrong and the usage line.
[ "$("$bin" --version)" = "vextile 1.00" ] || fail "--version printed $("$bin" --version)"
"$bin" --help | grep -q -- "--fps N" || fail "--help does not describe --fps"
(cd "$work" && "$bin" --fps 5 >"$work/out" 2>"$work/err")
status=$?
[ $status -eq 2 ] || fail "--fps 5 ended with status $status, not 2"
[ "$(wc -l <"$work/err")" -eq 2 ] && grep -q '^usage: vextile' "$work/err" ||
    fail "--fps 5 wrote: $(cat "$work/err")"
[ ! -s "$work/out" ] && [ ! -e "$work/.vextile-game_info" ] || fail "--fps 5 started the game"

# 3. No audio device: one "Couldn't open audio: " line, and the game runs silently until SIGTERM,
# then ends with status 0 and a saved game, as usual.
mkdir -p "$work/mute"
ln -s "$media" "$work/mute/media"
(cd "$work/mute" && SDL_AUDIODRIVER=no_such_device exec "$bin" 2>"$work/mute.err") &
pid=$!
sleep 2
kill -0 $pid 2>/dev/null || fail "without audio the game ended by itself: $(cat "$work/mute.err")"
kill -TERM $pid
wait $pid
status=$?
[ $status -eq 0 ] || fail "without audio the status is $status, not 0: $(cat "$work/mute.err")"
[ "$(grep -c "^Couldn't open audio: " "$work/mute.err")" -eq 1 ] ||
    fail "no single audio message: $(cat "$work/mute.err")"
size=$(stat -c %s "$work/mute/.vextile-game_info" 2>/dev/null || echo 0)
[ "$size" -eq 1348 ] || fail "saved game is $size bytes, not 1348"
echo "1 passed, 0 failed"
