#include "main/window/FramePlacement.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdlib>

#include <xcb/xcb.h>

QPoint ReachableFrame(QPoint corner, QSize frame, int strip, const std::vector<QRect>& screens) {
    // Part of the title bar this wide must be on a screen to be taken with the mouse.
    constexpr int Grip = 48;
    for (const QRect& s : screens)
        if (corner.y() >= s.top() && corner.y() + strip <= s.bottom() + 1 &&
            corner.x() + frame.width() - Grip >= s.left() && corner.x() + Grip <= s.right() + 1)
            return corner;
    const QRect primary = screens.empty() ? QRect() : screens.front();
    return {std::clamp(corner.x(), primary.left(),
                       std::max(primary.left(), primary.right() + 1 - frame.width())),
            std::clamp(corner.y(), primary.top(),
                       std::max(primary.top(), primary.bottom() + 1 - frame.height()))};
}

QPoint FrameBeside(QRect main, QSize frame, QRect screen) {
    const int rightRoom = screen.right() - main.right();
    const int leftRoom = main.left() - screen.left();
    int left = main.right() + 1;
    if (rightRoom < frame.width() && (leftRoom >= frame.width() || leftRoom > rightRoom))
        left = main.left() - frame.width();
    return {std::clamp(left, screen.left(),
                       std::max(screen.left(), screen.right() + 1 - frame.width())),
            std::clamp(main.top(), screen.top(),
                       std::max(screen.top(), screen.bottom() + 1 - frame.height()))};
}

std::optional<QMargins> FrameExtents(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    if (!handle || !window.isVisible())
        return std::nullopt;
    const QMargins extents = handle->frameMargins();
    if (extents.isNull())
        return std::nullopt;
    return extents;
}

QPoint FrameCorner(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    if (!handle)
        return window.pos();
    const QMargins extents = handle->frameMargins();
    return ClientOnScreen(window).value_or(handle->geometry().topLeft()) -
           QPoint(extents.left(), extents.top());
}

std::optional<QPoint> ClientOnScreen(const QWidget& window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection() || !window.windowHandle())
        return std::nullopt;
    xcb_connection_t* connection = x11->connection();
    const auto id = xcb_window_t(window.windowHandle()->winId());
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr);
    if (!geometry)
        return std::nullopt;
    const xcb_window_t root = geometry->root;
    std::free(geometry);
    xcb_translate_coordinates_reply_t* place = xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, id, root, 0, 0), nullptr);
    if (!place)
        return std::nullopt;
    const QPoint corner(place->dst_x, place->dst_y);
    std::free(place);
    return corner;
}

namespace {

QPoint ClientCorner(QPoint corner, QMargins extents) {
    return corner + QPoint(extents.left(), extents.top());
}

// Follows a window until the window manager has framed it, then moves the client area so that
// the frame has its corner where it was wanted. A window manager that puts the frame elsewhere
// after a few tries, or one that never frames the window, has the last word.
class FrameWatch : public QObject {
public:
    static constexpr const char* Name = "FrameWatch";

    FrameWatch(QWidget& window, QPoint corner)
        : QObject(&window), window_(&window), corner_(corner) {
        setObjectName(Name);
        window.installEventFilter(this);
        if (window.isVisible()) {
            if (QWindow* handle = window.windowHandle())
                handle->installEventFilter(this);
            startClock();
        }
    }

    // A later placement before the frame came replaces the earlier one.
    void retarget(QPoint corner) {
        corner_ = corner;
        tries_ = 0;
        settling_ = settled_ = false;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (window_ && watched == window_->windowHandle() && event->type() == QEvent::Expose)
            check();
        else if (watched == window_) {
            switch (event->type()) {
            case QEvent::Show:
                // Exposure reaches the window system's window, not the widget.
                if (QWindow* handle = window_->windowHandle())
                    handle->installEventFilter(this);
                startClock();
                break;
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Paint:
            case QEvent::WindowActivate:
                check();
                break;
            case QEvent::Hide:
                finish();
                break;
            default:
                break;
            }
        }
        return false;
    }

private:
    // Some window managers frame a window without a further event reaching it; and one that
    // does not frame it within a few seconds is left alone. On a busy machine the frame may
    // come later than that: a window already framed is watched on until it is where it belongs.
    void startClock() {
        if (clockStarted_)
            return;
        clockStarted_ = true;
        for (int ms : {50, 200, 600, 1500, 3000})
            QTimer::singleShot(ms, this, [this] { check(); });
        deadline(6000);
    }

