// The core reading the outlines.
#include "output/CopyOutput.h"
#include "map/Outlines.h"
