#!/usr/bin/env bash
# make live: the bundled sample contest in fast-forward on a live scoreboard.
# contest-server starts on a free port of 127.0.0.1 over out/live, with the
# sample's contest (tools/contest_server/contest.toml) and a key for SM5XYZ;
# replay.exe then feeds the sample through the real Stats.dll under Wine and
# posts the claimed score as it grew. The server goes on afterwards, so that the
# final scoreboard can be looked at; the last lines say how to stop it.
set -euo pipefail
cd "$(dirname "$0")/.."
live=out/live server=build/native/bin/contest-server config=tools/contest_server/contest.toml
rm -rf "$live" && mkdir -p "$live"
key=$("$server" --config "$config" --data "$live/data" key add SM5XYZ | cut -d' ' -f2)
source scripts/contest_server_start.sh
start_contest_server "$server" "$config" "$live/data" "$live/server"
pid=$contest_server_pid board=$scoreboard
echo "Scoreboard: $board"
echo "(open it now: the contest passes in about half a minute)"
address=${board#http://}
xvfb-run -a sh -c "wine build/win32/bin/replay.exe examples/sample.adi --cty /usr/share/hamradio-files/cty.dat \
  --workdir $live/replay --header examples/header.txt --live http://SM5XYZ:$key@${address}post >$live/replay.log; \
  s=\$?; wineserver -k; exit \$s" || { tail -n 5 "$live/replay.log"; kill "$pid"; exit 1; }
grep -E '^(Score =|The scoreboard took)' "$live/replay.log"
echo "Scoreboard: $board"
echo "contest-server goes on (pid $pid, store $live/data); stop it with: kill $pid"
