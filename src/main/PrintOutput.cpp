#include "main/PrintOutput.h"

#include "main/Messages.h"
#include "main/PrintFont.h"
#include "output/PrintLayout.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

bool PrintOutput(QPrinter& printer, const corvana::PrintFontData& fontData,
                 std::string_view output) {
    const QFont font = ToQFont(fontData);
    const std::vector<std::string> lines = corvana::PrintLines(output);

    const QFontMetrics metrics(font, &printer);
    int tallest = 0;
    for (const std::string& line : lines)
        tallest = std::max(tallest, metrics.size(Qt::TextSingleLine, fromCore(line)).height());

    // We lay out every copy ourselves, so the printer must not repeat the document.
    const int copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    printer.setDocName("Corvex");
    const corvana::PageLayout layout =
        corvana::MakePageLayout(printer.width(), printer.height(), tallest);
    const std::vector<corvana::PrintedPage> pages = corvana::LayOutPages(output, layout, copies);

    bool ok = true;
    if (!pages.empty()) {
        QPainter painter;
        ok = painter.begin(&printer);
        if (ok) {
            painter.setFont(font);
            painter.setPen(WindowsColor(fontData.color));
            const int ascent = painter.fontMetrics().ascent();
            for (std::size_t i = 0; i < pages.size(); ++i) {
                if (i > 0)
                    printer.newPage();
                for (const corvana::PrintedLine& line : pages[i])
                    painter.drawText(QPoint(layout.leftMargin, line.top + ascent),
                                     fromCore(line.text));
            }
            ok = painter.end();
        }
    }
    printer.setCopyCount(copies);
    return ok;
}
