#pragma once
// The barcode designer's engine: what turns a barcode object's settings and a
// value into the symbol and the picture that the card shows. The designer's
// preview, the design window (a new object, a design opened) and the
// per-record fill of a batch run all come here.
//
// Values in, values out: the settings are passed by value or const
// reference, the resolution as an argument; nothing here reads a
// process-wide value or touches a widget, so every function runs on any
// thread (a worker passes its own copy of the settings). Failures come back
// as a null image or symbol with the reason in `error`, never as a message.
//
// Units: picture sizes in points (1/72 inch); the settings' lengths as the
// designer stores them (bar height and margins in centimetres, bar width in
// mils); resolution in dots per inch, for the bitmaps of 2-D symbols only
// (linear pictures are vector recordings).

#include "barcodes/designer/BarcodeSettings.h"
#include "barcodes/render/BarcodeLayout.h"
#include "barcodes/render/BarcodeRecord.h"
#include "barcodes/symbologies/SymBarcode.h"
#include "platform/Image.h"

#include <QColor>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace barcodes {

// ---- The designer's lists. Design files store item indexes into the
// symbology, alignment and resolution lists, so their order is fixed: new
// items go at the end.

// The symbology titles, linear and postal first, then "QR Code", "PDF417" and
// "DataMatrix"; `barcode_font_index` is a position in this list.
const QStringList &barcodeTypeTitles();
// The title at `index`; "" outside the list.
QString barcodeTypeTitle(int index);
// QR Code, PDF417 and Data Matrix; every other title is linear or postal.
bool isTwoDimensionalTitle(const QString &title);
// Header and footer alignments: "Left", "Center", "Right".
const QStringList &alignmentItems();
// Resolutions: "Auto" (600), fixed values in dots per inch, "Custom".
const QStringList &dpiItems();
// QR versions: "Auto", then "V1" to "V40".
const QStringList &qrVersionItems();
// QR error-correction levels in the order L, M, Q, H.
const QStringList &qrEcLevelItems();
// QR encoding modes; the choice is kept but the encoder picks its own.
const QStringList &qrEncodingModeItems();

// The resolution an item of the resolution list stands for: 600 for "Auto",
// `customDpi` for "Custom", else the number the item shows; kept within the
// resolutions bitmaps are made at.
int resolutionForItem(const QString &item, int customDpi);
// The resolution of an object's 2-D bitmaps: its resolution item, with its
// custom value for "Custom" (a custom value that is not a resolution counts
// as "Auto").
int barcodeDpi(const BarcodeSettings &settings);

// The value an object encodes: its 2-D value for a 2-D symbology, else its
// linear value.
QString barcodeValueOf(const BarcodeSettings &settings);
// The field that holds the value drawn for the settings' symbology (the 2-D
// value for QR Code, PDF417 and Data Matrix, the linear value otherwise):
// where a new value must go to be drawn.
QString &barcodeValueField(BarcodeSettings &settings);

// ---- Whether the value text is printed (the designer's Get_Print_State).
// A hidden value text (`captionCheckbox` state 1) or a disabled check box
// prints none. While the check box is enabled, the value-on-top check box is
// enabled exactly when the value text is printed; a disabled caption box
// leaves it as it is (no answer).
struct PrintState {
    bool printsCaption = false;
    std::optional<bool> showinTopEnabled;
    bool operator==(const PrintState &) const = default;
};
PrintState Get_Print_State(int captionCheckboxState, bool captionCheckboxEnabled);

// The designer's controls that can be switched off and that the dispatch
// reads: without the caption check box no value text is printed, without the
// bar-width field a symbol keeps its class's bar width, without the height
// field its class's height.
struct ControlStates {
    bool captionCheckboxEnabled = true;
    bool widthTextEnabled = true;
    bool HeightTextEnabled = true;
    bool operator==(const ControlStates &) const = default;
};

// ---- The rendering record of an object's settings: its style (fonts,
// colours, alignments, value placement, kerning), the lengths as the layout
// reads them, and the hide switches. The 2-D text record is empty.
Barcode_Gen renderRecordFor(const BarcodeSettings &settings);

// ---- Two-dimensional symbol images, without header and footer. Each
// image (a bitmap at `dpi`, or for QR Code a drawing fitted to each device)
// has a quiet zone opaque in `background` and
// at least as wide as its symbology asks (QR Code 4 modules, Data Matrix 1,
// PDF417 2), so the symbol scans on any card. A null image with the reason in
// `error` when the value cannot be encoded.

// What the three are drawn on: white, as their pictures with header and
// footer are. An object's background colour belongs to linear symbols, the
// only ones the designer offers it for; the object keeps it for a switch
// back to one.
inline const QColor kTwoDimensionalBackground{Qt::white};

