#!/usr/bin/env python3
"""Tests of the exchanges stage:  python3 dataset/test_exchanges.py

The stage is given its telephone data here, so the tests need no
python3-phonenumbers; the committed exchanges.csv is checked against the
committed table when the package is installed."""

import contextlib
import csv
import io
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import exchanges  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


# The usual zone name of each offset; a row may give its own.
NAMES = {("-5", "Y"): "America/New_York", ("-6", "Y"): "America/Chicago",
         ("-7", "Y"): "America/Denver", ("-7", "N"): "America/Phoenix",
         ("-8", "Y"): "America/Los_Angeles", ("-9", "Y"): "America/Anchorage",
         ("-10", "N"): "Pacific/Honolulu", ("12", "N"): "Pacific/Wake"}


def row(z, city, state, code, offset, dst, others="", kind="standard", tz=None):
    return {"zip": z, "city": city, "state": state, "area_code": code,
            "utc_offset": offset, "dst": dst, "other_area_codes": others, "kind": kind,
            "time_zone": tz or NAMES.get((offset, dst), "")}


TABLE = [
    row("83702", "Boise", "ID", "208", "-7", "Y", "986", tz="America/Boise"),
    row("83704", "Boise", "ID", "208", "-7", "Y", "986", tz="America/Boise"),
    row("83706", "Boise", "ID", "208", "-7", "Y", "986"),  # a source's other name
    row("83814", "Coeur d'Alene", "ID", "208", "-8", "Y", "986"),
    row("36867", "Phenix City", "AL", "334", "-5", "Y"),
    row("36104", "Montgomery", "AL", "334", "-6", "Y"),
    row("86004", "Flagstaff", "AZ", "928", "-7", "N"),
    row("86515", "Window Rock", "AZ", "928", "-7", "Y"),
    row("09001", "APO", "AE", "", "", "N", kind="military"),
    # Hawaii's people and a post-office ZIP code far west that carries the same area code.
    row("96813", "Honolulu", "HI", "808", "-10", "N"),
    row("96898", "Wake Island", "HI", "808", "12", "N", kind="po_box_or_unique"),
    # An area code that only post-office ZIP codes carry keeps their zones.
    row("99950", "Ketchikan", "AK", "907", "-9", "Y", kind="po_box_or_unique"),
]
LABELS = {
    "208334": "Boise, ID",
    "20876": "Coeur d'Alene, ID",        # a five-digit prefix names ten exchanges
    "208555": "Idaho",                   # a state, no place
    "334298": "Phenix City, AL",
    "334262": "Montgomery, AL",
    "334400": "Nowhere Special, AL",     # a place the table does not have
    "928871": "Window Rock, AZ",
}
# The phone data's own zones, wrong for Phenix City as in Debian's copy.
ZONES = {"1334": ("America/Chicago",), "1334400": ("America/Chicago",),
         "1208": ("America/Boise", "America/Los_Angeles")}
ZONES = {k[1:]: v for k, v in ZONES.items()}


class Build(unittest.TestCase):
    def setUp(self):
        self.rows, self.counts = exchanges.build(TABLE, LABELS, ZONES)
        self.by_key = {(r[0], r[1]): r for r in self.rows}

    def test_places_take_the_zones_of_their_zip_codes(self):
        self.assertEqual(self.by_key[("208", "334")], ["208", "334", "Boise", "ID", "-7:Y", "table",
                                                       "America/Boise", ""])
        self.assertEqual(self.by_key[("334", "298")][4], "-5:Y")
        self.assertEqual(self.by_key[("208", "765")][2:5], ["Coeur d'Alene", "ID", "-8:Y"])
        self.assertEqual(self.by_key[("928", "871")][4], "-7:Y")

    def test_area_codes_keep_every_zone_of_their_zip_codes(self):
        self.assertEqual(self.by_key[("208", "")], ["208", "", "", "ID", "-7:Y;-8:Y", "table",
                                                    "America/Boise;America/Los_Angeles", "US"])
        self.assertEqual(self.by_key[("986", "")][3:5], ["ID", "-7:Y;-8:Y"])
        self.assertEqual(self.by_key[("334", "")][4], "-5:Y;-6:Y")
        self.assertEqual(self.by_key[("928", "")][4], "-7:N;-7:Y")
        self.assertEqual(self.by_key[("928", "")][6], "America/Phoenix;America/Denver")

    def test_an_area_codes_zones_are_where_its_people_are(self):
        self.assertEqual(self.by_key[("808", "")][3:5], ["HI", "-10:N"])
        self.assertEqual(self.by_key[("907", "")][3:5], ["AK", "-9:Y"])

    def test_unknown_places_keep_the_phone_datas_zones(self):
        self.assertEqual(self.by_key[("334", "400")][2:], ["Nowhere Special", "AL", "-6:Y",
                                                           "phone data", "America/Chicago", ""])

    def test_a_zone_the_system_does_not_know_stops_the_import_naming_the_row(self):
        zones = dict(ZONES, **{"334400": ("America/Atlantis",)})
        said = io.StringIO()
        with self.assertRaises(SystemExit), contextlib.redirect_stderr(said):
            exchanges.build(TABLE, LABELS, zones)
        self.assertIn("+1 334400: time zone 'America/Atlantis'", said.getvalue())

    def test_half_hour_zones_are_written_with_their_minutes(self):
        self.assertEqual(exchanges.offset_text((-210, "Y")), "-3:30:Y")
        self.assertEqual(exchanges.offset_text((330, "N")), "5:30:N")
        self.assertEqual(exchanges.offset_text((-420, "N")), "-7:N")

    def test_no_place_no_row_and_the_counts(self):
        self.assertNotIn(("208", "555"), self.by_key)
        c = self.counts
        self.assertEqual(c["area codes"], 6)
        self.assertEqual(c["exchanges"], 6 * 800)
        self.assertEqual(c["named"], 16)
        self.assertEqual(c["placed"], 15)
        self.assertEqual(c["matched to our cities"], 14)
        self.assertEqual(c["left to the area code"], 6 * 800 - 15)

    def test_rows_are_sorted_and_written_the_same_twice(self):
        keys = [(r[0], r[1].zfill(3) if r[1] else "") for r in self.rows]
        self.assertEqual(keys, sorted(keys))
        again, _ = exchanges.build(TABLE, LABELS, ZONES)
        self.assertEqual(exchanges.csv_bytes(self.rows), exchanges.csv_bytes(again))


