#!/usr/bin/env python3
"""Check the ZIP code table that dataset/import.py writes.

    python3 dataset/check_zipcodes.py dataset/zipcodes.csv

Exits 0 when the file is well-formed, meets the quality bars and gives the
expected values for a set of well-known ZIP codes; otherwise prints what is
wrong and exits 1.  Every point must lie in its state and every county code
under its state's code (the rules of schema.py, which the importer applies
too).  Standard library only.
"""

import csv
import io
import re
import sys

import kinds
import names
import people
import zones
from area_vote import distance
from schema import (ALL_STATES, COLUMNS, MILITARY, military_state, place_problems,
                    point_problems, quality_bars)

# zip -> expected values; a list value means "contains all of these".
SPOT_CHECKS = {
    "84101": {"city": "Salt Lake City", "state": "UT", "county": "Salt Lake",
              "area_code": "801", "utc_offset": "-7", "dst": "Y",
              "population": "7358", "density": "3989.1"},
    "85001": {"city": "Phoenix", "state": "AZ", "county": "Maricopa",
              "area_code": "602", "utc_offset": "-7", "dst": "N",
              "county_fips": "04013", "time_zone": "America/Phoenix"},
    "60601": {"city": "Chicago", "state": "IL", "area_code": "312",
              "utc_offset": "-6", "dst": "Y"},
    "96910": {"state": "GU", "area_code": "671", "utc_offset": "10", "dst": "N",
              "time_zone": "Pacific/Guam"},
    "00601": {"city": "Adjuntas", "state": "PR", "area_code": "787",
              "utc_offset": "-4", "dst": "N", "county": "Adjuntas", "county_fips": "72001",
              "kind": "standard", "time_zone": "America/Puerto_Rico"},
    "10001": {"city": "New York", "state": "NY", "area_code": "212",
              "other_area_codes": ["332", "646"]},
    "09001": {"state": "AE", "county": "", "area_code": "", "utc_offset": "",
              "dst": "N", "latitude": "", "longitude": "", "county_fips": "",
              "kind": "military", "time_zone": ""},
    # Kinds: an area of its own, a single organisation (the IRS at Holtsville).
    "00501": {"kind": "po_box_or_unique", "time_zone": "America/New_York"},
    "83702": {"kind": "standard", "time_zone": "America/Boise"},
    "96950": {"county": "Saipan", "county_fips": "69110"},
    # Overlays reach every ZIP of the codes beneath them.
    "78701": {"city": "Austin", "area_code": "512", "other_area_codes": ["737"]},
    "11201": {"city": "Brooklyn", "area_code": "718",
              "other_area_codes": ["347", "917", "929"]},
    "90401": {"city": "Santa Monica", "area_code": "310",
              "other_area_codes": ["424"]},
    "30303": {"state": "GA", "area_code": "404",
              "other_area_codes": ["470", "678", "943"]},
    # Counties the crosswalk agrees with; Connecticut's historic counties
    # with the planning region as a further county.
    "32753": {"city": "Debary", "county": "Volusia"},
    "06010": {"city": "Bristol", "county": "Hartford",
              "other_counties": ["Naugatuck Valley"]},
    "06103": {"city": "Hartford", "county": "Hartford",
              "other_counties": ["Capitol Region"], "county_fips": "09003"},
    "06510": {"city": "New Haven", "county": "New Haven"},
}

# zip -> (utc_offset, dst): places on both sides of the zone lines of the
# split states, and the Navajo Nation (daylight-saving time) and the Hopi
# lands (none) in Arizona.
ZONE_CHECKS = {
    "46204": ("-5", "Y"), "46401": ("-6", "Y"), "47708": ("-6", "Y"),   # IN
    "47532": ("-5", "Y"), "47660": ("-6", "Y"),
    "40202": ("-5", "Y"), "42101": ("-6", "Y"), "42603": ("-6", "Y"),   # KY
    "42748": ("-5", "Y"),
    "37203": ("-6", "Y"), "37902": ("-5", "Y"), "37419": ("-5", "Y"),   # TN
    "32501": ("-6", "Y"), "32401": ("-6", "Y"), "32301": ("-5", "Y"),   # FL
    "49801": ("-6", "Y"), "48201": ("-5", "Y"), "49807": ("-5", "Y"),   # MI
    "58501": ("-6", "Y"), "58601": ("-7", "Y"),                         # ND
    "57501": ("-6", "Y"), "57701": ("-7", "Y"), "57601": ("-6", "Y"),   # SD
    "68102": ("-6", "Y"), "69101": ("-6", "Y"), "69361": ("-7", "Y"),   # NE
    "67601": ("-6", "Y"), "67735": ("-7", "Y"),                         # KS
    "75201": ("-6", "Y"), "79901": ("-7", "Y"), "79851": ("-7", "Y"),   # TX
    "83702": ("-7", "Y"), "83814": ("-8", "Y"),                         # ID
    "97201": ("-8", "Y"), "97914": ("-7", "Y"),                         # OR
    "89101": ("-8", "Y"), "89024": ("-8", "Y"), "89883": ("-7", "Y"),   # NV
    "99501": ("-9", "Y"), "99546": ("-10", "Y"),                        # AK
    "86515": ("-7", "Y"), "86045": ("-7", "Y"), "86039": ("-7", "N"),   # AZ
    "86001": ("-7", "N"), "86004": ("-7", "N"),
    "36867": ("-5", "Y"), "36869": ("-5", "Y"), "36104": ("-6", "Y"),   # AL
}

