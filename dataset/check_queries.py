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

    if problems:
        print("FAIL: %d problem(s):" % len(problems))
        for p in problems:
            print("  " + p)
        return 1
    print("OK: %d queries" % (len(CITY_QUERIES) + len(STATE_QUERIES) + len(COUNTY_QUERIES)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
