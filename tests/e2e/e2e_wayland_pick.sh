#!/usr/bin/env bash
# End to end: picking from the screen in a Wayland session, through the
# real desktop portal. sway runs nested in Xvfb (its X11 backend), as an
# unprivileged user because it refuses root, with pipewire and the portal's
# wlr and gtk backends; xdg-desktop-portal itself is only D-Bus activatable,
# so the first pick starts it. The portal's point chooser (slurp) is driven
# with xdotool on the Xvfb, the clipboard read with wl-paste. Checks: a pick
# copies the true pixel and remembers it; Esc changes nothing; a portal
# killed during a pick leaves the entry usable; a portal failure is
# reported and changes nothing; under Xwayland the portal picks (never the
# X11 root); `huvolo --pick` prints the exact colour and exits 0, 1 or 2.
# Usage: e2e_wayland_pick.sh HUVOLO
HUVOLO=$1
E2E_BUS_CONFIG="$(dirname "$0")/wayland_bus/bus.conf"
source "$(dirname "$0")/lib.sh"

READOUT_X=230 READOUT_Y=259
USER_ID=65534
# The session's files belong to its user; the test's folder lets it pass.
chmod 711 "$E2E_TMP"
WL="$E2E_TMP/wayland"
mkdir -p "$WL/run" "$WL/home" "$WL/config"
chmod 700 "$WL/run"
chown -R "$USER_ID:$USER_ID" "$WL"
# The build tree may lie where the session's user cannot go (under /root,
# say): it runs a copy of the program from the test's folder.
install -m 755 "$HUVOLO" "$E2E_TMP/huvolo"
HUVOLO="$E2E_TMP/huvolo"
export XDG_RUNTIME_DIR="$WL/run" HOME="$WL/home" XDG_CONFIG_HOME="$WL/config" XDG_CURRENT_DESKTOP=sway
# "${AS_USER[@]}" COMMAND...: runs COMMAND as the session's user, in the
# same process (so $! is the command's).
AS_USER=(setpriv --reuid=$USER_ID --regid=$USER_ID --clear-groups)
as_user() { "${AS_USER[@]}" "$@"; }

start_xvfb
cat >"$WL/sway.conf" <<CONFIG
output * bg #FFB957 solid_color
default_border none
default_floating_border none
for_window [app_id="org.huvolo.Huvolo"] floating enable, move position 0 0
for_window [class="huvolo"] floating enable, move position 0 0
xwayland enable
exec sh -c 'echo "\$DISPLAY" >"\$XDG_RUNTIME_DIR/xwayland-display"'
CONFIG
chown $USER_ID "$WL/sway.conf"
WLR_BACKENDS=x11 WLR_RENDERER=pixman "${AS_USER[@]}" sway -c "$WL/sway.conf" >"$WL/sway.log" 2>&1 &
E2E_PIDS+=($!)
find_socket() { WAYLAND_DISPLAY=$(cd "$WL/run" && ls wayland-[0-9] 2>/dev/null | head -n1) && [ -n "$WAYLAND_DISPLAY" ]; }
poll 20 find_socket || fail "sway did not start: $(cat "$WL/sway.log")"
export WAYLAND_DISPLAY
poll 20 test -s "$WL/run/xwayland-display" || fail "sway named no Xwayland display: $(cat "$WL/sway.log")"
XWAYLAND_DISPLAY=$(cat "$WL/run/xwayland-display")
SWAYSOCK=$(ls "$WL"/run/sway-ipc.*.sock 2>/dev/null | head -n1) && export SWAYSOCK
OUTPUT=""
# sway's output is the one window on the Xvfb (it has no name).
find_output() { OUTPUT=$(xwininfo -root -children | awk '/^ +0x/ {print $1; exit}') && [ -n "$OUTPUT" ]; }
poll 20 find_output || fail "sway's output did not appear on the Xvfb: $(cat "$WL/sway.log")"
eval "$(xdotool getwindowgeometry --shell "$OUTPUT")"
OUT_X=$X OUT_Y=$Y
# Client windows float at the output's top left, without borders.
WIN_X=$OUT_X WIN_Y=$OUT_Y

"${AS_USER[@]}" pipewire >"$WL/pipewire.log" 2>&1 &
E2E_PIDS+=($!)
# The wlr portal gives up without PipeWire.
poll 20 test -S "$WL/run/pipewire-0" || fail "pipewire did not start: $(cat "$WL/pipewire.log")"
"${AS_USER[@]}" /usr/libexec/xdg-desktop-portal-wlr >"$WL/portal-wlr.log" 2>&1 &
E2E_PIDS+=($!)
"${AS_USER[@]}" /usr/libexec/xdg-desktop-portal-gtk >"$WL/portal-gtk.log" 2>&1 &
E2E_PIDS+=($!)
dbus-update-activation-environment XDG_RUNTIME_DIR HOME XDG_CURRENT_DESKTOP WAYLAND_DISPLAY
has_owner() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
}
poll 20 has_owner org.freedesktop.impl.portal.desktop.wlr || fail "xdg-desktop-portal-wlr did not start: $(cat "$WL/portal-wlr.log")"
poll 20 has_owner org.freedesktop.impl.portal.desktop.gtk || fail "xdg-desktop-portal-gtk did not start: $(cat "$WL/portal-gtk.log")"
! has_owner org.freedesktop.portal.Desktop || fail "the desktop portal runs before anything asked for it"

