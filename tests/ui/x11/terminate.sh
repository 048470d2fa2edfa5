#!/usr/bin/env bash
# The system ending the program loses nothing. SIGTERM (logout, shutdown): the change monitor's
# newest record, not yet due to be written, is in the pending-changes file, the program ends with
# 0, and its single-instance socket and lock are gone. The X server going away under it: the
# record is written all the same. The real program under Xvfb with a window manager:
#   terminate.sh <path of the quillory executable>
set -euo pipefail
executable=$(readlink -f "$1")

source "$(dirname "$(readlink -f "$0")")/../../../scripts/x11-session.sh"
run_under_xvfb "$0" "$@"
program_session "$executable"
catalog=$scratch/quillory/QuilloryDemo
shown() { xdotool search --onlyvisible --name 'Quillory$' >/dev/null 2>&1; }
# The change monitor watches the documents' folder (its inode is in the program's inotify watches).
watching() { grep -qs "ino:$(printf '%x' "$(stat -c %i "$catalog/Documents")") " /proc/"$program"/fdinfo/*; }

"$scratch/quillory/quillory" >"$scratch/program.log" 2>&1 &
program=$!
waitUntil 30 shown || fail "the frame did not appear"
waitUntil 30 watching || fail "the change monitor did not start watching"

# A renamed document: the monitor records it and would write it within two minutes.
mv "$catalog/Documents/Tips.md" "$catalog/Documents/Tips-renamed.md"
sleep 1
grep -qs "Tips-renamed.md" "$catalog/Indexes/PendingChanges.qlr" && fail "the record was written before the end"

# The session closing sends a hang-up right after: it does not cut the end short.
kill -TERM "$program"
kill -HUP "$program"
rc=0
wait "$program" || rc=$?
program=""
[ "$rc" -eq 0 ] || fail "the program ended with $rc"
grep -q "Tips-renamed.md" "$catalog/Indexes/PendingChanges.qlr" || fail "the monitor's record was lost ($(cat "$catalog/Indexes/PendingChanges.qlr"))"
[ -z "$(ls "$XDG_RUNTIME_DIR")" ] || fail "left in the runtime folder: $(ls "$XDG_RUNTIME_DIR")"
echo "ended on SIGTERM with the monitor's record written"

# An X server of its own that goes away while the program runs.
Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$scratch/display" >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true; end_session' EXIT
waitUntil 10 test -s "$scratch/display" || fail "no X server of its own"
DISPLAY=:$(cat "$scratch/display") "$scratch/quillory/quillory" >"$scratch/program2.log" 2>&1 &
program=$!
waitUntil 30 watching || fail "the change monitor did not start watching on the second X server"
mv "$catalog/Documents/Welcome.txt" "$catalog/Documents/Welcome-renamed.txt"
sleep 1
grep -qs "Welcome-renamed.txt" "$catalog/Indexes/PendingChanges.qlr" && fail "the record was written before the end"
kill "$server"
rc=0
wait "$program" || rc=$?
program=""
[ "$rc" -ne 0 ] || fail "the program did not notice its X server going"
grep -q "Welcome-renamed.txt" "$catalog/Indexes/PendingChanges.qlr" || fail "the record was lost with the X server"
echo "ended with its X server ($rc) with the monitor's record written"
