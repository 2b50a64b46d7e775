#include "design_window/RecordFill.h"

#include "barcodes/designer/BarcodeEngine.h"
#include "design_window/DesignFile.h"
#include "design_window/DesignHub.h"
#include "design_window/Globals.h"
#include "drawing/CardLayers.h"
#include "drawing/DrawingHost.h"
#include "output/print/SymbolRectangles.h"
#include "platform/Image.h"
#include "platform/Log.h"
#include "platform/MainThread.h"

#include <QFileInfo>
#include <QSet>
#include <QTextBoundaryFinder>
#include <exception>
#include <stdexcept>

namespace design_window {

namespace {

batch_data::SeriesBinding bindingOf(const TVNGraphic &g)
{
    // Only texts, images and barcodes take values from data.
    const bool bindable =
        dynamic_cast<const TVNText *>(&g) || dynamic_cast<const TVNImage *>(&g) || dynamic_cast<const TVNBarcode *>(&g);
    return {bindable, g.data_source_type, g.batch_list_name, g.excel_col_indx};
}

// The picture file at `path` that could not be read, as a problem of its
// record, with why as the read that failed kept it (`why`, empty when the
// file was read but the photo adjustments gave nothing, or when what failed
// was not this file).
QString unreadablePicture(const QString &path, const QString &why)
{
    const QString named = QStringLiteral("%1 could not be read").arg(quotedValue(path));
    return why.isEmpty() ? named : QStringLiteral("%1: %2.").arg(named, why);
}

} // namespace

QString quotedValue(const QString &value)
{
    // Both ends, since values that differ tend to differ at one of them (a
    // running number at the end, a prefix at the start). The cuts move to
    // the nearest whole character, so neither a surrogate pair nor a letter
    // and its accents is split.
    constexpr qsizetype kShown = 60;
    if (value.size() <= kShown)
        return QStringLiteral("\"%1\"").arg(value);
    constexpr qsizetype kHead = kShown / 2;
    constexpr qsizetype kTail = kShown - kHead - 1; // one for the ellipsis
    // Only the ends are looked at: a value may run to megabytes.
    const QStringView start = QStringView(value).first(kShown);
    QTextBoundaryFinder inStart(QTextBoundaryFinder::Grapheme, start);
    inStart.setPosition(kHead);
    const qsizetype head = inStart.isAtBoundary() ? kHead : inStart.toPreviousBoundary();
    const QStringView end = QStringView(value).last(kShown);
    QTextBoundaryFinder inEnd(QTextBoundaryFinder::Grapheme, end);
    inEnd.setPosition(kShown - kTail);
    const qsizetype tail = inEnd.isAtBoundary() ? kTail : kShown - inEnd.toNextBoundary();
    // One arg() for all three, so a "%1" in the value stays as it is.
    const QString length = QStringLiteral("(%L1 characters)").arg(value.size());
    return QStringLiteral("\"%1\u2026%2\" %3").arg(start.first(head), end.last(tail), length);
}

std::vector<batch_data::SeriesBinding> bindingsOf(const GraphicList &list)
{
    std::vector<batch_data::SeriesBinding> out;
    out.reserve(list.size());
    for (const GraphicPtr &g : list) {
        if (g)
            out.push_back(bindingOf(*g));
    }
    return out;
}

// A bound object of a prepared side and what its fill needs.
struct RecordFill::Bound {
    GraphicPtr graphic;
    batch_data::SeriesBinding binding;
    TVNText *text = nullptr;
    TVNImage *image = nullptr;
    // An image that shows the main photo takes each record's picture as the
    // main photo.
    bool showsMainPhoto = false;
    // Whether the picture it shows is read from the record's value: the
    // main photo's frame bound otherwise shows the design's main photo, so
    // why that could not be read says nothing of the value's file.
    bool showsValueFile = true;
    // A barcode's settings as the run found them, and the resolution of its
    // 2-D bitmaps.
    barcodes::BarcodeSettings barcode;
    double barcodeDpi = 0;
};

struct RecordFill::Side {
    int number = 0;
    GraphicList graphics; // the list as it was prepared
    batch_data::SourcesInUse use;
    std::vector<Bound> bound;
    drawing::CardFace face;
    std::unique_ptr<drawing::CardLayers> layers;
};

RecordFill::RecordFill(Design design) : m_design(std::move(design)) {}

RecordFill::~RecordFill() = default;

batch_data::RecordCounts RecordFill::check()
{
    batch_data::RecordCounts counts;
    platform::runOnMainThread([&] {
        m_sides = {};
        m_filled = {};
        m_looks.clear();
        m_failedBarcodes = 0;
        m_firstBarcodeFailure.clear();
        m_problems.clear();
        m_largestBand = 0;
        counts = m_binding.check(m_design.seriesStore(), bindingsOf(m_design.graphics(0)),
                                 bindingsOf(m_design.graphics(1)), m_design.twoSided(), m_design.spreadsheet());
        m_checked = counts.use;
        m_runUse = {};
        m_unusableTaken = false;
    });
    return counts;
}

void RecordFill::Create_Dataset_binding_table()
{
    platform::runOnMainThread([&] {
        m_binding.Create_Dataset_binding_table(m_design.seriesStore(), bindingsOf(m_design.graphics(0)),
                                               bindingsOf(m_design.graphics(1)), m_design.twoSided());
    });
}

void RecordFill::setResolution(double dpi)
{
    platform::runOnMainThread([&] {
        m_dpi = dpi;
        m_sides = {};
    });
}

RecordFill::Side &RecordFill::prepared(int number, batch_data::SourcesInUse use, bool layers)
{
    std::unique_ptr<Side> &side = m_sides[size_t(number)];
    const GraphicList &graphics = m_design.graphics(number);
    layers = layers && m_dpi > 0;
    if (side && side->graphics == graphics && side->use == use && (side->layers || !layers))
        return *side;

    side = std::make_unique<Side>();
    side->number = number;
    side->graphics = graphics;
    side->use = use;
    QSet<const TVNGraphic *> changing;
    for (const GraphicPtr &g : graphics) {
        if (!g)
            continue;
        Bound bound;
        bound.graphic = g;
        bound.binding = bindingOf(*g);
        // Objects whose source the run does not use keep their values.
        if (!m_binding.valueAt(bound.binding, 0, use))
            continue;
        if ((bound.text = dynamic_cast<TVNText *>(g.get()))) {
            // The look is taken once, before the run writes a record: an
            // empty record would leave no first character to take it from.
            if (!m_looks.contains(g.get()))
                m_looks.insert(g.get(), bound.text->firstCharacterLook());
        } else if ((bound.image = dynamic_cast<TVNImage *>(g.get()))) {
            const bool mainPhotoFrame = g->control_ID.trimmed() == QLatin1String("PARTY_IMAGE");
            bound.showsMainPhoto = bound.binding.data_source_type == batch_data::kSeriesValue && mainPhotoFrame;
            bound.showsValueFile = bound.showsMainPhoto || !mainPhotoFrame;
        } else {
            bound.barcode = g->barcodeSettings();
            bound.barcodeDpi = barcodes::barcodeDpi(bound.barcode);
        }
        changing.insert(g.get());
        side->bound.push_back(std::move(bound));
    }
    side->face = m_design.face(number);
    if (layers) {
        // Drawn by the caller, a band at a time (see Set_data_table_value_to_card).
        side->layers = std::make_unique<drawing::CardLayers>(
            graphics, side->face, [&changing](const TVNGraphic &g) { return changing.contains(&g); }, m_dpi,
            drawing::CardLayers::Build::Later);
    }
    return *side;
}

void RecordFill::fill(Side &side, int n, bool symbolRectangles)
{
    m_runUse.series = m_runUse.series || side.use.series;
    m_runUse.spreadsheet = m_runUse.spreadsheet || side.use.spreadsheet;
    for (Bound &b : side.bound) {
        const QString value = m_binding.valueAt(b.binding, n, side.use).value_or(QString());
        if (b.text) {
            // Laid out only as far as the box can show: a value of megabytes
            // would otherwise take minutes to lay out.
            b.text->setShownContents(value, m_looks.value(b.graphic.get()));
            b.text->Text_Value = value;
        } else if (b.image) {
            if (b.showsMainPhoto)
                m_design.showMainPhoto(value);
            b.image->setFilePath(value, drawing::host().Main_Photo_image());
            // No value, no picture (not the placeholder of a missing file).
            // The main photo's frame shows the main photo just read from the
            // value, so it is named as any other picture file.
            if (value.isEmpty())
                b.image->setImage({});
            else if (!QFileInfo(value).isFile())
                m_problems.push_back(
                    {output::CardProblem::Kind::Picture, QStringLiteral("no file %1").arg(quotedValue(value))});
            else if (const platform::Image picture = b.image->image(); picture.isNull())
                m_problems.push_back({output::CardProblem::Kind::Picture,
                                      unreadablePicture(value, b.showsValueFile ? picture.damage() : QString())});
        } else {
            platform::Image symbol;
            if (!value.isEmpty()) {
                QString error;
                symbol = barcodes::barcodeImageFor(b.barcode, value, b.barcode.header_val, b.barcode.footer_val,
                                                   b.barcodeDpi, &error);
                if (symbol.isNull()) {
                    const QString reason = QStringLiteral("%1: %2").arg(quotedValue(value), error);
                    m_problems.push_back({output::CardProblem::Kind::Barcode, reason});
                    if (m_failedBarcodes++ == 0) {
                        m_firstBarcodeFailure = QStringLiteral("Record %1, %2").arg(n + 1).arg(reason);
                        platform::log(QStringLiteral("No barcode for record %1").arg(m_firstBarcodeFailure));
                    }
                }
            }
            // A 2-D symbol is made of pixels: in print, of rectangles.
            const bool pixels = symbolRectangles && b.graphic->linear_or_2d == 1;
            b.graphic->Set_Barcode_image(pixels ? output::symbolAsRectangles(symbol, b.barcodeDpi) : symbol);
            barcodes::barcodeValueField(*b.graphic) = value;
        }
    }
    m_filled[size_t(side.number)] = true;
}

platform::Image RecordFill::render(const Side &side) const
{
    if (side.layers)
        return platform::Image::fromBitmap(side.layers->render(), side.face.size);
    return TVNRenderingView::image_From_Card_Graphics(side.graphics, side.face);
}

platform::Image RecordFill::Set_data_table_value_to_card(int n, const QString &card_side,
                                                         batch_data::SourcesInUse use)
{
    const int number = sideNumber(card_side);
    platform::Image image;
    QSize pixels;
    double dpi = 0;
    QSizeF points;
    try {
        // At a run's first card the side's unchanging layers are drawn, a
        // band per hand-off, before the record is filled in.
        for (bool filled = false; !filled;) {
            platform::runOnMainThread([&] {
                Side &side = prepared(number, use);
                if (side.layers && !side.layers->isBuilt()) {
                    noteHandOff(side.layers->buildStep(kBandPixels));
                    return;
                }
                m_lastSide = number;
                fill(side, n);
                filled = true;
                if (side.layers && !side.layers->pixelSize().isEmpty()) {
                    pixels = side.layers->pixelSize();
                    dpi = side.layers->dpi();
                    points = side.face.size;
                } else {
                    image = render(side);
                }
            });
        }
        if (pixels.isEmpty())
            return image;
        // The bitmap is made here and drawn band by band on the main thread,
        // which handles its events in between.
        QImage card = drawing::CardLayers::bitmap(pixels, dpi);
        for (const QRect &band : drawing::cardBands(pixels, kBandPixels)) {
            platform::runOnMainThread([&] {
                const Side *side = m_sides[size_t(number)].get();
                // Only a new run or resolution drops the layers.
                if (!side || !side->layers || !side->layers->isBuilt() || side->layers->pixelSize() != pixels)
                    throw std::runtime_error("the design changed while the card was drawn");
                side->layers->renderBand(card, band);
                noteHandOff(qint64(band.width()) * band.height());
            });
        }
        return platform::Image::fromBitmap(card, points);
    } catch (const std::exception &e) {
        platform::log(QStringLiteral("Set_data_table_value_to_card: %1").arg(QString::fromLocal8Bit(e.what())));
        return {};
    }
}

void RecordFill::noteHandOff(qint64 pixels)
{
    if (pixels > m_largestBand)
        m_largestBand = pixels;
}

bool RecordFill::fillSide(int n, int side, batch_data::SourcesInUse use, QString *error)
{
    try {
        platform::runOnMainThread([&] {
            Side &prepared_side = prepared(side, use, false);
            m_lastSide = side;
            fill(prepared_side, n, true);
        });
    } catch (const std::exception &e) {
        if (error)
            *error = QString::fromLocal8Bit(e.what());
        return false;
    }
    return true;
}

void RecordFill::Assign_Batch_Values_To_Control(int n, batch_data::SourcesInUse use)
{
    platform::runOnMainThread([&] { fill(prepared(m_lastSide, use, false), n); });
}

void RecordFill::endRun()
{
    platform::runOnMainThread([&] {
        // Every source the design is bound to, counted afresh: a run may have
        // left one out, and the design must not show it at a later record.
        const batch_data::RecordCounts counts =
            m_binding.check(m_design.seriesStore(), bindingsOf(m_design.graphics(0)),
                            bindingsOf(m_design.graphics(1)), m_design.twoSided(), m_design.spreadsheet());
        if (counts.total > 0) {
            for (int number : {0, 1}) {
                if (number == 1 && !m_design.twoSided())
                    break;
                // The looks the run took before its first record still hold.
                fill(prepared(number, counts.use, false), 0);
            }
        }
        m_sides = {};
        m_filled = {};
        m_looks.clear();
        m_problems.clear();
        m_unusableTaken = true;
    });
}

std::vector<output::CardProblem> RecordFill::takeProblems()
{
    std::vector<output::CardProblem> out;
    platform::runOnMainThread([&] {
        if (!m_unusableTaken) {
            m_unusableTaken = true;
            for (const batch_data::UnusableSource &u : m_binding.unusable()) {
                const bool series = u.data_source_type == batch_data::kSeriesValue;
                const bool hadRecords = series ? m_checked.series : m_checked.spreadsheet;
                const bool used = series ? m_runUse.series : m_runUse.spreadsheet;
                if (used || !hadRecords)
                    out.push_back({output::CardProblem::Kind::Data, u.text()});
            }
            for (const QString &picture : damagedPicturesOnCards(m_checked))
                out.push_back({output::CardProblem::Kind::Damaged, picture});
        }
        out.insert(out.end(), m_problems.begin(), m_problems.end());
        m_problems.clear();
    });
    return out;
}

QStringList RecordFill::damagedPicturesOnCards(batch_data::SourcesInUse use) const
{
    QStringList out;
    for (int side : {0, 1}) {
        if (side == 1 && !m_design.twoSided())
            break;
        const QString name = side == 0 ? QStringLiteral("front") : QStringLiteral("back");
        out += objectsWithDamagedPictures(m_design.graphics(side), name, [&](const TVNGraphic &g) {
            return g.ctrl_is_visible && g.ctrl_is_printable && !m_binding.valueAt(bindingOf(g), 0, use);
        });
        if (m_design.background) {
            const platform::Image background = m_design.background(side);
            if (background.isDamaged())
                out += damagedPictureNamed(describeBackgroundPicture(name), background);
        }
    }
    return out;
}

CardSource::CardSource(DesignHub &window)
    : m_window(window)
{
}

void CardSource::check()
{
    m_window.Check_Series_Or_Excel_Use_or_not();
}

void CardSource::count()
{
    m_window.Get_total_Card_count();
}

const GraphicList &CardSource::graphics(int side) const
{
    return side == 1 ? m_window.Get_Back_Controls_Array() : m_window.Get_Front_Controls_Array();
}

drawing::CardFace CardSource::face(int side) const
{
    return TVNRenderingView::cardFace(side);
}

platform::Image CardSource::currentCard(int side) const
{
    platform::Image image;
    platform::runOnMainThread([&] { image = m_window.renderedSide(side); });
    return image;
}

platform::Image CardSource::recordCard(int n, int side, batch_data::SourcesInUse use)
{
    return m_window.recordFill().Set_data_table_value_to_card(n, side == 0 ? QStringLiteral("F") : QStringLiteral("B"),
                                                              use);
}

platform::Image CardSource::recordCard(int n, int side)
{
    batch_data::SourcesInUse use;
    platform::runOnMainThread([&] { use = sourcesInUse(); });
    return recordCard(n, side, use);
}

bool CardSource::fill(int n, int side, batch_data::SourcesInUse use, QString *error)
{
    return m_window.recordFill().fillSide(n, side, use, error);
}

std::vector<output::CardProblem> CardSource::takeProblems()
{
    return m_window.recordFill().takeProblems();
}

void CardSource::setResolution(double dpi)
{
    m_window.recordFill().setResolution(dpi > 0 ? dpi : RecordFill::kPrintDpi);
}

void CardSource::restoreFirst()
{
    m_window.Select_first_row_value_for_design(false);
}

batch_data::SourcesInUse sourcesInUse()
{
    return {Use_Data_Sheet_Values, Use_Excel_Binding_Values};
}

void publishRecordCounts(const batch_data::RecordCounts &counts)
{
    Use_Data_Sheet_Values = counts.use.series;
    Use_Excel_Binding_Values = counts.use.spreadsheet;
    Data_table_rows = counts.seriesRows;
    Excel_table_rows = counts.spreadsheetRows;
    Total_Batch_Excel_Card = counts.total;
}

} // namespace design_window
