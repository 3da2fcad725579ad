#!/usr/bin/env bash
# Each fuzz target a few seconds from its committed seeds (copied, so they stay
# as they are): a target fails when it crashes or gains no coverage over its
# seeds, so that none can stop reaching its code unseen.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
shift
failed=0
for t in "$@"; do
  corpus=$(mktemp -d)
  cp fuzz/corpus/"$t"/* "$corpus"/
  log=build/fuzz/$t-check.log
  build/fuzz/bin/"$t"_fuzz -seed=1 -max_total_time="$seconds" -artifact_prefix="$PWD/build/fuzz/" "$corpus" >"$log" 2>&1
  status=$?
  rm -rf "$corpus"
  seeds="" final=""
  { read -r seeds; read -r final; } < <(fuzz/coverage.sh "$log") || true
  if [ $status -ne 0 ] || [ -z "$seeds" ] || [ "${final:-0}" -le "$seeds" ]; then
    echo "fuzz-check: $t FAILED (exit $status, coverage ${seeds:-none} from its seeds, ${final:-none} at the end)"
    tail -n 20 "$log"
    failed=$((failed + 1))
  else
    echo "fuzz-check: $t covers $seeds edges from its seeds, $final after ${seconds} s"
  fi
done
echo "fuzz-check: $(($# - failed)) passed, $failed failed"
[ $failed -eq 0 ]
