#pragma once

#include "main/dialogs/DetailsView.h"
#include "main/widgets/ScaledDialog.h"
#include "search/ZipDetails.h"

class QLabel;
class QPushButton;

// Everything known about one ZIP code, every record of it in groups. Not modal: it stays open
// beside the main window, which hands it the ZIP code of each line chosen while it is open.
class TZipDetails : public TScaledDialog {
    Q_OBJECT
public:
    TZipDetails(double scaleFactor, QSize screen, QWidget* parent = nullptr);

    // Shows the facts of `result`; a result without records shows its reason.
    void showDetails(const corvana::ZipDetailsResult& result);
    // Shows no ZIP code, only `why`; there is nothing to copy.
    void showNothing(const QString& why);
    // The ZIP code shown, five digits; empty before the first.
    const QString& zipCode() const { return zip_; }
    // The facts as plain text, as Ctrl+C and the copy button put them on the clipboard.
    const QString& plainText() const { return text_; }
    void copyText();

    QLabel* Heading;
    TDetailsView* Details;
    QPushButton* CopyButton;
    QPushButton* CloseButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString zip_;
    QString text_;
};
