#!/usr/bin/env bash
# End to end: the clipboard keeper under odd starts and hostile neighbours.
# The copied colour is kept when the window's program is ended by a signal
# or its file was removed; the keeper holds none of its starter's streams,
# runs one thread without Qt or D-Bus; it never takes back a clipboard that
# another program took meanwhile, and no other process listening on its
# meeting place can stall it.
# Usage: e2e_keeper.sh HUVOLO XCLOSE XMULTIPLE RESOURCES-DIR
HUVOLO=$1 XCLOSE=$2 XMULTIPLE=$3 RESOURCES=$4
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/keeperlib.sh"

# A paste answered within a second: a keeper must never keep a reader waiting.
paste() { timeout 1 xclip -o -selection clipboard 2>/dev/null; }
quick_clipboard_is() { [ "$(paste)" = "$1" ]; }

# one_keeper_with COLOUR: the clipboard holds COLOUR, served at once, and
# exactly one keeper runs.
one_keeper_with() {
    poll 5 quick_clipboard_is "$1" || fail "clipboard holds '$(paste)', expected $1"
    poll 5 keeper_count_is 1 || fail "$(keepers | wc -l) keepers run, expected one"
}

start_xvfb

# Started in a pipeline that reads the program's output: the pipeline ends
# with the window, as the keeper holds none of the program's streams. The
# keeper is a small program: one thread, no Qt, no D-Bus, in /.
("$HUVOLO" 2>&1 | cat >"$E2E_TMP/piped.log"; echo ended >"$E2E_TMP/pipeline") &
APP_PID=""
find_any_window() { WID=$(xdotool search --onlyvisible --name '^Huvolo$' 2>/dev/null | head -n1) && [ -n "$WID" ]; }
poll 20 find_any_window || fail "no window appeared: $(cat "$E2E_TMP/piped.log")"
eval "$(xdotool getwindowgeometry --shell "$WID")"
WIN_X=$X WIN_Y=$Y
copy 216 118
"$XCLOSE" "$WID"
poll 10 test -e "$E2E_TMP/pipeline" || fail "'huvolo 2>&1 | cat' did not end when the window closed"
one_keeper_with "$COLOUR"
keeper=$(keepers)
for fd in 0 1 2; do
    [ "$(readlink "/proc/$keeper/fd/$fd")" = /dev/null ] \
        || fail "the keeper's descriptor $fd is $(readlink "/proc/$keeper/fd/$fd"), not /dev/null"
done
[ "$(readlink "/proc/$keeper/cwd")" = / ] || fail "the keeper works in $(readlink "/proc/$keeper/cwd"), not /"
threads=$(awk '/^Threads:/ { print $2 }' "/proc/$keeper/status")
[ "$threads" -eq 1 ] || fail "the keeper runs $threads threads"
! grep -q -E 'libQt6|libdbus' "/proc/$keeper/maps" || fail "the keeper loaded Qt or D-Bus"
[ "$(ps -o sid= -p "$keeper")" -eq "$keeper" ] || fail "the keeper has no session of its own"
echo "ok: the pipeline ended with the window; the keeper holds /dev/null and /, one thread, no Qt or D-Bus"

# What a keeper serves, asked all at once (MULTIPLE): the text as UTF-8
# under its names, as ISO 8859-1 under STRING (refused when it does not
# fit), TEXT in whichever fits, its targets and when it took the clipboard.
targets="TARGETS,TIMESTAMP,MULTIPLE,UTF8_STRING,text/plain;charset=utf-8,STRING,TEXT"
for text in "grün" "€ 1"; do
    echo -n "$text" | "$HUVOLO" --keep-clipboard >/dev/null 2>>"$E2E_TMP/app.log" &
    poll 5 quick_clipboard_is "$text" || fail "clipboard holds '$(paste)', expected '$text'"
    if [ "$text" = "grün" ]; then string="STRING STRING "$'gr\xfcn' text_line="TEXT STRING "$'gr\xfcn'
    else string="STRING refused" text_line="TEXT UTF8_STRING € 1"; fi
    expected="TARGETS ATOM $targets
UTF8_STRING UTF8_STRING $text
text/plain;charset=utf-8 text/plain;charset=utf-8 $text
$string
$text_line
image/png refused"
    answer=$("$XMULTIPLE" TARGETS UTF8_STRING "text/plain;charset=utf-8" STRING TEXT image/png TIMESTAMP) \
        || fail "no answer to MULTIPLE"
    [ "$(head -n 6 <<<"$answer")" = "$expected" ] || fail "the keeper of '$text' answered: $answer"
    [[ $(tail -n 1 <<<"$answer") =~ ^TIMESTAMP\ INTEGER\ [1-9][0-9]*$ ]] || fail "no time: $answer"
