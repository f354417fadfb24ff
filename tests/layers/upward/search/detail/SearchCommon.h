// Allowed: a library's private header includes its own and lower layers.
#include "data/ZipFile.h"
#include "search/Search.h"
