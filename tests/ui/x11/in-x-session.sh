#!/usr/bin/env bash
# Runs a test program on a real X server (Xvfb) with a window manager, in a private home:
#   in-x-session.sh <program> [arguments...]
set -euo pipefail
program_file=$(readlink -f "$1")
shift

source "$(dirname "$(readlink -f "$0")")/../../../scripts/x11-session.sh"
run_under_xvfb "$0" "$program_file" "$@"
private_session
export XDG_DATA_HOME=$scratch/data QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_DATA_HOME"
status=0
"$program_file" "$@" || status=$?
exit $status