# zip -> (latitude, longitude) of the place, from an atlas: the table's point
# must lie within PLACE_KM of it.  Places far out, on both sides of the
# 180th meridian and south of the equator catch a lost sign or a swap.
PLACE_KM = 25
PLACE_CHECKS = {
    "84101": (40.76, -111.89),    # Salt Lake City
    "33040": (24.56, -81.78),     # Key West
    "04631": (44.91, -66.99),     # Eastport, ME
    "99723": (71.29, -156.79),    # Utqiagvik (Barrow), AK
    "99546": (51.88, -176.65),    # Adak, AK
    "96898": (19.28, 166.65),     # Wake Island
    "96799": (-14.28, -170.70),   # Pago Pago, AS
    "96910": (13.48, 144.75),     # Hagatna, GU
    "96950": (15.18, 145.75),     # Saipan, MP
    "96960": (7.09, 171.38),      # Majuro, MH
    "00601": (18.16, -66.72),     # Adjuntas, PR
}


class Problems:
    def __init__(self, limit=25):
        self.items = []
        self.limit = limit
        self.count = 0

    def add(self, msg):
        self.count += 1
        if len(self.items) < self.limit:
            self.items.append(msg)


def check_text(p, where, value):
    try:
        value.encode("cp1252")
    except UnicodeEncodeError:
        p.add("%s: %r is not representable in Windows-1252" % (where, value))
    if len(value.encode("utf-8")) > 254:
        p.add("%s: %r is longer than 254 bytes" % (where, value))
    if value != value.strip() or any(ord(c) < 32 for c in value):
        p.add("%s: %r has stray spaces or control characters" % (where, value))


def check_list(p, where, value, main, item_re=None):
    if not value:
        return []
    items = value.split(";")
    if items != sorted(set(items)):
        p.add("%s: list %r is not sorted and unique" % (where, value))
    if "" in items:
        p.add("%s: list %r has an empty item" % (where, value))
    if main and main in items:
        p.add("%s: list %r repeats the main value %r" % (where, value, main))
    if item_re:
        for it in items:
            if not re.fullmatch(item_re, it):
                p.add("%s: list item %r is malformed" % (where, it))
    return items


def zone_offsets(name, known=zones.ZoneOffsets()):
    """(standard offset, dst) of a zone; an unknown name gives a value no row has."""
    return known(name) if zones.zone_exists(name) else ("unknown zone", "-")


def check_rows(p, raw, rows):
    """Format of every row; returns rows keyed by zip."""
    by_zip = {}
    prev = None
    out = io.StringIO()
    writer = csv.writer(out, lineterminator="\n", quoting=csv.QUOTE_MINIMAL)
    for n, row in enumerate(rows, start=2):
        where = "line %d" % n
        if len(row) != len(COLUMNS):
            p.add("%s: %d fields instead of %d" % (where, len(row), len(COLUMNS)))
            continue
        rec = dict(zip(COLUMNS, row))
        z = rec["zip"]
        where = "line %d (zip %s)" % (n, z)
        if not re.fullmatch(r"\d{5}", z):
            p.add("%s: zip is not 5 digits" % where)
        elif prev is not None and z <= prev:
            p.add("%s: zip not after %s (must be sorted and unique)" % (where, prev))
        prev = z
        st = rec["state"]
        if st not in ALL_STATES:
            p.add("%s: unknown state %r" % (where, st))
        if re.fullmatch(r"\d{5}", z):
            ms = military_state(z)
            if (st in MILITARY) != (ms is not None) or (ms and ms != st):
                p.add("%s: state %s does not fit the ZIP prefix" % (where, st))
        if not rec["city"]:
            p.add("%s: empty city" % where)
        for col in ("city", "county", "other_counties", "other_cities",
                    "other_county_names"):
            check_text(p, "%s %s" % (where, col), rec[col])
        if not re.fullmatch(r"(\d{3})?", rec["area_code"]):
            p.add("%s: area code %r is not 3 digits" % (where, rec["area_code"]))
        off = rec["utc_offset"]
        if off and (not re.fullmatch(r"-?\d{1,2}", off) or not -12 <= int(off) <= 12):
            p.add("%s: utc_offset %r outside -12..12" % (where, off))
        if rec["dst"] not in ("Y", "N"):
            p.add("%s: dst %r is not Y or N" % (where, rec["dst"]))
        elif not off and rec["dst"] != "N":
            p.add("%s: dst Y without a utc_offset" % where)
        if st in MILITARY and (rec["county"] or rec["area_code"] or off):
            p.add("%s: military ZIP with county, area code or time zone" % where)
        counties = check_list(p, where + " other_counties", rec["other_counties"],
                              rec["county"])
        if counties and not rec["county"]:
            p.add("%s: other counties but no main county" % where)
        codes = check_list(p, where + " other_area_codes", rec["other_area_codes"],
                           rec["area_code"], r"\d{3}")
        check_list(p, where + " other_cities", rec["other_cities"], rec["city"])
        check_list(p, where + " other_county_names", rec["other_county_names"],
                   rec["county"])
        if codes and not rec["area_code"]:
            p.add("%s: other area codes but no main area code" % where)
        if rec["kind"] != kinds.kind_of(st, rec["kind"] == kinds.STANDARD):
            p.add("%s: kind %r does not fit state %s" % (where, rec["kind"], st))
        for msg in kinds.zone_problems(rec, zone_offsets):
            p.add("%s: %s" % (where, msg))
        for msg in people.figure_problems(rec):
            p.add("%s: %s" % (where, msg))
        # Quoting: exactly what a minimal RFC 4180 writer produces.
        out.seek(0)
        out.truncate()
        writer.writerow(row)
        if n - 1 < len(raw) and raw[n - 1] + "\n" != out.getvalue():
            p.add("%s: quoting differs from minimal quoting: %r" % (where, raw[n - 1]))
        by_zip[z] = rec
    return by_zip


