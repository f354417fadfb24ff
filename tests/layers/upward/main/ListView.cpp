// The window is above the search, and still may not use its private pieces.
#include "search/Search.h"
#include "search/detail/SearchCommon.h"
