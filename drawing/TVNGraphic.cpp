#include "drawing/TVNGraphic.h"

#include "barcodes/designer/BarcodeEngine.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextFragment>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Text is laid out on a 72 dpi device, so that a 12 pt font is 12 units tall
// in card coordinates whatever device the card is finally painted on.
QPaintDevice &pointDevice()
{
    static QImage device = [] {
        QImage img(1, 1, QImage::Format_ARGB32_Premultiplied);
        const int dpm = qRound(72.0 / 0.0254);
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        return img;
    }();
    return device;
}

} // namespace

// ---------------------------------------------------------------- TVNGraphic

TVNGraphic::TVNGraphic() = default;

TVNGraphic::~TVNGraphic() = default;

void TVNGraphic::assignState(const TVNGraphic &other)
{
    setBarcodeSettings(other.barcodeSettings());
    control_ID = other.control_ID;
    ctrl_is_visible = other.ctrl_is_visible;
    ctrl_is_printable = other.ctrl_is_printable;
    Text_Value = other.Text_Value;
    _barcode_image = other._barcode_image;
    _isDrawingFill = other._isDrawingFill;
    _isDrawingStroke = other._isDrawingStroke;
    _fillColor = other._fillColor;
    _strokeColor = other._strokeColor;
    _strokeWidth = other._strokeWidth;
    setBounds(other._bounds);
}

void TVNGraphic::setBounds(const QRectF &rect)
{
    _bounds = rect.normalized();
}

void TVNGraphic::draw(QPainter &painter) const
{
    // One style for every output drawing: an empty image is not free to make.
    static const drawing::DrawStyle output;
    draw(painter, output);
}

void TVNGraphic::draw(QPainter &painter, const drawing::DrawStyle &style) const
{
    if (!ctrl_is_visible)
        return;
    painter.save();
    if (_isDrawingFill)
        painter.fillRect(_bounds, _fillColor);
    drawContents(painter, style);
    if (_isDrawingStroke && _strokeWidth > 0) {
        QPen pen(_strokeColor, _strokeWidth);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(_bounds);
    }
    painter.restore();
}

bool TVNGraphic::hitTest(const QPointF &point) const
{
    return ctrl_is_visible && _bounds.contains(point);
}

// ------------------------------------------------------------------- TVNText

TVNText::TVNText() : _Text_contents(std::make_unique<QTextDocument>())
{
    prepareDocument();
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(12);
    setTextFont(font);
    setTextColor(Qt::black);
    setAlignment(Qt::AlignLeft);
}

TVNText::TVNText(const TVNText &other)
    : TVNGraphic(other)
    , _Text_contents(other._Text_contents->clone())
{
    prepareDocument();
    _Text_contents->setTextWidth(_bounds.width());
}

TVNText::~TVNText() = default;

std::shared_ptr<TVNGraphic> TVNText::clone() const
{
    return std::shared_ptr<TVNText>(new TVNText(*this));
}

void TVNText::assignState(const TVNGraphic &other)
{
    TVNGraphic::assignState(other);
    if (const auto *text = dynamic_cast<const TVNText *>(&other)) {
        _Text_contents->setDefaultFont(text->_Text_contents->defaultFont());
        setRichText(text->richText());
        setAlignment(text->alignment());
        _Text_contents->setTextWidth(_bounds.width());
    }
}

void TVNText::prepareDocument()
{
    _Text_contents->documentLayout()->setPaintDevice(&pointDevice());
    _Text_contents->setDocumentMargin(0);
    _Text_contents->setUndoRedoEnabled(false);
}

void TVNText::setBounds(const QRectF &rect)
{
    TVNGraphic::setBounds(rect);
    _Text_contents->setTextWidth(_bounds.width());
}

QString TVNText::contentsString() const
{
    return _Text_contents->toPlainText();
}

void TVNText::setContentsString(const QString &text)
{
    setContentsString(text, firstCharacterLook());
}

TVNText::Look TVNText::firstCharacterLook() const
{
    QTextCursor cursor(_Text_contents.get());
    cursor.movePosition(QTextCursor::Start);
    // The format of the first character (the one right of the start).
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    return {_Text_contents->isEmpty() ? cursor.blockCharFormat() : cursor.charFormat(), cursor.blockFormat()};
}

void TVNText::setContentsString(const QString &text, const Look &look)
{
    QTextCursor cursor(_Text_contents.get());
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.setBlockFormat(look.paragraph);
    cursor.setBlockCharFormat(look.characters);
    cursor.insertText(text, look.characters);
}

