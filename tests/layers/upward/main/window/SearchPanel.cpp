// Allowed: the window uses every folder below it, and the core.
#include "main/app/Messages.h"
#include "main/dialogs/DialogCommands.h"
#include "main/style/Scaling.h"
#include "main/window/Controls.h"
#include "search/Search.h"
