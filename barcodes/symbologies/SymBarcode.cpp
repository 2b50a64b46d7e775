#include "barcodes/symbologies/SymBarcode.h"

#include <QByteArray>
#include <QDataStream>
#include <cstdio>

namespace barcodes {

SymBarcode::SymBarcode() = default;
SymBarcode::~SymBarcode() = default;

bool SymBarcode::initWithContent(const std::optional<std::string> &content)
{
    return initWithContent(content, true);
}

bool SymBarcode::initWithContent(const std::optional<std::string> &content, bool printsCaption)
{
    return initWithContent(content, printsCaption, kDefaultBarWidth, kDefaultHeight, kDefaultFontSize, -1);
}

bool SymBarcode::initWithContent(const std::optional<std::string> &content, bool printsCaption, float barWidth,
                                 float height, float fontSize, int checkDigit)
{
    if (!initFields(content, printsCaption, barWidth, height, fontSize, checkDigit))
        return false;
    calculateWidth();
    return true;
}

bool SymBarcode::initFields(const std::optional<std::string> &content, bool printsCaption, float barWidth,
                            float height, float fontSize, int checkDigit)
{
    if (!content)
        return false;
    setContent(*content);
    m_printsCaption = printsCaption;
    m_barWidth = barWidth;
    m_height = height;
    m_captionFontSize = fontSize;
    m_checkDigit = checkDigit;
    return true;
}

void SymBarcode::setContent(const std::string &content)
{
    m_content = content;
}

float SymBarcode::barsWidth(float barWidth) const
{
    return float(completeBarcode().size()) * barWidth;
}

float SymBarcode::barWidthAtHeight(float) const
{
    return m_barWidth;
}

bool SymBarcode::isContentValid() const
{
    if (!contentIsAscii())
        return false;
    for (char c : m_content) {
        if (_encodeChar(c).empty())
            return false;
    }
    return true;
}

std::string SymBarcode::_encodeChar(char) const
{
    return "1010";
}

bool SymBarcode::contentIsAscii() const
{
    for (char c : m_content) {
        if (static_cast<unsigned char>(c) > 127)
            return false;
    }
    return true;
}

std::string SymBarcode::barcode() const
{
    if (!contentIsAscii())
        return {};
    std::string modules;
    modules.reserve(encodedText().size() * 16);
    for (char c : encodedText())
        modules += _encodeChar(c);
    if (m_checkDigit != -1)
        modules += _encodeCheckChar(char(m_checkDigit));
    return modules;
}

const std::string &SymBarcode::completeBarcode() const
{
    KeptModules &kept = m_kept;
    const bool follows = modulesFollowText();
    if (follows && kept.valid && kept.checkDigit == m_checkDigit && kept.variant == encodingVariant()
        && kept.content == m_content && kept.text == encodedText())
        return kept.modules;
    kept.modules = initiator();
    kept.modules += barcode();
    kept.modules += terminator();
    kept.valid = follows;
    if (follows) {
        kept.content = m_content;
        kept.text = encodedText();
        kept.checkDigit = m_checkDigit;
        kept.variant = encodingVariant();
    }
    return kept.modules;
}

std::string SymBarcode::leftCaption() const
{
    const auto n = std::min<std::size_t>(std::max(digitsToLeft(), 0), m_content.size());
    return m_content.substr(0, n);
}

std::string SymBarcode::rightCaption() const
{
    const auto n = std::min<std::size_t>(std::max(digitsToRight(), 0), m_content.size());
    return m_content.substr(m_content.size() - n);
}

std::string SymBarcode::caption() const
{
    const int left = digitsToLeft();
    const int right = digitsToRight();
    if (left == 0 && right == 0)
        return m_content;
    if (std::size_t(left + right) >= m_content.size())
        return {};
    return m_content.substr(left, m_content.size() - left - right);
}

float SymBarcode::barBottom(int) const
{
    float bottom = 0.0f;
    if (printsCaption())
        bottom += m_captionHeight * 72.0f;
    if (printsHeader())
        bottom += m_headerHeight * 72.0f;
    if (printsFooter())
        bottom += m_footerHeight * 72.0f;
    return bottom;
}

float SymBarcode::barTop(int) const
{
    float top = m_height;
    if (printsCaption())
        top -= m_captionHeight * 72.0f + m_style.value_margin;
    if (printsHeader())
        top -= m_headerHeight * 72.0f + m_style.header_margin;
    if (printsFooter())
        top -= m_footerHeight * 72.0f + m_style.footer_margin;
    return top - 2.0f * m_style.TB_margin;
}

std::string SymBarcode::description() const
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer,
                  "\n\tBarcode Class: %s\n\tContent: %s\n\tCheck Digit:%c\n\tWidth:%f\n\tHeight:%f\n\tBar "
                  "Width:%f\n\tCaption Font Size:%f\n\tCaption Height:%f",
                  className(), m_content.c_str(), char(m_checkDigit), double(m_width), double(m_height),
                  double(m_barWidth), double(m_captionFontSize), double(m_captionHeight));
    return buffer;
}

std::unique_ptr<SymBarcode> SymBarcode::copyWithZone() const
{
    auto twin = newInstance();
    twin->m_style = m_style;
    twin->m_measurer = m_measurer;
    twin->prepareCopy(*this);
    twin->initWithContent(m_content, m_printsCaption, m_barWidth, m_height, m_captionFontSize, m_checkDigit);
    twin->calculateWidth();
    return twin;
}

void SymBarcode::encodeWithCoder(QDataStream &out) const
{
    out.setFloatingPointPrecision(QDataStream::SinglePrecision);
    out << QByteArray::fromStdString(m_content) << qint8(m_printsCaption) << m_barWidth << m_width << m_height
        << m_captionFontSize << m_captionHeight << qint8(m_checkDigit);
}

bool SymBarcode::readArchive(QDataStream &in)
{
    in.setFloatingPointPrecision(QDataStream::SinglePrecision);
    QByteArray content;
    qint8 printsCaption = 0;
    qint8 checkDigit = -1;
    float barWidth = 0, width = 0, height = 0, fontSize = 0, captionHeight = 0;
    in >> content >> printsCaption >> barWidth >> width >> height >> fontSize >> captionHeight >> checkDigit;
    if (in.status() != QDataStream::Ok)
        return false;
    setContent(content.toStdString());
    m_printsCaption = printsCaption != 0;
    m_barWidth = barWidth;
    m_width = width;
    m_height = height;
    m_captionFontSize = fontSize;
    m_captionHeight = captionHeight;
    m_checkDigit = checkDigit;
    return true;
}

} // namespace barcodes
