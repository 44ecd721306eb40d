#!/usr/bin/env bash
# The command line, before any display: --help and --version print and exit
# 0; an unknown option or an argument gives one line saying so, then the
# usage, and exit 2. None of them needs a display.
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
[ "$failures" -eq 0 ]
