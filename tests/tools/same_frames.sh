#!/usr/bin/env bash
# A Windows build draws the same frames as the Linux build: for a few seeds and
# key paths of both programs, its stereo-snapshot (run through $EMULATOR) saves
# the very bytes, PGM and PNG, that the Linux build's does.
# Usage: same_frames.sh STEREO_SNAPSHOT LINUX_STEREO_SNAPSHOT
set -euo pipefail
program=$1 linux=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$linux" ] || fail "no Linux build's stereo-snapshot at $linux (build it first, or set LINUX_STEREO_SNAPSHOT)"

# program  seed  keys: texture and depth views, a close request, every surface
# in both modes, the guide discs off
while read -r name seed keys; do
  ${EMULATOR:+"$EMULATOR"} "$program" "$name" --seed "$seed" --keys "$keys" --pgm "$work/w.pgm" --png "$work/w.png"
  "$linux" "$name" --seed "$seed" --keys "$keys" --pgm "$work/l.pgm" --png "$work/l.png"
  cmp -s "$work/w.pgm" "$work/l.pgm" || fail "$name --seed $seed --keys $keys: the PGM differs"
  cmp -s "$work/w.png" "$work/l.png" || fail "$name --seed $seed --keys $keys: the PNG differs"
done <<'CASES'
velumira 1 98
velumira 7 97
velumira 2026 0,107,97,97
korvelan 1 98
korvelan 5 13,13,13
korvelan 9 32,13,13,13,13
korvelan 2026 13,13,13,13,13,13,97
korvelan 3 32,13,13,13,13,13,13,32
CASES
echo "same_frames.sh: all checks passed"
