#!/usr/bin/env bash
# The live scoreboard as a browser shows it: the real contest-server on
# 127.0.0.1 with three stations' posts (curl, as not1mm sends them), its pages
# in headless Chromium: the categories and their ranks, the flag, a station's
# breakdown, no script, a page that reloads itself and fits a phone's width.
# A phone's screenshot is kept as an artifact.
#   scoreboard_page_test.sh CONTEST_SERVER CONTEST_TOML ARTIFACT_DIR
set -euo pipefail
server=$1 config=$2 artifacts=$3
mkdir -p "$artifacts"
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../replay/chromium_page.sh"

keys=$("$server" --config "$config" --data data key add SM5XYZ OH2BH DL1ABC)
key() { awk -v c="$1" '$1 == c { print $2 }' <<<"$keys"; }
source "$here/../../scripts/contest_server_start.sh"
start_contest_server "$server" "$config" data server || exit 1
trap 'kill $contest_server_pid 2>/dev/null; rm -rf "$work"' EXIT
base=${scoreboard%/}

post() {  # CALL POWER QSOS POINTS MULTS SCORE
  local xml="<?xml version=\"1.0\"?><dynamicresults><contest>VERDA-WW-DX CONTEST</contest><call>$1</call><class power=\"$2\" assisted = \"NON-ASSISTED\" transmitter=\"ONE\" ops=\"SINGLE-OP\" bands=\"ALL\" mode=\"RTTY\" overlay=\"\"></class><soft>Not1MM</soft><breakdown><qso band=\"40\" mode=\"RTTY\">$(($3 / 2))</qso><qso band=\"20\" mode=\"RTTY\">$(($3 - $3 / 2))</qso><qso band=\"total\" mode=\"ALL\">$3</qso><point band=\"total\" mode=\"ALL\">$4</point><mult band=\"total\" mode=\"ALL\" type=\"exchange\">$5</mult></breakdown><score>$6</score><timestamp>2021-03-06 12:00:00</timestamp></dynamicresults>"
  curl -s -o /dev/null -w '%{http_code}' -u "$1:$(key "$1")" -H 'Content-Type: text/xml' --data-binary "$xml" "$base/post"
}
[ "$(post SM5XYZ LOW 1464 8316 544 4523904)" = 200 ] || { echo "FAIL: SM5XYZ's post"; failed=1; }
[ "$(post OH2BH HIGH 2000 12000 600 7200000)" = 200 ] || { echo "FAIL: OH2BH's post"; failed=1; }
[ "$(post DL1ABC HIGH 900 5000 400 2100000)" = 422 ] || { echo "FAIL: DL1ABC's post is not flagged"; failed=1; }

"${chrome[@]}" --dump-dom "$base/" >dom.html 2>/dev/null
expect 2 '<h2 id="c[0-9]">SINGLE-OP NON-ASSISTED ALL [A-Z]* RTTY ONE</h2>' "category headings"
expect 1 '<tr><td>1</td><td class="call"><a href="station?call=OH2BH">OH2BH</a></td><td>7,200,000</td><td>2,000</td><td>600</td>' "OH2BH first among HIGH"
expect 1 '<tr><td>2</td><td class="call"><a href="station?call=DL1ABC">DL1ABC</a></td><td>2,100,000<span class="flag">\*</span>' "DL1ABC second, flagged"
expect 1 '<tr><td>1</td><td class="call"><a href="station?call=SM5XYZ">SM5XYZ</a></td><td>4,523,904</td><td>1,464</td><td>544</td>' "SM5XYZ first among LOW"
expect 1 '<meta http-equiv="refresh" content="60">' "reloads itself"
expect 0 '<script' "scripts"

"${chrome[@]}" --dump-dom "$base/station?call=SM5XYZ" >dom.html 2>/dev/null
for row in '40</td><td>732</td>' '20</td><td>732</td>' 'Total</td><td>1,464</td><td>8,316</td><td>544</td>'; do
  expect 1 "<tr><td class=\"call\">$row" "breakdown row $row"
done

# On a phone's width (390 pixels) no table needs sideways scrolling: each
# table's own width, measured by a script added to a copy of the page as served
# (headless Chromium lays out no narrower than 500 pixels, where the page's
# narrow-screen rules already hold).
measure='document.body.dataset.width = Math.ceil(Math.max(...[...document.querySelectorAll("table")].map(t => { t.style.width = "auto"; return t.getBoundingClientRect().width; })));'
curl -s "$base/" | sed "s|</body>|<script>$measure</script></body>|" >phone.html
"${chrome[@]}" --window-size=390,844 --dump-dom "file://$work/phone.html" >dom.html 2>/dev/null
width=$(grep -o 'data-width="[0-9]*"' dom.html | grep -o '[0-9]*' || echo 9999)
[ "$width" -le 370 ] || { echo "FAIL: a table is $width pixels wide, more than a 390-pixel phone shows"; failed=1; }

"${chrome[@]}" --screenshot="$artifacts/scoreboard-phone.png" --window-size=390,844 "$base/" >/dev/null 2>&1
[ -s "$artifacts/scoreboard-phone.png" ] || { echo "FAIL: no screenshot"; failed=1; }

[ "$failed" -eq 0 ] && echo "scoreboard page: categories ranked, flag, breakdown, tables of $width px fit a phone; screenshot $artifacts/scoreboard-phone.png"
exit "$failed"
