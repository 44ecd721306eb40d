# Shared pieces of the end-to-end tests: a private D-Bus session and Xvfb,
# polling, screenshots and the clipboard. Source it; it cleans up after
# itself on exit. XPIXEL may name the xpixel tool, for quick pixel reads.
set -euo pipefail

# Each test runs inside a D-Bus session of its own, as desktop programs do,
# so nothing it starts talks to another test's bus. E2E_BUS_CONFIG may name
# the bus's configuration file.
if [ -z "${HUVOLO_E2E_BUS:-}" ]; then
    HUVOLO_E2E_BUS=1 exec dbus-run-session ${E2E_BUS_CONFIG:+--config-file="$E2E_BUS_CONFIG"} -- bash "$0" "$@" \
        2> >(grep --line-buffered -v 'Failed to set fd limit' >&2)
fi

E2E_TMP=$(mktemp -d)
export XDG_RUNTIME_DIR="$E2E_TMP/runtime" && mkdir -m 700 "$XDG_RUNTIME_DIR"
# The program's settings (its recent colours) live with the test, not the user.
export XDG_CONFIG_HOME="$E2E_TMP/config"
XVFB_PID=""
APP_PID=""
ATSPI_PID=""
# Other processes a test starts, to be ended with it.
E2E_PIDS=()

cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    local pid
    for pid in "${E2E_PIDS[@]}" $(keepers); do kill "$pid" 2>/dev/null || true; done
    [ -n "$ATSPI_PID" ] && kill "$ATSPI_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$E2E_TMP"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# poll SECONDS COMMAND...: runs COMMAND until it succeeds, or fails after SECONDS.
poll() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.02
    done
}

start_xvfb() {
    local displayfile="$E2E_TMP/display"
    Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" 2>"$E2E_TMP/xvfb.log" &
    XVFB_PID=$!
    poll 20 test -s "$displayfile" || fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$(head -n1 "$displayfile")"
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY XDG_SESSION_TYPE
}

# start_accessibility_bus: the AT-SPI bus of this D-Bus session, as a
# desktop starts it; its registry is started on demand. Call it after
# start_xvfb: the bus announces itself on the display too.
start_accessibility_bus() {
    [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || fail "no D-Bus session bus: run the test under dbus-run-session"
    /usr/libexec/at-spi-bus-launcher --launch-immediately 2>"$E2E_TMP/atspi.log" &
    ATSPI_PID=$!
    bus_owned() {
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'
    }
    poll 20 bus_owned || fail "the AT-SPI bus did not start: $(cat "$E2E_TMP/atspi.log")"
}

# start_app BINARY TITLE [ARGUMENTS...]: starts the program and sets WID to
# its window and WIN_X, WIN_Y, WIN_W, WIN_H to its place on the screen.
start_app() {
    "$1" "${@:3}" 2>"$E2E_TMP/app.log" &
    APP_PID=$!
    WID=""
    find_window() {
        WID=$(xdotool search --all --onlyvisible --pid "$APP_PID" --name "^$1\$" 2>/dev/null | head -n1) && [ -n "$WID" ]
    }
    poll 20 find_window "$2" || fail "no window titled $2 appeared: $(cat "$E2E_TMP/app.log")"
    eval "$(xdotool getwindowgeometry --shell "$WID")"
    WIN_X=$X WIN_Y=$Y WIN_W=$WIDTH WIN_H=$HEIGHT
    xdotool windowfocus --sync "$WID"
}

# pixel X Y: the #RRGGBB of the window's client pixel (X, Y) on screen now.
pixel() {
    if [ -n "${XPIXEL:-}" ]; then
        "$XPIXEL" $((WIN_X + $1)) $((WIN_Y + $2))
    else
        import -window root -crop "1x1+$((WIN_X + $1))+$((WIN_Y + $2))" -depth 8 txt:- \
            | grep -o '#[0-9A-F]\{6\}' | head -n1
    fi
}

# pixels X Y [X Y ...]: the #RRGGBB of several client pixels, one a line.
pixels() {
    local args=() i
    for ((i = 1; i < $#; i += 2)); do
        args+=($((WIN_X + ${!i})))
        local j=$((i + 1))
        args+=($((WIN_Y + ${!j})))
    done
    if [ -n "${XPIXEL:-}" ]; then
        "$XPIXEL" "${args[@]}"
    else
        for ((i = 0; i < ${#args[@]}; i += 2)); do
            import -window root -crop "1x1+${args[i]}+${args[i + 1]}" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -n1
        done
    fi
}

# picture_pixel FILE X Y: the #RRGGBB of a picture file's pixel.
picture_pixel() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -n1
}

# The clipboard's text. xclip waits forever for an owner that never answers;
# a few seconds bound it, so a lost answer fails the poll around it.
clipboard() {
    timeout 5 xclip -o -selection clipboard 2>/dev/null
}

# keepers: the process ids of the clipboard keepers this test's program
# started (`--keep-clipboard`, run from the program's memory, in this test's
# runtime folder), one a line.
keepers() {
    [ -n "${HUVOLO:-}" ] || return 0
    local pid
    for pid in $(pgrep -f -- " --keep-clipboard( |$)"); do
        [[ "$(readlink "/proc/$pid/exe" 2>/dev/null)" == /memfd:huvolo-clipboard-keeper* ]] || continue
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" || continue
        echo "$pid"
    done
}

# set_clipboard TEXT: another program (xclip) owns the clipboard with TEXT.
# xclip returns before its background copy has taken the clipboard, so wait
# until the clipboard reads TEXT.
set_clipboard() {
    echo -n "$1" | xclip -selection clipboard
    poll 5 clipboard_is "$1" || fail "xclip did not take the clipboard with '$1'"
}

pixel_is() { [ "$(pixel "$1" "$2")" = "$3" ]; }
clipboard_is() { [ "$(clipboard)" = "$1" ]; }

# screenshot FILE: the window as it is now.
screenshot() {
    import -window root -crop "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}" +repage "$1"
}

# close_app: closes the window as its close box does; the program must end
# by itself with status 0.
close_app() {
    "$XCLOSE" "$WID"
    expect_exit "its window was closed"
}

# thread_states PID: each thread of the process, its name, state and the
# kernel function it waits in, for a failure's message.
thread_states() {
    local task
    for task in /proc/"$1"/task/*; do
        printf '%s %s %s; ' "$(cat "$task/comm" 2>/dev/null)" "$(awk '{print $3}' "$task/stat" 2>/dev/null)" \
            "$(cat "$task/wchan" 2>/dev/null)"
    done
}

# expect_exit WHAT: the program ends by itself with status 0 after WHAT.
expect_exit() {
    app_ended() { ! kill -0 "$APP_PID" 2>/dev/null; }
    poll 20 app_ended || fail "the program did not end after $1; its threads (name, state, waiting in): $(thread_states "$APP_PID"); it printed: $(cat "$E2E_TMP/app.log")"
    local status=0
    wait "$APP_PID" || status=$?
    APP_PID=""
    [ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat "$E2E_TMP/app.log")"
}
