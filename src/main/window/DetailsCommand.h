#pragma once

#include "data/People.h"
#include "data/ZipFacts.h"
#include "search/ZipDetails.h"

#include <QObject>
#include <QPointer>

#include <optional>

class MainMenus;
class ResultsView;
class QWidget;
class WindowContext;
class TZipDetails;

// The main window's details command: the facts file, read when the details are first wanted,
// and the one details window while it is open, which follows the list's current ZIP line.
class DetailsCommand : public QObject {
    Q_OBJECT
public:
    static const char* const NothingListed;

    DetailsCommand(WindowContext& context, MainMenus& menus, ResultsView& results);
    ~DetailsCommand() override;

    // The facts when they could be read; nothing when missing or damaged.
    const corvana::ZipFacts* facts() const { return facts_.facts(); }
    // The command is on while the list shows ZIP lines and the facts are not damaged.
    void update();
    // Opens the details window on the current ZIP line, or shows that line in the open one.
    void MenuZipDetailsClick();
    // The open details window shows the current ZIP line, or says that the list has none.
    void follow();
    void closeWindow();
    TZipDetails* detailsWindow() const;

private:
    // Shows the facts of the current ZIP line, opening the window if need be; it takes the keys
    // when `activate`.
    void show(bool activate);
    corvana::ZipDetailsResult detailsOf(const std::string& zip);
    // The open window's ZIP code again, for its local time now.
    void tick();

    WindowContext& context_;
    QWidget& window_;
    MainMenus& menus_;
    ResultsView& results_;
    corvana::LazyFacts facts_;
    std::optional<corvana::PeopleLoad> people_;
    bool damaged_ = false;
    QPointer<TZipDetails> details_;
};
