#pragma once

#include "main/widgets/ScaledDialog.h"
#include "search/Phone.h"

#include <QTimer>

#include <functional>
#include <optional>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The phone window: one field for a telephone number, answered at every key as the search field
// is: where the number rings (its exchange's place, else its area code's), the zones it may be in
// with their times now, and the hours of the user's own day in which a call is within the calling
// hours everywhere it may ring; or why the text cannot be read. It stays open beside the main
// window, which lists the ZIP codes of the answer on request.
class TPhoneNumber : public TScaledDialog {
    Q_OBJECT
public:
    struct Source {
        // What an answer needs at this moment: the exchange file, the settings and the clock.
        std::function<corvana::PhoneContext()> context;
        // Lists the ZIP codes where the answered number rings in the main window's list.
        std::function<void(const corvana::PhoneAnswer&)> listZipCodes;
        std::function<void(const QString& keyword)> help;
    };

    TPhoneNumber(Source source, const QString& text, double scaleFactor, QSize screen,
                 QWidget* parent = nullptr);

    // Answers the field's text again, at the time of now.
    void Answer();
    // The answer shown; empty while the field holds no number.
    const std::optional<corvana::PhoneAnswer>& answer() const { return answer_; }
    QString text() const;

    QLabel* Label1;
    QLineEdit* PhoneEdit;
    QFrame* Bevel1;
    QLabel* NumberLabel;
    QLabel* PlaceLabel;
    QLabel* StateLabel;
    QLabel* ZonesLabel;
    QLabel* HoursLabel;
    QLabel* NowLabel;
    QLabel* NumberText;
    QLabel* PlaceText;
    QLabel* StateText;
    QLabel* ZonesText;
    QLabel* HoursText;
    QLabel* NowText;
    QLabel* ReasonText;
    QPushButton* ListButton;
    QPushButton* HelpButton;
    QPushButton* CloseButton;

protected:
    void FormShow() override;
    void changeEvent(QEvent* event) override;

private:
    void showAnswer(const corvana::PhoneAnswer& a);
    void showTimes(const corvana::PhoneAnswer& a);
    // The shown answer's times as of now, each second.
    void showTimesNow();
    void showReason(const QString& reason);
    void ListButtonClick();

    Source source_;
    std::optional<corvana::PhoneAnswer> answer_;
    QTimer ticker_;
};
