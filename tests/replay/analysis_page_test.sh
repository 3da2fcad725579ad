#!/usr/bin/env bash
# The sample's analysis page as a browser sees it: headless Chromium must find the
# summary table with the plug-in's report figures and one SVG per chart, and the
# page must ask for nothing beyond itself (Chromium's net log lists every request
# with the page that made it). Its screenshot is kept as an artifact.
#   analysis_page_test.sh REPLAY_EXE SAMPLE_ADI ARTIFACT_DIR
set -euo pipefail
replay=$1 sample=$2 artifacts=$3
mkdir -p "$artifacts"
source "$(dirname "$0")/chromium_page.sh"

wine "$replay" "$sample" --cty /usr/share/hamradio-files/cty.dat --workdir w --analysis analysis.html >/dev/null

"${chrome[@]}" --log-net-log="$work/net.json" --dump-dom "file://$work/analysis.html" >dom.html 2>/dev/null

expect 1 '<table id="summary">' "summary table"
# The sample's report: band, QSOs, points, Mult, Prefix.
while read -r band qsos points mult prefix; do
  expect 1 "<tr><td>$band</td><td>$qsos</td><td>$points</td><td>$mult</td><td>$prefix</td>" "summary row $band"
done <<'ROWS'
160m 39 395 30 9
80m 176 1920 63 22
40m 419 3496 71 58
20m 518 1550 72 50
15m 213 650 68 30
10m 99 305 54 17
Total 1464 8316 358 186
ROWS
expect 1 '<tr><td>Total</td><td>1464</td><td>8316</td><td>358</td><td>186</td><td>6</td><td>10</td></tr>' "dupes and bad QSOs"
expect 1 '= <b>4523904</b>' "claimed score"
# The progress ends at the report's score and multipliers.
expect 1 '<tr><td>2021-03-07 2300</td><td>4523904</td></tr></tbody></table>' "last claimed score"
expect 1 '<tr><td>2021-03-07 2300</td><td>358</td><td>186</td></tr></tbody></table>' "last multipliers"
# Rate, points per hour, score, multipliers, band time, QSOs and points by class.
expect 7 '<svg' "charts"

# Requests the page made carry it as their site; Chromium's own carry none.
page_requests=$(python3 - "$work/net.json" <<'PY'
import json, sys
log = json.load(open(sys.argv[1]))
start = log["constants"]["logEventTypes"]["URL_REQUEST_START_JOB"]
for e in log["events"]:
    p = e.get("params", {})
    if e["type"] == start and (p.get("initiator") not in (None, "not an origin") or "file://" in str(p.get("site_for_cookies"))):
        print(p.get("url"))
PY
)
if [ -n "$page_requests" ]; then echo "FAIL: the page asked for: $page_requests"; failed=1; fi

"${chrome[@]}" --screenshot="$artifacts/analysis.png" --window-size=1000,1400 "file://$work/analysis.html" >/dev/null 2>&1
[ -s "$artifacts/analysis.png" ] || { echo "FAIL: no screenshot"; failed=1; }

[ "$failed" -eq 0 ] && echo "Analysis page: summary with the report's figures, 7 charts, no request; screenshot $artifacts/analysis.png"
exit "$failed"
