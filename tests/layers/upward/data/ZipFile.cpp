// A data reader that would know the settings.
#include "data/ZipFile.h"
#include "settings/Settings.h"
