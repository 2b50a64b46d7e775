#include "barcodes/render/SymBarcodeOffscreenView.h"

#include "barcodes/render/BarcodeLayout.h"
#include "barcodes/render/BarcodePicture.h"
#include "barcodes/render/BarcodeRecord.h"
#include "barcodes/render/FourState.h"
#include "barcodes/symbologies/SymBarcode.h"
#include "barcodes/symbologies/SymUPCEAN.h"

#include <QPainter>
#include <QStringList>

namespace barcodes {

namespace {

// Left and right captions stand this far above the caption line.
constexpr double kSideCaptionRaise = 3.0;
// Spacing of the value text when it is not spread over the symbol.
constexpr double kPlainCaptionKerning = 2.0;
// Share of the computed spacing that a caption segment is given.
constexpr double kSegmentKerningFactor = 1.3;

Qt::Alignment alignmentFromItem(const QString &item)
{
    if (item == QLatin1String("Center"))
        return Qt::AlignHCenter;
    if (item == QLatin1String("Left"))
        return Qt::AlignLeft;
    if (item == QLatin1String("Right"))
        return Qt::AlignRight;
    // Any other item keeps the default (natural) alignment.
    return Qt::AlignLeft;
}

// Lays out the picture in the view's y-up coordinates; the picture's own
// coordinates are points from the top left.
class Canvas {
public:
    Canvas(BarcodePicture &picture, double viewHeight, const TextMeasurer &measurer)
        : m_picture(picture)
        , m_height(viewHeight)
        , m_measurer(measurer)
    {
    }

    QRectF toPicture(double x, double y, double w, double h) const { return QRectF(x, m_height - y - h, w, h); }

    QSizeF measure(const QString &text, const QFont &font, double kerning = 0.0) const
    {
        return m_measurer.textSize(text, font, kerning);
    }

    // Text laid out inside a rectangle whose height is the text's own: the
    // first line's top at the rectangle's top.
    void drawInRect(const QString &text, double x, double y, double w, double h, const QFont &font,
                    const QColor &colour, Qt::Alignment alignment, double kerning)
    {
        m_picture.texts.push_back({text, font, kerning, toPicture(x, y, w, h), alignment, colour});
    }

