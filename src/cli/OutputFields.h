#pragma once

#include "search/ZipFields.h"

#include <string>
#include <string_view>

namespace corvana::cli {

// A name field in UTF-8 and whole: the copy formats cut their fields; a script gets the full
// names.
std::string Utf8(const CasedName& name);

// Appends one CSV field, in double quotes when it holds a comma, a quote or a line break.
void AppendCsvField(std::string& out, std::string_view text);

// Appends a JSON string literal.
void AppendJsonString(std::string& out, std::string_view utf8);

} // namespace corvana::cli
