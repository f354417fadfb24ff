#pragma once

#include "main/layout/Layout.h"

#include <QKeySequence>
#include <QObject>

#include <vector>

class QAction;
class QMenu;
class QMenuBar;

// The main window's menu bar and its commands. Each command is a signal; the window decides
// what it does. The menus keep which commands are on, the check marks and the shortcuts that
// go before the editing keys of the window's fields.
class MainMenus : public QObject {
    Q_OBJECT
public:
    // Builds the menus on `bar`; each menu and command takes its slot of the layout record in
    // `components`, in the order the record has always had.
    MainMenus(QMenuBar* bar, std::vector<LayoutComponent>& components, QObject* parent);

    // The window size whose item carries the check mark: 400, 480, 640, 800, 1024 or 1280.
    void checkSize(int size);
    int checkedSize() const { return checkedSize_; }
    void setAlwaysOnTop(bool on);
    void setMapOpen(bool open);
    bool mapOpen() const;
    // Copy and print, which need a list with output.
    void setOutputCommands(bool on);
    void setNearbyEnabled(bool on);
    bool nearbyEnabled() const;
    // Says, on the nearby command, why it stays off.
    void setNearbyUnavailable(const QString& why);
    void setZipDetailsEnabled(bool on);
    bool zipDetailsEnabled() const;
    // Says, on the details command, why it stays off.
    void setZipDetailsUnavailable(const QString& why);
    // The phone command, off with its reason when the data has no usable exchange file.
    void setPhoneUnavailable(const QString& why);
    bool phoneEnabled() const;
    // The commands of the results list's own menu, a null one for a separator.
    std::vector<QAction*> listMenuCommands() const;
    // Whether `pressed` is the shortcut of a command that is on: that command goes first.
    bool takesShortcut(const QKeySequence& pressed) const;

signals:
    void windowSizeChosen(int size);
    void alwaysOnTopToggled(bool on);
    void printChosen();
    void printerSetupChosen();
    void mapToggled();
    void terminateChosen();
    void copyChosen();
    void nearbyChosen();
    void zipDetailsChosen();
    void phoneChosen();
    // The Edit menu is about to open: its commands may still learn whether they can run.
    void editMenuOpening();
    void preferencesChosen();
    void timeZoneChosen();
    void contentsChosen();
    void aboutChosen();
    void zipVersionChosen();
    void updatesChosen();
    void otherProductsChosen();

private:
    void nameMenus();
    void connectCommands();

    QMenu* MenuFile;
    QMenu* MenuScreenSize;
    QAction* N400x300;
    QAction* N480x360;
    QAction* N640x480;
    QAction* N800x600;
    QAction* N1024x768;
    QAction* N1280x1024;
    QAction* MenuPrint;
    QAction* MenuPrinterSetup;
    QAction* MenuMap;
    QAction* MenuTerminate;
    QMenu* MenuEdit;
    QAction* MenuCopy;
    QAction* MenuNearby;
    QAction* MenuZipDetails;
    QAction* MenuPhone;
    QMenu* MenuConfigure;
    QAction* MenuAlwaysOnTop;
    QAction* MenuPreferences;
    QAction* MenuTimeZone;
    QMenu* MenuHelp;
    QAction* MenuContents;
    QAction* MenuAbout;
    QAction* MenuZipDataVersion;
    QAction* MenuUpdates;
    QAction* MenuOtherProducts;

    std::vector<QAction*> shortcutActions_;
    int checkedSize_ = 640;
};
