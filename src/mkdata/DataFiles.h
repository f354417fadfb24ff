#pragma once

#include <map>
#include <string>

namespace corvana::mkdata {

// The data files of one data set: file name to contents (Windows-1252 text, little-endian
// records), every one of the ten names present, and POINTS.DAT when the table has positions.
using DataFiles = std::map<std::string, std::string>;

} // namespace corvana::mkdata
