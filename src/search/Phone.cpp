#include "search/Phone.h"

#include "data/Records.h"
#include "format/SystemZone.h"
#include "text/Blanks.h"
#include "text/Csv.h"
#include "text/ShortString.h"
#include "text/Win1252.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>

namespace corvana {

namespace {

constexpr int MinutesPerDay = 24 * 60;

std::optional<int> hourOf(std::string_view text) {
    text = trimBlanks(text);
    int v = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < 0 || v > 24)
        return std::nullopt;
    return v;
}

LocalDateTime clockNow(const TimeContext& time) {
    static const SystemClock systemClock;
    return (time.clock ? *time.clock : systemClock).now();
}

bool userZoneValid(const Settings& s) {
    return s.timeZone >= 0 && s.timeZone <= 24;
}

// How far the user's clock runs ahead of UTC, in seconds: the zone of the settings, an hour
// more while summer time is in effect for a user who keeps it.
long userOffset(const Settings& s, const TimeContext& time) {
    return long(s.timeZone - 12) * 3600 + (time.daylightInEffect && s.daylightSavings ? 3600 : 0);
}

// The instant of the user's clock reading, in seconds since 1970.
std::int64_t utcSeconds(const LocalDateTime& t, long offset) {
    using namespace std::chrono;
    const sys_days date{year{t.year} / month{unsigned(t.month)} / day{unsigned(t.day)}};
    return std::int64_t(date.time_since_epoch() / seconds{1}) + t.hour * 3600 + t.minute * 60 +
           t.second - offset;
}

// "GMT -03:30" for a standard offset that is not whole hours.
std::string offsetLabel(long offset) {
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    char text[48];
    std::snprintf(text, sizeof text, "GMT %c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return text;
}

bool lettersOnly(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

// The program's label for a zone of the database at an instant: the label of its standard
// offset, and where that label is only an offset the zone's abbreviation of the moment, so that
// Hawaii and Alaska read at a glance ("GMT -10:00 HST").
std::string zoneLabel(const ZoneInfo& info, std::int64_t utc, int year) {
    const long standard = info.standardOffset(year);
    std::string label = standard % 3600 == 0 ? ZoneName(int(standard / 3600) + 12) : "";
    if (label.empty())
        label = offsetLabel(standard);
    const ZoneMoment m = info.at(utc);
    if (label.starts_with("GMT") && lettersOnly(m.abbreviation))
        label += " " + m.abbreviation;
    return label;
}

} // namespace

std::optional<CallWindow> ParseCallWindow(std::string_view text) {
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos)
        return std::nullopt;
    const auto start = hourOf(text.substr(0, dash));
    const auto end = hourOf(text.substr(dash + 1));
    if (!start || !end || *start >= *end)
        return std::nullopt;
    return CallWindow{*start, *end};
}

std::string PhoneAnswer::placeText() const {
    switch (place) {
    case PhonePlace::Exchange:
        return state.empty() ? city : city + ", " + state;
    case PhonePlace::AreaCodeOnly:
        return areaName.empty() ? "area code only" : areaName;
    case PhonePlace::TollFree:
        return "toll-free: no place";
    case PhonePlace::NonGeographic:
        return "non-geographic: no place";
    case PhonePlace::UnknownArea:
        break;
    }
    return "area code not in this data";
}

bool PhoneAnswer::hasZipCodes() const {
    return (place == PhonePlace::Exchange || place == PhonePlace::AreaCodeOnly) && country == "US";
}

std::string PhoneResult::reason() const {
    if (!dataProblem.empty())
        return dataProblem;
    return std::string(PhoneProblemText(problem));
}

PhoneResult AnswerPhone(std::string_view text, const PhoneContext& ctx) {
    const PhoneParse parse = ParsePhoneNumber(text);
    if (!parse.number) {
        PhoneResult r;
        r.problem = parse.problem;
        return r;
    }
    return AnswerPhone(*parse.number, ctx);
}

PhoneResult AnswerPhone(const PhoneNumber& number, const PhoneContext& ctx) {
    PhoneResult r;
    if (!ctx.exchanges.exchanges) {
        r.dataProblem = ctx.exchanges.message;
        return r;
    }
    PhoneAnswer& a = r.answer.emplace();
    a.number = number;
    a.national = number.national();
    if (number.kind != PhoneKind::Geographic) {
        a.place =
            number.kind == PhoneKind::TollFree ? PhonePlace::TollFree : PhonePlace::NonGeographic;
        return r;
    }
    const std::optional<ExchangeAnswer> found =
        ctx.exchanges.exchanges->find(number.areaCode, number.exchange);
    if (!found) {
        a.place = PhonePlace::UnknownArea;
        return r;
    }
    if (found->place) {
        a.place = PhonePlace::Exchange;
        a.city = found->place->city;
        a.state = found->place->state;
    } else {
        a.place = PhonePlace::AreaCodeOnly;
        a.state = found->areaState;
    }

    a.country = std::string(found->country);
    if (!found->place)
        a.areaName = std::string(found->areaName);

    const Settings& s = ctx.settings;
    const bool userZone = userZoneValid(s);
    const LocalDateTime now = clockNow(ctx.time);
    const long user = userOffset(s, ctx.time);
    const std::int64_t utc = utcSeconds(now, user);
    int least = 0, most = 0; // minutes the zones run ahead of the user's clock
    for (std::size_t i = 0; i < found->zones.count; ++i) {
        const std::uint8_t code = found->zones.codes[i];
        PhoneZone& z = a.zones.emplace_back();
        z.zoneByte = code;
        z.timeZone = std::string(found->zones.names[i]);
        const ZoneInfo* info = z.timeZone.empty() ? nullptr : SystemZoneInfo(z.timeZone);
        z.name = info ? zoneLabel(*info, utc, now.year) : ZoneName(ZipRecord::zoneOf(code));
        if (!userZone)
            continue;
        // Without the zone's rules, the sums DoTime makes for a ZIP line.
        const long place =
            info ? info->at(utc).offset
                 : long(ZipRecord::zoneOf(code) - 12) * 3600 +
                       (ctx.time.daylightInEffect && ZipRecord::dstOf(code) ? 3600 : 0);
        const int ahead = int((place - user) / 60);
        least = a.zones.size() == 1 ? ahead : std::min(least, ahead);
        most = a.zones.size() == 1 ? ahead : std::max(most, ahead);
        const int minute =
            ((now.hour * 60 + now.minute + ahead) % MinutesPerDay + MinutesPerDay) % MinutesPerDay;
        z.time = TimeOfDay{minute / 60, minute % 60, now.second, now.millisecond};
        z.localTime = ctx.time.formatter ? ctx.time.formatter(z.time) : FormatTimeC(z.time);
    }
    if (!userZone || a.zones.empty())
        return r;
    // A zone further ahead must start later in the user's day and ends earlier; what all of
    // them allow runs from the latest start to the earliest end.
    const int length = (ctx.window.end - ctx.window.start) * 60 - (most - least);
    if (length <= 0)
        return r;
    const int start =
        ((ctx.window.start * 60 - least) % MinutesPerDay + MinutesPerDay) % MinutesPerDay;
    a.hours = CallingHours{start, length};
    const int minute = now.hour * 60 + now.minute;
    a.callableNow = ((minute - start) % MinutesPerDay + MinutesPerDay) % MinutesPerDay < length;
    return r;
}

namespace {

std::string clockText(int minutes) {
    minutes %= MinutesPerDay;
    const int m = minutes % 60;
    return std::to_string(minutes / 60) + (m < 10 ? ":0" : ":") + std::to_string(m);
}

} // namespace

std::string CallingHoursText(const std::optional<CallingHours>& hours) {
    if (!hours)
        return "none";
    return clockText(hours->start) + " to " + clockText(hours->start + hours->length);
}

std::string OpensText(const PhoneAnswer& answer) {
    // The hours recur at the same time of the user's day, so the next opening is their start.
    if (!answer.hours || answer.callableNow)
        return {};
    return "opens at " + clockText(answer.hours->start) + " your time";
}

std::string PhoneZipHeading(const PhoneAnswer& answer) {
    return "Zip Codes For " + answer.national;
}

SearchResult PhoneZipCodes(const PhoneAnswer& answer, const SearchContext& ctx) {
    const ListHeading heading{ItemKind::Zip, PhoneZipHeading(answer)};
    SearchResult r;
    if (answer.hasZipCodes() && answer.place == PhonePlace::Exchange) {
        r = SearchTheCityWithState(answer.city, ctx, ChooseStates(ctx.data, answer.state));
        // The search lists every city that begins with the name; keep the city itself.
        const std::string want = upperAscii(answer.city + ", " + answer.state);
        std::erase_if(r.items, [&want](const ResultItem& item) {
            if (item.kind() != ItemKind::Zip || item.text.size() < 6 + want.size())
                return true;
            const std::string_view rest = std::string_view(item.text).substr(6);
            return upperAscii(rest.substr(0, want.size())) != want ||
                   (rest.size() > want.size() && rest[want.size()] != ' ');
        });
        if (!r.ok() || !r.items.empty()) {
            r.heading = heading;
            return r;
        }
        // A place the telephone data knows but the ZIP table does not: where the area code
        // reaches is the best there is.
    }
    if (answer.hasZipCodes()) {
        char code[4];
        const auto end = std::to_chars(code, code + 3, answer.number.areaCode).ptr;
        r = SearchTheArea(std::string_view(code, std::size_t(end - code)), ctx);
        if (r.ok())
            r.heading = heading;
        return r;
    }
    r = SearchResult{};
    r.listShown = true;
    r.cleared = true;
    r.heading = heading;
    r.items.push_back(ResultItem{"No matching zip codes found.", NoMatchItem{}});
    return r;
}

const std::vector<std::string_view> PhoneAnnotator::Columns = {
    "place", "state", "country", "zones", "time_zones", "local_time", "callable_now"};

PhoneAnnotator::PhoneAnnotator(const PhoneContext& ctx)
    : ctx_(ctx), entry_(std::size_t(1000) * 1000, -1), empty_(Columns.size(), ',') {}

const std::string& PhoneAnnotator::made(std::uint32_t key, const PhoneNumber& number) {
    const PhoneResult r = AnswerPhone(number, ctx_);
    std::string text;
    PhonePlace place = PhonePlace::UnknownArea;
    if (r.answer) {
        const PhoneAnswer& a = *r.answer;
        place = a.place;
        text += ',';
        if (a.place == PhonePlace::Exchange || !a.areaName.empty())
            AppendCsvField(text,
                           Win1252ToUtf8(a.place == PhonePlace::Exchange ? a.city : a.areaName));
        text += ',';
        AppendCsvField(text, Win1252ToUtf8(a.state));
        text += ',';
        AppendCsvField(text, a.country);
        text += ',';
        // Each list is one field, quoted as a whole should it ever need quotes.
        std::string zones, names, times;
        for (std::size_t i = 0; i < a.zones.size(); ++i) {
            zones += (i ? ";" : "") + a.zones[i].name;
            names += (i ? ";" : "") + a.zones[i].timeZone;
            times += (i ? ";" : "") + a.zones[i].localTime;
        }
        AppendCsvField(text, zones);
        text += ',';
        // A file without zone names (version 1) leaves the field empty, not a list of nothing.
        AppendCsvField(text, names.find_first_not_of(';') == std::string::npos ? "" : names);
        text += ',';
        AppendCsvField(text, times);
        text += ',';
        if (!a.zones.empty())
            text += a.callableNow ? "true" : "false";
    } else {
        text = empty_;
    }
    entry_[key] = std::int32_t(texts_.size());
    places_.push_back(place);
    return texts_.emplace_back(std::move(text));
}

std::string_view PhoneAnnotator::fields(std::string_view cell) {
    ++counts_.rows;
    const PhoneParse parse = ParsePhoneNumber(cell);
    if (!parse.number) {
        ++counts_.malformed;
        return empty_;
    }
    const PhoneNumber& n = *parse.number;
    const std::uint32_t key = std::uint32_t(n.areaCode) * 1000 + n.exchange;
    const std::int32_t e = entry_[key];
    const std::string& text = e >= 0 ? texts_[std::size_t(e)] : made(key, n);
    switch (places_[std::size_t(entry_[key])]) {
    case PhonePlace::Exchange:
        ++counts_.placed;
        break;
    case PhonePlace::AreaCodeOnly:
        ++counts_.areaCodeOnly;
        break;
    case PhonePlace::TollFree:
    case PhonePlace::NonGeographic:
        ++counts_.tollFree;
        break;
    case PhonePlace::UnknownArea:
        ++counts_.notInData;
        break;
    }
    return text;
}

} // namespace corvana
