// A part that takes what it needs through a narrow door closes none.
#include "window/Door.h"
#include "window/Part.h"
