#pragma once

#include "data/Exchanges.h"
#include "format/LocalTime.h"
#include "search/Search.h"
#include "settings/Settings.h"
#include "text/PhoneNumber.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvana {

// The hours of the called place in which a call may be made: from `start` to before `end`, in
// whole hours of its local time. The federal rule is 8 to 21.
struct CallWindow {
    int start = 8;
    int end = 21;
    bool operator==(const CallWindow&) const = default;
};

// "9-20" (blanks allowed around each number): hours from 0 to 24, the start before the end.
std::optional<CallWindow> ParseCallWindow(std::string_view text);

// Where a number rings, as far as the data can tell.
enum class PhonePlace : std::uint8_t {
    Exchange,      // the exchange has a place
    AreaCodeOnly,  // the data names no place for the exchange: any zone of the area code
    TollFree,      // read, but no place
    NonGeographic, // read, but no place
    UnknownArea,   // an area code of the plan that this data does not have (Canada, the Caribbean)
};

// One zone a number may be in, with the time there now. Where the data names the zone as the
// time-zone database does and the system's database has it, its time comes from the zone's own
// rules (half-hour offsets, each place's summer time); otherwise from the zone byte, as for a
// ZIP line.
struct PhoneZone {
    std::uint8_t zoneByte = 0; // as a ZIP record holds it
    std::string timeZone;      // "America/St_Johns"; empty when the data names none
    // The program's own label, and where that is only an offset the zone's abbreviation at this
    // moment: "MST", "GMT -10:00 HST", "GMT -03:30 NDT", "GMT -04:00".
    std::string name;
    TimeOfDay time;        // the place's time of day now
    std::string localTime; // that time in the user's format
};

// The stretch of the user's own day in which it is within the call window in every zone of the
// number: from `start` to before `start + length` minutes after the user's midnight, running
// past midnight when the sum passes 1440. Empty when the zones lie too far apart for one hour
// in common, or the user's zone is off the scale.
struct CallingHours {
    int start = 0;  // minutes after the user's midnight, 0 to 1439
    int length = 0; // minutes, 1 to 1440
    bool operator==(const CallingHours&) const = default;
};

struct PhoneAnswer {
    PhoneNumber number;
    std::string national; // "(208) 334-1234"
    PhonePlace place = PhonePlace::Exchange;
    std::string city;     // Windows-1252; empty unless place is Exchange
    std::string state;    // the place's state or province, else the area code's; may be empty
    std::string country;  // the area code's country: "US", "CA", "JM" ...; empty without one
    std::string areaName; // Windows-1252: the province's or country's name of an area code
                          // outside the US, for a number whose exchange has no place
    std::vector<PhoneZone> zones; // every zone it may be in, the furthest east first
    std::optional<CallingHours> hours;
    bool callableNow = false;

    // What the place line says: "Boise, ID", "Kingston" (a place without a state), the area
    // code's province or country ("Ontario", "Jamaica"), or why there is none: "area code
    // only", "toll-free: no place", "non-geographic: no place", "area code not in this data".
    std::string placeText() const;
    // Whether the ZIP table has ZIP codes for it: a US number with a place or an area code.
    bool hasZipCodes() const;
};

// The answer for one text, or why there is none: the number cannot be read (`problem`), or the
// exchange file is missing or damaged (`dataProblem` holds its message: the window shows it as
// the reason the command is off, the CLI exits with status 3).
struct PhoneResult {
    std::optional<PhoneAnswer> answer;
    PhoneProblem problem = PhoneProblem::None;
    std::string dataProblem;

    bool ok() const { return answer.has_value(); }
    // The sentence to show when there is no answer.
    std::string reason() const;
};

// What an answer needs beside the number: the exchange file as loaded, the settings (the user's
// zone and daylight-saving switch) and the clock, and the hours to call in.
struct PhoneContext {
    const ExchangesLoad& exchanges;
    const Settings& settings;
    TimeContext time;
    CallWindow window;
};

PhoneResult AnswerPhone(std::string_view text, const PhoneContext& ctx);
// The same for a number already read.
PhoneResult AnswerPhone(const PhoneNumber& number, const PhoneContext& ctx);

// The calling hours as one text in the user's time, hours and minutes on the 24-hour clock:
// "9:00 to 21:00", "none" when there are none. (A bound is always a whole or half hour, so
// seconds would only be noise.)
std::string CallingHoursText(const std::optional<CallingHours>& hours);

// When a number outside its calling hours may next be called: "opens at 9:00 your time". Empty
// when it may be called now or has no hours.
std::string OpensText(const PhoneAnswer& answer);

// The heading of the ZIP codes of a number: "Zip Codes For (208) 334-1234".
std::string PhoneZipHeading(const PhoneAnswer& answer);

// The ZIP lines of where the number rings, under PhoneZipHeading: those of its exchange's place
// (the city search's ZIP codes of that city and state), or of its area code when the exchange has
// no place. A number without a place, or outside the US, lists "No matching zip codes found.".
SearchResult PhoneZipCodes(const PhoneAnswer& answer, const SearchContext& ctx);

// What the batch look-up appends to each row for a telephone number, and how many rows were of
// which sort. The fields of one area code and exchange are made once, the first time it comes,
// for the time of that moment: a long file costs a parse and a table look-up per row.
struct PhoneCounts {
    std::size_t rows = 0;
    std::size_t placed = 0;
    std::size_t areaCodeOnly = 0;
    std::size_t tollFree = 0;  // toll-free and the other non-geographic codes
    std::size_t notInData = 0; // an area code this data does not have
    std::size_t malformed = 0; // empty cells too
};

class PhoneAnnotator {
public:
    // The appended columns, in order.
    static const std::vector<std::string_view> Columns;

    // ctx.exchanges must be loaded.
    explicit PhoneAnnotator(const PhoneContext& ctx);

    // The appended fields of a cell, each after a comma: ",Boise,ID,MST,10:15:02,true". Zones
    // and times of several zones are ';' lists; a cell that is no number, or a number without
    // zones, leaves the fields it cannot fill empty. Texts are UTF-8 and quoted as CSV needs.
    // The view lasts until the next call.
    std::string_view fields(std::string_view cell);

    const PhoneCounts& counts() const { return counts_; }

private:
    const std::string& made(std::uint32_t key, const PhoneNumber& number);

    PhoneContext ctx_;
    PhoneCounts counts_;
    std::vector<std::int32_t> entry_; // by area code * 1000 + exchange: index into texts_, or -1
    std::vector<std::string> texts_;
    std::vector<PhonePlace> places_;
    std::string empty_;
};

} // namespace corvana
