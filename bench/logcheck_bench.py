#!/usr/bin/env python3
"""make bench: the log checker over simulated contests of 500 and 5,000 logs, the
second of 2,000,000 QSO lines; wall time and peak memory of the real program,
and the targets: at most 30 s and 2 GB for the large one, ten times the logs at
most twelve times the time."""
import os
import resource
import shutil
import subprocess
import sys
import time

simulate, logcheck, work = sys.argv[1], sys.argv[2], sys.argv[3]
runs = []
for logs in (500, 5000):
    folder = os.path.join(work, f"contest-{logs}")
    if not os.path.isdir(folder):
        subprocess.run([simulate, folder + ".tmp", str(logs), "400"], check=True, stdout=subprocess.DEVNULL)
        os.rename(folder + ".tmp", folder)
    out = os.path.join(work, f"checked-{logs}")
    shutil.rmtree(out, ignore_errors=True)
    pid = os.fork()
    if pid == 0:
        os.close(1)
        os.open(os.devnull, os.O_WRONLY)
        os.execv(logcheck, [logcheck, folder, "--out", out, "--start", "2026-02-14 0000", "--end", "2026-02-15 2359"])
    start = time.monotonic()
    _, status, usage = os.wait4(pid, 0)
    seconds = time.monotonic() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"logcheck failed on {folder}")
    lines = sum(1 for name in os.listdir(folder) for line in open(os.path.join(folder, name)) if line.startswith("QSO:"))
    runs.append((logs, lines, seconds, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024))

print(f"{'logs':>6} {'QSO lines':>10} {'seconds':>8} {'CPU s':>6} {'peak MB':>8}")
for logs, lines, seconds, cpu, mb in runs:
    print(f"{logs:>6} {lines:>10} {seconds:>8.1f} {cpu:>6.1f} {mb:>8.0f}")
(_, _, small, _, _), (_, lines, large, _, mb) = runs
ratio = large / small
print(f"target: 2,000,000 QSOs in at most 30 s and 2048 MB: {large:.1f} s, {mb:.0f} MB "
      f"{'met' if large <= 30 and mb <= 2048 else 'MISSED'}")
print(f"target: ten times the logs at most twelve times the time: {ratio:.1f} times "
      f"{'met' if ratio <= 12 else 'MISSED'}")