    void deadline(int ms) {
        QTimer::singleShot(ms, this, [this] {
            if (framed_ && ++extraDeadlines_ <= MaxExtraDeadlines) {
                check();
                deadline(3000);
            } else {
                finish();
            }
        });
    }

    void check() {
        if (!window_ || done_)
            return;
        const std::optional<QMargins> extents = FrameExtents(*window_);
        if (!extents)
            return;
        framed_ = true;
        // Off X11 the toolkit places frames itself and knows where they are.
        QWindow* handle = window_->windowHandle();
        const std::optional<QPoint> client = ClientOnScreen(*window_);
        if (!client) {
            if (handle->framePosition() != corner_)
                handle->setFramePosition(corner_);
            finish();
            return;
        }
        // Where the window really is: the toolkit takes a move it asked for as done. A window
        // manager may still act on a request from before it framed the window, so the place
        // must hold at a second look a moment later before the watch ends.
        if (*client - QPoint(extents->left(), extents->top()) == corner_) {
            if (settled_) {
                finish();
            } else if (!settling_) {
                settling_ = true;
                QTimer::singleShot(SettleMs, this, [this] {
                    // Moved away and back meanwhile: that return is looked at again later.
                    settled_ = settling_;
                    settling_ = false;
                    check();
                });
            }
            return;
        }
        settling_ = settled_ = false;
        // Events still on their way from before the last request say nothing of its answer: a
        // busy window manager is given time before the place is asked for again.
        if (asked_.isValid() && asked_.elapsed() < AnswerMs) {
            if (!recheck_) {
                recheck_ = true;
                QTimer::singleShot(AnswerMs - int(asked_.elapsed()), this, [this] {
                    recheck_ = false;
                    check();
                });
            }
            return;
        }
        if (tries_ == MaxTries) {
            finish();
            return;
        }
        ++tries_;
        asked_.start();
        const QRect wanted(ClientCorner(corner_, *extents), window_->size());
        // A window the toolkit believes there already is asked twice, so that the request
        // reaches the window manager.
        if (window_->geometry().topLeft() == wanted.topLeft())
            window_->setGeometry(wanted.translated(0, 1));
        window_->setGeometry(wanted);
    }

    void finish() {
        if (done_)
            return;
        done_ = true;
        setObjectName({});
        if (window_) {
            window_->removeEventFilter(this);
            if (QWindow* handle = window_->windowHandle())
                handle->removeEventFilter(this);
        }
        deleteLater();
    }

    static constexpr int MaxTries = 4;
    static constexpr int AnswerMs = 400;
    static constexpr int MaxExtraDeadlines = 8;
    static constexpr int SettleMs = 700;
    QPointer<QWidget> window_;
    QPoint corner_;
    int tries_ = 0;
    int extraDeadlines_ = 0;
    bool clockStarted_ = false;
    bool framed_ = false;
    QElapsedTimer asked_; // since the last request for the place
    bool recheck_ = false;
    bool settling_ = false;
    bool settled_ = false;
    bool done_ = false;
};

} // namespace

void PlaceFrame(QWidget& window, QPoint corner, std::optional<QMargins> guess) {
    // A later placement before the frame came replaces the earlier one.
    auto* watch = static_cast<FrameWatch*>(
        window.findChild<QObject*>(FrameWatch::Name, Qt::FindDirectChildrenOnly));
    if (watch)
        watch->retarget(corner);
    // A frame already known is moved in one step: the client area by the frame's extents.
    if (const std::optional<QMargins> extents = FrameExtents(window)) {
        window.setGeometry(QRect(ClientCorner(corner, *extents), window.size()));
        return;
    }
    if (guess)
        window.setGeometry(QRect(ClientCorner(corner, *guess), window.size()));
    else
        window.move(corner);
    if (!watch)
        new FrameWatch(window, corner);
}

void PlaceBeside(QWidget& window, const QWidget& main, QSize screen) {
    const QRect mainFrame = main.frameGeometry();
    const QRect mainClient = main.geometry();
    const QMargins mainExtents(
        mainClient.left() - mainFrame.left(), mainClient.top() - mainFrame.top(),
        mainFrame.right() - mainClient.right(), mainFrame.bottom() - mainClient.bottom());
    // Until this window is framed, its frame is taken to be like the main window's.
    const QMargins extents = FrameExtents(window).value_or(mainExtents);
    PlaceFrame(window,
               FrameBeside(mainFrame, window.size().grownBy(extents), QRect(QPoint(0, 0), screen)),
               extents);
}
