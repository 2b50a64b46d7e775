#include "output/print_window/DesignCards.h"

#include "design_window/Globals.h"
#include "design_window/RecordFill.h"
#include "barcodes/designer/BarcodeEngine.h"
#include "output/print/SymbolRectangles.h"
#include "platform/Helpers.h"

#include <QPainter>
#include <exception>

namespace output {

PrintedDesign designOfMainWindow()
{
    // The main window is asked at each call: it may be made anew.
    const auto cards = [] { return design_window::CardSource(*design_window::Main_App_wnd); };
    PrintedDesign design;
    design.graphics = [cards](int side) -> const GraphicList & { return cards().graphics(side); };
    design.face = [cards](int side) { return cards().face(side); };
    design.checkBindings = [cards] { cards().check(); };
    design.countRecords = [cards] { cards().count(); };
    design.fill = [cards](int record, int side, QString *error) {
        return cards().fill(record, side, design_window::sourcesInUse(), error);
    };
    design.takeProblems = [cards] { return cards().takeProblems(); };
    design.restoreFirst = [cards] { cards().restoreFirst(); };
    return design;
}

DesignCards::DesignCards(PrintedDesign design, platform::Image front, platform::Image back, int records)
    : m_design(std::move(design))
    , m_opening{std::move(front), std::move(back)}
    , m_records(records)
{
    for (int side : {0, 1}) {
        for (const GraphicPtr &g : m_design.graphics(side)) {
            // Only 2-D symbols are made of pixels; linear ones are vectors.
            if (!g || g->_barcode_image.isNull() || g->linear_or_2d != 1)
                continue;
            m_swappedSymbols.emplace_back(g, g->_barcode_image);
            g->Set_Barcode_image(
                symbolAsRectangles(g->_barcode_image, barcodes::barcodeDpi(g->barcodeSettings())));
        }
    }
}

DesignCards::~DesignCards()
{
    finish();
}

QSizeF DesignCards::cardSize() const
{
    return m_opening[0].size();
}

bool DesignCards::prepare(int label, CardSides sides)
{
    // Without records every label is the design as it is, which is what the
    // window rendered at opening: the window is modal, so it cannot change.
    // Drawn from its graphics rather than from that rendering, a picture is
    // the same picture on every card and the PDF keeps it once.
    m_live = {true, true};
    if (m_records <= 0) {
        // Bound data that could not be used (a series gone) is named even
        // when every label is the design as it is.
        if (!m_unusedTaken && m_design.takeProblems) {
            m_unusedTaken = true;
            for (const CardProblem &problem : m_design.takeProblems())
                m_problems.add(label, problem);
        }
        return true;
    }
    if (label >= m_records)
        return false;
    // The back first, then the front, as the design window fills them.
    bool filled = true;
    if (sides != CardSides::Front)
        filled = fillSide(label, 1);
    if (filled && sides != CardSides::Back)
        filled = fillSide(label, 0);
    if (m_design.takeProblems) {
        for (const CardProblem &problem : m_design.takeProblems())
            m_problems.add(label, problem);
    }
    return filled;
}

bool DesignCards::fillSide(int label, int side)
{
    QString error;
    bool filled = false;
    try {
        m_filled = true;
        filled = m_design.fill(label, side, &error);
    } catch (const std::exception &e) {
        error = QString::fromLocal8Bit(e.what());
    }
    m_live[size_t(side)] = filled;
    if (!filled)
        labelFailed(label, error.isEmpty() ? QStringLiteral("the record could not be filled in") : error);
    return filled;
}

void DesignCards::labelFailed(int label, const QString &reason)
{
    if (m_failedFills++ == 0)
        m_firstFailure = QStringLiteral("Record %1: %2").arg(label + 1).arg(reason);
    Show_NSLog_Message(QStringLiteral("Label %1 left out: %2").arg(label + 1).arg(reason));
    m_problems.add(label, {CardProblem::Kind::Skipped, reason});
}

void DesignCards::drawSide(QPainter &painter, int side, const QRectF &target)
{
    if (!m_live[size_t(side)]) {
        m_opening[size_t(side)].draw(painter, target);
        return;
    }
    const drawing::CardFace face = m_design.face(side);
    if (face.size.isEmpty())
        return;
    painter.save();
    painter.translate(target.topLeft());
    // A back of another size is drawn at the front's.
    painter.scale(target.width() / face.size.width(), target.height() / face.size.height());
    TVNRenderingView::drawCard(painter, m_design.graphics(side), face);
    painter.restore();
}

void DesignCards::finish()
{
    for (const auto &[graphic, picture] : m_swappedSymbols)
        graphic->Set_Barcode_image(picture);
    m_swappedSymbols.clear();
    if (!m_filled)
        return;
    m_filled = false;
    m_design.restoreFirst();
}

} // namespace output
