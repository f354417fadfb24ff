#include "settings/IniFile.h"

#include "text/Blanks.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace corvana {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = char(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = char(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

bool isComment(std::string_view line) {
    line = trimBlanks(line);
    return !line.empty() && (line.front() == ';' || line.front() == '#');
}

// The name of a "[Section]" line, or nothing when the line is no section header.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trimBlanks(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    auto close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trimBlanks(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> keyLine(std::string_view line) {
    if (isComment(line))
        return std::nullopt;
    auto eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return KeyLine{trimBlanks(line.substr(0, eq)), trimBlanks(line.substr(eq + 1))};
}

// A line break inside a written value would start a line of its own and could forge keys.
std::string_view firstLine(std::string_view s) {
    return s.substr(0, s.find_first_of("\r\n"));
}

bool writeAll(int fd, const std::string& data) {
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= std::size_t(n);
    }
    return true;
}

} // namespace

IniFile::IniFile(std::string_view text) {
    if (text.find("\r\n") != std::string_view::npos)
        lineEnd_ = "\r\n";
    while (!text.empty()) {
        auto nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        // Every carriage return at a line's end belongs to the line end: one kept in the line
        // would meet the line feed of the rewrite and read back as a line end of its own.
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines_.emplace_back(line);
        if (nl == std::string_view::npos)
            break;
        text.remove_prefix(nl + 1);
    }
}

IniFile IniFile::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return IniFile();
    std::ostringstream buf;
    buf << in.rdbuf();
    if (in.bad())
        return IniFile();
    return IniFile(buf.str());
}

IniFile::Section IniFile::findSection(std::string_view section) const {
    Section s;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        auto name = sectionName(lines_[i]);
        if (!name)
            continue;
        if (s.found) {
            s.end = i;
            return s;
        }
        if (sameName(*name, section)) {
            s.found = true;
            s.begin = i + 1;
        }
    }
    s.end = lines_.size();
    return s;
}

std::optional<std::size_t> IniFile::findKey(const Section& s, std::string_view key) const {
    if (!s.found)
        return std::nullopt;
    for (std::size_t i = s.begin; i < s.end; ++i) {
        auto kv = keyLine(lines_[i]);
        if (kv && sameName(kv->key, key))
            return i;
    }
    return std::nullopt;
}

std::string IniFile::get(std::string_view section, std::string_view key, std::string_view def,
                         std::size_t bufferSize) const {
    if (bufferSize == 0)
        return {};
    std::string_view value = trimBlanks(def);
    if (auto line = findKey(findSection(section), key))
        value = keyLine(lines_[*line])->value;
    return std::string(value.substr(0, bufferSize - 1));
}

bool IniFile::has(std::string_view section, std::string_view key) const {
    return findKey(findSection(section), key).has_value();
}

bool IniFile::has(std::string_view section) const {
    return findSection(section).found;
}

void IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(firstLine(value));
    Section s = findSection(section);
    if (auto at = findKey(s, key)) {
        lines_[*at] = std::move(line);
        return;
    }
    if (s.found) {
        // After the section's last non-blank line, so the blank line before the next section
        // stays where it is.
        std::size_t at = s.end;
        while (at > s.begin && trimBlanks(lines_[at - 1]).empty())
            --at;
        lines_.insert(lines_.begin() + std::ptrdiff_t(at), std::move(line));
        return;
    }
    if (!lines_.empty() && !trimBlanks(lines_.back()).empty())
        lines_.emplace_back();
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::move(line));
}

std::string IniFile::text() const {
    std::string out;
    for (const auto& line : lines_) {
        out += line;
        out += lineEnd_;
    }
    return out;
}

bool IniFile::save(const std::string& path) const {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(path);
    // A settings file kept as a link elsewhere stays a link: write where it points.
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (ec)
            return false;
        target = resolved;
    }
    fs::path dir = target.parent_path();
    if (!dir.empty()) {
        fs::create_directories(dir, ec);
        if (ec)
            return false;
    }

    // A new file gets the usual mode under the umask; a replaced file keeps its own.
    struct stat old;
    bool hadOld = ::stat(target.c_str(), &old) == 0;

    std::string tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = target.string() + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    bool ok = writeAll(fd, text());
    if (ok && hadOld)
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(tmp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tmp.c_str());
        return false;
    }
    // The rename itself is only durable once the directory entry is on disk.
    int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

} // namespace corvana
