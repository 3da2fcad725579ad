#!/usr/bin/env bash
# The live score suite beside the real contest-server (native, on 127.0.0.1): the
# server is stopped and started again when the suite asks for it; then headless
# Chromium must show the plug-in's last report on the station's scoreboard page,
# band by band, and the score.
#   live_run.sh SUITE.exe CONTEST_SERVER [GTEST ARGUMENTS]
set -uo pipefail
suite=$1 server=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/contest_server_start.sh"
source "$here/../replay/chromium_page.sh"  # a scratch folder made current, Chromium, expect
trap 'kill $contest_server_pid 2>/dev/null; rm -rf "$work"' EXIT
# A contest under way: posts are stamped with the clock of now.
cat >contest.toml <<TOML
[contest]
name = "VERDA-WW-DX CONTEST"
start = "$(date -u -d '-1 day' '+%Y-%m-%d %H:%M')"
end = "$(date -u -d '+1 day' '+%Y-%m-%d %H:%M')"
posts_per_minute = 0
TOML
key=$("$server" --config contest.toml --data data key add SM5XYZ | cut -d' ' -f2)
start_contest_server "$server" contest.toml data server || exit 1
port=${scoreboard#http://127.0.0.1:}
port=${port%/}
mkdir control
# What the suite asks for, done while it runs.
(
  while sleep 0.2; do
    if [ -e control/stop.asked ] && [ ! -e control/stop.done ]; then
      kill "$contest_server_pid"; wait "$contest_server_pid" 2>/dev/null; touch control/stop.done
    fi
    if [ -e control/start.asked ] && [ ! -e control/start.done ]; then
      "$server" --config contest.toml --data data --port "$port" >restart.out 2>restart.err &
      echo $! >control/restarted.pid
      for _ in $(seq 50); do curl -sf "${scoreboard}health" >/dev/null && break; sleep 0.1; done
      touch control/start.done
    fi
  done
) &
watcher=$!
trap 'kill $watcher $contest_server_pid $(cat control/restarted.pid 2>/dev/null) 2>/dev/null; rm -rf "$work"' EXIT

LIVE_BOARD=$scoreboard LIVE_KEY=$key LIVE_CONTROL=$(winepath -w control) \
  "$here/run_suite.sh" "$suite" "$@" || failed=1
[ -s control/report.txt ] || { echo "live_run: the suite left no report"; exit 1; }

"${chrome[@]}" --dump-dom "${scoreboard}station?call=SM5XYZ" >dom.html 2>/dev/null
# Each band row and the total of the report, as the scoreboard's breakdown shows them.
while IFS=$'\t' read -r band qsos points mult prefix; do
  band=${band%m}
  row="<tr><td class=\"call\">$band</td><td>${qsos// /}</td><td>${points// /}</td><td>${mult// /}</td><td>${prefix// /}</td></tr>"
  expect 1 "$row" "the report's $band row on the scoreboard"
done < <(tr -d '\r' <control/report.txt | grep -E '^([0-9]+m|Total)'$'\t')
score=$(tr -d '\r' <control/report.txt | sed -n 's/^Score = .* = \([0-9]*\) *$/\1/p')
expect 1 "Claimed score <b>$score</b>" "the report's score $score"
[ "$failed" -eq 0 ] && echo "live_run: the scoreboard shows the plug-in's report of score $score"
exit "$failed"