// QR Code at level 0..3 (L, M, Q, H) and version 1..40 (0: the smallest that
// holds the value), filling a square of `side` points (raised to one point
// per module). Not a bitmap: it is drawn afresh at the resolution of each
// device it is shown on (see QRFrontEnd::drawingOf), so `dpi` is not used.
// Its quiet zone depends on the settings only, not on the value, so the
// picture keeps its size from value to value.
platform::Image Draw_QR_Barcode(const QString &value, int ecLevel, int version, int side, double dpi,
                                const QColor &background, QString *error = nullptr);
// PDF417 at `errorLevel`, stretched to `frame` points.
platform::Image Draw_PDF_417_Barcode(const QString &value, QSizeF frame, int errorLevel, double dpi,
                                     const QColor &background, QString *error = nullptr);
// Data Matrix ECC200 of the size and encodation list items, `moduleSize`
// points per module. A chosen encodation that does not hold the value gives
// way to one that does; `note` then says so in the list's names ("The value
// does not fit in C40 at this size: it is drawn in Base256.", or where the
// value fits but would read back as another: "C40 cannot write this value
// correctly: it is drawn in Ascii."), and is emptied otherwise.
platform::Image drawDataMatrixSymbol(const QString &value, const QString &format, const QString &encoding,
                                     int moduleSize, double dpi, const QColor &background,
                                     QString *error = nullptr, QString *note = nullptr);

// ---- The symbology dispatch.

// A symbol as the dispatch makes it: a linear or postal symbol laid out and
// ready to draw, or a 2-D symbol image; neither when the value cannot be
// encoded (the reason in `error`).
struct BarcodeSymbol {
    QString title;
    std::unique_ptr<SymBarcode> symbol; // linear and postal symbologies
    BarcodeLayout layout;               // its layout
    platform::Image image_2d;           // 2-D symbologies: the symbol image
    QString error;

    bool isTwoDimensional() const { return isTwoDimensionalTitle(title); }
    bool isValid() const { return symbol != nullptr || !image_2d.isNull(); }
};

// The linear or postal symbol of `title` holding `value`; nullptr for a
// title that is not linear or a value the symbology has no symbol for. The
// symbol is not laid out yet.
std::unique_ptr<SymBarcode> newLinearSymbol(const QString &title, const QString &value, bool printsCaption);

// Gives a linear symbol the record's style, the texts and their switches,
// the bar width and font sizes, and lays it out; returns the layout it took.
// The style comes first, so every text is measured with the record's fonts
// whatever the symbol held before.
BarcodeLayout dressLinearSymbol(SymBarcode &symbol, const Barcode_Gen &record, const QString &header,
                                const QString &footer, bool printsCaption, const ControlStates &controls = {});

// The most characters a linear or postal symbol is made of. Readers stop
// far below it; a longer value (a whole file bound by mistake) would be a
// symbol of millions of bars, too fine to read and minutes to draw.
inline constexpr qsizetype kMostLinearCharacters = 1000;

// Makes the symbol of `value` with the object's symbology and settings:
// an empty value, a linear value that is not 7-bit ASCII or longer than
// kMostLinearCharacters, a value the symbology cannot encode, or a title
// outside the list gives no symbol.
BarcodeSymbol Generate_Barcode_Variable(const BarcodeSettings &settings, const QString &value,
                                        const QString &header, const QString &footer, double dpi,
                                        const ControlStates &controls = {});

// The picture of a laid-out linear symbol.
platform::Image linearPicture(const SymBarcode &symbol, const BarcodeLayout &layout);
// The picture of a 2-D symbol image with the object's header and footer
// (shown unless hidden) and margins, framed by its own size; a null image
// for a null symbol image.
platform::Image Get_2d_barcode_from_image(const platform::Image &image_2d, const BarcodeSettings &settings,
                                          const QString &header, const QString &footer);

// Where a barcode picture of `picture` points goes in an object's `box`: a
// QR Code or Data Matrix picture keeps its proportions, as large as fits and
// centred, so its modules stay square and its texts unstretched; any other
// symbology fills the box (PDF417 keeps the width and height it was set).
QRectF barcodePictureRect(const BarcodeSettings &settings, QSizeF picture, const QRectF &box);

// The size an object's box takes for a new picture: the new picture at the
// scale (by width) at which the box showed its previous one, so the new one
// is neither distorted nor resized by the user's earlier stretching; the
// picture's own size when there was none before.
QSizeF barcodeBoxSize(const QRectF &box, QSizeF previousPicture, QSizeF newPicture);

// The picture the card shows for `value` with `header` and `footer`, made
// with the object's settings at `dpi`: the per-record image of a batch run.
// A null image, with the reason in `error`, when no symbol can be made.
platform::Image barcodeImageFor(const BarcodeSettings &settings, const QString &value, const QString &header,
                                const QString &footer, double dpi, QString *error = nullptr);
// The picture of the object's own value, header and footer at its own
// resolution.
platform::Image barcodeImageFor(const BarcodeSettings &settings, QString *error = nullptr);

} // namespace barcodes
