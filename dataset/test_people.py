#!/usr/bin/env python3
"""Tests of the people stage: the package's figures read and checked, the
density turned into people per square mile, the columns, the report and the
bar on the total (standard library only).

    python3 dataset/test_people.py
"""

import io
import os
import sys
import unittest
from contextlib import redirect_stderr
from decimal import Decimal

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import people  # noqa: E402
import schema  # noqa: E402


def entry(zipcode, population, density, city="Somewhere"):
    # An entry as the package's bundler writes it.
    return ("  {\n    city: \"%s\",\n    county_weights: '{\"49035\": 100}',\n"
            "    density: %s,\n    latitude: 40.75628,\n    longitude: -111.89996,\n"
            "    population: %s,\n    zcta: true,\n    zip: \"%s\"\n  }"
            % (city, density, population, zipcode))


def js(*entries):
    return ("var ZipCode_default = ZipCode;\n\n// src/zip-source-files/us-zip-codes.ts\n"
            "var zipCodes = [\n" + ",\n".join(entries) + "\n];\n\n// src/index.ts\n")


class FakePackage:
    def __init__(self, text):
        self.body = text

    def text(self, member):
        assert member == people.FILE
        return self.body


def stop_message(fn, *args):
    """The message the import stops with, or None when it goes on."""
    err = io.StringIO()
    try:
        with redirect_stderr(err):
            fn(*args)
    except SystemExit:
        return err.getvalue()
    return None


class Reading(unittest.TestCase):
    def test_figures_in_every_form_the_bundler_writes(self):
        got = people.parse_entries(js(entry("84101", "7358", "1540.2"),
                                      entry("00950", "0", "0"),
                                      entry("10001", "3e3", "1e3"),
                                      entry("96799", "null", "null")))
        self.assertEqual(got, {"84101": (7358, Decimal("1540.2")),
                               "00950": (0, Decimal("0")),
                               "10001": (3000, Decimal("1000")),
                               "96799": (None, None)})

    def test_a_bad_figure_stops_the_import_naming_the_zip_code(self):
        for pop, density, says in (("-12", "3.0", "ZIP 84102: negative population -12"),
                                   ('"12"', "3.0", "ZIP 84102: population \"12\" is not a"),
                                   ("NaN", "3.0", "ZIP 84102: population NaN is not a"),
                                   ("12.5", "3.0", "ZIP 84102: population 12.5 is not a whole"),
                                   ("12", "-3.0", "ZIP 84102: negative density -3.0"),
                                   ("12", "abc", "ZIP 84102: density abc is not a number")):
            text = js(entry("84101", "7358", "1540.2"), entry("84102", pop, density))
            msg = stop_message(people.parse_entries, text)
            self.assertIsNotNone(msg, pop + " " + density)
            self.assertIn(says, msg)

    def test_a_list_not_of_the_expected_shape_stops_the_import(self):
        self.assertIn("listed twice", stop_message(
            people.parse_entries, js(entry("84101", "1", "1"), entry("84101", "2", "2"))))
        self.assertIn("no zipCodes array", stop_message(people.parse_entries, "var x = [];"))
        no_pop = js(entry("84101", "1", "1").replace("population", "people"))
        self.assertIn("ZIP 84101 has no population", stop_message(people.parse_entries, no_pop))

    def test_the_package_must_be_the_pinned_one(self):
        pkg = FakePackage(js(entry("84101", "7358", "1540.2"), entry("84102", "100", "1.0")))
        old = people.SOURCE_ROWS, people.SOURCE_TOTAL
        try:
            people.SOURCE_ROWS, people.SOURCE_TOTAL = 2, 7458
            self.assertEqual(len(people.read_people(pkg)), 2)
            people.SOURCE_TOTAL = 7459
            self.assertIn("2 ZIP codes with 7458 people, 2 with 7459 expected",
                          stop_message(people.read_people, pkg))
            people.SOURCE_ROWS, people.SOURCE_TOTAL = 3, 7458
            self.assertIsNotNone(stop_message(people.read_people, pkg))
        finally:
            people.SOURCE_ROWS, people.SOURCE_TOTAL = old


