#!/usr/bin/env python3
"""Tests of the importer's rules and hand-kept tables (standard library only).

    python3 dataset/test_import_rules.py
"""

import ast
import importlib
import io
import os
import random
import struct
import sys
import tempfile
import unittest
from contextlib import redirect_stderr
from zoneinfo import ZoneInfo

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import area_vote  # noqa: E402
import checks  # noqa: E402
import county_fix  # noqa: E402
import county_zones  # noqa: E402
import join  # noqa: E402
import kinds  # noqa: E402
import outlines  # noqa: E402
import overlays  # noqa: E402
import schema  # noqa: E402
import zones  # noqa: E402


def load_importer():
    # "import" is a keyword, so the importer is loaded by its file name.
    return importlib.import_module("import")


def row(state, code, others=(), county="", zone=""):
    return {"state": state, "area_code": code, "others_ac": list(others),
            "county": county, "zone": zone}


class Overlays(unittest.TestCase):
    def test_committed_table_is_well_formed(self):
        table = overlays.read_overlays()
        codes = {ov["code"] for ov in table}
        self.assertGreaterEqual(len(table), 100)
        for code in ("737", "917", "929", "424", "346", "385", "470", "943", "628",
                     "669", "984", "945"):
            self.assertIn(code, codes)
        byc = {ov["code"]: ov for ov in table}
        self.assertEqual(byc["917"]["overlays"], ["212", "347", "646", "718"])
        self.assertEqual(byc["943"]["overlays"], ["404", "470", "678", "770"])

    def test_malformed_rows_are_refused(self):
        head = ",".join(overlays.OVERLAY_HEADER) + "\n"
        bad = ["737,512,TX,2013\n",                 # field missing
               "737,512,TX,2013,x\n737,512,TX,2013,x\n",  # twice
               "737,737,TX,2013,x\n",                # over itself
               "737,,TX,2013,x\n",                   # over nothing
               "137,512,TX,2013,x\n",                # not an area code
               "737,512,Texas,2013,x\n",
               "737,512,TX,13,x\n",
               "737,512,TX,2013,\n"]
        for body in bad:
            with self.assertRaises(overlays.TableError, msg=body):
                overlays.parse_overlays(head + body)
        with self.assertRaises(overlays.TableError):
            overlays.parse_overlays("code,over\n")

    def test_overlay_reaches_main_and_further_codes_of_its_state_only(self):
        table = overlays.parse_overlays(
            ",".join(overlays.OVERLAY_HEADER) + "\n"
            "737,512,TX,2013,x\n"
            "332,212;646,NY,2017,x\n"
            "917,212;347;646;718,NY,1992,x\n")
        rows = {"78701": row("TX", "512"),
                "10001": row("NY", "212", ["332", "646"]),
                "11201": row("NY", "718", ["347"]),
                "11001": row("NY", "516"),
                "73301": row("OK", "512"),        # same code, other state
                "00000": row("NY", "")}
        gained = overlays.apply_overlays(rows, table)
        self.assertEqual(rows["78701"]["others_ac"], ["737"])
        self.assertEqual(rows["10001"]["others_ac"], ["332", "646", "917"])
        self.assertEqual(rows["11201"]["others_ac"], ["347", "917"])
        self.assertEqual(rows["11001"]["others_ac"], [])
        self.assertEqual(rows["73301"]["others_ac"], [])
        self.assertEqual(rows["00000"]["others_ac"], [])
        self.assertEqual(gained, {"737": ["78701"], "917": ["10001", "11201"]})

    def test_order_of_the_table_does_not_matter(self):
        table = overlays.read_overlays()

        def run(t):
            rows = {"%05d" % i: row(ov["state"], ov["overlays"][0])
                    for i, ov in enumerate(overlays.read_overlays())}
            overlays.apply_overlays(rows, t)
            return rows

        shuffled = list(table)
        random.Random(7).shuffle(shuffled)
        self.assertEqual(run(table), run(shuffled))

    def test_unreached_lists_codes_no_line_names(self):
        lines = [["1", "", "", "", "512", "", "", "", "737"],
                 ["2", "", "", "", "212", "", "", "", ""]]
        have = overlays.reached_codes(lines)
        self.assertEqual(have, {"512", "737", "212"})
        self.assertEqual(overlays.unreached({"512": "US", "929": "US", "212": "US"}, have),
                         ["929"])


