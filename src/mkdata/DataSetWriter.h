#pragma once

#include "mkdata/DataFiles.h"

#include <filesystem>

namespace corvana::mkdata {

// Writes the files into dir (made when missing) without ever leaving a half-written set: all of
// them go into a fresh folder inside dir first and are then renamed into place. A file of
// filenames::DataSetFiles that the new set lacks (POINTS.DAT from a table without positions,
// ZIPFACTS.DAT without kinds, EXCHANGE.DAT without --exchanges) is removed last, as it belongs to
// the old set; other files of dir are left alone. Throws std::exception when a file cannot be
// written; the folder is removed then.
void WriteDataFiles(const DataFiles& files, const std::filesystem::path& dir);

} // namespace corvana::mkdata
