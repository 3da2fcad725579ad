#!/usr/bin/env bash
# The upload page, the receipt, "check now" and a station's private report in
# headless Chromium, driven by npm's puppeteer-core (tests/browser): the real
# contest-server on 127.0.0.1, a real operator's log (K1IR's, from the replay
# corpus). Screenshots are kept as artifacts.
#   upload_page_test.sh CONTEST_SERVER ARTIFACT_DIR
set -euo pipefail
server=$1 artifacts=$2
mkdir -p "$artifacts"
here=$(cd "$(dirname "$0")" && pwd)
browser=$here/../browser
[ -d "$browser/node_modules/puppeteer-core" ] || { echo "SKIP: no puppeteer-core (make test-deps installs it)"; exit 77; }
source "$here/../replay/chromium_page.sh"

# Chromium refused the corpus's own path (ERR_ACCESS_DENIED); a copy in the scratch folder it reads.
cp "$here/../replay/corpus/k1ir_cqww_cw.log" K1IR.log
log=$work/K1IR.log
qsos=$(grep -c '^QSO:' "$log")
printf '[contest]\nname = "CQ-WW-CW"\n' >contest.toml
key=$("$server" --config contest.toml --data data sponsor key)
source "$here/../../scripts/contest_server_start.sh"
start_contest_server "$server" contest.toml data server || exit 1
trap 'kill $contest_server_pid 2>/dev/null; rm -rf "$work"' EXIT
# Two more real logs by script, so that the check has more than one log.
for f in S50B S50C; do
  code=$(curl -s -o /dev/null -w '%{http_code}' -F "log=@$here/../logcheck/zrs_kvp_2012/$f.log" "${scoreboard}upload")
  [ "$code" = 200 ] || { echo "FAIL: $f's log by curl: $code"; exit 1; }
done
node "$browser/upload_flow.js" "${scoreboard%/}" "$key" "$log" K1IR "$qsos" "$artifacts"
