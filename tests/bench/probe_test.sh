#!/usr/bin/env bash
# The start-up probe of the benchmark programs. Started through bench_exec,
# the floor and Huvolo's start-up report one well-formed line at their first
# paint and end by themselves; the times run from the launcher's clock
# readings, not from main; readings that cannot be trusted are refused rather
# than turned into figures.
# Usage: probe_test.sh BENCH_EXEC BENCH_FLOOR BENCH_STARTUP
set -uo pipefail
launcher=$1 floor=$2 startup=$3
variable=HUVOLO_BENCH_EXEC_CLOCKS
report='^startup_ms=[0-9]+\.[0-9]{3} cpu_ms=[0-9]+\.[0-9]{3} peak_rss_kib=[0-9]+$'
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

# Readings "WALL CPU" taken the way the launcher takes them, and the wall one.
now_clocks() { "$launcher" "$(command -v env)" | sed -n "s/^$variable=//p"; }
now_ns() { now_clocks | cut -d' ' -f1; }

check "the floor reports its first paint and ends" 0 out "$report" "$launcher" "$floor"
check "Huvolo's start-up reports its first paint and ends" 0 out "$report" "$launcher" "$startup"
check "the launcher needs a program" 2 err "^usage: " "$launcher"
check "the launcher reports a program it cannot run" 127 err "cannot run no-such-program" "$launcher" no-such-program
check "the launcher replaces inherited readings" 0 out "^$variable=[0-9]{2,} [0-9]+$" \
    bash -c "$variable='1 1' '$launcher' '$(command -v env)' | grep '^$variable='"
wall=$(now_ns)
for bad in soon "$wall" "$wall 12ms" "$wall  1" "$wall +1" " $wall 1" "$wall 1 " "0 1" "-5 1" "$wall -1" "" "99999999999999999999 1" \
    "$((wall + 60000000000)) 1" "$wall 60000000000"; do
    check "the readings '$bad' are refused" 2 err "are not clock readings taken before this start" \
        env "$variable=$bad" "$floor"
done

# Both times run from the readings: a wall reading five seconds old gives at
# least 5000 ms of start-up, but the CPU time stays what the start used.
old=$(($(now_ns) - 5000000000))
out=$(timeout 60 env "$variable=$old 0" "$floor" 2>/dev/null)
if [[ $out =~ ^startup_ms=([0-9]+)\.[0-9]+\ cpu_ms=([0-9]+)\. ]] && [ "${BASH_REMATCH[1]}" -ge 5000 ] \
    && [ "${BASH_REMATCH[1]}" -lt 60000 ] && [ "${BASH_REMATCH[2]}" -lt 5000 ]; then
    echo "ok: the times run from the readings"
else
    echo "FAIL: readings five seconds old gave: $out"
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ]
