#!/bin/sh
# --version and --help print and end the program without a display (no window system at all).
# usage: check-info-options.sh VANTOR VERSION
set -u
program=$1 version=$2
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@"; }
fail() { echo "FAIL: $*"; exit 1; }

for option in --version -v; do
    out=$(run "$option") || fail "$option ended with status $?"
    [ "$out" = "Vantor $version" ] || fail "$option printed '$out'"
done
out=$(run --help) || fail "--help ended with status $?"
for listed in --version --help --console --demo --no-splash --project FILE; do
    printf '%s\n' "$out" | grep -q -e "$listed" || fail "--help does not list $listed"
done
echo "ok"
