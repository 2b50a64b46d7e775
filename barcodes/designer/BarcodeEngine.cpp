#include "barcodes/designer/BarcodeEngine.h"

#include "barcodes/datamatrix/DataMatrixSymbol.h"
#include "barcodes/imaging/BarcodeValueCheck.h"
#include "barcodes/imaging/ImageResolution.h"
#include "barcodes/pdf417/Pdf417View.h"
#include "barcodes/qr/QRFrontEnd.h"
#include "barcodes/render/BarcodeImage.h"
#include "barcodes/symbologies/Symbologies.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <exception>

namespace barcodes {

namespace {

// The settings keep their lengths in centimetres.
constexpr int kCentimetres = 1;
constexpr int kAutoDpi = 600;

const QString kQRCode = QStringLiteral("QR Code");
const QString kPDF417 = QStringLiteral("PDF417");
const QString kDataMatrix = QStringLiteral("DataMatrix");

// Quiet zones in modules that readers need around each 2-D symbology
// (ISO/IEC 18004 4X, ISO/IEC 16022 1X, ISO/IEC 15438 2X).
constexpr double kQRQuietModules = 4.0;
constexpr double kDataMatrixQuietModules = 1.0;
constexpr double kPdf417QuietModules = 2.0;

QString itemOf(const QStringList &items, int index)
{
    return index >= 0 && index < items.size() ? items.at(index) : QString();
}

void setError(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
}

// The symbol image on an opaque background, with `extraPoints` more quiet
// zone on every side. The bitmap keeps its pixel density, so the modules
// stay whole pixels; the padding is rounded up to whole pixels.
platform::Image opaqueWithQuietZone(const platform::Image &symbol, double extraPoints, const QColor &background)
{
    if (symbol.isNull() || symbol.isVector())
        return symbol;
    const QImage &source = symbol.bitmap();
    const double pixelsPerPoint = symbol.size().width() > 0 ? source.width() / symbol.size().width() : 1.0;
    const int pad = extraPoints > 0 ? int(std::ceil(extraPoints * pixelsPerPoint - 1e-6)) : 0;
    QImage bitmap(source.width() + 2 * pad, source.height() + 2 * pad, QImage::Format_ARGB32_Premultiplied);
    if (bitmap.isNull())
        return {};
    bitmap.setDotsPerMeterX(source.dotsPerMeterX());
    bitmap.setDotsPerMeterY(source.dotsPerMeterY());
    QColor fill = background.isValid() ? background : QColor(Qt::white);
    fill.setAlpha(255);
    bitmap.fill(fill);
    if (!writeIndexedBitmap(bitmap, QRectF(QPointF(pad, pad), source.size()), source)) {
        QPainter painter(&bitmap);
        painter.drawImage(QPoint(pad, pad), source);
    }
    const double padPoints = pad / pixelsPerPoint;
    return platform::Image::fromBitmap(
        bitmap, QSizeF(symbol.size().width() + 2 * padPoints, symbol.size().height() + 2 * padPoints));
}

// The 2-D record of `record` filled for a symbol with these texts.
void fill2DRecord(Barcode_Gen &record, const BarcodeSettings &settings, const QString &value, const QString &header,
                  const QString &footer)
{
    record.setContent(value);
    record.setHeader(header);
    record.setFooter(footer);
    record.setPrintsCaption(settings.show_hide_val != 1);
    record.setPrintsHeader(settings.show_hide_hdr != 1);
    record.setPrintsFooter(settings.show_hide_ftr != 1);
    record.setCaptionFontSize(float(settings.value_font_val.pointSizeF()));
    record.setHeaderFontSize(float(settings.header_font_val.pointSizeF()));
    record.setFooterFontSize(float(settings.footer_font_val.pointSizeF()));
}

platform::Image draw2DSymbol(const QString &title, const BarcodeSettings &s, const QString &value, double dpi,
                             QString *error)
{
    const QColor &background = kTwoDimensionalBackground;
    if (title == kQRCode)
        return Draw_QR_Barcode(value, s.qr_ec_index, s.qr_version_index, s.qr_size_val, dpi, background, error);
    if (title == kPDF417)
        return Draw_PDF_417_Barcode(value, QSizeF(s.pdf_wdt_val, s.pdf_hgt_val), s.pdf_ec_val, dpi, background,
                                    error);
    return drawDataMatrixSymbol(value, itemOf(dataMatrixFormatNames(), s.dm_format_index),
                                itemOf(dataMatrixEncodingNames(), s.dm_encoding_index), s.dm_module_val, dpi,
                                background, error);
}

} // namespace

// ---------------------------------------------------------------- lists

const QStringList &barcodeTypeTitles()
{
    static const QStringList titles{
        QStringLiteral("Code 39"),
        QStringLiteral("Extended Code 39"),
        QStringLiteral("Interleaved 2 of 5"),
        QStringLiteral("UPCA"),
        QStringLiteral("PostNet"),
        QStringLiteral("Modified Plessey"),
        QStringLiteral("Modified Plessey (Hex)"),
        QStringLiteral("Industrial 2 of 5"),
        QStringLiteral("EAN-13"),
        QStringLiteral("Code 128"),
        QStringLiteral("Code 128 SET A"),
        QStringLiteral("Code 128 SET B"),
        QStringLiteral("Code 128 SET C"),
        QStringLiteral("Codabar"),
        QStringLiteral("UPCE"),
        QStringLiteral("EAN-8"),
        QStringLiteral("Royal Mail Barcode (RM4SCC / CBC)"),
        QStringLiteral("Planet"),
        QStringLiteral("Japan Post Barcode"),
        kQRCode,
        kPDF417,
        kDataMatrix,
    };
    return titles;
}

QString barcodeTypeTitle(int index)
{
    return itemOf(barcodeTypeTitles(), index);
}

bool isTwoDimensionalTitle(const QString &title)
{
    return title == kQRCode || title == kPDF417 || title == kDataMatrix;
}

const QStringList &alignmentItems()
{
    static const QStringList items{QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")};
    return items;
}

const QStringList &dpiItems()
{
    static const QStringList items{QStringLiteral("Auto"), QStringLiteral("72"),  QStringLiteral("150"),
                                   QStringLiteral("300"),  QStringLiteral("600"), QStringLiteral("1200"),
                                   QStringLiteral("Custom")};
    return items;
}

const QStringList &qrVersionItems()
{
    static const QStringList items = [] {
        QStringList list{QStringLiteral("Auto")};
        for (int v = 1; v <= 40; ++v)
            list << QStringLiteral("V%1").arg(v);
        return list;
    }();
    return items;
}

const QStringList &qrEcLevelItems()
{
    static const QStringList items{QStringLiteral("L (7%)"), QStringLiteral("M (15%)"), QStringLiteral("Q (25%)"),
                                   QStringLiteral("H (30%)")};
    return items;
}

const QStringList &qrEncodingModeItems()
{
    static const QStringList items{QStringLiteral("Auto"), QStringLiteral("Numeric"),
                                   QStringLiteral("Alphanumeric"), QStringLiteral("Byte"),
                                   QStringLiteral("Kanji")};
    return items;
}

int resolutionForItem(const QString &item, int customDpi)
{
    int dpi = kAutoDpi;
    if (item == QLatin1String("Custom"))
        dpi = customDpi;
    else if (item != QLatin1String("Auto"))
        dpi = item.toInt();
    if (dpi <= 0)
        return kAutoDpi;
    return std::clamp(dpi, int(kMinimumDpi), int(kMaximumDpi));
}

int barcodeDpi(const BarcodeSettings &settings)
{
    return resolutionForItem(itemOf(dpiItems(), settings.dpi_val_index), settings.dpi_custom_val.trimmed().toInt());
}

namespace {
template <class Settings>
auto &valueFieldOf(Settings &settings)
{
    return isTwoDimensionalTitle(barcodeTypeTitle(settings.barcode_font_index)) ? settings.two_d_font_val
                                                                                : settings.linear_font_val;
}
} // namespace

QString barcodeValueOf(const BarcodeSettings &settings)
{
    return valueFieldOf(settings);
}

QString &barcodeValueField(BarcodeSettings &settings)
{
    return valueFieldOf(settings);
}

PrintState Get_Print_State(int captionCheckboxState, bool captionCheckboxEnabled)
{
    if (!captionCheckboxEnabled)
        return {false, std::nullopt};
    const bool prints = captionCheckboxState != 1;
    return {prints, prints};
}

// ---------------------------------------------------------------- record

Barcode_Gen renderRecordFor(const BarcodeSettings &s)
{
    Barcode_Gen record;
    record.value_font = s.value_font_val;
    record.header_font = s.header_font_val;
    record.footer_font = s.footer_font_val;
    record.barcode_clr = s.barcode_clr_val;
    record.bar_back_clr = s.barcode_back_clr_val;
    record.bar_val_clr = s.barcode_val_clr_val;
    record.bar_hdr_clr = s.barcode_hdr_clr_val;
    record.bar_ftr_clr = s.barcode_ftr_clr_val;
    // An index outside the list keeps the default alignment, as an unknown
    // item text does.
    record.align_hdr = itemOf(alignmentItems(), s.align_hdr_index);
    record.align_ftr = itemOf(alignmentItems(), s.align_ftr_index);
    record.showinTop = s.show_val_on_top == 1;
    record.kerning_value = s.kerning_val == 1;

    record.HeightText = QString::number(double(s.linear_height_val));
    record.widthText = QString::number(double(s.linear_width_val));
    record.val_mar_Text = QString::number(double(s.val_margin_val));
    record.hdr_mar_Text = QString::number(double(s.hdr_margin_val));
    record.ftr_mar_Text = QString::number(double(s.ftr_margin_val));
    record.TB_mar_Text = QString::number(double(s.TB_marging_val));
    record.LR_mar_Text = QString::number(double(s.LR_margin_val));
    record.captionCheckbox = s.show_hide_val;
    record.hideHeaderCheckbox = s.show_hide_hdr;
    record.hideFooterCheckbox = s.show_hide_ftr;
    return record;
}

// ---------------------------------------------------------------- 2-D symbols

platform::Image Draw_QR_Barcode(const QString &value, int ecLevel, int version, int side, double,
                                const QColor &background, QString *error)
{
    std::shared_ptr<const DataMatrix> grid = QRFrontEnd::encodeWithECLevel(ecLevel, version, value);
    if (!grid) {
        setError(error, QStringLiteral("The value is too long for the chosen QR Code version and level."));
        return {};
    }
    // The symbol fills the side on whatever device it is drawn, so the
    // picture is drawn there rather than resampled from a bitmap. Its quiet
    // zone is four modules of the smallest symbol the settings allow, so an
    // object bound to values of different lengths keeps one picture size and
    // every record's symbol fills the same side.
    const double square = std::max(double(side), double(grid->dimension()));
    const double smallest = double(4 * (std::max(version, 1) - 1) + 21);
    const platform::Image image =
        QRFrontEnd::drawingOf(grid, square, kQRQuietModules * square / std::min(smallest, square), background);
    if (image.isNull())
        setError(error, QStringLiteral("The QR Code image could not be made."));
    return image;
}

platform::Image Draw_PDF_417_Barcode(const QString &value, QSizeF frame, int errorLevel, double dpi,
                                     const QColor &background, QString *error)
{
    pdf417View view(frame);
    view.setErrorLevel(errorLevel);
    if (view.drawWithText(value, dpi) != pdf417View::ImageReady || view.getImage().isNull()) {
        setError(error, frame.isEmpty() ? QStringLiteral("The PDF417 width and height must be above 0.")
                                        : QStringLiteral("The value cannot be encoded as PDF417."));
        return {};
    }
    // The symbol has no quiet zone of its own; its modules are the frame's
    // width shared among the symbol's bit columns.
    const double module = frame.width() / std::max(1, view.record().bitColumns);
    return opaqueWithQuietZone(view.getImage(), kPdf417QuietModules * module, background);
}

namespace {

// The encodations a symbol is drawn in, by their list items; for the
// library's own choice, each one its letters use ("Ascii and Text"), X12,
// which the list does not offer, by its name.
QString encodationItems(const DataMatrixGrid &grid)
{
    const std::string letters = grid.encodation != 0 ? std::string(1, grid.encodation) : grid.encoding;
    QStringList used;
    for (const QString &item : dataMatrixEncodingNames()) {
        const char letter = dataMatrixEncodationLetter(item);
        if (letter != 0 && letters.find(letter) != std::string::npos)
            used << item;
    }
    if (letters.find('X') != std::string::npos)
        used << QStringLiteral("X12");
    return used.join(QStringLiteral(" and "));
}

} // namespace

platform::Image drawDataMatrixSymbol(const QString &value, const QString &format, const QString &encoding,
                                     int moduleSize, double dpi, const QColor &background, QString *error,
                                     QString *note)
{
    const DataMatrixDrawing drawing = Draw_DataMatrix_Barcode(value, format, encoding, moduleSize, dpi);
    const char chosen = dataMatrixEncodationLetter(encoding);
    if (note != nullptr) {
        note->clear();
        if (!drawing.image.isNull() && chosen != 0 && drawing.grid.encodation != chosen) {
            const bool autoSize = dataMatrixFormatFromName(format).columns == 0;
            if (drawing.grid.chosenReadsOtherwise)
                *note = QStringLiteral("%1 cannot write this value correctly: it is drawn in %2.")
                            .arg(encoding, encodationItems(drawing.grid));
            else
                *note = QStringLiteral("The value does not fit in %1 at %2: it is drawn in %3.")
                            .arg(encoding, autoSize ? QStringLiteral("any size") : QStringLiteral("this size"),
                                 encodationItems(drawing.grid));
        }
    }
    if (drawing.image.isNull()) {
        const bool autoSize = format == QLatin1String("Auto") || format.isEmpty();
        if (drawing.grid.fitsButReadsOtherwise)
            setError(error, autoSize ? QStringLiteral("The value cannot be written correctly in a Data Matrix symbol.")
                                     : QStringLiteral("The value cannot be written correctly at the chosen Data Matrix size."));
        else
            setError(error, autoSize ? QStringLiteral("The value is too long for a Data Matrix symbol.")
                                     : QStringLiteral("The value does not fit the chosen Data Matrix size."));
        return {};
    }
    // The page leaves one module around the symbol and is scaled alike both
    // ways into W x H modules of moduleSize points: along the grid's shorter
    // side that side's modules and the border share the frame's points.
    const int shorter = std::min(drawing.grid.W, drawing.grid.H);
    const double module = double(std::max(moduleSize, 1)) * shorter / (shorter + 2);
    return opaqueWithQuietZone(drawing.image, std::max(0.0, (kDataMatrixQuietModules - 1.0) * module), background);
}

// ---------------------------------------------------------------- dispatch

std::unique_ptr<SymBarcode> newLinearSymbol(const QString &title, const QString &value, bool printsCaption)
{
    const std::optional<std::string> content = value.toStdString();
    if (title == QLatin1String("Code 39"))
        return SymBarcode::create<SymCode39Barcode>(content, printsCaption);
    if (title == QLatin1String("Extended Code 39"))
        return SymBarcode::create<SymExtendedCode39Barcode>(content, printsCaption);
    if (title == QLatin1String("Interleaved 2 of 5"))
        return SymBarcode::create<SymInterleavedTwoOfFiveBarcode>(content, printsCaption);
    if (title == QLatin1String("UPCA"))
        return SymBarcode::create<SymUPCABarcode>(content, printsCaption);
    if (title == QLatin1String("PostNet"))
        return SymBarcode::create<SymPostnetBarcode>(content, printsCaption);
    if (title == QLatin1String("Modified Plessey"))
        return SymBarcode::create<SymModifiedPlesseyBarcode>(content, printsCaption);
    if (title == QLatin1String("Modified Plessey (Hex)"))
        return SymBarcode::create<SymModifiedPlesseyHexBarcode>(content, printsCaption);
    if (title == QLatin1String("Industrial 2 of 5"))
        return SymBarcode::create<SymIndustrialTwoOfFiveBarcode>(content, printsCaption);
    if (title == QLatin1String("EAN-13"))
        return SymBarcode::create<SymEAN13Barcode>(content, printsCaption);
    if (title == QLatin1String("Code 128"))
        return SymCode128Barcode::create(content, SymCode128Barcode::CodeSetAuto, printsCaption);
    if (title == QLatin1String("Code 128 SET A"))
        return SymCode128Barcode::create(content, SymCode128Barcode::CodeSetA, printsCaption);
    if (title == QLatin1String("Code 128 SET B"))
        return SymCode128Barcode::create(content, SymCode128Barcode::CodeSetB, printsCaption);
    if (title == QLatin1String("Code 128 SET C"))
        return SymCode128Barcode::create(content, SymCode128Barcode::CodeSetC, printsCaption);
    if (title == QLatin1String("Codabar"))
        return SymBarcode::create<SymCodabarBarcode>(content, printsCaption);
    if (title == QLatin1String("UPCE"))
        return SymBarcode::create<SymUPCEBarcode>(content, printsCaption);
    if (title == QLatin1String("EAN-8"))
        return SymBarcode::create<SymEAN8Barcode>(content, printsCaption);
    if (title == QLatin1String("Royal Mail Barcode (RM4SCC / CBC)"))
        return SymBarcode::create<SymRoyalMailBarcode>(content, printsCaption);
    if (title == QLatin1String("Planet"))
        return SymBarcode::create<SymPlanetBarcode>(content, printsCaption);
    if (title == QLatin1String("Japan Post Barcode"))
        return SymBarcode::create<JapanPostBarcode>(content, printsCaption);
    return nullptr;
}

BarcodeLayout dressLinearSymbol(SymBarcode &symbol, const Barcode_Gen &record, const QString &header,
                                const QString &footer, bool printsCaption, const ControlStates &controls)
{
    // The fonts first: the font sizes below measure the texts with them.
    symbol.setStyle(record.symbolStyle());
    symbol.setHeader(header);
    symbol.setFooter(footer);
    symbol.setPrintsCaption(printsCaption);
    symbol.setPrintsHeader(record.hideHeaderCheckbox != 1);
    symbol.setPrintsFooter(record.hideFooterCheckbox != 1);
    if (controls.widthTextEnabled)
        symbol.setBarWidth(barWidthFromMils(fieldFloatValue(record.widthText)));
    symbol.setCaptionFontSize(float(record.value_font.pointSizeF()));
    symbol.setHeaderFontSize(float(record.header_font.pointSizeF()));
    symbol.setFooterFontSize(float(record.footer_font.pointSizeF()));

    BarcodeLayout layout = layoutLinear(record, symbol, kCentimetres);
    if (controls.HeightTextEnabled) {
        applyLayout(symbol, layout);
    } else {
        layout.height = symbol.height();
        symbol.setStyle(layout.style);
        symbol.setWidth(layout.width);
    }
    return layout;
}

BarcodeSymbol Generate_Barcode_Variable(const BarcodeSettings &settings, const QString &value,
                                        const QString &header, const QString &footer, double dpi,
                                        const ControlStates &controls)
{
    BarcodeSymbol out;
    out.title = barcodeTypeTitle(settings.barcode_font_index);
    // The rule of the symbol's kind, as the designer checks a typed value:
    // a 2-D symbol holds any text as UTF-8, a linear one ASCII only.
    BarcodeSymbolState kind;
    kind.twoDimensional = out.isTwoDimensional();
    if (const auto problem = barcodeValueProblem(value, false, kind)) {
        out.error = *problem;
        return out;
    }
    if (out.title.isEmpty()) {
        out.error = QStringLiteral("No symbology is chosen.");
        return out;
    }
    try {
        if (out.isTwoDimensional()) {
            out.image_2d = draw2DSymbol(out.title, settings, value, dpi, &out.error);
            return out;
        }
        if (value.size() > kMostLinearCharacters) {
            out.error = QStringLiteral("The value has %L1 characters; a %2 symbol carries at most %L3.")
                            .arg(value.size())
                            .arg(out.title)
                            .arg(kMostLinearCharacters);
            return out;
        }
        const PrintState print = Get_Print_State(settings.show_hide_val, controls.captionCheckboxEnabled);
        std::unique_ptr<SymBarcode> symbol = newLinearSymbol(out.title, value, print.printsCaption);
        if (!symbol || !symbol->isContentValid()) {
            out.error = QStringLiteral("The value cannot be written as %1.").arg(out.title);
            return out;
        }
        out.layout = dressLinearSymbol(*symbol, renderRecordFor(settings), header, footer, print.printsCaption,
                                       controls);
        out.symbol = std::move(symbol);
    } catch (const std::exception &e) {
        out.symbol.reset();
        out.image_2d = {};
        out.error = QString::fromLocal8Bit(e.what());
    }
    return out;
}

platform::Image linearPicture(const SymBarcode &symbol, const BarcodeLayout &layout)
{
    return imageFromBarcode(symbol, layout.style);
}

platform::Image Get_2d_barcode_from_image(const platform::Image &image_2d, const BarcodeSettings &settings,
                                          const QString &header, const QString &footer)
{
    if (image_2d.isNull())
        return {};
    Barcode_Gen record = renderRecordFor(settings);
    fill2DRecord(record, settings, barcodeValueOf(settings), header, footer);
    // Framed by this image's own size, whatever was shown before.
    const BarcodeLayout layout = layout2D(record, image_2d.size(), kCentimetres);
    record.setWidth(layout.width);
    record.setHeight(layout.height);
    return imageFromBarcodeImage(image_2d, record, layout);
}

QRectF barcodePictureRect(const BarcodeSettings &settings, QSizeF picture, const QRectF &box)
{
    const QString title = barcodeTypeTitle(settings.barcode_font_index);
    if ((title != kQRCode && title != kDataMatrix) || picture.isEmpty() || box.isEmpty())
        return box;
    const QSizeF fitted = picture.scaled(box.size(), Qt::KeepAspectRatio);
    QRectF out(QPointF(0, 0), fitted);
    out.moveCenter(box.center());
    return out;
}

QSizeF barcodeBoxSize(const QRectF &box, QSizeF previousPicture, QSizeF newPicture)
{
    const double scale = previousPicture.width() > 0 && box.width() > 0 ? box.width() / previousPicture.width() : 1.0;
    return newPicture * scale;
}

platform::Image barcodeImageFor(const BarcodeSettings &settings, const QString &value, const QString &header,
                                const QString &footer, double dpi, QString *error)
{
    const BarcodeSymbol made = Generate_Barcode_Variable(settings, value, header, footer, dpi);
    platform::Image picture;
    if (made.symbol)
        picture = linearPicture(*made.symbol, made.layout);
    else if (!made.image_2d.isNull())
        picture = Get_2d_barcode_from_image(made.image_2d, settings, header, footer);
    if (picture.isNull())
        setError(error, made.error.isEmpty() ? QStringLiteral("The barcode picture could not be drawn.") : made.error);
    return picture;
}

platform::Image barcodeImageFor(const BarcodeSettings &settings, QString *error)
{
    return barcodeImageFor(settings, barcodeValueOf(settings), settings.header_val, settings.footer_val,
                           barcodeDpi(settings), error);
}

} // namespace barcodes
