#!/usr/bin/env python3
"""Tests of the further-name rules in names.py:  python3 dataset/test_names.py"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import names  # noqa: E402


def row(city, state, county="", counties=()):
    return {"city": city, "state": state, "county": county, "counties": list(counties)}


class Variants(unittest.TestCase):
    def test_long_and_short_forms(self):
        self.assertEqual(names.variants("Saint Louis"), ["St Louis", "St. Louis"])
        self.assertEqual(names.variants("St. Mary's"), ["Saint Mary's", "St Mary's"])
        self.assertEqual(names.variants("St Thomas"), ["Saint Thomas", "St. Thomas"])
        self.assertEqual(names.variants("Ste. Genevieve"), ["Sainte Genevieve", "Ste Genevieve"])
        self.assertEqual(names.variants("Port Saint Lucie"), ["Port St Lucie", "Port St. Lucie"])
        self.assertEqual(names.variants("Jbsa Ft Sam Houston"),
                         ["Jbsa Fort Sam Houston", "Jbsa Ft. Sam Houston"])

    def test_two_titles_share_the_dot(self):
        self.assertEqual(names.variants("Mount Saint Joseph"),
                         ["Mount St Joseph", "Mount St. Joseph", "Mt Saint Joseph",
                          "Mt St Joseph", "Mt. Saint Joseph", "Mt. St. Joseph"])

    def test_only_a_title_before_a_name(self):
        for name in ("Rocky Mount", "Old Fort", "Saint", "Fortuna", "Stanley", "Mountain View",
                     "Mt.", "Saint  Louis", ""):
            self.assertEqual(names.variants(name), [], name)


class FurtherNames(unittest.TestCase):
    def test_clashes_and_lengths_are_left_out_and_counted(self):
        long_name = "St " + "x" * 250
        rows = {"63101": row("Saint Louis", "MO", "St. Louis City"),
                "63102": row("St. Louis", "MO", "St. Louis", ["Saint Louis"]),
                "55101": row("Saint Louis", "MN", "St. Louis"),
                "55102": row(long_name, "MN")}
        cities, counties, counts = names.further_names(rows)
        # St. Louis is a main name in Missouri, so of Saint Louis only St Louis is left,
        # and the other way round
        self.assertEqual(cities["63101"], ["St Louis"])
        self.assertEqual(cities["63102"], ["St Louis"])
        self.assertEqual(cities["55101"], ["St Louis", "St. Louis"])
        self.assertEqual(cities["55102"], ["St. " + "x" * 250])
        self.assertEqual(counties["63101"], ["Saint Louis City", "St Louis City"])
        self.assertEqual(counties["63102"], ["St Louis"])
        self.assertEqual(counties["55101"], ["Saint Louis", "St Louis"])
        self.assertEqual(counts["city names clashing with a main name"], 2)
        self.assertEqual(counts["city names too long"], 1)
        self.assertEqual(counts["county names clashing with a main name"], 2)
        self.assertEqual(counts["city names (name, state)"], 4)

    def test_check_names_every_wrong_list(self):
        table = {"55101": {"city": "Saint Paul", "state": "MN", "county": "Ramsey",
                           "other_counties": "St. Louis", "other_cities": "St. Paul",
                           "other_county_names": "Saint Louis;St Louis"}}
        problems = []
        names.check(table, problems.append)
        self.assertEqual(problems, ["zip 55101: other_cities is 'St. Paul', the rules give "
                                    "'St Paul;St. Paul'"])


if __name__ == "__main__":
    unittest.main()