ZONES = ("state,county,zips,zone,source\n"
         "NV,*,,America/Los_Angeles,r\n"
         "NV,Elko,89883,America/Denver,r\n"
         "KY,*,,America/New_York,r\n"
         "KY,Clinton,,America/Chicago,r\n"
         "ID,*,,America/Denver,r\n"
         "ID,Idaho,,split,r\n")


def offsets(zone):
    zi = ZoneInfo(zone)
    from datetime import datetime
    w = datetime(2026, 1, 15, 12, tzinfo=zi).utcoffset()
    s = datetime(2026, 7, 15, 12, tzinfo=zi).utcoffset()
    return min(w, s), w != s


class CountyZones(unittest.TestCase):
    def test_committed_table_reads_with_known_zones(self):
        def known(z):
            try:
                ZoneInfo(z)
                return True
            except Exception:
                return False
        t = county_zones.read_county_zones(known_zone=known)
        for st in ("AK", "FL", "ID", "IN", "KS", "KY", "MI", "ND", "NE", "NV", "OR",
                   "SD", "TN", "TX"):
            self.assertIn(st, t.states())
        self.assertEqual(t.zone_for("89883", "NV", "Elko")[0], "America/Denver")
        self.assertEqual(t.zone_for("89801", "NV", "Elko")[0], "America/Los_Angeles")

    def test_settles_only_real_disagreements(self):
        t = county_zones.parse_county_zones(ZONES)
        rows = {
            "89883": row("NV", "", county="Elko", zone="America/Los_Angeles"),
            "89024": row("NV", "", county="Clark", zone="America/Phoenix"),
            "89101": row("NV", "", county="Clark", zone="America/Los_Angeles"),
            "42603": row("KY", "", county="Clinton", zone="America/Kentucky/Monticello"),
            "42633": row("KY", "", county="Wayne", zone="America/Kentucky/Monticello"),
            "83530": row("ID", "", county="Idaho", zone="America/Los_Angeles"),
            "85001": row("AZ", "", county="Maricopa", zone="America/Phoenix"),
            "09001": row("AE", "", county="", zone=""),
            "89999": row("NV", "", county="", zone="America/Denver"),
        }
        changes = county_zones.settle_zones(rows, t, offsets)
        self.assertEqual([c[0] for c in changes], ["42603", "89024", "89883"])
        self.assertEqual(rows["89883"]["zone"], "America/Denver")
        self.assertEqual(rows["89024"]["zone"], "America/Los_Angeles")
        self.assertEqual(rows["42603"]["zone"], "America/Chicago")
        # Same offsets under another name, a split county, a state not
        # split, no county: left as the source has them.
        self.assertEqual(rows["42633"]["zone"], "America/Kentucky/Monticello")
        self.assertEqual(rows["83530"]["zone"], "America/Los_Angeles")
        self.assertEqual(rows["89999"]["zone"], "America/Denver")

    def test_malformed_tables_are_refused(self):
        head = "state,county,zips,zone,source\n"
        for body in ("KY,Adair,,America/Chicago,r\n",            # no "*" row
                     "KY,*,,split,r\n",
                     "KY,*,,America/New_York,r\nKY,*,,America/New_York,r\n",
                     "KY,*,,America/New_York,r\nKY,X,4260,America/Chicago,r\n",
                     "KY,*,,America/New_York,\n",
                     "KY,*,,Mars/Olympus,r\n"):
            with self.assertRaises(county_zones.TableError, msg=body):
                county_zones.parse_county_zones(head + body,
                                                known_zone=lambda z: "/" in z
                                                and not z.startswith("Mars"))


def zrow(state, city, county, zone):
    return {"state": state, "city": city, "county": county, "zone": zone}


