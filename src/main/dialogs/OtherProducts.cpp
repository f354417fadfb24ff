#include "main/dialogs/OtherProducts.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

QLabel* label(const QString& text, QWidget* parent, int left, int top, int width, int height,
              const QFont& font) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(left, top, width, height);
    l->setFont(font);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The examples are there to be copied into a terminal.
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

} // namespace

TOtherProducts::TOtherProducts(double scaleFactor, QSize screen, QWidget* parent)
    : TScaledDialog("Other Products", QSize(529, 302), scaleFactor, screen, parent) {
    auto* panel = new QFrame(this);
    panel->setObjectName("Panel");
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 513, 248);
    // Each block of name, text and command is spaced alike, with room to spare below the last
    // command: the text of a label may run a little wider or taller at the smaller sizes, where
    // its font is rounded to whole pixels.

    Heading = new QLabel("Companion programs of Corvana", panel);
    Heading->setGeometry(8, 8, 497, 25);
    Heading->setAlignment(Qt::AlignCenter);
    Heading->setFont(Arial(20, true));

    QueryName = label("corvana-query", panel, 12, 42, 489, 21, Arial(17, true));
    QueryText = label("This window's searches on the command line, for scripts and quick "
                      "look-ups: it prints the list, or each ZIP code found in an output format.",
                      panel, 12, 64, 489, 38, Arial(15));
    QueryExample = label("corvana-query --format 0 city \"salt lake\"", panel, 20, 108, 485, 21,
                         Arial(15, true));

    MkdataName = label("corvana-mkdata", panel, 12, 144, 489, 21, Arial(17, true));
    MkdataText = label("Builds the data files this program reads from a table of ZIP codes "
                       "(a CSV file), for example when the ZIP codes are updated.",
                       panel, 12, 166, 489, 38, Arial(15));
    MkdataExample = label("corvana-mkdata --csv zipcodes.csv --out data --date \"March 2026\"",
                          panel, 20, 210, 485, 21, Arial(15, true));

    OkButton = new QPushButton("&Ok", this);
    OkButton->setGeometry(227, 266, 75, 27);
    OkButton->setDefault(true);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);

    const std::pair<QWidget*, const char*> names[] = {{Heading, "Heading"},
                                                      {QueryName, "QueryName"},
                                                      {QueryText, "QueryText"},
                                                      {QueryExample, "QueryExample"},
                                                      {MkdataName, "MkdataName"},
                                                      {MkdataText, "MkdataText"},
                                                      {MkdataExample, "MkdataExample"},
                                                      {OkButton, "OkButton"}};
    for (auto [w, name] : names)
        w->setObjectName(name);
}