qsizetype TVNText::shownCharacters(const Look &look) const
{
    const QFont font = look.characters.font().resolve(_Text_contents->defaultFont());
    const QFontMetricsF metrics(font, &pointDevice());
    // A line is never less than half the font's height, even with the
    // tightest line spacing a paragraph can ask for.
    const double lineHeight = std::max(metrics.height() / 2, 0.01);
    // The font's height is about 1.15 times its size.
    const double narrowest = std::max(metrics.height() / 12, 0.01);
    const double lines = std::floor(std::max(0.0, _bounds.height()) / lineHeight) + 1;
    const double perLine = std::floor(std::max(0.0, _bounds.width()) / narrowest) + 1;
    // Compared as doubles: a huge box must not overflow the count.
    const double bound = lines * perLine;
    if (bound >= double(std::numeric_limits<qsizetype>::max() / 2))
        return std::numeric_limits<qsizetype>::max() / 2;
    return std::max(kShownCharactersFloor, qsizetype(bound));
}

void TVNText::setShownContents(const QString &text, const Look &look)
{
    setContentsString(text.left(shownCharacters(look)), look);
}

drawing::RichText TVNText::richText() const
{
    // Fonts and colours as drawn: what a format leaves open comes from the
    // document's font and from the text colour.
    const QFont base = _Text_contents->defaultFont();
    const QColor baseColor = textColor();
    const auto font = [&](const QTextCharFormat &f) { return f.font().resolve(base); };
    const auto color = [&](const QTextCharFormat &f) {
        return f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : baseColor;
    };
    drawing::RichText text;
    for (QTextBlock block = _Text_contents->begin(); block.isValid(); block = block.next()) {
        drawing::TextParagraph paragraph{font(block.charFormat()), color(block.charFormat()), {}};
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid())
                paragraph.runs.append({fragment.text(), font(fragment.charFormat()), color(fragment.charFormat())});
        }
        text.append(paragraph);
    }
    return text;
}

void TVNText::setRichText(const drawing::RichText &text)
{
    const auto format = [](const QFont &font, const QColor &color) {
        QTextCharFormat f;
        f.setFont(font);
        f.setForeground(color);
        return f;
    };
    QTextCursor cursor(_Text_contents.get());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    const QTextBlockFormat block = cursor.blockFormat();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const drawing::TextParagraph &paragraph = text[i];
        if (i == 0)
            cursor.setBlockCharFormat(format(paragraph.font, paragraph.color));
        else
            cursor.insertBlock(block, format(paragraph.font, paragraph.color));
        for (const drawing::TextRun &run : paragraph.runs)
            cursor.insertText(run.text, format(run.font, run.color));
    }
    cursor.endEditBlock();
}

QFont TVNText::textFont() const
{
    return _Text_contents->defaultFont();
}

void TVNText::mergeIntoWholeText(const QTextCharFormat &format)
{
    QTextCursor cursor(_Text_contents.get());
    cursor.select(QTextCursor::Document);
    // One edit: a block format change on its own clears the laid-out lines
    // without laying them out again, and the text would draw as nothing.
    cursor.beginEditBlock();
    cursor.mergeCharFormat(format);
    cursor.mergeBlockCharFormat(format);
    cursor.endEditBlock();
}

void TVNText::setTextFont(const QFont &font)
{
    _Text_contents->setDefaultFont(font);
    QTextCharFormat format;
    format.setFont(font);
    mergeIntoWholeText(format);
}

QColor TVNText::textColor() const
{
    QTextCursor cursor(_Text_contents.get());
    const QTextCharFormat format = cursor.blockCharFormat();
    return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor(Qt::black);
}

void TVNText::setTextColor(const QColor &color)
{
    QTextCharFormat format;
    format.setForeground(color);
    mergeIntoWholeText(format);
}

Qt::Alignment TVNText::alignment() const
{
    return _Text_contents->defaultTextOption().alignment();
}

void TVNText::setAlignment(Qt::Alignment alignment)
{
    QTextOption option = _Text_contents->defaultTextOption();
    option.setAlignment(alignment);
    _Text_contents->setDefaultTextOption(option);
    for (QTextBlock block = _Text_contents->begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        QTextBlockFormat format = block.blockFormat();
        format.setAlignment(alignment);
        cursor.setBlockFormat(format);
    }
}

