#!/usr/bin/env bash
# `scripts/disks start` run without DISPLAY, as in a terminal without a desktop: a program
# started afterwards in the same prefix, under a display of its own, must still open its
# windows (Wine's desktop keeps the display it found when the server started).
#
#   disks_without_display_test.sh WINE WINDOW_RUNNER SCENARIO.json
#
# Runs in the disks stage: under Xvfb, with the driver started in WINEPREFIX. The driver is
# stopped, started again without DISPLAY, and at the end started as it was.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
wine=$1
window_runner=$2
scenario=$3
display=${DISPLAY:?the test runs under a display (xvfb-run)}
status=0
fail() {
  echo "disks_without_display: $*" >&2
  status=1
}

bash "$root/scripts/disks" stop
started=$(env -u DISPLAY bash "$root/scripts/disks" start 2>&1) || fail "start without DISPLAY failed: $started"
echo "$started"
own=$(cat "$WINEPREFIX/.sb-disks-xvfb" 2>/dev/null)
[ -n "$own" ] || fail "start left no note of the prefix's own display"
echo "$started" | grep -q "its own Xvfb" || fail "start did not say which display the desktop runs on"

# The real main window over the driver's disks, on the display the program is given.
if ! DISPLAY=$display timeout 120 "$wine" "$window_runner" "$scenario" >/dev/null 2>"$WINEPREFIX/runner.err"; then
  fail "a program started later opened no window: $(head -c 600 "$WINEPREFIX/runner.err")"
fi

bash "$root/scripts/disks" stop
if [ -n "$own" ] && kill -0 "${own%% *}" 2>/dev/null; then
  fail "stop left the prefix's Xvfb ${own#* } running"
fi
[ -e "$WINEPREFIX/.sb-disks-xvfb" ] && fail "stop left the note of the prefix's display"

# As the stage had it, for the tests after this one.
DISPLAY=$display bash "$root/scripts/disks" start >/dev/null || fail "the driver did not start again"
[ $status = 0 ] && echo "disks_without_display: a window opened after start without DISPLAY; stop ended the prefix's Xvfb"
exit $status
