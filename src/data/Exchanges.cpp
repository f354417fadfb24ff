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

// A block of names: `count` offsets, then `size` bytes in which each offset starts a length
// byte and at least `least` bytes of name.
bool checkNameBlock(const std::uint8_t* offsets, std::size_t count, std::size_t size,
                    std::size_t least) {
    const std::uint8_t* names = offsets + count * OffsetSize;
    for (std::size_t n = 0; n < count; ++n) {
        const std::uint32_t at = loadU32(offsets + n * OffsetSize);
        if (at >= size)
            return false;
        const std::uint8_t len = names[at];
        if (len < least || std::uint64_t(at) + 1 + len > size)
            return false;
    }
    return true;
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

std::size_t Exchanges::zoneSetAt(std::size_t n) const {
    return header_.size() + n * ZoneSetSize(header_.version);
}

std::size_t Exchanges::areaAt(std::size_t n) const {
    return zoneSetAt(header_.zoneSetCount) + n * AreaEntry::Size(header_.version);
}

std::size_t Exchanges::exchangesAt() const {
    return areaAt(header_.areaCount);
}

std::size_t Exchanges::placeOffsetsAt() const {
    return exchangesAt() + std::size_t(header_.exchangeCount) * ExchangeEntry::Size;
}

std::string_view Exchanges::zoneName(std::size_t n) const {
    // The zone names follow the place names: their offsets, then their bytes.
    const std::size_t offsets =
        placeOffsetsAt() + std::size_t(header_.placeCount) * OffsetSize + header_.namesSize;
    const std::size_t names = offsets + std::size_t(header_.zoneNameCount) * OffsetSize;
    const std::uint8_t* p = bytes_.data() + names + loadU32(bytes_.data() + offsets + n * 4);
    return std::string_view(reinterpret_cast<const char*>(p + 1), p[0]);
}

ZoneSet Exchanges::zoneSet(std::size_t n) const {
    const std::uint8_t* p = bytes_.data() + zoneSetAt(n);
    ZoneSet z;
    z.count = p[0];
    std::copy(p + 1, p + 1 + z.count, z.codes.begin());
    if (header_.version == ExchangeVersion::V2) {
        for (std::size_t i = 0; i < z.count; ++i) {
            const std::uint16_t name = loadU16(p + 1 + MaxZones + 2 * i);
            if (name != UnnamedZone)
                z.names[i] = zoneName(name);
        }
    }
    return z;
}

AreaEntry Exchanges::area(std::size_t n) const {
    return AreaEntry::decode(bytes_.data() + areaAt(n), header_.version);
}

ExchangeEntry Exchanges::exchangeAt(std::size_t n) const {
    return ExchangeEntry::decode(bytes_.data() + exchangesAt() + n * ExchangeEntry::Size);
}

ExchangePlace Exchanges::place(std::size_t n) const {
    const std::size_t offsets = placeOffsetsAt();
    const std::size_t names = offsets + std::size_t(header_.placeCount) * OffsetSize;
    const std::uint8_t* p = bytes_.data() + names + loadU32(bytes_.data() + offsets + n * 4);
    const auto* text = reinterpret_cast<const char*>(p + 1);
    const std::size_t len = p[0];
    const bool noState = text[len - 2] == 0;
    return ExchangePlace{std::string_view(text, len - 2),
                         std::string_view(text + len - 2, noState ? 0 : 2)};
}

bool Exchanges::checkZoneSets() const {
    const bool named = header_.version == ExchangeVersion::V2;
    for (std::size_t n = 0; n < header_.zoneSetCount; ++n) {
        const std::uint8_t* p = bytes_.data() + zoneSetAt(n);
        if (p[0] < 1 || p[0] > MaxZones)
            return false;
        for (std::size_t i = 1; i <= p[0]; ++i)
            if (!validZoneByte(p[i]))
                return false;
        for (std::size_t i = 0; named && i < MaxZones; ++i) {
            const std::uint16_t name = loadU16(p + 1 + MaxZones + 2 * i);
            if (name != UnnamedZone && (i >= p[0] || name >= header_.zoneNameCount))
                return false;
        }
    }
    return true;
}

bool Exchanges::checkAreas() {
    const ExchangeHeader& h = header_;
    areaIndex_.fill(-1);
    std::uint16_t lastCode = 0;
    auto letters = [](const char* s) {
        return s[0] >= 'A' && s[0] <= 'Z' && s[1] >= 'A' && s[1] <= 'Z';
    };
    for (std::size_t n = 0; n < h.areaCount; ++n) {
        const AreaEntry a = area(n);
        const std::uint32_t end = n + 1 < h.areaCount ? area(n + 1).first : h.exchangeCount;
        if (a.code < FirstNanpCode || a.code > LastNanpCode || a.code <= lastCode ||
            a.zoneSet >= h.zoneSetCount || (n == 0 && a.first != 0) || a.first > end ||
            end > h.exchangeCount)
            return false;
        const bool noState = a.state[0] == 0 && a.state[1] == 0;
        if ((!noState && !letters(a.state)) || !letters(a.country) ||
            (a.place != NoPlace && a.place >= h.placeCount))
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
    return h.areaCount != 0 || h.exchangeCount == 0;
}

bool Exchanges::checkNames() const {
    const ExchangeHeader& h = header_;
    const std::uint8_t* places = bytes_.data() + placeOffsetsAt();
    // A length byte, a city of at least one letter and the two letters of a state.
    if (!checkNameBlock(places, h.placeCount, h.namesSize, 3))
        return false;
    const std::uint8_t* zones = places + std::size_t(h.placeCount) * OffsetSize + h.namesSize;
    return checkNameBlock(zones, h.zoneNameCount, h.zoneNamesSize, 1);
}

// Every later read relies on what is checked here, so none of them needs a bound of its own.
bool Exchanges::check() {
    const std::size_t size = bytes_.size();
    if (size < ExchangeHeader::SizeV1)
        return false;
    const std::optional<ExchangeHeader> header = ExchangeHeader::decode(bytes_.data(), size);
    if (!header)
        return false;
    header_ = *header;
    const ExchangeHeader& h = header_;
    const std::uint64_t whole = std::uint64_t(h.size()) +
                                std::uint64_t(h.zoneSetCount) * ZoneSetSize(h.version) +
                                std::uint64_t(h.areaCount) * AreaEntry::Size(h.version) +
                                std::uint64_t(h.exchangeCount) * ExchangeEntry::Size +
                                std::uint64_t(h.placeCount) * OffsetSize + h.namesSize +
                                std::uint64_t(h.zoneNameCount) * OffsetSize + h.zoneNamesSize;
    if (whole != size || h.areaCount > LastNanpCode - FirstNanpCode + 1)
        return false;
    return checkZoneSets() && checkAreas() && checkNames();
}

std::optional<ExchangeAnswer> Exchanges::find(std::uint16_t areaCode,
                                              std::uint16_t exchange) const {
    if (areaCode >= areaIndex_.size() || areaIndex_[areaCode] < 0)
        return std::nullopt;
    const std::size_t n = std::size_t(areaIndex_[areaCode]);
    const AreaEntry a = area(n);
    const auto* entry = reinterpret_cast<const char*>(bytes_.data()) + areaAt(n);
    ExchangeAnswer answer;
    if (a.state[0])
        answer.areaState = std::string_view(entry + 8, 2);
    answer.country = header_.version == ExchangeVersion::V1 ? std::string_view("US")
                                                            : std::string_view(entry + 10, 2);
    if (a.place != NoPlace)
        answer.areaName = place(a.place).city;
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