class Density(unittest.TestCase):
    def test_per_square_mile_rounds_half_up_to_one_decimal(self):
        self.assertEqual(people.per_sq_mi(Decimal("1540.2")), "3989.1")
        self.assertEqual(people.per_sq_mi(Decimal("0")), "0.0")
        # 0.1 per km2 is 0.2589988 per square mile.
        self.assertEqual(people.per_sq_mi(Decimal("0.1")), "0.3")
        self.assertEqual(people.per_sq_mi(Decimal("60879.2")), "157676.4")

    def test_the_source_figure_comes_back_from_the_table(self):
        for tenths in list(range(0, 20001)) + [608792, 9999999]:
            km2 = Decimal(tenths) / 10
            back = (Decimal(people.per_sq_mi(km2)) / people.KM2_PER_SQ_MI).quantize(people.TENTH)
            self.assertEqual(back, km2)


def record(zipcode, state, kind, population, density):
    rec = dict.fromkeys(schema.COLUMNS, "")
    rec.update(zip=zipcode, state=state, kind=kind, population=population, density=density)
    return rec


class Columns(unittest.TestCase):
    def test_rows_take_the_figures_of_their_zip_code_or_none(self):
        rows = {"84101": {"kind": "standard"}, "84110": {"kind": "po_box_or_unique"},
                "96799": {"kind": "standard"}}
        log = {}
        people.assign_people(rows, {"84101": (7358, Decimal("1540.2")),
                                    "96799": (None, None), "99999": (5, Decimal("1.0"))}, log)
        lines = [["84101"], ["84110"], ["96799"]]
        people.add_columns(lines, rows)
        self.assertEqual(lines, [["84101", "7358", "3989.1"], ["84110", "", ""],
                                 ["96799", "", ""]])
        self.assertEqual(log["people_not_in_table"], ["99999"])
        self.assertEqual(log["people_source_total"], 7363)

    def test_a_figure_of_a_zip_code_without_an_area_stops_the_import(self):
        rows = {"84110": {"kind": "po_box_or_unique", "population": "12", "density": "1.0"}}
        msg = stop_message(people.add_columns, [["84110"]], rows)
        self.assertIn("ZIP 84110: population of a ZIP code of kind 'po_box_or_unique'", msg)

    def test_figure_problems(self):
        self.assertEqual(people.figure_problems(record("84101", "UT", "standard", "7358",
                                                       "3989.1")), [])
        self.assertEqual(people.figure_problems(record("84110", "UT", "po_box_or_unique",
                                                       "", "")), [])
        for pop, density, kind in (("7358", "", "standard"), ("", "3.0", "standard"),
                                   ("07358", "3.0", "standard"), ("7,358", "3.0", "standard"),
                                   ("7358", "3989", "standard"), ("7358", "3989.12", "standard"),
                                   ("-1", "3.0", "standard"), ("1", "3.0", "military"),
                                   ("10000001", "3.0", "standard"),
                                   ("1", "1000000.1", "standard")):
            self.assertEqual(len(people.figure_problems(record("84101", "UT", kind, pop,
                                                               density))), 1,
                             (pop, density, kind))


class Totals(unittest.TestCase):
    def records(self):
        return [record("84101", "UT", "standard", "7358", "3989.1"),
                record("84102", "UT", "standard", "0", "0.0"),
                record("84110", "UT", "po_box_or_unique", "", ""),
                record("00601", "PR", "standard", "16834", "261.3")]

    def test_report_counts_zip_codes_people_and_states(self):
        counted, total, by_state = people.totals(self.records())
        self.assertEqual((counted, total), (3, 24192))
        self.assertEqual(dict(by_state), {"UT": 7358, "PR": 16834})
        text = "\n".join(people.report_lines(self.records(), {"people_not_in_table": ["99999"]}))
        self.assertIn("ZIP codes with a population: 3; people: 24192", text)
        self.assertIn("ZIP codes with 0 people: 1", text)
        self.assertIn("source ZIP codes the table lacks: 1 (99999)", text)
        self.assertIn("people by state: PR:16834 UT:7358", text)

    def test_the_total_may_move_one_percent_from_the_source(self):
        def bar(total):
            recs = [record("84101", "UT", "standard", str(total), "1.0")]
            (desc, ok), = [b for b in schema.quality_bars(recs) if "population" in b[0]]
            return ok

        source = schema.POPULATION_SOURCE_TOTAL
        self.assertTrue(bar(source))
        self.assertTrue(bar(source - source // 100))
        self.assertTrue(bar(source + source // 100))
        self.assertFalse(bar(source - source // 100 - 1))
        self.assertFalse(bar(source + source // 100 + 1))
        self.assertFalse(bar(0))


if __name__ == "__main__":
    unittest.main()
