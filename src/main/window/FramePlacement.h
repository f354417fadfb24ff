#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>

class QWindow;

// A frame corner, as settings store it, moved where the title bar and the menu bar below it lie
// on a screen within reach of the mouse: the primary screen of `primary` size or any other.
// `width` is the frame's width and `strip` the height of title and menu bar together.
QPoint ReachableFrame(QPoint frame, int width, int strip, QSize primary);

// Puts a window's frame, once the window manager has framed it, at the corner it was left at.
// Left and top name the outer corner of the frame, as they are stored at close; some window
// systems learn the frame only once the window is up and put the client area at the position
// asked for, so the window would creep by its title bar every run.
class FramePlacement : public QObject {
public:
    FramePlacement(QWindow* window, QPoint frame, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void settle();

    QWindow* window_;
    QPoint wanted_;
    bool firstExposeSeen_ = false;
    bool settled_ = false;
};
