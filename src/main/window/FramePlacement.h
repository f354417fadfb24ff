#pragma once

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

class QWidget;

// Where windows go, in the corners of their frames: the outer corner of the title bar and the
// borders that the window manager draws around the client area. That corner is what the
// settings keep and what a window is placed beside; the client area lies inside it by the
// frame's extents, which are known only once the window manager has framed the window.

// A frame corner, as settings store it, moved where the title bar and the menu bar below it lie
// on a screen within reach of the mouse: any of `screens`, of which the first is the primary.
// A frame that leaves them off every screen comes whole onto the primary one, as near to where
// it was as it fits. `frame` is the frame's size and `strip` the height of title and menu bar
// together.
QPoint ReachableFrame(QPoint corner, QSize frame, int strip, const std::vector<QRect>& screens);

// The corner of a frame of size `frame` beside the frame `main`, level with its top: to its
// right when the screen has room, else to its left, else on the side with more room; moved
// onto `screen` so that the whole frame lies on it when it fits.
QPoint FrameBeside(QRect main, QSize frame, QRect screen);

// The extents of a window's frame as the window manager reports them; none until it has framed
// the window.
std::optional<QMargins> FrameExtents(const QWidget& window);

// The corner of a window's frame as the window system has it now; while the window manager
// has not framed the window, the client area's.
QPoint FrameCorner(const QWidget& window);

// The client area's corner on the screen as the X server has it; none off X11.
std::optional<QPoint> ClientOnScreen(const QWidget& window);

// Puts a top-level window's frame with its corner at `corner`. When the frame is not known yet,
// the window goes there by `guess` (the extents of another frame of this desktop) or, without
// one, by the window system's own placement of frames, and is moved once the window manager
// has framed it: some window managers place the client area, not the frame, at the position
// asked for, and the window would creep by its title bar every run.
void PlaceFrame(QWidget& window, QPoint corner, std::optional<QMargins> guess = std::nullopt);

// Puts a window's frame beside the frame of `main` (see FrameBeside) on a screen of that size.
void PlaceBeside(QWidget& window, const QWidget& main, QSize screen);
