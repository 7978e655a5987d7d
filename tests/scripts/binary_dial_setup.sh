#!/bin/bash
# `tarvo --dial-setup` opens the dial-up set-up, not the register: on a copy of
# the demo store (no dial command configured) it says so in a message box and
# goes on running until it is told to end; the register's lock is never
# taken and the password of Dial.Set never reaches the log.
# Usage: binary_dial_setup.sh <tarvo binary> <demo folder>
set -u
tarvo=$1
demo=$2
home=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-dialsetup-XXXXXX")
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$home"' EXIT
cp -a "$demo/." "$home/" || { echo "FAIL: cannot copy the demo store"; exit 1; }
printf 'Demo Line\r\ndemo\r\ns3cr3t-pw\r\n' > "$home/Files/Dial.Set"
env QT_QPA_PLATFORM=offscreen TARVO_NONINTERACTIVE=1 "$tarvo" --home "$home" --dial-setup > "$home/out.txt" 2>&1 &
pid=$!
for _ in $(seq 100); do
  grep -q "MESSAGE: You need to have Dial-Up Network installed" "$home/out.txt" && break
  sleep 0.1
done
grep -q "MESSAGE: You need to have Dial-Up Network installed" "$home/out.txt" ||
  { echo "FAIL: no message about the missing dial command"; cat "$home/out.txt"; exit 1; }
sleep 0.5
kill -0 "$pid" 2>/dev/null || { echo "FAIL: the message ended the program"; exit 1; }
[ ! -e "$home/tarvo.lock" ] || { echo "FAIL: the register was started"; exit 1; }
kill -TERM "$pid"
wait "$pid"
rc=$?
pid=
[ "$rc" -eq 0 ] || { echo "FAIL: exit code $rc"; exit 1; }
grep -q "Dial-up set-up: no dial command is configured" "$home/Files/1234567.LOG" ||
  { echo "FAIL: the log does not say why"; exit 1; }
if grep -q "s3cr3t-pw" "$home/Files/1234567.LOG" "$home/out.txt"; then
  echo "FAIL: the password was written out"; exit 1
fi
echo "PASS"
