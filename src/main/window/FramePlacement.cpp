#include "main/window/FramePlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QRect>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <vector>

QPoint ReachableFrame(QPoint frame, int width, int strip, QSize primarySize) {
    // A frame that leaves the bars off every screen comes onto the primary one, as near to where
    // it was as the window fits; part of the title bar this wide must be on the screen.
    constexpr int Grip = 48;
    const QRect primary(QPoint(0, 0), primarySize);
    std::vector<QRect> screens{primary};
    for (const QScreen* screen : QGuiApplication::screens())
        screens.push_back(screen->geometry());
    for (const QRect& s : screens)
        if (frame.y() >= s.top() && frame.y() + strip <= s.bottom() + 1 &&
            frame.x() + width - Grip >= s.left() && frame.x() + Grip <= s.right() + 1)
            return frame;
    return {std::clamp(frame.x(), primary.left(),
                       std::max(primary.left(), primary.right() + 1 - width)),
            std::clamp(frame.y(), primary.top(),
                       std::max(primary.top(), primary.bottom() + 1 - strip))};
}

FramePlacement::FramePlacement(QWindow* window, QPoint frame, QObject* parent)
    : QObject(parent), window_(window), wanted_(frame) {
    if (window_)
        window_->installEventFilter(this);
}

bool FramePlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && !settled_ &&
        (event->type() == QEvent::Expose || event->type() == QEvent::Move ||
         event->type() == QEvent::FocusIn || event->type() == QEvent::UpdateRequest))
        settle();
    return false;
}

void FramePlacement::settle() {
    if (!window_->isExposed())
        return;
    // Until the window manager has framed the window, the frame is the client area itself and
    // checking it tells nothing; the frame may come only after the first exposure (later still
    // while the map window opens beside this one). Once it is known, the frame goes where it
    // was left, once: a window manager that puts it elsewhere on purpose has the last word.
    const bool framed = !window_->frameMargins().isNull();
    if (framed || !firstExposeSeen_) {
        if (window_->framePosition() != wanted_)
            window_->setFramePosition(wanted_);
    }
    firstExposeSeen_ = true;
    if (framed) {
        settled_ = true;
        window_->removeEventFilter(this);
    }
}
