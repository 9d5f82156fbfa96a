#!/usr/bin/env bash
# stereo-snapshot: what it saves, and how it refuses bad arguments.
# Usage: snapshot.sh STEREO_SNAPSHOT
set -euo pipefail
snapshot=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# velumira's depth frame: the centre's target (479, 299) lies on the heart,
# index 11, light cyan; the PGM holds the read-back index of every pixel.
"$snapshot" velumira --keys 97 --png "$work/depth.png" --pgm "$work/depth.pgm"
[ "$(identify -format '%w %h %[type]' "$work/depth.png")" = "800 600 Palette" ] || fail "PNG: $(identify "$work/depth.png")"
[ "$(convert "$work/depth.png" -format '%[pixel:p{479,299}]' info:)" = "srgb(84,252,252)" ] || fail "PNG: centre target"
head -c 15 "$work/depth.pgm" | cmp -s - <(printf 'P5\n800 600\n255\n') || fail "PGM header"
[ "$(stat -c %s "$work/depth.pgm")" = $((15 + 800 * 600)) ] || fail "PGM size"
[ "$(od -An -tu1 -j $((15 + 299 * 800 + 479)) -N1 "$work/depth.pgm" | tr -d ' ')" = 11 ] || fail "PGM: centre target"
[ "$(stat -c %a "$work/depth.png")" = "$(printf '%o' $((0666 & ~$(umask))))" ] || fail "PNG mode $(stat -c %a "$work/depth.png")"

# A fixed seed gives the same picture; the korvelan strip's read-back indices
# never show 247..255 or 16 (they read as 0) nor 31 (reads as 15).
"$snapshot" korvelan --seed 9 --pgm "$work/a.pgm"
"$snapshot" korvelan --seed 9 --pgm "$work/b.pgm"
cmp -s "$work/a.pgm" "$work/b.pgm" || fail "the same seed gave different pictures"
strip=$(tail -c $((1024 * 768)) "$work/a.pgm" | od -An -v -tu1 -w1024 | awk '{for (x = 1; x <= 124; ++x) print $x}' | sort -un)
grep -qxE '16|31|24[7-9]|25[0-5]' <<<"$strip" && fail "read-back indices include a duplicate colour's index"

# Bad arguments: one line on standard error, exit code 2, no file left behind.
while IFS='|' read -r arguments; do
  status=0
  # shellcheck disable=SC2086
  "$snapshot" $arguments --png "$work/bad.png" 2>"$work/err" || status=$?
  [ "$status" = 2 ] || fail "$arguments: exit code $status"
  [ "$(wc -l <"$work/err")" = 1 ] || fail "$arguments: $(cat "$work/err")"
  [ ! -e "$work/bad.png" ] || fail "$arguments: a file was written"
done <<'CASES'
elsewhere
velumira --seed x7
velumira --seed 4294967296
velumira --keys 97,,13
velumira --keys 256
velumira --keys -1
velumira --frobnicate
CASES
status=0
"$snapshot" velumira --png "$work/missing/folder/x.png" 2>"$work/err" || status=$?
[ "$status" = 2 ] && [ "$(wc -l <"$work/err")" = 1 ] || fail "unwritable file: $status $(cat "$work/err")"
[ -z "$(ls "$work" | grep -v -E '^(depth\.(png|pgm)|a\.pgm|b\.pgm|err)$')" ] || fail "left behind: $(ls "$work")"
"$snapshot" --help | grep -q -- "--keys" || fail "--help"
echo "snapshot.sh: all checks passed"
