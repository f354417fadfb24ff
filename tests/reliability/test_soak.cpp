// A long seeded walk of keystrokes through the searches on the real data set, as the window
// drives them: typing (mostly the beginnings of real names, codes and ZIP codes), deleting,
// switching modes, changing the state filter and the State-mode abbreviation. After every
// step the list must be sorted, every ZIP line must name a record that reads back as its ZIP
// code, and the heading and display must fit the length of the text.
#include "TestClock.h"
#include "TestUtil.h"

#include "data/DataSet.h"
#include "data/ZipFile.h"
#include "search/Search.h"
#include "text/Blanks.h"
#include "text/ShortString.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <random>

using namespace corvana;
using corvana::test::TestClock;

namespace {

constexpr std::size_t Keystrokes = 100000;

enum Mode { Zip = 1, City, State, County, Area };

// The field limits of the five modes; the State mode's limit is that of its city field.
std::size_t limitOf(Mode m) {
    switch (m) {
    case Zip:
        return 5;
    case Area:
        return 3;
    default:
        return 30;
    }
}

// The window's input state and the last result it shows.
struct Walk {
    Walk(const DataSet& d, const ZipFile& z) : data(d), zips(z) {}

    const DataSet& data;
    const ZipFile& zips;
    Settings settings;
    TestClock clock{LocalDateTime{2026, 3, 8, 1, 59, 30, 0}};
    SearchContext ctx{data, settings, TimeContext{false, &clock, FormatTimeC}};
    std::mt19937 rng{20260308};

    std::vector<std::string> cities, counties, zipCodes, areaCodes, abbrevs;

    Mode mode = Zip;
    std::string first;       // SearchFirstEdit
    std::string second;      // SearchSecondEdit, which keeps its text while hidden
    std::string abbrev;      // State mode: SearchFirstCombo
    std::string stateCombo;  // City and County modes: StateCombo
    std::vector<int> chosen; // State mode: ChosenStates
    std::string target;      // the name being typed
    std::size_t keystrokes = 0, searches = 0, zipLines = 0;

    std::size_t pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    }
    bool chance(int percent) { return int(pick(100)) < percent; }

    void newTarget() {
        switch (mode) {
        case Zip:
            target = zipCodes[pick(zipCodes.size())];
            break;
        case City:
        case State:
            target = cities[pick(cities.size())];
            break;
        case County:
            target = counties[pick(counties.size())];
            break;
        case Area:
            target = areaCodes[pick(areaCodes.size())];
            break;
        }
        if (mode == State) {
            abbrev.clear();
            chosen.clear();
        }
    }

    std::string& field() { return mode == State ? second : first; }

    void run() {
        const std::string text(trimBlanks(field(), Blanks::Spaces));
        SearchResult r;
        switch (mode) {
        case Zip:
            r = SearchTheZip(text, ctx);
            break;
        case City:
            r = SearchTheCity(text, ctx, stateCombo);
            break;
        case State:
            r = SearchTheCityWithState(text, ctx, chosen);
            break;
        case County:
            r = SearchTheCounty(text, ctx, stateCombo);
            break;
        case Area:
            r = SearchTheArea(text, ctx);
            break;
        }
        ++searches;
        check(text, r);
    }

    void check(const std::string& text, const SearchResult& r) {
        const std::size_t n = text.size();
        std::string where = "keystroke " + std::to_string(keystrokes) + " mode " +
                            std::to_string(mode) + " text \"" + text + "\"";
        ASSERT_TRUE(r.fatal.empty()) << where << ": " << r.fatal.front();
        ASSERT_FALSE(r.ioError) << where << ": " << *r.ioError;

        struct Expect {
            bool shown, controls;
            const char* heading;
        };
        Expect e{};
        switch (mode) {
        case Zip:
            e = {n >= 1, n >= 3,
                 n == 1   ? "Potential States"
                 : n == 2 ? "Cities With Most Zip Codes In Area"
                          : "Possible Cities"};
            break;
        case City:
            e = {n >= 2, n >= 3, n == 2 ? "Possible Cities" : "Possible Zip Codes"};
            break;
        case State:
            e = {n >= 1, n >= 2, "Possible Cities"};
            break;
        case County:
            e = {n >= 1, n >= 3, n <= 2 ? "Possible Counties" : "Possible Zip Codes"};
            break;
        case Area:
            e = {n == 3, n == 3, "Possible Zip Codes"};
            break;
        }
        ASSERT_EQ(r.listShown, e.shown) << where;
        ASSERT_EQ(r.outputControls, e.controls) << where;
        // A hidden list keeps its old items; a shown one was filled afresh.
        ASSERT_EQ(r.cleared, e.shown) << where;
        if (!r.cleared)
            return;
        ASSERT_EQ(r.heading ? r.heading->text : "", e.heading) << where;

        const bool zipList = e.controls;
        for (std::size_t i = 0; i < r.items.size(); ++i) {
            const ResultItem& item = r.items[i];
            ASSERT_LE(item.text.size(), ShortMax) << where;
            if (i > 0) {
                ASSERT_FALSE(ItemLess(item.text, r.items[i - 1].text))
                    << where << ": \"" << r.items[i - 1].text << "\" before \"" << item.text
                    << "\"";
            }
            if (item.text.starts_with("No match")) {
                ASSERT_EQ(r.items.size(), 1u) << where;
                ASSERT_FALSE(item.record()) << where;
                continue;
            }
            ASSERT_EQ(bool(item.record()), zipList) << where << ": " << item.text;
            if (!item.record())
                continue;
            ASSERT_LT(*item.record(), zips.recordCount()) << where;
            ZipRecord rec = zips.read(*item.record());
            ASSERT_EQ(item.text.substr(0, 5), rec.zipText()) << where;
            ASSERT_EQ(item.text[5], ' ') << where;
            ++zipLines;
        }
    }

