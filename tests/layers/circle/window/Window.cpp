#include "window/Window.h"
