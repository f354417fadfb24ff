// The command line reaching into a library's private pieces.
#include "cli/Places.h"
#include "search/Search.h"
#include "search/detail/SearchCommon.h"
