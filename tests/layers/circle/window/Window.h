#pragma once
// The window owns its parts.
#include "window/Part.h"
