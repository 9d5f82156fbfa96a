#!/usr/bin/env bash
# The programs' desktop options in real windows, each case under an Xvfb
# server of its own (run under with_xvfb):
#   seed VELUMIRA KORVELAN SNAPSHOT  --seed N shows, key for key, the frames
#                                    that stereo-snapshot saves with that seed
#   scale VELUMIRA SNAPSHOT          --scale 2: a 1600 x 1200 window of 2 x 2
#                                    blocks; a scale the screen cannot hold
#                                    falls back to one that fits, said in one line
#   fullscreen VELUMIRA SNAPSHOT     --fullscreen (under a window manager): the
#                                    picture at the largest whole scale, centred
#                                    on black
#   print VELUMIRA SNAPSHOT          Print Screen saves the PNG stereo-snapshot
#                                    writes, without a redraw; a save that fails
#                                    says why and the program goes on
source "$(dirname "$0")/lib.sh"
case_name=$1
shift

case $case_name in
seed)
  velumira=$1 korvelan=$2 snapshot=$3
  "$snapshot" velumira --seed 7 --png "$work/first.png"
  "$snapshot" velumira --seed 7 --keys 98 --png "$work/second.png"
  "$snapshot" korvelan --seed 7 --png "$work/korvelan.png"
  launch "$velumira" --seed 7
  wid=$(window_of VELUMIRA)
  focus "$wid"
  wait_picture "$wid" "$work/first.png"
  xdotool key b
  wait_picture "$wid" "$work/second.png"
  xdotool key Escape
  wait_exit 0
  launch "$korvelan" --seed 7
  wid=$(window_of KORVELAN)
  focus "$wid"
  wait_picture "$wid" "$work/korvelan.png"
  xdotool key Escape
  wait_exit 0
  ;;
scale)
  velumira=$1 snapshot=$2
  "$snapshot" velumira --seed 7 --png "$work/frame.png"
  convert "$work/frame.png" -scale 200% "$work/blocks.png"
  for asked in 2 3; do
    launch "$velumira" --seed 7 --scale "$asked"
    wid=$(window_of VELUMIRA)
    focus "$wid"
    [ "$(xdotool getwindowgeometry "$wid" | awk '/Geometry/ {print $2}')" = 1600x1200 ] ||
      fail "--scale $asked: $(xdotool getwindowgeometry "$wid")"
    wait_picture "$wid" "$work/blocks.png"
    xdotool key Escape
    wait_exit 0
    expected=""
    [ "$asked" = 3 ] && expected="velumira: the screen cannot hold the window at scale 3: showing it at scale 2"
    [ "$(cat "$work/err")" = "$expected" ] || fail "--scale $asked said: $(cat "$work/err")"
  done
  ;;
fullscreen)
  velumira=$1 snapshot=$2
  "$snapshot" velumira --seed 7 --png "$work/frame.png"
  read -r width height < <(xwininfo -root | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}')
  scale=$(( width / 800 < height / 600 ? width / 800 : height / 600 ))
  convert -size "${width}x$height" xc:black \( "$work/frame.png" -scale "$((100 * scale))%" \) \
    -geometry "+$(( (width - 800 * scale) / 2 ))+$(( (height - 600 * scale) / 2 ))" -composite "$work/screen.png"
  launch "$velumira" --seed 7 --fullscreen
  wid=$(window_of VELUMIRA)
  focus "$wid"
  wait_picture root "$work/screen.png"
  xdotool key Escape
  wait_exit 0
  ;;
print)
  velumira=$1 snapshot=$2
  "$snapshot" velumira --seed 7 --png "$work/first.png"
  "$snapshot" velumira --seed 7 --keys 98 --png "$work/second.png"
  mkdir "$work/saved"
  launch "$velumira" --seed 7 --save-dir "$work/saved"
  wid=$(window_of VELUMIRA)
  focus "$wid"
  wait_picture "$wid" "$work/first.png"
  xdotool key Print
  for _ in $(seq 50); do [ -s "$work/err" ] && break; sleep 0.1; done
  saved=$(ls "$work/saved")
  [ "$(cat "$work/err")" = "velumira: saved $work/saved/$saved" ] || fail "said: $(cat "$work/err")"
  [[ $saved =~ ^velumira-[0-9]{8}-[0-9]{6}\.png$ ]] || fail "saved as $saved"
  cmp -s "$work/saved/$saved" "$work/first.png" || fail "the saved picture differs from stereo-snapshot's"
  # No redraw and no key code: the next key draws the second frame of the
  # seed. Print Screen pressed while that frame may still be drawn saves it
  # once finished.
  xdotool key b Print
  for _ in $(seq 50); do [ "$(wc -l <"$work/err")" = 2 ] && break; sleep 0.1; done
  wait_picture "$wid" "$work/second.png"
  again=$(ls "$work/saved" | grep -vx "$saved")
  [ "$(tail -n1 "$work/err")" = "velumira: saved $work/saved/$again" ] || fail "said: $(cat "$work/err")"
  cmp -s "$work/saved/$again" "$work/second.png" || fail "the picture saved during a frame is not that frame"
  rm -r "$work/saved"
  xdotool key Print
  for _ in $(seq 50); do [ "$(wc -l <"$work/err")" = 3 ] && break; sleep 0.1; done
  tail -n1 "$work/err" | grep -q "^velumira: cannot write $work/saved/velumira-.*\.png: No such file or directory$" ||
    fail "a failed save said: $(tail -n1 "$work/err")"
  xdotool key Escape
  wait_exit 0
  ;;
*) fail "unknown case $case_name" ;;
esac
echo "desktop.sh $case_name: all checks passed"
