#!/usr/bin/env bash
# The folders under src/ are layers: a file may include its own folder's headers
# and those of the layers below it, never one above. Prints every include that
# goes upward and fails on any.
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
[ "$bad" -eq 0 ] && echo "layers: ${layers[*]} (bottom first); no include goes upward; contest and ui use only the seams"
exit "$bad"
