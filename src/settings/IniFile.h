#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvana {

// A private-profile file: sections and keys match without regard to case, values are read with
// the blanks around them removed and cut to the caller's buffer, and writing a key replaces its
// line in place so that comments, unknown keys and sections survive a rewrite.
class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::string_view text);

    // A file that is missing or cannot be read gives an empty profile: every key its default.
    static IniFile load(const std::string& path);

    // Like GetPrivateProfileString: the value, or `def` when the key is missing, cut to
    // bufferSize - 1 characters. A key present with an empty value reads as empty.
    std::string get(std::string_view section, std::string_view key, std::string_view def,
                    std::size_t bufferSize) const;

    // Whether the section holds the key, even with an empty value.
    bool has(std::string_view section, std::string_view key) const;

    // Like WritePrivateProfileString: replaces the key's line, or appends the key to its section,
    // or appends the section at the end.
    void set(std::string_view section, std::string_view key, std::string_view value);

    // Whether the file has the section, keys or not.
    bool has(std::string_view section) const;

    std::string text() const;

    // Writes the whole file through a temporary file in the same directory and a rename, so
    // the previous file stays whole if anything fails. Creates the directory if it is missing.
    // Returns false when the file could not be written; the old file is then untouched.
    [[nodiscard]] bool save(const std::string& path) const;

private:
    // Lines [begin, end) after the section's header; end is the next header or the file's end.
    struct Section {
        bool found = false;
        std::size_t begin = 0;
        std::size_t end = 0;
    };
    Section findSection(std::string_view section) const;
    std::optional<std::size_t> findKey(const Section& s, std::string_view key) const;

    std::vector<std::string> lines_; // without their line ends
    std::string lineEnd_ = "\n";     // CR LF when the file came with it
};

} // namespace corvana