class ZoneOutliers(unittest.TestCase):
    ROWS = {
        # Flagstaff: one ZIP code keeps daylight-saving time, the others not.
        "86001": zrow("AZ", "Flagstaff", "Coconino", "America/Phoenix"),
        "86004": zrow("AZ", "Flagstaff", "Coconino", "America/Denver"),
        "86011": zrow("AZ", "Flagstaff", "Coconino", "America/Phoenix"),
        # Same offsets under another zone name: no outlier.
        "85001": zrow("AZ", "Phoenix", "Maricopa", "America/Phoenix"),
        "85002": zrow("AZ", "Phoenix", "Maricopa", "America/Creston"),
        # Same city name in two counties: no group.
        "86515": zrow("AZ", "Window Rock", "Apache", "America/Denver"),
        "86516": zrow("AZ", "Window Rock", "Navajo", "America/Phoenix"),
        # Two ZIP codes that disagree are each unlike the other.
        "89883": zrow("NV", "Wendover", "Elko", "America/Denver"),
        "89884": zrow("NV", "Wendover", "Elko", "America/Los_Angeles"),
        "09001": zrow("AE", "APO", "", ""),
        "09002": zrow("AE", "APO", "", ""),
    }
    ZONES = ZONES + "NV,Elko,89884,America/Los_Angeles,r\n"

    def settle(self, decisions):
        rows = {z: dict(r) for z, r in self.ROWS.items()}
        table = county_zones.parse_county_zones(self.ZONES)
        return rows, zones.settle_outliers(rows, table, offsets, decisions)

    def test_finds_the_zip_codes_unlike_their_city(self):
        found = zones.zone_outliers(self.ROWS, offsets)
        self.assertEqual([f[0] for f in found], ["86004", "89883", "89884"])
        self.assertEqual(found[0][2], {offsets("America/Phoenix"): 2})

    def test_mends_keeps_and_refuses(self):
        keep = "the rules name it"
        rows, (done, stale) = self.settle({
            "86004": ("America/Phoenix", "x"), "89883": (None, keep),
            "89884": (None, keep), "10001": ("America/New_York", "y")})
        self.assertEqual(rows["86004"]["zone"], "America/Phoenix")
        self.assertEqual(rows["89883"]["zone"], "America/Denver")
        self.assertEqual([(d[0], d[3]) for d in done],
                         [("86004", "America/Phoenix"), ("89883", None), ("89884", None)])
        self.assertEqual(stale, ["10001"])
        # An outlier left undecided, or a mend across a federal zone line of
        # the hand-kept table, stops the import.
        for decisions in ({"86004": ("America/Phoenix", "x"), "89883": (None, keep)},
                          {"86004": ("America/Phoenix", "x"), "89883": (None, keep),
                           "89884": ("America/Denver", "z")}):
            with redirect_stderr(io.StringIO()), self.assertRaises(SystemExit):
                self.settle(decisions)

    def test_committed_decisions(self):
        for z, (zone, reason) in zones.ZONE_OUTLIERS.items():
            self.assertRegex(z, r"^\d{5}$")
            self.assertGreater(len(reason), 20)
            if zone is not None:
                ZoneInfo(zone)
        self.assertEqual(offsets(zones.ZONE_OUTLIERS["86004"][0]), offsets("America/Phoenix"))


def place(state, lat, lon, fips="", county="x"):
    return {"state": state, "latitude": lat, "longitude": lon, "county_fips": fips,
            "county": county}


class Places(unittest.TestCase):
    def test_points_in_and_out_of_their_state(self):
        good = [place("UT", "40.7559", "-111.8967", "49035"),
                place("AK", "51.874", "-176.634", "02016"),      # Adak, west of -170
                place("AK", "52.9", "173.2"),                    # Attu, east of 180
                place("HI", "19.2836", "166.6419", "15003"),     # Wake Island
                place("AS", "-14.27", "-170.7", county=""),
                place("MP", "15", "145.63", "69120"),
                place("AE", "", "", county="")]
        for rec in good:
            self.assertEqual(schema.place_problems(rec), [], rec)
        bad = [place("UT", "-111.8967", "40.7559"),              # swapped
               place("UT", "40.7559", "111.8967"),               # sign lost
               place("AS", "14.27", "-170.7", county=""),
               place("AK", "52.9", "160.0"),                     # beyond the Aleutians
               place("UT", "40.75591", ""),                      # half a point
               place("UT", "40.755912", "-111.8967"),            # six decimals
               place("UT", "40.7559", "-111.8967", "49O35"),
               place("UT", "40.7559", "-111.8967", "16035"),     # Idaho's code
               place("UT", "40.7559", "-111.8967", "49035", county=""),
               place("AE", "50.1", "8.7", county="")]
        for rec in bad:
            self.assertEqual(len(schema.place_problems(rec)), 1, rec)

    def test_import_stops_at_a_bad_point(self):
        line = ["84101", "Salt Lake City", "UT", "Salt Lake", "801", "-7", "Y", "", "", "",
                "", "40.7559", "-111.8967", "49035"]
        checks.check_places([line])
        line[11], line[12] = line[12], line[11]
        err = io.StringIO()
        with redirect_stderr(err), self.assertRaises(SystemExit):
            checks.check_places([line])
        self.assertIn("ZIP 84101: latitude -111.8967", err.getvalue())

    def test_source_degrees_keep_their_text(self):
        self.assertEqual(join.degree_text("40.70"), "40.70")
        self.assertEqual(join.degree_text(15), "15")
        self.assertEqual(join.degree_text("-111.8967549"), "-111.89675")


