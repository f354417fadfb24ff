#include "main/printing/PrintOutput.h"

#include "main/app/Messages.h"
#include "main/printing/PrintFont.h"
#include "output/PrintLayout.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

bool PrintOutput(QPrinter& printer, const corvana::PrintFontData& fontData, std::string_view output,
                 std::string_view heading) {
    const QFont font = ToQFont(fontData);
    const std::vector<std::string> lines = corvana::PrintLines(output);

    const QFontMetrics metrics(font, &printer);
    int tallest = 0;
    for (const std::string& line : lines)
        tallest = std::max(tallest, metrics.size(Qt::TextSingleLine, fromCore(line)).height());
    if (!heading.empty())
        tallest = std::max(
            tallest, metrics.size(Qt::TextSingleLine, fromCore(std::string(heading))).height());

    // We lay out every copy ourselves, so the printer must not repeat the document.
    const int copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    printer.setDocName("Corvex");
    const corvana::PageLayout layout =
        corvana::MakePageLayout(printer.width(), printer.height(), tallest);
    const std::vector<corvana::PrintedPage> pages =
        corvana::LayOutPages(output, layout, copies, heading);

    bool ok = true;
    if (!pages.empty()) {
        QPainter painter;
        ok = painter.begin(&printer);
        if (ok) {
            painter.setFont(font);
            painter.setPen(WindowsColor(fontData.color));
            const QFontMetrics drawn = painter.fontMetrics();
            const int ascent = drawn.ascent();
            // Tab stops every eight average characters of the print font, as a typewriter's
            // were every eight columns; at least two blanks between fields, so that a field
            // ending just before a stop still reads apart from the next.
            const int tabStop = 8 * drawn.averageCharWidth();
            const int gap = 2 * drawn.horizontalAdvance(' ');
            const auto width = [&](std::string_view piece) {
                return drawn.horizontalAdvance(fromCore(std::string(piece)));
            };
            for (std::size_t i = 0; i < pages.size(); ++i) {
                if (i > 0)
                    printer.newPage();
                for (const corvana::PrintedLine& line : pages[i])
                    for (const corvana::PrintedRun& run :
                         corvana::PlaceTabs(line.text, tabStop, gap, width))
                        painter.drawText(QPoint(layout.leftMargin + run.x, line.top + ascent),
                                         fromCore(run.text));
            }
            ok = painter.end();
        }
    }
    printer.setCopyCount(copies);
    return ok;
}
