#!/usr/bin/env bash
# logcheck.exe under Wine and the native logcheck write the same bytes for the
# same simulated contest and definition file: one program, two systems.
set -euo pipefail
exe=${1:?usage: same_on_windows_test.sh LOGCHECK_EXE NATIVE_BIN_DIR WORK_DIR}
native=$2
work=$3
definition=$(cd "$(dirname "$0")/../../contests" && pwd)/verda_ww_dx.toml
rm -rf "$work" && mkdir -p "$work"
"$native/simulate_contest" "$work/logs" 40 80 >/dev/null
"$native/logcheck" "$work/logs" --out "$work/linux" --contest "$definition" --start "2026-02-14 0000" \
  --end "2026-02-15 2359" >/dev/null
wine "$exe" "$(winepath -w "$work/logs")" --out "$(winepath -w "$work/windows")" \
  --cty "$(winepath -w /usr/share/hamradio-files/cty.dat)" --contest "$(winepath -w "$definition")" --start "2026-02-14 0000" --end "2026-02-15 2359" >/dev/null
diff -r "$work/linux" "$work/windows"
echo "same output: $(ls "$work/windows/reports" | wc -l) reports, verdicts.csv, results.csv and results.html"
