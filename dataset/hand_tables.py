"""Reading the tables kept by hand beside the importer (overlays.csv,
county_zones.csv): a fixed header, then rows of exactly as many fields.

Standard library only.
"""

import csv


class TableError(ValueError):
    pass


def table_rows(text, name, header):
    """(line number, fields with blanks stripped) of each row under the
    header.  Raises TableError when the header differs or a row has another
    number of fields."""
    rows = list(csv.reader(text.splitlines()))
    if not rows or rows[0] != header:
        raise TableError("%s: header must be %s" % (name, ",".join(header)))
    for n, row in enumerate(rows[1:], start=2):
        if len(row) != len(header):
            raise TableError("%s line %d: %d fields instead of %d"
                             % (name, n, len(row), len(header)))
        yield n, [x.strip() for x in row]
