#!/usr/bin/python3
"""Check the area codes of the ZIP code table.

    check_area_codes.py zipcodes.csv
        every geographic area code of libphonenumber's metadata (Debian's
        python3-phonenumbers) for the US and its territories reaches a ZIP
        code, and the import report beside the table belongs to it and
        gives a held-out area-code agreement that meets the bar
    check_area_codes.py --query PATH/corvana-query --data DIR
        the Area Code search of the built data finds the ZIP codes of
        overlay codes

Exits 0 when everything holds, else prints the problems and exits 1.
"""

import csv
import hashlib
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from overlays import UNREACHABLE, geographic_codes, reached_codes, unreached  # noqa: E402
from schema import MIN_HELD_OUT_PCT, REPORT_NAME  # noqa: E402

# area code -> ZIP codes its search must list.
AREA_SEARCHES = {
    "737": ["78701"],
    "917": ["10001", "11201"],
    "424": ["90401"],
    "929": ["11201"],
    "943": ["30303"],
}


def check_coverage(csv_path):
    problems = []
    with open(csv_path, encoding="utf-8", newline="") as f:
        lines = list(csv.reader(f))[1:]
    geo = geographic_codes()
    if len(geo) < 300:
        problems.append("only %d geographic area codes in the phone metadata" % len(geo))
    missing = unreached(geo, reached_codes(lines))
    if missing:
        problems.append("geographic area codes that reach no ZIP code: %s"
                        % " ".join(missing))
    print("  geographic area codes reached: %d of %d (%d excepted)"
          % (len(geo) - len(missing), len(geo), len(UNREACHABLE)))
    return problems


def check_report(csv_path):
    path = os.path.join(os.path.dirname(os.path.abspath(csv_path)), REPORT_NAME)
    try:
        with open(path, encoding="utf-8") as f:
            report = f.read()
        with open(csv_path, "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
    except OSError as e:
        return ["cannot read %s: %s" % (e.filename, e.strerror)]
    problems = []
    m = re.search(r"Table checksum \(SHA-256\): ([0-9a-f]{64})", report)
    if not m or m.group(1) != digest:
        problems.append("%s is not the report of this table (checksum differs)"
                        % REPORT_NAME)
    m = re.search(r"held-out area-code agreement >= [\d.]+% \(([\d.]+)%\)", report)
    if not m:
        problems.append("%s gives no held-out area-code agreement" % REPORT_NAME)
    else:
        pct = float(m.group(1))
        print("  held-out area-code agreement: %.1f%% (bar %.1f%%)"
              % (pct, MIN_HELD_OUT_PCT))
        if pct < MIN_HELD_OUT_PCT:
            problems.append("held-out area-code agreement %.1f%% below %.1f%%"
                            % (pct, MIN_HELD_OUT_PCT))
    return problems


def check_searches(query, data):
    problems = []
    with tempfile.TemporaryDirectory(prefix="corvana-check-") as home:
        env = dict(os.environ, XDG_CONFIG_HOME=home, LC_ALL="C")
        for code, want in sorted(AREA_SEARCHES.items()):
            proc = subprocess.run([query, "--data", data, "--show", "none",
                                   "area", code],
                                  capture_output=True, text=True, env=env)
            if proc.returncode != 0:
                problems.append("area %s: exit status %d: %s"
                                % (code, proc.returncode, proc.stderr.strip()))
                continue
            found = set(re.findall(r"^(\d{5})\b", proc.stdout, re.M))
            lack = [z for z in want if z not in found]
            if lack:
                problems.append("area %s lists %d ZIP codes but not %s"
                                % (code, len(found), " ".join(lack)))
            else:
                print("  area %s: %d ZIP codes, including %s"
                      % (code, len(found), " ".join(want)))
    return problems


def main(argv):
    if len(argv) == 2:
        problems = check_coverage(argv[1]) + check_report(argv[1])
    elif len(argv) == 5 and argv[1] == "--query" and argv[3] == "--data":
        problems = check_searches(argv[2], argv[4])
    else:
        sys.stderr.write("usage: %s zipcodes.csv | --query CORVANA_QUERY --data DIR\n"
                         % argv[0])
        return 2
    if problems:
        print("FAIL:")
        for p in problems:
            print("  " + p)
        return 1
    print("OK")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
