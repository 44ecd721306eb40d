#!/usr/bin/env bash
# Without a display the program says so in one line and exits non-zero.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$1" 2>&1)
status=$?
expected="huvolo: no display to open a window on (DISPLAY is not set)"
[ "$status" -ne 0 ] || { echo "FAIL: exit status 0"; exit 1; }
[ "$out" = "$expected" ] || { echo "FAIL: printed '$out'"; exit 1; }
echo "ok: '$out', status $status"
