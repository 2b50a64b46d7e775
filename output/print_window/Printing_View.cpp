#include "output/print_window/Printing_View.h"

#include "platform/Helpers.h"

#include <QPainter>
#include <QPrinter>

Printing_View::Printing_View(output::SheetLayout layout, int labels, output::LabelCards &cards, bool preview)
    : m_layout(std::move(layout))
    , m_labels(labels)
    , m_cards(cards)
    , m_preview(preview)
{
}

int Printing_View::numberOfPages()
{
    const int pages = output::pageCount(m_labels, m_layout);
    if (m_preview && pages > kPreviewSheets) {
        Show_MessageBox(QStringLiteral("For Qualitative and Performance reason, previewer shows print previews of "
                                       "only first 50 sheets. However, printing has no such restriction."));
        return kPreviewSheets;
    }
    return pages;
}

output::SheetRun Printing_View::print(QPrinter &printer, const output::PageProgress &progress)
{
    printer.setFullPage(true);
    const int pages = numberOfPages();
    QPainter painter;
    if (!painter.begin(&printer)) {
        output::SheetRun run;
        run.failure = QStringLiteral("The printer could not be started.");
        return run;
    }
    output::SheetRun run = output::printSheets(painter, printer, m_layout, m_labels, pages, m_cards, progress);
    if (run.stopped || !run.failure.isEmpty())
        printer.abort();
    painter.end();
    if (run.failure.isEmpty() && !run.stopped && printer.printerState() == QPrinter::Error)
        run.failure = QStringLiteral("The printer reported an error.");
    return run;
}

output::SheetRun Printing_View::printToPdf(const QString &path, const output::PageProgress &progress)
{
    return output::printSheetsToPdf(path, m_layout, m_labels, m_cards, progress);
}
