#!/usr/bin/env bash
# End to end with a real screen reader: Orca, the distribution's, listens to
# the real program under Xvfb, in a D-Bus session of its own with its own
# accessibility bus and a window manager for the focus. The keyboard works
# the program as a blind user would, and the test reads what Orca speaks,
# utterance by utterance, at each step: start, the arrows on the wheel and
# on the swatches, Return (a copy), Tab to the read-out and to TOGGLE,
# Alt+T, the menu opened twice, picking from the screen and giving up, and
# Ctrl+Q. It prints a table of what was said at each step.
# Usage: e2e_orca.sh HUVOLO RESOURCES-DIR
HUVOLO=$1 RESOURCES=$2
source "$(dirname "$0")/lib.sh"

WHEEL="$RESOURCES/colourwheel.png"
SWATCHES="$RESOURCES/swatches.png"
PICTURE_X=6 PICTURE_Y=6 # the pictures' inner area in client pixels
MIDDLE=118              # the keyboard pointer starts on the picture's middle pixel
started=$SECONDS

start_xvfb
start_accessibility_bus
export GSETTINGS_BACKEND=memory QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
E2E_PIDS+=($!)
wm_runs() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
poll 20 wm_runs || fail "openbox did not start: $(cat "$E2E_TMP/openbox.log")"

# Orca with its own home and preferences; what it speaks goes to SPEECH as
# it speaks it.
SPEECH="$E2E_TMP/speech.log"
mkdir -p "$E2E_TMP/orca-home" "$E2E_TMP/orca-prefs"
: >"$SPEECH"
HOME="$E2E_TMP/orca-home" XDG_DATA_HOME="$E2E_TMP/orca-home/data" XDG_CACHE_HOME="$E2E_TMP/orca-home/cache" \
    /usr/bin/python3 "$(dirname "$0")/orca_speech.py" "$SPEECH" "$E2E_TMP/orca-prefs" ${ORCA_DEBUG_LOG:+"$ORCA_DEBUG_LOG"} >"$E2E_TMP/orca.log" 2>&1 &
ORCA_PID=$!
E2E_PIDS+=($ORCA_PID)
disown "$ORCA_PID" # Orca 43 ends its own shutdown with SIGKILL: no job report of that
orca_ready() { grep -q "^SPEECH OUTPUT: 'Screen reader on.'" "$SPEECH"; }
poll 30 orca_ready || fail "Orca did not start: $(cat "$E2E_TMP/orca.log")"

