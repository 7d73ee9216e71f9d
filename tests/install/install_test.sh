#!/usr/bin/env bash
# `cmake --install` into a temporary DESTDIR under /usr: the game, every generated media file, a
# desktop entry and metainfo that validate and point at what was installed, icons drawn at every
# size, and a manual page that renders without warnings and documents every option the game has.
set -u
build=${VEXTILE_BUILD:?VEXTILE_BUILD names the build folder}
media=${VEXTILE_MEDIA:?VEXTILE_MEDIA names the generated media folder}
dest=$(mktemp -d /tmp/vextile-install-XXXXXX)
trap 'rm -rf "$dest"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR=$dest cmake --install "$build" --prefix /usr >"$dest/install.log" 2>&1 ||
    fail "install failed: $(cat "$dest/install.log")"
usr=$dest/usr
[ -x "$usr/bin/vextile" ] || fail "no executable usr/bin/vextile"
[ "$(ASAN_OPTIONS=detect_leaks=0 "$usr/bin/vextile" --version)" = "vextile 1.00" ] ||
    fail "the installed game does not answer --version"
[ -z "$(find "$dest" -mindepth 1 -maxdepth 1 ! -name usr ! -name install.log)" ] ||
    fail "installed outside the prefix: $(ls "$dest")"

# Every generated file, byte for byte, and nothing of the build's own.
for f in "$media"/*; do
    cmp -s "$f" "$usr/share/vextile/media/$(basename "$f")" ||
        fail "share/vextile/media/$(basename "$f") is missing or differs"
done
[ "$(ls -A "$usr/share/vextile/media" | wc -l)" -eq "$(ls "$media" | wc -l)" ] ||
    fail "share/vextile/media holds files that are not media"

# The desktop entry and the metainfo validate; the metainfo's launchable entry must exist too.
entry=$usr/share/applications/vextile.desktop
desktop-file-validate "$entry" || fail "the desktop entry does not validate"
appstreamcli validate-tree --no-net "$dest" || fail "the metainfo does not validate"
grep -qx 'Categories=Game;BlocksGame;' "$entry" || fail "the desktop entry's categories"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$usr/bin/$exec_name" ] || fail "the desktop entry starts '$exec_name', which is not installed"
icon=$(sed -n 's/^Icon=//p' "$entry")

# The icons: PNG with alpha, transparent in the corners, an opaque plate in the middle, a block
# of the game's orange in the bottom row and purple top left, at every size (drawn, not scaled).
# "r,g,b,a" of a pixel of a picture.
pixel() {
    local p="p{$2,$3}" format="" c
    for c in r g b a; do format+="${format:+,}%[fx:int(255*$p.$c+.5)]"; done
    convert "$1" -format "$format" info:
}
for n in 32 64 128 256; do
    png=$usr/share/icons/hicolor/${n}x$n/apps/$icon.png
    [ -f "$png" ] || fail "no ${n}x$n icon named '$icon'"
    [ "$(identify -format '%m %w %h %[channels]' "$png")" = "PNG $n $n srgba" ] ||
        fail "${n}x$n icon: $(identify -format '%m %w %h %[channels]' "$png")"
    [ "$(pixel "$png" 0 0 | cut -d, -f4)" -eq 0 ] || fail "${n}x$n icon: the corner is not clear"
    [ "$(pixel "$png" $((n / 2)) $((n / 2)) | cut -d, -f4)" -eq 255 ] ||
        fail "${n}x$n icon: the middle is not opaque"
    cell=$((n * 7 / 32)) origin=$(((n - 4 * n * 7 / 32) / 2))
    IFS=, read -r r g b _ <<<"$(pixel "$png" $((origin + cell * 3 / 2)) $((origin + cell * 7 / 2)))"
    [ "$r" -gt 200 ] && [ "$g" -gt 80 ] && [ "$g" -lt 180 ] && [ "$b" -lt 80 ] ||
        fail "${n}x$n icon: the bottom row is $r,$g,$b, not orange"
    IFS=, read -r r g b _ <<<"$(pixel "$png" $((origin + cell / 2)) $((origin + cell / 2)))"
    [ "$b" -gt "$g" ] && [ "$r" -gt "$g" ] && [ "$b" -gt 150 ] ||
        fail "${n}x$n icon: the top left block is $r,$g,$b, not purple"
done

# The manual page renders without a warning and names every option of the game's --help.
page=$usr/share/man/man6/vextile.6
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >"$dest/page.txt")
[ -z "$warnings" ] || fail "man warns: $warnings"
grep -q '^OPTIONS' "$dest/page.txt" && grep -q '^KEYS' "$dest/page.txt" &&
    grep -q '^FILES' "$dest/page.txt" || fail "the manual page lacks OPTIONS, KEYS or FILES"
options=$(ASAN_OPTIONS=detect_leaks=0 "$usr/bin/vextile" --help | grep -o -- '--[a-z]*' | sort -u)
[ -n "$options" ] || fail "the game's --help names no option"
for option in $options; do
    # An item of its own: the option at the start of an indented tag line.
    grep -qE -- "^ +(-[a-z], )?$option( |\$)" "$dest/page.txt" ||
        fail "the manual page does not describe $option"
done
for file in .vextile-options .vextile-hiscores .vextile-game_info; do
    grep -q -- "$file" "$dest/page.txt" || fail "the manual page does not name $file"
done
echo "1 passed, 0 failed"
