// The command line drawing maps.
#include "map/MapCanvas.h"
#include "search/Search.h"
