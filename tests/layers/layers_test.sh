#!/usr/bin/env bash
# The folders under src/ are layers: a file may include its own folder's headers
# and those of the layers below it, never one above, and the portable ones no
# Windows adapter's. Prints every include that breaks a rule and fails on any.
set -euo pipefail
src=${1:?usage: layers_test.sh SRC_DIR}
layers=(base contest ui module win32 dll)  # bottom first
rank() {
  local i
  for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}
bad=0
for dir in "${layers[@]}"; do
  own=$(rank "$dir")
  while IFS=: read -r file line target; do
    to=$(rank "${target%%/*}")
    if [ "$to" -lt 0 ] || [ "$to" -gt "$own" ]; then
      echo "upward include: $file:$line includes $target"
      bad=1
    fi
  done < <(grep -Hno '#include "[a-z_0-9]*/[^"]*"' "$src/$dir"/* | sed 's/#include "\(.*\)"/\1/')
done
# The contest rules and the window logic reach files, settings and windows only
# through the seams of base/.
if grep -HnE '<(windows|fstream|filesystem)>|\b(fopen|freopen|fclose|fwrite|fread|fputs|fgets|ifstream|ofstream|GetPrivateProfile|WritePrivateProfile|CreateWindow|MessageBox)' \
    "$src/contest"/* "$src/ui"/*; then
  echo "the lines above reach the system around the seams"
  bad=1
fi
# The portable layers build and test on Linux: none of them includes a Windows
# adapter's header.
portable=(base contest ui)
for dir in "${portable[@]}"; do
  if grep -HnE '#include "[^"]*_win32\.h"' "$src/$dir"/*; then
    echo "the lines above include a _win32 header into the portable $dir/"
    bad=1
  fi
done
[ "$bad" -eq 0 ] && echo "layers: ${layers[*]} (bottom first); no include goes upward; contest and ui use only the seams;" \
  "${portable[*]} include no _win32 header"
exit "$bad"
