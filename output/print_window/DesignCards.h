#pragma once
// The cards a print run draws from the open design: without batch data every
// label shows the design as it is, in a batch run label k shows record k
// filled into the live design. Either way the side is drawn from its
// graphics straight onto the page, so texts and bars stay vectors and a
// picture shared by every card is the same picture each time (a PDF keeps
// it once). A label whose record cannot be filled is left empty, and it and
// every card made without a barcode or picture are listed with the run's
// problems (never shown one by one while the run goes). Nothing is kept
// between labels,
// so memory does not grow with the number of records. Main thread only: it
// fills the live design.

#include "drawing/TVNRenderingView.h"
#include "output/export/CardRun.h"
#include "output/print/LabelSheet.h"

#include <QString>
#include <array>
#include <functional>

namespace output {

// What printing needs of the design window. designOfMainWindow() makes it
// from the main window; tests make their own.
struct PrintedDesign {
    // The live graphics of side 0 (front) or 1 (back), and how the side is
    // drawn besides them.
    std::function<const GraphicList &(int side)> graphics;
    std::function<drawing::CardFace(int side)> face;
    // Sets the batch values (Use_Data_Sheet_Values, Use_Excel_Binding_Values,
    // Total_Batch_Excel_Card) from the design's bindings
    // (Check_Series_Or_Excel_Use_or_not), and counts again for the sources
    // still in use (Get_total_Card_count).
    std::function<void()> checkBindings;
    std::function<void()> countRecords;
    // Writes record n into side 0 or 1 of the live design; false with the
    // reason when it could not.
    std::function<bool(int record, int side, QString *error)> fill;
    // What the fills since the last call could not put on the card; taken.
    std::function<std::vector<CardProblem>()> takeProblems;
    // Puts record 0 back into every bound object of the design.
    std::function<void()> restoreFirst;
};

// The open design of the main window (Main_App_wnd).
PrintedDesign designOfMainWindow();

class DesignCards : public LabelCards {
public:
    // `front` and `back` are the sides as rendered when the print window
    // opened; `records` is the number of records of a batch run, 0 without
    // batch data.
    DesignCards(PrintedDesign design, platform::Image front, platform::Image back, int records);
    // Symbols held as pixels are printed as rectangles: the live design's
    // are swapped for the run and put back by finish().
    // Puts record 0 back when the run filled any.
    ~DesignCards() override;
    DesignCards(const DesignCards &) = delete;
    DesignCards &operator=(const DesignCards &) = delete;

    // The front's size.
    QSizeF cardSize() const override;
    // A batch label past the last record has nothing to show, nor has one
    // whose record cannot be filled (it is listed with the problems).
    bool prepare(int label, CardSides sides) override;
    void drawSide(QPainter &painter, int side, const QRectF &target) override;
    void labelFailed(int label, const QString &reason) override;
    // Asks `betweenLabels` (when set) after every label.
    bool labelDone(int label) override { return !betweenLabels || betweenLabels(label); }
    // What the run does between two labels: a false answer stops it.
    std::function<bool(int label)> betweenLabels;

    // The design's own symbols back, and record 0 when a record was filled.
    void finish();
    // Labels whose record could not be filled, and the first reason.
    int failedFills() const { return m_failedFills; }
    QString firstFailure() const { return m_firstFailure; }
    // The run's cards that were left out or made without something, by label.
    const CardProblems &problems() const { return m_problems; }

private:
    bool fillSide(int label, int side);

    PrintedDesign m_design;
    std::array<platform::Image, 2> m_opening;
    int m_records = 0;
    // Whether side 0 and 1 of the label prepared last are the live design
    // (else the rendering at opening).
    std::array<bool, 2> m_live{true, true};
    bool m_filled = false;
    // Without records, what the design's bindings could not use was taken.
    bool m_unusedTaken = false;
    // The symbols swapped for rectangles, with the pictures they had.
    std::vector<std::pair<GraphicPtr, platform::Image>> m_swappedSymbols;
    int m_failedFills = 0;
    QString m_firstFailure;
    CardProblems m_problems;
};

} // namespace output
