#!/usr/bin/env bash
# What an installation gives a family: the files `make install` puts in place, each valid for
# the desktop's own tools, and the command line answering without opening a window.
#   install_test.sh <build folder> <source folder>
set -euo pipefail
build=$1 source=$2
tmp=$(mktemp -d "${TMPDIR:-/tmp}/chalkmere-install.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL [install]: $*" >&2; exit 1; }

echo "-- make install DESTDIR=… puts exactly these files in place"
DESTDIR=$tmp/root cmake --install "$build" --prefix /usr/local >"$tmp/install.log"
installed=$(cd "$tmp/root" && find . -type f | sort)
expected=$(printf './usr/local/%s\n' bin/chalkmere share/applications/chalkmere.desktop \
  share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/chalkmere.png \
  share/icons/hicolor/scalable/apps/chalkmere.svg share/man/man6/chalkmere.6 \
  share/man/{de,es,fr,it,nl,pl,pt_BR,uk}/man6/chalkmere.6 \
  share/metainfo/example.brindlewick.chalkmere.metainfo.xml | sort)
[ "$installed" = "$expected" ] || fail "installed:"$'\n'"$installed"$'\n'"expected:"$'\n'"$expected"
share=$tmp/root/usr/local/share
for size in 16 24 32 48 64 128 256; do
  [ "$(identify -format '%wx%h' "$share/icons/hicolor/${size}x$size/apps/chalkmere.png")" = \
    "${size}x$size" ] || fail "the ${size} px icon has another size"
done

echo "-- the desktop's tools accept the menu entry, the listing and the man page"
desktop-file-validate "$share/applications/chalkmere.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/"*.metainfo.xml >"$tmp/appstream.log" ||
  fail "appstreamcli: $(cat "$tmp/appstream.log")"
for page in "$share"/man/{,*/}man6/chalkmere.6; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "the man page ${page#"$share"/man/} warns: $warnings"
done

echo "-- --help, --version and an unknown option, with no display to open a window on"
program=$tmp/root/usr/local/bin/chalkmere
run() {
  status=0
  env -u DISPLAY -u WAYLAND_DISPLAY "$program" "$@" >"$tmp/out" 2>"$tmp/err" || status=$?
}
run --help
[ "$status" = 0 ] && [ ! -s "$tmp/err" ] && grep -q '^Usage: chalkmere' "$tmp/out" &&
  grep -q 'registry.db' "$tmp/out" || fail "--help: status $status, $(cat "$tmp/err")"
run --version
# The version the title screen shows, which the listing, the package and the build repeat.
shown=$(sed -n 's/^ *IDS_VERSION *"v\. \(.*\)"$/\1/p' "$source/resources/languages/en.rc")
[ "$status" = 0 ] && [ "$(cat "$tmp/out")" = "Chalkmere v. $shown" ] ||
  fail "--version: status $status, said '$(cat "$tmp/out")', title shows v. $shown"
grep -q "<release version=\"$shown\"" "$share/metainfo/"*.xml || fail "the listing's release"
head -n 1 "$source/debian/changelog" | grep -q "^chalkmere ($shown)" || fail "the package's"
grep -q "project(Chalkmere VERSION $shown " "$source/CMakeLists.txt" || fail "the build's"
run --colour
[ "$status" = 2 ] && [ ! -s "$tmp/out" ] && grep -q "unknown option '--colour'" "$tmp/err" &&
  grep -q '^Usage: chalkmere' "$tmp/err" || fail "--colour: status $status"
