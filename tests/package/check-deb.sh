#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package from the build in a scratch folder and checks its control fields, its
# file list and its icons, then runs the packaged program.
# usage: check-deb.sh CPACK CPACK_CONFIG VERSION
set -u
cpack=$1 config=$2 version=$3
fail() { echo "FAIL: $*"; exit 1; }
if ! command -v dpkg-deb >/dev/null 2>&1; then
    echo "SKIP: dpkg-deb is missing (install dpkg), the package is not checked"
    exit 77
fi
scratch=$(mktemp -d) || fail "no scratch folder"
trap 'rm -rf "$scratch"' EXIT

"$cpack" -G DEB --config "$config" -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack failed"; }
deb=$(ls "$scratch"/vantor_"$version"_*.deb 2>/dev/null) || fail "no vantor_${version}_*.deb made"

[ "$(dpkg-deb -f "$deb" Package)" = vantor ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
# The library scan must have filled the dependencies.
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "Depends lacks the Qt libraries"
dpkg-deb -f "$deb" Depends | grep -q libcurl4 || fail "Depends lacks libcurl, loaded at run time"

listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
icons=./usr/share/icons/hicolor
for path in ./usr/bin/vantor ./usr/share/applications/vantor.desktop \
    $icons/16x16/apps/vantor.png $icons/32x32/apps/vantor.png $icons/48x48/apps/vantor.png \
    $icons/64x64/apps/vantor.png $icons/128x128/apps/vantor.png $icons/256x256/apps/vantor.png \
    $icons/scalable/apps/vantor.svg ./usr/share/man/man1/vantor.1.gz \
    ./usr/share/doc/vantor/copyright ./usr/share/doc/vantor/changelog.gz \
    ./usr/share/doc/vantor/tee-format.md ./usr/share/mime/packages/vantor.xml \
    ./usr/share/metainfo/io.github.vantor.Vantor.metainfo.xml \
    ./usr/lib/systemd/system/vantor-station@.service; do
    printf '%s\n' "$listing" | grep -qx -e "$path" || fail "the package lacks $path"
done

root=$scratch/root
dpkg-deb -x "$deb" "$root" || fail "cannot unpack"
# Each PNG holds a picture of its folder's size (width and height at bytes 16..23).
for size in 16 32 48 64 128 256; do
    dims=$(od -An -tu4 --endian=big -j16 -N8 "$root/usr/share/icons/hicolor/${size}x${size}/apps/vantor.png" | tr -s ' ')
    [ "$dims" = " $size $size" ] || fail "the ${size}px icon is$dims"
done
grep -qx 'Exec=vantor %f' "$root/usr/share/applications/vantor.desktop" || fail "desktop Exec"
# A double click on a curve file opens it: the desktop entry handles the type the MIME file names.
grep -q 'pattern="\*.tee"' "$root/usr/share/mime/packages/vantor.xml" || fail "no *.tee glob"
grep -qx 'MimeType=application/x-vantor-curves;' "$root/usr/share/applications/vantor.desktop" ||
    fail "the desktop entry does not take curve files"
# The manual page is the program's own --help.
zcat "$root/usr/share/man/man1/vantor.1.gz" | grep -q -e 'rtu\\-over\\-tcp' || fail "man page lacks the options"
if command -v lintian >/dev/null 2>&1; then
    findings=$(lintian --suppress-tags running-with-root-privileges "$deb" 2>&1 | grep -E '^[EW]: ')
    [ -z "$findings" ] || fail "lintian: $findings"
fi
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/vantor" --version) || fail "the packaged program does not start"
[ "$out" = "Vantor $version" ] || fail "the packaged program printed '$out'"
echo "ok: $(basename "$deb")"
