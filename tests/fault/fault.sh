#!/usr/bin/env bash
# The fault report: exact lines, CR LF line ends (never CR CR LF), addresses that name the
# faulting function and its callers, the frame limit, and the exit code.
# Usage: fault.sh FAULT_FIXTURE. A Windows build's fixture runs through
# $EMULATOR (Wine), and its addresses are read by $ADDR2LINE (the target's).
set -euo pipefail
fixture=$1
launcher=(${EMULATOR:+"$EMULATOR"})
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

function_at() { "${ADDR2LINE:-addr2line}" -f -C -e "$fixture" "0x$1" | head -n1 | sed -E 's/^.*:://; s/\(.*$//'; }

# kind  exit code  function named by the fault address
while read -r kind code function; do
  status=0
  "${launcher[@]}" "$fixture" "$kind" >"$work/report" 2>"$work/err" || status=$?
  [ "$status" = "$code" ] || fail "$kind: exit code $status, expected $code"
  mapfile -t lines < <(sed 's/\r$//' "$work/report")
  [ "$(grep -c $'\r$' "$work/report")" = "${#lines[@]}" ] || fail "$kind: not every line ends in CR LF"
  ! grep -q $'\r\r' "$work/report" || fail "$kind: a line ends in CR CR LF"
  [[ ${lines[0]} =~ ^Runtime\ error\ $code\ at\ \$([0-9A-F]{8})$ ]] || fail "$kind: first line \"${lines[0]}\""
  address=${BASH_REMATCH[1]}
  [ "${lines[1]}" = "  \$$address" ] || fail "$kind: second line \"${lines[1]}\""
  [ "${lines[-1]}" = "" ] || fail "$kind: the report does not end with an empty line"
  [ "$(function_at "$address")" = "$function" ] || fail "$kind: fault at $(function_at "$address"), not in $function"
  callers=()
  for line in "${lines[@]:2:${#lines[@]}-3}"; do
    [[ $line =~ ^\ \ \$([0-9A-F]{8})$ ]] || fail "$kind: frame line \"$line\""
    callers+=("$(function_at "${BASH_REMATCH[1]}")")
  done
  [ "${callers[*]}" = "fault nested main" ] || fail "$kind: calling frames \"${callers[*]}\""
done <<'CASES'
divide 200 divide
integer-divide 200 integer_divide
overflow 205 overflow
invalid 207 invalid
CASES

# A long chain: 257 calling frames at most into a file or pipe, 9 on a terminal.
status=0
"${launcher[@]}" "$fixture" divide 400 >"$work/report" || status=$?
[ "$status" = 200 ] || fail "deep: exit code $status"
[ "$(wc -l <"$work/report")" = $((2 + 257 + 1)) ] || fail "deep: $(wc -l <"$work/report") lines into a file"
script -qec "${launcher[*]} $fixture divide 400" /dev/null >"$work/tty" || true
[ "$(grep -c '^  \$' "$work/tty")" = $((1 + 9)) ] || fail "deep: $(grep -c '^  \$' "$work/tty") address lines on a terminal"
echo "fault.sh: all checks passed"
