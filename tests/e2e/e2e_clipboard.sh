#!/usr/bin/env bash
# End to end: the copied colour outlives the window. Without a clipboard
# manager a windowless keeper serves it after the window closes, and leaves
# as soon as another program owns the clipboard; one keeper at most, holding
# the latest colour. With a clipboard manager the colour is handed over and
# nothing of ours stays.
# Usage: e2e_clipboard.sh HUVOLO XCLOSE XCLIPMANAGER RESOURCES-DIR
HUVOLO=$1 XCLOSE=$2 XCLIPMANAGER=$3 RESOURCES=$4
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/keeperlib.sh"

# close_timed: closes the window as its close box does and says how long
# the window took to go and the program to end.
close_timed() {
    local wid=$WID start=$EPOCHREALTIME gone ended
    window_gone() { ! xdotool search --all --onlyvisible --pid "$APP_PID" --name '^Huvolo$' >/dev/null 2>&1; }
    "$XCLOSE" "$wid"
    poll 10 window_gone || fail "the window did not go when closed"
    gone=$EPOCHREALTIME
    expect_exit "its window was closed"
    ended=$EPOCHREALTIME
    echo "   window gone after $(elapsed_ms "$start" "$gone") ms, program ended after $(elapsed_ms "$start" "$ended") ms"
}

elapsed_ms() { echo $(((${2/./} - ${1/./}) / 1000)); }


# one_keeper_with COLOUR: the clipboard holds COLOUR, and exactly one keeper runs.
one_keeper_with() {
    poll 5 clipboard_is "$1" || fail "clipboard holds '$(clipboard)', expected $1"
    poll 5 keeper_count_is 1 || fail "$(keepers | wc -l) keepers run, expected one"
}

no_keeper() {
    poll 1 keeper_count_is 0 || fail "a keeper still runs a second after $1: $(keepers | tr '\n' ' ')"
}

# viewable_windows: how many windows are on the screen.
viewable_windows() {
    local id count=0
    for id in $(xwininfo -root -children | grep -o '^ *0x[0-9a-f]*'); do
        xwininfo -id "$id" | grep -q 'Map State: IsViewable' && count=$((count + 1))
    done
    echo "$count"
}

start_xvfb

# The window closes: a keeper takes the colour over, opens no window, and
# leaves once another program takes the clipboard.
start_app "$HUVOLO" Huvolo
copy 216 118
first=$COLOUR
close_timed
one_keeper_with "$first"
[ "$(viewable_windows)" -eq 0 ] || fail "a window is on the screen after the window closed"
[ "$(clipboard)" = "$first" ] || fail "the keeper serves '$(clipboard)', expected $first"
echo "ok: after the window closed a keeper serves $first, with no window"
echo -n other | xclip -i -selection clipboard >/dev/null 2>&1
no_keeper "another program took the clipboard"
poll 5 clipboard_is other || fail "clipboard holds '$(clipboard)' after xclip took it"
echo "ok: the keeper left when another program took the clipboard"

# Two windows open at once: the second copies after the first, then both
# close. The first owns nothing when it closes; one keeper keeps the second's.
start_app "$HUVOLO" Huvolo
copy 118 20
A_PID=$APP_PID A_WID=$WID
start_app "$HUVOLO" Huvolo
copy 20 110
second=$COLOUR
B_PID=$APP_PID B_WID=$WID
APP_PID=$A_PID WID=$A_WID
close_timed
no_keeper "a window that did not own the clipboard closed"
APP_PID=$B_PID WID=$B_WID
close_timed
one_keeper_with "$second"
echo "ok: two windows closed one after the other leave one keeper with $second"

# Windows closed one after the other, each after its own copy: the next
# window's copy sends the keeper away, and its close starts one anew. This
# window is told its display on the command line alone; its keeper finds
# the same display.
previous=$(keepers)
start_app env Huvolo -u DISPLAY "$HUVOLO" -display "$DISPLAY"
copy 125 216
third=$COLOUR
no_keeper "a window copied"
close_timed
one_keeper_with "$third"
[ "$(keepers)" != "$previous" ] || fail "the old keeper still runs"
echo "ok: a newer window's copy replaced the keeper; its close left one keeper with $third"

# A newer keeper takes over from an older one, which leaves at once.
previous=$(keepers)
echo -n "#010203" | "$HUVOLO" --keep-clipboard >/dev/null 2>>"$E2E_TMP/app.log" &
# Ended processes that nobody waits for linger as zombies; they count as gone.
older_gone() { local state; ! state=$(ps -o stat= -p "$previous") || [[ $state == Z* ]]; }
poll 5 clipboard_is "#010203" || fail "clipboard holds '$(clipboard)' after a newer keeper started, expected #010203"
poll 1 older_gone || fail "the older keeper still runs a second after a newer one took the clipboard"
one_keeper_with "#010203"
echo "ok: a newer keeper replaces the older one"
# A keeper given no text has nothing to keep: it leaves at once, the
# clipboard untouched.
"$HUVOLO" --keep-clipboard </dev/null >/dev/null 2>>"$E2E_TMP/app.log" || fail "a keeper without text failed"
one_keeper_with "#010203"
echo -n other | xclip -i -selection clipboard >/dev/null 2>&1
no_keeper "another program took the clipboard"

# With a clipboard manager, the colour is handed over as the program ends,
# and nothing of ours stays.
"$XCLIPMANAGER" >"$E2E_TMP/manager.log" 2>&1 &
E2E_PIDS+=($!)
manager_ready() { grep -qx ready "$E2E_TMP/manager.log"; }
poll 10 manager_ready || fail "the clipboard manager did not start: $(cat "$E2E_TMP/manager.log")"
start_app "$HUVOLO" Huvolo
copy 160 60
managed=$COLOUR
close_timed
keeper_count_is 0 || fail "a keeper runs although a clipboard manager took the clipboard"
grep -qx "saved $managed" "$E2E_TMP/manager.log" || fail "the manager did not save $managed: $(cat "$E2E_TMP/manager.log")"
poll 5 clipboard_is "$managed" || fail "clipboard holds '$(clipboard)' from the manager, expected $managed"
no_keeper "the manager took the clipboard"
echo "ok: the clipboard manager took $managed over, and nothing of ours runs"

# A keeper that left writes its findings as it ends.
poll 2 keeper_count_is 0 || true
no_findings || fail "sanitizer findings: $(cat "$E2E_TMP"/sanitizer.*)"
