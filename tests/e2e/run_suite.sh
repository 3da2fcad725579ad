#!/bin/sh
# Runs one end-to-end suite under Wine and reports its own verdict. Wine's server
# kills a process that has not gone a second after it asked to end, and on a
# loaded, emulated machine an exit can take longer: status 137 after the last
# test had ended. Then the suite's XML report, written once every test has run,
# says how it went.
# Where Wine runs through qemu-user, a fault that Wine's own handler never sees
# ends the process with qemu's guest core (qemu_*.core, in the working folder):
# then each thread's place in it is printed, by module, and the cores removed.
#   run_suite.sh SUITE.exe [ARGUMENTS]
suite=$1
shift
report=$(mktemp -d)/report.xml
ulimit -c unlimited 2>/dev/null || true
wine "$suite" --gtest_output="xml:$(winepath -w "$report")" "$@"
status=$?
if [ "$status" -gt 128 ] && [ "$status" -ne 137 ]; then
  for core in $(find . -maxdepth 1 -name 'qemu_*.core' -newer "$(dirname "$report")"); do
    echo "run_suite: the process died of signal $((status - 128)); where its threads were ($core):"
    python3 "$(dirname "$0")/core_where.py" "$core"
  done
fi
find . -maxdepth 1 \( -name 'qemu_*.core' -o -name core \) -newer "$(dirname "$report")" -delete
if [ "$status" -eq 137 ] && [ -s "$report" ] &&
   grep -q '<testsuites [^>]*failures="0"[^>]*errors="0"' "$report"; then
  echo "run_suite: Wine killed the process at its exit, after every test had passed"
  status=0
fi
rm -rf "$(dirname "$report")"
exit "$status"
