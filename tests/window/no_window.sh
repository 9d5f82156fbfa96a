#!/usr/bin/env bash
# A program that cannot open its window says why in one line on standard
# error and exits with code 1, promptly: with no display at all, and on a
# screen smaller than its drawing area.
# Usage: no_window.sh PROGRAM NAME. A Windows build's program runs through
# $EMULATOR (Wine), started afresh for each display.
set -euo pipefail
program=$1 name=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
fresh_wine() { [ -z "${EMULATOR:-}" ] || "$EMULATOR" --start; }
run="${EMULATOR:+$EMULATOR }$program"

check() {
  local status=0 err
  err=$(timeout 10 "$@" 2>&1 >/dev/null) || status=$?
  [ "$status" = 1 ] || fail "$name: exit code $status, expected 1 ($err)"
  [ "$(printf '%s\n' "$err" | wc -l)" = 1 ] || fail "$name: more than one line: $err"
  [[ $err == "$name: "* ]] || fail "$name: the message does not name the program: $err"
  echo "$err"
}

(unset DISPLAY WAYLAND_DISPLAY && fresh_wine && check $run)
message=$(XVFB_SCREEN=640x480x24 "$(dirname "$0")/with_xvfb" bash -c "$(declare -f check fail fresh_wine); name=$name; fresh_wine; check $run")
[[ $message == *"640 x 480"* ]] || fail "$name: the message does not name the small screen: $message"
echo "no_window.sh: all checks passed"
