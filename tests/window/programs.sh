#!/usr/bin/env bash
# Both programs in real windows: the first frame before any key, the picture
# after keys equals what stereo-snapshot saves for the same keys, a close
# request only redraws, and Escape ends with exit code 0.
# Usage: programs.sh VELUMIRA KORVELAN STEREO_SNAPSHOT SEND_CLOSE_REQUEST
source "$(dirname "$0")/lib.sh"
velumira=$1 korvelan=$2 snapshot=$3 send_close_request=$4

# velumira: texture first; a close request redraws twice; "a" shows the depth
# frame, which is the same for every seed.
"${launcher[@]}" "$snapshot" velumira --keys 97 --png "$work/depth.png"
convert -size 800x600 xc:black "$work/black.png"
launch "${launcher[@]}" "$velumira"
wid=$(window_of VELUMIRA)
focus "$wid"
wait_other_picture "$wid" "$work/black.png"  # the first frame
"$send_close_request" "$wid"
settle 0.5
xdotool search --name '^VELUMIRA$' >/dev/null || fail "velumira's window went away on a close request"
xdotool key a
wait_picture "$wid" "$work/depth.png"
xdotool key Escape
wait_exit 0

# korvelan: Space gives the shift-colour frame of surface 0, Enter steps to
# surface 1, Alt+D (0 then 32) toggles back to random dots after one plain
# redraw, and Space returns to the shift colours of surface 1.
"${launcher[@]}" "$snapshot" korvelan --keys 32 --png "$work/surface0.png"
"${launcher[@]}" "$snapshot" korvelan --keys 32,13 --png "$work/surface1.png"
launch "${launcher[@]}" "$korvelan"
wid=$(window_of KORVELAN)
focus "$wid"
xdotool key space
wait_picture "$wid" "$work/surface0.png"
xdotool key Return
wait_picture "$wid" "$work/surface1.png"
xdotool key alt+d
wait_other_picture "$wid" "$work/surface1.png"  # random dots
xdotool key space
wait_picture "$wid" "$work/surface1.png"
xdotool key Escape
wait_exit 0
echo "programs.sh: all checks passed"
