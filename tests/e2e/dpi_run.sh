#!/bin/sh
# Runs the DPI suite at one scaling: sets LogPixels in the suite's own Wine prefix
# ($WINEPREFIX, made by wine-prefix.sh). Each new Wine process reads it as it
# starts (Wine 8), so only the processes of the last run must be gone first.
#   dpi_run.sh DPI SUITE.exe [ARGUMENTS]
set -e
dpi=$1
shift
wineserver -w
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
STATS_DPI=$dpi "$(dirname "$0")/run_suite.sh" "$@"
