#!/usr/bin/env python3
"""Writes examples/sample.adi: a plausible 48-hour VERDA-WW-DX entry of SM5XYZ.

Calls come from MASTER.SCP (Debian's hamradio-files); a fixed seed makes the
output the same on every run, so the committed sample can be rebuilt:

    python3 scripts/make_sample.py [MASTER.SCP] > examples/sample.adi

About 1,500 QSOs: bands follow the time of day, the rate follows the operator
(a short sleep each night), every station sends a fixed four-digit number, and a
few QSOs are dupes, in another mode, on a band outside the contest or without a
number, as real logs have them.
"""
import random
import re
import sys

SEED = 20210306
MY_CALL = "SM5XYZ"
MY_NUMBER = "1987"
START_DAY = (2021, 3, 6)  # contest runs 6 March 00:00 to 7 March 23:59 UTC

NORDIC = re.compile(r"^(SM|SA|SB|SC|SD|SE|SF|SG|SH|SI|SJ|SK|SL|7S|8S|OH|OF|OG|OI|OJ|"
                    r"LA|LB|LC|LD|LE|LF|LG|LH|LI|LJ|LK|LL|LM|LN|OZ|OU|OV|OW|5P|5Q|"
                    r"ES|YL|LY|TF|OY|OX|JW|JX)[0-9]|^OH0/")

# RTTY segments in kHz.
SEGMENTS = {"160m": (1838, 1842), "80m": (3570, 3600), "40m": (7030, 7070),
            "20m": (14070, 14112), "15m": (21070, 21120), "10m": (28070, 28130),
            "30m": (10130, 10145)}

# Band weights by UTC hour, as the sun moves the openings.
def band_weights(hour):
    if hour < 4:
        return {"160m": 2, "80m": 5, "40m": 4, "20m": 1}
    if hour < 7:
        return {"80m": 2, "40m": 5, "20m": 2}
    if hour < 10:
        return {"40m": 2, "20m": 5, "15m": 3, "10m": 1}
    if hour < 15:
        return {"20m": 4, "15m": 4, "10m": 3}
    if hour < 19:
        return {"40m": 2, "20m": 5, "15m": 2}
    if hour < 22:
        return {"80m": 3, "40m": 5, "20m": 2}
    return {"160m": 1, "80m": 4, "40m": 4}


# QSOs per hour the operator makes, by UTC hour; he sleeps a little each night.
def hourly_rate(day, hour):
    if (day, hour) in {(0, 3), (0, 4), (1, 2), (1, 3), (1, 4)}:
        return 0
    if 12 <= hour < 18:
        return 42
    if hour < 6:
        return 22
    return 34


def load_calls(path):
    calls = []
    with open(path, encoding="ascii", errors="replace") as f:
        for line in f:
            call = line.strip()
            if call and not call.startswith("#") and call != MY_CALL:
                calls.append(call)
    return calls


def qso_date(day):
    y, m, d = START_DAY
    return "%04d%02d%02d" % (y, m, d + day)


def main():
    rng = random.Random(SEED)
    calls = load_calls(sys.argv[1] if len(sys.argv) > 1 else "/usr/share/hamradio-files/MASTER.SCP")
    nordic = [c for c in calls if NORDIC.match(c)]
    others = [c for c in calls if not NORDIC.match(c)]
    number_of = {}

    def number(call):
        if call not in number_of:
            # Values repeat across stations: that is what makes them multipliers.
            number_of[call] = "%04d" % rng.choice(range(1950, 2022))
        return number_of[call]

    worked = {}  # call -> bands worked
    records = []
    for day in range(2):
        for hour in range(24):
            n = hourly_rate(day, hour)
            weights = band_weights(hour)
            bands = list(weights)
            minutes = sorted(rng.randrange(3600) for _ in range(n))
            band = rng.choices(bands, [weights[b] for b in bands])[0]
            for second in minutes:
                if rng.random() < 0.15:  # a band change now and then
                    band = rng.choices(bands, [weights[b] for b in bands])[0]
                # Stations worked before come back on a new band; others are new.
                again = [c for c, b in worked.items() if band not in b]
                if again and rng.random() < 0.25:
                    call = rng.choice(sorted(again))
                else:
                    pool = nordic if rng.random() < 0.16 else others
                    call = rng.choice(pool)
                    while call in worked:
                        call = rng.choice(pool)
                worked.setdefault(call, set()).add(band)
                records.append({"call": call, "day": day, "hour": hour, "minute": second // 60,
                                "second": second % 60, "band": band, "mode": "RTTY",
                                "rcvd": number(call), "sent": MY_NUMBER})

    # The faults real logs have.
    def pick():
        return rng.randrange(len(records))

    for _ in range(6):  # dupes: the same station again, same band, some minutes later
        r = dict(records[pick()])
        r["minute"] = min(59, r["minute"] + rng.randrange(3, 20))
        records.append(r)
    for mode in ("PSK31", "PSK31", "FT8", "CW"):
        records[pick()]["mode"] = mode
    for _ in range(2):  # a QSO on 30 m, outside the contest
        r = records[pick()]
        r["band"] = "30m"
    for field in ("rcvd", "rcvd", "rcvd", "sent"):
        records[pick()][field] = ""

    records.sort(key=lambda r: (r["day"], r["hour"], r["minute"], r["second"]))
    out = sys.stdout
    out.write("VERDA-WW-DX sample log of %s, written by scripts/make_sample.py\r\n" % MY_CALL)
    out.write("<ADIF_VER:5>3.1.4 <PROGRAMID:11>make_sample <EOH>\r\n\r\n")
    for r in records:
        low, high = SEGMENTS[r["band"]]
        khz = rng.randrange(low * 10, high * 10) / 10.0
        fields = [("CALL", r["call"]), ("QSO_DATE", qso_date(r["day"])),
                  ("TIME_ON", "%02d%02d%02d" % (r["hour"], r["minute"], r["second"])),
                  ("BAND", r["band"]), ("FREQ", "%.4f" % (khz / 1000.0))]
        if r["mode"] == "PSK31":
            fields += [("MODE", "PSK"), ("SUBMODE", "PSK31")]
        else:
            fields += [("MODE", r["mode"])]
        fields += [("RST_SENT", "599"), ("RST_RCVD", rng.choice(["599"] * 8 + ["579", "589"])),
                   ("STX_STRING", r["sent"]), ("SRX_STRING", r["rcvd"]),
                   ("STATION_CALLSIGN", MY_CALL), ("CONTEST_ID", "VERDA-WW-DX")]
        # An empty field is left out, as logging programs do.
        out.write(" ".join("<%s:%d>%s" % (name, len(value), value) for name, value in fields if value))
        out.write(" <EOR>\r\n")


if __name__ == "__main__":
    main()