# The process that owns the portal's name: the one this test's bus started.
portal_pid() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.GetConnectionUnixProcessID string:org.freedesktop.portal.Desktop | awk '/uint32/ {print $2}'
}
BACKGROUND="#FFB957"
background() {
    as_user swaymsg output '*' bg "$1" solid_color >/dev/null
    BACKGROUND=$1
    poll 20 pixel_is 600 400 "$1" || fail "the background did not turn $1"
}
wayland_clipboard() { as_user wl-paste --no-newline 2>/dev/null; }
wayland_clipboard_is() { [ "$(wayland_clipboard)" = "$1" ]; }
readout_is() { pixel_is $READOUT_X $READOUT_Y "$1"; }
# The portal's point chooser of this session, while it shows.
chooser() {
    local pid
    for pid in $(pgrep -x slurp); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" && echo "$pid"
    done
}
# It shows once it dims the output.
chooser_shows() { [ -n "$(chooser)" ] && ! pixel_is 600 400 "$BACKGROUND"; }
chooser_gone() { [ -z "$(chooser)" ]; }
# pick_at X Y: the chooser is up; a click at output pixel (X, Y) chooses.
pick_at() {
    poll 20 chooser_shows || fail "the portal's chooser did not show: $(cat "$E2E_TMP/app.log")"
    # The portal this test's bus started ends with the test.
    E2E_PIDS+=($(portal_pid))
    xdotool mousemove $((OUT_X + $1)) $((OUT_Y + $2)) click 1
    poll 20 chooser_gone || fail "the chooser stayed after a click"
}
# start_window PLATFORM: the window on sway, natively or through Xwayland.
start_window() {
    local display=$DISPLAY
    [ "$1" = xcb ] && display=$XWAYLAND_DISPLAY
    "${AS_USER[@]}" env DISPLAY="$display" QT_QPA_PLATFORM="$1" QT_WAYLAND_DISABLE_WINDOWDECORATION=1 "$HUVOLO" \
        2>"$E2E_TMP/app.log" &
    APP_PID=$!
    shown() { pixel_is 124 124 "$(picture_pixel "$(dirname "$0")/../../app/resources/colourwheel.png" 118 118)"; }
    poll 20 shown || fail "the window ($1) did not show at the output's top left: $(cat "$E2E_TMP/app.log")"
    # The keyboard reaches sway through its output window, under the pointer.
    xdotool mousemove $((OUT_X + 600)) $((OUT_Y + 400))
}

# The window, natively on Wayland; the portal is not running yet.
start_window wayland
xdotool key ctrl+shift+p
pick_at 600 400
poll 20 wayland_clipboard_is "#FFB957" || fail "the pick copied '$(wayland_clipboard)', expected #FFB957: $(cat "$E2E_TMP/app.log")"
readout_is "#FFB957" || fail "after the pick the read-out shows $(pixel $READOUT_X $READOUT_Y)"
has_owner org.freedesktop.portal.Desktop || fail "the portal does not run after the pick"
poll 10 grep -q 'FFB957' "$WL/config/org.huvolo.Huvolo/huvolo.conf" || fail "#FFB957 is not among the recent colours"
echo "ok: the pick started the activatable portal, copied the true pixel #FFB957 and remembered it"

# xdg-desktop-portal-wlr 0.7 answers Esc in its chooser as it answers a
# failure (response code 2), so the program can only say that no colour came.
failures() { grep -c 'picking from the screen failed' "$E2E_TMP/app.log" || true; }
background "#3C8DBC"
xdotool key ctrl+shift+p
poll 20 chooser_shows || fail "the chooser did not show again"
xdotool key Escape
poll 20 chooser_gone || fail "Esc did not close the chooser"
xdotool key ctrl+shift+p
poll 20 chooser_shows || fail "after Esc the entry does not pick again: $(cat "$E2E_TMP/app.log")"
xdotool key Escape
poll 20 chooser_gone || fail "Esc did not close the chooser"
wayland_clipboard_is "#FFB957" || fail "Esc changed the clipboard to '$(wayland_clipboard)'"
readout_is "#FFB957" || fail "Esc changed the read-out to $(pixel $READOUT_X $READOUT_Y)"
echo "ok: Esc in the portal's chooser changes nothing, and the entry picks again"

