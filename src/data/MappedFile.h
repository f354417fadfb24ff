#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

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

// Whether nothing lies at `path`: the one meaning of "missing" for a data file the set may go
// without. Anything at the path is there, even what cannot be read (a folder, a file that
// cannot be opened, a loop of links, a path that cannot even be looked at): such a file is
// reported as unreadable, never taken for one the set does without.
bool DataFileMissing(const std::string& path);

// A data file the set may go without (locations, facts, exchanges, outlines), mapped whole. When
// it cannot be mapped, `there` tells a file that is there but cannot be read, which makes the set
// damaged, from a missing one (DataFileMissing).
struct OptionalMapping {
    std::optional<MappedFile> file;
    bool there = false;
};
OptionalMapping MapOptionalFile(const std::string& path);

// A data file opened read-only for one search, read with positioned reads through a small
// cache of 4 KiB pieces: a search that touches a few records reads a few pieces, far cheaper than
// mapping the file and faulting its pages in. A search whose records lie all over the file (a
// long county or area-code list) soon reads it whole in one go instead. Nothing of it outlives
// the search.
class DataFile {
public:
    static std::optional<DataFile> open(const std::string& path);

    DataFile(DataFile&& other) noexcept;
    DataFile& operator=(DataFile&& other) noexcept;
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;
    ~DataFile();

    std::size_t size() const { return size_; }

    // Copies n bytes from offset; false, with nothing promised in dst, when they are not all
    // there (past the end, or the file shrank under us).
    bool read(std::uint64_t offset, void* dst, std::size_t n) const;

    // Reads the whole file in one go; later reads come from that copy. Returns false, leaving
    // the piece cache in use, when the read fails.
    bool loadWhole() const;

private:
    static constexpr std::size_t PieceSize = 4096;
    using Piece = std::array<std::uint8_t, PieceSize>;

    DataFile(int fd, std::size_t size) : fd_(fd), size_(size) {}
    const std::uint8_t* piece(std::size_t index) const;

    int fd_ = -1;
    std::size_t size_ = 0;
    mutable std::vector<std::unique_ptr<Piece>> pieces_;
    mutable std::unique_ptr<std::uint8_t[]> whole_;
    mutable std::size_t piecesRead_ = 0;
};

// Reads a byte span or a data file as a file is read: a position, bounded reads, short reads
// reported.
class ByteCursor {
public:
    ByteCursor() = default;
    explicit ByteCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes), size_(bytes.size()) {}
    explicit ByteCursor(const DataFile& file) : file_(&file), size_(file.size()) {}

    // A negative position fails; a position past the end succeeds and the next read fails.
    bool seek(std::int64_t pos);
    std::size_t pos() const { return pos_; }
    bool atEnd() const { return pos_ >= size_; }
    std::size_t remaining() const { return atEnd() ? 0 : size_ - pos_; }

    // Each returns false, and moves to the end, when fewer bytes are left than asked for.
    bool read(void* dst, std::size_t n);
    bool readU8(std::uint8_t& v);
    bool readU16(std::uint16_t& v);
    bool readI32(std::int32_t& v);

private:
    std::span<const std::uint8_t> bytes_;
    const DataFile* file_ = nullptr;
    std::size_t size_ = 0;
    std::size_t pos_ = 0;
};

} // namespace corvana
