#!/usr/bin/env bash
# The sample's HTML report as a browser sees it: headless Chromium must find one
# table with a row per band and the totals; its screenshot is kept as an artifact.
#   html_report_test.sh REPLAY_EXE SAMPLE_ADI ARTIFACT_DIR
set -euo pipefail
replay=$1 sample=$2 artifacts=$3
mkdir -p "$artifacts"
source "$(dirname "$0")/chromium_page.sh"

wine "$replay" "$sample" --cty /usr/share/hamradio-files/cty.dat --workdir w --html report.html >/dev/null

"${chrome[@]}" --dump-dom "file://$work/report.html" >dom.html 2>/dev/null

expect 1 '<table' "tables"
# The parser drops rows outside a table, so each row found here is in the table.
for band in 160m 80m 40m 20m 15m 10m Total; do
  expect 1 "<tr><th><center>$band</center></th>" "row $band"
done
expect 1 '<tr><th><center>Total</center></th><td><center>1464</center></td><td><center>8316</center></td><td><center>358</center></td><td><center>186</center></td></tr>' "totals"
expect 1 '8316 \* (358 + 186)  = 4523904' "score"

"${chrome[@]}" --screenshot="$artifacts/report.png" --window-size=900,700 "file://$work/report.html" >/dev/null 2>&1
[ -s "$artifacts/report.png" ] || { echo "FAIL: no screenshot"; failed=1; }

[ "$failed" -eq 0 ] && echo "HTML report: one table, band rows and totals; screenshot $artifacts/report.png"
exit "$failed"
