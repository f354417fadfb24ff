// The window reaching into the command line.
#include "cli/Options.h"
#include "search/Search.h"
