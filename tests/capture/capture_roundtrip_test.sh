#!/usr/bin/env bash
# Real machines become test machines, proven under Wine. Each machine is loaded into the test
# disk driver and captured by spindlebay-capture; the capture, played by the scenario runner,
# must show the same rows and the same Properties lines as the original description.
#
#   capture_roundtrip_test.sh WINE CAPTURE MACHINE.json|DIRECTORY...
#
# A directory stands for every machine (*.json) in it; a scenario file stands for its machine.
# scenario_runner and testdisk-image come from the native build: $SB_NATIVE_BUILD, or
# build/native. The driver must be running in $WINEPREFIX (bash scripts/disks start).
#
# For each machine:
# - The capture only reads: the driver's log holds only the program's read requests, and
#   Wine's own trace of every open (NtCreateFile) shows no disk opened for writing.
# - The capture with --keep-identifiers plays exactly as the original; the default capture
#   plays the same but for the values of "DiskID: " and "S/N: ", which keep their length and
#   form and differ from the originals; two default captures are the same text.
# - What the driver cannot be is said, and both sides take it from the capture: disk 0 and
#   the volumes are Wine's own; a disk with open_error is not given to the driver (Wine
#   ignores a driver's answer to an open), so it is absent on both sides.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
wine=$1
capture=$2
shift 2
native=${SB_NATIVE_BUILD:-$root/build/native}
scenario_runner=$native/tools/scenario_runner
if [ ! -x "$scenario_runner" ]; then
  echo "capture_roundtrip: $scenario_runner is missing: build the native preset first" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The read requests the program sends a disk; anything else in the log is a fault.
read_codes='^0x(0007405C|000700F0|002D1400|000700A0|00070050|000740D4|002D1100)$'
# Access bits that let a handle change something: GENERIC_WRITE, GENERIC_ALL,
# MAXIMUM_ALLOWED, FILE_WRITE_DATA, FILE_APPEND_DATA, FILE_WRITE_EA, FILE_WRITE_ATTRIBUTES,
# DELETE, WRITE_DAC, WRITE_OWNER.
write_access=$((0x40000000 | 0x10000000 | 0x02000000 | 0x2 | 0x4 | 0x10 | 0x100 | 0x10000 | 0x40000 | 0x80000))

# The identifier values shown as their form: letters and digits become x.
identifiers_as_form() {
  sed -E ':a; s/^(  \| (DiskID|S\/N): [^0-9A-Za-wyz]*)[0-9A-Za-wyz]/\1x/; ta'
}

machines=()
for given in "$@"; do
  if [ -d "$given" ]; then machines+=("$given"/*.json); else machines+=("$given"); fi
done

status=0
for machine in "${machines[@]}"; do
  name=$(basename "$machine" .json)
  fail() {
    echo "capture_roundtrip: $name: $*" >&2
    status=1
  }
  # JSON is rewritten by Python: its integers are exact, where jq's are doubles.
  python3 -c 'import json, sys
d = json.load(open(sys.argv[1]))
json.dump(d.get("machine", d) if isinstance(d, dict) else d, sys.stdout, indent=1)' \
    "$machine" >"$work/$name.original.json"
  if ! bash "$root/scripts/disks" load "$work/$name.original.json" 2>"$work/$name.load"; then
    fail "the driver did not take the machine:"
    cat "$work/$name.load" >&2
    continue
  fi
  sed "s/^disks: /capture_roundtrip: $name: left out of the driver: /" "$work/$name.load"

  # Kept identifiers, with Wine's trace of every open.
  if ! WINEDEBUG=-all,trace+file "$wine" "$capture" --keep-identifiers \
      >"$work/$name.kept.json" 2>"$work/$name.trace"; then
    fail "the capture failed:"
    grep '^spindlebay-capture' "$work/$name.trace" >&2
    continue
  fi
  bash "$root/scripts/disks" log >"$work/$name.log"
  for run in 1 2; do
    "$wine" "$capture" >"$work/$name.default$run.json" 2>/dev/null || fail "the default capture failed"
  done

  # It only reads.
  others=$(sed -E 's/.*"code":"([^"]*)".*/\1/' "$work/$name.log" | grep -Ev "$read_codes" |
    sort -u | tr '\n' ' ')
  [ -z "$others" ] || fail "the driver's log holds requests the program does not read with: $others"
  requests=$(wc -l <"$work/$name.log")
  opens=0
  while read -r access; do
    opens=$((opens + 1))
    (((0x$access & write_access) == 0)) || fail "a disk was opened with access 0x$access"
  done < <(grep -i 'NtCreateFile.*name=L"\\\\??\\\\physicaldrive' "$work/$name.trace" |
    sed -E 's/.* access=([0-9a-fA-F]+) .*/\1/')
  [ "$opens" -gt 0 ] || fail "Wine's trace shows no open of a disk"

  cmp -s "$work/$name.default1.json" "$work/$name.default2.json" ||
    fail "two default captures of the same machine differ"

  # The original as the driver can be it: Wine's disk 0 and volumes, as the capture has them;
  # no disk that refuses its open.
  python3 -c 'import json, sys
