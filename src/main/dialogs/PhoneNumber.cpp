#include "main/dialogs/PhoneNumber.h"

#include "main/app/Messages.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int RowHeight = 22;
constexpr int FirstRow = 50;
// Three zones at most, one to a line.
constexpr int ZonesHeight = 3 * RowHeight - 2;

QLabel* Caption(QWidget* parent, const QString& text, int y) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(16, y, 108, RowHeight);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QLabel* Value(QWidget* parent, int y, int height = RowHeight) {
    auto* l = new QLabel(parent);
    l->setGeometry(128, y, 256, height);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

} // namespace

TPhoneNumber::TPhoneNumber(Source source, const QString& text, double scaleFactor, QSize screen,
                           QWidget* parent)
    : TScaledDialog("Phone Number", QSize(400, 272), scaleFactor, screen, parent),
      source_(std::move(source)) {
    // A window to keep open beside the list, not a question to answer first.
    setWindowModality(Qt::NonModal);

    Label1 = new QLabel("Phone &Number", this);
    Label1->setGeometry(8, 10, 124, 25);
    PhoneEdit = new QLineEdit(text, this);
    PhoneEdit->setGeometry(136, 9, 256, 27);
    // Room for a number with its country code and an extension.
    PhoneEdit->setMaxLength(40);
    PhoneEdit->setPlaceholderText("(208) 334-1234");
    PhoneEdit->setAccessibleName("Phone Number");
    Label1->setBuddy(PhoneEdit);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Bevel1->setGeometry(8, 44, 384, 186);

    int y = FirstRow;
    NumberLabel = Caption(this, "Number:", y);
    NumberText = Value(this, y);
    PlaceLabel = Caption(this, "Place:", y += RowHeight);
    PlaceText = Value(this, y);
    StateLabel = Caption(this, "State:", y += RowHeight);
    StateText = Value(this, y);
    ZonesLabel = Caption(this, "Zones:", y += RowHeight);
    ZonesText = Value(this, y, ZonesHeight);
    HoursLabel = Caption(this, "Call from:", y += ZonesHeight + 2);
    HoursText = Value(this, y);
    NowLabel = Caption(this, "Now:", y += RowHeight);
    NowText = Value(this, y);

    ReasonText = new QLabel(this);
    ReasonText->setGeometry(16, FirstRow, 368, 174);
    ReasonText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ReasonText->setWordWrap(true);

    ListButton = new QPushButton("&List Zip Codes", this);
    ListButton->setGeometry(8, 238, 140, 25);
    ListButton->setDefault(true);
    HelpButton = new QPushButton("&Help", this);
    HelpButton->setGeometry(214, 238, 85, 25);
    HelpButton->setAutoDefault(false);
    CloseButton = new QPushButton("&Close", this);
    CloseButton->setGeometry(307, 238, 85, 25);
    CloseButton->setAutoDefault(false);

    // The zones' times and whether a call may be made now keep up while the window is open.
    ticker_.setInterval(1000);
    connect(&ticker_, &QTimer::timeout, this, &TPhoneNumber::showTimesNow);
    ticker_.start();

    connect(PhoneEdit, &QLineEdit::textChanged, this, &TPhoneNumber::Answer);
    connect(ListButton, &QPushButton::clicked, this, &TPhoneNumber::ListButtonClick);
    connect(HelpButton, &QPushButton::clicked, this, [this] {
        if (source_.help)
            source_.help("Phone Number");
    });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    Answer();
}

QString TPhoneNumber::text() const {
    return PhoneEdit->text();
}

void TPhoneNumber::FormShow() {
    PhoneEdit->setFocus();
    PhoneEdit->selectAll();
}

void TPhoneNumber::changeEvent(QEvent* event) {
    TScaledDialog::changeEvent(event);
    // Coming back to the window shows the times, and whether a call may be made, as of now.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Answer();
}

void TPhoneNumber::Answer() {
    answer_.reset();
    const QString typed = PhoneEdit->text();
    if (typed.trimmed().isEmpty()) {
        showReason({});
        return;
    }
    const corvana::PhoneContext ctx = source_.context();
    const corvana::PhoneResult r = corvana::AnswerPhone(toCore(typed), ctx);
    if (r.answer)
        showAnswer(*r.answer);
    else
        showReason(fromCore(r.reason()));
}

