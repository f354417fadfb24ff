"""The importer's output files: the folder checked before anything is
fetched, and every file replaced together or not at all.

Standard library only; the stages that write (import.py, outlines.py) share it.
"""

import os

from errors import fail


def write_files(files):
    """Write {path: bytes}: everything goes to temporary files first and
    replaces the files only when all are written, so a failed write (full
    disk, missing folder) leaves every old file as it was."""
    done = []
    try:
        for path, data in sorted(files.items()):
            tmp = path + ".tmp"
            done.append(tmp)
            with open(tmp, "wb") as f:
                f.write(data)
        for path in sorted(files):
            os.replace(path + ".tmp", path)
    except OSError as e:
        for tmp in done:
            try:
                os.remove(tmp)
            except OSError:
                pass
        fail("cannot write %s: %s" % (e.filename or "output", e.strerror or e))


def output_dir(path):
    """The folder of the output file, created if missing; fails with a
    message (before anything is fetched) if it cannot be used."""
    path = os.path.abspath(path)
    if os.path.isdir(path):
        fail("output %s is a folder; give a file name" % path)
    folder = os.path.dirname(path)
    try:
        os.makedirs(folder, exist_ok=True)
    except OSError as e:
        fail("cannot create the output folder %s: %s" % (folder, e.strerror or e))
    if not os.access(folder, os.W_OK):
        fail("output folder %s is not writable" % folder)
    return folder
