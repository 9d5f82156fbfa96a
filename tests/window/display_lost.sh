#!/usr/bin/env bash
# When the display goes away (the X server ends), a program ends within a
# second, with exit code 1 and one line on standard error that names it and
# the lost display: while it waits for a key, and while it draws.
# Usage, under with_xvfb: display_lost.sh PROGRAM TITLE waiting|drawing
source "$(dirname "$0")/lib.sh"
program=$1 title=$2 state=$3
name=$(basename "$program")

# The program thread's scheduling state: R running, S asleep.
thread_state() { awk '{print $3}' "/proc/$program_pid/task/$program_pid/stat"; }

launch "$program"
wid=$(window_of "$title")
focus "$wid"
if [ "$state" = drawing ]; then
  # Keys faster than frames: the program draws one frame after another.
  xdotool key --delay 1 --repeat 5000 b 2>/dev/null &
  typist=$!
  running=no
  for _ in $(seq 2000); do [ "$(thread_state)" = R ] && { running=yes; break; }; done
  [ "$running" = yes ] || fail "the program was not drawing"
else
  # Waiting: asleep at every look for a fifth of a second.
  calm=0
  for _ in $(seq 1500); do
    if [ "$(thread_state)" = S ]; then calm=$((calm + 1)); else calm=0; fi
    [ "$calm" -ge 10 ] && break
    sleep 0.02
  done
  [ "$calm" -ge 10 ] || fail "the program was not waiting"
fi
kill -KILL "$XVFB_PID"
start=$(date +%s%N)
for _ in $(seq 500); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.01; done
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
kill -0 "$program_pid" 2>/dev/null && fail "still running 5 s after the display went away"
status=0
wait "$program_pid" || status=$?
program_pid=""
if [ -n "${typist:-}" ]; then
  kill "$typist" 2>/dev/null || true  # it may have ended with the display
  wait "$typist" 2>/dev/null || true
fi
[ "$status" = 1 ] || fail "exit code $status, expected 1"
[ "$elapsed_ms" -lt 1000 ] || fail "took $elapsed_ms ms to end"
[ "$(cat "$work/err")" = "$name: lost the connection to the display" ] || fail "standard error: $(cat "$work/err")"
echo "display_lost.sh: $name ended $elapsed_ms ms after the display went away while $state"
