#include "data/ZipFacts.h"

#include "data/FileNames.h"
#include "data/MappedFile.h"
#include "data/ZipFile.h"

#include <array>

namespace corvana {

namespace {

constexpr std::array<std::string_view, ZipKindCount> KindNames = {"", "standard",
                                                                  "po_box_or_unique", "military"};
constexpr std::size_t MaxZoneName = 64;
// Five decimal digits.
constexpr std::uint32_t MaxFips = 99999;

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '+';
}

// Walks one record's bytes; every read is checked against the record's end. With `out`, also
// fills it. Returns false at the first fault.
class RecordReader {
public:
    RecordReader(const std::uint8_t* at, std::size_t size) : at_(at), left_(size) {}

    bool read(std::uint32_t zoneCount, ZipFactsEntry* out, const std::vector<std::string>* zones) {
        std::uint8_t kind = 0, zone = 0, flags = 0, n = 0;
        if (!u8(kind) || !u8(zone) || !u8(flags) || kind >= ZipKindCount || zone > zoneCount ||
            (flags & ~FactsRecord::AllFlags) != 0)
            return false;
        if (out) {
            out->kind = ZipKind(kind);
            out->zoneName = zone ? std::string_view((*zones)[zone - 1u]) : std::string_view();
            out->hasMainCounty = flags & FactsRecord::MainCounty;
            out->hasMainAreaCode = flags & FactsRecord::MainAreaCode;
        }
        if (!u8(n) || ((flags & FactsRecord::MainCounty) && n == 0))
            return false;
        for (std::uint8_t i = 0; i < n; ++i) {
            std::uint32_t fips = 0;
            std::string_view name;
            if (!u32(fips) || fips > MaxFips || !text(name) || name.empty())
                return false;
            if (out)
                out->counties.push_back(FactsCountyView{fips, name});
        }
        if (!u8(n) || ((flags & FactsRecord::MainAreaCode) && n == 0))
            return false;
        for (std::uint8_t i = 0; i < n; ++i) {
            std::uint16_t code = 0;
            if (!u16(code) || code == 0 || code > 999)
                return false;
            if (out)
                out->areaCodes.push_back(code);
        }
        if (!u8(n))
            return false;
        for (std::uint8_t i = 0; i < n; ++i) {
            std::string_view name;
            if (!text(name) || name.empty())
                return false;
            if (out)
                out->otherCities.push_back(name);
        }
        return left_ == 0;
    }

private:
    bool take(std::size_t n) {
        if (n > left_)
            return false;
        left_ -= n;
        return true;
    }
    bool u8(std::uint8_t& v) {
        if (!take(1))
            return false;
        v = *at_++;
        return true;
    }
    bool u16(std::uint16_t& v) {
        if (!take(2))
            return false;
        v = loadU16(at_);
        at_ += 2;
        return true;
    }
    bool u32(std::uint32_t& v) {
        if (!take(4))
            return false;
        v = loadU32(at_);
        at_ += 4;
        return true;
    }
    bool text(std::string_view& v) {
        std::uint8_t len = 0;
        if (!u8(len) || !take(len))
            return false;
        v = std::string_view(reinterpret_cast<const char*>(at_), len);
        at_ += len;
        return true;
    }

    const std::uint8_t* at_;
    std::size_t left_;
};

} // namespace

std::string_view KindName(ZipKind kind) {
    const auto k = std::size_t(kind);
    return k < KindNames.size() ? KindNames[k] : std::string_view();
}

std::optional<ZipKind> KindOfName(std::string_view name) {
    for (std::size_t k = 1; k < KindNames.size(); ++k)
        if (name == KindNames[k])
            return ZipKind(k);
    return std::nullopt;
}

bool IsZoneNameForm(std::string_view name) {
    if (name.empty() || name.size() > MaxZoneName || name.front() < 'A' || name.front() > 'Z')
        return false;
    std::size_t parts = 1, partLength = 0;
    for (char c : name) {
        if (c == '/') {
            if (partLength == 0)
                return false;
            ++parts;
            partLength = 0;
        } else if (isNameChar(c)) {
            ++partLength;
        } else {
            return false;
        }
    }
    return partLength > 0 && parts >= 2 && parts <= 3;
}

KindSet KindSet::of(std::initializer_list<ZipKind> kinds) {
    KindSet set;
    set.bits_ = 0;
    for (ZipKind k : kinds)
        if (k != ZipKind::Unknown)
            set.bits_ |= std::uint8_t(1u << std::uint8_t(k));
    // Unknown always passes.
    set.bits_ |= 1u;
    return set;
}

std::optional<KindSet> KindSet::parse(std::string_view list) {
    auto trim = [](std::string_view s) {
        while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
            s.remove_prefix(1);
        while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
            s.remove_suffix(1);
        return s;
    };
    if (trim(list) == "all")
        return KindSet::all();
    KindSet set = of({});
    bool any = false;
    while (true) {
        const std::size_t comma = list.find(',');
        auto kind = KindOfName(trim(list.substr(0, comma)));
        if (!kind)
            return std::nullopt;
        set.bits_ |= std::uint8_t(1u << std::uint8_t(*kind));
        any = true;
        if (comma == std::string_view::npos)
            break;
        list.remove_prefix(comma + 1);
    }
    return any ? std::optional<KindSet>(set) : std::nullopt;
}

