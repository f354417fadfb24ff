#!/usr/bin/env python3
"""Ask the built data set, through corvana-query, for places and counties by
the names people write, and compare every answer with the table.

    python3 dataset/check_queries.py BIN_DIR dataset/zipcodes.csv

BIN_DIR holds corvana-query and the data files built from the table.  For
each query the ZIP lines must be exactly those of the table's rows that
carry a matching name, main or further, each once.  Exits 1 and lists what
differs.
"""

import csv
import math
import os
import subprocess
import sys
import tempfile

# Typed text, a ZIP code of the place that must be among the answers.
CITY_QUERIES = [("st louis", "63101"), ("st. louis", "63101"), ("ft worth", "76102"),
                ("mt vernon", "10550"), ("st paul", "55101"), ("port st lucie", "34952"),
                ("ste genevieve", "63670")]
STATE_QUERIES = [("MO", "st l", "63101")]
# County, state, a ZIP code of the county that must be among the answers.
COUNTY_QUERIES = [("saint louis", "MO", "63122"), ("st louis", "MO", "63122"),
                  ("st. louis", "MO", "63122"), ("san", "PR", "00725")]


def upper(s):
    """Upper case as the searches compare: the letters a to z only."""
    return "".join(chr(ord(c) - 32) if "a" <= c <= "z" else c for c in s)


def items(field):
    return [x for x in field.split(";") if x]


def geodesic_km(lat1, lon1, lat2, lon2):
    """Vincenty's inverse on WGS84: within a millimetre of the program's geodesic at the
    distances checked here, and exactly 0 between two ZIP codes at one point."""
    a, f = 6378137.0, 1 / 298.257223563
    b = a * (1 - f)
    L = math.radians(lon2 - lon1)
    U1 = math.atan((1 - f) * math.tan(math.radians(lat1)))
    U2 = math.atan((1 - f) * math.tan(math.radians(lat2)))
    sinU1, cosU1, sinU2, cosU2 = math.sin(U1), math.cos(U1), math.sin(U2), math.cos(U2)
    lam = L
    for _ in range(200):
        sinLam, cosLam = math.sin(lam), math.cos(lam)
        sinSigma = math.hypot(cosU2 * sinLam, cosU1 * sinU2 - sinU1 * cosU2 * cosLam)
        if sinSigma == 0:
            return 0.0
        cosSigma = sinU1 * sinU2 + cosU1 * cosU2 * cosLam
        sigma = math.atan2(sinSigma, cosSigma)
        sinAlpha = cosU1 * cosU2 * sinLam / sinSigma
        cos2Alpha = 1 - sinAlpha ** 2
        cos2SigmaM = cosSigma - 2 * sinU1 * sinU2 / cos2Alpha if cos2Alpha else 0.0
        C = f / 16 * cos2Alpha * (4 + f * (4 - 3 * cos2Alpha))
        prev = lam
        lam = L + (1 - C) * f * sinAlpha * (
            sigma + C * sinSigma * (cos2SigmaM + C * cosSigma * (-1 + 2 * cos2SigmaM ** 2)))
        if abs(lam - prev) < 1e-12:
            break
    u2 = cos2Alpha * (a * a - b * b) / (b * b)
    A = 1 + u2 / 16384 * (4096 + u2 * (-768 + u2 * (320 - 175 * u2)))
    B = u2 / 1024 * (256 + u2 * (-128 + u2 * (74 - 47 * u2)))
    dSigma = B * sinSigma * (cos2SigmaM + B / 4 * (
        cosSigma * (-1 + 2 * cos2SigmaM ** 2)
        - B / 6 * cos2SigmaM * (-3 + 4 * sinSigma ** 2) * (-3 + 4 * cos2SigmaM ** 2)))
    return b * A * (sigma - dSigma) / 1000


def brute_reach(rows, centre, target):
    """The ZIP codes nearest first, by the table's positions, until their population reaches
    target, with those as far as the last; their total and that distance."""
    c = next(r for r in rows if r["zip"] == centre)
    lat, lon = float(c["latitude"]), float(c["longitude"])
    placed = [(0.0 if r is c else geodesic_km(lat, lon, float(r["latitude"]),
                                              float(r["longitude"])), r)
              for r in rows if r["latitude"]]
    placed.sort(key=lambda p: (p[0], p[1] is not c, p[1]["zip"]))
    taken, total, radius = [], 0, None
    for km, r in placed:
        if radius is not None and km > radius:
            break
        taken.append(r["zip"])
        total += int(r["population"] or 0)
        if radius is None and total >= target:
            radius = km
    return taken, total, radius


