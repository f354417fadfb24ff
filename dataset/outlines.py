#!/usr/bin/python3
"""Build dataset/OUTLINE.DAT, the outlines of the states and counties for the map.

    python3 dataset/outlines.py [-o FILE]

The outlines are the Census Bureau's cartographic boundary files at
1:10,000,000 as the npm package us-atlas ships them: TopoJSON in longitude
and latitude, quantized to a grid, whose arcs are shared by the areas on
either side.  The file keeps that topology, so a border is stored once:

    header      60 bytes (below)
    states      stateCount records of 12 bytes, by FIPS code
    counties    countyCount records of 12 bytes, by FIPS code
    rings       the rings of every state, then of every county, in record
                order: a varint count of arc references, then each
                reference as a zigzag varint, the first one absolute, the
                others as the difference to the one before.  A reference
                r >= 0 is arc r forwards, r < 0 arc ~r backwards.
    arcs        per arc a varint point count (at least 2), the first point
                as two varints (x, y), then each next point as two zigzag
                varints (dx, dy) from the one before
    names       UTF-8 names, referred to by the records

The header (little-endian):
     0  8 bytes  magic "CORVOUTL"
     8  u16      format version (1)
    10  u16      header size (60)
    12  u32      grid steps per axis (n); x and y run from 0 to n - 1
    16  i32 x 4  west, south, east, north in 1e-7 degrees: x = 0 is the
                 west, x = n - 1 the east, y = 0 the south, y = n - 1 north
    32  u16      stateCount       34  u16  countyCount
    36  u32      ringCount        40  u32  arcCount
    44  u32      pointCount       48  u32  ring bytes
    52  u32      arc bytes        56  u32  name bytes

A state record: u8 FIPS, 2 bytes USPS abbreviation, u8 name length, u32
name offset, u32 ring count.  A county record: u8 state FIPS, u16 county
code (the last three digits of the FIPS code), u8 name length, u32 name
offset, u32 ring count.  src/map/OutlineFormat.h holds the same layout
for the reader.

us-atlas's county names are those of about 2017; the program matches
counties by FIPS code, never by name.
"""

import argparse
import json
import os
import struct
import tempfile

from errors import fail
from fetch import PACKAGES, fetch_package
from files import output_dir, write_files

FILE_NAME = "OUTLINE.DAT"
SOURCE = "counties-10m.json"

MAGIC = b"CORVOUTL"
VERSION = 1
HEADER_SIZE = 60
RECORD_SIZE = 12
# A ring may close with its last point one grid step from its first: us-atlas
# merged the states from the counties after quantizing, and Illinois's outer
# ring keeps such a step.
JOIN_SLACK = 1

# FIPS code -> (USPS abbreviation, name as us-atlas spells it).
STATES = {
    "01": ("AL", "Alabama"), "02": ("AK", "Alaska"), "04": ("AZ", "Arizona"),
    "05": ("AR", "Arkansas"), "06": ("CA", "California"), "08": ("CO", "Colorado"),
    "09": ("CT", "Connecticut"), "10": ("DE", "Delaware"),
    "11": ("DC", "District of Columbia"), "12": ("FL", "Florida"),
    "13": ("GA", "Georgia"), "15": ("HI", "Hawaii"), "16": ("ID", "Idaho"),
    "17": ("IL", "Illinois"), "18": ("IN", "Indiana"), "19": ("IA", "Iowa"),
    "20": ("KS", "Kansas"), "21": ("KY", "Kentucky"), "22": ("LA", "Louisiana"),
    "23": ("ME", "Maine"), "24": ("MD", "Maryland"), "25": ("MA", "Massachusetts"),
    "26": ("MI", "Michigan"), "27": ("MN", "Minnesota"), "28": ("MS", "Mississippi"),
    "29": ("MO", "Missouri"), "30": ("MT", "Montana"), "31": ("NE", "Nebraska"),
    "32": ("NV", "Nevada"), "33": ("NH", "New Hampshire"), "34": ("NJ", "New Jersey"),
    "35": ("NM", "New Mexico"), "36": ("NY", "New York"), "37": ("NC", "North Carolina"),
    "38": ("ND", "North Dakota"), "39": ("OH", "Ohio"), "40": ("OK", "Oklahoma"),
    "41": ("OR", "Oregon"), "42": ("PA", "Pennsylvania"), "44": ("RI", "Rhode Island"),
    "45": ("SC", "South Carolina"), "46": ("SD", "South Dakota"),
    "47": ("TN", "Tennessee"), "48": ("TX", "Texas"), "49": ("UT", "Utah"),
    "50": ("VT", "Vermont"), "51": ("VA", "Virginia"), "53": ("WA", "Washington"),
    "54": ("WV", "West Virginia"), "55": ("WI", "Wisconsin"), "56": ("WY", "Wyoming"),
    "60": ("AS", "American Samoa"), "66": ("GU", "Guam"),
    "69": ("MP", "Commonwealth of the Northern Mariana Islands"),
    "72": ("PR", "Puerto Rico"), "78": ("VI", "United States Virgin Islands"),
}


