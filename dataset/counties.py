"""The counties stage: the main county of every ZIP code (GeoNames, the
HUD crosswalk where it disagrees, the territories from the crosswalk and
their names) and its further counties.

Standard library only.
"""

import re
from collections import Counter, defaultdict

from county_fix import fix_counties
from fetch import label
from join import norm_city
from schema import TERRITORIES

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


class Crosswalk:
    """The HUD crosswalk joined with the county names."""

    def __init__(self, sources):
        hud = sources.hud
        self.names = county_names(sources.geo, hud, sources.state_fips)
        # FIPS codes of the crosswalk's county set.
        self.known = {RENAMED_FIPS.get(f, f) for _, f, _, _ in hud} | set(HUD_MISSING)
        # zip -> [(state, fips)] of the counties the ZIP code touches.
        self.by_zip = defaultdict(list)
        for z, fips, _, st in hud:
            fips = RENAMED_FIPS.get(fips, fips)
            if fips in self.names and (st, fips) not in self.by_zip[z]:
                self.by_zip[z].append((st, fips))
        # fips -> the crosswalk's own spellings.
        self.spellings = defaultdict(set)
        for _, fips, county, _ in hud:
            self.spellings[RENAMED_FIPS.get(fips, fips)].add(county)

    def counties_of(self, z, state):
        """FIPS codes of the ZIP code's counties in its state, sorted."""
        return sorted(f for st, f in self.by_zip.get(z, []) if st == state)


def geonames_counties(rows, sources, src):
    for z, rec in sorted(sources.geo.items()):
        if rec["county"]:
            r = rows[z]
            sf = sources.state_fips.get(r["state"], "")
            r["county"] = clean_county(rec["county"])
            r["county_fips"] = sf + rec["county_code"] if sf else ""
            r["fips_src"] = "GeoNames (state and county code)"
            src["county"]["GeoNames"] += 1


def territory_counties(rows, cw, state_fips, src):
    """Main county for ZIPs GeoNames leaves blank (the territories), in this
    order: the county named like the ZIP's city (in Puerto Rico and the
    Virgin Islands the post office is usually named after its
    municipio/island), the crosswalk's only county, the county most other
    ZIPs of the same city have, the crosswalk county with the lowest code."""
    fips_state = {v: k for k, v in state_fips.items()}
    county_by_name = {}
    for f in sorted(cw.names):
        county_by_name.setdefault((fips_state.get(f[:2]), norm_city(cw.names[f])), f)
    pending = []
    city_county = defaultdict(Counter)
    for z, r in sorted(rows.items()):
        if r["county_fips"]:
            city_county[(r["state"], norm_city(r["city"]))][r["county_fips"]] += 1
        elif not r["county"] and r["state"] in TERRITORIES:
            pending.append(z)

    def resolve(r, fips, how):
        r["county_fips"] = fips
        r["fips_src"] = "HUD crosswalk (%s)" % label("hud")
        r["county"] = cw.names[fips]
        city_county[(r["state"], norm_city(r["city"]))][fips] += 1
        src["county"][how] += 1

    crosswalk = "HUD crosswalk (%s)" % label("hud")
    later = []
    for z in pending:
        r = rows[z]
        cands = cw.counties_of(z, r["state"])
        named = county_by_name.get((r["state"], norm_city(r["city"])))
        if named:
            resolve(r, named, "county named like the city")
        elif len(cands) == 1:
            resolve(r, cands[0], crosswalk)
        else:
            later.append((z, cands))
    for z, cands in later:
        r = rows[z]
        votes = city_county.get((r["state"], norm_city(r["city"])), Counter())
        pool = [f for f in cands if votes[f]] or ([] if cands else sorted(votes))
        if pool:
            best = sorted(pool, key=lambda f: (-votes[f], f))[0]
            resolve(r, best, "county of the same city's other ZIPs")
        elif cands:
            resolve(r, cands[0], crosswalk)


def crosswalk_counties(rows, cw, src):
    """GeoNames' county where the crosswalk agrees, else the crosswalk's;
    Connecticut's planning regions give way to the historic counties."""
    changes = fix_counties(
        {z: r for z, r in rows.items() if r["state"] not in TERRITORIES},
        cw.by_zip, cw.names, cw.spellings, cw.known, norm_city)
    for z, _, _, why in changes:
        rows[z]["fips_src"] = "HUD crosswalk (%s)" % label("hud")
        src["county"]["GeoNames"] -= 1
        src["county"]["HUD crosswalk (%s) (%s)" % (label("hud"), why)] += 1
    return changes


def further_counties(rows, cw, src):
    """Alaska's newest areas have no counterpart in the crosswalk's county
    set, so listing its counties beside them would mix two county systems:
    skip those.  A Connecticut planning region stays as a further county
    beside its historic county."""
    for z, r in rows.items():
        if not r["county_fips"] or r["county_fips"] not in cw.known:
            continue
        others = sorted({cw.names[f] for st, f in cw.by_zip.get(z, [])
                         if st == r["state"] and f != r["county_fips"]
                         and cw.names[f] != r["county"]}
                        | set(r.get("keep_counties", ())))
        if others:
            r["others_county"] = others
            src["other_counties"]["HUD crosswalk (%s)" % label("hud")] += 1


def assign_counties(rows, sources, src, log):
    """Sets every row's counties; returns the crosswalk, whose counties of
    each ZIP code later stages use too."""
    geonames_counties(rows, sources, src)
    cw = Crosswalk(sources)
    territory_counties(rows, cw, sources.state_fips, src)
    log["county_changes"] = crosswalk_counties(rows, cw, src)
    further_counties(rows, cw, src)
    for r in rows.values():
        if r["county_fips"]:
            src["county_fips"][r["fips_src"]] += 1
    return cw
