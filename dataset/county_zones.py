"""Time zones of the counties of states that two zones share.

county_zones.csv is kept by hand from the federal time-zone boundaries.
Each split state has a "*" row with the zone of the counties not listed, a
row per county on the other side of the line, "split" for counties the line
runs through (their ZIP codes keep the zone of the source data), and rows
with a ZIP list for places the rules name specially (they win over their
county's row).

Standard library only.
"""

import os
import re

from hand_tables import TableError, table_rows

HERE = os.path.dirname(os.path.abspath(__file__))
COUNTY_ZONES_CSV = os.path.join(HERE, "county_zones.csv")
ZONE_HEADER = ["state", "county", "zips", "zone", "source"]
SPLIT = "split"


class CountyZones:
    def __init__(self, rows):
        self.default = {}
        self.county = {}
        self.place = {}
        for r in rows:
            if r["zips"]:
                for z in r["zips"]:
                    self.place[z] = (r["state"], r["zone"])
            elif r["county"] == "*":
                self.default[r["state"]] = r["zone"]
            else:
                self.county[(r["state"], r["county"])] = r["zone"]

    def states(self):
        return sorted(self.default)

    def zone_for(self, zipcode, state, county):
        """(zone, why) the rules give the ZIP, or (None, why) where they
        leave it to the source: a county the line runs through, a state the
        table does not cover, or an unknown county."""
        hit = self.place.get(zipcode)
        if hit and hit[0] == state:
            return hit[1], "place named by the rules"
        if state not in self.default:
            return None, "state not split"
        if not county:
            return None, "no county"
        zone = self.county.get((state, county), self.default[state])
        if zone == SPLIT:
            return None, "county split by the boundary"
        return zone, "county"


def read_county_zones(path=COUNTY_ZONES_CSV, known_zone=None):
    with open(path, encoding="utf-8", newline="") as f:
        text = f.read()
    return parse_county_zones(text, os.path.basename(path), known_zone)


def parse_county_zones(text, name="county_zones.csv", known_zone=None):
    """CountyZones from the table's text.  known_zone(name) -> bool checks
    zone names (the importer passes the tz database)."""
    out = []
    keys = set()
    for n, (state, county, zips, zone, source) in table_rows(text, name, ZONE_HEADER):
        zlist = zips.split(";") if zips else []
        if not re.fullmatch(r"[A-Z]{2}", state) or not county:
            raise TableError("%s line %d: state or county missing" % (name, n))
        if any(not re.fullmatch(r"\d{5}", z) for z in zlist):
            raise TableError("%s line %d: ZIP list %r malformed" % (name, n, zips))
        if zone != SPLIT and known_zone is not None and not known_zone(zone):
            raise TableError("%s line %d: unknown zone %r" % (name, n, zone))
        if zone == SPLIT and (county == "*" or zlist):
            raise TableError("%s line %d: only a county can be split" % (name, n))
        if not source:
            raise TableError("%s line %d: no source" % (name, n))
        key = (state, county, zips)
        if key in keys:
            raise TableError("%s line %d: %s %s listed twice" % (name, n, state, county))
        keys.add(key)
        out.append({"state": state, "county": county, "zips": zlist,
                    "zone": zone, "source": source})
    defaults = {r["state"] for r in out if r["county"] == "*"}
    for r in out:
        if r["state"] not in defaults:
            raise TableError("%s: state %s has no \"*\" row" % (name, r["state"]))
    return CountyZones(out)


def settle_zones(rows, table, offsets):
    """Give each ZIP of a split state the zone of its county where the
    source zone differs in standard offset or daylight-saving time.  rows:
    zip -> dict with "state", "county", "zone"; offsets(zone) -> (std, dst).
    Returns the changes as (zip, old zone, new zone, why), sorted by ZIP."""
    changes = []
    for z in sorted(rows):
        r = rows[z]
        if not r["zone"]:
            continue
        zone, why = table.zone_for(z, r["state"], r["county"])
        if zone is None or offsets(zone) == offsets(r["zone"]):
            continue
        changes.append((z, r["zone"], zone, why))
        r["zone"] = zone
    return changes
