#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace corvana {

// A data file opened read-only and mapped for the length of one operation. The mapping is
// released when the object goes; nothing of the file stays in memory between two searches.
class MappedFile {
public:
    static std::optional<MappedFile> open(const std::string& path);

    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    std::span<const std::uint8_t> bytes() const { return {data_, size_}; }
    std::size_t size() const { return size_; }

private:
    MappedFile(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    void release();

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

// Reads a byte span as a file is read: a position, bounded reads, short reads reported.
class ByteCursor {
public:
    ByteCursor() = default;
    explicit ByteCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // A negative position fails; a position past the end succeeds and the next read fails.
    bool seek(std::int64_t pos);
    std::size_t pos() const { return pos_; }
    bool atEnd() const { return pos_ >= bytes_.size(); }
    std::size_t remaining() const { return atEnd() ? 0 : bytes_.size() - pos_; }

    // Each returns false, and moves to the end, when fewer bytes are left than asked for.
    bool read(void* dst, std::size_t n);
    bool readU8(std::uint8_t& v);
    bool readU16(std::uint16_t& v);
    bool readI32(std::int32_t& v);
    bool skip(std::size_t n);

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

inline std::uint16_t loadU16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
inline std::int32_t loadI32(const std::uint8_t* p) {
    return std::int32_t(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) |
                        (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24));
}

} // namespace corvana
