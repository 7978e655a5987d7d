#!/bin/bash
# The real program starts on a copy of the demo store (so the checkout is
# never written to) and ends normally when told to quit.
# Usage: binary_starts.sh <tarvo binary> <demo folder>
set -u
tarvo=$1
demo=$2
home=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-binary-XXXXXX")
trap 'rm -rf "$home"' EXIT
cp -a "$demo/." "$home/" || { echo "FAIL: cannot copy the demo store"; exit 1; }
env QT_QPA_PLATFORM=offscreen TARVO_QUIT_AFTER_MS=300 "$tarvo" --home "$home"
