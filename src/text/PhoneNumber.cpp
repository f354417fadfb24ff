#include "text/PhoneNumber.h"

#include "text/Blanks.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace corvana {

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool digit(char c) {
    return c >= '0' && c <= '9';
}

// The text before an extension: a marker ("x", "ext", "ext.", "extension", "#"), blanks, and
// digits to the end. A number written without one comes back whole.
std::string_view withoutExtension(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && digit(text[end - 1]))
        --end;
    if (end == text.size() || end == 0)
        return text;
    std::size_t i = end;
    while (i > 0 && (text[i - 1] == ' ' || text[i - 1] == '.' || text[i - 1] == ':'))
        --i;
    static constexpr std::array<std::string_view, 5> Markers = {"extension", "ext", "ex", "x", "#"};
    for (std::string_view m : Markers) {
        if (i < m.size())
            continue;
        bool same = true;
        for (std::size_t k = 0; k < m.size(); ++k)
            same = same && lowerAscii(text[i - m.size() + k]) == m[k];
        // "x" must not be the end of a word: "fax12" is no extension. A text that is only an
        // extension ("x12") holds no number at all.
        const std::size_t before = i - m.size();
        const bool wordStart = before == 0 || !(lowerAscii(text[before - 1]) >= 'a' &&
                                                lowerAscii(text[before - 1]) <= 'z');
        if (same && wordStart)
            return text.substr(0, before);
    }
    return text;
}

bool isServiceCode(unsigned code) {
    return code % 100 == 11;
}

} // namespace

std::string_view PhoneProblemText(PhoneProblem problem) {
    switch (problem) {
    case PhoneProblem::None:
        return {};
    case PhoneProblem::Empty:
        return "No number was given.";
    case PhoneProblem::BadCharacter:
        return "A telephone number holds only digits, blanks and the signs ( ) - . + and an "
               "extension.";
    case PhoneProblem::NotTenDigits:
        return "A North American number has ten digits after the country code 1.";
    case PhoneProblem::OutsidePlan:
        return "The number is outside the North American Numbering Plan (country code 1).";
    case PhoneProblem::AreaCodeStart:
        return "An area code cannot begin with 0 or 1.";
    case PhoneProblem::ExchangeStart:
        return "An exchange cannot begin with 0 or 1.";
    case PhoneProblem::ServiceCode:
        return "An N11 code (211 to 911) is a service, not an area code or exchange.";
    }
    return {};
}

PhoneKind KindOfAreaCode(std::uint16_t areaCode) {
    // 822 and 880 to 889 are kept for toll-free use to come; the 5XX codes are personal
    // communication services, 456 inbound international, 600 and 622 Canadian services, 700 and
    // 710 carrier and government services, 900 premium rate.
    static constexpr std::uint16_t TollFree[] = {800, 822, 833, 844, 855, 866, 877, 880, 881,
                                                 882, 883, 884, 885, 886, 887, 888, 889};
    static constexpr std::uint16_t NonGeographic[] = {456, 500, 521, 522, 523, 524, 525,
                                                      526, 527, 528, 529, 533, 544, 566,
                                                      577, 588, 600, 622, 700, 710, 900};
    if (std::find(std::begin(TollFree), std::end(TollFree), areaCode) != std::end(TollFree))
        return PhoneKind::TollFree;
    if (std::find(std::begin(NonGeographic), std::end(NonGeographic), areaCode) !=
        std::end(NonGeographic))
        return PhoneKind::NonGeographic;
    return PhoneKind::Geographic;
}

std::string PhoneNumber::national() const {
    char buf[16];
    const auto put = [&buf](std::size_t at, unsigned v, int width) {
        for (int i = width - 1; i >= 0; --i, v /= 10)
            buf[at + std::size_t(i)] = char('0' + v % 10);
    };
    buf[0] = '(';
    put(1, areaCode, 3);
    buf[4] = ')';
    buf[5] = ' ';
    put(6, exchange, 3);
    buf[9] = '-';
    put(10, line, 4);
    return std::string(buf, 14);
}

PhoneParse ParsePhoneNumber(std::string_view text) {
    PhoneParse r;
    text = trimBlanks(withoutExtension(trimBlanks(text)));
    if (text.empty()) {
        r.problem = PhoneProblem::Empty;
        return r;
    }
    // Eleven digits are enough to tell every case apart; more only need counting.
    char digits[11];
    std::size_t count = 0;
    bool plus = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (digit(c)) {
            if (count < sizeof digits)
                digits[count] = c;
            ++count;
        } else if (c == '+' && i == 0) {
            plus = true;
        } else if (c != ' ' && c != '\t' && c != '(' && c != ')' && c != '-' && c != '.' &&
                   c != '/') {
            r.problem = PhoneProblem::BadCharacter;
            return r;
        }
    }
    std::size_t first = 0;
    if (plus) {
        if (count == 0 || digits[0] != '1') {
            r.problem = count == 0 ? PhoneProblem::NotTenDigits : PhoneProblem::OutsidePlan;
            return r;
        }
        first = 1;
    } else if (count == 11 && digits[0] == '1') {
        first = 1;
    }
    if (count - first != 10) {
        r.problem = PhoneProblem::NotTenDigits;
        return r;
    }
    const auto number = [&](std::size_t at, std::size_t n) {
        unsigned v = 0;
        for (std::size_t i = 0; i < n; ++i)
            v = v * 10 + unsigned(digits[first + at + i] - '0');
        return v;
    };
    const unsigned area = number(0, 3), exchange = number(3, 3), line = number(6, 4);
    if (area < 200)
        r.problem = PhoneProblem::AreaCodeStart;
    else if (exchange < 200)
        r.problem = PhoneProblem::ExchangeStart;
    else if (isServiceCode(area) || isServiceCode(exchange))
        r.problem = PhoneProblem::ServiceCode;
    if (r.problem != PhoneProblem::None)
        return r;
    r.number = PhoneNumber{std::uint16_t(area), std::uint16_t(exchange), std::uint16_t(line),
                           KindOfAreaCode(std::uint16_t(area))};
    return r;
}

} // namespace corvana
