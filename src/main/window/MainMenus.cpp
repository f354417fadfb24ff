#include "main/window/MainMenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <utility>

MainMenus::MainMenus(QMenuBar* bar, std::vector<LayoutComponent>& components, QObject* parent)
    : QObject(parent) {
    // The menu belongs to the window's own frame, also on desktops with a global menu bar, so
    // that the client area below it has the height the window sets.
    bar->setNativeMenuBar(false);
    auto item = [this, &components](QMenu* menu, const QString& text, QKeySequence shortcut) {
        QAction* a = menu->addAction(text);
        a->setShortcut(shortcut);
        if (!shortcut.isEmpty())
            shortcutActions_.push_back(a);
        components.push_back({});
        return a;
    };
    auto menu = [&components](QMenuBar* b, const QString& text) {
        components.push_back({});
        return b->addMenu(text);
    };
    auto ctrl = [](int key) { return QKeySequence(Qt::CTRL | Qt::Key(key)); };

    components.push_back({}); // MainMenu1
    MenuFile = menu(bar, "&File");
    MenuScreenSize = MenuFile->addMenu("Screen Si&ze");
    components.push_back({});
    N400x300 = item(MenuScreenSize, "400 x 300", ctrl(Qt::Key_F1));
    N480x360 = item(MenuScreenSize, "480 x 360", ctrl(Qt::Key_F2));
    N640x480 = item(MenuScreenSize, "&640 x 480", ctrl(Qt::Key_F3));
    N800x600 = item(MenuScreenSize, "&800 x 600", ctrl(Qt::Key_F4));
    N1024x768 = item(MenuScreenSize, "&1024 x 768", ctrl(Qt::Key_F5));
    N1280x1024 = item(MenuScreenSize, "1&280 x 1024", ctrl(Qt::Key_F6));
    MenuFile->addSeparator();
    components.push_back({});
    MenuPrint = item(MenuFile, "&Print", ctrl(Qt::Key_P));
    MenuPrinterSetup = item(MenuFile, "Printer &Setup", ctrl(Qt::Key_S));
    MenuFile->addSeparator();
    // The map window came later than the layout record: it takes no slot of it.
    MenuMap = MenuFile->addAction("&Map");
    MenuMap->setShortcut(ctrl(Qt::Key_M));
    MenuMap->setCheckable(true);
    shortcutActions_.push_back(MenuMap);
    MenuFile->addSeparator();
    components.push_back({});
    MenuTerminate = item(MenuFile, "E&xit", ctrl(Qt::Key_X));

    MenuEdit = menu(bar, "&Edit");
    MenuCopy = item(MenuEdit, "&Copy", ctrl(Qt::Key_C));
    // Newer than the recorded layout, which a menu command has no place in anyway.
    MenuNearby = MenuEdit->addAction(QString::fromUtf8("&Nearby Zip Codes\u2026"));
    MenuNearby->setShortcut(ctrl(Qt::Key_E));
    shortcutActions_.push_back(MenuNearby);
    MenuZipDetails = MenuEdit->addAction(QString::fromUtf8("Zip Code &Details\u2026"));
    MenuPhone = MenuEdit->addAction(QString::fromUtf8("&Phone Number\u2026"));
    MenuPhone->setShortcut(ctrl(Qt::Key_T));
    shortcutActions_.push_back(MenuPhone);
    // A command that is off for want of locations says why.
    MenuEdit->setToolTipsVisible(true);

    MenuConfigure = menu(bar, "&Configure");
    MenuAlwaysOnTop = item(MenuConfigure, "&Always On Top", ctrl(Qt::Key_W));
    MenuAlwaysOnTop->setCheckable(true);
    MenuConfigure->addSeparator();
    components.push_back({});
    MenuPreferences = item(MenuConfigure, "&Preferences", ctrl(Qt::Key_R));
    MenuTimeZone = item(MenuConfigure, "&Time Zone", ctrl(Qt::Key_Z));

    MenuHelp = menu(bar, "&Help");
    MenuContents = item(MenuHelp, "&Contents", ctrl(Qt::Key_N));
    MenuAbout = item(MenuHelp, "&About", ctrl(Qt::Key_A));
    MenuZipDataVersion = item(MenuHelp, "&Zip Data Version", ctrl(Qt::Key_D));
    MenuUpdates = item(MenuHelp, "&Updates", ctrl(Qt::Key_U));
    MenuOtherProducts = item(MenuHelp, "&Other Products", {});

    nameMenus();
    MenuPrint->setEnabled(false);
    MenuCopy->setEnabled(false);
    MenuNearby->setEnabled(false);
    MenuZipDetails->setEnabled(false);
    connectCommands();
}

