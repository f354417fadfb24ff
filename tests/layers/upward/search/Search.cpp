// Allowed: the search layer reads data, settings and text.
#include "data/ZipFile.h"
#include "settings/Settings.h"
#include "text/ShortString.h"
#include <vector>
