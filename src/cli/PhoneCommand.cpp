// corvana-query phone NUMBER...: where each number rings (its exchange's place, else its area
// code's), the zones it may be in with their times now, and the hours of the user's own day in
// which a call is within the calling hours in every one of them.

#include "cli/Command.h"
#include "cli/ResultOutput.h"
#include "cli/StructuredOutput.h"
#include "search/Phone.h"
#include "text/Win1252.h"

#include <iostream>

namespace corvana::cli {

namespace {

const std::vector<std::string> PhoneColumns = {
    "number",  "area_code", "place",      "source",     "city",          "state",
    "country", "zones",     "time_zones", "local_time", "calling_hours", "callable_now"};

// What the source column says: where the answer comes from.
std::string PlaceWord(PhonePlace place) {
    switch (place) {
    case PhonePlace::Exchange:
        return "exchange";
    case PhonePlace::AreaCodeOnly:
        return "area code only";
    case PhonePlace::TollFree:
        return "toll-free";
    case PhonePlace::NonGeographic:
        return "non-geographic";
    case PhonePlace::UnknownArea:
        break;
    }
    return "area code not in this data";
}

Cell Text(std::string s) {
    return s.empty() ? Cell{} : Cell{Cell::Kind::Text, std::move(s)};
}

// What the place column says: the place's name, as the text gives it; nothing where the number
// has none of its own (the source says why).
std::string PlaceName(const PhoneAnswer& a) {
    switch (a.place) {
    case PhonePlace::Exchange:
        return Win1252ToUtf8(a.placeText());
    case PhonePlace::AreaCodeOnly:
        return Win1252ToUtf8(a.areaName);
    default:
        return {};
    }
}

Cell Listed(const PhoneAnswer& a, std::string PhoneZone::*field) {
    std::vector<std::string> items;
    bool any = false;
    for (const PhoneZone& zone : a.zones) {
        items.push_back(zone.*field);
        any = any || !(zone.*field).empty();
    }
    // Zones without names (a version 1 file) give no list, not a list of empty names.
    if (!any)
        items.clear();
    return Cell::list(std::move(items));
}

std::vector<Cell> Row(const PhoneAnswer& a) {
    const bool zones = !a.zones.empty();
    return {Text(a.national),
            Text(std::to_string(a.number.areaCode)),
            Text(PlaceName(a)),
            Text(PlaceWord(a.place)),
            Text(Win1252ToUtf8(a.city)),
            Text(a.state),
            Text(a.country),
            Listed(a, &PhoneZone::name),
            Listed(a, &PhoneZone::timeZone),
            Listed(a, &PhoneZone::localTime),
            zones ? Text(CallingHoursText(a.hours)) : Cell{},
            zones ? Cell{Cell::Kind::Flag, a.callableNow ? "true" : "false"}
                  : Cell{Cell::Kind::Flag, {}}};
}

void PrintAnswer(const PhoneAnswer& a) {
    std::cout << a.national << '\n';
    std::cout << "  area code:      " << a.number.areaCode << '\n';
    std::cout << "  place:          " << Win1252ToUtf8(a.placeText()) << '\n';
    if (!a.state.empty())
        std::cout << "  state:          " << a.state << '\n';
    // A US number's country goes without saying, as it always has.
    if (!a.country.empty() && a.country != "US")
        std::cout << "  country:        " << a.country << '\n';
    for (const PhoneZone& z : a.zones)
        std::cout << "  zone:           " << z.name << (z.localTime.empty() ? "" : "  ")
                  << z.localTime << '\n';
    if (a.zones.empty())
        return;
    std::cout << "  calling hours:  " << CallingHoursText(a.hours) << (a.hours ? " your time" : "")
              << '\n';
    const std::string opens = OpensText(a);
    std::cout << "  callable now:   " << (a.callableNow ? "yes" : "no")
              << (opens.empty() ? "" : ", ") << opens << '\n';
}

class Phone : public Command {
public:
    std::string_view usage() const override { return "phone NUMBER..."; }
    std::vector<const Option*> options() const override {
        return {&option::Show, &option::Caps,  &option::Format, &option::Csv,
                &option::Json, &option::Hours, &option::Zips};
    }

    int run(const Invocation& in) const override {
        if (in.texts.empty())
            throw UsageFailure{"phone takes one or more telephone numbers"};
        const ExchangesLoad load = LoadExchanges(in.data);
        if (load.status != ExchangesStatus::Loaded) {
            PrintFatal(load.message);
            return DataError;
        }
        const TimeContext time = RunTime(in);
        const PhoneContext ctx{load, in.settings, time, CallWindowOf(in.options)};
        const SearchContext search{in.data, in.settings, time, true};
        const bool structured = in.options.has(option::Csv) || in.options.has(option::Json);
        const bool zips = in.options.has(option::Zips);

        Table table;
        table.columns = PhoneColumns;
        if (zips) {
            table.columns = ZipColumns;
            table.columns.insert(table.columns.begin(), "phone");
        }
        int status = Found;
        bool first = true;
        for (const std::string& text : in.texts) {
            const PhoneResult r = AnswerPhone(text, ctx);
            if (!r.answer) {
                std::cout.flush();
                std::cerr << "corvana-query phone: \"" << text << "\": " << r.reason() << '\n';
                status = UsageError;
                continue;
            }
            const PhoneAnswer& a = *r.answer;
            if (!zips && structured) {
                table.rows.push_back(Row(a));
                continue;
            }
            if (!zips) {
                std::cout << (first ? "" : "\n");
                first = false;
                PrintAnswer(a);
                continue;
            }
            const SearchResult list = PhoneZipCodes(a, search);
            if (!list.fatal.empty() || list.ioError)
                return PrintResult(list, time, in);
            if (structured) {
                for (auto& row : TabulateResult(list, false, in.settings, time).rows) {
                    row.insert(row.begin(), Text(a.national));
                    table.rows.push_back(std::move(row));
                }
                continue;
            }
            if (!first)
                std::cout << '\n';
            first = false;
            PrintAnswer(a);
            std::cout << '\n';
            const int printed = PrintResult(list, time, in);
            if (printed == DataError)
                return printed;
        }
        if (structured)
            std::cout << (in.options.has(option::Csv) ? TableCsv(table) : TableJson(table));
        std::cout.flush();
        return status;
    }
};

} // namespace

const Command& PhoneCommand() {
    static const Phone command;
    return command;
}

} // namespace corvana::cli
