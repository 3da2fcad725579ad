#!/usr/bin/env python3
"""The Cabrillo pass's cost in replay: the sample replayed plain and with
--cabrillo, alternately, in one X session and the project's Wine prefix; the
medians and their difference against the target (at most 1 s)."""
import os
import statistics
import subprocess
import sys
import tempfile
import time

RUNS = 5
TARGET_S = 1.0


def timed(command):
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def main():
    replay, sample, header, cty = sys.argv[1:5]
    with tempfile.TemporaryDirectory() as work:
        plain = ["wine", replay, sample, "--cty", cty, "--workdir", os.path.join(work, "plain")]
        cabrillo = ["wine", replay, sample, "--cty", cty, "--workdir", os.path.join(work, "cbr"),
                    "--cabrillo", "--header", header]
        timed(plain)  # Wine's server and the first loading of its DLLs
        times = {"plain": [], "cabrillo": []}
        for _ in range(RUNS):
            times["plain"].append(timed(plain))
            times["cabrillo"].append(timed(cabrillo))
    p, c = statistics.median(times["plain"]), statistics.median(times["cabrillo"])
    print(f"Cabrillo pass, the sample in {os.environ.get('WINEPREFIX', '~/.wine')} (medians of {RUNS}): "
          f"plain {p:.2f} s, --cabrillo {c:.2f} s, difference {c - p:.2f} s, ratio {c / p:.2f}; "
          f"target: difference at most {TARGET_S:.0f} s: {'met' if c - p <= TARGET_S else 'NOT met'}")
    subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)


if __name__ == "__main__":
    main()
