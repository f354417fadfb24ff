#include "mkdata/PeopleFile.h"

#include "mkdata/Builder.h"

#include <algorithm>
#include <string>

namespace corvana::mkdata {

namespace {

bool digitsOnly(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The value of at most eight digits, so that it cannot overflow; nothing for a longer run.
std::optional<std::uint32_t> smallValue(std::string_view digits) {
    if (digits.size() > 8)
        return std::nullopt;
    std::uint32_t v = 0;
    for (char c : digits)
        v = v * 10 + std::uint32_t(c - '0');
    return v;
}

std::string quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

} // namespace

PeopleRecord ReadPeopleFigures(std::string_view population, std::string_view density,
                               std::size_t line) {
    PeopleRecord r;
    if (!population.empty()) {
        std::optional<std::uint32_t> v;
        if (digitsOnly(population))
            v = smallValue(population);
        if (!v || *v > MaxPopulation)
            throw InputError(line, "bad population " + quoted(population) +
                                       " (a whole number of people from 0 to 10000000 wanted)");
        r.population = *v;
    }
    if (!density.empty()) {
        // "3989.1" or "3989": kept in tenths, exactly as written.
        const std::size_t dot = density.find('.');
        const std::string_view whole = density.substr(0, dot);
        const std::string_view tenth =
            dot == std::string_view::npos ? std::string_view("0") : density.substr(dot + 1);
        std::optional<std::uint32_t> v;
        if (digitsOnly(whole) && tenth.size() == 1 && digitsOnly(tenth))
            if (auto w = smallValue(whole))
                v = *w * 10 + std::uint32_t(tenth[0] - '0');
        if (!v || *v > MaxDensityTenths)
            throw InputError(line, "bad density " + quoted(density) +
                                       " (people per square mile from 0 to 1000000, at most one "
                                       "decimal, wanted)");
        r.densityTenths = *v;
    }
    return r;
}

} // namespace corvana::mkdata
