#pragma once

#include "main/widgets/ScaledDialog.h"

#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QString>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;

// A printer the system knows and the paper it takes.
struct PrinterEntry {
    QString name;
    QList<QPageSize> papers;
    QPageSize defaultPaper;
};

struct PrinterList {
    QList<PrinterEntry> printers;
    QString defaultPrinter;
};

// Every printer the system's print service knows, in its order.
PrinterList SystemPrinters();

// The paper of the user's locale (LC_PAPER); US Letter where the locale gives none, as the C
// locale does not (it claims A4 only for want of anything better).
QPageSize LocalePaper();
// The rule, for a locale's name and the paper size it gives in millimetres.
QPageSize LocalePaper(const QString& localeName, int widthMm, int heightMm);

// "Printer Setup": the printer, or printing to a PDF file, and the paper and its orientation.
// Ok puts the choice into the printer that later printing uses; Cancel leaves it as it was.
class TPrinterSetup : public TScaledDialog {
    Q_OBJECT
public:
    TPrinterSetup(QPrinter& printer, PrinterList printers, double scaleFactor, QSize screen,
                  QWidget* parent = nullptr);

    // The entry after the system's printers.
    static const QString PdfEntry;

    QFrame* PrinterBevel;
    QLabel* PrinterLabel;
    QComboBox* PrinterCombo;
    QLabel* FileLabel;
    QLineEdit* FileEdit;
    QPushButton* BrowseButton;
    QFrame* PaperBevel;
    QLabel* PaperLabel;
    QComboBox* PaperCombo;
    QRadioButton* Portrait;
    QRadioButton* Landscape;
    QPushButton* OkButton;
    QPushButton* CancelButton;

protected:
    void FormShow() override;

private:
    bool pdfChosen() const;
    // Offers the paper of the chosen printer, keeping the paper chosen so far where it can.
    void PrinterComboChange();
    void BrowseButtonClick();
    void OkButtonClick();
    void enableOk();

    QPrinter& printer_;
    PrinterList printers_;
    QList<QPageSize> papers_; // those PaperCombo offers, in its order
};
