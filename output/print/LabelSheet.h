#pragma once
// Sheets of labels drawn onto a painter: the printed pages of a print run
// (one sheet per page, labels p x cells onwards on page p) and the on-screen
// sample of one sheet with numbered captions instead of cards.
//
// Painters here work in points with the origin at the paper's top-left
// corner (printSheets() sets that up on its device). Cards are drawn by the
// caller's LabelCards, so texts and bars stay vectors wherever the card has
// them. Widget-free; a LabelCards that fills the live design must be used
// on the main thread, which is where printing runs.

#include "output/print/SheetLayout.h"

#include <QColor>
#include <QString>
#include <functional>

class QPagedPaintDevice;
class QPainter;

namespace output {

// Where the cards of a print run come from.
class LabelCards {
public:
    virtual ~LabelCards() = default;
    // The card's size in points; empty when there is no card to print.
    virtual QSizeF cardSize() const = 0;
    // Makes label `label` (from 0) ready for `sides`: a batch run fills its
    // record. False when the label has nothing to show; its cell stays empty.
    virtual bool prepare(int label, CardSides sides) = 0;
    // Draws `side` (0 front, 1 back) of the label prepared last into
    // `target` (painter coordinates). A side without content draws nothing.
    virtual void drawSide(QPainter &painter, int side, const QRectF &target) = 0;
    // Label `label` could not be made (an exception while it was prepared or
    // drawn); its cell stays as far as it was drawn and the run goes on.
    virtual void labelFailed(int label, const QString &reason)
    {
        Q_UNUSED(label);
        Q_UNUSED(reason);
    }
    // Label `label` is drawn (or has failed). A page of many labels holds
    // its thread for all of them: here a run on the main thread can hear the
    // Stop button between two cards. False stops the run before the next
    // label.
    virtual bool labelDone(int label)
    {
        Q_UNUSED(label);
        return true;
    }
};

// The caption of a label cell: bold 11 pt, centred on `rect` (painter
// coordinates; an empty rectangle centres on its point).
void drawLabelCaption(QPainter &painter, const QRectF &rect, const QString &text, const QColor &color);

// Paints page `page` (from 0) of a run of `labels` labels: the white sheet
// and its labels. Without a card every label shows "Invalid Data" in red. A
// label that throws is handed to cards.labelFailed() and the page goes on.
// Says how many labels were drawn (or failed), and whether
// cards.labelDone() stopped the run at the last of them.
struct PageEnd {
    int labels = 0;
    bool stopped = false;
};
PageEnd paintSheetPage(QPainter &painter, const SheetLayout &layout, int page, int labels, LabelCards &cards);

// What a print run did.
struct SheetRun {
    int pages = 0; // pages painted
    int labels = 0; // labels drawn, those of a page a stop cut short too
    bool stopped = false;
    QString failure; // why the run failed; empty when it did not
    bool operator==(const SheetRun &) const = default;
};

// Asked after every page with the pages done and the pages of the run;
// answering false stops the run (as does LabelCards::labelDone() within a
// page, which then does not count).
using PageProgress = std::function<bool(int done, int pages)>;

// Prints the first `pages` pages of a run of `labels` labels, one sheet per
// page, with `painter`, which is active on `device`. The device must paint
// the whole paper (full page, no margins) at the layout's paper size. The
// caller ends the painter and decides what becomes of a run that stopped or
// failed. One label that cannot be drawn does not fail the run (see
// paintSheetPage); any other exception while a page is drawn does, with its
// reason.
SheetRun printSheets(QPainter &painter, QPagedPaintDevice &device, const SheetLayout &layout, int labels,
                     int pages, LabelCards &cards, const PageProgress &afterPage = {});

// Prints every page of the run to a PDF file of the layout's paper size,
// written in full or not at all: a stopped or failed run leaves any
// earlier file at `path` untouched.
SheetRun printSheetsToPdf(const QString &path, const SheetLayout &layout, int labels, LabelCards &cards,
                          const PageProgress &afterPage = {});

// The sample of one sheet on a white paper: every cell of the grid with its
// number n, row by row from 1, captioned in grey "Frame n" (the front),
// "Back n" (the back alone, or the second place of a pair, at the card's
// size where the back would be printed), each in a dark grey outline when
// `outlines` is set; without a card every cell reads "Invalid Data" in red.
void paintSampleSheet(QPainter &painter, const SheetLayout &layout, QSizeF card, bool outlines);

} // namespace output
