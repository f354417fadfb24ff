// Allowed: the search layer includes its own private pieces.
#include "search/detail/SearchCommon.h"
