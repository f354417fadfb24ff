// The style is the bottom of the window: it may not know the fonts of the app folder.
#include "main/app/Messages.h"
#include "main/style/CorvanaStyle.h"
