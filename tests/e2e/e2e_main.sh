#!/usr/bin/env bash
# End to end: the real program under Xvfb, the real pointer (xdotool), a
# screenshot of the read-out, and the real clipboard (xclip).
# Usage: e2e_main.sh HUVOLO XCLOSE RESOURCES-DIR
HUVOLO=$1 XCLOSE=$2 RESOURCES=$3
source "$(dirname "$0")/lib.sh"

WHEEL="$RESOURCES/colourwheel.png"
# The wheel's inner area starts at client pixel (6, 6): picture box at
# (5, 5) plus its 1-pixel border. A read-out pixel clear of the text.
PICTURE_X=6 PICTURE_Y=6
READOUT_X=230 READOUT_Y=259

start_xvfb
start_app "$HUVOLO" Huvolo

[ "$WIN_W" -eq 251 ] && [ "$WIN_H" -eq 275 ] || fail "window is ${WIN_W}x${WIN_H}, not 251x275"
[ "$WIN_X" -eq $(((1280 - 251) / 2)) ] && [ "$WIN_Y" -eq $(((1024 - 275) / 2)) ] \
    || fail "window at ($WIN_X, $WIN_Y) is not centred"

# Each move previews the wheel pixel under the pointer in the read-out.
for point in "216 118" "118 20" "20 110" "125 216" "160 60" "70 170" "118 118" "2 2"; do
    read -r x y <<<"$point"
    expected=$(picture_pixel "$WHEEL" "$x" "$y")
    xdotool mousemove "$((WIN_X + PICTURE_X + x))" "$((WIN_Y + PICTURE_Y + y))"
    poll 10 pixel_is "$READOUT_X" "$READOUT_Y" "$expected" \
        || fail "read-out shows $(pixel "$READOUT_X" "$READOUT_Y") for wheel pixel ($x, $y), expected $expected"
    echo "ok: wheel ($x, $y) previews $expected"
done

# A click copies exactly the hex text of the last pixel.
read -r x y <<<"216 118"
expected=$(picture_pixel "$WHEEL" "$x" "$y")
xdotool mousemove "$((WIN_X + PICTURE_X + x))" "$((WIN_Y + PICTURE_Y + y))"
poll 10 pixel_is "$READOUT_X" "$READOUT_Y" "$expected" || fail "no preview before the click"
set_clipboard "stale"
xdotool click 1
poll 10 clipboard_is "$expected" || fail "clipboard holds '$(clipboard)' after a click, expected $expected"
echo "ok: click copies $expected"

# Tab moves from the wheel into the read-out, which selects all of its text:
# typing replaces it, and copying it shows what it holds.
xdotool key Tab
xdotool type --delay 20 zzz
xdotool key ctrl+a ctrl+c
poll 10 clipboard_is "zzz" || fail "typing into the focused read-out gave '$(clipboard)', expected zzz"
echo "ok: focusing the read-out selects all of it"

# A double click on the wheel writes the hex text again.
xdotool click --repeat 2 --delay 80 1
xdotool key Tab ctrl+a ctrl+c
poll 10 clipboard_is "$expected" || fail "read-out holds '$(clipboard)' after a double click, expected $expected"
echo "ok: double click rewrites $expected"

screenshot "$E2E_TMP/window.png"
close_app
echo "ok: the window closed and the program ended"
