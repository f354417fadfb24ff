#include "data/DataSet.h"

#include "data/Errors.h"
#include "data/FileNames.h"
#include "data/MappedFile.h"
#include "data/Records.h"
#include "text/ShortString.h"

#include <climits>
#include <unistd.h>

namespace corvana {

std::string DataSet::path(std::string_view name) const {
    std::string p = dir;
    p += '/';
    p += name;
    return p;
}

std::string_view DataSet::stateAbbrev(int n) const {
    if (n < 0 || std::size_t(n) >= states.size())
        return {};
    return std::string_view(states[std::size_t(n)]).substr(0, 2);
}

std::string_view DataSet::countyName(int n) const {
    if (n < 0 || std::size_t(n) >= counties.size())
        return {};
    return counties[std::size_t(n)].name();
}

namespace {

// Splits a text file into lines as a line-by-line reader would: CR LF, LF or CR end a line, a
// last line without an end still counts, and each line is cut to 255 characters.
std::vector<std::string> textLines(std::span<const std::uint8_t> bytes, std::size_t maxLines) {
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < bytes.size() && lines.size() < maxLines) {
        std::size_t start = i;
        while (i < bytes.size() && bytes[i] != '\n' && bytes[i] != '\r')
            ++i;
        std::size_t len = std::min<std::size_t>(i - start, ShortMax);
        lines.emplace_back(reinterpret_cast<const char*>(bytes.data() + start), len);
        if (i < bytes.size() && bytes[i] == '\r') {
            ++i;
            if (i < bytes.size() && bytes[i] == '\n')
                ++i;
        } else if (i < bytes.size()) {
            ++i;
        }
    }
    return lines;
}

bool loadStates(DataSet& data, LoadResult& result) {
    auto file = MappedFile::open(data.path(filenames::StateDat));
    if (!file) {
        result.fatal.emplace_back(msg::StateNotFound);
        return false;
    }
    data.states = textLines(file->bytes(), SIZE_MAX);
    return true;
}

bool loadCounties(DataSet& data, LoadResult& result) {
    auto file = MappedFile::open(data.path(filenames::CountyDat));
    if (!file) {
        result.fatal.emplace_back(msg::CountyNotFound);
        return false;
    }
    ByteCursor in(file->bytes());
    while (!in.atEnd()) {
        std::uint8_t len = 0;
        CountyEntry entry;
        in.readU8(len);
        entry.text.resize(len);
        // A body without a state byte, or a state the state table lacks, would make every
        // later use of the entry guess: such a file is as corrupt as one cut short.
        if (len == 0 || !in.read(entry.text.data(), len) || !in.readI32(entry.zipListOffset) ||
            std::size_t(entry.stateNumber()) >= data.states.size()) {
            result.fatal.emplace_back(msg::CountyCorrupt);
            return false;
        }
        data.counties.push_back(std::move(entry));
    }
    return true;
}

} // namespace

LoadResult LoadZIdx(DataSet& data) {
    LoadResult result;
    for (auto& e : data.zipIndex)
        e.first = -1;
    if (auto file = MappedFile::open(data.path(filenames::ZipIdx))) {
        auto bytes = file->bytes();
        std::size_t whole = bytes.size() / ZipIndexRecord::Size;
        for (std::size_t r = 0; r < whole; ++r) {
            ZipIndexRecord rec = ZipIndexRecord::decode(bytes.data() + r * ZipIndexRecord::Size);
            // The index has one entry per three-digit prefix; a larger prefix has no place in it.
            if (rec.prefix < data.zipIndex.size())
                data.zipIndex[rec.prefix] = rec.entry;
        }
        if (bytes.size() % ZipIndexRecord::Size != 0) {
            result.ioError = msg::ReadPastEnd;
            return result;
        }
    } else {
        result.fatal.emplace_back(msg::ZipIndexNotFound);
    }

    data.areaTable.fill(-1);
    auto file = MappedFile::open(data.path(filenames::AreaDat));
    if (!file) {
        result.fatal.emplace_back(msg::AreaDataNotFound);
        return result;
    }
    auto bytes = file->bytes();
    std::size_t whole = bytes.size() / AreaRecord::Size;
    for (std::size_t r = 0; r < whole; ++r) {
        AreaRecord rec = AreaRecord::decode(bytes.data() + r * AreaRecord::Size);
        if (rec.code < data.areaTable.size())
            data.areaTable[rec.code] = rec.listOffset;
    }
    if (bytes.size() % AreaRecord::Size != 0)
        result.ioError = msg::ReadPastEnd;
    return result;
}

LoadResult LoadInData(DataSet& data) {
    LoadResult result;
    data.states.clear();
    data.counties.clear();
    if (!loadStates(data, result) || !loadCounties(data, result))
        return result;
    return LoadZIdx(data);
}

namespace {

// The first line of ZIPVER.DAT (empty for an empty file); nothing when the file is missing.
std::optional<std::string> versionLine(const DataSet& data) {
    auto file = MappedFile::open(data.path(filenames::ZipVerDat));
    if (!file)
        return std::nullopt;
    auto lines = textLines(file->bytes(), 1);
    return lines.empty() ? std::string() : lines.front();
}

} // namespace

std::string ZipDataDate(const DataSet& data) {
    return versionLine(data).value_or("");
}

std::string ZipVersionMessage(const DataSet& data) {
    auto line = versionLine(data);
    if (!line)
        return msg::VersionNotFound;
    std::string text = "This version of the Zip Code Data was updated in ";
    appendCut(text, *line);
    appendCut(text, ".");
    return text;
}

std::string ProgramDirectory() {
    std::string buf(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0)
        return ".";
    buf.resize(std::size_t(n));
    auto slash = buf.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return buf.substr(0, slash);
}

} // namespace corvana