void MainMenus::nameMenus() {
    // Menus and commands carry their names too, so that whatever looks at the window finds them
    // by name.
    const std::pair<QObject*, const char*> named[] = {{MenuFile, "MenuFile"},
                                                      {MenuScreenSize, "MenuScreenSize"},
                                                      {N400x300, "N400x300"},
                                                      {N480x360, "N480x360"},
                                                      {N640x480, "N640x480"},
                                                      {N800x600, "N800x600"},
                                                      {N1024x768, "N1024x768"},
                                                      {N1280x1024, "N1280x1024"},
                                                      {MenuPrint, "MenuPrint"},
                                                      {MenuPrinterSetup, "MenuPrinterSetup"},
                                                      {MenuMap, "MenuMap"},
                                                      {MenuTerminate, "MenuTerminate"},
                                                      {MenuEdit, "MenuEdit"},
                                                      {MenuCopy, "MenuCopy"},
                                                      {MenuNearby, "MenuNearby"},
                                                      {MenuZipDetails, "MenuZipDetails"},
                                                      {MenuPhone, "MenuPhone"},
                                                      {MenuConfigure, "MenuConfigure"},
                                                      {MenuAlwaysOnTop, "MenuAlwaysOnTop"},
                                                      {MenuPreferences, "MenuPreferences"},
                                                      {MenuTimeZone, "MenuTimeZone"},
                                                      {MenuHelp, "MenuHelp"},
                                                      {MenuContents, "MenuContents"},
                                                      {MenuAbout, "MenuAbout"},
                                                      {MenuZipDataVersion, "MenuZipDataVersion"},
                                                      {MenuUpdates, "MenuUpdates"},
                                                      {MenuOtherProducts, "MenuOtherProducts"}};
    for (auto [object, name] : named)
        object->setObjectName(name);
}

void MainMenus::connectCommands() {
    const std::pair<QAction*, int> sizes[] = {{N400x300, 400},   {N480x360, 480},
                                              {N640x480, 640},   {N800x600, 800},
                                              {N1024x768, 1024}, {N1280x1024, 1280}};
    for (auto [action, size] : sizes) {
        action->setCheckable(true);
        connect(action, &QAction::triggered, this,
                [this, size = size] { emit windowSizeChosen(size); });
    }
    connect(MenuAlwaysOnTop, &QAction::triggered, this, &MainMenus::alwaysOnTopToggled);
    const std::pair<QAction*, void (MainMenus::*)()> commands[] = {
        {MenuTerminate, &MainMenus::terminateChosen},
        {MenuMap, &MainMenus::mapToggled},
        {MenuPreferences, &MainMenus::preferencesChosen},
        {MenuTimeZone, &MainMenus::timeZoneChosen},
        {MenuAbout, &MainMenus::aboutChosen},
        {MenuZipDataVersion, &MainMenus::zipVersionChosen},
        {MenuContents, &MainMenus::contentsChosen},
        {MenuUpdates, &MainMenus::updatesChosen},
        {MenuOtherProducts, &MainMenus::otherProductsChosen},
        {MenuPrinterSetup, &MainMenus::printerSetupChosen},
        {MenuPrint, &MainMenus::printChosen},
        {MenuCopy, &MainMenus::copyChosen},
        {MenuNearby, &MainMenus::nearbyChosen},
        {MenuZipDetails, &MainMenus::zipDetailsChosen},
        {MenuPhone, &MainMenus::phoneChosen}};
    for (auto [action, chosen] : commands)
        connect(action, &QAction::triggered, this, chosen);
    connect(MenuEdit, &QMenu::aboutToShow, this, &MainMenus::editMenuOpening);
}

void MainMenus::checkSize(int size) {
    checkedSize_ = size;
    const std::pair<QAction*, int> sizes[] = {{N400x300, 400},   {N480x360, 480},
                                              {N640x480, 640},   {N800x600, 800},
                                              {N1024x768, 1024}, {N1280x1024, 1280}};
    for (auto [action, s] : sizes)
        action->setChecked(s == size);
}

void MainMenus::setAlwaysOnTop(bool on) {
    MenuAlwaysOnTop->setChecked(on);
}

void MainMenus::setMapOpen(bool open) {
    MenuMap->setChecked(open);
}

bool MainMenus::mapOpen() const {
    return MenuMap->isChecked();
}

void MainMenus::setOutputCommands(bool on) {
    MenuPrint->setEnabled(on);
    MenuCopy->setEnabled(on);
}

void MainMenus::setNearbyEnabled(bool on) {
    MenuNearby->setEnabled(on);
}

bool MainMenus::nearbyEnabled() const {
    return MenuNearby->isEnabled();
}

void MainMenus::setNearbyUnavailable(const QString& why) {
    MenuNearby->setStatusTip(why);
    MenuNearby->setToolTip(why);
}

void MainMenus::setZipDetailsEnabled(bool on) {
    MenuZipDetails->setEnabled(on);
}

bool MainMenus::zipDetailsEnabled() const {
    return MenuZipDetails->isEnabled();
}

void MainMenus::setZipDetailsUnavailable(const QString& why) {
    MenuZipDetails->setStatusTip(why);
    MenuZipDetails->setToolTip(why);
}

void MainMenus::setPhoneUnavailable(const QString& why) {
    MenuPhone->setEnabled(false);
    MenuPhone->setStatusTip(why);
    MenuPhone->setToolTip(why);
}

bool MainMenus::phoneEnabled() const {
    return MenuPhone->isEnabled();
}

std::vector<QAction*> MainMenus::listMenuCommands() const {
    return {MenuZipDetails, MenuNearby, nullptr, MenuCopy, MenuPrint};
}

bool MainMenus::takesShortcut(const QKeySequence& pressed) const {
    for (QAction* a : shortcutActions_)
        if (a->isEnabled() && a->shortcut() == pressed)
            return true;
    return false;
}
