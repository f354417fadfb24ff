#include "data/MappedFile.h"
#include "data/Records.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvana {

namespace {

// Opens a regular file read-only; -1 for a missing file, a directory or anything else.
int openReadOnly(const std::string& path, std::size_t& size) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    size = static_cast<std::size_t>(st.st_size);
    return fd;
}

} // namespace

std::optional<MappedFile> MappedFile::open(const std::string& path) {
    std::size_t size = 0;
    int fd = openReadOnly(path, size);
    if (fd < 0)
        return std::nullopt;
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

bool DataFileMissing(const std::string& path) {
    // A path that cannot even be looked at is there for all the user can tell; only "no such
    // file" (or a folder on the way that is a file) leaves the error clear.
    std::error_code ec;
    return !std::filesystem::exists(path, ec) && !ec;
}

OptionalMapping MapOptionalFile(const std::string& path) {
    OptionalMapping mapping;
    mapping.file = MappedFile::open(path);
    if (!mapping.file)
        mapping.there = !DataFileMissing(path);
    return mapping;
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

MappedFile::~MappedFile() {
    release();
}

void MappedFile::release() {
    if (data_)
        ::munmap(const_cast<std::uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
}

std::optional<DataFile> DataFile::open(const std::string& path) {
    std::size_t size = 0;
    int fd = openReadOnly(path, size);
    if (fd < 0)
        return std::nullopt;
    return DataFile(fd, size);
}

DataFile::DataFile(DataFile&& other) noexcept
    : fd_(other.fd_), size_(other.size_), pieces_(std::move(other.pieces_)),
      whole_(std::move(other.whole_)) {
    other.fd_ = -1;
    other.size_ = 0;
}

DataFile& DataFile::operator=(DataFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        size_ = other.size_;
        pieces_ = std::move(other.pieces_);
        whole_ = std::move(other.whole_);
        other.fd_ = -1;
        other.size_ = 0;
    }
    return *this;
}

DataFile::~DataFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

const std::uint8_t* DataFile::piece(std::size_t index) const {
    if (pieces_.empty())
        pieces_.resize((size_ + PieceSize - 1) / PieceSize);
    auto& p = pieces_[index];
    if (!p) {
        // Once an eighth of the file has been read piece by piece, the rest is likely to follow.
        if (++piecesRead_ > std::max<std::size_t>(8, pieces_.size() / 8) && loadWhole())
            return whole_.get() + index * PieceSize;
        auto fresh = std::make_unique_for_overwrite<Piece>();
        const std::size_t start = index * PieceSize;
        const std::size_t want = std::min(PieceSize, size_ - start);
        std::size_t got = 0;
        while (got < want) {
            ssize_t n = ::pread(fd_, fresh->data() + got, want - got, off_t(start + got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return nullptr;
            got += std::size_t(n);
        }
        p = std::move(fresh);
    }
    return p->data();
}

bool DataFile::loadWhole() const {
    if (whole_)
        return true;
    auto buf = std::make_unique_for_overwrite<std::uint8_t[]>(size_);
    std::size_t got = 0;
    while (got < size_) {
        ssize_t n = ::pread(fd_, buf.get() + got, size_ - got, off_t(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        got += std::size_t(n);
    }
    whole_ = std::move(buf);
    return true;
}

bool DataFile::read(std::uint64_t offset, void* dst, std::size_t n) const {
    if (offset > size_ || n > size_ - offset)
        return false;
    if (whole_) {
        if (n)
            std::memcpy(dst, whole_.get() + offset, n);
        return true;
    }
    auto* out = static_cast<std::uint8_t*>(dst);
    while (n > 0) {
        const std::size_t index = std::size_t(offset / PieceSize);
        const std::size_t within = std::size_t(offset % PieceSize);
        const std::size_t take = std::min(n, PieceSize - within);
        const std::uint8_t* p = piece(index);
        if (!p)
            return false;
        std::memcpy(out, p + within, take);
        out += take;
        offset += take;
        n -= take;
    }
    return true;
}

bool ByteCursor::seek(std::int64_t pos) {
    if (pos < 0)
        return false;
    pos_ = static_cast<std::size_t>(pos);
    return true;
}

bool ByteCursor::read(void* dst, std::size_t n) {
    if (remaining() < n) {
        pos_ = size_;
        return false;
    }
    if (file_) {
        if (!file_->read(pos_, dst, n)) {
            pos_ = size_;
            return false;
        }
    } else if (n) {
        std::memcpy(dst, bytes_.data() + pos_, n);
    }
    pos_ += n;
    return true;
}

bool ByteCursor::readU8(std::uint8_t& v) {
    return read(&v, 1);
}

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