    // Text with the lower left corner of its line at (x, y); under module
    // `anchorModule` of the bars, when one is given.
    void drawAtPoint(const QString &text, double x, double y, const QFont &font, const QColor &colour, double kerning,
                     double anchorModule = -1.0)
    {
        const QSizeF size = measure(text, font, kerning);
        drawInRect(text, x, y, size.width(), size.height(), font, colour, Qt::AlignLeft, kerning);
        m_picture.texts.back().anchorModule = anchorModule;
    }

private:
    BarcodePicture &m_picture;
    double m_height;
    const TextMeasurer &m_measurer;
};

// Header at the top and footer at the bottom, each one line across the view.
void drawHeaderAndFooter(Canvas &canvas, const SymbolStyle &gen, const QRectF &b, bool printsHeader,
                         const QString &header, double headerHeight, bool printsFooter, const QString &footer)
{
    if (printsHeader && !header.isEmpty()) {
        const double th = canvas.measure(header, gen.header_font).height();
        canvas.drawInRect(header, b.x(), b.y() + b.height() - headerHeight - gen.TB_margin, b.width(), th,
                          gen.header_font, gen.bar_hdr_clr, alignmentFromItem(gen.align_hdr), kHeaderFooterKerning);
    }
    if (printsFooter && !footer.isEmpty()) {
        const double th = canvas.measure(footer, gen.footer_font).height();
        canvas.drawInRect(footer, b.x(), b.y() + gen.TB_margin, b.width(), th, gen.footer_font, gen.bar_ftr_clr,
                          alignmentFromItem(gen.align_ftr), kHeaderFooterKerning);
    }
}

// Height of the picture of a symbol. For most symbols that is the symbol's
// height, which the size computation made the whole picture's. Postal bars
// have heights of their own: a symbol whose height is its own size would
// leave no room for its texts, and a bar height shorter than the bars would
// push them into the header. Their picture is at least as high as the
// tallest bar plus the texts and margins around the bars.
double pictureHeight(const SymBarcode &symbol, const SymbolStyle &gen)
{
    if (!barsHaveTheirOwnHeights(symbol))
        return symbol.height();
    const std::string &modules = symbol.completeBarcode();
    double height = 0.0;
    for (std::size_t i = 0; i < modules.size(); ++i) {
        if (modules[i] == '1')
            height = std::max(height, double(symbol.barTop(int(i))));
    }
    // The bars stand on the value and footer margins whether or not those
    // texts are printed.
    height += gen.value_margin + gen.footer_margin + 2.0 * gen.TB_margin;
    if (symbol.printsCaption())
        height += symbol.captionHeight() * 72.0;
    if (symbol.printsHeader())
        height += symbol.headerHeight() * 72.0 + gen.header_margin;
    if (symbol.printsFooter())
        height += symbol.footerHeight() * 72.0;
    if (heightIsSymbolSize(symbol))
        return height;
    return std::max(height, double(symbol.height()));
}

// The value text of UPC and EAN symbols as their standards print it: each
// group centred under the modules of its own digits, a digit under each
// symbol character where the font leaves room, and the number system and
// check digits just outside the guard bars, on the same line.
void drawRetailCaption(Canvas &canvas, const SymAbstractUPCEANBarcode &symbol, BarcodePicture &picture,
                       double yc, const QFont &font, const QColor &colour)
{
    constexpr int kCharacterModules = 7;
    const double bw = picture.moduleWidth;
    const double modulesLeft = picture.modulesLeft;
    const double modulesRight = modulesLeft + picture.moduleCount * bw;
    // Text centred under module `module` (a fraction counts).
    auto centredUnder = [&](const QString &text, double module) {
        const double w = canvas.measure(text, font).width();
        canvas.drawAtPoint(text, modulesLeft + module * bw - w / 2.0, yc, font, colour, 0.0, module);
    };
    for (const SymAbstractUPCEANBarcode::CaptionGroup &group : symbol.captionGroups()) {
        const QString digits = QString::fromLatin1(group.digits);
        if (digits.isEmpty())
            continue;
        // Spaced so that each digit stands under its own symbol character;
        // a font too wide for them keeps the group together.
        const double natural = canvas.measure(digits, font).width();
        const double m = double(digits.size());
        const double spacing = kCharacterModules * bw - natural / m;
        const double centre = group.firstModule + kCharacterModules * m / 2.0;
        if (spacing < 0) {
            centredUnder(digits, centre);
            continue;
        }
        const double drawn = natural + (m - 1) * spacing;
        canvas.drawAtPoint(digits, modulesLeft + centre * bw - drawn / 2.0, yc, font, colour, spacing, centre);
        picture.texts.back().anchorPitch = kCharacterModules;
    }
    // A module's gap from the guards; kept inside the picture when the quiet
    // zone is narrower than the digit.
    const double viewWidth = picture.size.width();
    const QString left = QString::fromLatin1(symbol.leftCaption());
    if (!left.isEmpty()) {
        const double w = canvas.measure(left, font).width();
        canvas.drawAtPoint(left, std::max(0.0, modulesLeft - bw - w), yc, font, colour, 0.0, 0.0);
    }
    const QString right = QString::fromLatin1(symbol.rightCaption());
    if (!right.isEmpty()) {
        const double w = canvas.measure(right, font).width();
        canvas.drawAtPoint(right, std::min(modulesRight + bw, viewWidth - w), yc, font, colour, 0.0,
                           picture.moduleCount);
    }
}

} // namespace

std::unique_ptr<SymBarcodeOffscreenView> SymBarcodeOffscreenView::initWithBarcode(const SymBarcode &barcode,
                                                                                  const SymbolStyle &style)
{
    std::unique_ptr<SymBarcodeOffscreenView> view(new SymBarcodeOffscreenView);
    view->m_own.setSymbolStyle(style);
    view->frameSymbol(barcode);
    return view;
}

std::unique_ptr<SymBarcodeOffscreenView> SymBarcodeOffscreenView::initWithBarcodeImage(const platform::Image &image,
                                                                                       const Barcode_Gen &settings,
                                                                                       const BarcodeLayout &layout)
{
    std::unique_ptr<SymBarcodeOffscreenView> view(new SymBarcodeOffscreenView);
    view->m_own = settings;
    view->m_own.setSymbolStyle(layout.style);
    view->m_own.setWidth(layout.width);
    view->m_own.setHeight(layout.height);
    view->frameImage(image);
    return view;
}

void SymBarcodeOffscreenView::frameSymbol(const SymBarcode &barcode)
{
    m_fromImageOrBarcode = false;
    const double headerWidth = barcode.printsHeader() ? barcode.headerWidth() : 0.0;
    const double footerWidth = barcode.printsFooter() ? barcode.footerWidth() : 0.0;
    const double width = std::max({headerWidth, footerWidth, double(barcode.width())});
    m_frame = QRectF(0, 0, width, pictureHeight(barcode, m_own));
    setBarcode(&barcode);
}

void SymBarcodeOffscreenView::frameImage(const platform::Image &image)
{
    m_fromImageOrBarcode = true;
    m_frame = QRectF(0, 0, m_own.width(), m_own.height());
    setBarcode_Image_2D(image);
}

bool SymBarcodeOffscreenView::knowsPageRange(int &firstPage, int &pageCount) const
{
    firstPage = 1;
    pageCount = 1;
    return true;
}

QRectF SymBarcodeOffscreenView::rectForPage(int) const
{
    if (!m_barcode)
        return {};
    return QRectF(0, 0, m_barcode->width(), m_barcode->height());
}

void SymBarcodeOffscreenView::drawRect(QPainter &painter, const QRectF &) const
{
    picture().paint(painter);
}

BarcodePicture SymBarcodeOffscreenView::picture() const
{
    BarcodePicture picture;
    picture.size = m_frame.size();
    if (m_fromImageOrBarcode)
        drawImage(picture);
    else if (m_barcode)
        drawSymbol(picture);
    return picture;
}

void SymBarcodeOffscreenView::drawSymbol(BarcodePicture &picture) const
{
    const Barcode_Gen &gen = m_own;
    const SymBarcode &symbol = *m_barcode;
    const QRectF b = bounds();
    Canvas canvas(picture, b.height(), gen.textMeasurer());

    const double capH = symbol.printsCaption() ? symbol.captionHeight() * 72.0 : 0.0;
    const double hdrH = symbol.printsHeader() ? symbol.headerHeight() * 72.0 : 0.0;
    const double ftrH = symbol.printsFooter() ? symbol.footerHeight() * 72.0 : 0.0;
    const double Mv = gen.value_margin;
    const double Mf = gen.footer_margin;
    const double Mtb = gen.TB_margin;
    const double Mlr = gen.LR_margin;
    const double W = symbol.width();
    const double bw = symbol.barWidth();

    picture.background = gen.bar_back_clr;

    // Bars: the module string centred in the view, every run of bar modules
    // one rectangle on the common baseline.
    const std::string &modules = symbol.completeBarcode();
    const int n = int(modules.size());
    const double yb = gen.showinTop ? ftrH + Mf + Mtb : capH + ftrH + Mv + Mf + Mtb;
    const bool fourState = isFourStateSymbol(symbol);
    picture.modulesLeft = (b.width() - n * bw) / 2.0;
    picture.moduleWidth = bw;
    picture.moduleCount = n;
    picture.barColour = gen.barcode_clr;
    // At most one bar every other module.
    picture.bars.reserve(std::size_t(n + 1) / 2);
    double hBar = 0.0;
    for (int i = 0; i < n;) {
        if (modules[std::size_t(i)] != '1') {
            ++i;
            continue;
        }
        const int first = i;
        while (i < n && modules[std::size_t(i)] == '1')
            ++i;
        const int last = i - 1;
        hBar = symbol.barTop(last);
        // Four-state bars differ in where they start as well as where they
        // end: trackers and ascenders stand clear of the baseline.
        const double bottom = fourState ? symbol.barBottom(last) : 0.0;
        const QRectF bar = canvas.toPicture(0, yb + bottom, 0, hBar - bottom);
        picture.bars.push_back({first, i - first, bar.top(), bar.bottom()});
    }

    if (symbol.printsCaption()) {
        const double yc = gen.showinTop ? ftrH + Mf + hBar + Mv + Mtb : ftrH + Mf + Mtb;
        const QFont &font = gen.value_font;
        const QColor &colour = gen.bar_val_clr;
        const QString left = QString::fromLatin1(symbol.leftCaption());
        const QString caption = QString::fromLatin1(symbol.caption());
        const QString right = QString::fromLatin1(symbol.rightCaption());

        const auto *retail = dynamic_cast<const SymAbstractUPCEANBarcode *>(&symbol);
        if (retail && !retail->captionGroups().empty()) {
            drawRetailCaption(canvas, *retail, picture, yc, font, colour);
        } else {
            if (!left.isEmpty())
                canvas.drawAtPoint(left, b.x() + 0.25 * symbol.firstBar() + Mlr, yc + kSideCaptionRaise, font, colour,
                                   0.0);

            if (!caption.isEmpty()) {
                const QStringList segments = caption.split(QLatin1Char('\t'));
                if (left.isEmpty() && segments.size() <= 1) {
                    // One group: centred on the view, optionally spread over the
                    // symbol's width.
                    const QSizeF size = canvas.measure(segments[0], font);
                    const double k = (W - size.width()) / (2.0 * segments[0].size());
                    const double kerning = gen.kerning_value ? 2.0 * k : kPlainCaptionKerning;
                    canvas.drawInRect(caption, b.x(), yc, b.width(), size.height(), font, colour, Qt::AlignHCenter,
                                      kerning);
                } else {
                    // Groups spread over the bar area between the start and stop
                    // patterns.
                    const int q = int(segments.size());
                    const double L = double(symbol.initiator().size());
                    const double S = q == 1 ? W - 2.0 * L * bw - 2.0 * symbol.firstBar()
                                            : W / q - L * bw - symbol.firstBar();
                    for (int j = 0; j < q; ++j) {
                        const QString &segment = segments[j];
                        // An empty group (two tabs in a row) has nothing to spread.
                        if (segment.isEmpty())
                            continue;
                        const double tw = canvas.measure(segment, font).width();
                        const double kj = (S - tw) / (2.0 * segment.size());
                        const double px = b.x() + 3.0 * kj + symbol.firstBar() + (j + 1) * L * bw + j * S + Mlr;
                        canvas.drawAtPoint(segment, px, yc, font, colour, kSegmentKerningFactor * kj);
                    }
                }
            }

            if (!right.isEmpty())
                canvas.drawAtPoint(right, b.x() + symbol.lastBar() + 0.07 * W + Mlr, yc + kSideCaptionRaise, font,
                                   colour, 0.0);
        }
    }

    drawHeaderAndFooter(canvas, gen, b, symbol.printsHeader(), symbol.header(), hdrH, symbol.printsFooter(),
                        symbol.footer());
}

void SymBarcodeOffscreenView::drawImage(BarcodePicture &picture) const
{
    const Barcode_Gen &gen = m_own;
    const QRectF b = bounds();
    Canvas canvas(picture, b.height(), gen.textMeasurer());

    picture.background = Qt::white;

    const double iw = m_image_2d.size().width();
    const double ih = m_image_2d.size().height();
    const double hdrH = gen.printsHeader() ? gen.headerHeight() * 72.0 : 0.0;
    // The top of the image area: under the header when one is printed; the
    // header margin is kept either way.
    const double top = b.y() + b.height() - hdrH - gen.TB_margin;
    if (!m_image_2d.isNull()) {
        picture.image = m_image_2d;
        picture.imageRect = canvas.toPicture((gen.width() - iw) / 2.0, top - ih - gen.header_margin, iw, ih);
    }

    drawHeaderAndFooter(canvas, gen, b, gen.printsHeader(), gen.header(), hdrH, gen.printsFooter(), gen.footer());
}

QByteArray SymBarcodeOffscreenView::dataWithPDFInsideRect(const QRectF &rect) const
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return {};
    // The page's top left is the rectangle's top left corner in the view.
    const double top = m_frame.height() - rect.y() - rect.height();
    return platform::pdfData(rect.size(), [&](QPainter &p) {
        p.translate(-rect.x(), -top);
        drawRect(p, rect);
    });
}

} // namespace barcodes