def crow(state, city, county, fips, pos):
    return {"state": state, "city": city, "county": county, "county_fips": fips,
            "pos": pos}


class CountyFix(unittest.TestCase):
    NAMES = {"12127": "Volusia", "12065": "Jefferson", "09003": "Hartford",
             "09005": "Litchfield", "09009": "New Haven", "09110": "Capitol Region",
             "17037": "DeKalb", "33015": "Rockingham", "33017": "Strafford",
             "02063": "Chugach", "02261": "Valdez-Cordova"}
    KNOWN = {"12127", "12065", "09003", "09005", "09009", "17037", "33015", "33017",
             "02261"}

    def run_fix(self, rows, hud):
        by_zip = {}
        for z, st, f in hud:
            by_zip.setdefault(z, []).append((st, f))
        hud_names = {"17037": {"De Kalb"}}
        return county_fix.fix_counties(rows, by_zip, self.NAMES, hud_names,
                                       self.KNOWN, lambda c: c.upper())

    def test_rules(self):
        rows = {
            "32753": crow("FL", "Debary", "Jefferson", "12065", (28.9, -81.3)),
            "60115": crow("IL", "Dekalb", "De Kalb", "17999", (41.9, -88.7)),
            "99686": crow("AK", "Valdez", "Chugach", "02063", (61.1, -146.3)),
            "06010": crow("CT", "Bristol", "Naugatuck Valley", "09140", (41.7, -72.9)),
            "06011": crow("CT", "Bristol", "Naugatuck Valley", "09140", (41.7, -72.9)),
            "06001": crow("CT", "Avon", "Capitol Region", "09110", (41.8, -72.9)),
            "06002": crow("CT", "Hartford", "Hartford", "09003", (41.8, -72.7)),
            "03861": crow("NH", "Lee", "Carroll", "33003", (43.125, -70.95)),
            "03824": crow("NH", "Durham", "Strafford", "33017", (43.13, -70.93)),
            "03857": crow("NH", "Newmarket", "Rockingham", "33015", (43.08, -70.94)),
        }
        self.KNOWN.add("33003")
        hud = [("32753", "FL", "12127"), ("60115", "IL", "17037"),
               ("99686", "AK", "02261"),
               ("06010", "CT", "09005"), ("06010", "CT", "09003"),
               ("06011", "CT", "09003"),
               ("06001", "CT", "09003"), ("06002", "CT", "09003"),
               ("03861", "NH", "33015"), ("03861", "NH", "33017"),
               ("03824", "NH", "33017"), ("03857", "NH", "33015")]
        changes = self.run_fix(rows, hud)
        self.assertEqual(rows["32753"]["county"], "Volusia")
        # Spelling only, or a county set newer than the crosswalk's: kept.
        self.assertEqual(rows["60115"]["county"], "De Kalb")
        self.assertEqual(rows["99686"]["county"], "Chugach")
        # Connecticut: historic county, planning region kept; a ZIP with
        # two crosswalk counties follows the other ZIPs of its city.
        self.assertEqual(rows["06001"]["county"], "Hartford")
        self.assertEqual(rows["06001"]["keep_counties"], ["Capitol Region"])
        self.assertEqual(rows["06010"]["county"], "Hartford")
        self.assertEqual(rows["06010"]["keep_counties"], ["Naugatuck Valley"])
        self.assertNotIn("keep_counties", rows["06002"])
        # No city vote: the county of the nearest ZIP among the candidates.
        self.assertEqual(rows["03861"]["county"], "Strafford")
        self.assertEqual([c[0] for c in changes],
                         ["03861", "06001", "06010", "06011", "32753"])

    def test_name_key_spellings(self):
        k = county_fix.name_key
        self.assertEqual(k("De Kalb"), k("DeKalb"))
        self.assertEqual(k("Doña Ana"), k("Dona Ana"))
        self.assertEqual(k("St. Louis"), k("Saint Louis"))
        self.assertEqual(k("Washington"), k("District of Columbia"))
        self.assertNotEqual(k("Jefferson"), k("Volusia"))


