#!/usr/bin/env bash
# End to end: picking from the screen on every kind of X screen. The root
# window is painted #C83113 (xsetroot) and picked with the real pointer; the
# clipboard must hold the colour the screen shows, never a wrong one. Then
# two X screens, each read from its own root; and another program holding
# the pointer, which ends the pick with a message instead of leaving it
# deaf until Esc.
# Usage: e2e_screen_kinds.sh HUVOLO XCLOSE XGRAB
HUVOLO=$1 XCLOSE=$2 XGRAB=$3
source "$(dirname "$0")/lib.sh"
unset XPIXEL # it reads 24-bit screens only; these tests read the clipboard

COLOUR="#C83113"

# start_xvfb_with ARGUMENTS...: a fresh Xvfb with these screens, in place of
# the previous one and its program.
start_xvfb_with() {
    if [ -n "$APP_PID" ]; then kill "$APP_PID" 2>/dev/null || true; wait "$APP_PID" 2>/dev/null || true; fi
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
    APP_PID="" XVFB_PID=""
    local displayfile="$E2E_TMP/display"
    rm -f "$displayfile"
    Xvfb -displayfd 3 -noreset "$@" -nolisten tcp 3>"$displayfile" 2>"$E2E_TMP/xvfb.log" &
    XVFB_PID=$!
    poll 20 test -s "$displayfile" || fail "Xvfb $* did not start: $(cat "$E2E_TMP/xvfb.log")"
    DISPLAY_NUMBER=$(head -n1 "$displayfile")
    export DISPLAY=":$DISPLAY_NUMBER"
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
}

# magnifiers [--screen N]: how many magnifiers show (on screen N): the
# program's windows of 11 pixels enlarged 10 times and a frame, 112 square.
magnifiers() {
    local window count=0
    for window in $(xdotool search "$@" --onlyvisible --class huvolo 2>/dev/null); do
        xdotool getwindowgeometry "$window" 2>/dev/null | grep -q 'Geometry: 112x112$' && count=$((count + 1))
    done
    echo "$count"
}

# pick [--screen N]: with the pointer at (40, 40) on X screen N (0 unless
# given), Ctrl+Shift+P, then a click once the magnifier shows; sets PICKED
# to what the clipboard then holds ("none" when nothing was copied).
pick() {
    set_clipboard "none"
    local before
    before=$(magnifiers)
    xdotool mousemove "$@" 40 40 key ctrl+shift+p
    picker_shown() { [ "$(magnifiers)" -gt "$before" ]; }
    poll 10 picker_shown || fail "Ctrl+Shift+P showed no magnifier: $(cat "$E2E_TMP/app.log")"
    xdotool click 1
    copied() { [ "$(clipboard)" != "none" ]; }
    poll 10 copied || true
    PICKED=$(clipboard)
}

# The server keeps the nearest colour its visual can show; that colour, in
# 8 bits: a channel of fewer than 8 bits rounded to the nearest 8-bit value
# (5-bit 24 → 197 = C5, 6-bit 12 → 49 = 31, 5-bit 2 → 16 = 10; 3-3-2 bits
# 5, 1, 0 → B6, 24, 00), a wider one by its top 8 bits (10-bit 800 → C8).
#   Xvfb screen              visual                   expected
screens=(
    "640x480x24"             "TrueColor 8-8-8"        "#C83113"
    "640x480x16"             "TrueColor 5-6-5"        "#C53110"
    "640x480x15"             "TrueColor 5-5-5"        "#C53110"
    "640x480x30"             "TrueColor 10-10-10"     "#C83113"
    "640x480x24 -cc 5"       "DirectColor 8-8-8"      "#C83113"
    "640x480x8"              "PseudoColor"            "#C83113"
    "640x480x8 -cc 2"        "StaticColor 3-3-2"      "#B62400"
)
for ((i = 0; i < ${#screens[@]}; i += 3)); do
    # shellcheck disable=SC2086 # the screen's words are Xvfb's arguments
    start_xvfb_with -screen 0 ${screens[i]}
    xsetroot -solid "$COLOUR"
    start_app "$HUVOLO" Huvolo
    pick
    [ "$PICKED" = "${screens[i + 2]}" ] \
        || fail "on a ${screens[i + 1]} screen $COLOUR was picked as '$PICKED', expected ${screens[i + 2]}"
    echo "ok: ${screens[i + 1]}: $COLOUR picked as $PICKED"
done

# Two X screens, the second of another depth: the pick reads the root of
# the screen the pointer is on, whichever screen the program was started on.
for started_on in 0 1; do
    start_xvfb_with -screen 0 640x480x24 -screen 1 640x480x16
    xsetroot -display ":$DISPLAY_NUMBER.0" -solid "#1E90FF"
    xsetroot -display ":$DISPLAY_NUMBER.1" -solid "$COLOUR"
    DISPLAY=":$DISPLAY_NUMBER.$started_on" start_app "$HUVOLO" Huvolo
    DISPLAY=":$DISPLAY_NUMBER.$started_on"
    # The magnifier shows on the screen the pointer is on.
    before=$(magnifiers --screen 1)
    xdotool mousemove --screen 1 30 30 key ctrl+shift+p
    magnifier_on_1() { [ "$(magnifiers --screen 1)" -gt "$before" ]; }
    poll 10 magnifier_on_1 || fail "started on screen $started_on, the magnifier did not show on screen 1, the pointer's"
    xdotool key Escape
    magnifier_gone() { [ "$(magnifiers --screen 1)" -eq "$before" ]; }
    poll 10 magnifier_gone || fail "Esc left the magnifier showing"
    pick --screen 1
    [ "$PICKED" = "#C53110" ] \
        || fail "started on screen $started_on, the pick on screen 1 copied '$PICKED', expected #C53110"
    pick --screen 0
    [ "$PICKED" = "#1E90FF" ] \
        || fail "started on screen $started_on, the pick on screen 0 copied '$PICKED', expected #1E90FF"
    echo "ok: started on X screen $started_on, each screen's own root is read"
done

# Another program holds the pointer: the pick ends at once and says why on
# standard error, and once the grab is gone picking works again.
start_xvfb_with -screen 0 640x480x24
xsetroot -solid "$COLOUR"
start_app "$HUVOLO" Huvolo
answer=""
coproc GRAB { "$XGRAB" pointer 2>&1; }
E2E_PIDS+=("$GRAB_PID")
read -r -t 10 answer <&"${GRAB[0]}" && [ "$answer" = grabbed ] || fail "xgrab did not take the pointer: $answer"
set_clipboard "none"
xdotool key ctrl+shift+p
said_why() { grep -q "huvolo: picking from the screen failed: another program holds the pointer" "$E2E_TMP/app.log"; }
poll 10 said_why || fail "with the pointer held elsewhere the pick said nothing: $(cat "$E2E_TMP/app.log")"
clipboard_is "none" || fail "with the pointer held elsewhere the clipboard became '$(clipboard)'"
echo >&"${GRAB[1]}"
read -r -t 10 answer <&"${GRAB[0]}" && [ "$answer" = released ] || fail "xgrab did not let the pointer go: $answer"
pick
[ "$PICKED" = "$COLOUR" ] || fail "after the grab was gone the pick copied '$PICKED', expected $COLOUR"
echo "ok: a pointer held by another program ends the pick with a message; picking works after"

close_app
