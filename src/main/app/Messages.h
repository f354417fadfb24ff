#pragma once

#include <QString>

#include <string>

class QWidget;

// Every message box of the program goes through this interface, so that tests can record the
// messages instead of blocking on a modal box.
class Messages {
public:
    virtual ~Messages() = default;
    // A box with one OK button.
    virtual void message(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A box with Yes and No buttons; true for Yes.
    virtual bool question(QWidget* parent, const QString& caption, const QString& text) = 0;
};

// The real thing: QMessageBox with the caption and text exactly as given, an icon as grave as
// the caption ("FATAL ERROR" critical, "Error" a warning, a question where the box asks, else
// information) from the desktop's icon theme where it has one, and never below a window that
// stays on top.
class BoxMessages : public Messages {
public:
    void message(QWidget* parent, const QString& caption, const QString& text) override;
    bool question(QWidget* parent, const QString& caption, const QString& text) override;
};

// Text of the core (Windows-1252 bytes) for display, and back.
QString fromCore(const std::string& bytes);
std::string toCore(const QString& text);
