#pragma once

class QWidget;

// An empty caption shown as empty. On X11 Qt names a window whose caption is empty after the
// program's file name; this writes the window's names (_NET_WM_NAME and WM_NAME) empty over
// that. It creates the window's native window if there is none yet; call it before showing.
// Other window systems show an empty caption as it is, and nothing is done there.
void KeepCaptionEmpty(QWidget* window);
