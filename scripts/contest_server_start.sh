# Sourced by make live and the tests that need the real contest-server:
#   start_contest_server SERVER CONFIG DATA_DIR LOG
# starts it on a free port of 127.0.0.1, its output in LOG.out and LOG.err, and
# sets contest_server_pid and scoreboard (http://127.0.0.1:PORT/); fails, with
# what it said, when it does not start within 5 s.
start_contest_server() {
  local server=$1 config=$2 data=$3 log=$4
  "$server" --config "$config" --data "$data" --port 0 >"$log.out" 2>"$log.err" &
  contest_server_pid=$!
  for _ in $(seq 50); do grep -q scoreboard "$log.out" 2>/dev/null && break; sleep 0.1; done
  scoreboard=$(sed -n 's/^  scoreboard  //p' "$log.out")
  [ -n "$scoreboard" ] || { echo "contest-server did not start:"; cat "$log.err"; return 1; }
}
