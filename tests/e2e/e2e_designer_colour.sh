#!/bin/bash
# Qt Designer with the Huvolo plugin: a group box's BackColor is changed as a
# user does it (double-click the control, choose a colour, OK, Ctrl+S), once
# to a colour from Qt's colour dialog and once to a system colour, then the
# second change is undone. The saved form must hold the packed value each
# time, and the control on the form must show the colour.
# Usage: e2e_designer_colour.sh DESIGNER PLUGIN FORM
source "$(dirname "$0")/lib.sh"

DESIGNER=$1
PLUGIN=$2
ATSPI=(/usr/bin/python3 "$(dirname "$0")/atspi_tree.py")

[ -x "$DESIGNER" ] || fail "no Qt Designer at $DESIGNER"
[ -f "$PLUGIN" ] || fail "no Designer plugin at $PLUGIN"
# Only the plugin built here: Designer finds it in a designer/ folder.
mkdir -p "$E2E_TMP/plugins/designer"
ln -s "$(realpath "$PLUGIN")" "$E2E_TMP/plugins/designer/"
FORM="$E2E_TMP/form.ui"
cp "$3" "$FORM"
chmod u+w "$FORM"

start_xvfb
start_accessibility_bus
export QT_PLUGIN_PATH="$E2E_TMP/plugins" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 HOME="$E2E_TMP"
# A plugin built with the sanitizers needs their runtime loaded first.
if [ -n "${DESIGNER_PRELOAD:-}" ]; then
    [ -f "$DESIGNER_PRELOAD" ] || fail "no sanitizer runtime at $DESIGNER_PRELOAD"
    start_app env "Qt Designer" LD_PRELOAD="$DESIGNER_PRELOAD" "$DESIGNER" "$FORM"
else
    start_app "$DESIGNER" "Qt Designer" "$FORM"
fi

# where ROLE NAME [ROLE2 NAME2]: sets BOX_X, BOX_Y, BOX_W, BOX_H to the element's place.
where() {
    local box
    box=$("${ATSPI[@]}" where Designer "$@" 2>/dev/null) || return 1
    read -r BOX_X BOX_Y BOX_W BOX_H <<<"$box"
}
click_on() {
    poll 20 where "$@" || fail "no $1 \"$2\" ${4:+in \"$4\" }appeared: $("${ATSPI[@]}" where Designer "$@" 2>&1)"
    xdotool mousemove $((BOX_X + BOX_W / 2)) $((BOX_Y + BOX_H / 2)) click 1
}

# The group box "Looks" on the form; its lower part is bare surface.
poll 30 where panel Looks || fail "the form's group box did not appear: $(cat "$E2E_TMP/app.log")"
GROUP_X=$((BOX_X + BOX_W / 2)) GROUP_Y=$((BOX_Y + BOX_H - 12))
# Screen pixels, not window ones: the form lies in Designer's window.
WIN_X=0 WIN_Y=0

# change_back_colour: opens the dialog with a double click on the control.
change_back_colour() {
    xdotool mousemove "$GROUP_X" "$GROUP_Y" click --repeat 2 --delay 80 1
    poll 20 where dialog "Change Back Colour" || fail "a double click on the group box opened no colour dialog"
}

# saved_back_colour: the BackColor value the form file holds.
saved_back_colour() {
    grep -A1 '<property name="BackColor"' "$FORM" | sed -n 's/.*<UInt>\([0-9]*\)<\/UInt>.*/\1/p'
}
save_and_expect() {
    xdotool windowfocus --sync "$WID" key ctrl+s
    saved_is() { [ "$(saved_back_colour)" = "$1" ]; }
    poll 20 saved_is "$1" || fail "the saved form holds BackColor '$(saved_back_colour)', not $1: $(grep -A2 BackColor "$FORM")"
    ! grep -q '<color' "$FORM" || fail "the saved form holds a <color> element: $(grep -B2 -A6 '<color' "$FORM")"
}
shows() {
    poll 20 pixel_is "$GROUP_X" "$GROUP_Y" "$1" || fail "the group box shows $(pixel "$GROUP_X" "$GROUP_Y"), not $1"
}

# A colour of the user's own: red, typed into Qt's colour dialog.
change_back_colour
click_on "push button" "Other Colour…"
click_on text "HTML:" dialog "Select Color"
xdotool key ctrl+a type "#ff0000"
xdotool key Return
colour_dialog_gone() { ! where dialog "Select Color"; }
poll 20 colour_dialog_gone || fail "the colour dialog did not close"
click_on "push button" OK dialog "Change Back Colour"
shows "#FF0000"
save_and_expect 255
# The group box is selected: the property editor shows its properties, but
# no number row for the colour, which would apply each keystroke.
"${ATSPI[@]}" tree Designer >"$E2E_TMP/tree"
grep -q 'name="Caption"' "$E2E_TMP/tree" || fail "the property editor does not show the group box"
! grep -q 'name="BackColor"' "$E2E_TMP/tree" || fail "the property editor shows BackColor as a number"

# A system colour: window background, which stays a system colour.
change_back_colour
click_on "list item" "Window background" dialog "Change Back Colour"
click_on "push button" OK dialog "Change Back Colour"
save_and_expect $((0x80000005))
# Designer's palette gives window backgrounds in white.
shows "#FFFFFF"

# One undo step brings red back, and saving stores it again.
xdotool windowfocus --sync "$WID" key ctrl+z
shows "#FF0000"
save_and_expect 255

echo "PASS"
