#pragma once

#include "search/ZipFields.h"

#include <string>

namespace corvana::cli {

// A name field in UTF-8 and whole: the copy formats cut their fields; a script gets the full
// names.
std::string Utf8(const CasedName& name);

} // namespace corvana::cli
