#pragma once

#include "main/widgets/ScaledDialog.h"
#include "output/CopyOutput.h"
#include "output/ResultLines.h"
#include "settings/Settings.h"

#include <QFont>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class Messages;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPrinter;
class QPushButton;

// Everything the copy-and-print dialog works with, handed in by the main window.
struct CopyOrPrintContext {
    corvana::Settings& settings;
    double scaleFactor;
    QSize screen;
    Messages& messages;
    QPrinter& printer; // the printer that "Printer Setup" set up
    std::span<const std::string_view> formats;
    // Builds the output of the results list (every line, or the selected ones) in a format.
    std::function<corvana::CollectedOutput(int format, bool allItems)> collect;
    // The print dialog; false when the user cancels. Empty: QPrintDialog.
    std::function<bool(QPrinter&, QWidget*)> printDialog;
    // The font dialog; empty result when the user cancels. Empty: QFontDialog.
    std::function<std::optional<QFont>(const QFont&, QWidget*)> fontDialog;
};

// The checks of the copy and print commands before the dialog opens, on the results list:
// empty to stop, otherwise whether every line is to be output (AllItems).
std::optional<bool> CopyOrPrintScope(const corvana::ResultLines& lines, bool printMode,
                                     Messages& messages, QWidget* parent);

class TCopyOrPrint : public TScaledDialog {
    Q_OBJECT
public:
    explicit TCopyOrPrint(CopyOrPrintContext context, QWidget* parent = nullptr);

    bool PrintMode = false;
    bool AllItems = false;

    QLabel* Label1;
    QListWidget* FormatList;
    QPushButton* PrintButton;
    QPushButton* CancelButton;
    QPushButton* PrintFontButton;
    QLineEdit* PrintFont;
    QFrame* PrintBevel;

protected:
    void FormShow() override;

private:
    void LoadFormatList();
    void ShowPrintFont();
    void PrintButtonClick();
    void PrintFontButtonClick();
    void CopyItems(const std::string& text);
    bool PrintItems(const std::string& text, const std::string& heading);

    CopyOrPrintContext ctx_;
};
