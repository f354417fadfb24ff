#include "FuzzUtil.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace corvana::fuzz {

Scratch& Scratch::get() {
    static Scratch scratch;
    return scratch;
}

Scratch::Scratch() {
    std::string base = "/dev/shm";
    if (::access(base.c_str(), W_OK) != 0) {
        const char* tmp = std::getenv("TMPDIR");
        base = tmp && *tmp ? tmp : "/tmp";
    }
    std::string templ = base + "/corvana-fuzz-XXXXXX";
    if (!::mkdtemp(templ.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    dir_ = templ;
}

Scratch::~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

void Scratch::put(std::string_view name, std::string_view bytes, bool present) const {
    std::string path = dir_ + "/" + std::string(name);
    if (!present) {
        ::unlink(path.c_str());
        return;
    }
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    FUZZ_CHECK(fd >= 0);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        FUZZ_CHECK(n > 0);
        done += std::size_t(n);
    }
    ::close(fd);
}

FileSplit::File FileSplit::next() {
    if (size_ - pos_ < 4) {
        pos_ = size_;
        return {};
    }
    std::uint32_t len = std::uint32_t(data_[pos_]) | (std::uint32_t(data_[pos_ + 1]) << 8) |
                        (std::uint32_t(data_[pos_ + 2]) << 16) |
                        (std::uint32_t(data_[pos_ + 3]) << 24);
    pos_ += 4;
    if (len == MissingFile)
        return {{}, false};
    std::size_t n = std::min<std::size_t>(len, size_ - pos_);
    File f{{reinterpret_cast<const char*>(data_ + pos_), n}, true};
    pos_ += n;
    return f;
}

std::string_view FileSplit::shortText() {
    std::size_t len = byte();
    len = std::min(len, size_ - pos_);
    std::string_view s(reinterpret_cast<const char*>(data_ + pos_), len);
    pos_ += len;
    return s;
}

void FileSplit::putFiles(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        File f = next();
        Scratch::get().put(name, f.bytes, f.present);
    }
}

} // namespace corvana::fuzz
