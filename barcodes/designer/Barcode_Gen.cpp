#include "barcodes/designer/Barcode_Gen.h"

namespace barcodes {

namespace {

// A line of text is given its cap height plus 35 % below it, in inches.
float textHeightInches(const TextMeasurer &measurer, const QFont &font)
{
    const double capHeight = measurer.capHeight(font);
    return float(capHeight / 72.0 + 0.35 * (capHeight / 72.0));
}

} // namespace

Barcode_Gen::Barcode_Gen()
    : m_measurer(defaultTextMeasurer())
{
}

Barcode_Gen &Barcode_Gen::defaultInstance()
{
    static Barcode_Gen instance;
    return instance;
}

void Barcode_Gen::setTextMeasurer(std::shared_ptr<const TextMeasurer> measurer)
{
    m_measurer = measurer ? std::move(measurer) : defaultTextMeasurer();
}

void Barcode_Gen::setCaptionFontSize(float size)
{
    m_captionFontSize = size;
    m_captionHeight = textHeightInches(*m_measurer, value_font);
}

void Barcode_Gen::setHeaderFontSize(float size)
{
    m_headerFontSize = size;
    m_headerHeight = textHeightInches(*m_measurer, header_font);
    m_headerWidth = float(m_measurer->textSize(header(), header_font, 0.0).width());
}

void Barcode_Gen::setFooterFontSize(float size)
{
    m_footerFontSize = size;
    m_footerHeight = textHeightInches(*m_measurer, footer_font);
    m_footerWidth = float(m_measurer->textSize(footer(), footer_font, 0.0).width());
}

float barWidthFromMils(float mils)
{
    // The division in single precision, the product in double, as the
    // designer has always rounded it.
    const float inches = mils / 1000.0f;
    return float(double(inches) * 72.0);
}

Barcode_Gen *Barcode_Gen_Var = &Barcode_Gen::defaultInstance();

// USED_DPI_VALUE is defined beside the resampling (barcodes/imaging).
std::atomic<int> Measument_Unit_Is{1};
std::atomic<int> last_unit_val{1};
std::atomic<int> Barcode_module_size{1};
std::atomic<int> QR_Version_Val{0};
std::atomic<int> QR_EC_Level_Val{0};
std::atomic<int> QR_Enc_Mode_Val{0};

} // namespace barcodes
