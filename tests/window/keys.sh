#!/usr/bin/env bash
# The real window: key codes from real key events, a close request, the
# picture on the screen, repaint after being unmapped, and no CPU while waiting.
# Usage: keys.sh KEY_PRINTER SEND_CLOSE_REQUEST
source "$(dirname "$0")/lib.sh"
key_printer=$1 send_close_request=$2

cd "$work"  # where Print Screen saves
launch "${launcher[@]}" "$key_printer" "$work/expected.ppm"
wid=$(window_of KEYS)
wait_output "ready"
focus "$wid"

# A character, Enter, F1, Shift+F1, Ctrl+F4, Alt+D, an arrow, Ctrl+A, Ctrl+Tab,
# a lone Shift (nothing), then "b" to show that Shift added nothing; the
# keypad's point and 1 without Num Lock (Delete, End), then with it, plain and
# with Shift; Print Screen, which gives no code but saves the picture.
xdotool key a Return F1 shift+F1 ctrl+F4 alt+d Left ctrl+a ctrl+Tab Shift_L b
xdotool key KP_Delete KP_End Num_Lock KP_Delete shift+KP_Delete KP_End shift+KP_End Num_Lock Print
expected="ready 97 13 0 59 0 84 0 97 0 32 0 75 1 30 98 0 83 0 79 46 46 49 49"
wait_output "$expected"
for _ in $(seq 50); do [ -s "$work/err" ] && break; sleep 0.1; done
errors | grep -q "^key_printer: saved .*\.png$" || fail "Print Screen: $(errors)"

# The system's own keys are keys like any other: Alt+F4 gives its codes once
# and the window stays, Alt alone or F10 does not take the next key into a
# menu, and Alt+Space gives its codes rather than a system menu.
xdotool key alt+F4 Alt_L x F10 y alt+space z
expected+=" 0 107 120 0 68 121 0 11 122"
wait_output "$expected"

# A close request gives 0 then 107, and the window stays open and keeps working.
"$send_close_request" "$wid"
expected+=" 0 107"
wait_output "$expected"
xdotool search --name '^KEYS$' >/dev/null || fail "the window went away on a close request"
xdotool key c
expected+=" 99"
wait_output "$expected"

wait_picture "$wid" "$work/expected.ppm"

# Unmapped and mapped again (as when covered or minimised), it repaints the picture.
xdotool windowunmap --sync "$wid"
xdotool windowmap --sync "$wid"
wait_picture "$wid" "$work/expected.ppm"

# While it waits for a key the process uses next to no processor time.
ticks() { awk '{print $14 + $15}' "/proc/$program_pid/stat"; }
before=$(ticks)
sleep 2
used=$(( $(ticks) - before ))
[ "$used" -le 10 ] || fail "used $used clock ticks in 2 s while waiting for a key"

focus "$wid"
xdotool key Escape
wait_output "$expected 27"
wait_exit 0
echo "keys.sh: all checks passed"
