# Sourced by the scripts that drive the real program in an X session of their own.
#
#   run_under_xvfb "$0" args...   runs the calling script again under Xvfb (1280x800), unless
#                                 it runs there already
#   private_session               a home, configuration, runtime and temporary folder of its own
#                                 in $scratch (so that nothing of the user's is touched and no
#                                 copy the user runs is found) and the openbox window manager
#                                 ($wm); both go when the script ends, with the process in
#                                 $program if it set one
#   program_session <executable>  private_session, a data folder of its own (where the trash is)
#                                 and the built program's folder copied to $scratch/quillory
#   fail <text>, waitUntil <seconds> <command...>

run_under_xvfb() {
  if [ -z "${QUILLORY_UNDER_XVFB:-}" ]; then
    export QUILLORY_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$@"
  fi
}

private_session() {
  scratch=$(mktemp -d)
  program="" wm=""
  trap end_session EXIT
  export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/run TMPDIR=$scratch/tmp
  unset XDG_DATA_HOME QT_QPA_PLATFORM
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 0.5
}

# Ends the program (it ends as File > Exit does, writing what it holds: that is waited for, 5 s at
# most, before its files go), the window manager, and the scratch folder.
end_session() {
  if [ -n "${program:-}" ] && kill "$program" 2>/dev/null; then
    for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$program" 2>/dev/null || true
  fi
  kill ${wm:-} 2>/dev/null || true
  rm -rf "$scratch"
}

program_session() {
  private_session
  export XDG_DATA_HOME=$scratch/data
  mkdir -p "$XDG_DATA_HOME"
  cp -r "$(dirname "$1")" "$scratch/quillory"
}

fail() { echo "FAIL: $*" >&2; exit 1; }
# Until the command succeeds, or fails after that many seconds.
waitUntil() {
  local end=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt $end ] || return 1; sleep 0.05; done
}
