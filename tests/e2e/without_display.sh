#!/usr/bin/env bash
# Without a display that can be opened, the program says so in one line
# naming what it tried and exits with status 2: never Qt's abort and core
# dump. Qt's own -platform option is honoured.
# Usage: without_display.sh PROGRAM...
set -u
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -m 700 "$tmp/runtime"

# expect NAME PATTERN ENV...: the program, run with ENV and no display, prints
# one line matching PATTERN and exits 2. ARGUMENTS are its command line.
ARGUMENTS=()
expect() {
    local name=$1 pattern=$2
    shift 2
    local out status
    out=$(cd "$tmp" && ulimit -c unlimited && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
        XDG_RUNTIME_DIR="$tmp/runtime" "$@" "$program" "${ARGUMENTS[@]}" 2>&1)
    status=$?
    if [ "$status" -ne 2 ]; then
        fail "$name: exit status $status, expected 2 ($out)"
    elif [ "$(printf '%s\n' "$out" | wc -l)" -ne 1 ] || ! [[ "$out" =~ $pattern ]]; then
        fail "$name: printed '$out'"
    elif ls "$tmp" | grep -q core; then
        fail "$name: left a core file"
    else
        echo "ok: $name: $out"
    fi
}

for program in "$@"; do
    program=$(realpath "$program")
    base=$(basename "$program")
    expect "nothing set" "^$base: no display to open a window on \(DISPLAY is not set\)$"
    expect "DISPLAY=:99" "^$base: cannot open a display: .*\"xcb\" \(DISPLAY=\":99\"\)$" DISPLAY=:99
    expect "DISPLAY=nonsense" "^$base: cannot open a display: .*\"xcb\" \(DISPLAY=\"nonsense\"\)$" DISPLAY=nonsense
    expect "QT_QPA_PLATFORM=nonsense" "^$base: cannot open a display: .*\"nonsense\" \(no such platform\); available: .*offscreen" \
        QT_QPA_PLATFORM=nonsense
    expect "only WAYLAND_DISPLAY" "^$base: cannot open a display: .*\"wayland\" \(WAYLAND_DISPLAY=\"wayland-99\"\)" \
        WAYLAND_DISPLAY=wayland-99
    # A display named on the command line is tried, and named in the line.
    ARGUMENTS=(-display :98)
    expect "-display :98" "^$base: cannot open a display: .*\"xcb\" \(DISPLAY=\":98\"\)$"
    ARGUMENTS=()

    # -platform offscreen needs no display: the program starts and keeps
    # running until it is stopped.
    (cd "$tmp" && env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$tmp/runtime" \
        timeout 2 "$program" -platform offscreen >"$tmp/out" 2>&1)
    status=$?
    if [ "$status" -eq 124 ]; then
        echo "ok: $base -platform offscreen runs"
    else
        fail "-platform offscreen: exit status $status: $(cat "$tmp/out")"
    fi
done
[ "$failures" -eq 0 ]