class AreaVote(unittest.TestCase):
    def test_nearest_matches_brute_force(self):
        rnd = random.Random(3)
        items = [("%05d" % i, (rnd.uniform(30, 45), rnd.uniform(-100, -80)), i % 7)
                 for i in range(400)]
        idx = area_vote.NearestIndex(items)
        for _ in range(50):
            p = (rnd.uniform(30, 45), rnd.uniform(-100, -80))
            skip = (lambda z: int(z) % 3 == 0)
            want = sorted((area_vote.distance(p, pos), z, v) for z, pos, v in items
                          if not skip(z))[:5]
            self.assertEqual(idx.nearest(p, 5, skip), want)
        self.assertIsNone(area_vote.NearestIndex([]).query((40, -90)))

    def test_same_county_voters_outweigh_a_nearer_stranger(self):
        items = [("1", (40.00, -90.00), ("217", "A")),
                 ("2", (40.10, -90.00), ("309", "B")),
                 ("3", (40.12, -90.00), ("309", "B"))]
        vote = area_vote.CountyVote(items, voters=3, same_county=10.0)
        self.assertEqual(vote.predict((40.02, -90.0), "B"), "309")
        self.assertEqual(vote.predict((40.02, -90.0), "A"), "217")
        self.assertEqual(vote.predict((40.02, -90.0), "A", skip=lambda z: z == "1"),
                         "309")
        self.assertIsNone(area_vote.CountyVote([]).predict((40, -90), "A"))

    def test_measure_counts_both_rules(self):
        sample = [("S", (0, 0), "1", None, None), ("S", (0, 0), "2", None, None),
                  ("T", (0, 0), "1", None, None)]
        tested, near, vote = area_vote.measure(
            sample, lambda st, p, s: None if st == "T" else "1",
            lambda st, p, c, s: "2")
        self.assertEqual((tested, near, vote), (2, 1, 1))


class Output(unittest.TestCase):
    def setUp(self):
        self.imp = load_importer()
        self.tmp = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.tmp.cleanup()

    def test_missing_output_folder_is_created(self):
        target = os.path.join(self.tmp.name, "a", "b", "zipcodes.csv")
        self.assertEqual(self.imp.output_dir(target), os.path.dirname(target))
        self.assertTrue(os.path.isdir(os.path.dirname(target)))

    def test_unusable_output_fails_with_a_message(self):
        blocker = os.path.join(self.tmp.name, "file")
        with open(blocker, "w") as f:
            f.write("x")
        for target in (os.path.join(blocker, "zipcodes.csv"), self.tmp.name):
            err = io.StringIO()
            with redirect_stderr(err), self.assertRaises(SystemExit) as cm:
                self.imp.output_dir(target)
            self.assertEqual(cm.exception.code, 1)
            self.assertIn("import.py: error:", err.getvalue())

    def test_failed_write_leaves_every_file_as_it_was(self):
        keep = os.path.join(self.tmp.name, "zipcodes.csv")
        with open(keep, "wb") as f:
            f.write(b"old")
        bad = os.path.join(self.tmp.name, "zz-missing", "LICENSES")
        with redirect_stderr(io.StringIO()), self.assertRaises(SystemExit):
            self.imp.write_files({keep: b"new", bad: b"x"})
        with open(keep, "rb") as f:
            self.assertEqual(f.read(), b"old")
        self.assertEqual(sorted(os.listdir(self.tmp.name)), ["zipcodes.csv"])


class FakePackage:
    def __init__(self, text):
        self.body = text

    def text(self, member):
        assert member == "array.js"
        return self.body


zone_offsets = zones.ZoneOffsets()


