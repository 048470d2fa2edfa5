#!/usr/bin/env bash
# A second start brings the running copy's hidden frame back, and ends without a message.
# Runs the real program under Xvfb with a small window manager:
#   second-start.sh <path of the quillory executable>
set -euo pipefail
program=$(readlink -f "$1")

if [ -z "${QUILLORY_UNDER_XVFB:-}" ]; then
  export QUILLORY_UNDER_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

# A home, runtime and temporary folder of its own, so that nothing of the user's is touched and
# no copy the user runs is found.
scratch=$(mktemp -d)
first="" wm=""
trap 'kill ${first:-} 2>/dev/null || true; kill ${wm:-} 2>/dev/null || true; rm -rf "$scratch"' EXIT
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/run TMPDIR=$scratch/tmp
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

openbox >/dev/null 2>&1 &
wm=$!
sleep 0.5

fail() { echo "FAIL: $*" >&2; exit 1; }
visibleFrames() { xdotool search --onlyvisible --name 'Quillory$' 2>/dev/null | wc -l; }
waitFor() { # waitFor <count> <what>
  for _ in $(seq 100); do [ "$(visibleFrames)" -eq "$1" ] && return 0; sleep 0.1; done
  fail "$2"
}

"$program" >"$scratch/first.log" 2>&1 &
first=$!
waitFor 1 "the frame did not appear"

# The close box only hides the frame.
xdotool search --onlyvisible --name 'Quillory$' windowactivate --sync key --clearmodifiers alt+F4
waitFor 0 "the close box did not hide the frame"
kill -0 $first || fail "the program ended when its frame was closed"

# A second start shows it again, and ends at once without a window of its own.
start=$(date +%s%N)
timeout 10 "$program" >"$scratch/second.log" 2>&1 || fail "the second start ended with $? ($(cat "$scratch/second.log"))"
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
waitFor 1 "the second start did not bring the frame back"
[ "$(xdotool search --name 'Quillory$' | wc -l)" -ge 1 ] || fail "no frame"
kill -0 $first || fail "the first copy ended"
grep -q "Msg015" "$scratch/second.log" && fail "the second start said the program runs already"
echo "second start brought the frame back in ${elapsed} ms"
