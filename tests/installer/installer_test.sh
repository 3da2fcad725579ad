#!/usr/bin/env bash
# The installer under Wine, silent as a club would run it, against a Tevo folder
# of its own holding the operator's files: a fresh install whose plug-in the
# stand-in host (replay.exe) loads from Tevo's Plugins folder and scores the
# sample with; an upgrade over an older Stats.dll; a refused install while a
# host holds the DLL; the uninstall with /RESTORE. The operator's files must be
# byte for byte the same after each step.
#   installer_test.sh SETUP.exe BUILT_STATS.dll   (inside an X session: xvfb-run)
set -uo pipefail
setup=$1 built=$2
src=$(cd "$(dirname "$0")/../.." && pwd)
work=$(dirname "$setup")/test
rm -rf "$work" && mkdir -p "$work"
tevo="$work/Tevo 2" prog="$work/Programs/VERDA-WW-DX"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
win() { winepath -w "$1" 2>/dev/null; }
ran() { echo "-- $* ($SECONDS s)"; }

# The operator's own files: Tevo's settings, the plug-in's, a call history, a
# bad-QSO file and a Cabrillo log, each with something of its own in it.
mkdir -p "$tevo/Plugins"
printf '[Main]\r\nTevo=2.19\r\n' > "$tevo/Tevo2.ini"
printf '[Settings]\r\nStart=0\r\nClaimed=4523904\r\nsetup_x=333\r\n' > "$tevo/Plugins/VERDA-WW.ini"
printf 'SM5XYZ 0042\r\n' > "$tevo/Plugins/KOVAR.hlp"
printf 'VERDA-WW-DX CONTEST UBN file  \r\nDL1ABC 40m DUPE\r\n' > "$tevo/BadQSO_StatsVERDAWW_07_03_2021.txt"
printf 'START-OF-LOG: 3.0\r\nEND-OF-LOG:\r\n' > "$tevo/SM5XYZ.cbr"
operator_files() { (cd "$tevo" && md5sum Tevo2.ini Plugins/VERDA-WW.ini Plugins/KOVAR.hlp BadQSO_*.txt SM5XYZ.cbr); }
operator_files > "$work/operator.md5"
untouched() { operator_files | cmp -s - "$work/operator.md5" || fail "$1: the operator's files changed"; }
# Wine kills a process that takes over a second to end after ExitProcess, which
# a loaded, emulated machine can: status 137 with the work done. Each step is
# one that may run twice, so the status is asked again.
wine_status() { local s; for _ in 1 2 3; do wine "$@"; s=$?; [ $s -ne 137 ] && break; done; return $s; }
install() { wine_status "$setup" /S "/TEVO=$(win "${1:-$tevo}")" "/D=$(win "$prog")"; }

ran "fresh install"
install; status=$?
[ $status -eq 0 ] || fail "install ended with $status"
cmp -s "$built" "$tevo/Plugins/Stats.dll" || fail "install: Plugins\\Stats.dll is not the built one"
cmp -s "$built" "$tevo/Plugins/VERDA-WW-DX/StatsEngine.dll" || fail "install: the engine is not a copy of the built Stats.dll"
for f in replay.exe Stats.dll VERDA-WW-DX/StatsEngine.dll cty.dat MASTER.SCP GUIDE.txt replay-log.cmd uninstall.exe; do
  [ -f "$prog/$f" ] || fail "install: no $f in the program folder"
done
arp='Software\Microsoft\Windows\CurrentVersion\Uninstall\VERDA-WW-DX'
wine reg query "HKLM\\$arp" >/dev/null 2>&1 || wine reg query "HKCU\\$arp" >/dev/null 2>&1 ||
  fail "install: no uninstall entry"
untouched "install"

# The installed replay.exe with its cty.dat, the plug-in loaded from Tevo's folder:
# the sample must give the score the replay suites expect of it.
ran "replay through the installed plug-in"
expected=$(grep '^Score' "$src/tests/replay/sample_output.txt")
(cd "$work" && wine "$prog/replay.exe" "$(win "$src/examples/sample.adi")" --dll "$(win "$tevo")\\Plugins\\Stats.dll" \
   --workdir replay-out) 2>&1 | tr -d '\r' > "$work/replay.txt"
grep -qxF "$expected" "$work/replay.txt" || fail "replay: no '$expected' in $work/replay.txt"