class Kinds(unittest.TestCase):
    def line(self, zip_code, state, off, dst, kind, zone):
        return [zip_code, "X", state, "", "", off, dst, "", "", "", "", "", "", "", kind, zone]

    def test_kind_follows_the_area_and_the_military_prefix(self):
        rows = {"84101": {"state": "UT"}, "84110": {"state": "UT"},
                "09001": {"state": "AE"}, "96201": {"state": "AP"}}
        log = {}
        kinds.assign_kinds(rows, {"84101", "96201", "99999"}, log)
        self.assertEqual({z: r["kind"] for z, r in rows.items()},
                         {"84101": "standard", "84110": "po_box_or_unique",
                          "09001": "military", "96201": "military"})
        self.assertEqual(log["areas_not_in_table"], ["99999"])
        self.assertEqual(log["military_with_area"], ["96201"])

    def test_area_list_is_read_and_checked(self):
        old = kinds.AREA_COUNT
        kinds.AREA_COUNT = 2
        try:
            pkg = FakePackage('module.exports = [{"latitude": 1, "longitude": 2, '
                              '"zipCode": "84101"}, {"zipCode": "00601"}]\n')
            self.assertEqual(kinds.read_areas(pkg), {"84101", "00601"})
            for body in ('module.exports = [{"zipCode": "84101"}, {"zipCode": "8410"}]',
                         'module.exports = [{"zipCode": "84101"}, {"zipCode": "84101"}]',
                         'module.exports = [{"zipCode": "84101"}]',
                         'exports.x = []'):
                with redirect_stderr(io.StringIO()), self.assertRaises(SystemExit):
                    kinds.read_areas(FakePackage(body))
        finally:
            kinds.AREA_COUNT = old

    def test_zone_names_agree_with_the_offsets(self):
        rec = dict(zip(schema.COLUMNS, self.line("83702", "ID", "-7", "Y", "standard",
                                                 "America/Boise")))
        self.assertEqual(kinds.zone_problems(rec, zone_offsets), [])
        for zone in ("America/Phoenix", "America/Los_Angeles", "", "boise", "EST"):
            rec["time_zone"] = zone
            self.assertEqual(len(kinds.zone_problems(rec, zone_offsets)), 1, zone)
        mil = dict(zip(schema.COLUMNS, self.line("09001", "AE", "", "N", "military", "")))
        self.assertEqual(kinds.zone_problems(mil, zone_offsets), [])
        mil["time_zone"] = "Europe/Berlin"
        self.assertEqual(len(kinds.zone_problems(mil, zone_offsets)), 1)

    def test_import_stops_where_zone_and_offsets_disagree(self):
        rows = {"83702": {"state": "ID", "kind": "standard", "zone": "America/Boise"},
                "09001": {"state": "AE", "kind": "military", "zone": ""}}
        lines = [self.line("09001", "AE", "", "N", "", "")[:14],
                 self.line("83702", "ID", "-7", "Y", "", "")[:14]]
        kinds.add_columns(lines, rows, zone_offsets)
        self.assertEqual([l[14:] for l in lines],
                         [["military", ""], ["standard", "America/Boise"]])
        self.assertEqual(kinds.counts(lines)[:2], ({"military": 1, "standard": 1},
                                                   {"America/Boise": 1}))
        rows["83702"]["zone"] = "America/Chicago"
        lines = [self.line("83702", "ID", "-7", "Y", "", "")[:14]]
        err = io.StringIO()
        with redirect_stderr(err), self.assertRaises(SystemExit):
            kinds.add_columns(lines, rows, zone_offsets)
        self.assertIn("ZIP 83702: time_zone America/Chicago gives -6 Y", err.getvalue())


