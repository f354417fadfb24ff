#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace corvana::mkdata {

// The whole program: corvana-mkdata --csv FILE --out DIR --date TEXT. Returns the exit status:
// 0 done, 1 the table or the files failed, 2 the command line is wrong.
int RunMkdata(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace corvana::mkdata
