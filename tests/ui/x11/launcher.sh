#!/usr/bin/env bash
# The floating launcher of the real program under Xvfb with a window manager: it starts collapsed
# at the top edge and listed in no task bar or window switcher; the pointer at the top edge far
# from it opens it and leaving collapses it; its handle drags it along the edge, back to the top on
# release, and the focus stays where it was; its exit button ends the program, and the next start
# puts it where it was left.
#   launcher.sh <path of the quillory executable>
set -euo pipefail
executable=$(readlink -f "$1")

source "$(dirname "$(readlink -f "$0")")/../../../scripts/x11-session.sh"
run_under_xvfb "$0" "$@"
program_session "$executable"
# The launcher is the program's window 168 pixels wide; geometry sets X, Y, WIDTH and HEIGHT.
strip=""
findStrip() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$program" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    [ "$WIDTH" -eq 168 ] && { strip=$w; return 0; }
  done
  return 1
}
geometry() { eval "$(xdotool getwindowgeometry --shell "$strip")"; }
isOpen() { geometry; [ "$HEIGHT" -eq 32 ]; }
isCollapsed() { geometry; [ "$HEIGHT" -eq 2 ]; }
at() { geometry; [ "$X" -eq "$1" ] && [ "$Y" -eq "$2" ]; }
startProgram() {
  "$scratch/quillory/quillory" >>"$scratch/program.log" 2>&1 &
  program=$!
  waitUntil 10 findStrip || fail "no launcher ($(cat "$scratch/program.log"))"
  waitUntil 10 xdotool search --onlyvisible --name 'Quillory$' >/dev/null || fail "no frame"
}

xdotool mousemove 640 400
startProgram
left=$(( (1280 - 168) / 2 ))
geometry
[ "$X,$Y,$HEIGHT" = "$left,0,2" ] || fail "started at $X,$Y with height $HEIGHT, not collapsed at $left,0"
xprop -root _NET_CLIENT_LIST | grep -qi "$(printf '0x%x' "$strip")" && fail "the launcher is listed among the windows"
# Its line shows over the frame spread over the whole screen, in one of its colours.
frame=$(xdotool search --onlyvisible --name 'Quillory$' | head -1)
xdotool windowmove --sync "$frame" 0 0 windowsize --sync "$frame" 1280 800
sleep 1.2
isCollapsed || fail "opened with the pointer far away"
line=$(import -window root -crop 1x1+$((left + 80))+0 -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}')
case "$line" in '#000000' | '#FFFFFF' | '#FFFF00' | '#FF00FF' | '#FF0000') ;; *) fail "the line is not on top ($line)" ;; esac

# The top edge far from the strip opens it; leaving collapses it.
start=$(date +%s%N)
xdotool mousemove 1270 0
waitUntil 2 isOpen || fail "the pointer at the top edge did not open it"
opened=$(( ($(date +%s%N) - start) / 1000000 ))
xdotool mousemove 1270 300
waitUntil 2 isCollapsed || fail "it stayed open when the pointer left"

# A drag by the handle takes it along the edge, with the pointer meanwhile, and back to the top.
focused=$(xdotool getwindowfocus)
xdotool mousemove $((left + 3)) 1
waitUntil 2 isOpen || fail "the pointer at the top edge over it did not open it"
xdotool mousedown 1
for dx in 50 100 150 200; do xdotool mousemove $((left + 3 + dx)) 100; sleep 0.05; done
waitUntil 2 at $((left + 200)) 99 || fail "while dragged it stood at $X,$Y, not with the pointer"
xdotool mouseup 1
waitUntil 2 at $((left + 200)) 0 || fail "let go, it stood at $X,$Y, not back at the top at $((left + 200))"
[ "$(xdotool getwindowfocus)" = "$focused" ] || fail "the launcher took the focus"
xdotool mousemove 640 400
waitUntil 2 isCollapsed || fail "it stayed open after the drag"

# Its exit button ends the program; the next start puts it where it was left.
xdotool mousemove $((left + 200 + 150)) 0
waitUntil 2 isOpen || fail "it did not open for the exit button"
xdotool mousemove $((left + 200 + 152)) 16 click 1
ended() { [ ! -e "/proc/$program" ] || grep -q '^State:.*zombie' "/proc/$program/status"; }
waitUntil 5 ended || fail "the exit button did not end the program"
wait "$program" || fail "the program ended with $?"
program=""
startProgram
geometry
[ "$X,$Y,$HEIGHT" = "$((left + 200)),0,2" ] || fail "started again at $X,$Y with height $HEIGHT, not where it was left"
echo "the launcher opened ${opened} ms after the pointer touched the top edge"
