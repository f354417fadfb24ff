#include "data/MappedFile.h"

#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvana {

std::optional<MappedFile> MappedFile::open(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    if (size == 0) {
        ::close(fd);
        return MappedFile(nullptr, 0);
    }
    void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (p == MAP_FAILED)
        return std::nullopt;
    return MappedFile(static_cast<const std::uint8_t*>(p), size);
}

MappedFile::MappedFile(MappedFile&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        release();
        data_ = other.data_;
        size_ = other.size_;
        other.data_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

MappedFile::~MappedFile() { release(); }

void MappedFile::release() {
    if (data_)
        ::munmap(const_cast<std::uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
}

bool ByteCursor::seek(std::int64_t pos) {
    if (pos < 0)
        return false;
    pos_ = static_cast<std::size_t>(pos);
    return true;
}

bool ByteCursor::read(void* dst, std::size_t n) {
    if (remaining() < n) {
        pos_ = bytes_.size();
        return false;
    }
    if (n)
        std::memcpy(dst, bytes_.data() + pos_, n);
    pos_ += n;
    return true;
}

bool ByteCursor::skip(std::size_t n) {
    if (remaining() < n) {
        pos_ = bytes_.size();
        return false;
    }
    pos_ += n;
    return true;
}

bool ByteCursor::readU8(std::uint8_t& v) { return read(&v, 1); }

bool ByteCursor::readU16(std::uint16_t& v) {
    std::uint8_t b[2];
    if (!read(b, 2))
        return false;
    v = loadU16(b);
    return true;
}

bool ByteCursor::readI32(std::int32_t& v) {
    std::uint8_t b[4];
    if (!read(b, 4))
        return false;
    v = loadI32(b);
    return true;
}

} // namespace corvana
