#include "main/dialogs/DialogCommands.h"

#include "data/DataSet.h"
#include "data/Errors.h"
#include "format/LocalTime.h"
#include "format/OutputFormats.h"
#include "main/app/Messages.h"
#include "main/dialogs/AboutBox.h"
#include "main/dialogs/NearbyRadius.h"
#include "main/dialogs/OtherProducts.h"
#include "main/dialogs/Preferences.h"
#include "main/dialogs/SetTimeZone.h"
#include "main/help/HelpWindow.h"

DialogCommands::DialogCommands(corvana::Settings& settings, Messages& messages, QString helpFile)
    : settings_(settings), messages_(messages), helpFile_(std::move(helpFile)),
      printer_(QPrinter::HighResolution) {
    // Printing to a file takes the paper of the user's locale; a real printer its own.
    if (printer_.outputFormat() == QPrinter::PdfFormat)
        printer_.setPageSize(LocalePaper());
}

DialogCommands::~DialogCommands() = default;

THelpWindow& DialogCommands::help() {
    // No owner: a help window stays usable while a modal dialog is open, as a separate help
    // viewer would.
    if (!help_)
        help_ = std::make_unique<THelpWindow>(helpFile_);
    return *help_;
}

void DialogCommands::Preferences(const Frame& frame) {
    TPreferences dialog(
        settings_, frame.scaleFactor, frame.screen,
        [this](const QString& keyword) { Help(keyword); }, frame.owner);
    dialog.exec();
}

void DialogCommands::TimeZone(const Frame& frame) {
    TSetTimeZone dialog(settings_, corvana::ZoneChoices, frame.scaleFactor, frame.screen,
                        frame.owner);
    dialog.exec();
}

void DialogCommands::About(const Frame& frame) {
    TAboutBox dialog(frame.scaleFactor, frame.screen, frame.owner);
    dialog.exec();
}

void DialogCommands::OtherProducts(const Frame& frame) {
    TOtherProducts dialog(frame.scaleFactor, frame.screen, frame.owner);
    dialog.exec();
}

void DialogCommands::ZipVersion(const corvana::DataSet& data, QWidget* owner) {
    messages_.message(owner, corvana::caption::Version, fromCore(corvana::ZipVersionMessage(data)));
}

void DialogCommands::Contents() {
    help().showContents();
}

void DialogCommands::Updates() {
    Help("Zip Code Updates");
}

void DialogCommands::Help(const QString& keyword) {
    help().showKeyword(keyword);
}

void DialogCommands::PrinterSetup(const Frame& frame) {
    TPrinterSetup dialog(printer_, printerList ? printerList() : SystemPrinters(),
                         frame.scaleFactor, frame.screen, frame.owner);
    dialog.exec();
}

std::optional<DialogCommands::NearbyCircle> DialogCommands::Nearby(const QString& zipCode,
                                                                   const Frame& frame,
                                                                   bool kindsKnown,
                                                                   const QString& peopleOff) {
    TNearbyRadius dialog(zipCode, settings_.nearbyMiles, frame.scaleFactor, frame.screen, messages_,
                         frame.owner, settings_.nearbyStandardOnly, kindsKnown, peopleOff);
    dialog.setByPeople(nearbyByPeople_ && peopleOff.isEmpty(), nearbyPeople_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    // Data without kinds leaves the choice as it was.
    if (kindsKnown)
        settings_.nearbyStandardOnly = dialog.standardOnly();
    // The people are not in the settings file: its [Misc] keys stay those it always had.
    nearbyByPeople_ = dialog.people().has_value();
    if (const auto people = dialog.people()) {
        nearbyPeople_ = *people;
        return NearbyCircle{settings_.nearbyMiles, people};
    }
    settings_.nearbyMiles = dialog.miles();
    return NearbyCircle{settings_.nearbyMiles, std::nullopt};
}

void DialogCommands::CopyOrPrint(bool printMode, const corvana::ResultLines& lines,
                                 const Collect& collect, const Frame& frame) {
    const std::optional<bool> allItems = CopyOrPrintScope(lines, printMode, messages_, frame.owner);
    if (!allItems)
        return;
    TCopyOrPrint dialog({settings_, frame.scaleFactor, frame.screen, messages_, printer_,
                         corvana::OutputFormats, collect, printDialog, fontDialog},
                        frame.owner);
    dialog.PrintMode = printMode;
    dialog.AllItems = *allItems;
    dialog.exec();
}