ran "upgrade over an older Stats.dll"
printf 'MZ an older Stats.dll' > "$work/older.dll"
cp "$work/older.dll" "$tevo/Plugins/Stats.dll"
install; status=$?
[ $status -eq 0 ] || fail "upgrade ended with $status"
cmp -s "$built" "$tevo/Plugins/Stats.dll" || fail "upgrade: Plugins\\Stats.dll is not the new one"
cmp -s "$work/older.dll" "$tevo/Plugins/Stats.dll.bak" || fail "upgrade: the older Stats.dll is not kept as Stats.dll.bak"
untouched "upgrade"

# A host holding the DLL, as a running Tevo does: the setup must refuse with
# status 3 and change nothing.
ran "install while a host holds the DLL"
rm -f "$work/hold" && mkfifo "$work/hold"
(cd "$work" && exec wine "$prog/replay.exe" "$(win "$src/examples/sample.adi")" --dll "$(win "$tevo")\\Plugins\\Stats.dll" \
   --workdir hold-out --windows < "$work/hold" > "$work/hold.txt" 2>&1) &
holder=$!
exec 3> "$work/hold"
for _ in $(seq 120); do grep -q 'call>' "$work/hold.txt" && break; sleep 1; done
grep -q 'call>' "$work/hold.txt" || fail "the holding replay did not start: $(tail -3 "$work/hold.txt")"
install; status=$?
echo >&3; exec 3>&-; wait $holder
[ $status -eq 3 ] || fail "install under a running host ended with $status, not 3"
cmp -s "$built" "$tevo/Plugins/Stats.dll" || fail "refused install: Stats.dll changed"
cmp -s "$work/older.dll" "$tevo/Plugins/Stats.dll.bak" || fail "refused install: the backup changed"
untouched "refused install"

# The uninstaller runs from a copy in TEMP and returns at once: wait for Wine's processes.
ran "uninstall /RESTORE"
wine "$prog/uninstall.exe" /S /RESTORE; wineserver -w
cmp -s "$work/older.dll" "$tevo/Plugins/Stats.dll" || fail "uninstall: the older Stats.dll is not back"
[ ! -e "$tevo/Plugins/Stats.dll.bak" ] || fail "uninstall: Stats.dll.bak is still there"
[ ! -e "$prog" ] || fail "uninstall: the program folder is left: $(ls "$prog")"
for root in HKLM HKCU; do
  wine reg query "$root\\$arp" >/dev/null 2>&1 && fail "uninstall: the $root uninstall entry is left"
done
untouched "uninstall"
[ "$(ls "$tevo/Plugins" | sort | tr '\n' ' ')" = "KOVAR.hlp Stats.dll VERDA-WW.ini " ] ||
  fail "uninstall: Plugins holds $(ls "$tevo/Plugins")"

# The uninstall forgot the folder: silent without /TEVO is refused (5). The
# Plugins folder named for Tevo's means the folder above it; the same version
# again keeps the backup; an uninstall without /RESTORE leaves the backup.
ran "second round: no folder, one not writable, the Plugins folder named, the same version twice, uninstall"
wine_status "$setup" /S "/D=$(win "$prog")"; status=$?
[ $status -eq 5 ] || fail "install without a Tevo folder ended with $status, not 5"
[ ! -e "$prog" ] || fail "install without a Tevo folder wrote the program folder"
# A Tevo folder that cannot be made: the setup runs itself again for the rights
# (Wine asks no one) and that run's own refusal, 4, comes back; nothing is written.
printf 'a file' > "$work/not a folder"
install "$work/not a folder"; status=$?
[ $status -eq 4 ] || fail "install into a folder that cannot be made ended with $status, not 4"
[ -z "$(ls -A "$prog" 2>/dev/null)" ] || fail "the refused install wrote $(ls "$prog")"
install "$tevo/Plugins" && install || fail "the second round's installs failed"
[ ! -e "$tevo/Plugins/Plugins" ] || fail "install into Plugins\\Plugins"
cmp -s "$work/older.dll" "$tevo/Plugins/Stats.dll.bak" || fail "the same version twice: the backup is not the older Stats.dll"
wine "$prog/uninstall.exe" /S; wineserver -w
[ ! -e "$tevo/Plugins/Stats.dll" ] || fail "uninstall: Stats.dll is left"
cmp -s "$work/older.dll" "$tevo/Plugins/Stats.dll.bak" || fail "uninstall without /RESTORE: the backup is gone"
untouched "second round"

ran "done"
[ $failures -eq 0 ] && echo "installer: install, replay, upgrade, refusals and uninstall passed"
exit $((failures > 0))
