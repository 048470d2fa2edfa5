#!/usr/bin/env bash
# Quillory installed for a user as a desktop program: scripts/install into a home of its own, the
# desktop entry valid, the installed program started from the entry's command under Xvfb with a
# window manager, a catalog changed there kept by a second install and by scripts/uninstall; a
# folder whose path the installation cannot name refused before anything is changed, and an
# installation whose folder was renamed so still taken away by scripts/uninstall.
#   user-install.sh <repository> <folder of the built program>
set -euo pipefail
repo=$(cd "$1" && pwd)
built=$(cd "$2" && pwd)

source "$repo/scripts/x11-session.sh"
run_under_xvfb "$0" "$@"
private_session

data=$HOME/.local/share
entry=$data/applications/quillory.desktop
catalog=$data/quillory/QuilloryDemo/QuilloryDemo.qlr

"$repo/scripts/install" --from "$built" >"$scratch/install.log" || fail "install: $(cat "$scratch/install.log")"
[ -x "$data/quillory/quillory" ] || fail "no installed program"
[ -f "$data/icons/hicolor/256x256/apps/quillory.png" ] || fail "no icon"
[ -f "$catalog" ] || fail "no demo catalog"
desktop-file-validate "$entry" || fail "the desktop entry is not valid"

# Started as the desktop starts it: the entry's command.
command=$(sed -n 's/^Exec=//p' "$entry")
eval "$command" >"$scratch/program.log" 2>&1 &
program=$!
for _ in $(seq 100); do
  xdotool search --onlyvisible --name 'QuilloryDemo — Quillory$' >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool search --onlyvisible --name 'QuilloryDemo — Quillory$' >/dev/null || fail "the installed program showed no window"
kill $program
wait $program 2>/dev/null || true
program=""

# A catalog changed in the installation survives a new install and the uninstall, whole: one
# index file changed keeps the folder file and the other index files with it.
indexFile=$data/quillory/QuilloryDemo/Indexes/D3.qlr
printf 'D3!C1|Mine|QLRR$/mine.txt|False||2026-01-01 10:00:00|\r\n' >>"$indexFile"
changed=$(sha256sum "$indexFile")
catalogBefore=$(sha256sum "$catalog")
"$repo/scripts/install" --from "$built" >/dev/null
[ "$(sha256sum "$indexFile")" = "$changed" ] || fail "installing again overwrote the changed catalog"
"$repo/scripts/uninstall" >"$scratch/uninstall.log"
[ ! -e "$data/quillory/quillory" ] || fail "the program is still there"
[ ! -e "$entry" ] || fail "the desktop entry is still there"
[ ! -e "$data/icons/hicolor/256x256/apps/quillory.png" ] || fail "the icon is still there"
[ ! -e "$data/quillory/resource/conf/SysConf.properties" ] || fail "the unchanged configuration is still there"
[ "$(sha256sum "$indexFile" 2>/dev/null)" = "$changed" ] || fail "the uninstall took the changed index file"
[ "$(sha256sum "$catalog" 2>/dev/null)" = "$catalogBefore" ] || fail "the uninstall took the changed catalog's folder file"
[ -f "$data/quillory/QuilloryDemo/Indexes/D1.qlr" ] || fail "the uninstall took the changed catalog's other index files"

# A backslash, a ";" or a line break in the path: refused at once, with a message, nothing made.
for odd in "$scratch/back\\slash/data" "$scratch/semi;colon/data" "$scratch/line
break/data"; do
  if XDG_DATA_HOME="$odd" "$repo/scripts/install" --from "$built" >"$scratch/odd.log" 2>&1; then
    fail "installed into $odd"
  fi
  grep -q "nothing was changed" "$scratch/odd.log" || fail "no clear refusal for $odd: $(cat "$scratch/odd.log")"
  [ ! -e "$odd" ] || fail "the refused install made $odd"
done
# Installed, then the folder renamed to hold a backslash and a line break: uninstall still
# reads every installed file's record and takes each unchanged file away.
XDG_DATA_HOME="$scratch/plain" "$repo/scripts/install" --from "$built" >/dev/null
moved="$scratch/renamed\\home
data"
mv "$scratch/plain" "$moved"
XDG_DATA_HOME="$moved" "$repo/scripts/uninstall" >"$scratch/uninstall-moved.log"
left=$({ find "$moved/quillory" -type f 2>/dev/null || true; } | wc -l)
[ "$left" -eq 0 ] || fail "uninstall left $left unchanged files in a folder with a backslash and a line break"
echo "installed, started, reinstalled and uninstalled; the changed catalog is still there; odd folders refused or uninstalled"
