#pragma once
// One print job of label sheets: its pages, each one sheet of up to rows x
// columns labels, page p showing labels p x cells onwards, printed to a
// printer, into the print preview or to a PDF file. The layout and the
// number of labels are taken when the job is made; the cards come from a
// LabelCards that outlives the job. Main thread only.

#include "output/print/LabelSheet.h"

class QPrinter;

class Printing_View {
public:
    // A preview shows at most this many sheets; printing has no limit.
    static constexpr int kPreviewSheets = 50;

    Printing_View(output::SheetLayout layout, int labels, output::LabelCards &cards, bool preview);

    // The job's pages. A preview of more sheets than it shows says so, each
    // time it is asked, and counts the sheets it shows.
    int numberOfPages();

    // Prints the job onto `printer` (the preview's, or a printer of the
    // system), which is set to print the whole paper. Qt cannot take back
    // what it has begun to send a printer: the sheets of a stopped or failed
    // run made so far may still be printed.
    output::SheetRun print(QPrinter &printer, const output::PageProgress &progress = {});
    // Prints the job on the system printer that `settings` name, with their
    // paper, orientation and copies. The sheets go to a temporary PDF file
    // first (in QDir::tempPath()) and reach the printer's queue (through
    // CUPS's lp) only once all of them are made and the file is written
    // whole, so a stopped or failed run, or a file that could not be written,
    // prints nothing. `nothingSent` tells whether that held: without lp the
    // job goes straight to the printer.
    output::SheetRun spool(QPrinter &settings, const output::PageProgress &progress, bool *nothingSent);
    // Prints the job to a PDF file, written whole or not at all.
    output::SheetRun printToPdf(const QString &path, const output::PageProgress &progress = {});

    const output::SheetLayout &layout() const { return m_layout; }

private:
    output::SheetLayout m_layout;
    int m_labels = 0;
    // Not owned: it must outlive the job.
    output::LabelCards &m_cards;
    bool m_preview = false;
};
