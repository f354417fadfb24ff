#include "main/printing/PrinterSetup.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>

#include <clocale>
#include <langinfo.h>

const QString TPrinterSetup::PdfEntry = "Print to File (PDF)";

namespace {

// What a PDF file can be printed on: the usual American and ISO sheets.
const QList<QPageSize> PdfPapers = {QPageSize(QPageSize::Letter),    QPageSize(QPageSize::Legal),
                                    QPageSize(QPageSize::Executive), QPageSize(QPageSize::Tabloid),
                                    QPageSize(QPageSize::A3),        QPageSize(QPageSize::A4),
                                    QPageSize(QPageSize::A5),        QPageSize(QPageSize::B5)};

int IndexOfPaper(const QList<QPageSize>& papers, const QPageSize& paper) {
    for (int i = 0; i < papers.size(); ++i)
        if (papers[i].isEquivalentTo(paper))
            return i;
    return -1;
}

QLabel* FieldLabel(const QString& text, QWidget* parent, int top, QWidget* field) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(12, top, 69, 21);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setBuddy(field);
    field->setAccessibleName(QString(text).remove('&'));
    return l;
}

QFrame* Bevel(QWidget* parent, int top, int height) {
    auto* f = new QFrame(parent);
    f->setFrameStyle(QFrame::Panel | QFrame::Raised);
    f->setGeometry(4, top, 417, height);
    return f;
}

} // namespace

PrinterList SystemPrinters() {
    PrinterList list;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
        list.printers.append(
            {info.printerName(), info.supportedPageSizes(), info.defaultPageSize()});
    list.defaultPrinter = QPrinterInfo::defaultPrinterName();
    return list;
}

QPageSize LocalePaper(const QString& localeName, int widthMm, int heightMm) {
    const bool cLocale = localeName.isEmpty() || localeName == "C" || localeName == "POSIX" ||
                         localeName.startsWith("C.");
    if (cLocale || widthMm <= 0 || heightMm <= 0)
        return QPageSize(QPageSize::Letter);
    return QPageSize(QSizeF(widthMm, heightMm), QPageSize::Millimeter, QString(),
                     QPageSize::FuzzyMatch);
}

QPageSize LocalePaper() {
    const char* name = std::setlocale(LC_PAPER, nullptr);
    int width = 0, height = 0;
#ifdef _NL_PAPER_WIDTH
    // glibc answers these two with a number in place of the string, as locale(1) reads them.
    union {
        const char* string;
        unsigned int word;
    } value;
    value.string = nl_langinfo(_NL_PAPER_WIDTH);
    width = int(value.word);
    value.string = nl_langinfo(_NL_PAPER_HEIGHT);
    height = int(value.word);
#endif
    return LocalePaper(QString::fromLatin1(name ? name : ""), width, height);
}

