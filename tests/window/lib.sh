# Helpers for the real-window tests: start a program, find and focus its
# window, type keys the way a keyboard does (xdotool without --window sends
# real XTEST events), watch what it prints, and take screenshots.
#
# A Windows build's programs run through $EMULATOR (tools/wine), as
# "${launcher[@]}" PROGRAM. Wine keeps one desktop for as long as programs use
# it, with the screen of the X display it started on: each test starts Wine
# afresh on its own display (and such tests run one at a time).
set -euo pipefail

launcher=(${EMULATOR:+"$EMULATOR"})
[ -z "${EMULATOR:-}" ] || "$EMULATOR" --start

work=$(mktemp -d)
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [ -n "$program_pid" ] && ! kill -0 "$program_pid" 2>/dev/null; then
    local status=0
    wait "$program_pid" || status=$?
    echo "(the program had ended with code $status)" >&2
    program_pid=""
  fi
  for stream in out err; do
    [ -s "$work/$stream" ] && { echo "--- program std$stream:" >&2; cat "$work/$stream" >&2; }
  done
  exit 1
}

# launch COMMAND...: runs it in the background, output in $work/out and $work/err.
launch() {
  "$@" >"$work/out" 2>"$work/err" &
  program_pid=$!
}

# window_of TITLE: waits until the window is on the screen and prints its id.
window_of() {
  local id=""
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
  fail "no window titled $1"
}

# focus WINDOW: gives the window the keyboard. A Wine window without a window
# manager that lost the focus takes it back only from a click, as from a user.
focus() {
  xdotool windowfocus --sync "$1"
  [ -z "${EMULATOR:-}" ] || xdotool mousemove --window "$1" 1 1 click 1
  sleep 0.2
}

# output, errors: what the program wrote to standard output and standard
# error so far, as Linux text (a Windows program ends its lines with CR LF, and
# writes paths with backslashes).
output() { tr -d '\r' <"$work/out"; }
errors() { tr -d '\r' <"$work/err" | tr '\\' /; }

# wait_output EXPECTED: waits until the program's output, as one line of
# space-separated words, equals EXPECTED.
wait_output() {
  local got=""
  for _ in $(seq 100); do
    got=$(output | tr '\n' ' ' | sed 's/ $//')
    [ "$got" = "$1" ] && return
    sleep 0.1
  done
  fail "expected output \"$1\", got \"$got\""
}

# settle: waits until the window shows the program's finished frame.
settle() { sleep "${1:-1}"; }

screenshot() { import -window "$1" "png:$2"; }

# drawing_area SCREENSHOT PICTURE: crops the screenshot in place to the
# drawing area, of PICTURE's size. Without a window manager a Wine window
# holds its Windows frame: borders equally wide left, right and below, the
# caption above.
drawing_area() {
  local width height shown_width shown_height border
  read -r width height <<<"$(identify -format '%w %h' "$2")"
  read -r shown_width shown_height <<<"$(identify -format '%w %h' "$1")"
  [ "$shown_width $shown_height" != "$width $height" ] || return 0
  border=$(((shown_width - width) / 2))
  convert "$1" -crop "${width}x$height+$border+$((shown_height - height - border))" +repage "$1"
}

# same_picture A B: the two pictures agree in every pixel.
same_picture() {
  local differing
  drawing_area "$1" "$2"
  differing=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
  [ "$differing" = "0" ] || fail "$1 and $2 differ in $differing pixels"
}

# wait_picture WINDOW EXPECTED: waits until the window shows EXPECTED.
wait_picture() {
  for _ in $(seq 50); do
    screenshot "$1" "$work/shown.png"
    drawing_area "$work/shown.png" "$2"
    [ "$(compare -metric AE "$work/shown.png" "$2" null: 2>&1 || true)" = "0" ] && return
    sleep 0.2
  done
  cp "$work/shown.png" "${TMPDIR:-/tmp}/window-test-shown.png"
  fail "the window does not show $2: $(compare -metric AE "$work/shown.png" "$2" null: 2>&1 || true) pixels differ (seen: ${TMPDIR:-/tmp}/window-test-shown.png)"
}

# wait_other_picture WINDOW PICTURE: waits until the window shows something
# else than PICTURE.
wait_other_picture() {
  for _ in $(seq 50); do
    screenshot "$1" "$work/shown.png"
    drawing_area "$work/shown.png" "$2"
    [ "$(compare -metric AE "$work/shown.png" "$2" null: 2>&1 || true)" != "0" ] && return
    sleep 0.2
  done
  fail "the window still shows $2"
}

# wait_exit CODE: the program ends by itself with CODE.
wait_exit() {
  local status=0
  for _ in $(seq 100); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$program_pid" 2>/dev/null && fail "the program did not end"
  wait "$program_pid" || status=$?
  program_pid=""
  [ "$status" = "$1" ] || fail "exit code $status, expected $1"
}
