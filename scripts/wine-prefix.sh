#!/bin/sh
# Makes the Wine prefix $WINEPREFIX once, for a display no one watches:
#   scripts/wine-prefix.sh N   windows not managed by a window manager (come up at once)
#   scripts/wine-prefix.sh Y   windows left to a window manager (a slow desktop)
# Wine's crash debugger is off: a crash then ends its process at once with the
# exception's code, instead of hanging a test until its limit.
set -e
managed=${1:-N}
stamp="$WINEPREFIX/.made-$managed"
[ -f "$stamp" ] && exit 0
mkdir -p "$WINEPREFIX"
wineboot --init >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1
for key in 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
           'HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug'; do
  wine reg add "$key" /v Debugger /d '' /f >/dev/null 2>&1
done
wineserver -w
touch "$stamp"