TPrinterSetup::TPrinterSetup(QPrinter& printer, PrinterList printers, double scaleFactor,
                             QSize screen, QWidget* parent)
    : TScaledDialog("Printer Setup", QSize(425, 199), scaleFactor, screen, parent),
      printer_(printer), printers_(std::move(printers)) {
    // Created in tab order; each frame before the controls that lie on it.
    PrinterBevel = Bevel(this, 4, 77);
    PrinterCombo = new QComboBox(this);
    PrinterCombo->setGeometry(88, 12, 325, 27);
    PrinterLabel = FieldLabel("&Printer", this, 15, PrinterCombo);
    FileEdit = new QLineEdit(this);
    FileEdit->setGeometry(88, 46, 229, 27);
    FileLabel = FieldLabel("&File", this, 49, FileEdit);
    BrowseButton = new QPushButton("&Browse...", this);
    BrowseButton->setGeometry(324, 46, 89, 27);
    BrowseButton->setAutoDefault(false);

    PaperBevel = Bevel(this, 86, 73);
    PaperCombo = new QComboBox(this);
    PaperCombo->setGeometry(88, 94, 325, 27);
    PaperLabel = FieldLabel("P&aper", this, 97, PaperCombo);
    Portrait = new QRadioButton("Por&trait", this);
    Portrait->setGeometry(88, 128, 121, 21);
    Landscape = new QRadioButton("&Landscape", this);
    Landscape->setGeometry(216, 128, 137, 21);

    OkButton = new QPushButton("&Ok", this);
    OkButton->setGeometry(116, 166, 89, 27);
    OkButton->setDefault(true);
    CancelButton = new QPushButton("&Cancel", this);
    CancelButton->setGeometry(220, 166, 89, 27);
    CancelButton->setAutoDefault(false);

    const std::pair<QWidget*, const char*> names[] = {
        {PrinterCombo, "PrinterCombo"}, {FileEdit, "FileEdit"},
        {BrowseButton, "BrowseButton"}, {PaperCombo, "PaperCombo"},
        {Portrait, "Portrait"},         {Landscape, "Landscape"},
        {OkButton, "OkButton"},         {CancelButton, "CancelButton"}};
    for (auto [w, name] : names)
        w->setObjectName(name);

    connect(PrinterCombo, &QComboBox::currentIndexChanged, this,
            &TPrinterSetup::PrinterComboChange);
    connect(FileEdit, &QLineEdit::textChanged, this, &TPrinterSetup::enableOk);
    connect(BrowseButton, &QPushButton::clicked, this, &TPrinterSetup::BrowseButtonClick);
    connect(OkButton, &QPushButton::clicked, this, &TPrinterSetup::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TPrinterSetup::FormShow() {
    // The paper the printer holds now is the one to keep while the printer list is filled.
    papers_ = {printer_.pageLayout().pageSize()};
    PaperCombo->addItem(papers_.first().name());

    const QSignalBlocker block(PrinterCombo);
    for (const PrinterEntry& p : printers_.printers)
        PrinterCombo->addItem(p.name);
    PrinterCombo->addItem(PdfEntry);
    int chosen = PrinterCombo->count() - 1;
    if (printer_.outputFormat() == QPrinter::NativeFormat) {
        const int named = PrinterCombo->findText(printer_.printerName(), Qt::MatchExactly);
        const int byDefault = PrinterCombo->findText(printers_.defaultPrinter, Qt::MatchExactly);
        chosen = named >= 0 ? named : byDefault >= 0 ? byDefault : chosen;
    }
    PrinterCombo->setCurrentIndex(chosen);
    PrinterComboChange();

    QString file = printer_.outputFileName();
    if (file.isEmpty()) {
        QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (dir.isEmpty() || !QDir(dir).exists())
            dir = QDir::homePath();
        file = QDir(dir).filePath("corvana.pdf");
    }
    FileEdit->setText(file);
    (printer_.pageLayout().orientation() == QPageLayout::Landscape ? Landscape : Portrait)
        ->setChecked(true);
    PrinterCombo->setFocus();
}

bool TPrinterSetup::pdfChosen() const {
    return PrinterCombo->currentIndex() == PrinterCombo->count() - 1;
}

void TPrinterSetup::PrinterComboChange() {
    const QPageSize kept = papers_.value(PaperCombo->currentIndex());
    QPageSize fallback = LocalePaper();
    if (pdfChosen()) {
        papers_ = PdfPapers;
    } else {
        const PrinterEntry& p = printers_.printers[PrinterCombo->currentIndex()];
        papers_ = p.papers;
        fallback = p.defaultPaper;
    }
    PaperCombo->clear();
    for (const QPageSize& paper : papers_)
        PaperCombo->addItem(paper.name());
    int index = IndexOfPaper(papers_, kept);
    if (index < 0)
        index = IndexOfPaper(papers_, fallback);
    PaperCombo->setCurrentIndex(index >= 0 ? index : 0);

    FileLabel->setEnabled(pdfChosen());
    FileEdit->setEnabled(pdfChosen());
    BrowseButton->setEnabled(pdfChosen());
    enableOk();
}

void TPrinterSetup::enableOk() {
    OkButton->setEnabled(!pdfChosen() || !FileEdit->text().trimmed().isEmpty());
}

void TPrinterSetup::BrowseButtonClick() {
    const QString file =
        QFileDialog::getSaveFileName(this, "Print to File", FileEdit->text(), "PDF files (*.pdf)");
    if (!file.isEmpty())
        FileEdit->setText(file);
}

void TPrinterSetup::OkButtonClick() {
    if (pdfChosen()) {
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(FileEdit->text().trimmed());
    } else {
        printer_.setOutputFileName(QString());
        printer_.setOutputFormat(QPrinter::NativeFormat);
        printer_.setPrinterName(PrinterCombo->currentText());
    }
    if (PaperCombo->currentIndex() >= 0)
        printer_.setPageSize(papers_[PaperCombo->currentIndex()]);
    printer_.setPageOrientation(Landscape->isChecked() ? QPageLayout::Landscape
                                                       : QPageLayout::Portrait);
    accept();
}
