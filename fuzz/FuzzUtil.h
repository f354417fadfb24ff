#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>

// A failed invariant is a finding: print where and abort, so libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #cond);      \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace corvana::fuzz {

// The readers open their files by path, so every input is written into one directory that
// lives as long as the process: on tmpfs when there is one, so a run does not wear a disk.
class Scratch {
public:
    static Scratch& get();
    const std::string& dir() const { return dir_; }

    // Writes a file of the given bytes, or removes it when `present` is false.
    void put(std::string_view name, std::string_view bytes, bool present = true) const;

    ~Scratch();

private:
    Scratch();
    std::string dir_;
};

// One input stands for several files: each file is a 32-bit little-endian length and that
// many bytes (fewer where the input ends). The length 0xFFFFFFFF stands for a missing file;
// files after the end of the input are empty. make_corpus.py writes seeds in this layout.
class FileSplit {
public:
    FileSplit(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    struct File {
        std::string_view bytes;
        bool present = true;
    };

    File next();

    std::uint8_t byte() {
        if (pos_ >= size_)
            return 0;
        return data_[pos_++];
    }

    // A text of up to 255 bytes: a length byte and the bytes.
    std::string_view shortText();

    // The bytes not read yet.
    std::string_view rest() {
        std::string_view r(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
        pos_ = size_;
        return r;
    }

    // Writes the next file of the input for each name, in order.
    void putFiles(std::initializer_list<const char*> names);

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

inline constexpr std::uint32_t MissingFile = 0xFFFFFFFFu;

} // namespace corvana::fuzz
