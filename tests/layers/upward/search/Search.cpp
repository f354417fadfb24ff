// Allowed: the search layer reads data, settings and text.
#include "data/ShortString.h"
#include "data/ZipFile.h"
#include "settings/Settings.h"
#include <vector>