done
echo "ok: a keeper serves each text target, alone and through MULTIPLE"

# Ended by SIGTERM (a logout, kill) with the window open: the colour is
# kept as when the window closes.
start_app "$HUVOLO" Huvolo
copy 118 20
kill -TERM "$APP_PID"
expect_exit "SIGTERM"
one_keeper_with "$COLOUR"
echo "ok: after SIGTERM a keeper serves $COLOUR"

# The program's file removed while it runs (a package removal, a cleaned
# build tree): the keeper still starts, from the running program.
mkdir "$E2E_TMP/bin"
cp "$HUVOLO" "$E2E_TMP/bin/huvolo"
start_app "$E2E_TMP/bin/huvolo" Huvolo
copy 20 110
rm "$E2E_TMP/bin/huvolo"
close_app
one_keeper_with "$COLOUR"
echo "ok: with the program's file removed, a keeper serves $COLOUR"

# Another program copies just as the window closes: whichever order things
# happen in, the other program's text stays and no keeper runs.
for attempt in 1 2 3; do
    start_app "$HUVOLO" Huvolo
    copy 125 216
    "$XCLOSE" "$WID"
    echo -n "newer $attempt" | xclip -i -selection clipboard >/dev/null 2>&1
    expect_exit "its window was closed"
    poll 5 keeper_count_is 0 || fail "a keeper runs after another program copied as the window closed"
    [ "$(paste)" = "newer $attempt" ] \
        || fail "clipboard holds '$(paste)' after another program copied as the window closed (try $attempt)"
done
echo "ok: a copy made as the window closes is never overwritten by the keeper"

# Another process listens on the keepers' meeting place: one (another user,
# when the test may switch users) with a full queue, then one that takes
# the connection and holds it. Each new keeper serves at once all the same.
name="org.huvolo.Huvolo.keeper.$(id -u).$(printf %s "$DISPLAY" | sha256sum | cut -c1-64)"
# squatter MODE [COMMAND-PREFIX...]: listens on the keepers' name until ended.
squatter() {
    "${@:2}" /usr/bin/python3 - "$name" "$1" >"$E2E_TMP/squatter.$1" <<'PYTHON' &
import socket, sys, time
name, mode = sys.argv[1], sys.argv[2]
server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
server.bind("\0" + name)
server.listen(0)
held = []
if mode == "full":
    # Fill the queue: connections that are never accepted.
    for _ in range(64):
        client = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        client.setblocking(False)
        try:
            client.connect("\0" + name)
        except BlockingIOError:
            break
        held.append(client)
print("ready", flush=True)
while True:
    if mode == "hold":
        held.append(server.accept()[0])
    else:
        time.sleep(60)
PYTHON
    E2E_PIDS+=($!)
}
as_other_user=()
if [ "$(id -u)" -eq 0 ]; then as_other_user=(setpriv --reuid=65534 --regid=65534 --clear-groups); fi
for mode in full hold; do
    echo -n other | xclip -i -selection clipboard >/dev/null 2>&1
    poll 5 keeper_count_is 0 || fail "the keeper did not leave when another program took the clipboard"
    if [ "$mode" = full ]; then squatter "$mode" "${as_other_user[@]}"; else squatter "$mode"; fi
    poll 10 grep -q ready "$E2E_TMP/squatter.$mode" || fail "the squatter did not start"
    start_app "$HUVOLO" Huvolo
    copy 160 60
    close_app
    one_keeper_with "$COLOUR"
    previous=$(keepers)
    # A newer keeper still replaces this one.
    start_app "$HUVOLO" Huvolo
    copy 60 160
    close_app
    one_keeper_with "$COLOUR"
    [ "$(keepers)" != "$previous" ] || fail "the older keeper still runs"
    kill "${E2E_PIDS[-1]}"
done
echo "ok: a process squatting on the keepers' name stalls no keeper"

# A keeper that leaves writes its findings as it ends.
echo -n other | xclip -i -selection clipboard >/dev/null 2>&1
poll 5 keeper_count_is 0 || fail "the keeper did not leave when another program took the clipboard"
no_findings || fail "sanitizer findings: $(cat "$E2E_TMP"/sanitizer.*)"
