#!/usr/bin/env bash
# The start-up probe of the benchmark programs. Started through bench_exec,
# the floor and Huvolo's start-up report one well-formed line at their first
# paint and end by themselves; the time runs from the launcher's clock
# reading, not from main; a reading that cannot be trusted is refused rather
# than turned into a figure.
# Usage: probe_test.sh BENCH_EXEC BENCH_FLOOR BENCH_STARTUP
set -uo pipefail
launcher=$1 floor=$2 startup=$3
variable=HUVOLO_BENCH_EXEC_NS
report='^startup_ms=[0-9]+\.[0-9]{3} peak_rss_kib=[0-9]+$'
failures=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# check NAME STATUS STREAM PATTERN COMMAND...: COMMAND ends with STATUS and
# what it writes to STREAM (out or err) matches PATTERN as a whole.
check() {
    local name=$1 want=$2 stream=$3 pattern=$4 status
    shift 4
    timeout 60 "$@" >"$tmp/out" 2>"$tmp/err"
    status=$?
    if [ "$status" -eq "$want" ] && [[ $(<"$tmp/$stream") =~ $pattern ]]; then
        echo "ok: $name"
    else
        echo "FAIL: $name: status $status (expected $want), output: $(cat "$tmp/out" "$tmp/err")"
        failures=$((failures + 1))
    fi
}

# A monotonic reading, taken the way the launcher takes it.
now_ns() { "$launcher" "$(command -v env)" | sed -n "s/^$variable=//p"; }

check "the floor reports its first paint and ends" 0 out "$report" "$launcher" "$floor"
check "Huvolo's start-up reports its first paint and ends" 0 out "$report" "$launcher" "$startup"
check "the launcher needs a program" 2 err "^usage: " "$launcher"
check "the launcher reports a program it cannot run" 127 err "cannot run no-such-program" "$launcher" no-such-program
check "the launcher replaces an inherited reading" 0 out "^$variable=[0-9]{2,}$" \
    bash -c "$variable=1 '$launcher' '$(command -v env)' | grep '^$variable='"
for bad in soon 12ms 0 -5 "" 99999999999999999999 "$(($(now_ns) + 60000000000))"; do
    check "the reading '$bad' is refused" 2 err "is not a monotonic clock reading" env "$variable=$bad" "$floor"
done

# Time spent before exec counts: a reading five seconds old gives at least 5000 ms.
old=$(($(now_ns) - 5000000000))
out=$(timeout 60 env "$variable=$old" "$floor" 2>/dev/null)
if [[ $out =~ ^startup_ms=([0-9]+)\. ]] && [ "${BASH_REMATCH[1]}" -ge 5000 ] && [ "${BASH_REMATCH[1]}" -lt 60000 ]; then
    echo "ok: the time runs from the reading"
else
    echo "FAIL: a reading five seconds old gave: $out"
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ]
