#!/usr/bin/env bash
# replay --live end to end: the sample replayed through the real Stats.dll under
# Wine posts its claimed score as it grew to the real contest-server (native, on
# 127.0.0.1); the scoreboard's last post must be the plug-in's report, band by
# band, with the header file's categories, and every post must have been taken.
#   live_scoreboard_test.sh REPLAY_EXE CONTEST_SERVER SAMPLE HEADER CONTEST_TOML
set -euo pipefail
replay=$1 server=$2 sample=$3 header=$4 config=$5
source "$(dirname "$0")/../../scripts/contest_server_start.sh"
work=$(mktemp -d)
cd "$work"
key=$("$server" --config "$config" --data data key add SM5XYZ | cut -d' ' -f2)
start_contest_server "$server" "$config" data server || exit 1
trap 'kill $contest_server_pid 2>/dev/null; rm -rf "$work"' EXIT
board=$scoreboard

wine "$replay" "$sample" --cty /usr/share/hamradio-files/cty.dat --workdir w --header "$header" \
  --live "http://SM5XYZ:$key@${board#http://}post" --live-every 30 --live-seconds 0 >replay.log
failed=0
took=$(tr -d '\r' <replay.log | grep -o 'The scoreboard took [0-9]* of [0-9]* posts$' || true)
posts=$(awk '{ print $6 }' <<<"$took")
[ -n "$took" ] && [ "$(awk '{ print $4 }' <<<"$took")" = "$posts" ] || { echo "FAIL: ${took:-no post summary}"; failed=1; }

station=$(curl -s "${board}station.json?call=SM5XYZ")
expect() { grep -qF -- "$1" <<<"$station" || { echo "FAIL: $2: no $1 in $station"; failed=1; }; }
expect '"score":4523904,"qsos":1464,"points":8316,"mults":544,' "the report's totals"
expect '"flag":null,' "a breakdown that adds up"
expect "\"posts\":$posts," "every post stored"
expect '"ops":"SINGLE-OP","mode":"RTTY","power":"LOW"' "the header's categories"
# The bands of the real plug-in's report (tests/replay/sample_output.txt).
for row in 160:39:395:30:9 80:176:1920:63:22 40:419:3496:71:58 20:518:1550:72:50 15:213:650:68:30 10:99:305:54:17; do
  IFS=: read -r band qsos points mult prefix <<<"$row"
  expect "{\"kind\":\"qso\",\"band\":\"$band\",\"mode\":\"RTTY\",\"type\":\"\",\"value\":$qsos}" "$band m QSOs"
  expect "{\"kind\":\"point\",\"band\":\"$band\",\"mode\":\"RTTY\",\"type\":\"\",\"value\":$points}" "$band m points"
  expect "{\"kind\":\"mult\",\"band\":\"$band\",\"mode\":\"RTTY\",\"type\":\"exchange\",\"value\":$mult}" "$band m Mult"
  expect "{\"kind\":\"mult\",\"band\":\"$band\",\"mode\":\"RTTY\",\"type\":\"prefix\",\"value\":$prefix}" "$band m Prefix"
done
[ "$failed" -eq 0 ] && echo "replay --live: $posts posts taken; the scoreboard holds the plug-in's report"
exit "$failed"
