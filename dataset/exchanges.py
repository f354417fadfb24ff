#!/usr/bin/python3
"""The exchanges stage: for every area code of the table and every exchange
(the three digits after it) that libphonenumber's geocoder names, the place
as the table writes it and the time zones a number there may be in.

A place the table knows takes the zones of its ZIP codes; a place it does
not know keeps the phone data's zones, which are often a list or wrong for
the split area codes.  An area code's own zones are where its people are:
those of the ZIP codes with an area (kind standard) it reaches as main or
other area code, or of every ZIP code it reaches when none has an area (a
post-office ZIP code on Wake Island carries 808, but nobody dials 808 there).
A number whose exchange has no place may be in any of them.

Run as a stage of import.py, or on its own from the committed table:

    /usr/bin/python3 dataset/exchanges.py [--table zipcodes.csv] [-o exchanges.csv]

Needs Debian's python3-phonenumbers.
"""

import argparse
import csv
import io
import os
import sys
from collections import Counter, defaultdict
from zoneinfo import ZoneInfo

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from errors import fail  # noqa: E402
from join import norm_city  # noqa: E402
from zones import SUMMER, WINTER  # noqa: E402

FILE_NAME = "exchanges.csv"
HEADER = ["area_code", "exchange", "city", "state", "zones", "source", "time_zones",
          "country"]


