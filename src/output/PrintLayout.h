#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvana {

// Where printed lines go, in the printer's device units.
struct PageLayout {
    int leftMargin = 0;
    int topMargin = 0;
    int lineHeight = 0;   // 0: nothing can be placed, nothing is printed
    int linesPerPage = 0; // at least 1 whenever lineHeight is above 0
};

// Margins are a seventeenth of the page width and a twenty-second of its height, at top and
// bottom alike; lines are spaced 1.1 times the tallest line of the output, truncated.
PageLayout MakePageLayout(int pageWidth, int pageHeight, int tallestLine);

// The lines of the collected output as the printer walks it: a carriage return ends a line,
// line feeds are dropped, a line keeps its first 255 characters. Text after the last carriage
// return is not a line.
std::vector<std::string> PrintLines(std::string_view output);

struct PrintedLine {
    int top = 0;
    std::string text;

    bool operator==(const PrintedLine&) const = default;
};
using PrintedPage = std::vector<PrintedLine>;

// The pages of `copies` copies of the output, each copy starting on a new page. A page that
// the output fills exactly is followed by a new one even when nothing is left for it, so the
// document then ends with an empty page. No pages at all when the line height is 0.
// A `heading` says what the list is ("Zip Codes Within 10 Miles Of 84101"): when given, it is
// the first line of each copy, cut as a line is, with an empty line under it where a page has
// room for three lines or more; the output follows.
std::vector<PrintedPage> LayOutPages(std::string_view output, const PageLayout& layout, int copies,
                                     std::string_view heading = {});

// A piece of a printed line between its tabs, and where it starts: device units right of the
// left margin.
struct PrintedRun {
    int x = 0;
    std::string text;

    bool operator==(const PrintedRun&) const = default;
};

// Tab stops on the page. A tab moves on to the first multiple of `tabStop` that lies at least
// `minGap` past the text before it, so that two fields never touch however close a field ends
// to a stop; `width` measures a piece in the printer's font. Empty pieces give no run. Only the
// page expands tabs: the clipboard keeps them, for spreadsheets.
std::vector<PrintedRun> PlaceTabs(std::string_view line, int tabStop, int minGap,
                                  const std::function<int(std::string_view)>& width);

} // namespace corvana