void TPhoneNumber::showTimesNow() {
    if (!answer_ || !isVisible())
        return;
    const corvana::PhoneContext ctx = source_.context();
    const corvana::PhoneResult r = corvana::AnswerPhone(toCore(PhoneEdit->text()), ctx);
    // Only the times: a label given its own text again is not drawn again, and the field, its
    // selection and what a screen reader was told of it stay as they are.
    if (r.answer && r.answer->national == answer_->national) {
        answer_ = *r.answer;
        showTimes(*answer_);
    }
}

void TPhoneNumber::showTimes(const corvana::PhoneAnswer& a) {
    QStringList zones;
    for (const corvana::PhoneZone& z : a.zones)
        zones << fromCore(z.localTime.empty() ? z.name : z.name + "  " + z.localTime);
    ZonesText->setText(zones.isEmpty() ? QString("unknown") : zones.join('\n'));
    if (a.zones.empty()) {
        HoursText->clear();
        NowText->clear();
    } else {
        // Hours in the user's own time; none when the zones lie too far apart for one in common.
        HoursText->setText(
            fromCore(corvana::CallingHoursText(a.hours) + (a.hours ? " your time" : "")));
        // Outside the hours, when they open says it all, and fits the row as the rest do.
        const std::string opens = corvana::OpensText(a);
        NowText->setText(a.callableNow   ? QString("within the calling hours")
                         : opens.empty() ? QString("outside the calling hours")
                                         : fromCore(opens));
    }
}

void TPhoneNumber::showAnswer(const corvana::PhoneAnswer& a) {
    using corvana::PhonePlace;
    answer_ = a;
    NumberText->setText(fromCore(a.national));
    PlaceText->setText(fromCore(a.placeText()));
    // The country beside the province or state of a number outside the US: "ON (CA)".
    const bool abroad = !a.country.empty() && a.country != "US";
    StateText->setText(fromCore(!abroad           ? a.state
                                : a.state.empty() ? a.country
                                                  : a.state + " (" + a.country + ")"));
    showTimes(a);
    const bool hasZipCodes = a.hasZipCodes();
    ListButton->setEnabled(hasZipCodes);
    ListButton->setToolTip(!hasZipCodes ? QString()
                           : a.place == PhonePlace::Exchange
                               ? "The ZIP codes of " + fromCore(a.placeText())
                               : QString("The ZIP codes of area code %1").arg(a.number.areaCode));

    for (QLabel* l : {NumberLabel, PlaceLabel, StateLabel, ZonesLabel, HoursLabel, NowLabel,
                      NumberText, PlaceText, StateText, ZonesText, HoursText, NowText})
        l->show();
    ReasonText->hide();
    ReasonText->clear();
    // What a screen reader says of the field once the answer has changed.
    QStringList said{NumberText->text(), PlaceText->text()};
    if (!StateText->text().isEmpty())
        said << StateText->text();
    said << ZonesText->text().replace('\n', ", ");
    if (!HoursText->text().isEmpty())
        said << "call from " + HoursText->text() << NowText->text();
    PhoneEdit->setAccessibleDescription(said.join("; "));
}

void TPhoneNumber::showReason(const QString& reason) {
    for (QLabel* l : {NumberText, PlaceText, StateText, ZonesText, HoursText, NowText})
        l->clear();
    // An empty field shows the empty rows of an answer; a reason stands alone.
    for (QLabel* l : {NumberLabel, PlaceLabel, StateLabel, ZonesLabel, HoursLabel, NowLabel,
                      NumberText, PlaceText, StateText, ZonesText, HoursText, NowText})
        l->setVisible(reason.isEmpty());
    ReasonText->setText(reason);
    ReasonText->setVisible(!reason.isEmpty());
    ListButton->setEnabled(false);
    ListButton->setToolTip({});
    PhoneEdit->setAccessibleDescription(reason);
}

void TPhoneNumber::ListButtonClick() {
    // The answer may have been made minutes ago: the list shows the times of now.
    Answer();
    if (answer_ && ListButton->isEnabled() && source_.listZipCodes)
        source_.listZipCodes(*answer_);
}