class Abroad(unittest.TestCase):
    """Canada and the Caribbean members of the plan: the data's places and
    zones, the mended zones, and the province's or country's name."""

    LABELS = dict(LABELS, **{"416": "Ontario", "416979": "Toronto, ON",
                             "867": "Northwest Territories/Nunavut/Yukon",
                             "867667": "Whitehorse, YT", "86753": "Watson Lake",
                             "242302": "New Providence"})
    ZONES = dict(ZONES, **{"416": ("America/Toronto",), "867": ("America/Fort_Nelson",),
                           "867667": ("America/Vancouver",), "876": ("America/Jamaica",),
                           "441": ("America/Adak", "Asia/Tokyo", "Atlantic/Bermuda",
                                   "Pacific/Saipan"),
                           "242": ("America/Nassau",)})
    REGIONS = {"416": ("CA", "Canada"), "867": ("CA", "Canada"), "600": ("CA", "Canada"),
               "876": ("JM", "Jamaica"), "441": ("BM", "Bermuda"),
               "242": ("BS", "Bahamas"), "208": ("US", "United States")}

    def setUp(self):
        self.rows, self.counts = exchanges.build(TABLE, self.LABELS, self.ZONES,
                                                 regions=self.REGIONS)
        self.by_key = {(r[0], r[1]): r for r in self.rows}

    def test_places_and_zones_as_the_data_writes_them(self):
        self.assertEqual(self.by_key[("416", "")], ["416", "", "Ontario", "ON", "-5:Y",
                                                    "phone data", "America/Toronto", "CA"])
        self.assertEqual(self.by_key[("416", "979")][2:7], ["Toronto", "ON", "-5:Y",
                                                            "phone data", "America/Toronto"])
        # A country without provinces: its name, no state; an island as the data writes it.
        self.assertEqual(self.by_key[("876", "")][2:], ["Jamaica", "", "-5:N", "phone data",
                                                        "America/Jamaica", "JM"])
        self.assertEqual(self.by_key[("242", "302")][2:4], ["New Providence", ""])
        # A code the data does not name stays out, and so does a code the table has.
        self.assertNotIn(("600", ""), self.by_key)
        self.assertEqual(self.by_key[("208", "")][7], "US")
        self.assertEqual(self.counts["CA", "area codes"], 2)
        self.assertEqual(self.counts["CA", "placed"], 12)  # Toronto, Whitehorse, Watson Lake x10

    def test_the_reviewed_table_mends_what_the_data_gets_wrong(self):
        self.assertEqual(self.by_key[("867", "667")][4:7], ["-7:N", "mended",
                                                            "America/Whitehorse"])
        self.assertEqual(self.by_key[("867", "535")][2:7], ["Watson Lake", "", "-7:N", "mended",
                                                            "America/Whitehorse"])
        self.assertEqual(self.by_key[("867", "")][6],
                         "America/Iqaluit;America/Whitehorse;America/Edmonton")
        self.assertEqual(self.by_key[("441", "")][4:7], ["-4:Y", "mended", "Atlantic/Bermuda"])
        for prefix, where, zones, reason in exchanges.MENDED_ZONES:
            self.assertTrue(reason and "\n" not in reason, prefix)
            self.assertTrue(1 <= len(zones) <= 3, prefix)


class Committed(unittest.TestCase):
    def test_the_committed_file_is_what_the_table_gives(self):
        try:
            import phonenumbers  # noqa: F401
        except ImportError:
            self.skipTest("python3-phonenumbers is not installed")
        table = exchanges.read_table(os.path.join(HERE, "zipcodes.csv"))
        data, _ = exchanges.stage(table)
        with open(os.path.join(HERE, exchanges.FILE_NAME), "rb") as f:
            self.assertEqual(f.read(), data)
        # Wake Island's post-office ZIP code carries 808 but Hawaii's people set its zones.
        self.assertTrue(b"\n808,,,HI,-10:N,table,Pacific/Honolulu,US\n" in data)
        with open(os.path.join(HERE, exchanges.FILE_NAME), encoding="utf-8", newline="") as f:
            self.assertEqual(next(csv.reader(f)), exchanges.HEADER)


if __name__ == "__main__":
    unittest.main()
