// Allowed: the window draws the map.
#include "map/MapCanvas.h"
