#!/usr/bin/env python3
"""Tests of the positions stage (standard library only):

    python3 dataset/test_positions.py
"""

import json
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import positions  # noqa: E402

# Two square counties side by side, one of them with a lake (a hole), in a
# quantized topology of 11 x 11 grid steps of 0.1 degree from (-75, 40).
#   36001: -75.0..-74.5 west, 36003: -74.5..-74.0 east; the lake of 36001:
#   -74.9..-74.7, 40.1..40.3.
ARCS = [
    [[0, 0], [5, 0], [0, 10], [-5, 0], [0, -10]],   # 36001's outer ring
    [[5, 0], [5, 0], [0, 10], [-5, 0], [0, -10]],   # 36003's outer ring
    [[1, 1], [0, 2], [2, 0], [0, -2], [-2, 0]],     # the lake
]
TOPO = {
    "type": "Topology",
    "bbox": [-75.0, 40.0, -74.0, 41.0],
    "transform": {"scale": [0.1, 0.1], "translate": [-75.0, 40.0]},
    "arcs": ARCS,
    "objects": {
        "states": {"type": "GeometryCollection", "geometries": []},
        "counties": {"type": "GeometryCollection", "geometries": [
            {"type": "Polygon", "id": "36001", "arcs": [[0], [2]]},
            {"type": "Polygon", "id": "36003", "arcs": [[1]]},
        ]},
    },
}


def row(z, point, kind="standard", county="36001"):
    return {"zip": z, "point": point, "pos": tuple(float(v) for v in point),
            "kind": kind, "county_fips": county}


class Shapes(unittest.TestCase):
    def setUp(self):
        self.shapes = positions.CountyShapes(json.dumps(TOPO))

    def test_inside_outside_and_holes(self):
        self.assertTrue(self.shapes.contains("36001", 40.5, -74.6))
        self.assertFalse(self.shapes.contains("36001", 40.5, -74.4))
        self.assertTrue(self.shapes.contains("36003", 40.5, -74.4))
        self.assertFalse(self.shapes.contains("36001", 40.2, -74.8), "a lake is no land")
        self.assertFalse(self.shapes.contains("36001", 41.5, -74.6))
        self.assertFalse(self.shapes.contains("99999", 40.5, -74.6), "unknown county")


class Moves(unittest.TestCase):
    def setUp(self):
        self.shapes = positions.CountyShapes(json.dumps(TOPO))
        shared = ("40.9", "-74.9")
        self.rows = {
            "10001": row("10001", shared),                        # moves
            "10002": row("10002", shared),                        # centre in the lake: kept
            "10003": row("10003", shared, kind="po_box_or_unique"),  # a post office: kept
            "10004": row("10004", ("40.6", "-74.6")),             # its own point: kept
            "10005": row("10005", shared),                        # centre in its other county
            "10006": row("10006", shared),                        # no area of its own
        }
        self.centres = {
            "10001": ("40.45", "-74.55"),
            "10002": ("40.2", "-74.8"),
            "10003": ("40.5", "-74.6"),
            "10004": ("40.3", "-74.6"),
            "10005": ("40.5", "-74.2"),
        }

    def run_stage(self, other_counties=None):
        others = other_counties or {}
        return positions.move_to_centres(
            self.rows, self.centres,
            lambda z: [self.rows[z]["county_fips"]] + others.get(z, []), self.shapes)

    def test_only_standard_zip_codes_at_shared_points_move_into_their_counties(self):
        log = self.run_stage({"10005": ["36003"]})
        self.assertEqual([m[0] for m in log["moved"]], ["10001", "10005"])
        self.assertEqual(self.rows["10001"]["point"], ("40.45", "-74.55"))
        self.assertEqual(self.rows["10001"]["pos"], (40.45, -74.55))
        self.assertEqual(log["outside"], ["10002"])
        self.assertEqual(log["no_centre"], ["10006"])
        self.assertEqual(self.rows["10003"]["point"], ("40.9", "-74.9"))
        self.assertEqual(self.rows["10004"]["point"], ("40.6", "-74.6"))

    def test_a_centre_in_another_county_keeps_the_point(self):
        log = self.run_stage()
        self.assertIn("10005", log["outside"])
        self.assertEqual(self.rows["10005"]["point"], ("40.9", "-74.9"))

    def test_a_point_shared_only_by_moved_zip_codes_is_judged_before_any_move(self):
        # Both standard ZIP codes of a shared point move, even though the
        # second is alone there once the first has gone.
        self.rows = {"1": row("1", ("40.9", "-74.9")), "2": row("2", ("40.9", "-74.9"))}
        self.centres = {"1": ("40.5", "-74.6"), "2": ("40.6", "-74.6")}
        log = self.run_stage()
        self.assertEqual([m[0] for m in log["moved"]], ["1", "2"])


class CommittedTable(unittest.TestCase):
    def test_no_standard_zip_code_of_a_city_centre_is_left_where_it_was(self):
        import csv
        path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "zipcodes.csv")
        with open(path, encoding="utf-8", newline="") as f:
            rows = {r["zip"]: r for r in csv.DictReader(f)}
        # 10075, the Upper East Side, once sat at lower Manhattan's point.
        r = rows["10075"]
        self.assertAlmostEqual(float(r["latitude"]), 40.7734, delta=0.01)
        self.assertAlmostEqual(float(r["longitude"]), -73.9563, delta=0.01)


if __name__ == "__main__":
    unittest.main()
