// The core reading the outlines.
#include "map/Outlines.h"
#include "output/CopyOutput.h"
