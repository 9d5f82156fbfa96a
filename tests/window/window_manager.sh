#!/usr/bin/env bash
# Under a window manager (run with XVFB_WM=openbox under with_xvfb):
#   placed PROGRAM TITLE                 the whole window, frame included, is
#                                        centred; titled, not resizable, no maximising
#   frameless PROGRAM TITLE SNAPSHOT KEY CODE
#                                        on a screen that holds the drawing area
#                                        but not the frame: no frame, at the
#                                        screen's corner, showing the picture
#                                        drawn after KEY (key code CODE)
#   managed KEY_PRINTER SEND_CLOSE       minimise and restore repaint exactly; a
#                                        close request through the manager gives
#                                        0 and 107 and the window stays
source "$(dirname "$0")/lib.sh"
case_name=$1
shift

# The window's geometry as "x y width height", and its frame's edges as
# "left right top bottom".
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
                           /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}'
}
frame_edges() { xprop -id "$1" _NET_FRAME_EXTENTS | sed -E 's/.*= //; s/,//g'; }
screen_size() { xwininfo -root | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}'; }

case $case_name in
placed)
  program=$1 title=$2
  launch "$program"
  wid=$(window_of "$title")
  settle 1
  read -r x y width height < <(geometry "$wid")
  read -r left right top bottom < <(frame_edges "$wid")
  read -r screen_width screen_height < <(screen_size)
  [ $((top + bottom)) -gt 0 ] || fail "no frame around the window"
  outer_x=$((x - left)) outer_y=$((y - top))
  outer_width=$((width + left + right)) outer_height=$((height + top + bottom))
  # Centred within a pixel: twice the gap on one side against the room left.
  for axis in "$outer_x $outer_width $screen_width" "$outer_y $outer_height $screen_height"; do
    read -r at size room <<<"$axis"
    off=$((2 * at - (room - size)))
    [ "${off#-}" -le 2 ] || fail "frame at $outer_x,$outer_y size ${outer_width}x$outer_height is not centred on ${screen_width}x$screen_height"
  done
  xprop -id "$wid" _NET_WM_NAME | grep -q "= \"$title\"" || fail "title: $(xprop -id "$wid" _NET_WM_NAME)"
  actions=$(xprop -id "$wid" _NET_WM_ALLOWED_ACTIONS)
  [[ $actions == *_NET_WM_ACTION_CLOSE* && $actions == *_NET_WM_ACTION_MINIMIZE* ]] || fail "actions: $actions"
  [[ $actions != *RESIZE* && $actions != *MAXIMIZE* ]] || fail "resizable or maximisable: $actions"
  focus "$wid"
  xdotool key Escape
  wait_exit 0
  ;;
frameless)
  program=$1 title=$2 snapshot=$3 key=$4 code=$5
  "$snapshot" "$(basename "$program")" --keys "$code" --png "$work/expected.png"
  launch "$program"
  wid=$(window_of "$title")
  focus "$wid"
  xdotool key "$key"
  read -r screen_width screen_height < <(screen_size)
  [ "$(geometry "$wid")" = "0 0 $screen_width $screen_height" ] || fail "geometry $(geometry "$wid") on a ${screen_width}x$screen_height screen"
  [ "$(frame_edges "$wid")" = "0 0 0 0" ] || fail "frame edges $(frame_edges "$wid")"
  wait_picture root "$work/expected.png"
  xdotool key Escape
  wait_exit 0
  ;;
managed)
  key_printer=$1 send_close_request=$2
  launch "$key_printer" "$work/expected.ppm"
  wid=$(window_of KEYS)
  wait_output "ready"
  focus "$wid"
  wait_picture "$wid" "$work/expected.ppm"
  xdotool windowminimize --sync "$wid"
  xprop -id "$wid" WM_STATE | grep -q Iconic || fail "not minimised"
  xdotool windowactivate --sync "$wid"
  wait_picture "$wid" "$work/expected.ppm"
  "$send_close_request" --window-manager "$wid"
  wait_output "ready 0 107"
  xdotool search --name '^KEYS$' >/dev/null || fail "the window went away on a close request"
  focus "$wid"
  xdotool key Escape
  wait_output "ready 0 107 27"
  wait_exit 0
  ;;
*) fail "unknown case $case_name" ;;
esac
echo "window_manager.sh $case_name: all checks passed"
