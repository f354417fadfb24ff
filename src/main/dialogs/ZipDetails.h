#pragma once

#include "data/People.h"
#include "main/dialogs/DetailsView.h"
#include "main/widgets/ScaledDialog.h"
#include "search/DetailsText.h"
#include "search/ZipDetails.h"

#include <QTimer>

#include <functional>
#include <optional>

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
    // The population figures whose group each record shows; none: no such group.
    void setPeople(const corvana::PeopleLoad* people);
    // Calls `tick` every second while a ZIP code is shown, so that its local time keeps up.
    void startTicking(std::function<void()> tick);
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
    void changeEvent(QEvent* event) override;

private:
    // Changes the shown times to those of `result`, which differs in them alone; false when
    // they cannot be found.
    bool showTimes(const corvana::ZipDetailsResult& result);
    std::vector<std::vector<corvana::DetailsGroup>>
    groupsOf(const corvana::ZipDetailsResult& result) const;
    // Writes the text of the result shown in the colours of the palette.
    void render();

    std::optional<corvana::ZipDetailsResult> shown_;
    std::function<void()> tick_;
    const corvana::PeopleLoad* people_ = nullptr;
    QTimer ticker_;
    QString zip_;
    QString text_;
};
