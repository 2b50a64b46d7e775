#pragma once
// The per-record fill of a batch run: record n written into the bound texts,
// images and barcodes of one side of the live design, and that side
// rendered. Printing, image export and e-mail make every card through it;
// the design window's fixed operations forward here.
//
// A run starts with check() and ends with endRun(), which puts record 0 back
// into every side the run filled; the design is not edited in between. What
// does not depend on the record is prepared once per run and side, at its
// first fill: the look each bound text keeps (taken before any record is
// written, so an empty record cannot lose it), a copy of each bound barcode's
// settings, the side's face and, for bitmap output, the background and
// unbound objects drawn once (drawing::CardLayers). A fill then does only
// what the record changes, and nothing it keeps grows with the number of
// records.
//
// The live design is touched on the main thread only: called from a worker,
// each operation hands itself over (platform::runOnMainThread) and waits.

#include "batch_data/binding/RecordBinding.h"
#include "drawing/TVNRenderingView.h"
#include "output/export/CardRun.h"
#include "platform/Image.h"

#include <QHash>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace drawing {
class CardLayers;
}

namespace design_window {

class DesignHub;

class RecordFill {
public:
    static constexpr double kPrintDpi = 300;
    // The most pixels one hand-off to the main thread draws of a bitmap
    // side: a larger side is drawn a band of rows at a time, each band its
    // own hand-off, so that the main thread hears a Stop click between them
    // whatever the resolution (a card at 300 dpi is one band).
    static constexpr qint64 kBandPixels = qint64(1) << 20;

    // What the fill needs of the design window.
    struct Design {
        // The document's own graphics list of side 0 (front) or 1 (back).
        std::function<GraphicList &(int side)> graphics;
        // How side 0 or 1 is drawn besides its graphics.
        std::function<drawing::CardFace(int side)> face;
        // Makes the picture at the path the main photo, with the photo
        // adjustments, without making it the design's photo path.
        std::function<void(const QString &path)> showMainPhoto;
        // The series folder, the spreadsheet data source's table, and
        // whether the design has two sides, as they are now.
        std::function<batch_data::SeriesStore()> seriesStore;
        std::function<batch_data::ListData()> spreadsheet;
        std::function<bool()> twoSided;
        // The background picture side 0 or 1 draws on its cards (null when
        // the card draws none).
        std::function<platform::Image(int side)> background;
    };

    explicit RecordFill(Design design);
    ~RecordFill();
    RecordFill(const RecordFill &) = delete;
    RecordFill &operator=(const RecordFill &) = delete;

    // Check_Series_Or_Excel_Use_or_not: finds the sources the design's
    // bindings use (the back only on a two-sided design), loads the bound
    // series, keeps the spreadsheet table for the run and counts. Starts a
    // new run.
    batch_data::RecordCounts check();
    // Create_Dataset_binding_table: loads the series the design is bound to
    // afresh.
    void Create_Dataset_binding_table();
    // Get_total_Card_count for the sources still in use.
    batch_data::RecordCounts Get_total_Card_count(batch_data::SourcesInUse use) const
    {
        return m_binding.Get_total_Card_count(use);
    }
    // The series and spreadsheet values of the run (data_table_content).
    const batch_data::RecordBinding &binding() const { return m_binding; }

    // What the fill returns: a bitmap of `dpi` dots per inch (300 at
    // start), drawn over layers made once per run; or with 0 the
    // resolution-independent picture of the card renderer, which must carry
    // every picture of the card through each recording and costs far more.
    void setResolution(double dpi);

    // Set_data_table_value_to_card: writes record n into side "F" (front)
    // or any other side string (back) and returns the side rendered, the
    // whole card at its size in points. The side being edited stays as it
    // is. A null image when the side cannot be drawn or the fill fails (the
    // reason is logged). Called from a worker, the fill is one hand-off to
    // the main thread and the drawing one more per band of kBandPixels; so
    // is each band of the layers drawn at the side's first card of a run.
    platform::Image Set_data_table_value_to_card(int n, const QString &card_side, batch_data::SourcesInUse use);
    // Writes record n into side 0 (front) or 1 (back) and leaves the
    // drawing to the caller, who draws the live side where it wants it (a
    // printed page takes it as vectors, 2-D symbols as rectangles). False,
    // with the reason, when the fill failed.
    bool fillSide(int n, int side, batch_data::SourcesInUse use, QString *error = nullptr);
    // Assign_Batch_Values_To_Control: writes record n into the bound objects
    // of the side filled last (Graphics_array_Batch; the front at first). An
    // object whose source is not in `use` keeps its value; a missing value
    // is "": an empty text, an image without a picture, a barcode without a
    // symbol.
    void Assign_Batch_Values_To_Control(int n, batch_data::SourcesInUse use);

    // Ends the run: every bound object of both sides (the back on a
    // two-sided design) shows record 0 of its source again, whichever sides
    // and sources the run used, so that what the canvas shows is one record.
    void endRun();
    // The sources a run used do not narrow what the design shows afterwards.
    void endRun(batch_data::SourcesInUse) { endRun(); }
    // A design just opened: every bound object shows record 0 of its source,
    // not the values its file stored.
    void showFirstRecord() { endRun(); }

