#pragma once

class QWidget;

// Gives an accessible name to every control of the main window that shows no text of its own,
// finding each by its object name, so that a screen reader can say what it is. The window calls
// it once, when its controls exist; the first search field and the results list are renamed
// where their captions change.
void NameMainWinControls(QWidget& window);