class OutlineError(Exception):
    pass


# ---------------------------------------------------------------- reading

def read_topology(text):
    """The parsed TopoJSON, with its form checked as far as we use it."""
    try:
        topo = json.loads(text)
    except ValueError as e:
        raise OutlineError("%s is not JSON: %s" % (SOURCE, e))
    if topo.get("type") != "Topology":
        raise OutlineError("%s is not a TopoJSON topology" % SOURCE)
    tr = topo.get("transform")
    if not tr or len(tr.get("scale", ())) != 2 or len(tr.get("translate", ())) != 2:
        raise OutlineError("%s is not quantized" % SOURCE)
    for name in ("states", "counties"):
        if topo.get("objects", {}).get(name, {}).get("type") != "GeometryCollection":
            raise OutlineError("%s has no collection %r" % (SOURCE, name))
    return topo


def grid(topo):
    """(n, west, south, east, north): the grid and the degrees at its ends,
    the ends in 1e-7 degrees.  TopoJSON quantizes with scale = extent / (n - 1)."""
    arcs = decode_arcs(topo["arcs"])
    (sx, sy), (tx, ty) = topo["transform"]["scale"], topo["transform"]["translate"]
    top = max(max(max(x, y) for x, y in a) for a in arcs)
    # The bounding box gives the extent; n follows from the scale.
    west, south, east, north = topo["bbox"]
    n = round((east - west) / sx) + 1
    if n != round((north - south) / sy) + 1 or top >= n:
        raise OutlineError("%s: grid of the transform does not fit its bbox" % SOURCE)
    if abs(tx - west) > 1e-9 or abs(ty - south) > 1e-9:
        raise OutlineError("%s: translate is not the bbox's corner" % SOURCE)
    e7 = [round(v * 1e7) for v in (west, south, east, north)]
    if not (-1800000000 <= e7[0] < e7[2] <= 1800000000
            and -900000000 <= e7[1] < e7[3] <= 900000000):
        raise OutlineError("%s: bbox %r is off the globe" % (SOURCE, topo["bbox"]))
    return n, e7, arcs


def decode_arcs(arcs):
    """Absolute grid points of each arc (TopoJSON stores them delta-encoded)."""
    out = []
    for arc in arcs:
        x = y = 0
        points = []
        for dx, dy in arc:
            x += dx
            y += dy
            points.append((x, y))
        if len(points) < 2:
            raise OutlineError("%s: an arc of fewer than two points" % SOURCE)
        if min(min(p) for p in points) < 0:
            raise OutlineError("%s: an arc leaves the grid" % SOURCE)
        out.append(points)
    return out


def rings_of(geometry):
    kind = geometry.get("type")
    if kind == "Polygon":
        return list(geometry["arcs"])
    if kind == "MultiPolygon":
        return [ring for polygon in geometry["arcs"] for ring in polygon]
    raise OutlineError("%s: %s %s is a %s" % (SOURCE, geometry.get("id"),
                                              geometry.get("properties"), kind))


def check_rings(rings, arcs, what):
    """Every arc reference is in range and each arc starts where the one
    before it ends (within JOIN_SLACK where the ring closes)."""
    def ends(ref):
        a = arcs[ref if ref >= 0 else ~ref]
        return (a[0], a[-1]) if ref >= 0 else (a[-1], a[0])

    for ring in rings:
        if not ring:
            raise OutlineError("%s has an empty ring" % what)
        for ref in ring:
            if not -len(arcs) <= ref < len(arcs):
                raise OutlineError("%s refers to arc %d of %d" % (what, ref, len(arcs)))
        for k, ref in enumerate(ring):
            end = ends(ref)[1]
            start = ends(ring[(k + 1) % len(ring)])[0]
            slack = JOIN_SLACK if k == len(ring) - 1 else 0
            if max(abs(end[0] - start[0]), abs(end[1] - start[1])) > slack:
                raise OutlineError("%s: ring does not join after arc %d" % (what, ref))


def regions(topo, arcs):
    """(states, counties): lists of (fips, name, rings) sorted by FIPS code."""
    states, counties = [], []
    for g in topo["objects"]["states"]["geometries"]:
        fips, name = g.get("id"), g.get("properties", {}).get("name")
        if fips not in STATES:
            raise OutlineError("state %r (%s) is not in the table of states" % (fips, name))
        if STATES[fips][1] != name:
            raise OutlineError("state %s is %r here, %r in the table" % (fips, name, STATES[fips][1]))
        states.append((fips, name, rings_of(g)))
    for g in topo["objects"]["counties"]["geometries"]:
        fips, name = g.get("id"), g.get("properties", {}).get("name")
        if not (isinstance(fips, str) and len(fips) == 5 and fips.isdigit()):
            raise OutlineError("county FIPS code %r (%s)" % (fips, name))
        if fips[:2] not in STATES:
            raise OutlineError("county %s (%s) lies in no known state" % (fips, name))
        counties.append((fips, name, rings_of(g)))
    for kind, table in (("state", states), ("county", counties)):
        table.sort()
        codes = [r[0] for r in table]
        if len(set(codes)) != len(codes):
            raise OutlineError("a %s FIPS code appears twice" % kind)
        for fips, name, rings in table:
            if not name or len(name.encode("utf-8")) > 255:
                raise OutlineError("%s %s has the name %r" % (kind, fips, name))
            check_rings(rings, arcs, "%s %s (%s)" % (kind, fips, name))
    if {r[0] for r in states} != set(STATES):
        raise OutlineError("states missing from %s: %s" % (
            SOURCE, " ".join(sorted(set(STATES) - {r[0] for r in states}))))
    return states, counties


