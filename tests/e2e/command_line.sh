#!/usr/bin/env bash
# The command line, before any display: --help and --version print and exit
# 0, or say what could not be written and exit 1; an unknown option or an
# argument gives one line saying so, then the usage, and exit 2. None of
# them needs a display. A closed standard stream is /dev/null to the
# program, never a file it opens later.
# Usage: command_line.sh HUVOLO
set -u
huvolo=$1
failures=0

# expect ARGUMENTS STATUS FIRST-LINE-PATTERN: runs huvolo ARGUMENTS (words)
# without a display.
expect() {
    local out status
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$huvolo" $1 2>&1 </dev/null)
    status=$?
    if [ "$status" -ne "$2" ] || ! [[ "$(head -n1 <<<"$out")" =~ $3 ]]; then
        echo "FAIL: huvolo $1: status $status, printed:"
        echo "$out"
        failures=$((failures + 1))
        return
    fi
    echo "ok: huvolo $1: status $status: $(head -n1 <<<"$out")"
}

expect "--help" 0 '^Usage: huvolo \[options\]$'
expect "-h" 0 '^Usage: huvolo \[options\]$'
expect "--version" 0 '^huvolo [0-9]+\.[0-9]+'
expect "-v" 0 '^huvolo [0-9]+\.[0-9]+'
expect "--bogus" 2 "^huvolo: Unknown option 'bogus'\.$"
expect "-x" 2 "^huvolo: Unknown option 'x'\.$"
expect "picture.png" 2 "^huvolo: unexpected argument 'picture.png'$"
# Qt's own options pass through to Qt: without a display, this one still
# reaches the display check.
expect "-style fusion" 2 '^huvolo: no display to open a window on'
# The clipboard keeper the program starts for itself needs a display too.
expect "--keep-clipboard" 2 '^huvolo: no display to open a window on'

# The usage follows the one line of an error.
env -u DISPLAY "$huvolo" --bogus 2>&1 | grep -q '^  -v, --version' || { echo "FAIL: no usage after the error"; failures=$((failures + 1)); }
# The keeper's option is the program's own business, not the user's.
if env -u DISPLAY "$huvolo" --help | grep -q 'keep-clipboard'; then
    echo "FAIL: --help shows the clipboard keeper's option"
    failures=$((failures + 1))
fi

# write_error OPTION WHERE MESSAGE: huvolo OPTION with its standard output
# on a full device or closed says so on standard error and exits 1.
write_error() {
    local out status
    if [ "$2" = full ]; then
        out=$(env -u DISPLAY "$huvolo" "$1" 2>&1 >/dev/full)
    else
        out=$(env -u DISPLAY "$huvolo" "$1" 2>&1 >&-)
    fi
    status=$?
    if [ "$status" -ne 1 ] || [ "$out" != "huvolo: write error: $3" ]; then
        echo "FAIL: huvolo $1 to a $2 standard output: status $status, printed '$out'"
        failures=$((failures + 1))
        return
    fi
    echo "ok: huvolo $1 to a $2 standard output: status $status: $out"
}
write_error --help full "No space left on device"
write_error --version full "No space left on device"
write_error --help closed "Bad file descriptor"
write_error --version closed "Bad file descriptor"

# Started with standard input and error closed, the program finds /dev/null
# there: otherwise the first things it opens (its display connection, an
# event descriptor) take those numbers and its warnings go into them.
fds_null() {
    [ "$(readlink "/proc/$1/fd/0")" = /dev/null ] && [ "$(readlink "/proc/$1/fd/2")" = /dev/null ]
}
runtime=$(mktemp -d)
DBUS_SESSION_BUS_ADDRESS=disabled: XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=offscreen \
    "$huvolo" 0<&- 2>&- &
pid=$!
deadline=$((SECONDS + 10))
until fds_null "$pid" || ((SECONDS >= deadline)); do sleep 0.02; done
if fds_null "$pid"; then
    echo "ok: standard input and error closed at the start are /dev/null"
else
    echo "FAIL: standard input and error closed at the start are" \
        "$(readlink "/proc/$pid/fd/0") and $(readlink "/proc/$pid/fd/2")"
    failures=$((failures + 1))
fi
kill "$pid"
wait "$pid" 2>/dev/null
rm -rf "$runtime"
[ "$failures" -eq 0 ]
