#include "output/print_window/Printing_View.h"

#include "platform/Helpers.h"

#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

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
    // Where the engine can, the job is dropped (Qt's PDF and CUPS engines
    // cannot).
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

output::SheetRun Printing_View::spool(QPrinter &settings, const output::PageProgress &progress, bool *nothingSent)
{
    const QString lp = QStandardPaths::findExecutable(QStringLiteral("lp"));
    *nothingSent = !lp.isEmpty();
    if (lp.isEmpty())
        return print(settings, progress);

    // The file Qt would send the printer, made by the same engine, in the
    // system's temporary folder; the options below are the ones Qt would send
    // with it. Every write of the file is checked: a job cut short (a full
    // disk) never reaches the queue.
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/quorvant-print-XXXXXX"));
    if (!folder.isValid()) {
        output::SheetRun run;
        run.failure = QStringLiteral("The print job could not be made in %1: %2")
                          .arg(QDir::toNativeSeparators(QDir::tempPath()), folder.errorString());
        return run;
    }
    const QString file = folder.filePath(QStringLiteral("job.pdf"));
    output::SheetRun run = printToPdf(file, progress);
    if (run.stopped || !run.failure.isEmpty())
        return run;

    const QPageLayout page = settings.pageLayout();
    QStringList arguments{QStringLiteral("-d"), settings.printerName(), QStringLiteral("-t"), settings.docName(),
                          QStringLiteral("-o"), QStringLiteral("media=") + page.pageSize().key()};
    if (settings.copyCount() > 1)
        arguments << QStringLiteral("-n") << QString::number(settings.copyCount()) << QStringLiteral("-o")
                  << QStringLiteral("collate=true");
    // The file's pages are laid out in the orientation already: telling the
    // queue "landscape" as well would turn them a second time.
    arguments << file;
    QProcess queue;
    queue.start(lp, arguments);
    if (!queue.waitForFinished(120000) || queue.exitStatus() != QProcess::NormalExit || queue.exitCode() != 0) {
        const QString reason = QString::fromLocal8Bit(queue.readAllStandardError()).trimmed();
        run.failure = reason.isEmpty() ? QStringLiteral("The printer's queue did not take the job.") : reason;
    }
    return run;
}
