// A part that calls back into the window closes a circle.
#include "window/Part.h"
#include "window/Window.h"
