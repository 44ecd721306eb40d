#!/usr/bin/env bash
# End to end: the real program worked from the keyboard alone under Xvfb.
# Tab shows the focus, the arrow keys move the wheel's keyboard pointer and
# the read-out follows, Return copies (read back with xclip), Alt+T toggles
# the wheel, and Space on TOGGLE does not.
# Usage: e2e_keyboard.sh HUVOLO XCLOSE RESOURCES-DIR
HUVOLO=$1 XCLOSE=$2 RESOURCES=$3
source "$(dirname "$0")/lib.sh"

WHEEL="$RESOURCES/colourwheel.png"
PICTURE_X=6 PICTURE_Y=6      # the pictures' inner area in client pixels
READOUT_X=230 READOUT_Y=259  # a read-out pixel clear of its text
BUTTON_X=180 BUTTON_Y=220    # TOGGLE

start_xvfb
start_app "$HUVOLO" Huvolo
xdotool mousemove 0 0 # the pointer out of the way: nothing but the keyboard

# At start-up nothing shows the focus: TOGGLE's inside is its skin.
button_column() { # TOGGLE's pixels down the column where its focus line runs
    local y coordinates=()
    for ((y = 3; y <= 17; ++y)); do coordinates+=($((BUTTON_X + 3)) $((BUTTON_Y + y))); done
    pixels "${coordinates[@]}" | tr '\n' ' '
}
designed=$(button_column)
# Tab order: wheel (focused at start), read-out, TOGGLE; the covered swatches are passed by.
xdotool key Tab Tab
cue_shown() { [ "$(button_column)" != "$designed" ]; }
poll 10 cue_shown || fail "TOGGLE shows no focus after Tab"
echo "ok: Tab to TOGGLE shows its focus"

# Space on the button is a key event only: the wheel stays.
xdotool key space
wheel_shown() { [ "$(pixel $((PICTURE_X + 10)) $((PICTURE_Y + 48)))" = "#FFFFFF" ]; }
swatches_shown() { [ "$(pixel $((PICTURE_X + 10)) $((PICTURE_Y + 48)))" = "#412000" ]; }
wheel_shown || fail "Space on TOGGLE changed the picture"
# Alt+T clicks it: the swatches, and back.
xdotool key alt+t
poll 10 swatches_shown || fail "Alt+T did not show the swatches"
xdotool key alt+t
poll 10 wheel_shown || fail "a second Alt+T did not bring the wheel back"
echo "ok: Alt+T toggles the wheel, Space on TOGGLE does not"

# Tab on to the wheel: its keyboard pointer starts in the middle, (118, 118).
xdotool key Tab
marker_shown() { [ "$(pixel $((PICTURE_X + 118 - 2)) $((PICTURE_Y + 118)))" = "#000000" ]; }
poll 10 marker_shown || fail "the wheel shows no keyboard pointer after Tab"
echo "ok: Tab to the wheel shows its keyboard pointer"

# Three right, Shift+Down (ten), one up: pixel (121, 127). The read-out
# previews it; Return copies it.
x=121 y=127
expected=$(picture_pixel "$WHEEL" "$x" "$y")
set_clipboard "stale"
xdotool key Right Right Right shift+Down Up
poll 10 pixel_is "$READOUT_X" "$READOUT_Y" "$expected" \
    || fail "the read-out shows $(pixel "$READOUT_X" "$READOUT_Y") for wheel pixel ($x, $y), expected $expected"
xdotool key Return
poll 10 clipboard_is "$expected" || fail "Return copied '$(clipboard)', expected $expected"
echo "ok: arrows pick wheel pixel ($x, $y) and Return copies $expected"

# The marker never changes what is picked: the pixel under it is the wheel's own.
[ "$(pixel $((PICTURE_X + x)) $((PICTURE_Y + y)))" = "$expected" ] || fail "the marker covers the pixel it points at"

# A mouse click ends keyboard navigation: the wheel's designed pixels are back.
xdotool mousemove $((WIN_X + 120)) $((WIN_Y + 2)) click 3
no_marker() { [ "$(pixel $((PICTURE_X + x - 2)) $((PICTURE_Y + y)))" = "$(picture_pixel "$WHEEL" $((x - 2)) "$y")" ]; }
poll 10 no_marker || fail "the keyboard pointer still shows after a mouse click"
echo "ok: a mouse click hides the focus again"

close_app
echo "ok: the window closed and the program ended"
