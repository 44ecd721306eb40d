#!/usr/bin/env bash
# End to end through assistive technology: the real program under Xvfb with
# the toolkit's AT-SPI bridge on, in a D-Bus session of its own with the
# accessibility bus. An AT-SPI client (atspi_tree.py) reads the accessible
# tree, presses TOGGLE and reads the wheel's description while the real
# pointer (xdotool) moves over it; Ctrl+Q ends the program.
# Usage: e2e_access.sh HUVOLO RESOURCES-DIR
HUVOLO=$1 RESOURCES=$2
source "$(dirname "$0")/lib.sh"

# pyatspi is the distribution's package, built for the distribution's interpreter.
ATSPI=(/usr/bin/python3 "$(dirname "$0")/atspi_tree.py")
WHEEL="$RESOURCES/colourwheel.png"
SWATCHES="$RESOURCES/swatches.png"
# The pictures' inner area starts at client pixel (6, 6). At picture pixel
# (10, 48) the wheel is white and the swatch grid shows a tile.
PICTURE_X=6 PICTURE_Y=6
FLIP_X=10 FLIP_Y=48

start_xvfb
start_accessibility_bus
# A listener for description changes, as a screen reader has, registered
# before the program starts so that the program sends them from the start.
"${ATSPI[@]}" watch huvolo 100 >"$E2E_TMP/events.txt" 2>&1 &
WATCH_PID=$!
trap '[ -n "$WATCH_PID" ] && kill "$WATCH_PID" 2>/dev/null; cleanup' EXIT
poll 10 grep -qx ready "$E2E_TMP/events.txt" || fail "no AT-SPI listener: $(cat "$E2E_TMP/events.txt")"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
start_app "$HUVOLO" Huvolo
# The pointer starts in the middle of the screen, over the wheel: away with it.
xdotool mousemove 0 0

# element NAME: the line the client prints for the one element named NAME.
element() { "${ATSPI[@]}" node huvolo "$1"; }
element_is() { [ "$(element "$1")" = "$2" ]; }

# Every control once, named, with its role and actions, and nothing else:
# no unnamed filler, no second element for the button's caption. The
# swatches, covered by the wheel, take no focus.
expected_tree='application name="huvolo"
  frame name="Huvolo" description="" actions=[]
    image name="Colour swatches" description="" actions=[]
    image name="Colour wheel" description="" actions=[SetFocus]
    text name="Colour" description="" actions=[SetFocus] text=""
    push button name="TOGGLE" description="Show or hide the colour wheel (Alt+T)" actions=[Press, SetFocus]'
tree_is_expected() {
    "${ATSPI[@]}" tree huvolo >"$E2E_TMP/tree.txt" && [ "$(cat "$E2E_TMP/tree.txt")" = "$expected_tree" ]
}
poll 10 tree_is_expected || fail "the accessible tree differs from the expected one:
$(diff <(echo "$expected_tree") "$E2E_TMP/tree.txt")"
echo "The accessible tree at start:"
cat "$E2E_TMP/tree.txt"
echo "ok: each control is one named element with its role and actions"

# Pressing TOGGLE through AT-SPI swaps the wheel and the swatch grid on screen.
wheel_shows=$(picture_pixel "$WHEEL" $FLIP_X $FLIP_Y)
swatches_show=$(picture_pixel "$SWATCHES" $FLIP_X $FLIP_Y)
[ "$wheel_shows" != "$swatches_show" ] || fail "the pictures agree at ($FLIP_X, $FLIP_Y): pick another pixel"
showing() { pixel_is $((PICTURE_X + FLIP_X)) $((PICTURE_Y + FLIP_Y)) "$1"; }
poll 10 showing "$wheel_shows" || fail "the wheel is not shown at start"
for step in "swatches $swatches_show" "wheel $wheel_shows"; do
    read -r shown colour <<<"$step"
    "${ATSPI[@]}" do huvolo TOGGLE Press || fail "TOGGLE could not be pressed"
    poll 10 showing "$colour" \
        || fail "after Press the picture shows $(pixel $((PICTURE_X + FLIP_X)) $((PICTURE_Y + FLIP_Y))), not the $shown's $colour"
    echo "ok: Press on TOGGLE shows the $shown"
done

# Over the wheel, its description is the colour under the pointer, the same
# #RRGGBB the read-out shows; away from it, there is none. Each change is
# announced once, to the listener.
events_before=$(wc -l <"$E2E_TMP/events.txt")
expected_events=""
last_event_is() { [ "$(tail -n1 "$E2E_TMP/events.txt")" = "description name=\"Colour wheel\" value=\"$1\"" ]; }
# expect_description WHERE COLOUR: the wheel now reads COLOUR, and said so.
expect_description() {
    poll 10 element_is "Colour wheel" "image name=\"Colour wheel\" description=\"$2\" actions=[SetFocus]" \
        || fail "$1: the wheel reads $(element "Colour wheel"), expected \"$2\""
    poll 10 last_event_is "$2" || fail "$1: no change of the wheel's description to \"$2\" was announced"
    expected_events+="description name=\"Colour wheel\" value=\"$2\""$'\n'
}
for point in "216 118" "118 20"; do
    read -r x y <<<"$point"
    expected=$(picture_pixel "$WHEEL" "$x" "$y")
    xdotool mousemove $((WIN_X + PICTURE_X + x)) $((WIN_Y + PICTURE_Y + y))
    expect_description "over wheel pixel ($x, $y)" "$expected"
    # The read-out's description is its tooltip: the hex, then the colour's name.
    [[ "$(element Colour)" == "text name=\"Colour\" description=\"$expected, "?*"\" actions=[SetFocus] text=\"$expected\"" ]] \
        || fail "the read-out reads: $(element Colour), expected $expected and its name"
    echo "ok: pointing at wheel pixel ($x, $y) describes the wheel as $expected, as the read-out shows with its name"
done
"${ATSPI[@]}" tree huvolo >"$E2E_TMP/tree.txt" || fail "could not read the accessible tree"
echo "The accessible tree with the pointer on the wheel:"
cat "$E2E_TMP/tree.txt"
xdotool mousemove 0 0
expect_description "with the pointer away" ""
echo "ok: with the pointer away the wheel has no description"
[ "$(tail -n +$((events_before + 1)) "$E2E_TMP/events.txt")"$'\n' = "$expected_events" ] \
    || fail "announced description changes differ:
$(tail -n +$((events_before + 1)) "$E2E_TMP/events.txt")"
echo "ok: each description change was announced once"

xdotool key ctrl+q
expect_exit "Ctrl+Q"
echo "ok: Ctrl+Q ended the program"