# ---------------------------------------------------------------- writing

def varint(v):
    out = bytearray()
    while v >= 0x80:
        out.append((v & 0x7F) | 0x80)
        v >>= 7
    out.append(v)
    return bytes(out)


def zigzag(v):
    return varint((v << 1) if v >= 0 else ((-v) << 1) - 1)


def encode(n, e7, arcs, states, counties):
    names = bytearray()
    name_at = {}

    def name_ref(name):
        raw = name.encode("utf-8")
        if raw not in name_at:
            name_at[raw] = len(names)
            names.extend(raw)
        return len(raw), name_at[raw]

    records = bytearray()
    ring_bytes = bytearray()
    ring_count = 0
    for fips, name, rings in states:
        length, at = name_ref(name)
        records += struct.pack("<B2sBII", int(fips), STATES[fips][0].encode("ascii"),
                               length, at, len(rings))
    for fips, name, rings in counties:
        length, at = name_ref(name)
        records += struct.pack("<BHBII", int(fips[:2]), int(fips[2:]), length, at, len(rings))
    for _, _, rings in states + counties:
        for ring in rings:
            ring_count += 1
            ring_bytes += varint(len(ring))
            before = 0
            for ref in ring:
                ring_bytes += zigzag(ref - before)
                before = ref
    arc_bytes = bytearray()
    points = 0
    for arc in arcs:
        arc_bytes += varint(len(arc)) + varint(arc[0][0]) + varint(arc[0][1])
        for (x0, y0), (x1, y1) in zip(arc, arc[1:]):
            arc_bytes += zigzag(x1 - x0) + zigzag(y1 - y0)
        points += len(arc)
    header = struct.pack("<8sHHI4iHHIIIIII", MAGIC, VERSION, HEADER_SIZE, n, *e7,
                         len(states), len(counties), ring_count, len(arcs), points,
                         len(ring_bytes), len(arc_bytes), len(names))
    assert len(header) == HEADER_SIZE
    return header + bytes(records) + bytes(ring_bytes) + bytes(arc_bytes) + bytes(names)


def build_outlines(pkg):
    """OUTLINE.DAT from the us-atlas package, and a log of what it holds."""
    topo = read_topology(pkg.text(SOURCE))
    n, e7, arcs = grid(topo)
    states, counties = regions(topo, arcs)
    data = encode(n, e7, arcs, states, counties)
    log = {"states": len(states), "counties": len(counties), "arcs": len(arcs),
           "points": sum(len(a) for a in arcs), "bytes": len(data)}
    return data, log


def stage(pkg):
    """The import stage: build_outlines, stopping the run with a message when
    the source is not as expected."""
    try:
        return build_outlines(pkg)
    except OutlineError as e:
        fail(str(e))


def report_lines(log):
    return ["%s: %d states and territories, %d counties, %d arcs of %d points, %d bytes"
            % (FILE_NAME, log["states"], log["counties"], log["arcs"], log["points"],
               log["bytes"])]


def license_section(pkg):
    """(title, body) of the outlines' notice in dataset/LICENSES."""
    return ("us-atlas %s (ISC), for %s" % (PACKAGES["atlas"][1], FILE_NAME),
            "Outlines of the states, territories and counties: the U.S. Census\n"
            "Bureau's cartographic boundary files, 2017 edition, 1:10,000,000 (a\n"
            "work of the U.S. Government), as TopoJSON in the us-atlas package.\n"
            "Changes: re-encoded into Corvana's binary outline file; the\n"
            "nation outline and the projected files are left out.\n\n"
            + pkg.text("LICENSE").strip("\n"))


# ---------------------------------------------------------------- command line

def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("-o", "--output", default=os.path.join(here, FILE_NAME),
                    help="file to write (default: %(default)s)")
    args = ap.parse_args()
    out = os.path.abspath(args.output)
    output_dir(out)
    with tempfile.TemporaryDirectory(prefix="corvana-outline-") as tmp:
        pkg = fetch_package(tmp, "atlas")
        try:
            data, log = stage(pkg)
        finally:
            pkg.close()
    print("\n".join(report_lines(log)))
    write_files({out: data})


if __name__ == "__main__":
    main()
