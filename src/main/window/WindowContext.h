#pragma once

#include "data/DataSet.h"
#include "geo/Points.h"
#include "search/Search.h"
#include "settings/Settings.h"

#include <QSize>
#include <QString>

#include <string>
#include <vector>

class Messages;
class QWidget;

// What a part of the main window (the details and phone commands) takes from the window: the
// data and settings, what a search needs, the messages, the size it is drawn at and the end of
// the program. The parts know nothing else of the window and tell it what happened by signals.
class WindowContext {
public:
    virtual ~WindowContext() = default;

    // The window itself: the parent of the part's windows and the owner of its messages.
    virtual QWidget& owner() = 0;
    virtual const corvana::DataSet& data() const = 0;
    virtual corvana::Settings& settings() = 0;
    virtual corvana::SearchContext searchContext() const = 0;
    virtual Messages& messages() const = 0;
    virtual double scaleFactor() const = 0;
    virtual QSize screenSize() const = 0;
    // Whether the data directory has the ZIP codes' locations, and the locations, read on first
    // use.
    virtual bool hasLocations() const = 0;
    virtual const corvana::geo::PointsLoad& points() = 0;
    // Opens the help on `keyword`.
    virtual void help(const QString& keyword) = 0;
    // The program is ending or has ended: a part starts nothing new.
    virtual bool ended() const = 0;
    // Shows each message under "FATAL ERROR" and ends the program.
    virtual void FatalEnd(const std::vector<std::string>& messages) = 0;

protected:
    WindowContext() = default;
    WindowContext(const WindowContext&) = default;
    WindowContext& operator=(const WindowContext&) = default;
};
