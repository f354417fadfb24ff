"""Main counties checked against the HUD USPS ZIP-county crosswalk.

GeoNames names one county per ZIP code; the crosswalk lists every county
that holds addresses of the ZIP.  Where GeoNames' county is not among them,
the crosswalk's county is taken.  Connecticut is its own case: GeoNames gives
the planning regions that replaced the counties in 2022, while people and
the crosswalk still use the eight historic counties, so the historic county
becomes the main county and the planning region a further one.

Standard library only.
"""

import re
import unicodedata
from collections import Counter

from area_vote import NearestIndex

# States whose GeoNames units belong to a newer county set than the
# crosswalk's: the crosswalk county becomes the main one, GeoNames' unit a
# further county.
REGION_STATES = ("CT",)


def name_key(name):
    """County names compared without case, accents, punctuation, spaces and
    designation: "De Kalb" = "DeKalb", "Doña Ana" = "Dona Ana"."""
    s = unicodedata.normalize("NFKD", name)
    s = "".join(c for c in s if not unicodedata.combining(c)).upper()
    s = re.sub(r"\b(COUNTY|PARISH|BOROUGH|CENSUS AREA|MUNICIPALITY|CITY AND)\b", "", s)
    s = re.sub(r"\bST\b\.?", "SAINT", s)
    s = re.sub(r"[^A-Z]", "", s)
    return {"WASHINGTON": "DISTRICTOFCOLUMBIA"}.get(s, s)


def pick(cands, votes, near):
    """The candidate most ZIPs of the same city have, else near() (the
    county of the nearest ZIP among the candidates), else the lowest FIPS."""
    best = max(votes[f] for f in cands)
    if best > 0:
        return min(f for f in cands if votes[f] == best)
    return near() or min(cands)


def fix_counties(rows, hud_by_zip, names, hud_names, hud_known, city_key):
    """Apply the crosswalk to the main counties of rows (zip -> dict with
    "state", "city", "county", "county_fips", filled from GeoNames, and
    "pos", (lat, lon)).

    hud_by_zip: zip -> [(state, fips)]; names: fips -> display name;
    hud_names: fips -> the crosswalk's own spellings; hud_known: FIPS codes
    of the crosswalk's county set; city_key(city) -> normalised city name.

    Sets r["keep_counties"] to GeoNames' unit where it becomes a further
    county.  Returns the changes as (zip, old county, new county, why),
    sorted by ZIP."""
    todo = []
    for z in sorted(rows):
        r = rows[z]
        old_fips = r["county_fips"]
        if not old_fips:
            continue
        cands = sorted({f for st, f in hud_by_zip.get(z, ()) if st == r["state"]})
        if not cands or old_fips in cands:
            continue
        regional = r["state"] in REGION_STATES and old_fips not in hud_known
        if not regional:
            if old_fips not in hud_known:
                continue    # a newer unit the crosswalk cannot speak for
            own = name_key(r["county"])
            if any(own == name_key(names[f]) or
                   any(own == name_key(h) for h in hud_names.get(f, ()))
                   for f in cands):
                continue    # the same county, spelt another way
        todo.append((z, cands, regional))

    changes = []

    def settle(z, fips, regional):
        r = rows[z]
        old = r["county"]
        r["county_fips"] = fips
        r["county"] = names[fips]
        if regional:
            r["keep_counties"] = [old]
        changes.append((z, old, r["county"],
                        "historic county" if regional else "crosswalk county"))

    # ZIPs with one crosswalk county first, so that the city vote of the
    # others counts settled counties (in Connecticut, historic ones).
    for z, cands, regional in todo:
        if len(cands) == 1:
            settle(z, cands[0], regional)
    votes = {}
    for z in sorted(rows):
        r = rows[z]
        if r["county_fips"]:
            key = (r["state"], city_key(r["city"]))
            votes.setdefault(key, Counter())[r["county_fips"]] += 1
    settled = NearestIndex((z, r["pos"], r["county_fips"])
                           for z, r in rows.items() if r["county_fips"])
    fips_of = {z: r["county_fips"] for z, r in rows.items()}

    def nearest_county(r, cands):
        hit = settled.query(r["pos"], skip=lambda o: fips_of[o] not in cands)
        return hit[1] if hit else None

    for z, cands, regional in todo:
        if len(cands) > 1:
            r = rows[z]
            city_votes = votes.get((r["state"], city_key(r["city"])), Counter())
            settle(z, pick(cands, city_votes,
                           lambda: nearest_county(r, cands)), regional)
    changes.sort()
    return changes