    // What the fills since the last call could not put on the card: a
    // barcode value its symbology refused, a picture that could not be read.
    // Taken, so that each record's card gets its own. The first call after
    // check() also gives, once, the bound series and columns that the run
    // cannot use (see unusableSources) unless the run left their source out
    // by choice: a source that had records at the check and that the fills
    // since did not use; and the pictures on the run's sides that are kept
    // damaged from the design's file (see damagedPicturesOnCards).
    std::vector<output::CardProblem> takeProblems();
    // Barcode values of the run that gave no symbol (the object then shows
    // none), and the reason of the first.
    int failedBarcodes() const { return m_failedBarcodes; }
    QString firstBarcodeFailure() const { return m_firstBarcodeFailure; }
    // The most pixels of a record's side, or of its layers, drawn in one
    // hand-off in this run.
    qint64 largestBand() const { return m_largestBand; }

private:
    struct Bound;
    struct Side;

    // The side ready for the run; with `layers`, also for rendering bitmaps
    // (a fill alone does not need them).
    Side &prepared(int side, batch_data::SourcesInUse use, bool layers = true);
    // With `symbolRectangles`, symbols held as pixels become rectangles.
    void fill(Side &side, int n, bool symbolRectangles = false);
    platform::Image render(const Side &side) const;
    // Keeps the largest pixel count one hand-off has drawn.
    void noteHandOff(qint64 pixels);

    Design m_design;
    batch_data::RecordBinding m_binding;
    double m_dpi = kPrintDpi;
    std::array<std::unique_ptr<Side>, 2> m_sides;
    // The sides the run has written records into, and the last of them.
    std::array<bool, 2> m_filled{};
    int m_lastSide = 0;
    // The look of each bound text as the run found it.
    QHash<const TVNGraphic *, TVNText::Look> m_looks;
    int m_failedBarcodes = 0;
    QString m_firstBarcodeFailure;
    std::vector<output::CardProblem> m_problems;
    // The damaged pictures the cards of the run show as missing: on the
    // sides the run draws, printed and visible, not filled from the run's
    // data; each background drawn. Named as the design's opening named them.
    QStringList damagedPicturesOnCards(batch_data::SourcesInUse use) const;

    // The sources the check found with records, the sources the run's fills
    // used, and whether the unusable ones (and the damaged pictures) were
    // given out yet.
    batch_data::SourcesInUse m_checked;
    batch_data::SourcesInUse m_runUse;
    bool m_unusableTaken = true;
    std::atomic<qint64> m_largestBand = 0;
};

// The one card source of the output runs (export, print, mail): the design
// window's cards, as the canvas shows them or filled with record n, and
// what each card lacks. It reads no process-wide value: a run passes the
// sources it uses. Main thread only; the fill and drawing hand themselves
// over to it when called from a worker.
class CardSource {
public:
    // The window is not owned: it must outlive the source.
    explicit CardSource(DesignHub &window);
    DesignHub &window() const { return m_window; }

    // Check_Series_Or_Excel_Use_or_not and Get_total_Card_count of the
    // design window (they publish the process-wide batch values).
    void check();
    void count();

    // Side 0 (front) or 1 (back): its live graphics and how it is drawn.
    const GraphicList &graphics(int side) const;
    drawing::CardFace face(int side) const;
    // The side as the canvas shows it.
    platform::Image currentCard(int side) const;
    // Record n written into the side and the side drawn (see
    // RecordFill::setResolution); null when it cannot be drawn.
    platform::Image recordCard(int n, int side, batch_data::SourcesInUse use);
    // The same with the sources the design window uses now, read on the
    // main thread. Called from a run's thread, the main thread is held a
    // band at a time.
    platform::Image recordCard(int n, int side);
    // Record n written into the side, left for the caller to draw; false
    // with the reason when it could not be.
    bool fill(int n, int side, batch_data::SourcesInUse use, QString *error);
    // What the cards made since the last call lack; taken.
    std::vector<output::CardProblem> takeProblems();
    // The resolution recordCard() draws at; 0 for the fill's own.
    void setResolution(double dpi);
    // After a run: record 0 on every bound object, the canvas redrawn
    // (Select_first_row_value_for_design).
    void restoreFirst();

private:
    DesignHub &m_window;
};

// Side 0 for "F", 1 for any other side code.
inline int sideNumber(const QString &code)
{
    return code == QLatin1String("F") ? 0 : 1;
}

// A record's value in quotes as a message names it: a value longer than 60
// characters by its start and its end around an ellipsis, and its length,
// so the message stays one to read.
QString quotedValue(const QString &value);

// How each graphic of `list` takes its value (only texts, images and
// barcodes can be bound).
std::vector<batch_data::SeriesBinding> bindingsOf(const GraphicList &list);

// The batch values of the design window: the sources in use
// (Use_Data_Sheet_Values, Use_Excel_Binding_Values) as they are now, and a
// check's results stored into them and into the counts.
batch_data::SourcesInUse sourcesInUse();
void publishRecordCounts(const batch_data::RecordCounts &counts);

} // namespace design_window