def check_people(bin_dir, settings, rows, problems):
    """reach and --sort population against the table's population column."""
    people = {r["zip"]: int(r["population"]) for r in rows if r["population"]}
    zips = lambda lines: [l[:5] for l in lines if l[:5].isdigit() and l[5:6] == " "]
    status, _, near = query(bin_dir, settings, ["near", "84101", "--miles", "10"])
    status, _, reach = query(bin_dir, settings, ["reach", "84101", "--miles", "10"])
    total = sum(people.get(z, 0) for z in zips(near))
    if status != 0 or zips(reach) != zips(near) or not reach[-1].startswith(
            "%d ZIP codes, %s people," % (len(zips(near)), format(total, ","))):
        problems.append("reach 84101 --miles 10: not near's %d ZIP codes with %d people: %r"
                        % (len(zips(near)), total, reach[-1:]))
    print("%-34s %4d lines, %s" % ("reach 84101 --miles 10", len(reach), reach[-1]))

    taken, total, radius = brute_reach(rows, "84101", 1000000)
    status, heading, reach = query(bin_dir, settings, ["reach", "84101", "--people", "1000000"])
    miles = radius / 1.609344
    want = "%d ZIP codes, %s people, within %.1f mi (%.1f km)" % (len(taken), format(total, ","),
                                                                  miles, radius)
    if status != 0 or zips(reach) != taken or reach[-1:] != [want] or total < 1000000 or \
            heading != ["Zip Codes Within %g Miles Of 84101" % round(miles, 1)]:
        problems.append("reach 84101 --people 1000000: %r %r, adding up the table gives %r"
                        % (heading, reach[-1:], want))
    print("%-34s %4d lines, %s" % ("reach 84101 --people 1000000", len(reach), reach[-1]))

    status, _, lines = query(bin_dir, settings, ["county", "salt lake", "--sort", "population"])
    got = zips(lines)
    order = sorted(got, key=lambda z: -people.get(z, -1))
    if status != 0 or got != order or len(got) < 40:
        problems.append("county 'salt lake' --sort population: not biggest first: %r" % got[:8])
    print("%-34s %4d lines, e.g. %s" % ("county 'salt lake' --sort pop.", len(lines),
                                         lines[0] if lines else "-"))


def query(bin_dir, settings, args):
    proc = subprocess.run([os.path.join(bin_dir, "corvana-query"), "--data", bin_dir,
                           "--settings", settings] + args,
                          capture_output=True, encoding="utf-8", env=dict(os.environ, LC_ALL="C"))
    lines = proc.stdout.split("\n")[:-1]
    return proc.returncode, lines[:1], lines[1:]


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: %s BIN_DIR zipcodes.csv\n" % argv[0])
        return 2
    bin_dir, table = argv[1], argv[2]
    with open(table, encoding="utf-8", newline="") as f:
        rows = list(csv.DictReader(f))
    problems = []

    def compare(what, got, want, must, heading_wanted="Possible Zip Codes"):
        status, heading, lines = got
        if status != 0 or heading != [heading_wanted]:
            problems.append("%s: exit status %d, heading %r" % (what, status, heading))
        if sorted(lines) != sorted(want):
            missing = sorted(set(want) - set(lines))[:5]
            extra = sorted(set(lines) - set(want))[:5]
            problems.append("%s: %d lines, the table gives %d; missing %r, extra %r"
                            % (what, len(lines), len(want), missing, extra))
        if not any(l.startswith(must + " ") for l in lines):
            problems.append("%s: %s is not listed" % (what, must))
        print("%-34s %4d lines, e.g. %s" % (what, len(lines), lines[0] if lines else "-"))

    with tempfile.TemporaryDirectory() as tmp:
        settings = os.path.join(tmp, "plain.ini")
        with open(settings, "w") as f:
            f.write("[Preferences]\nShow County=No\nShow Area Code=No\n"
                    "Show Time Zone=No\nShow Current Time=No\n")

        def city_lines(text, state=None):
            return ["%s %s, %s" % (r["zip"], name, r["state"]) for r in rows
                    if state in (None, r["state"])
                    for name in [r["city"]] + items(r["other_cities"])
                    if upper(name).startswith(upper(text))]

        for text, must in CITY_QUERIES:
            compare("city %r" % text, query(bin_dir, settings, ["city", text]),
                    city_lines(text), must)
        for state, text, must in STATE_QUERIES:
            compare("state %s %r" % (state, text),
                    query(bin_dir, settings, ["state", state, text]),
                    city_lines(text, state), must, "Possible Cities")
        # A county search lists each ZIP code once, with the first matching county in the
        # order of COUNTY.DAT: the counties of a state first, then the further names that are
        # no county of it, each part by upper-cased name.
        counties = {(r["state"], name) for r in rows
                    for name in [r["county"]] + items(r["other_counties"]) if name}

        def county_order(state, name):
            return ((state, name) not in counties, upper(name), name)

        for text, state, must in COUNTY_QUERIES:
            want = []
            for r in rows:
                names = [name for name in [r["county"]] + items(r["other_counties"])
                         + items(r["other_county_names"])
                         if name and upper(name).startswith(upper(text))]
                if r["state"] == state and names:
                    first = min(names, key=lambda name: county_order(state, name))
                    want.append("%s %s, %s (%s)" % (r["zip"], r["city"], r["state"], first))
            compare("county %r, state %s" % (text, state),
                    query(bin_dir, settings, ["--state", state, "county", text]), want, must)

        check_people(bin_dir, settings, rows, problems)

    if problems:
        print("FAIL: %d problem(s):" % len(problems))
        for p in problems:
            print("  " + p)
        return 1
    print("OK: %d queries" % (len(CITY_QUERIES) + len(STATE_QUERIES) + len(COUNTY_QUERIES) + 3))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
