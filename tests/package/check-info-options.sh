#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# --version and --help print and end the program without a display (no window system at all);
# a refused option ends it there too, with status 2, before anything is opened or sent.
# usage: check-info-options.sh VANTOR VERSION
set -u
program=$1 version=$2
home=$(mktemp -d) || exit 1
trap 'rm -rf "$home"' EXIT
# In English whatever the language of whoever runs the tests: the messages are compared below.
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" LANGUAGE=en "$program" "$@"; }
fail() { echo "FAIL: $*"; exit 1; }

for option in --version -v; do
    out=$(run "$option") || fail "$option ended with status $?"
    [ "$out" = "Vantor $version" ] || fail "$option printed '$out'"
done
out=$(run --help) || fail "--help ended with status $?"
for listed in --version --help --console --demo --no-splash --project FILE; do
    printf '%s\n' "$out" | grep -q -e "$listed" || fail "--help does not list $listed"
done
# --help-all adds Qt's own options.
out=$(run --help-all 2>/dev/null) || fail "--help-all ended with status $?"
for listed in --console --platform --qwindowgeometry; do
    printf '%s\n' "$out" | grep -q -e "$listed" || fail "--help-all does not list $listed"
done
# The window's options are checked before the window system is opened; Qt's own are Qt's.
for args in "--bogus" "-platform offscreen --bogus" "--demo --csv x.csv"; do
    err=$(run $args 2>&1 >/dev/null)
    status=$?
    [ "$status" -eq 2 ] || fail "'$args' without a display ended with status $status"
    printf '%s\n' "$err" | grep -q '^vantor: ' || fail "'$args' said '$err'"
done
# A write function would be sent to every packet at every poll.
err=$(run --console --tcp 127.0.0.1:502 --function 6 --packet 1,3,0,1 2>&1 >/dev/null)
status=$?
[ "$status" -eq 2 ] || fail "--function 6 ended with status $status"
printf '%s\n' "$err" | grep -q -e "--function 6 writes" || fail "--function 6 said '$err'"
echo "ok"