class ZoneKeys:
    """IANA zone name -> (standard offset in minutes, "Y" if it keeps
    daylight-saving time else "N"), from the system's tz database; a name it
    does not know stops the import with the row that gave it."""

    def __init__(self):
        self.known = {}

    def __call__(self, name, row):
        if name not in self.known:
            try:
                zi = ZoneInfo(name)
            except Exception:
                fail("exchanges: %s: time zone %r is not in the system's time-zone "
                     "database" % (row, name))
            w = WINTER.replace(tzinfo=zi).utcoffset().total_seconds()
            s = SUMMER.replace(tzinfo=zi).utcoffset().total_seconds()
            self.known[name] = (int(min(w, s)) // 60, "Y" if w != s else "N")
        return self.known[name]


def offset_text(key):
    """A zone key as the CSV writes it: "-7:Y", "-3:30:Y"."""
    minutes, dst = key
    if minutes % 60 == 0:
        return "%d:%s" % (minutes // 60, dst)
    sign = "-" if minutes < 0 else ""
    return "%s%d:%02d:%s" % (sign, abs(minutes) // 60, abs(minutes) % 60, dst)


def best_name(names):
    """The name most of the ZIP codes of one zone give, the first in
    alphabetical order among equals."""
    return sorted(names.items(), key=lambda kv: (-kv[1], kv[0]))[0][0]


def zone_text(zones):
    """Zones as the CSV writes them: {(minutes, dst): Counter of IANA names}
    -> ("-7:Y;-8:Y", "America/Boise;America/Los_Angeles"), the zone furthest
    east first and for each the name most of its ZIP codes give."""
    keys = sorted(zones, key=lambda z: (-z[0], z[1]))
    return ";".join(offset_text(k) for k in keys), ";".join(best_name(zones[k]) for k in keys)


def longest(table, key, shortest):
    """The value of the longest prefix of key in table, at least `shortest`
    digits long, or None."""
    for n in range(len(key), shortest - 1, -1):
        v = table.get(key[:n])
        if v is not None:
            return v
    return None


class Table:
    """What the stage needs of the ZIP table: the zones of each place and
    of each area code, and the table's spelling of each place."""

    def __init__(self, records):
        # A zone is (minutes, dst) -> Counter of the IANA names of its ZIP codes.
        zones = lambda: defaultdict(Counter)  # noqa: E731
        self.place_zones = defaultdict(zones)  # (norm city, ST) -> zones
        self.spelling = defaultdict(Counter)   # (norm city, ST) -> city -> ZIPs
        self.area_zones = defaultdict(zones)   # area code -> zones of standard ZIPs
        every_zone = defaultdict(zones)        # area code -> zones of every ZIP
        self.area_states = defaultdict(Counter)  # area code -> ST -> ZIPs (main code)
        self.overlay_states = defaultdict(Counter)  # the same as other area code
        for r in records:
            if not r["utc_offset"]:
                continue  # military post offices keep no zone
            zone = (int(r["utc_offset"]) * 60, r["dst"])
            name = r["time_zone"]
            key = (norm_city(r["city"]), r["state"])
            self.place_zones[key][zone][name] += 1
            self.spelling[key][r["city"]] += 1
            if r["area_code"]:
                self.area_states[r["area_code"]][r["state"]] += 1
            for code in [c for c in r["other_area_codes"].split(";") if c]:
                self.overlay_states[code][r["state"]] += 1
            for code in [r["area_code"]] + [c for c in r["other_area_codes"].split(";") if c]:
                if code:
                    every_zone[code][zone][name] += 1
                    if r["kind"] == "standard":
                        self.area_zones[code][zone][name] += 1
        for code, zones in every_zone.items():
            if code not in self.area_zones:
                self.area_zones[code] = zones

    def area_state(self, code):
        """The state of most of the ZIP codes whose main area code it is, or
        for an overlay that is no ZIP code's main code, of those it reaches."""
        c = self.area_states.get(code) or self.overlay_states.get(code)
        return sorted(c.items(), key=lambda kv: (-kv[1], kv[0]))[0][0] if c else ""

    def place(self, city, state):
        """(city as the table writes it, zones), or None."""
        key = (norm_city(city), state)
        names = self.spelling.get(key)
        if not names:
            return None
        best = sorted(names.items(), key=lambda kv: (-kv[1], kv[0]))[0][0]
        return best, self.place_zones[key]


# The provinces and territories of Canada as the geocoder names them.
PROVINCES = {"Alberta": "AB", "British Columbia": "BC", "Manitoba": "MB", "New Brunswick": "NB",
             "Newfoundland and Labrador": "NL", "Northwest Territories": "NT",
             "Nova Scotia": "NS", "Nunavut": "NU", "Ontario": "ON", "Prince Edward Island": "PE",
             "Quebec": "QC", "Saskatchewan": "SK", "Yukon": "YT"}

# Zones the phone data gets wrong outside the US, mended: (prefix, where, zones, reason). A row
# holds for the numbers of the prefix whose place is `where` (a province's letters or a city as
# the data writes it), or for all of them when `where` is None; the first row that holds wins,
# and a row of the area code alone also gives the area code's own zones.
MENDED_ZONES = [
    ("441", None, ("Atlantic/Bermuda",),
     "Bermuda keeps Atlantic time; copies of the data list dozens of zones, Adak to Saipan"),
    ("867", "YT", ("America/Whitehorse",),
     "Yukon keeps UTC-7 all year since 2020; the data gives Vancouver's zone"),
    ("867", "Watson Lake", ("America/Whitehorse",),
     "Watson Lake is in Yukon, which keeps UTC-7 all year; the data gives Vancouver's zone"),
    ("867", None, ("America/Whitehorse", "America/Edmonton", "America/Iqaluit"),
     "867 spans Yukon (UTC-7), the Northwest Territories (Mountain) and Nunavut (Eastern to "
     "Mountain); a set holds three zones, so Nunavut's Central part is left out"),
    ("306", None, ("America/Regina",),
     "Saskatchewan keeps Central Standard Time all year"),
    ("474", None, ("America/Regina",),
     "Saskatchewan keeps Central Standard Time all year; the data gives Winnipeg's zone"),
    ("639", None, ("America/Regina",),
     "Saskatchewan keeps Central Standard Time all year"),
    ("709", "Happy Valley-Goose Bay", ("America/Goose_Bay",),
     "Labrador keeps Atlantic time under its own zone; the data gives Halifax's"),
    ("709", "Labrador City", ("America/Goose_Bay",),
     "Labrador keeps Atlantic time under its own zone; the data gives Halifax's"),
    ("709", "Wabush", ("America/Goose_Bay",),
     "Labrador keeps Atlantic time under its own zone; the data gives Halifax's"),
    ("709", None, ("America/St_Johns",),
     "Newfoundland keeps UTC-3:30; the data adds Puerto Rico's zone, which no part keeps"),
    ("437", None, ("America/Toronto",),
     "437 overlays Toronto's 416; the data gives Winnipeg's zone"),
]

# The members of the plan that the ZIP table holds: their numbers are answered from it.
OUR_REGIONS = {"US", "PR", "VI", "GU", "AS", "MP"}


def mended(key, city, state):
    """The mended zones of a prefix and place, or None."""
    for prefix, where, zones, _ in MENDED_ZONES:
        if key.startswith(prefix) and where in (None, city, state):
            return zones
    return None


def plan_regions():
    """Area code -> (region, country name) for the members of the plan
    outside our table, from the phone data's metadata."""
    import phonenumbers
    from phonenumbers import PhoneNumber, geocoder

    regions = {}
    for npa in range(200, 1000):
        found = Counter()
        for nxx in (234, 555, 722, 922):
            n = PhoneNumber(country_code=1, national_number=int("%d%d1234" % (npa, nxx)))
            r = phonenumbers.region_code_for_number(n)
            if r:
                found[r] += 1
        if found:
            region = found.most_common(1)[0][0]
            if region not in OUR_REGIONS:
                name = geocoder._region_display_name(region, "en") or region
                regions[str(npa)] = (region, name)
    return regions


def phone_tables():
    import phonenumbers
    import phonenumbers.geodata as geodata
    import phonenumbers.tzdata as tzdata

    labels = {k[1:]: v["en"] for k, v in geodata.GEOCODE_DATA.items()
              if k.startswith("1") and "en" in v and 4 <= len(k) <= 7}
    zones = {k[1:]: v for k, v in tzdata.TIMEZONE_DATA.items() if k.startswith("1")}
    return labels, zones, phonenumbers.__version__


def abroad_rows(code, region, country, labels, phone_zones, zone_keys, counts):
    """The rows of an area code of another country of the plan: the area
    code's with its province's or country's name and zones, and one per
    exchange that the geocoder names, its place as the data writes it."""
    label = labels.get(code)
    if region == "CA" and label is None and not any(k.startswith(code) for k in labels):
        return []  # a code the data does not name (600, 622: non-geographic)
    name = label or country
    state = PROVINCES.get(name, "")

    def zones_of(key, city, st):
        """(zones, names, source) of a prefix and place."""
        fixed = mended(key, city, st)
        names = fixed or longest(phone_zones, key, 3) or ()
        zones = {}
        for n in names:
            zones.setdefault(zone_keys(n, "+1 " + key), Counter({n: 1}))
        if not zones or len(zones) > 3:
            fail("exchanges: +1 %s: %d zones; mend them in MENDED_ZONES" % (key, len(zones)))
        return zone_text(zones) + ("mended" if fixed else "phone data",)

    z, names, source = zones_of(code, name, state)
    rows = [[code, "", name, state, z, source, names, region]]
    counts[region, "area codes"] += 1
    for nxx in range(200, 1000):
        key = code + str(nxx)
        place = longest(labels, key, 5)
        if place is None:
            continue
        city, _, st = place.rpartition(", ")
        if not city or (region == "CA" and st not in PROVINCES.values()):
            city, st = place, ""
        if city == name or city in PROVINCES:
            continue  # a province's or country's name is no place
        z, names, source = zones_of(key, city, st)
        rows.append([code, str(nxx), city, st, z, source, names, ""])
        counts[region, "placed"] += 1
    return rows


def build(records, labels, phone_zones, zone_keys=None, regions=None):
    """The CSV's rows and the counts of the report.  records: the table's
    rows as dicts; labels: prefix (without the 1) -> geocoder place;
    phone_zones: prefix -> IANA zones; regions: area code -> (region,
    country name) of the members of the plan outside the table."""
    zone_keys = zone_keys or ZoneKeys()
    regions = regions or {}
    table = Table(records)
    states = {r["state"] for r in records}
    rows = []
    counts = Counter()

    def phone_zone_set(key):
        """The phone data's zones of a prefix, each zone under the first
        name the data gives it."""
        zones = {}
        for n in longest(phone_zones, key, 3) or ():
            zones.setdefault(zone_keys(n, "+1 " + key), Counter({n: 1}))
        return zones

    for code in sorted(table.area_zones):
        area = table.area_zones[code]
        z, names = zone_text(area)
        rows.append([code, "", "", table.area_state(code), z, "table", names, "US"])
        counts["area codes"] += 1
        for nxx in range(200, 1000):
            key = code + str(nxx)
            counts["exchanges"] += 1
            label = longest(labels, key, 5)
            if label is None:
                counts["not named"] += 1
                continue
            counts["named"] += 1
            city, _, state = label.rpartition(", ")
            if not city or state not in states:
                counts["named, no place"] += 1
                continue
            counts["placed"] += 1
            found = table.place(city, state)
            if found:
                counts["matched to our cities"] += 1
                z, names = zone_text(found[1])
                rows.append([code, str(nxx), found[0], state, z, "table", names, ""])
                continue
            zones = phone_zone_set(key)
            if zones:
                counts["zones from the phone data"] += 1
                z, names = zone_text(zones)
                rows.append([code, str(nxx), city, state, z, "phone data", names, ""])
            else:
                counts["placed, zones of the area code"] += 1
                z, names = zone_text(area)
                rows.append([code, str(nxx), city, state, z, "area code", names, ""])
    counts["left to the area code"] = counts["exchanges"] - counts["placed"]
    for code in sorted(regions):
        if code not in table.area_zones:
            region, country = regions[code]
            rows.extend(abroad_rows(code, region, country, labels, phone_zones, zone_keys,
                                    counts))
    rows.sort(key=lambda r: (r[0], r[1]))
    return rows, counts


def csv_bytes(rows):
    buf = io.StringIO()
    w = csv.writer(buf, lineterminator="\n", quoting=csv.QUOTE_MINIMAL)
    w.writerow(HEADER)
    w.writerows(rows)
    return buf.getvalue().encode("utf-8")


def report_text(counts, version):
    c = counts
    abroad = sorted({k[0] for k in c if isinstance(k, tuple)})
    lines = [
        "Telephone exchanges (python3-phonenumbers %s)" % version,
        "  area codes:                     %6d" % c["area codes"],
        "  exchanges of those area codes:  %6d" % c["exchanges"],
        "  named by the phone data:        %6d" % c["named"],
        "  placed (city and state):        %6d" % c["placed"],
        "    matched to our cities:        %6d" % c["matched to our cities"],
        "    zones from the phone data:    %6d" % c["zones from the phone data"],
        "    zones of the area code:       %6d" % c["placed, zones of the area code"],
        "  left to the area code:          %6d" % c["left to the area code"],
        "    named without a place:        %6d" % c["named, no place"],
        "  elsewhere in the plan (area codes, placed exchanges):",
    ] + ["    %-2s                            %6d %6d" % (r, c[r, "area codes"], c[r, "placed"])
         for r in abroad]
    return "\n".join(lines) + "\n"


def stage(records):
    """(CSV bytes, report text) from the table's rows as dicts."""
    labels, zones, version = phone_tables()
    rows, counts = build(records, labels, zones, regions=plan_regions())
    return csv_bytes(rows), report_text(counts, version)


def read_table(path):
    with open(path, encoding="utf-8", newline="") as f:
        return list(csv.DictReader(f))


def read_table_bytes(data):
    """The rows of the table's CSV bytes, as read_table gives those of a file."""
    return list(csv.DictReader(io.StringIO(data.decode("utf-8"), newline="")))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--table", default=os.path.join(here, "zipcodes.csv"))
    ap.add_argument("-o", "--output", default=os.path.join(here, FILE_NAME))
    args = ap.parse_args()
    data, text = stage(read_table(args.table))
    print(text, end="")
    tmp = args.output + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, args.output)


if __name__ == "__main__":
    main()
