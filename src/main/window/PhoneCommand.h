#pragma once

#include "data/Exchanges.h"
#include "search/Search.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class MainMenus;
class QWidget;
class WindowContext;
class TPhoneNumber;

// The main window's phone command: the exchange file, read the first time the command may be
// wanted, the phone window while it is open, and the text it held when last closed.
class PhoneCommand : public QObject {
    Q_OBJECT
public:
    // `apply` shows a result in the main list as a search's.
    PhoneCommand(WindowContext& context, MainMenus& menus,
                 std::function<void(corvana::SearchResult)> apply);
    ~PhoneCommand() override;

    // At start: data without the exchange file leaves the command off, saying why. Only
    // whether the file is there: it is read when first wanted.
    void checkData();
    // Reads the file if that has not been done; a damaged one turns the command off with its
    // reason. Whether the command can run.
    bool available();
    // Opens the phone window, or brings it forward; a damaged file is reported instead.
    void MenuPhoneClick();
    // The window size changed: an open phone window is drawn again at the new size.
    void rescale();
    void closeWindow();

    TPhoneNumber* phoneWindow() const;

private:
    WindowContext& context_;
    QWidget& window_;
    MainMenus& menus_;
    std::function<void(corvana::SearchResult)> apply_;
    corvana::ExchangesOnDemand exchanges_;
    QPointer<TPhoneNumber> dialog_;
    QString text_;
};
