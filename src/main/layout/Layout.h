#pragma once

#include "main/style/Scaling.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <vector>

class Messages;
class QWidget;

struct LayoutRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const LayoutRect&) const = default;
};

// Scales by the edges rather than by the size, so that neighbouring controls stay flush:
// the right and bottom edges are scaled and the width and height derived from them.
LayoutRect ScaleRect(const LayoutRect& r, int p);

// Where a window goes after a restore: 1 centres it on the screen (no bound: a window larger
// than the screen gets a negative left or top), 2 centres it on the reference rectangle (never
// below 0), anything else keeps `current`.
QPoint PlaceWindow(int placement, QSize windowSize, QPoint current, QRect reference, QSize screen);

// What a component contributes to the layout record.
enum class LayoutKind {
    None,            // menus, menu items and other non-visual parts: the slot stays unused
    Geometry,        // left, top, width, height (spin buttons, bevels)
    GeometryAndFont, // and the font's pixel size
};

struct LayoutComponent {
    QWidget* widget = nullptr;
    LayoutKind kind = LayoutKind::None;
};

struct LayoutSlot {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int fontSize = 0;

    bool operator==(const LayoutSlot&) const = default;
};

inline constexpr int LayoutSlots = 101;

struct DesignLayout {
    std::array<LayoutSlot, LayoutSlots> entries{};
    int clientWidth = 0;
    int clientHeight = 0;
};

// Records the design geometry of `components` (a window's parts in creation order, non-visual
// ones included, one slot each) and the window's client size. A window with more components
// than slots gets the message once and only the first slots recorded.
void SaveFormLayout(const std::vector<LayoutComponent>& components, QSize client,
                    DesignLayout& layout, Messages& messages, QWidget* messageParent);

// Puts every recorded component back to its design geometry and font and scales it by p.
// Returns the scaled client size, which the window applies to itself. Always starting from the
// record is what lets the user switch sizes back and forth without drift.
QSize RestoreFormLayout(const std::vector<LayoutComponent>& components, const DesignLayout& layout,
                        int p);

// Dialogs keep no record: each is created for one use, so its current geometry is the design.
// Scales every child widget and its font by Trunc(scaleFactor x 100) / 100, the dialog's own
// size likewise, fixes that size, and centres the dialog on the screen.
void ScaleAndCentreDialog(QWidget* dialog, double scaleFactor, QSize screen);
