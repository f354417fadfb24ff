#!/usr/bin/python3
"""What a user would write instead of the batch look-up's telephone columns: a loop over the
rows that parses each number with python3-phonenumbers, geocodes it and asks its time zones.

    /usr/bin/python3 bench/phone_vs_python.py [ROWS]

Prints the rows per second of the loop over ROWS generated cells (default 100,000), made as
bench_phone's BM_BatchMillion makes its million: compare its per-row time with that benchmark's.
"""

import random
import sys
import time

import phonenumbers
from phonenumbers import geocoder, timezone

AREAS = [208, 212, 213, 305, 312, 415, 423, 541, 602, 702, 775,
         801, 850, 907, 928, 206, 404, 617, 713, 919, 605, 701,
         416, 604, 709, 306, 867, 876, 441, 242]  # Canada and the Caribbean too


def cells(n):
    rnd = random.Random(7)
    out = []
    for _ in range(n):
        pick = rnd.randrange(100)
        area = rnd.choice(AREAS)
        x, line = 200 + rnd.randrange(800), rnd.randrange(10000)
        if pick < 2:
            out.append("" if pick == 0 else "n/a")
            continue
        code = 800 if pick < 5 else area
        forms = ["(%03d) %03d-%04d", "%03d-%03d-%04d", "+1 %03d %03d %04d", "%03d%03d%04d"]
        out.append(forms[pick % 4] % (code, x, line))
    return out


def main():
    n = int(sys.argv[1]) if len(sys.argv) > 1 else 100000
    rows = cells(n)
    placed = 0
    t0 = time.perf_counter()
    for cell in rows:
        try:
            number = phonenumbers.parse(cell, "US")
        except phonenumbers.NumberParseException:
            continue
        if not phonenumbers.is_valid_number(number):
            continue
        place = geocoder.description_for_number(number, "en")
        zones = timezone.time_zones_for_number(number)
        placed += bool(place) and bool(zones)
    dt = time.perf_counter() - t0
    print("python3-phonenumbers %s: %d rows in %.2f s, %.2f us per row, %d placed"
          % (phonenumbers.__version__, n, dt, dt / n * 1e6, placed))


if __name__ == "__main__":
    main()
