// The map draws for the window; it does not know the window.
#include "map/MapCanvas.h"
#include "mapwindow/MapWindow.h"