void TVNText::drawContents(QPainter &painter, const drawing::DrawStyle &) const
{
    if (_bounds.isEmpty())
        return;
    painter.save();
    painter.translate(_bounds.topLeft());
    const QRectF clip(0, 0, _bounds.width(), _bounds.height());
    painter.setClipRect(clip, Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip;
    context.palette.setColor(QPalette::Text, textColor());
    _Text_contents->documentLayout()->draw(&painter, context);
    painter.restore();
}

// ------------------------------------------------------------------ TVNImage

std::shared_ptr<TVNGraphic> TVNImage::clone() const
{
    return std::shared_ptr<TVNImage>(new TVNImage(*this));
}

void TVNImage::assignState(const TVNGraphic &other)
{
    TVNGraphic::assignState(other);
    if (const auto *image = dynamic_cast<const TVNImage *>(&other)) {
        _filePath = image->_filePath;
        _image = image->_image;
    }
}

void TVNImage::setFilePath(const QString &path, const platform::Image &mainPhoto)
{
    _filePath = path;
    // The path is the image's value: the profile dialogs read a placed
    // photo's path back from here.
    Text_Value = path;
    if (control_ID.trimmed() == QLatin1String("PARTY_IMAGE")) {
        _image = mainPhoto;
        return;
    }
    _image = platform::Image::fromFile(path);
}

bool TVNImage::hitTest(const QPointF &point) const
{
    if (!TVNGraphic::hitTest(point))
        return false;
    const QImage &pixels = _image.bitmap();
    if (_isDrawingFill || _image.isVector() || pixels.isNull() || !pixels.hasAlphaChannel())
        return true;
    const QPointF at = point - _bounds.topLeft();
    const int x = std::clamp(int(at.x() / _bounds.width() * pixels.width()), 0, pixels.width() - 1);
    const int y = std::clamp(int(at.y() / _bounds.height() * pixels.height()), 0, pixels.height() - 1);
    return qAlpha(pixels.pixel(x, y)) > 0;
}

void TVNImage::drawContents(QPainter &painter, const drawing::DrawStyle &style) const
{
    if (_bounds.isEmpty())
        return;
    // Without a picture the canvas marks where one goes; a card rendered for
    // output shows nothing there.
    const platform::Image &shown = !_image.isNull() ? _image : style.onCanvas ? style.missingPicture : _image;
    if (shown.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    shown.draw(painter, _bounds);
}

// ---------------------------------------------------------------- TVNBarcode

std::shared_ptr<TVNGraphic> TVNBarcode::clone() const
{
    return std::shared_ptr<TVNBarcode>(new TVNBarcode(*this));
}

bool TVNBarcode::makeBarcodeImage(QString *error)
{
    const platform::Image picture = barcodes::barcodeImageFor(barcodeSettings(), error);
    if (picture.isNull())
        return false;
    _barcode_image = picture;
    return true;
}

void TVNBarcode::drawContents(QPainter &painter, const drawing::DrawStyle &style) const
{
    if (!_barcode_image.isNull()) {
        // A symbol's modules must keep their edges: a PDF would otherwise
        // store a 2-D symbol's bitmap as a lossy JPEG.
        painter.setRenderHint(QPainter::LosslessImageRendering);
        _barcode_image.draw(painter, barcodes::barcodePictureRect(barcodeSettings(), _barcode_image.size(), _bounds));
        return;
    }
    if (!style.onCanvas || _bounds.isEmpty())
        return;
    QPen pen(QColor(128, 128, 128), 0.5, Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(_bounds);
    // Bars of a mock symbol so the object is recognisable before it has one.
    const double step = _bounds.width() / 24.0;
    const QRectF inner = _bounds.adjusted(step * 2, _bounds.height() * 0.2, -step * 2, -_bounds.height() * 0.2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(160, 160, 160));
    for (int i = 0; i < 20; ++i) {
        if (i % 3 == 1)
            continue;
        painter.drawRect(QRectF(inner.left() + i * inner.width() / 20.0, inner.top(),
                                inner.width() / 20.0 * ((i % 2) ? 0.5 : 1.0), inner.height()));
    }
}

// ------------------------------------------------------------------- factory

GraphicPtr newGraphicOfClass(GraphicClass cls)
{
    switch (cls) {
    case GraphicClass::Text:
        return std::make_shared<TVNText>();
    case GraphicClass::Image:
        return std::make_shared<TVNImage>();
    case GraphicClass::Barcode:
        return std::make_shared<TVNBarcode>();
    }
    return {};
}

QFont fontFromPostScriptName(const QString &name, double points)
{
    QString family = name.section(QLatin1Char('-'), 0, 0);
    QString style = name.section(QLatin1Char('-'), 1);
    // Foundry suffixes that are not part of the family or style name.
    static const QRegularExpression suffix(QStringLiteral("(PS|MT|PSMT)$"));
    family.remove(suffix);
    style.remove(suffix);
    // "TimesNewRoman" -> "Times New Roman"
    static const QRegularExpression wordStart(QStringLiteral("(?<=[a-z])(?=[A-Z])"));
    family.replace(wordStart, QStringLiteral(" "));

    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(style.contains(QLatin1String("Bold")));
    font.setItalic(style.contains(QLatin1String("Italic")) || style.contains(QLatin1String("Oblique")));
    return font;
}
