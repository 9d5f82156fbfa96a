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

# Where the pictures go. Each case prepares $out, saves korvelan's first frame
# (seed 5) there, and checks the result against the same frame saved to a file.
"$snapshot" korvelan --seed 5 --png "$work/frame.png" --pgm "$work/frame.pgm"
out=$work/out
root() { [ "$(id -u)" = 0 ]; }
while IFS='|' read -r name needs check; do
  if [ "$needs" = root ] && ! root; then echo "skipped (needs root): $name"; continue; fi
  rm -rf "$out"; mkdir "$out"
  (cd "$out" && eval "$check") || fail "outputs: $name"
  leftovers=$(find "$out" -name '.*.??????' | head -n1)
  [ -z "$leftovers" ] || fail "outputs: $name left $leftovers behind"
done <<'CASES'
standard output||"$snapshot" korvelan --seed 5 --png - | cmp -s - "$work/frame.png"
a pipe||"$snapshot" korvelan --seed 5 --pgm - | cat >piped && cmp -s piped "$work/frame.pgm"
a FIFO is written through||mkfifo fifo && { cat fifo >got & } && "$snapshot" korvelan --seed 5 --png fifo && wait && [ -p fifo ] && cmp -s got "$work/frame.png"
a symlink stays a link||ln -s target.png link && "$snapshot" korvelan --seed 5 --png link && [ -L link ] && cmp -s target.png "$work/frame.png"
a link through a link to a folder||mkdir sub && ln -s sub dir && ln -s dir/t.pgm l && "$snapshot" korvelan --seed 5 --pgm l && [ -L l ] && cmp -s sub/t.pgm "$work/frame.pgm"
a file keeps its mode||touch kept && chmod 600 kept && "$snapshot" korvelan --seed 5 --png kept && [ "$(stat -c %a kept)" = 600 ] && cmp -s kept "$work/frame.png"
a new file gets the usual mode||"$snapshot" korvelan --seed 5 --png new && [ "$(stat -c %a new)" = "$(printf '%o' $((0666 & ~$(umask))))" ]
a device node is written through|root|mknod null c 1 3 && "$snapshot" korvelan --seed 5 --png null && [ -c null ]
both to standard output is a usage error||{ "$snapshot" korvelan --png - --pgm - >/dev/null 2>err; [ $? = 2 ]; } && [ "$(wc -l <err)" = 1 ]
the same path twice is a usage error||{ "$snapshot" korvelan --png same --pgm ./same 2>err; [ $? = 2 ]; } && [ "$(wc -l <err)" = 1 ] && [ ! -e same ]
a terminal is refused||{ script -qec "$snapshot korvelan --png -" /dev/null >said; [ $? = 2 ]; } && grep -q "terminal" said
a closed pipe is a write failure||{ "$snapshot" korvelan --pgm - 2>err | head -c 10 >/dev/null; [ "${PIPESTATUS[0]}" = 2 ]; } && grep -q "standard output: Broken pipe" err
a full file system|root|mkdir small && mount -t tmpfs -o size=256k tmpfs small && { "$snapshot" korvelan --png small/x.png --pgm small/x.pgm 2>err; s=$?; ls -A small >left; umount small; [ $s = 2 ] && [ "$(cat err)" = "stereo-snapshot: cannot write small/x.pgm: No space left on device" ] && [ ! -s left ]; }
CASES

# An interrupted run removes its temporary files and ends by the signal. The
# PGM goes to a FIFO nobody reads, so the run stops there with the PNG written
# to its temporary file.
for signal in INT TERM HUP; do
  rm -rf "$out"; mkdir -p "$out/pictures"; mkfifo "$out/fifo"
  env --default-signal=INT,TERM,HUP "$snapshot" korvelan --png "$out/pictures/x.png" --pgm "$out/fifo" 2>/dev/null &
  pid=$!
  exec 3<"$out/fifo"
  for _ in $(seq 100); do [ -n "$(ls -A "$out/pictures")" ] && break; sleep 0.05; done
  [ -n "$(ls -A "$out/pictures")" ] || fail "$signal: no temporary file appeared"
  sleep 0.2
  kill -s "$signal" "$pid"
  status=0; wait "$pid" || status=$?
  exec 3<&-
  [ "$status" = $((128 + $(kill -l "$signal"))) ] || fail "$signal: exit status $status"
  [ -z "$(ls -A "$out/pictures")" ] || fail "$signal: left $(ls -A "$out/pictures")"
done
echo "snapshot.sh: all checks passed"
