#!/usr/bin/env bash
# Runs quillory_program_bench on the real program in an X session of its own (Xvfb and openbox):
#   bench/program-bench.sh <build folder>
set -euo pipefail
build=$(readlink -f "$1")
source "$(dirname "$(readlink -f "$0")")/../scripts/x11-session.sh"
run_under_xvfb "$0" "$@"
private_session
"$build/bench/quillory_program_bench" "$build/bin" "$build/bench/quillory_bare_qt_window"
