#!/usr/bin/env bash
# End to end: at screen scales 1.5 and 2 (QT_SCALE_FACTOR), the colour
# picked with the real pointer is the pixel shown under it. At 49 points
# of each picture, spread over different phases of the device pixel grid:
# the screen pixel under the pointer, the read-out's background and, after
# a click, the clipboard (xclip) must agree.
# Usage: e2e_scale.sh HUVOLO XCLOSE
HUVOLO=$1 XCLOSE=$2
source "$(dirname "$0")/lib.sh"

start_xvfb

# device V: a logical coordinate V of the window, in device pixels (the
# scale in tenths, as bash counts in whole numbers).
device() { echo $(($1 * scale10 / 10)); }

check_picture() { # NAME
    local name=$1 points=() i j x y
    # Points 34 logical pixels apart, each shifted by a different fraction of
    # a logical pixel; TOGGLE's corner is left out.
    for ((j = 0; j < 7; ++j)); do
        for ((i = 0; i < 7; ++i)); do
            x=$(( $(device $((10 + 34 * i))) + (i + j) % 3 ))
            y=$(( $(device $((10 + 34 * j))) + (i + 2 * j) % 3 ))
            points+=("$x $y")
        done
    done
    local coordinates=() point
    for point in "${points[@]}"; do coordinates+=($point); done
    local shown
    mapfile -t shown < <(pixels "${coordinates[@]}")
    local readout_x readout_y previous=""
    readout_x=$(device 235) readout_y=$(device 259)
    for ((i = 0; i < ${#points[@]}; ++i)); do
        read -r x y <<<"${points[i]}"
        expected=${shown[i]}
        # The move samples the pixel, the click copies the sample: once the
        # clipboard holds it, the read-out shows it too, as soon as the
        # window's next paint reaches the screen.
        [ "$expected" = "$previous" ] && set_clipboard "stale"
        xdotool mousemove $((WIN_X + x)) $((WIN_Y + y)) mousedown 1 mouseup 1
        poll 10 clipboard_is "$expected" \
            || fail "scale $scale, $name: device pixel ($x, $y) shows $expected, the clipboard holds '$(clipboard)'"
        poll 5 pixel_is "$readout_x" "$readout_y" "$expected" \
            || fail "scale $scale, $name: device pixel ($x, $y) shows $expected, the read-out $(pixel "$readout_x" "$readout_y")"
        previous=$expected
    done
    echo "ok: scale $scale, $name: screen, read-out and clipboard agree at ${#points[@]} points"
}

for scale10 in 15 20; do
    scale=$((scale10 / 10)).$((scale10 % 10))
    QT_SCALE_FACTOR=$scale start_app "$HUVOLO" Huvolo
    check_picture "colour wheel"
    xdotool key alt+t
    swatches_shown() { [ "$(pixel "$(device 16)" "$(device 54)")" = "#412000" ]; }
    poll 10 swatches_shown || fail "scale $scale: Alt+T did not show the swatches"
    check_picture "swatch grid"
    close_app
done
