#!/usr/bin/env bash
# A second start brings the running copy's hidden frame back, and ends without a message.
# Runs the real program under Xvfb with a small window manager:
#   second-start.sh <path of the quillory executable>
set -euo pipefail
executable=$(readlink -f "$1")

source "$(dirname "$(readlink -f "$0")")/../../../scripts/x11-session.sh"
run_under_xvfb "$0" "$@"
private_session

# The program's visible frames: its windows named after it, leaving out the launcher strip (a
# window the window manager does not handle).
frameIds() {
  local id
  for id in $(xdotool search --onlyvisible --name 'Quillory$' 2>/dev/null); do
    xwininfo -id "$id" 2>/dev/null | grep -q "Override Redirect State: yes" || echo "$id"
  done
}
visibleFrames() { frameIds | wc -l; }
waitFor() { # waitFor <count> <what>
  for _ in $(seq 300); do [ "$(visibleFrames)" -eq "$1" ] && return 0; sleep 0.1; done
  fail "$2"
}

"$executable" >"$scratch/first.log" 2>&1 &
program=$!
waitFor 1 "the frame did not appear"

# The close box only hides the frame.
# (Pressed again if a slow start, under the sanitizers, let the first press go before the frame
# took it.)
for _ in 1 2 3; do
  xdotool windowactivate --sync "$(frameIds | head -1)" key --clearmodifiers alt+F4 || true
  for _ in $(seq 50); do [ "$(visibleFrames)" -eq 0 ] && break 2; sleep 0.1; done
done
waitFor 0 "the close box did not hide the frame"
kill -0 $program || fail "the program ended when its frame was closed"

# A second start shows it again, and ends at once without a window of its own.
start=$(date +%s%N)
timeout 10 "$executable" >"$scratch/second.log" 2>&1 || fail "the second start ended with $? ($(cat "$scratch/second.log"))"
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
waitFor 1 "the second start did not bring the frame back"
[ "$(xdotool search --name 'Quillory$' | wc -l)" -ge 1 ] || fail "no frame"
kill -0 $program || fail "the first copy ended"
grep -q "Msg015" "$scratch/second.log" && fail "the second start said the program runs already"
echo "second start brought the frame back in ${elapsed} ms"
