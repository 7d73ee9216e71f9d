#!/usr/bin/env bash
# `make package`'s steps in a Release build of their own: a .deb under /usr, stripped, with its
# dependencies found by dpkg-shlibdeps, and no lintian error.
set -u
src=$(cd "$(dirname "$0")/../.." && pwd)
build=${VEXTILE_PACKAGE_BUILD:?VEXTILE_PACKAGE_BUILD names the package build folder}
fail() { echo "FAIL: $*"; exit 1; }

deb=$("$src/scripts/package" "$build" 2>"$build.log") || fail "no package: $(cat "$build.log")"
[ -f "$deb" ] || fail "scripts/package printed '$deb'"
dpkg-deb -f "$deb" Section | grep -qx games || fail "section $(dpkg-deb -f "$deb" Section)"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl1.2debian libsdl-mixer1.2 libc6; do
    [[ "$depends" == *"$lib "* ]] || fail "Depends has no $lib: $depends"
done

contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for path in ./usr/games/vextile ./usr/share/vextile/media/vextile_font-320.bmp \
    ./usr/share/applications/vextile.desktop ./usr/share/man/man6/vextile.6.gz \
    ./usr/share/doc/vextile/copyright ./usr/share/doc/vextile/changelog.Debian.gz \
    ./usr/share/icons/hicolor/256x256/apps/vextile.png; do
    grep -qxF "$path" <<<"$contents" || fail "the package has no $path"
done
grep -q '^./usr/share/metainfo/.*\.metainfo\.xml$' <<<"$contents" ||
    fail "the package has no metainfo"
[ -z "$(grep -v '^./usr/' <<<"$contents" | grep -vx './')" ] || fail "files outside /usr"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
file "$unpacked/usr/games/vextile" | grep -q ', stripped' || fail "the game is not stripped"

lintian --fail-on error "$deb" >"$build.lintian" 2>&1
status=$?
cat "$build.lintian"
[ $status -eq 0 ] || fail "lintian reports errors"
echo "1 passed, 0 failed"
