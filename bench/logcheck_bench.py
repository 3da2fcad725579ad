#!/usr/bin/env python3
"""make bench: the log checker over simulated contests of 500 and 5,000 logs, the
second of 2,000,000 QSO lines, with VERDA-WW-DX's definition file; wall time and
peak memory of the real program, the load at the time, and the targets: at most
10 s (on an idle machine) and 1 GB for the large one, ten times the logs at most
twelve times the time."""
import os
import resource
import shutil
import subprocess
import sys
import time

simulate, logcheck, work, definition = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4]
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
        os.execv(logcheck, [logcheck, folder, "--out", out, "--contest", definition, "--start", "2026-02-14 0000",
                            "--end", "2026-02-15 2359"])
    load = os.getloadavg()[0]
    start = time.monotonic()
    _, status, usage = os.wait4(pid, 0)
    seconds = time.monotonic() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"logcheck failed on {folder}")
    lines = sum(1 for name in os.listdir(folder) for line in open(os.path.join(folder, name)) if line.startswith("QSO:"))
    runs.append((logs, lines, seconds, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024, load))

print(f"{'logs':>6} {'QSO lines':>10} {'seconds':>8} {'CPU s':>6} {'peak MB':>8} {'load':>5}")
for logs, lines, seconds, cpu, mb, load in runs:
    print(f"{logs:>6} {lines:>10} {seconds:>8.1f} {cpu:>6.1f} {mb:>8.0f} {load:>5.1f}")
(_, _, small, _, _, _), (_, lines, large, _, mb, load) = runs
ratio = large / small
# Other work on the machine slows the run: the time target holds for an idle one.
timing = "met" if large <= 10 else "MISSED" if load < 1.5 else f"not judged: the machine was busy (load {load:.1f})"
print(f"target: 2,000,000 QSOs in at most 10 s on an idle machine: {large:.1f} s, {timing}")
print(f"target: at most 1024 MB: {mb:.0f} MB {'met' if mb <= 1024 else 'MISSED'}")
print(f"target: ten times the logs at most twelve times the time: {ratio:.1f} times "
      f"{'met' if ratio <= 12 else 'MISSED'}")