class Outlines(unittest.TestCase):
    """OUTLINE.DAT from a small topology: Utah and Colorado side by side."""

    @staticmethod
    def topology():
        # A grid of 11 steps over 0..10 degrees: one step is one degree.
        return {
            "type": "Topology", "bbox": [0, 0, 10, 10],
            "transform": {"scale": [1, 1], "translate": [0, 0]},
            "arcs": [[[5, 0], [0, 10]],                    # 0: the shared line, south to north
                     [[5, 10], [-5, 0], [0, -10], [5, 0]],  # 1: Utah's other sides
                     [[5, 0], [5, 0], [0, 10], [-5, 0]]],   # 2: Colorado's other sides
            "objects": {
                "states": {"type": "GeometryCollection", "geometries": [
                    {"type": "Polygon", "id": "49", "properties": {"name": "Utah"},
                     "arcs": [[0, 1]]},
                    {"type": "MultiPolygon", "id": "08", "properties": {"name": "Colorado"},
                     "arcs": [[[-1, 2]]]}]},
                "counties": {"type": "GeometryCollection", "geometries": [
                    {"type": "Polygon", "id": "49035", "properties": {"name": "Salt Lake"},
                     "arcs": [[0, 1]]}]}}}

    def build(self, topo, states=None):
        old = outlines.STATES
        outlines.STATES = states or {"49": ("UT", "Utah"), "08": ("CO", "Colorado")}
        try:
            n, e7, arcs = outlines.grid(topo)
            return outlines.encode(n, e7, arcs, *outlines.regions(topo, arcs))
        finally:
            outlines.STATES = old

    def test_layout(self):
        data = self.build(self.topology())
        head = struct.unpack("<8sHHI4iHHIIIIII", data[:60])
        self.assertEqual(head[:4], (b"CORVOUTL", 1, 60, 11))
        self.assertEqual(head[4:8], (0, 0, 100000000, 100000000))
        self.assertEqual(head[8:13], (2, 1, 3, 3, 10))  # states, counties, rings, arcs, points
        ring_bytes, arc_bytes, name_bytes = head[13:]
        self.assertEqual(len(data), 60 + 3 * 12 + ring_bytes + arc_bytes + name_bytes)
        # Records by FIPS code: Colorado first; names kept once each.
        self.assertEqual(struct.unpack("<B2sBII", data[60:72]), (8, b"CO", 8, 0, 1))
        self.assertEqual(struct.unpack("<BHBII", data[84:96]), (49, 35, 9, 12, 1))
        self.assertEqual(data[-name_bytes:], b"ColoradoUtahSalt Lake")
        # Colorado's ring [-1, 2]: zigzag(-1), then zigzag(2 - -1); Utah's [0, 1].
        self.assertEqual(data[96:96 + ring_bytes], bytes([2, 1, 6, 2, 0, 2, 2, 0, 2]))
        # Arc 0: two points, the first absolute, then the step as zigzag (0, +10).
        self.assertEqual(data[96 + ring_bytes:96 + ring_bytes + 5], bytes([2, 5, 0, 0, 20]))

    def test_faults_of_the_source_are_refused(self):
        topo = self.topology()
        topo["arcs"][1][1] = [-3, 0]  # Utah's ring closes two steps short
        with self.assertRaisesRegex(outlines.OutlineError, "does not join"):
            self.build(topo)
        topo = self.topology()
        topo["objects"]["states"]["geometries"][0]["arcs"] = [[0, 3]]
        with self.assertRaisesRegex(outlines.OutlineError, "refers to arc 3 of 3"):
            self.build(topo)
        with self.assertRaisesRegex(outlines.OutlineError, "'Utah' here"):
            self.build(self.topology(), {"49": ("UT", "Utah State"), "08": ("CO", "Colorado")})
        with self.assertRaisesRegex(outlines.OutlineError, "states missing.*: 06"):
            self.build(self.topology(), {"49": ("UT", "Utah"), "08": ("CO", "Colorado"),
                                         "06": ("CA", "California")})
        topo = self.topology()
        topo["objects"]["counties"]["geometries"][0]["id"] = "50001"
        with self.assertRaisesRegex(outlines.OutlineError, "lies in no known state"):
            self.build(topo)


class ImportOrder(unittest.TestCase):
    def test_no_module_imports_itself_through_others(self):
        """An import loop works only while each module's first use of the
        other waits for a call; a module-level use then breaks the import."""
        own = {f[:-3] for f in os.listdir(HERE) if f.endswith(".py")}
        uses = {}
        for name in own:
            with open(os.path.join(HERE, name + ".py"), encoding="utf-8") as f:
                tree = ast.parse(f.read())
            found = set()
            for node in ast.walk(tree):  # imports inside functions count too
                if isinstance(node, ast.Import):
                    found.update(a.name for a in node.names)
                elif isinstance(node, ast.ImportFrom) and node.level == 0:
                    found.add(node.module)
            uses[name] = sorted(found & own - {name})

        def loop_from(name, path):
            if name in path:
                return path[path.index(name):] + [name]
            for used in uses[name]:
                found = loop_from(used, path + [name])
                if found:
                    return found
            return None

        for name in sorted(own):
            self.assertIsNone(loop_from(name, []), name)
        self.assertIn("files", uses["outlines"])


if __name__ == "__main__":
    unittest.main()
