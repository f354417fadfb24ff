#include "mkdata/Builder.h"

#include "mkdata/Encoders.h"
#include "mkdata/Grouping.h"
#include "mkdata/Table.h"
#include "mkdata/TableFields.h"

#include "data/FileNames.h"
#include "data/FileWriters.h"

namespace corvana::mkdata {

std::string DateText(std::string_view utf8) {
    std::string text = convertText(utf8, "the date", 0);
    if (text.empty())
        throw InputError(0, "the date is empty");
    return text;
}

DataFiles BuildDataFiles(std::string_view csv, std::string_view date) {
    DataFiles files;
    files[filenames::ZipVerDat] = WriteVersionFile(DateText(date));
    GroupedTable grouped;
    GroupTable(ReadTable(csv), grouped);
    for (Encoder encode : Encoders)
        encode(grouped, files);
    return files;
}

} // namespace corvana::mkdata
