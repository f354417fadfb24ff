#include "cli/OutputFields.h"

#include "text/Win1252.h"

namespace corvana::cli {

std::string Utf8(const CasedName& name) {
    return Win1252ToUtf8(name.str());
}

} // namespace corvana::cli
