#include "mkdata/DataSetWriter.h"

#include "data/FileNames.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace corvana::mkdata {

namespace {

std::filesystem::path makeWorkFolder(const std::filesystem::path& dir) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::ostringstream name;
        name << ".corvana-mkdata-" << std::hex << random() << random();
        std::filesystem::path p = dir / name.str();
        if (std::filesystem::create_directory(p))
            return p;
    }
    throw std::runtime_error("cannot make a work folder in " + dir.string());
}

void writeWhole(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace

void WriteDataFiles(const DataFiles& files, const std::filesystem::path& dir) {
    namespace fs = std::filesystem;
    fs::create_directories(dir);
    const fs::path work = makeWorkFolder(dir);
    try {
        for (const auto& [name, bytes] : files)
            writeWhole(work / name, bytes);
        // Checked before the first rename, so that this cannot stop a set half replaced.
        for (const auto& [name, bytes] : files)
            if (fs::is_directory(dir / name))
                throw std::runtime_error((dir / name).string() + " is a folder");
        for (const auto& [name, bytes] : files)
            fs::rename(work / name, dir / name);
        fs::remove(work);
        // A file of the old set that the new one lacks would be read with the new files: old
        // positions, facts or exchanges would describe the new ZIP codes wrongly.
        for (const char* name : filenames::DataSetFiles)
            if (!files.count(name) && !fs::is_directory(dir / name))
                fs::remove(dir / name);
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(work, ignored);
        throw;
    }
}

} // namespace corvana::mkdata
