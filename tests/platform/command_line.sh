#!/usr/bin/env bash
# The programs' command line, with no display at all: --help and --version
# answer on standard output with exit code 0; every bad option or value is one
# line on standard error and exit code 2.
# Usage: command_line.sh PROGRAM NAME VERSION
set -euo pipefail
program=$1 name=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# arguments | exit code | what standard output holds (a grep pattern, or empty)
while IFS='|' read -r arguments code output; do
  status=0
  # shellcheck disable=SC2086
  env -u DISPLAY -u WAYLAND_DISPLAY "$program" $arguments >"$work/out" 2>"$work/err" || status=$?
  [ "$status" = "$code" ] || fail "$arguments: exit code $status, expected $code ($(cat "$work/err"))"
  if [ "$code" = 0 ]; then
    [ ! -s "$work/err" ] || fail "$arguments: wrote to standard error: $(cat "$work/err")"
    grep -qE -- "$output" "$work/out" || fail "$arguments: standard output lacks \"$output\": $(cat "$work/out")"
  else
    [ ! -s "$work/out" ] || fail "$arguments: wrote to standard output"
    [ "$(wc -l <"$work/err")" = 1 ] && grep -q "^$name: " "$work/err" || fail "$arguments: $(cat "$work/err")"
  fi
done <<CASES
--help|0|^Usage: $name \[OPTIONS\]
-h|0|--save-dir DIR
--help|0|Escape +quit
--version|0|^$name $version\$
--seed|2|
--seed -1|2|
--seed 4294967296|2|
--seed 12x|2|
--scale 0|2|
--scale 9|2|
--scale 1.5|2|
--scale two|2|
--scale 2 --scale 3|2|
--fullscreen=3|2|
--save-dir /nonexistent/folder|2|
--save-dir /etc/hostname|2|
--frobnicate|2|
extra|2|
CASES
echo "command_line.sh: all checks passed"
