// A dialog reaching back into the main window that opens it.
#include "main/window/MainWin.h"
// Allowed: a dialog prints, and is drawn at the window's scale.
#include "main/printing/CopyOrPrint.h"
#include "main/widgets/ScaledDialog.h"