# Each step reads what was said since it began; the table collects it.
mark=0
table=""
step() {
    STEP=$1
    mark=$(wc -l <"$SPEECH")
}
spoken() { tail -n +$((mark + 1)) "$SPEECH" | sed -n "s/^SPEECH OUTPUT: '\(.*\)'.*/\1/p"; }
# said_in_order TEXT...: each TEXT was said, whole, in this order, since the
# step began. A notification ending in "#RRGGBB." stands for that colour
# followed by its name, as the program says a colour: "#FF8C00, dark orange.".
said_in_order() {
    local lines text pattern line
    lines=$(spoken)
    for text in "$@"; do
        pattern="^$(sed 's/[][\.*^$/+?(){}|]/\\&/g' <<<"$text")\$"
        [[ $text == notification* && $text =~ \#[0-9A-F]{6}\.$ ]] && pattern="${pattern%\\.\$}, (approximately )?[a-z ]+\\.\$"
        line=$(grep -nE -m1 -- "$pattern" <<<"$lines") || return 1
        lines=$(tail -n +$((${line%%:*} + 1)) <<<"$lines")
    done
}
# expect TEXT...: the step says each TEXT, in this order, within 10 seconds.
expect() {
    poll 10 said_in_order "$@" || fail "$STEP: Orca did not say$(printf " \"%s\"" "$@"); it said:
$(spoken)"
}
# record: the step's utterances, into the table.
record() {
    table+="$STEP | $(spoken | paste -sd '|' - | sed 's/|/ | /g; s/\t/ /g')"$'\n'
    echo "ok: $STEP"
}

step "start"
start_app "$HUVOLO" Huvolo
xdotool mousemove 0 0 # the pointer out of the way: nothing but the keyboard
expect "Huvolo frame." "Colour wheel image."
record

# A steady run of arrows: the colour the run ends on is said, and only a few
# on the way, not one per key.
step "Right x20 on the wheel"
end=$(picture_pixel "$WHEEL" $((MIDDLE + 20)) $MIDDLE)
keys=()
for ((i = 0; i < 20; ++i)); do keys+=(Right); done
xdotool key --delay 15 "${keys[@]}"
expect "notification $end."
said=$(spoken | grep -c '^notification #' || true)
((said <= 4)) || fail "$STEP: $said colours said for one run of arrows:
$(spoken)"
record

step "Return on the wheel"
xdotool key Return
expect "notification Copied $end."
poll 10 clipboard_is "$end" || fail "$STEP: the clipboard holds $(clipboard), not $end"
record

# The menu from the keyboard says its first entry as it opens, the second
# time as the first.
for opening in first second; do
    step "Shift+F10, the $opening time"
    xdotool key shift+F10
    poll 10 said_in_order "Pick from screen." \
        || fail "$STEP: the menu's first entry was not said; Orca said:
$(spoken)"
    record
    [ "$opening" = second ] && break
    step "Escape from the menu"
    xdotool key Escape
    expect "Colour wheel image." "$end."
    record
done

# The picker reads the screen: over the wheel's pixel it says its colour.
x=60 y=150
picked=$(pixel $((PICTURE_X + x)) $((PICTURE_Y + y)))
[ "$picked" != "$end" ] || fail "wheel pixels ($x, $y) and the run's end agree: pick another pixel"

step "Return on Pick from screen"
xdotool key Return
expect "Pick from screen."
record

step "pointer over the wheel while picking"
xdotool mousemove $((WIN_X + PICTURE_X + x)) $((WIN_Y + PICTURE_Y + y))
expect "notification $picked."
record

step "Escape from picking"
xdotool key Escape
expect "notification Pick from screen ended."
record
xdotool mousemove 0 0

step "Tab to the read-out"
xdotool key Tab
expect "Colour text." "$end selected."
record

step "Tab to TOGGLE"
xdotool key Tab
expect "TOGGLE push button."
record

step "Alt+T"
xdotool key alt+t
expect "notification Colour swatches shown."
record

# On the swatch grid an arrow moves one swatch: from the middle one to the
# next swatch right, then the one below that.
swatch_x=$((3 + (9 * 2875 + 2875 / 2) / 200)) # 3 + 9.5 swatches of 14.375 pixels
swatch_y1=$((32 + (8 * 1075 + 1075 / 2) / 100))
swatch_y2=$((32 + (9 * 1075 + 1075 / 2) / 100))
step "Shift+Tab to the swatches"
xdotool key shift+Tab
expect "Colour swatches image."
record
for move in "Right $swatch_x $swatch_y1" "Down $swatch_x $swatch_y2"; do
    read -r key x y <<<"$move"
    step "$key on the swatches"
    colour=$(picture_pixel "$SWATCHES" "$x" "$y")
    xdotool key "$key"
    expect "notification $colour."
    record
done

step "Ctrl+Q"
xdotool key ctrl+q
expect_exit "Ctrl+Q"
kill -0 "$ORCA_PID" 2>/dev/null || fail "Orca ended with the program: $(cat "$E2E_TMP/orca.log")"
record
# Orca ends as it does at logout, while its display and buses are still there.
kill "$ORCA_PID"
orca_ended() { ! kill -0 "$ORCA_PID" 2>/dev/null; }
poll 20 orca_ended || fail "Orca did not end: $(cat "$E2E_TMP/orca.log")"

echo "step | what Orca says"
printf "%s" "$table"
echo "Orca's part took $((SECONDS - started)) s"
