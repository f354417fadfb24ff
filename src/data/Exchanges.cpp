#include "data/Exchanges.h"

#include "data/FileNames.h"

#include <algorithm>
#include <cstring>

namespace corvana {

namespace {

constexpr std::size_t OffsetSize = 4;

bool validZoneByte(std::uint8_t code) {
    const int zone = ZipRecord::zoneOf(code);
    return zone >= 1 && zone <= 24;
}

} // namespace

std::optional<Exchanges> Exchanges::fromBytes(std::span<const std::uint8_t> bytes) {
    Exchanges e;
    e.copy_.assign(bytes.begin(), bytes.end());
    e.bytes_ = e.copy_;
    if (!e.check())
        return std::nullopt;
    return e;
}

std::optional<Exchanges> Exchanges::fromFile(MappedFile file) {
    Exchanges e;
    e.map_ = std::move(file);
    e.bytes_ = e.map_->bytes();
    if (!e.check())
        return std::nullopt;
    return e;
}

ZoneSet Exchanges::zoneSet(std::size_t n) const {
    const std::uint8_t* p = bytes_.data() + ExchangeHeader::Size + n * ZoneSetSize;
    ZoneSet z;
    z.count = p[0];
    std::copy(p + 1, p + 1 + z.count, z.codes.begin());
    return z;
}

std::size_t Exchanges::areaAt(std::size_t n) const {
    return ExchangeHeader::Size + header_.zoneSetCount * ZoneSetSize + n * AreaEntry::Size;
}

AreaEntry Exchanges::area(std::size_t n) const {
    return AreaEntry::decode(bytes_.data() + areaAt(n));
}

ExchangeEntry Exchanges::exchangeAt(std::size_t n) const {
    const std::size_t at = ExchangeHeader::Size + header_.zoneSetCount * ZoneSetSize +
                           header_.areaCount * AreaEntry::Size + n * ExchangeEntry::Size;
    return ExchangeEntry::decode(bytes_.data() + at);
}

ExchangePlace Exchanges::place(std::size_t n) const {
    const std::size_t offsets = ExchangeHeader::Size + header_.zoneSetCount * ZoneSetSize +
                                header_.areaCount * AreaEntry::Size +
                                std::size_t(header_.exchangeCount) * ExchangeEntry::Size;
    const std::size_t names = offsets + std::size_t(header_.placeCount) * OffsetSize;
    const std::uint8_t* p = bytes_.data() + names + loadU32(bytes_.data() + offsets + n * 4);
    const auto* text = reinterpret_cast<const char*>(p + 1);
    const std::size_t len = p[0];
    return ExchangePlace{std::string_view(text, len - 2), std::string_view(text + len - 2, 2)};
}

// Every later read relies on what is checked here, so none of them needs a bound of its own.
bool Exchanges::check() {
    const std::size_t size = bytes_.size();
    if (size < ExchangeHeader::Size ||
        std::memcmp(bytes_.data(), ExchangeHeader::Magic, sizeof ExchangeHeader::Magic) != 0)
        return false;
    header_ = ExchangeHeader::decode(bytes_.data());
    const ExchangeHeader& h = header_;
    const std::uint64_t whole = std::uint64_t(ExchangeHeader::Size) +
                                std::uint64_t(h.zoneSetCount) * ZoneSetSize +
                                std::uint64_t(h.areaCount) * AreaEntry::Size +
                                std::uint64_t(h.exchangeCount) * ExchangeEntry::Size +
                                std::uint64_t(h.placeCount) * OffsetSize + h.namesSize;
    if (whole != size || h.areaCount > LastNanpCode - FirstNanpCode + 1)
        return false;

    for (std::size_t n = 0; n < h.zoneSetCount; ++n) {
        const std::uint8_t* p = bytes_.data() + ExchangeHeader::Size + n * ZoneSetSize;
        if (p[0] < 1 || p[0] > MaxZones)
            return false;
        for (std::size_t i = 1; i <= p[0]; ++i)
            if (!validZoneByte(p[i]))
                return false;
    }

    areaIndex_.fill(-1);
    std::uint16_t lastCode = 0;
    for (std::size_t n = 0; n < h.areaCount; ++n) {
        const AreaEntry a = area(n);
        const std::uint32_t end = n + 1 < h.areaCount ? area(n + 1).first : h.exchangeCount;
        if (a.code < FirstNanpCode || a.code > LastNanpCode || a.code <= lastCode ||
            a.zoneSet >= h.zoneSetCount || (n == 0 && a.first != 0) || a.first > end ||
            end > h.exchangeCount)
            return false;
        const bool noState = a.state[0] == 0 && a.state[1] == 0;
        const bool letters =
            a.state[0] >= 'A' && a.state[0] <= 'Z' && a.state[1] >= 'A' && a.state[1] <= 'Z';
        if (!noState && !letters)
            return false;
        lastCode = a.code;
        areaIndex_[a.code] = std::int16_t(n);
        std::uint16_t lastExchange = 0;
        for (std::uint32_t x = a.first; x < end; ++x) {
            const ExchangeEntry e = exchangeAt(x);
            if (e.exchange < FirstNanpCode || e.exchange > LastNanpCode ||
                e.exchange <= lastExchange || e.zoneSet >= h.zoneSetCount ||
                e.place >= h.placeCount)
                return false;
            lastExchange = e.exchange;
        }
    }
    if (h.areaCount == 0 && h.exchangeCount != 0)
        return false;

    const std::size_t offsets = size - h.namesSize - std::size_t(h.placeCount) * OffsetSize;
    for (std::size_t n = 0; n < h.placeCount; ++n) {
        const std::uint32_t at = loadU32(bytes_.data() + offsets + n * OffsetSize);
        // A length byte, a city of at least one letter and the two letters of a state.
        if (at >= h.namesSize)
            return false;
        const std::uint8_t len = bytes_[size - h.namesSize + at];
        if (len < 3 || std::uint64_t(at) + 1 + len > h.namesSize)
            return false;
    }
    return true;
}

std::optional<ExchangeAnswer> Exchanges::find(std::uint16_t areaCode,
                                              std::uint16_t exchange) const {
    if (areaCode >= areaIndex_.size() || areaIndex_[areaCode] < 0)
        return std::nullopt;
    const std::size_t n = std::size_t(areaIndex_[areaCode]);
    const AreaEntry a = area(n);
    ExchangeAnswer answer;
    if (a.state[0])
        answer.areaState =
            std::string_view(reinterpret_cast<const char*>(bytes_.data()) + areaAt(n) + 8, 2);
    answer.areaZones = zoneSet(a.zoneSet);
    answer.zones = answer.areaZones;
    std::uint32_t lo = a.first;
    std::uint32_t hi = n + 1 < header_.areaCount ? area(n + 1).first : header_.exchangeCount;
    while (lo < hi) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        const ExchangeEntry e = exchangeAt(mid);
        if (e.exchange == exchange) {
            answer.place = place(e.place);
            answer.zones = zoneSet(e.zoneSet);
            break;
        }
        if (e.exchange < exchange)
            lo = mid + 1;
        else
            hi = mid;
    }
    return answer;
}

ExchangesLoad LoadExchanges(const DataSet& data) {
    const std::string path = data.path(filenames::ExchangeDat);
    ExchangesLoad load;
    auto [file, there] = MapOptionalFile(path);
    if (!file) {
        load.status = there ? ExchangesStatus::Damaged : ExchangesStatus::Missing;
        load.message = there ? msg::ExchangesUnreadable : msg::NoExchanges;
        return load;
    }
    load.exchanges = Exchanges::fromFile(std::move(*file));
    load.status = load.exchanges ? ExchangesStatus::Loaded : ExchangesStatus::Damaged;
    load.message = load.exchanges ? "" : msg::ExchangesCorrupt;
    return load;
}

} // namespace corvana
