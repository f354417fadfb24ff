#pragma once

#include "main/printing/CopyOrPrint.h"
#include "main/printing/PrinterSetup.h"
#include "settings/Settings.h"

#include <QPrinter>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class Messages;
class QWidget;
class THelpWindow;

namespace corvana {
struct DataSet;
}

// The main window's commands that open dialogs, help and printing. The window owns one for the
// whole run, with the one printer that "Printer Setup" sets up and printing uses, and the one
// help window. Every dialog is created for one command, shown modally over the window and
// destroyed when it closes.
class DialogCommands {
public:
    // How the window sizes itself: the dialogs scale and centre themselves by it.
    struct Frame {
        double scaleFactor = 1.0;
        QSize screen;
        QWidget* owner = nullptr;
    };

    DialogCommands(corvana::Settings& settings, Messages& messages, QString helpFile);
    ~DialogCommands();
    DialogCommands(const DialogCommands&) = delete;
    DialogCommands& operator=(const DialogCommands&) = delete;

    void Preferences(const Frame& frame);
    void TimeZone(const Frame& frame);
    void About(const Frame& frame);
    void OtherProducts(const Frame& frame);
    void ZipVersion(const corvana::DataSet& data, QWidget* owner);
    void Contents();
    void Updates();
    void Help(const QString& keyword);
    void PrinterSetup(const Frame& frame);
    // The circle around the ZIP code `zipCode` that the user confirms: a radius, which the
    // settings then remember, or a number of people to reach, which is kept (with the choice of
    // unit) until the program ends; and whether to leave out ZIP codes without an area, which
    // the settings remember. Empty when the dialog is cancelled. `kindsKnown`: the data says
    // which ZIP codes have an area; `peopleOff`: why the data cannot count people, empty when it
    // can.
    struct NearbyCircle {
        double miles = 0;
        std::optional<int> people; // set: the circle that reaches them
    };
    std::optional<NearbyCircle> Nearby(const QString& zipCode, const Frame& frame,
                                       bool kindsKnown = false, const QString& peopleOff = {});

    // The copy and print commands on the results list: the checks and questions, then the
    // format dialog. `collect` builds the output of the chosen lines in a format.
    using Collect = std::function<corvana::CollectedOutput(int format, bool allItems)>;
    void CopyOrPrint(bool printMode, const corvana::ResultLines& lines, const Collect& collect,
                     const Frame& frame);

    QPrinter& printer() { return printer_; }
    THelpWindow* helpWindow() const { return help_.get(); }

    // Tests replace the platform's print and font dialogs; empty means the real ones.
    std::function<bool(QPrinter&, QWidget*)> printDialog;
    std::function<std::optional<QFont>(const QFont&, QWidget*)> fontDialog;
    // The printers "Printer Setup" offers; empty means those the system knows.
    std::function<PrinterList()> printerList;

private:
    THelpWindow& help();

    corvana::Settings& settings_;
    Messages& messages_;
    QString helpFile_;
    QPrinter printer_;
    std::unique_ptr<THelpWindow> help_;
    bool nearbyByPeople_ = false;
    int nearbyPeople_ = 1'000'000;
};