def spot_checks(p, by_zip):
    for z, want in sorted(SPOT_CHECKS.items()):
        rec = by_zip.get(z)
        if rec is None:
            p.add("spot check %s: ZIP missing" % z)
            continue
        for col, value in sorted(want.items()):
            got = rec[col]
            if isinstance(value, list):
                have = got.split(";") if got else []
                lack = [v for v in value if v not in have]
                if lack:
                    p.add("spot check %s: %s %r lacks %s" % (z, col, got, ", ".join(lack)))
            elif got != value:
                p.add("spot check %s: %s is %r, expected %r" % (z, col, got, value))


def zone_checks(p, by_zip):
    for z, (off, dst) in sorted(ZONE_CHECKS.items()):
        rec = by_zip.get(z)
        if rec is None:
            p.add("zone check %s: ZIP missing" % z)
        elif (rec["utc_offset"], rec["dst"]) != (off, dst):
            p.add("zone check %s %s, %s: zone %s %s, expected %s %s"
                  % (z, rec["city"], rec["state"], rec["utc_offset"], rec["dst"],
                     off, dst))


def place_checks(p, by_zip):
    for z, rec in sorted(by_zip.items()):
        for msg in place_problems(rec):
            p.add("zip %s: %s" % (z, msg))
    for z, want in sorted(PLACE_CHECKS.items()):
        rec = by_zip.get(z)
        if rec is None or not rec["latitude"] or point_problems(
                rec["state"], rec["latitude"], rec["longitude"]):
            p.add("place check %s: no usable point" % z)
            continue
        km = distance((float(rec["latitude"]), float(rec["longitude"])), want)
        if km > PLACE_KM:
            p.add("place check %s %s, %s: point %s, %s is %.0f km from %s, %s"
                  % (z, rec["city"], rec["state"], rec["latitude"], rec["longitude"], km,
                     want[0], want[1]))


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: %s zipcodes.csv\n" % argv[0])
        return 2
    try:
        with open(argv[1], "rb") as f:
            data = f.read()
    except OSError as e:
        print("FAIL: cannot read %s: %s" % (argv[1], e))
        return 1
    p = Problems()
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as e:
        print("FAIL: %s is not UTF-8: %s" % (argv[1], e))
        return 1
    if "\r" in text:
        p.add("file has CR characters; lines must end in LF only")
    if text.startswith("\ufeff"):
        p.add("file starts with a byte order mark")
    if not text.endswith("\n"):
        p.add("file does not end with a newline")
    raw = text.split("\n")[:-1] if text.endswith("\n") else text.split("\n")
    rows = list(csv.reader(io.StringIO(text, newline="")))
    if not rows or rows[0] != COLUMNS:
        print("FAIL: header is %r, expected %r" % (rows[0] if rows else None,
                                                  ",".join(COLUMNS)))
        return 1
    if len(raw) != len(rows):
        p.add("a field spans lines (%d lines, %d records)" % (len(raw), len(rows)))
    by_zip = check_rows(p, raw, rows[1:])

    bars = quality_bars(list(by_zip.values()))
    for desc, ok in bars:
        print("  [%s] %s" % ("PASS" if ok else "FAIL", desc))
        if not ok:
            p.add("quality bar not met: " + desc)
    spot_checks(p, by_zip)
    names.check(by_zip, p.add)
    zone_checks(p, by_zip)
    place_checks(p, by_zip)

    if p.count:
        print("FAIL: %d problem(s) in %s:" % (p.count, argv[1]))
        for msg in p.items:
            print("  " + msg)
        if p.count > len(p.items):
            print("  ... and %d more" % (p.count - len(p.items)))
        return 1
    print("OK: %s: %d ZIP codes, %d spot checks, %d zone checks, %d place checks"
          % (argv[1], len(by_zip), len(SPOT_CHECKS), len(ZONE_CHECKS), len(PLACE_CHECKS)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
