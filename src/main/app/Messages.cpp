#include "main/app/Messages.h"

#include "data/Errors.h"
#include "main/app/WindowCaption.h"
#include "main/style/CorvanaStyle.h"
#include "text/Win1252.h"

#include <QIcon>
#include <QMessageBox>
#include <QStyle>

namespace {

// The caption says how grave a message is; a box that asks shows a question.
QMessageBox::Icon KindOf(const QString& caption, bool asks) {
    if (asks)
        return QMessageBox::Question;
    if (caption == corvana::caption::Fatal)
        return QMessageBox::Critical;
    if (caption == corvana::caption::Error)
        return QMessageBox::Warning;
    return QMessageBox::Information;
}

// The desktop's icon where its theme has one, the style's own where not.
QIcon IconOf(QMessageBox::Icon kind, const QStyle* style) {
    switch (kind) {
    case QMessageBox::Critical:
        return QIcon::fromTheme("dialog-error", style->standardIcon(QStyle::SP_MessageBoxCritical));
    case QMessageBox::Warning:
        return QIcon::fromTheme("dialog-warning",
                                style->standardIcon(QStyle::SP_MessageBoxWarning));
    case QMessageBox::Question:
        return QIcon::fromTheme("dialog-question",
                                style->standardIcon(QStyle::SP_MessageBoxQuestion));
    default:
        return QIcon::fromTheme("dialog-information",
                                style->standardIcon(QStyle::SP_MessageBoxInformation));
    }
}

// Shows the box modally and returns the button pressed.
int Run(QMessageBox::Icon kind, const QString& caption, const QString& text,
        QMessageBox::StandardButtons buttons, QWidget* parent) {
    // The style leaves the decorative icons off the buttons, also for the one box that can
    // come before any window: a second start's.
    UseCorvanaStyle();
    QMessageBox box(kind, caption, text, buttons, parent);
    const int size = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    box.setIconPixmap(IconOf(kind, box.style()).pixmap(QSize(size, size), box.devicePixelRatio()));
    // A box must never open under a window that stays on top, the running copy's or its own.
    // A box with no window of its own on the screen (a second start's, a fatal error's before
    // the window appears) has nothing to stand over and stays above everything.
    const QWidget* window = parent ? parent->window() : nullptr;
    if (!window || !window->isVisible() || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (caption.isEmpty())
        KeepCaptionEmpty(&box);
    return box.exec();
}

} // namespace

void BoxMessages::message(QWidget* parent, const QString& caption, const QString& text) {
    Run(KindOf(caption, false), caption, text, QMessageBox::Ok, parent);
}

bool BoxMessages::question(QWidget* parent, const QString& caption, const QString& text) {
    return Run(KindOf(caption, true), caption, text, QMessageBox::Yes | QMessageBox::No, parent) ==
           QMessageBox::Yes;
}

QString fromCore(const std::string& bytes) {
    return QString::fromStdString(corvana::Win1252ToUtf8(bytes));
}

std::string toCore(const QString& text) {
    // Characters the code page lacks cannot match anything in the data; drop them one by one.
    std::string out;
    for (QChar c : text) {
        if (auto b = corvana::Utf8ToWin1252(QString(c).toStdString()))
            out += *b;
    }
    return out;
}