std::string KindSet::text() const {
    if (isAll())
        return "all";
    std::string out;
    for (std::size_t k = 1; k < ZipKindCount; ++k)
        if ((bits_ >> k) & 1u) {
            if (!out.empty())
                out += ',';
            out += KindNames[k];
        }
    return out;
}

const FactsLoad& LazyFacts::get() const {
    std::call_once(once_, [this] { load_ = LoadFacts(data_); });
    return load_;
}

std::string FactsCountyView::fipsText() const {
    if (fips == 0)
        return {};
    std::string digits = std::to_string(fips);
    return std::string(5 - std::min<std::size_t>(digits.size(), 5), '0') + digits;
}

std::optional<ZipFacts> ZipFacts::parse(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < FactsHeader::Size || !FactsHeader::hasMagic(bytes.data()))
        return std::nullopt;
    const FactsHeader header = FactsHeader::decode(bytes.data());
    // Checked before any multiplication, so that no count can overflow a size.
    if (header.recordCount > 65536 || header.zoneCount > MaxFactsItems ||
        header.bodySize > bytes.size())
        return std::nullopt;

    ZipFacts f;
    std::size_t at = FactsHeader::Size;
    for (std::uint32_t z = 0; z < header.zoneCount; ++z) {
        if (at >= bytes.size())
            return std::nullopt;
        const std::size_t len = bytes[at++];
        if (len > bytes.size() - at)
            return std::nullopt;
        std::string name(reinterpret_cast<const char*>(bytes.data() + at), len);
        if (!IsZoneNameForm(name))
            return std::nullopt;
        f.zones_.push_back(std::move(name));
        at += len;
    }
    const std::size_t offsetBytes = (std::size_t(header.recordCount) + 1) * 4;
    if (offsetBytes > bytes.size() - at || bytes.size() - at - offsetBytes != header.bodySize)
        return std::nullopt;
    f.offsets_.reserve(header.recordCount + 1);
    for (std::uint32_t i = 0; i <= header.recordCount; ++i, at += 4) {
        const std::uint32_t o = loadU32(bytes.data() + at);
        if ((i == 0 && o != 0) || (i > 0 && o < f.offsets_.back()) || o > header.bodySize)
            return std::nullopt;
        f.offsets_.push_back(o);
    }
    if (f.offsets_.back() != header.bodySize)
        return std::nullopt;
    f.body_ = bytes.subspan(at, header.bodySize);
    for (std::uint32_t n = 0; n < header.recordCount; ++n) {
        RecordReader r(f.body_.data() + f.offsets_[n], f.offsets_[n + 1] - f.offsets_[n]);
        if (!r.read(header.zoneCount, nullptr, nullptr))
            return std::nullopt;
    }
    return f;
}

std::optional<ZipFacts> ZipFacts::fromBytes(std::span<const std::uint8_t> bytes) {
    auto copy = std::make_shared<const std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
    auto f = parse(std::span<const std::uint8_t>(*copy));
    if (f)
        f->owned_ = std::move(copy);
    return f;
}

std::optional<ZipFactsEntry> ZipFacts::entry(std::uint32_t n) const {
    if (n >= recordCount())
        return std::nullopt;
    ZipFactsEntry e;
    RecordReader r(body_.data() + offsets_[n], offsets_[n + 1] - offsets_[n]);
    // Every record was checked when the file was opened.
    if (!r.read(std::uint32_t(zones_.size()), &e, &zones_))
        return std::nullopt;
    return e;
}

ZipKind ZipFacts::kind(std::uint32_t n) const {
    if (n >= recordCount() || offsets_[n] == offsets_[n + 1])
        return ZipKind::Unknown;
    return ZipKind(body_[offsets_[n]]);
}

FactsLoad LoadFacts(const DataSet& data) {
    const std::string path = data.path(filenames::FactsDat);
    FactsLoad load;
    auto [file, there] = MapOptionalFile(path);
    if (!file) {
        load.status = there ? FactsStatus::Damaged : FactsStatus::Missing;
        load.message = there ? msg::FactsUnreadable : msg::NoFacts;
        return load;
    }
    // A copy, as POINTS.DAT's records are: a file cut short under a mapping would fault.
    load.facts = ZipFacts::fromBytes(file->bytes());
    // Facts of other ZIP data would describe every ZIP code wrongly, quietly.
    if (load.facts)
        if (auto zips = ZipFile::open(data);
            zips && zips->recordCount() != load.facts->recordCount())
            load.facts.reset();
    load.status = load.facts ? FactsStatus::Loaded : FactsStatus::Damaged;
    load.message = load.facts ? "" : msg::FactsCorrupt;
    return load;
}

} // namespace corvana
