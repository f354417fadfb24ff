"""How the importer stops: a message on standard error and exit status 1."""

import sys


def fail(msg):
    sys.stderr.write("import.py: error: %s\n" % msg)
    sys.exit(1)
