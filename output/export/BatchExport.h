#pragma once
// The batch run's pipeline: every record of the design's data filled in and
// drawn, then encoded and written as the options say into the export
// folder, one numbered file (or two) per record.
//
// The run's own thread (a worker) hands each record's fill and drawing to
// the main thread and waits for it, in steps of bounded size (see
// CardRecords::drawCard); encoder threads turn the drawings into
// pixels, encode and write them, several records at once, while the main
// thread fills the next ones. A bounded queue between the two keeps the
// pictures in flight, and so the memory used, independent of the number of
// records. Files appear whole or not at all (see ImageFiles.h).
//
// The stop request is obeyed between records: while the Stop question is
// open no record starts, and after a Yes none does; the record whose fill
// was under way when the user asked is finished, as are the records already
// filled and waiting for an encoder. A record that cannot be filled or drawn is left out and listed
// with the run's problems, and the run goes on; so is a card made without a
// barcode or picture (it is still written). A file that cannot be written
// ends the run: nothing more is filled, the records before it are still
// written and, of those after it, only what another encoder was already
// writing. Any other fault ends the run the same way, with what failed.

#include "output/export/CardFiles.h"
#include "output/export/CardRun.h"
#include "platform/Image.h"

#include <QString>
#include <atomic>
#include <vector>

namespace output {

// The cards of a batch run, record by record.
class CardRecords {
public:
    virtual ~CardRecords() = default;
    // Side "F" or "B" of record n (from 0), filled into the design and drawn
    // at its size in points; a null image when it cannot be drawn. Called on
    // the main thread only, records in order, the back before the front.
    virtual platform::Image cardImage(int n, const QString &side) = 0;
    // The same card, asked for from the run's own thread: the main thread is
    // held only as long as the source needs the live design. By default
    // cardImage() in one hand-off; a source that draws in bands hands each
    // band over by itself, so that no hand-off grows with the resolution.
    virtual platform::Image drawCard(int n, const QString &side);
    // What the cards drawn since the last call lack (a refused barcode
    // value, a missing picture); taken. Main thread.
    virtual std::vector<CardProblem> takeProblems() { return {}; }
};

struct BatchExportSettings {
    // The export folder; it exists.
    QString folder;
    // Records 0 to count - 1.
    int count = 0;
    ExportOptions options;
    // Encoder threads: 0 gives one per core, fewer when the pictures are so
    // large that their pixels would not fit the memory set aside for them.
    int encoders = 0;
};

struct BatchExportResult {
    // Records all of whose files were written, and those files.
    int records = 0;
    int files = 0;
    // A stop request ended the run before its last record.
    bool stopped = false;
    // Records left out because they could not be filled or drawn (listed
    // with the run's problems).
    int skipped = 0;
    // The file of the lowest record that could not be filled or written, and
    // why; every record before it is written.
    QString failedPath;
    QString reason;
    // An unexpected fault that ended the run early: what failed, as the
    // user reads it; empty when there was none.
    QString error;
    bool ok() const { return failedPath.isEmpty() && error.isEmpty(); }
};

// Runs the batch on the calling thread, which must not be the main thread
// unless `records` may be called there directly (the main thread is not
// left to process events meanwhile). Returns when every file is written or
// the run has ended. `run` is shared with the progress sheet: the run
// advances its count by one as each record is finished (its files written,
// or the record left out), obeys its stop request and adds the cards'
// problems.
BatchExportResult runBatchExport(const BatchExportSettings &settings, CardRecords &records, RunState &run);

} // namespace output
