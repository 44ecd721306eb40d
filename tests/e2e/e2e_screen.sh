#!/usr/bin/env bash
# End to end: the additions of the menu. The root window painted a known
# colour (xsetroot) is picked from the screen with the real pointer and
# copied (xclip); the colour is copied as rgb() through the menu from the
# keyboard; after the program is quit and started again the colour is
# among the recent ones.
# Usage: e2e_screen.sh HUVOLO XCLOSE
HUVOLO=$1 XCLOSE=$2
source "$(dirname "$0")/lib.sh"

READOUT_X=230 READOUT_Y=259
ROOT_COLOUR="#1E90FF"

start_xvfb
xsetroot -solid "$ROOT_COLOUR"
start_app "$HUVOLO" Huvolo

# Pick from the screen: Ctrl+Shift+P, then the pointer over the root window,
# well away from Huvolo's; the read-out follows, a click copies.
set_clipboard "stale"
xdotool key ctrl+shift+p
xdotool mousemove 40 40
poll 10 pixel_is "$READOUT_X" "$READOUT_Y" "$ROOT_COLOUR" \
    || fail "while picking over the root window the read-out shows $(pixel "$READOUT_X" "$READOUT_Y")"
xdotool mousemove 60 50 mousedown 1 mouseup 1
poll 10 clipboard_is "$ROOT_COLOUR" || fail "picking from the screen copied '$(clipboard)', expected $ROOT_COLOUR"
echo "ok: picked $ROOT_COLOUR from the root window with the pointer"

# Esc gives up and leaves the read-out and the clipboard as they were.
set_clipboard "kept"
xdotool key ctrl+shift+p
xsetroot -solid "#00FF00"
xdotool mousemove 80 80
poll 10 pixel_is "$READOUT_X" "$READOUT_Y" "#00FF00" || fail "the read-out does not follow the pointer"
xdotool key Escape
poll 10 pixel_is "$READOUT_X" "$READOUT_Y" "$ROOT_COLOUR" || fail "Esc did not restore the read-out"
clipboard_is "kept" || fail "Esc changed the clipboard to '$(clipboard)'"
echo "ok: Esc gives up, read-out and clipboard as they were"

# Copy as rgb() from the keyboard: the Menu key on the focused wheel, then
# "Copy as" and its fourth entry.
xdotool key Menu
# menu_open: a menu window shows beside the main window.
menu_open() { xdotool search --onlyvisible --class huvolo 2>/dev/null | wc -l | grep -qv '^1$'; }
poll 10 menu_open || fail "the Menu key opened no menu"
xdotool key c Down Down Down Return
poll 10 clipboard_is "rgb(30, 144, 255)" || fail "copy as rgb() copied '$(clipboard)'"
echo "ok: the Menu key and the keyboard copy rgb(30, 144, 255)"

# Quit, start again: the colour is the newest of the recent colours, and
# choosing it (Shift+F10, Recent colours, the first entry) copies it again
# and shows it.
xdotool key ctrl+q
expect_exit 0
start_app "$HUVOLO" Huvolo
set_clipboard "stale"
xdotool key shift+F10
poll 10 menu_open || fail "Shift+F10 opened no menu"
xdotool key r Return
poll 10 clipboard_is "$ROOT_COLOUR" || fail "the first recent colour copied '$(clipboard)', expected $ROOT_COLOUR"
poll 10 pixel_is "$READOUT_X" "$READOUT_Y" "$ROOT_COLOUR" || fail "the chosen recent colour is not shown"
echo "ok: after a restart $ROOT_COLOUR is the newest recent colour"

close_app
