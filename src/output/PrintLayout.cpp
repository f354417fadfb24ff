#include "output/PrintLayout.h"

#include "text/ShortString.h"

#include <algorithm>

namespace corvana {

PageLayout MakePageLayout(int pageWidth, int pageHeight, int tallestLine) {
    PageLayout l;
    l.leftMargin = pageWidth / 17;
    l.topMargin = pageHeight / 22;
    // 1.1 times in whole units, without the rounding drift of a double.
    l.lineHeight = tallestLine > 0 ? tallestLine * 11 / 10 : 0;
    if (l.lineHeight > 0) {
        const int usable = pageHeight - 2 * l.topMargin;
        // A font taller than the page still gets one line per page rather than none, which
        // would never break a page and run every line off its bottom.
        l.linesPerPage = std::max(1, usable / l.lineHeight);
    }
    return l;
}

std::vector<std::string> PrintLines(std::string_view output) {
    std::vector<std::string> lines;
    std::string current;
    for (char c : output) {
        if (c == '\r') {
            lines.push_back(std::move(current));
            current.clear();
        } else if (c != '\n' && current.size() < ShortMax) {
            current += c;
        }
    }
    return lines;
}

std::vector<PrintedPage> LayOutPages(std::string_view output, const PageLayout& layout, int copies,
                                     std::string_view heading) {
    std::vector<PrintedPage> pages;
    if (layout.lineHeight <= 0 || layout.linesPerPage <= 0)
        return pages;
    std::vector<std::string> lines;
    if (!heading.empty()) {
        lines.emplace_back(heading.substr(0, ShortMax));
        // Room for the heading, a gap and a line: otherwise the gap would only push the lines
        // onto another page.
        if (layout.linesPerPage >= 3)
            lines.emplace_back();
    }
    for (std::string& line : PrintLines(output))
        lines.push_back(std::move(line));
    copies = std::max(copies, 1);
    pages.emplace_back();
    for (int copy = 1; copy <= copies; ++copy) {
        int index = 0;
        for (const std::string& line : lines) {
            pages.back().push_back({layout.topMargin + index * layout.lineHeight, line});
            if (++index == layout.linesPerPage) {
                index = 0;
                pages.emplace_back();
            }
        }
        if (copy < copies)
            pages.emplace_back();
    }
    return pages;
}

std::vector<PrintedRun> PlaceTabs(std::string_view line, int tabStop, int minGap,
                                  const std::function<int(std::string_view)>& width) {
    std::vector<PrintedRun> runs;
    // A stop of no width (a font measured as nothing) must still move on, not divide by zero.
    const int stop = std::max(tabStop, 1);
    int x = 0;
    for (;;) {
        const std::size_t tab = line.find('\t');
        const std::string_view piece = line.substr(0, tab);
        const int end = x + (piece.empty() ? 0 : width(piece));
        if (!piece.empty())
            runs.push_back({x, std::string(piece)});
        if (tab == std::string_view::npos)
            return runs;
        const int reach = end + std::max(minGap, 0);
        x = (reach + stop - 1) / stop * stop;
        line.remove_prefix(tab + 1);
    }
}

} // namespace corvana
