#!/usr/bin/env bash
# End to end: the TOGGLE button of the real program under Xvfb. The real
# pointer (xdotool) hovers, presses, leaves and clicks it; screenshots show
# its looks; after a toggle, swatch tiles picked with the pointer must put
# their exact colours on the real clipboard (xclip).
# Usage: e2e_toggle.sh HUVOLO XCLOSE SKIN
HUVOLO=$1 XCLOSE=$2 SKIN=$3
source "$(dirname "$0")/lib.sh"

# The button's client rectangle is (180, 220), 61 x 21; the pictures' inner
# area starts at client pixel (6, 6).
BUTTON_X=180 BUTTON_Y=220
PICTURE_X=6 PICTURE_Y=6

# Button pixels that show a cell pixel for pixel at this size (the 3-pixel
# side pieces are not stretched, and the height is the cell's own), as
# "button-x button-y cell-x".
LOOK_POINTS=("0 0 0" "1 1 1" "1 3 1" "2 10 2" "1 17 1" "2 18 2" "2 19 2" "59 1 16" "58 10 15" "59 18 16" "60 20 17")

declare -A SKIN_COLOURS
for cell in 0 1 3; do
    for point in "${LOOK_POINTS[@]}"; do
        read -r bx by cx <<<"$point"
        SKIN_COLOURS[$cell,$bx,$by]=$(picture_pixel "$SKIN" $((cell * 18 + cx)) "$by")
    done
done

# look_is CELL FILE: the button shows skin CELL on screen; a screenshot of
# the moment goes to FILE.
look_is() {
    local point bx by cx coordinates=() expected=()
    for point in "${LOOK_POINTS[@]}"; do
        read -r bx by cx <<<"$point"
        coordinates+=($((BUTTON_X + bx)) $((BUTTON_Y + by)))
        expected+=("${SKIN_COLOURS[$1,$bx,$by]}")
    done
    [ "$(pixels "${coordinates[@]}" | tr '\n' ' ')" = "${expected[*]} " ] || return 1
    screenshot "$2"
}

# expect_look CELL NAME WHAT: waits for the look, keeping its screenshot.
expect_look() {
    poll 10 look_is "$1" "$E2E_TMP/$2.png" || fail "the button does not show $3 (skin cell $1)"
    echo "ok: $3 (screenshot $2.png)"
}

# shot_pixel_is FILE X Y COLOUR: pixel (X, Y) of the screenshot FILE.
shot_pixel_is() {
    [ "$(picture_pixel "$1" $((BUTTON_X + $2)) $((BUTTON_Y + $3)))" = "$4" ]
}

point_at_button() { xdotool mousemove $((WIN_X + BUTTON_X + $1)) $((WIN_Y + BUTTON_Y + $2)); }

# tile_centre ROW COLUMN: sets TILE_X, TILE_Y to the swatch tile's centre in client pixels.
tile_centre() {
    TILE_X=$((PICTURE_X + 3 + 14375 * (2 * $2 + 1) / 2000))
    TILE_Y=$((PICTURE_Y + 32 + 1075 * (2 * $1 + 1) / 200))
}

start_xvfb
start_app "$HUVOLO" Huvolo

# Rest: the pointer starts away from the button.
xdotool mousemove $((WIN_X + 118)) $((WIN_Y + 118))
expect_look 0 rest "the rest look"
shot_pixel_is "$E2E_TMP/rest.png" 0 0 "#DDD7C5" || fail "rest look: corner is not #DDD7C5"
shot_pixel_is "$E2E_TMP/rest.png" 30 0 "#003C74" || fail "rest look: top edge is not #003C74"

# Hover: the yellow-to-orange band inside the frame.
point_at_button 55 10
expect_look 3 hover "the hover look"
shot_pixel_is "$E2E_TMP/hover.png" 2 18 "#F8B330" || fail "hover look: band row 18 is not #F8B330"
shot_pixel_is "$E2E_TMP/hover.png" 2 19 "#E59700" || fail "hover look: band row 19 is not #E59700"

# Pressed: the greyer face, shaded on the left.
xdotool mousedown 1
expect_look 1 pressed "the pressed look"
shot_pixel_is "$E2E_TMP/pressed.png" 1 3 "#D8D4CB" || fail "pressed look: (1, 3) is not #D8D4CB"

# Release: the rest look although the pointer is still over the button, and
# the click has uncovered the swatch grid (tile row 1, column 0).
xdotool mouseup 1
expect_look 0 released "the rest look after the release"
poll 10 pixel_is $((PICTURE_X + 10)) $((PICTURE_Y + 48)) "#412000" \
    || fail "the click did not show the swatches: $(pixel $((PICTURE_X + 10)) $((PICTURE_Y + 48)))"
echo "ok: the click shows the swatch grid"

# Leaving: the hover timer notices and restores the rest look.
point_at_button 40 18
expect_look 3 hover-again "the hover look again"
xdotool mousemove $((WIN_X + 100)) $((WIN_Y + 100))
expect_look 0 left "the rest look after leaving"

# Picking tiles with the real pointer puts their table colours on the clipboard.
for tile in "1 0 #412000" "7 6 #5A68FF" "10 8 #10DCFF" "5 11 #FF8DE1" "15 15 #FFDA96" "0 0 #000000"; do
    read -r row column expected <<<"$tile"
    tile_centre "$row" "$column"
    set_clipboard "stale"
    xdotool mousemove $((WIN_X + TILE_X)) $((WIN_Y + TILE_Y))
    poll 10 pixel_is 230 259 "$expected" || fail "tile ($row, $column) previews $(pixel 230 259), expected $expected"
    xdotool click 1
    poll 10 clipboard_is "$expected" || fail "tile ($row, $column) copied '$(clipboard)', expected $expected"
    echo "ok: tile ($row, $column) copies $expected"
done

# A second click brings the wheel back: white outside its disc.
point_at_button 55 10
xdotool click 1
poll 10 pixel_is $((PICTURE_X + 10)) $((PICTURE_Y + 48)) "#FFFFFF" \
    || fail "the second click did not show the wheel: $(pixel $((PICTURE_X + 10)) $((PICTURE_Y + 48)))"
echo "ok: the second click shows the colour wheel"

close_app
echo "ok: the window closed and the program ended"
