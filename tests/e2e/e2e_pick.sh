#!/usr/bin/env bash
# End to end: `huvolo --pick` on X11. The root window painted a known
# colour (xsetroot) is picked with the real pointer: the colour comes on
# standard output in the format asked for, is copied (and still served once
# the program has ended) and is the newest recent colour; Esc prints
# nothing, leaves the clipboard alone and exits 1; with no way to pick, one
# line says so and the status is 2.
# Usage: e2e_pick.sh HUVOLO
HUVOLO=$1
source "$(dirname "$0")/lib.sh"

start_xvfb
xsetroot -solid "#1E90FF"
OUT="$E2E_TMP/out"

# pick_start ARGUMENTS...: starts `huvolo --pick ARGUMENTS` and waits until
# its magnifier follows the pointer, so the pointer is grabbed.
pick_start() {
    "$HUVOLO" --pick "$@" >"$OUT" 2>"$E2E_TMP/app.log" &
    APP_PID=$!
    local x=300 y=200 magnifier=""
    following() {
        magnifier=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | head -n1) && [ -n "$magnifier" ] || return 1
        x=$((x + 1))
        xdotool mousemove "$x" "$y"
        eval "$(xdotool getwindowgeometry --shell "$magnifier")"
        [ "$X" -eq $((x + 16)) ] && [ "$Y" -eq $((y + 16)) ]
    }
    poll 20 following || fail "huvolo --pick $* shows no magnifier following the pointer: $(cat "$E2E_TMP/app.log")"
}

# pick_end STATUS: the program ends by itself with STATUS.
pick_end() {
    ended() { ! kill -0 "$APP_PID" 2>/dev/null; }
    poll 20 ended || fail "huvolo --pick did not end"
    local status=0
    wait "$APP_PID" || status=$?
    APP_PID=""
    [ "$status" -eq "$1" ] || fail "huvolo --pick ended with status $status, expected $1: $(cat "$E2E_TMP/app.log")"
}

set_clipboard "stale"
pick_start --format rgb
xdotool click 1
pick_end 0
[ "$(cat "$OUT")" = "rgb(30, 144, 255)" ] || fail "printed '$(cat "$OUT")', expected rgb(30, 144, 255)"
poll 10 clipboard_is "rgb(30, 144, 255)" || fail "the clipboard holds '$(clipboard)' after the program ended"
grep -q '1E90FF' "$XDG_CONFIG_HOME/org.huvolo.Huvolo/huvolo.conf" || fail "#1E90FF is not among the recent colours"
echo "ok: --pick --format rgb printed and copied rgb(30, 144, 255), kept after exit, and remembered it"

xsetroot -solid "#0A0B0C"
set_clipboard "kept"
pick_start --no-copy
xdotool click 1
pick_end 0
[ "$(cat "$OUT")" = "#0A0B0C" ] || fail "printed '$(cat "$OUT")', expected #0A0B0C"
clipboard_is "kept" || fail "--no-copy changed the clipboard to '$(clipboard)'"
echo "ok: --pick --no-copy printed #0A0B0C and left the clipboard alone"

pick_start --format lab --no-copy
xdotool click 1
pick_end 0
[ "$(cat "$OUT")" = "lab(2.98 -0.17 -0.51)" ] || fail "--format lab printed '$(cat "$OUT")', expected lab(2.98 -0.17 -0.51)"
echo "ok: --pick --format lab printed lab(2.98 -0.17 -0.51)"

pick_start
xdotool key Escape
pick_end 1
[ ! -s "$OUT" ] || fail "Esc printed '$(cat "$OUT")'"
clipboard_is "kept" || fail "Esc changed the clipboard to '$(clipboard)'"
pick_start --format hex-lower
xdotool click 3
pick_end 1
[ ! -s "$OUT" ] || fail "a right click printed '$(cat "$OUT")'"
echo "ok: Esc and a right click print nothing, keep the clipboard and exit 1"

# Neither X11 nor a desktop portal: one line, status 2.
status=0
env DBUS_SESSION_BUS_ADDRESS=disabled: "$HUVOLO" --pick -platform offscreen >"$OUT" 2>"$E2E_TMP/err" || status=$?
[ "$status" -eq 2 ] || fail "without a way to pick the status is $status"
[ "$(wc -l <"$E2E_TMP/err")" -eq 1 ] && grep -q '^huvolo: cannot pick from the screen: ' "$E2E_TMP/err" \
    || fail "without a way to pick it said: $(cat "$E2E_TMP/err")"
[ ! -s "$OUT" ] || fail "without a way to pick it printed '$(cat "$OUT")'"
echo "ok: without a way to pick: $(cat "$E2E_TMP/err"), status 2"