original, capture = (json.load(open(path)) for path in sys.argv[1:3])
original["disks"] = [d for d in capture["disks"] if d["number"] == 0] + [
    d for d in original.get("disks", []) if d["number"] != 0 and "open_error" not in d]
original["volumes"] = capture["volumes"]
json.dump(original, open(sys.argv[3], "w"), indent=1)
print(sum(d["number"] == 0 for d in capture["disks"]), len(capture["volumes"]),
      len(original["disks"]))' \
    "$work/$name.original.json" "$work/$name.kept.json" "$work/$name.comparable.json" \
    >"$work/$name.counts"
  read -r wine_disk wine_volumes rows <"$work/$name.counts"
  echo "capture_roundtrip: $name: in the capture, $wine_disk disk 0 and $wine_volumes volumes are Wine's own; the comparison takes them from the capture on both sides"

  # Start, then the Properties of every row.
  {
    printf '[{"do": "start"}'
    for ((row = 0; row < rows; row++)); do
      printf ', {"do": "select", "row": %d}, {"do": "menu", "item": "properties"}' "$row"
    done
    printf ']\n'
  } >"$work/actions.json"
  play() { "$scenario_runner" "$1" "$work/actions.json"; }
  play "$work/$name.comparable.json" >"$work/$name.original.out" || { fail "the original does not play"; continue; }
  play "$work/$name.kept.json" >"$work/$name.kept.out" || { fail "the kept capture does not play"; continue; }
  play "$work/$name.default1.json" >"$work/$name.default.out" || { fail "the default capture does not play"; continue; }

  diff -u --label "$name: original" --label "$name: capture" \
    "$work/$name.original.out" "$work/$name.kept.out" || fail "the capture does not play as the original"
  diff -u --label "$name: original" --label "$name: capture with stand-ins" \
    <(identifiers_as_form <"$work/$name.original.out") \
    <(identifiers_as_form <"$work/$name.default.out") ||
    fail "the capture with stand-ins does not play as the original"
  # Each identifier the original shows is replaced, in its own place; zero values stay, they
  # identify nothing.
  kept_in_place=$(paste -d '\n' "$work/$name.original.out" "$work/$name.default.out" |
    awk 'NR % 2 == 1 { original = $0; next }
         original == $0 && $0 ~ /^  \| (DiskID|S\/N): / &&
         $0 !~ /^  \| DiskID: (0000|\{00000000-0000-0000-0000-000000000000\})$/ { print }')
  [ -z "$kept_in_place" ] || fail "identifiers kept in the default capture: $kept_in_place"

  echo "capture_roundtrip: $name: $rows rows and their Properties the same ($requests requests to the driver's disks, $opens opens of disks, none for writing)"
done
exit $status
