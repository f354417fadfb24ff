#include "search/Phone.h"

#include "data/Records.h"
#include "text/Blanks.h"
#include "text/Csv.h"
#include "text/ShortString.h"
#include "text/Win1252.h"

#include <algorithm>
#include <charconv>

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

// How many hours a place of zone byte `code` runs ahead of the user's clock; the same sums as
// DoTime makes for a ZIP line.
int hoursAhead(std::uint8_t code, const Settings& s, const TimeContext& time) {
    int d = ZipRecord::zoneOf(code) - s.timeZone;
    if (time.daylightInEffect) {
        if (s.daylightSavings)
            d -= 1;
        if (ZipRecord::dstOf(code))
            d += 1;
    }
    return d;
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
        return city + ", " + state;
    case PhonePlace::AreaCodeOnly:
        return "area code only";
    case PhonePlace::TollFree:
        return "toll-free: no place";
    case PhonePlace::NonGeographic:
        return "non-geographic: no place";
    case PhonePlace::UnknownArea:
        break;
    }
    return "area code not in this data";
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

    const Settings& s = ctx.settings;
    const bool userZone = userZoneValid(s);
    const LocalDateTime now = clockNow(ctx.time);
    int least = 0, most = 0;
    for (std::uint8_t code : found->zones.zones()) {
        PhoneZone& z = a.zones.emplace_back();
        z.zoneByte = code;
        z.name = ZoneName(ZipRecord::zoneOf(code));
        if (!userZone)
            continue;
        const int ahead = hoursAhead(code, s, ctx.time);
        least = a.zones.size() == 1 ? ahead : std::min(least, ahead);
        most = a.zones.size() == 1 ? ahead : std::max(most, ahead);
        z.time =
            TimeOfDay{((now.hour + ahead) % 24 + 24) % 24, now.minute, now.second, now.millisecond};
        z.localTime = ctx.time.formatter ? ctx.time.formatter(z.time) : FormatTimeC(z.time);
    }
    if (!userZone || a.zones.empty())
        return r;
    // A zone further ahead must start later in the user's day and ends earlier; what all of
    // them allow runs from the latest start to the earliest end.
    const int length = (ctx.window.end - ctx.window.start - (most - least)) * 60;
    if (length <= 0)
        return r;
    const int start =
        ((ctx.window.start - least) * 60 % MinutesPerDay + MinutesPerDay) % MinutesPerDay;
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
    if (answer.place == PhonePlace::Exchange) {
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
    if (answer.place == PhonePlace::Exchange || answer.place == PhonePlace::AreaCodeOnly) {
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

const std::vector<std::string_view> PhoneAnnotator::Columns = {"place", "state", "zones",
                                                               "local_time", "callable_now"};

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
        if (a.place == PhonePlace::Exchange)
            AppendCsvField(text, Win1252ToUtf8(a.city));
        text += ',';
        AppendCsvField(text, Win1252ToUtf8(a.state));
        text += ',';
        // Each list is one field, quoted as a whole should it ever need quotes.
        std::string zones, times;
        for (std::size_t i = 0; i < a.zones.size(); ++i) {
            zones += (i ? ";" : "") + a.zones[i].name;
            times += (i ? ";" : "") + a.zones[i].localTime;
        }
        AppendCsvField(text, zones);
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