    // One keystroke of the user; false when the field refused it and nothing ran.
    bool step() {
        ++keystrokes;
        int roll = int(pick(100));
        if (roll < 2) {
            mode = Mode(1 + pick(5));
            settings.showCounty = chance(50);
            settings.showAreaCode = chance(50);
            settings.showTimeZone = chance(30);
            settings.showCurrentTime = chance(20);
            settings.citiesInCaps = chance(30);
            settings.countiesInCaps = chance(30);
            settings.statesInCaps = chance(30);
            // Setting up a mode empties its first field, which runs its search once; the State
            // mode's city field stays hidden until an abbreviation is chosen.
            first.clear();
            newTarget();
            if (mode != State)
                run();
            return true;
        }
        if (roll < 5 && (mode == City || mode == County)) {
            if (chance(50))
                settings.allState = !settings.allState;
            else
                stateCombo = abbrevs[pick(abbrevs.size())];
            run();
            return true;
        }
        if (mode == State && (roll < 8 || chosen.empty()))
            return stepAbbreviation();
        std::string& f = field();
        if (roll < 30) {
            if (f.empty())
                return false;
            f.pop_back();
            run();
            return true;
        }
        if (f.size() >= limitOf(mode))
            return false;
        if (roll < 85 && f.size() < target.size() && target.starts_with(f)) {
            f += target[f.size()];
        } else {
            static const std::string letters =
                "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ-.'";
            static const std::string digits = "0123456789";
            const std::string& from =
                (mode == Zip || (mode == Area && chance(80))) ? digits : letters;
            f += from[pick(from.size())];
            if (chance(20))
                newTarget();
        }
        run();
        return true;
    }

    // The State mode's abbreviation: typed letter by letter, or stepped with the spin button.
    bool stepAbbreviation() {
        if (chance(30)) {
            std::size_t at = 0;
            auto it = std::find(abbrevs.begin(), abbrevs.end(), abbrev);
            if (it != abbrevs.end())
                at = chance(50) ? (std::size_t(it - abbrevs.begin()) + 1) % abbrevs.size()
                                : (std::size_t(it - abbrevs.begin()) + abbrevs.size() - 1) %
                                      abbrevs.size();
            abbrev = abbrevs[at];
            chosen = ChooseStates(data, abbrev);
            run();
            return true;
        }
        if (abbrev.size() == 2 || (!abbrev.empty() && chance(20))) {
            abbrev.pop_back();
            chosen.clear();
            return true;
        }
        abbrev += chance(80) ? abbrevs[pick(abbrevs.size())][abbrev.size()] : char('A' + pick(26));
        if (abbrev.size() == 2) {
            chosen = ChooseStates(data, abbrev);
            if (!chosen.empty() && !second.empty())
                run();
        }
        return true;
    }
};

std::vector<std::string> cityNames(const DataSet& data) {
    std::vector<std::string> names;
    const std::string bytes = corvana::test::readFile(data.path("CITY.DAT"));
    std::size_t pos = 0;
    while (pos + 1 < bytes.size()) {
        std::size_t len = std::uint8_t(bytes[pos]);
        names.push_back(bytes.substr(pos + 1, len - 1));
        std::size_t at = pos + 1 + len;
        std::size_t n = std::uint8_t(bytes[at]) | (std::uint8_t(bytes[at + 1]) << 8);
        pos = at + 2 + 2 * n;
    }
    return names;
}

} // namespace

TEST(Soak, HundredThousandKeystrokesThroughTheSearches) {
    DataSet data;
    data.dir = CORVANA_BIN_DIR;
    if (!std::filesystem::exists(data.path("ZIPCODE.DAT")))
        GTEST_SKIP() << "the real data files are not built";
    ASSERT_TRUE(LoadInData(data).ok());
    auto zips = ZipFile::open(data);
    ASSERT_TRUE(zips);

    Walk w(data, *zips);
    w.cities = cityNames(data);
    for (const auto& c : data.counties)
        w.counties.emplace_back(c.name());
    for (std::size_t i = 0; i < zips->recordCount(); i += 7)
        w.zipCodes.push_back(zips->read(std::int64_t(i)).zipText());
    for (std::size_t code = 0; code < data.areaTable.size(); ++code)
        if (data.areaTable[code] >= 0)
            w.areaCodes.push_back(std::to_string(code));
    w.abbrevs = StateAbbreviations(data);
    ASSERT_FALSE(w.cities.empty() || w.counties.empty() || w.areaCodes.empty());
    w.newTarget();

    while (w.keystrokes < Keystrokes && !::testing::Test::HasFatalFailure())
        w.step();
    std::cout << "soaked " << w.keystrokes << " keystrokes, " << w.searches << " searches, "
              << w.zipLines << " ZIP lines checked\n";
}
