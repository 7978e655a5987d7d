#!/bin/bash
# Runs the real program on a copy of the demo store without its settings file,
# offline (the Internet check address is a loopback port nobody answers on)
# and without Files/Dial.Set: it must say so and end with exit code 1.
# Usage: binary_ends_without_dial_settings.sh <tarvo binary> <demo folder>
set -u
tarvo=$1
demo=$2

home=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-binary-XXXXXX")
holder_pid=
cleanup() {
    [ -n "$holder_pid" ] && kill "$holder_pid" 2>/dev/null
    rm -rf "$home"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}

cp -a "$demo/." "$home/" || fail "cannot copy the demo store"
rm -f "$home/Files/1234567.SET" "$home/Files/Dial.Set"

# Hold a bound, never-listening loopback port: connections to it are refused.
coproc HOLDER { exec /usr/bin/python3 -c '
import socket, sys
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1], flush=True)
sys.stdin.read()
'; }
holder_pid=$HOLDER_PID
read -r port <&"${HOLDER[0]}" || fail "no free loopback port"

sed -i "s|^InternetCheckUrl=.*|InternetCheckUrl=http://127.0.0.1:$port/|" "$home/Tarvo.ini"
grep -q "^InternetCheckUrl=http://127.0.0.1:$port/\$" "$home/Tarvo.ini" || fail "Tarvo.ini not prepared"

out=$(env -u TARVO_QUIT_AFTER_MS QT_QPA_PLATFORM=offscreen TARVO_NONINTERACTIVE=1 \
      timeout 20 "$tarvo" --home "$home" 2>&1)
rc=$?
echo "$out"

[ "$rc" -eq 1 ] || fail "exit code $rc, expected 1"
grep -qxF "MESSAGE: Error: The Dial up configuration file does not exist." <<<"$out" \
    || fail "the dial-up message was not shown"
grep -qF "Error: The Dial up configuration file does not exist." "$home/Files/1234567.LOG" \
    || fail "the dial-up message is not in the log"
[ ! -e "$home/Files/1234567.SET" ] || fail "a settings file appeared"
echo "PASS"