# The portal dies while its chooser shows: the pick is over, and the next
# one starts the portal again.
xdotool key ctrl+shift+p
poll 20 chooser_shows || fail "the chooser did not show"
kill "$(portal_pid)"
poll 20 grep -q 'left the session bus' "$E2E_TMP/app.log" || fail "the program did not notice the portal leave"
xdotool key Escape
poll 20 chooser_gone || fail "Esc did not close the orphaned chooser"
xdotool key ctrl+shift+p
pick_at 600 400
poll 20 wayland_clipboard_is "#3C8DBC" || fail "after the portal died the next pick copied '$(wayland_clipboard)': $(cat "$E2E_TMP/app.log")"
echo "ok: a portal killed during a pick leaves the entry usable; the next pick copies #3C8DBC"

# xdg-desktop-portal-wlr 0.7 fails for a red byte of 0x0A: the program says
# so and changes nothing.
background "#0A8040"
before=$(failures)
xdotool key ctrl+shift+p
pick_at 600 400
reported() { [ "$(failures)" -gt "$before" ]; }
poll 20 reported || fail "the portal's failure was not reported on stderr: $(cat "$E2E_TMP/app.log")"
wayland_clipboard_is "#3C8DBC" || fail "the failure changed the clipboard to '$(wayland_clipboard)'"
readout_is "#3C8DBC" || fail "the failure changed the read-out to $(pixel $READOUT_X $READOUT_Y)"
echo "ok: the portal's failure is reported ($(grep -o 'picking from the screen failed.*' "$E2E_TMP/app.log" | tail -n1)), nothing changed"
kill "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
APP_PID=""

# Through Xwayland the X11 root holds none of the Wayland windows: the
# portal picks there too.
background "#C86463"
start_window xcb
xdotool key ctrl+shift+p
pick_at 600 400
poll 20 wayland_clipboard_is "#C86463" || fail "under Xwayland the pick copied '$(wayland_clipboard)', expected #C86463: $(cat "$E2E_TMP/app.log")"
readout_is "#C86463" || fail "under Xwayland the read-out shows $(pixel $READOUT_X $READOUT_Y)"
echo "ok: under Xwayland the portal picks #C86463"
kill "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
APP_PID=""

# huvolo --pick through the portal.
OUT="$E2E_TMP/out"
pick_command() {
    "${AS_USER[@]}" env QT_QPA_PLATFORM=wayland "$HUVOLO" --pick "$@" >"$OUT" 2>"$E2E_TMP/app.log" &
    APP_PID=$!
}
pick_status() {
    local status=0
    wait "$APP_PID" || status=$?
    APP_PID=""
    [ "$status" -eq "$1" ] || fail "huvolo --pick ended with status $status, expected $1: $(cat "$E2E_TMP/app.log") (printed: $(cat "$OUT"))"
}
background "#FFB957"
pick_command --format hsl
pick_at 600 400
pick_status 0
[ "$(cat "$OUT")" = "hsl(35, 100%, 67%)" ] || fail "huvolo --pick --format hsl printed '$(cat "$OUT")'"
# It has ended, and its copy stays on the clipboard.
poll 10 wayland_clipboard_is "hsl(35, 100%, 67%)" \
    || fail "after huvolo --pick the clipboard holds '$(wayland_clipboard)': $(cat "$E2E_TMP/app.log")"
pick_command
pick_at 600 400
pick_status 0
[ "$(cat "$OUT")" = "#FFB957" ] || fail "huvolo --pick printed '$(cat "$OUT")'"
poll 10 wayland_clipboard_is "#FFB957" || fail "after huvolo --pick the clipboard holds '$(wayland_clipboard)'"
echo "ok: huvolo --pick prints and copies hsl(35, 100%, 67%) and #FFB957, kept after it ended"
# Esc in the chooser: the portal's code 2, so status 2 and its one line.
pick_command
poll 20 chooser_shows || fail "the chooser did not show for huvolo --pick"
xdotool key Escape
pick_status 2
[ ! -s "$OUT" ] || fail "huvolo --pick printed '$(cat "$OUT")' after Esc"
# A portal that goes away cancels: status 1, nothing printed.
pick_command --format rgb
poll 20 chooser_shows || fail "the chooser did not show for huvolo --pick"
kill "$(portal_pid)"
ended() { ! kill -0 "$APP_PID" 2>/dev/null; }
poll 20 ended || fail "huvolo --pick goes on after the portal left"
pick_status 1
[ ! -s "$OUT" ] || fail "a cancelled huvolo --pick printed '$(cat "$OUT")'"
xdotool key Escape
poll 20 chooser_gone || fail "Esc did not close the orphaned chooser"
status=0
as_user env QT_QPA_PLATFORM=wayland DBUS_SESSION_BUS_ADDRESS=disabled: "$HUVOLO" --pick >"$OUT" 2>"$E2E_TMP/err" || status=$?
[ "$status" -eq 2 ] && [ "$(wc -l <"$E2E_TMP/err")" -eq 1 ] || fail "without a portal: status $status, said $(cat "$E2E_TMP/err")"
echo "ok: huvolo --pick: Esc exits 2 (the portal's error), a portal gone exits 1, no portal exits 2: $(cat "$E2E_TMP/err")"
