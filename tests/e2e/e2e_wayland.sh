#!/usr/bin/env bash
# End to end on Wayland: the real program on Weston, driven with the real
# pointer and keyboard, its clipboard read with wl-paste. Weston runs nested
# in Xvfb (its X11 backend), so xdotool's input reaches it through its seat
# as a user's would; its kiosk shell centres the fixed-size window. The
# program has no X display, so it can only be a Wayland client. A click
# copies the colour; after Ctrl+W closes the window the compositor still
# serves it, and nothing of ours runs.
# Usage: e2e_wayland.sh HUVOLO RESOURCES-DIR
HUVOLO=$1 RESOURCES=$2
source "$(dirname "$0")/lib.sh"

WHEEL="$RESOURCES/colourwheel.png"
PICTURE_X=6 PICTURE_Y=6
OUTPUT_W=640 OUTPUT_H=480
WINDOW_W=251 WINDOW_H=275

start_xvfb
weston --backend=x11-backend.so --use-pixman --shell=kiosk-shell.so --width=$OUTPUT_W --height=$OUTPUT_H \
    --socket=wayland-huvolo --idle-time=0 --no-config >"$E2E_TMP/weston.log" 2>&1 &
E2E_PIDS+=($!)
poll 20 test -S "$XDG_RUNTIME_DIR/wayland-huvolo" || fail "Weston did not start: $(cat "$E2E_TMP/weston.log")"
export WAYLAND_DISPLAY=wayland-huvolo
OUTPUT=""
find_output() { OUTPUT=$(xdotool search --onlyvisible --class '^Weston Compositor$' 2>/dev/null | head -n1) && [ -n "$OUTPUT" ]; }
poll 20 find_output || fail "Weston's output did not appear"
eval "$(xdotool getwindowgeometry --shell "$OUTPUT")"

# The window's client area, centred on Weston's output; no decorations, so
# the surface is the client area.
WIN_X=$((X + (OUTPUT_W - WINDOW_W) / 2)) WIN_Y=$((Y + (OUTPUT_H - WINDOW_H) / 2))
env -u DISPLAY QT_QPA_PLATFORM=wayland QT_WAYLAND_DISABLE_WINDOWDECORATION=1 "$HUVOLO" 2>"$E2E_TMP/app.log" &
APP_PID=$!
centre=$(picture_pixel "$WHEEL" 118 118)
poll 20 pixel_is $((PICTURE_X + 118)) $((PICTURE_Y + 118)) "$centre" \
    || fail "the window is not shown centred on Weston: $(cat "$E2E_TMP/app.log")"
echo "ok: the program runs as a Wayland client"

wayland_clipboard() { wl-paste --no-newline 2>/dev/null; }
wayland_clipboard_is() { [ "$(wayland_clipboard)" = "$1" ]; }

read -r x y <<<"216 118"
expected=$(picture_pixel "$WHEEL" "$x" "$y")
# Entering a surface brings a Wayland client no motion: the pointer enters
# next to the pixel and then moves onto it, as a hand-moved pointer does.
xdotool mousemove "$((WIN_X + PICTURE_X + x - 1))" "$((WIN_Y + PICTURE_Y + y))"
xdotool mousemove "$((WIN_X + PICTURE_X + x))" "$((WIN_Y + PICTURE_Y + y))"
poll 10 pixel_is 230 259 "$expected" || fail "read-out shows $(pixel 230 259), expected $expected"
xdotool click 1
poll 10 wayland_clipboard_is "$expected" || fail "clipboard holds '$(wayland_clipboard)' after a click, expected $expected"
echo "ok: a click copies $expected to the Wayland clipboard"

xdotool key ctrl+w
expect_exit "Ctrl+W"
wayland_clipboard_is "$expected" || fail "clipboard holds '$(wayland_clipboard)' after the window closed, expected $expected"
[ -z "$(keepers)" ] || fail "a keeper runs on Wayland: $(keepers)"
echo "ok: after the window closed the compositor serves $expected, and nothing of ours runs"
