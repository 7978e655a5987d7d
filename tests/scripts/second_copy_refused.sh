#!/bin/bash
# Two copies of the real program on one program folder, as a double-click
# starts them: the second says which folder is taken and ends at once with
# exit code 1, writing nothing to the log; the first runs on undisturbed and
# ends normally.
# Usage: second_copy_refused.sh <tarvo binary> <demo folder>
set -u
tarvo=$1
demo=$2

home=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-binary-XXXXXX")
first_pid=
cleanup() {
    [ -n "$first_pid" ] && kill -9 "$first_pid" 2>/dev/null
    rm -rf "$home" "$home.first"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    [ -f "$home.first" ] && sed 's/^/first copy: /' "$home.first"
    exit 1
}

cp -a "$demo/." "$home/" || fail "cannot copy the demo store"
rm -f "$home/tarvo.lock"

env QT_QPA_PLATFORM=offscreen TARVO_NONINTERACTIVE=1 TARVO_QUIT_AFTER_MS=12000 \
    "$tarvo" --home "$home" >"$home.first" 2>&1 &
first_pid=$!   # env replaces itself with the program: this is its process id

# Wait until the first copy holds the folder's lock, seen in /proc/locks
# (probing with a lock of our own could keep the first copy out).
held=
for _ in $(seq 200); do
    if [ -e "$home/tarvo.lock" ]; then
        inode=$(stat -c %i "$home/tarvo.lock")
        if awk -v pid="$first_pid" -v ino=":$inode" \
               '$5 == pid && substr($6, length($6) - length(ino) + 1) == ino { found = 1 } END { exit !found }' \
               /proc/locks; then
            held=1
            break
        fi
    fi
    kill -0 "$first_pid" 2>/dev/null || fail "the first copy ended early"
    sleep 0.05
done
[ -n "$held" ] || fail "the first copy never took the folder's lock"

# The first copy logs its start until its window is up (the terminal's
# summary line comes last): wait for it, so that what the first copy writes
# is not taken for the second copy's.
log="$home/Files/1234567.LOG"
for _ in $(seq 400); do
    grep -q "^.* Terminal 1234567 (" "$log" 2>/dev/null && break
    kill -0 "$first_pid" 2>/dev/null || fail "the first copy ended early"
    sleep 0.05
done
grep -q "^.* Terminal 1234567 (" "$log" 2>/dev/null || fail "the first copy never finished its start"
log_before=$(cat "$log" 2>/dev/null)
start=$(date +%s%N)
out=$(env -u TARVO_QUIT_AFTER_MS QT_QPA_PLATFORM=offscreen TARVO_NONINTERACTIVE=1 \
      timeout 20 "$tarvo" --home "$home" 2>&1)
rc=$?
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
echo "$out"
echo "second copy: exit code $rc after $elapsed_ms ms"

[ "$rc" -eq 1 ] || fail "second copy: exit code $rc, expected 1"
[ "$elapsed_ms" -lt 5000 ] || fail "second copy took $elapsed_ms ms to end"
grep -qxF "MESSAGE: Another copy of the register is already running on the program folder $home. Only one register can run on a program folder." <<<"$out" \
    || fail "the second copy did not say which folder is taken"
[ "$(cat "$log" 2>/dev/null)" = "$log_before" ] || fail "the second copy wrote to the log"

kill -0 "$first_pid" 2>/dev/null || fail "the first copy did not survive the second"
wait "$first_pid"
first_rc=$?
first_pid=
[ "$first_rc" -eq 0 ] || fail "the first copy ended with exit code $first_rc"
echo "PASS"
