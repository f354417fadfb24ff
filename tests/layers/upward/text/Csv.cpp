// The bottom layer reaching up into the data files.
#include "data/Records.h"
#include "text/Utf8.h"
