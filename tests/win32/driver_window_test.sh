#!/usr/bin/env bash
# One description, two machines. Each scenario runs on the real main window over the test
# disk driver's disks (window_runner, under Wine) and on the simulated machine
# (scenario_runner), and what the user sees, with the requests the disks received, must be
# the same on both.
#
#   driver_window_test.sh WINE WINDOW_RUNNER SCENARIO.json|DIRECTORY...
#
# A directory stands for every scenario (*.json) in it.
# scenario_runner comes from the native build: $SB_NATIVE_BUILD, or build/native; the 32-bit
# program is compared with its single-byte twin, SB_SCENARIO_RUNNER=scenario_runner_a.
#
# What cannot be the same, and what the comparison does about it:
# - Disk 0, the volumes and Windows' message texts are Wine's own. window_runner
#   measures them and writes the scenario as this Wine shows it (--wine-scenario); the
#   simulated machine runs that one. The description's disks 1 to 15 stay as they are.
# - Requests to disk 0 reach Wine, not the driver, whose log cannot show them: they are left
#   out of the simulated machine's requests.
# - The driver cannot refuse an open (Wine ignores the status): a disk with open_error is not
#   given to the driver, which the list cannot tell from a refused open.
# - Mount points: Wine's volumes lie on none of the driver's disks, and its mount-point
#   calls are stubs, so no command changes a mount point on either machine.
# - The clock: a notice's status line carries Wine's clock on one side and the virtual clock
#   on the other; both are written <clock>.
# - A report line that ends with a line break is one line of the report and two lines of
#   the text box: the simulated machine's line is split there as well.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
wine=$1
window_runner=$2
shift 2
scenario_runner=${SB_NATIVE_BUILD:-$root/build/native}/tools/${SB_SCENARIO_RUNNER:-scenario_runner}
if [ ! -x "$scenario_runner" ]; then
  echo "driver_window: $scenario_runner is missing: build the native preset first" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

without_clock() {
  sed -E 's#^(status: |-- status bar: ).* : device (inserted|removed) #\1<clock> : device \2 #'
}

# The simulated machine's output as the real side can show it.
as_real_side_shows_it() {
  grep -v '^request: disk 0 ' | sed -E '/^  \| /s/\\r\\n/\n  | /g' | without_clock
}

# The attribute changes the driver's disks received, and the row selected after each press,
# for a scenario that has them written down beside it (NAME.changes).
changes_and_rows() {
  awk '/^> press/ { press = $0 } /^request: .* 0x0007C0F4 / { print } /^\* / && press { print press " -> " $0; press = "" }'
}

scenarios=()
for given in "$@"; do
  if [ -d "$given" ]; then scenarios+=("$given"/*.json); else scenarios+=("$given"); fi
done

status=0
for scenario in "${scenarios[@]}"; do
  name=$(basename "$scenario" .json)
  if ! "$wine" "$window_runner" "$scenario" --requests --wine-scenario "$work/$name.wine.json" \
      >"$work/$name.real" 2>"$work/$name.notes"; then
    echo "driver_window: $name: window_runner failed:" >&2
    cat "$work/$name.notes" "$work/$name.real" >&2
    status=1
    continue
  fi
  # What of the description the driver cannot be, as window_runner names it.
  sed "s/^window_runner: note: /driver_window: $name: left to Wine or to the simulated machine: /" \
    "$work/$name.notes"
  if ! "$scenario_runner" "$work/$name.wine.json" --requests >"$work/$name.sim"; then
    echo "driver_window: $name: scenario_runner failed" >&2
    status=1
    continue
  fi
  if diff -u --label "$name: simulated machine" --label "$name: real window" \
      <(as_real_side_shows_it <"$work/$name.sim") <(without_clock <"$work/$name.real"); then
    echo "driver_window: $name: the same on both machines ($(grep -c '^> ' "$work/$name.real") actions, $(grep -c '^request: ' "$work/$name.real") requests to the driver's disks)"
  else
    status=1
  fi
  expected=${scenario%.json}.changes
  if [ -f "$expected" ]; then
    if diff -u --label "$name: expected attribute changes" --label "$name: the driver's log" \
        <(grep -v '^#' "$expected") <(changes_and_rows <"$work/$name.real"); then
      echo "driver_window: $name: the driver's log holds exactly the expected attribute changes"
    else
      status=1
    fi
  fi
done
exit $status
