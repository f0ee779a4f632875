#!/usr/bin/env bash
# spindlebay-capture.exe as a person runs it, under Wine: each exit code Wine can give (0, 1
# and 2; 3, a disk that refuses its open, needs what Wine cannot be, and is tested on the
# simulated machine by the capture test), its message, --version and --output.
#
#   capture_cli_test.sh WINE CAPTURE
set -uo pipefail
wine=$1
capture=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
status=0
fail() {
  echo "capture_cli: $*" >&2
  status=1
}

# Each case: the arguments, the exit code, and a text its output or its messages must hold.
check() {
  local code=$1 text=$2
  shift 2
  "$wine" "$capture" "$@" >out.txt 2>messages.txt
  local got=$?
  [ $got -eq "$code" ] || fail "$*: exit code $got, not $code"
  grep -qF -- "$text" out.txt messages.txt || fail "$*: no \"$text\" in what it wrote"
}
check 0 "spindlebay-capture " --version
check 0 "--output" --help
check 2 'unknown argument "--bogus"' --bogus
check 2 "--output needs a file name" --output
check 1 'could not be written to Z:\nowhere\machine.json: ' --output 'Z:\nowhere\machine.json'
check 0 "1 disk, " --output machine.json
# --output writes UTF-8 with the format and the tool's version; the same as standard output.
head -c 3 machine.json | od -An -tx1 | grep -q "7b 0a 20" || fail "machine.json does not begin as JSON"
grep -q '"format": 1,' machine.json || fail "machine.json has no format"
grep -q '"captured_by": "spindlebay-capture ' machine.json || fail "machine.json has no version"
"$wine" "$capture" >stdout.json 2>/dev/null
cmp -s machine.json stdout.json || fail "--output and standard output differ"
[ $status -eq 0 ] && echo "capture_cli: passed"
exit $status
