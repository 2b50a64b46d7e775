#include "design_window/DesignFile.h"

#include "design_window/Globals.h"
#include "platform/Files.h"
#include "platform/PropertyList.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStringDecoder>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>

namespace design_window {

namespace {

// The largest card side a design may have: 200 inches, the largest page a
// PDF can hold. Anything larger cannot be printed or exported and would give
// the canvases a size no window can have.
constexpr double kMaxCardSidePt = 200 * 72;

// A stored bitmap's data: PNG unless its "format" says "jpeg".
const QByteArray kPngFormat = QByteArrayLiteral("png");
const QByteArray kJpegFormat = QByteArrayLiteral("jpeg");

// ---- the fields of a graphic's barcode settings, one row per stored field
// under its field name

using barcodes::BarcodeSettings;

struct Field {
    const char *name;
    std::variant<int BarcodeSettings::*, float BarcodeSettings::*, QString BarcodeSettings::*,
                 bool BarcodeSettings::*, QColor BarcodeSettings::*, QFont BarcodeSettings::*>
        member;
};

const Field kFields[] = {
    {"data_source_type", &BarcodeSettings::data_source_type},
    {"batch_list_name", &BarcodeSettings::batch_list_name},
    {"batch_list_index", &BarcodeSettings::batch_list_index},
    {"excel_binding", &BarcodeSettings::excel_binding},
    {"excel_col_indx", &BarcodeSettings::excel_col_indx},
    {"linear_or_2d", &BarcodeSettings::linear_or_2d},
    {"barcode_font_index", &BarcodeSettings::barcode_font_index},
    {"linear_font_val", &BarcodeSettings::linear_font_val},
    {"two_d_font_val", &BarcodeSettings::two_d_font_val},
    {"header_val", &BarcodeSettings::header_val},
    {"footer_val", &BarcodeSettings::footer_val},
    {"value_font_val", &BarcodeSettings::value_font_val},
    {"header_font_val", &BarcodeSettings::header_font_val},
    {"footer_font_val", &BarcodeSettings::footer_font_val},
    {"barcode_hdr_clr_val", &BarcodeSettings::barcode_hdr_clr_val},
    {"barcode_ftr_clr_val", &BarcodeSettings::barcode_ftr_clr_val},
    {"barcode_val_clr_val", &BarcodeSettings::barcode_val_clr_val},
    {"barcode_clr_val", &BarcodeSettings::barcode_clr_val},
    {"barcode_back_clr_val", &BarcodeSettings::barcode_back_clr_val},
    {"show_hide_hdr", &BarcodeSettings::show_hide_hdr},
    {"show_hide_ftr", &BarcodeSettings::show_hide_ftr},
    {"show_hide_val", &BarcodeSettings::show_hide_val},
    {"show_val_on_top", &BarcodeSettings::show_val_on_top},
    {"align_hdr_index", &BarcodeSettings::align_hdr_index},
    {"align_ftr_index", &BarcodeSettings::align_ftr_index},
    {"kerning_val", &BarcodeSettings::kerning_val},
    {"linear_height_val", &BarcodeSettings::linear_height_val},
    {"linear_width_val", &BarcodeSettings::linear_width_val},
    {"qr_size_val", &BarcodeSettings::qr_size_val},
    {"qr_version_index", &BarcodeSettings::qr_version_index},
    {"qr_ec_index", &BarcodeSettings::qr_ec_index},
    {"pdf_hgt_val", &BarcodeSettings::pdf_hgt_val},
    {"pdf_wdt_val", &BarcodeSettings::pdf_wdt_val},
    {"pdf_ec_val", &BarcodeSettings::pdf_ec_val},
    {"dm_module_val", &BarcodeSettings::dm_module_val},
    {"dm_format_index", &BarcodeSettings::dm_format_index},
    {"dm_encoding_index", &BarcodeSettings::dm_encoding_index},
    {"hdr_margin_val", &BarcodeSettings::hdr_margin_val},
    {"ftr_margin_val", &BarcodeSettings::ftr_margin_val},
    {"val_margin_val", &BarcodeSettings::val_margin_val},
    {"TB_marging_val", &BarcodeSettings::TB_marging_val},
    {"LR_margin_val", &BarcodeSettings::LR_margin_val},
    {"dpi_val_index", &BarcodeSettings::dpi_val_index},
    {"dpi_custom_val", &BarcodeSettings::dpi_custom_val},
    {"barcode_unit_val", &BarcodeSettings::barcode_unit_val},
};

QString className(GraphicClass cls)
{
    switch (cls) {
    case GraphicClass::Text:
        return QStringLiteral("TVNText");
    case GraphicClass::Image:
        return QStringLiteral("TVNImage");
    case GraphicClass::Barcode:
        return QStringLiteral("TVNBarcode");
    }
    return QString();
}

std::optional<GraphicClass> classFromName(const QString &name)
{
    if (name == QLatin1String("TVNText"))
        return GraphicClass::Text;
    if (name == QLatin1String("TVNImage"))
        return GraphicClass::Image;
    if (name == QLatin1String("TVNBarcode"))
        return GraphicClass::Barcode;
    return std::nullopt;
}

// ---- writing values

QVariantMap colorDict(const QColor &c)
{
    const QColor rgb = c.toRgb();
    return {{"red", rgb.redF()}, {"green", rgb.greenF()}, {"blue", rgb.blueF()}, {"alpha", rgb.alphaF()}};
}

QVariantMap fontDict(const QFont &f)
{
    QVariantMap dict{{"family", f.family()},
                     {"weight", int(f.weight())},
                     {"italic", f.italic()},
                     {"underline", f.underline()},
                     {"strikeOut", f.strikeOut()},
                     {"letterSpacing", f.letterSpacing()},
                     {"letterSpacingType", int(f.letterSpacingType())}};
    if (f.pointSizeF() > 0)
        dict.insert("pointSize", f.pointSizeF());
    else
        dict.insert("pixelSize", f.pixelSize());
    return dict;
}

QVariantMap rectDict(const QRectF &r)
{
    return {{"x", r.x()}, {"y", r.y()}, {"width", r.width()}, {"height", r.height()}};
}

QVariantMap sizeDict(const QSizeF &s)
{
    return {{"width", s.width()}, {"height", s.height()}};
}

QVariantMap pointDict(const QPointF &p)
{
    return {{"x", p.x()}, {"y", p.y()}};
}

// What a damaged picture keeps as its format: its entry's own "kind" and,
// when the entry had one, its "format", as "KIND" or "KIND/FORMAT". Storing
// it again then writes the entry as it was read: a "bitmap" whose format
// says "svg" stays a bitmap that cannot be read, rather than turning into
// an SVG picture that the next reading would draw.
QByteArray damagedFormat(const QString &kind, const std::optional<QString> &format)
{
    return format ? (kind + QLatin1Char('/') + *format).toUtf8() : kind.toUtf8();
}

struct StoredKind {
    QString kind;
    std::optional<QString> format;
};

StoredKind storedKindOfDamaged(const platform::Image &image)
{
    const QString label = QString::fromUtf8(image.encodedFormat());
    const qsizetype slash = label.indexOf(QLatin1Char('/'));
    const QString kind = label.left(slash);
    if (kind == QLatin1String("svg") || kind == QLatin1String("bitmap"))
        return {kind, slash < 0 ? std::nullopt : std::optional(label.mid(slash + 1))};
    // A damaged picture made elsewhere names only its bitmap format.
    return {QStringLiteral("bitmap"),
            label == QLatin1String(kPngFormat) ? std::nullopt : std::optional(label)};
}

// An image as a dictionary: vector pictures are stored as SVG, bitmaps as
// PNG, or as the JPEG data they were read from ("format" "jpeg"): a photo
// encoded again as PNG would take several times its size and seconds to
// write. A picture kept damaged from the file is stored as it was read. A
// null image has no dictionary. False, with the reason, when the picture
// cannot be encoded.
bool insertImage(QVariantMap &dict, const char *key, const platform::Image &image, QString *why)
{
    if (image.isNull() && !image.isDamaged())
        return true;
    QVariantMap stored{{"width", image.size().width()}, {"height", image.size().height()}};
    if (image.isDamaged()) {
        const StoredKind was = storedKindOfDamaged(image);
        stored.insert("kind", was.kind);
        if (was.format)
            stored.insert("format", *was.format);
        stored.insert("data", image.encoded());
    } else if (image.isVector()) {
        stored.insert("kind", QStringLiteral("svg"));
        stored.insert("data", image.toSvg());
    } else if (!image.encoded().isEmpty()) {
        stored.insert("kind", QStringLiteral("bitmap"));
        if (image.encodedFormat() != kPngFormat)
            stored.insert("format", QString::fromLatin1(image.encodedFormat()));
        stored.insert("data", image.encoded());
    } else {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.bitmap().save(&buffer, "PNG") || png.isEmpty()) {
            if (why)
                *why = QStringLiteral("its picture could not be encoded as PNG.");
            return false;
        }
        stored.insert("kind", QStringLiteral("bitmap"));
        stored.insert("data", png);
    }
    dict.insert(QLatin1String(key), stored);
    return true;
}

QVariantMap cardDict(const Card_Property &card, QString *why)
{
    QVariantMap dict{{"Card_Size", sizeDict(card.Card_Size)},
                     {"Card_Location", pointDict(card.Card_Location)},
                     {"Card_Fill", card.Card_Fill},
                     {"Card_Fill_Color", colorDict(card.Card_Fill_Color)},
                     {"BG_Image_Path", card.BG_Image_Path}};
    if (!insertImage(dict, "BG_Image", card.BG_Image, why))
        return {};
    return dict;
}

QString flag(bool on)
{
    return on ? QStringLiteral("Y") : QStringLiteral("N");
}

// A field's value as the file keeps it: numbers, strings and flags as they
// are, colours and fonts as dictionaries.
template <class T>
QVariant stored(const T &value)
{
    if constexpr (std::is_same_v<T, QColor>)
        return colorDict(value);
    else if constexpr (std::is_same_v<T, QFont>)
        return fontDict(value);
    else
        return QVariant::fromValue(value);
}

void insertBarcodeSettings(QVariantMap &dict, const BarcodeSettings &s)
{
    for (const Field &f : kFields)
        std::visit([&](auto member) { dict.insert(f.name, stored(s.*member)); }, f.member);
}

QVariantList richTextList(const drawing::RichText &text)
{
    QVariantList paragraphs;
    for (const drawing::TextParagraph &p : text) {
        QVariantList runs;
        for (const drawing::TextRun &r : p.runs)
            runs.append(QVariantMap{{"text", r.text}, {"font", fontDict(r.font)}, {"color", colorDict(r.color)}});
        paragraphs.append(QVariantMap{{"font", fontDict(p.font)}, {"color", colorDict(p.color)}, {"runs", runs}});
    }
    return paragraphs;
}

// ---- the file's own forms of values: flags "Y" and "N", numbers as decimal
// text, and strings that XML cannot carry (control characters) as their
// UTF-8 bytes, so that any text reads back exactly.

// True when XML 1.0 can hold every character of `text`.
bool xmlCarries(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        const bool carried = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF)
            || (c >= 0xE000 && c <= 0xFFFD);
        if (!carried)
            return false;
    }
    return true;
}

QVariant storedText(const QString &text)
{
    return xmlCarries(text) ? QVariant(text) : QVariant(text.toUtf8());
}

// `value` in the file's forms; nullopt with the reason for a number that is
// not finite, which no reader could take back.
std::optional<QVariant> fileForm(const QVariant &value, QString *why)
{
    switch (value.typeId()) {
    case QMetaType::QVariantMap: {
        QVariantMap out;
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            const auto item = fileForm(it.value(), why);
            if (!item) {
                if (why && !why->startsWith(QLatin1Char('"')))
                    *why = QStringLiteral("\"%1\" %2").arg(it.key(), *why);
                return std::nullopt;
            }
            out.insert(it.key(), *item);
        }
        return QVariant(out);
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QVariantList out;
        for (const QVariant &v : value.toList()) {
            const auto item = fileForm(v, why);
            if (!item)
                return std::nullopt;
            out.append(*item);
        }
        return QVariant(out);
    }
    case QMetaType::QString:
        return storedText(value.toString());
    case QMetaType::Bool:
        return QVariant(flag(value.toBool()));
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QVariant(value.toString());
    case QMetaType::Float:
    case QMetaType::Double: {
        const double d = value.toDouble();
        if (!std::isfinite(d)) {
            if (why)
                *why = QStringLiteral("is not a finite number.");
            return std::nullopt;
        }
        // The shortest text that reads back as the same value.
        char text[64];
        const auto written = value.typeId() == QMetaType::Float
            ? std::to_chars(text, text + sizeof text, value.toFloat())
            : std::to_chars(text, text + sizeof text, d);
        return QVariant(QString::fromLatin1(text, written.ptr - text));
    }
    default:
        return value;
    }
}

} // namespace

QString describeObject(const TVNGraphic &g, const QString &side, size_t index)
{
    QString label = g.control_ID.trimmed();
    const auto *text = dynamic_cast<const TVNText *>(&g);
    if (label.isEmpty() && text)
        label = text->contentsString().simplified().left(30);
    const QString kind = text ? QStringLiteral("text")
        : g.graphicClass() == GraphicClass::Image ? QStringLiteral("image")
                                                  : QStringLiteral("barcode");
    const QString where = QStringLiteral("object %1 on the %2").arg(index + 1).arg(side);
    return label.isEmpty() ? QStringLiteral("The %1 (%2)").arg(kind, where)
                           : QStringLiteral("The %1 \"%2\" (%3)").arg(kind, label, where);
}

QString describeBackgroundPicture(const QString &side)
{
    return QStringLiteral("The background picture of the %1").arg(side);
}

namespace {

// The picture an object shows; null when it shows none (a text, or an image
// or barcode whose picture is missing).
platform::Image shownPicture(const TVNGraphic &g)
{
    if (const auto *image = dynamic_cast<const TVNImage *>(&g))
        return image->image();
    if (g.graphicClass() == GraphicClass::Barcode)
        return g._barcode_image;
    return {};
}

} // namespace

QString damagedPictureNamed(const QString &who, const QString &reason)
{
    return reason.isEmpty() ? who : QStringLiteral("%1: %2").arg(who, reason);
}

QString damagedPictureNamed(const QString &who, const platform::Image &picture)
{
    return damagedPictureNamed(who, picture.damage());
}

QStringList objectsWithDamagedPictures(const GraphicList &graphics, const QString &side,
                                       const std::function<bool(const TVNGraphic &)> &counted)
{
    QStringList out;
    for (size_t i = 0; i < graphics.size(); ++i) {
        const GraphicPtr &g = graphics[i];
        if (g && shownPicture(*g).isDamaged() && (!counted || counted(*g)))
            out.append(damagedPictureNamed(describeObject(*g, side, i), shownPicture(*g)));
    }
    return out;
}

namespace {

// ---- reading values: a missing key keeps the initial value, a value of the
// wrong kind makes the whole file damaged. Numbers and flags are taken in the
// file's forms (decimal text, "Y"/"N") and as typed property-list values,
// which earlier files hold; strings as text or as UTF-8 bytes.

class Reader {
public:
    bool ok() const { return m_error.isEmpty(); }
    const QString &error() const { return m_error; }

    void fail(const QString &why)
    {
        if (m_error.isEmpty())
            m_error = why;
    }

    const QVariant *find(const QVariantMap &map, const QString &key)
    {
        auto it = map.constFind(key);
        return it == map.constEnd() ? nullptr : &it.value();
    }

    bool isNumber(const QVariant &v)
    {
        const int t = v.typeId();
        // Float too: colours are written as QColor's float components, and a
        // dictionary is read back without a file in between as well.
        return t == QMetaType::LongLong || t == QMetaType::Int || t == QMetaType::Double
            || t == QMetaType::Float || t == QMetaType::ULongLong || t == QMetaType::UInt;
    }

    void number(const QVariantMap &map, const QString &key, double &out)
    {
        if (const QVariant *v = find(map, key)) {
            bool ok = isNumber(*v);
            const double d = v->typeId() == QMetaType::QString ? v->toString().trimmed().toDouble(&ok) : v->toDouble();
            if (!ok || !std::isfinite(d))
                return fail(QStringLiteral("\"%1\" is not a number.").arg(key));
            out = d;
        }
    }

    void number(const QVariantMap &map, const QString &key, float &out)
    {
        double d = out;
        number(map, key, d);
        out = float(d);
    }

    void integer(const QVariantMap &map, const QString &key, int &out)
    {
        if (const QVariant *v = find(map, key)) {
            const int t = v->typeId();
            bool ok = t == QMetaType::LongLong || t == QMetaType::Int;
            const qint64 value =
                t == QMetaType::QString ? v->toString().trimmed().toLongLong(&ok, 10) : v->toLongLong();
            if (!ok)
                return fail(QStringLiteral("\"%1\" is not an integer.").arg(key));
            if (value < INT_MIN || value > INT_MAX)
                return fail(QStringLiteral("\"%1\" is out of range.").arg(key));
            out = int(value);
        }
    }

    // A text as the file holds it: a string, or UTF-8 bytes for a text with
    // characters XML cannot carry.
    std::optional<QString> text(const QVariant &v)
    {
        if (v.typeId() == QMetaType::QString)
            return v.toString();
        if (v.typeId() != QMetaType::QByteArray)
            return std::nullopt;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString decoded = utf8(v.toByteArray());
        if (utf8.hasError())
            return std::nullopt;
        return decoded;
    }

    void string(const QVariantMap &map, const QString &key, QString &out)
    {
        if (const QVariant *v = find(map, key)) {
            const auto t = text(*v);
            if (!t)
                return fail(QStringLiteral("\"%1\" is not a string.").arg(key));
            out = *t;
        }
    }

    void boolean(const QVariantMap &map, const QString &key, bool &out)
    {
        if (const QVariant *v = find(map, key)) {
            const QString yn = v->typeId() == QMetaType::QString ? v->toString() : QString();
            if (v->typeId() == QMetaType::Bool)
                out = v->toBool();
            else if (yn == QLatin1String("Y") || yn == QLatin1String("N"))
                out = yn == QLatin1String("Y");
            else
                fail(QStringLiteral("\"%1\" is not a flag.").arg(key));
        }
    }

    std::optional<QVariantMap> dict(const QVariantMap &map, const QString &key)
    {
        const QVariant *v = find(map, key);
        if (!v)
            return std::nullopt;
        if (v->typeId() != QMetaType::QVariantMap) {
            fail(QStringLiteral("\"%1\" is not a dictionary.").arg(key));
            return std::nullopt;
        }
        return v->toMap();
    }

    std::optional<QVariantList> list(const QVariantMap &map, const QString &key)
    {
        const QVariant *v = find(map, key);
        if (!v)
            return std::nullopt;
        if (v->typeId() != QMetaType::QVariantList && v->typeId() != QMetaType::QStringList) {
            fail(QStringLiteral("\"%1\" is not an array.").arg(key));
            return std::nullopt;
        }
        return v->toList();
    }

    void color(const QVariantMap &map, const QString &key, QColor &out)
    {
        const auto d = dict(map, key);
        if (!d)
            return;
        double r = 0, g = 0, b = 0, a = 1;
        number(*d, "red", r);
        number(*d, "green", g);
        number(*d, "blue", b);
        number(*d, "alpha", a);
        for (double c : {r, g, b, a}) {
            if (c < 0 || c > 1)
                return fail(QStringLiteral("\"%1\" is not a colour.").arg(key));
        }
        out = QColor::fromRgbF(float(r), float(g), float(b), float(a));
    }

    void font(const QVariantMap &map, const QString &key, QFont &out)
    {
        const auto d = dict(map, key);
        if (!d)
            return;
        QString family = out.family();
        double size = 0;
        int pixels = 0;
        int weight = int(out.weight());
        bool italic = out.italic(), underline = out.underline(), strikeOut = out.strikeOut();
        double spacing = 0;
        int spacingType = int(QFont::PercentageSpacing);
        string(*d, "family", family);
        number(*d, "pointSize", size);
        integer(*d, "pixelSize", pixels);
        integer(*d, "weight", weight);
        boolean(*d, "italic", italic);
        boolean(*d, "underline", underline);
        boolean(*d, "strikeOut", strikeOut);
        number(*d, "letterSpacing", spacing);
        integer(*d, "letterSpacingType", spacingType);
        const bool sized = (size > 0 && size <= 2000) || (size == 0 && pixels > 0 && pixels <= 4000);
        const bool spacingKnown = spacingType == int(QFont::PercentageSpacing)
            || spacingType == int(QFont::AbsoluteSpacing);
        if (!sized || weight < 1 || weight > 1000 || !spacingKnown)
            return fail(QStringLiteral("\"%1\" is not a font.").arg(key));
        QFont f(family);
        if (size > 0)
            f.setPointSizeF(size);
        else
            f.setPixelSize(pixels);
        f.setWeight(QFont::Weight(weight));
        f.setItalic(italic);
        f.setUnderline(underline);
        f.setStrikeOut(strikeOut);
        if (spacingType == int(QFont::AbsoluteSpacing) || spacing != 0)
            f.setLetterSpacing(QFont::SpacingType(spacingType), spacing);
        out = f;
    }

    void rect(const QVariantMap &map, const QString &key, QRectF &out)
    {
        const auto d = dict(map, key);
        if (!d)
            return;
        double x = 0, y = 0, w = 0, h = 0;
        number(*d, "x", x);
        number(*d, "y", y);
        number(*d, "width", w);
        number(*d, "height", h);
        out = QRectF(x, y, w, h);
    }

    void size(const QVariantMap &map, const QString &key, QSizeF &out)
    {
        const auto d = dict(map, key);
        if (!d)
            return;
        double w = 0, h = 0;
        number(*d, "width", w);
        number(*d, "height", h);
        if (w <= 0 || h <= 0 || w > kMaxCardSidePt || h > kMaxCardSidePt)
            return fail(QStringLiteral("\"%1\" is not a size.").arg(key));
        out = QSizeF(w, h);
    }

    void point(const QVariantMap &map, const QString &key, QPointF &out)
    {
        const auto d = dict(map, key);
        if (!d)
            return;
        double x = 0, y = 0;
        number(*d, "x", x);
        number(*d, "y", y);
        out = QPointF(x, y);
    }

    // A picture whose data does not decode costs only itself: it is kept as
    // a damaged image (shown as missing, stored again as it was read). A
    // dictionary that is no image at all makes the file damaged.
    void image(const QVariantMap &map, const QString &key, platform::Image &out)
    {
        const auto d = dict(map, key);
        if (!d)
            return;
        QString kind;
        QString format = QString::fromLatin1(kPngFormat);
        const bool formatGiven = find(*d, "format") != nullptr;
        double w = 0, h = 0;
        string(*d, "kind", kind);
        string(*d, "format", format);
        number(*d, "width", w);
        number(*d, "height", h);
        const QVariant *data = find(*d, "data");
        if (!ok())
            return;
        if (!data || data->typeId() != QMetaType::QByteArray || w <= 0 || h <= 0)
            return fail(QStringLiteral("\"%1\" is not an image.").arg(key));
        const QByteArray bytes = data->toByteArray();
        platform::Image picture;
        QString why;
        if (kind == QLatin1String("svg")) {
            // Drawn once into a recording of our own: the file's content is
            // never replayed as it stands.
            picture = platform::Image::fromSvg(bytes, QSizeF(w, h));
            if (picture.isNull())
                why = QStringLiteral("the drawing cannot be read");
        } else if (kind == QLatin1String("bitmap")) {
            // The data is kept as it is, so saving again stores the same bytes.
            picture = platform::Image::fromEncoded(bytes, format.toLatin1(), QSizeF(w, h), &why);
        } else {
            return fail(QStringLiteral("\"%1\" is not an image.").arg(key));
        }
        if (picture.isNull())
            picture = platform::Image::damaged(
                bytes, damagedFormat(kind, formatGiven ? std::optional(format) : std::nullopt), QSizeF(w, h), why);
        out = picture;
    }

    // An image object whose damaged stored picture gave way to the picture
    // of its file `path`.
    void pictureShownFromFile(const TVNGraphic &g, const QString &path) { m_shownFromFile.emplace(&g, path); }
    // The file whose picture `g` shows in place of its damaged stored one;
    // empty when there is none.
    QString fileShownFor(const TVNGraphic &g) const
    {
        const auto it = m_shownFromFile.find(&g);
        return it == m_shownFromFile.end() ? QString() : it->second;
    }

    void richText(const QVariantMap &map, const QString &key, drawing::RichText &out)
    {
        const auto paragraphs = list(map, key);
        if (!paragraphs)
            return;
        const auto damaged = [&] { fail(QStringLiteral("\"%1\" is damaged.").arg(key)); };
        drawing::RichText text;
        for (const QVariant &p : *paragraphs) {
            if (p.typeId() != QMetaType::QVariantMap)
                return damaged();
            const QVariantMap pd = p.toMap();
            drawing::TextParagraph paragraph;
            font(pd, "font", paragraph.font);
            color(pd, "color", paragraph.color);
            const auto runs = list(pd, "runs");
            if (!runs)
                return damaged();
            for (const QVariant &r : *runs) {
                if (r.typeId() != QMetaType::QVariantMap)
                    return damaged();
                const QVariantMap rd = r.toMap();
                drawing::TextRun run;
                if (!find(rd, "text"))
                    return damaged();
                string(rd, "text", run.text);
                font(rd, "font", run.font);
                color(rd, "color", run.color);
                paragraph.runs.append(run);
            }
            text.append(paragraph);
        }
        if (ok())
            out = text;
    }

    void card(const QVariantMap &map, const QString &key, Card_Property &out)
    {
        const auto d = dict(map, key);
        if (!d)
            return;
        size(*d, "Card_Size", out.Card_Size);
        point(*d, "Card_Location", out.Card_Location);
        boolean(*d, "Card_Fill", out.Card_Fill);
        color(*d, "Card_Fill_Color", out.Card_Fill_Color);
        string(*d, "BG_Image_Path", out.BG_Image_Path);
        image(*d, "BG_Image", out.BG_Image);
    }

    void barcodeSettings(const QVariantMap &map, BarcodeSettings &out)
    {
        for (const Field &f : kFields)
            std::visit([&](auto member) { field(map, f.name, out.*member); }, f.member);
    }

    template <class T>
    void field(const QVariantMap &map, const QString &key, T &out)
    {
        if constexpr (std::is_same_v<T, int>)
            integer(map, key, out);
        else if constexpr (std::is_same_v<T, float>)
            number(map, key, out);
        else if constexpr (std::is_same_v<T, QString>)
            string(map, key, out);
        else if constexpr (std::is_same_v<T, bool>)
            boolean(map, key, out);
        else if constexpr (std::is_same_v<T, QColor>)
            color(map, key, out);
        else
            font(map, key, out);
    }

private:
    QString m_error;
    std::map<const TVNGraphic *, QString> m_shownFromFile;
};

GraphicPtr readGraphic(Reader &in, const QVariantMap &dict)
{
    QString name;
    in.string(dict, "class", name);
    const auto cls = classFromName(name);
    if (!in.ok())
        return nullptr;
    if (!cls) {
        in.fail(QStringLiteral("Unknown object kind \"%1\".").arg(name));
        return nullptr;
    }
    GraphicPtr g = newGraphicOfClass(*cls);

    QRectF bounds = g->bounds();
    in.rect(dict, "bounds", bounds);
    bool fill = g->isDrawingFill(), stroke = g->isDrawingStroke();
    in.boolean(dict, "isDrawingFill", fill);
    in.boolean(dict, "isDrawingStroke", stroke);
    QColor fillColor = g->fillColor(), strokeColor = g->strokeColor();
    in.color(dict, "fillColor", fillColor);
    in.color(dict, "strokeColor", strokeColor);
    double strokeWidth = g->strokeWidth();
    in.number(dict, "strokeWidth", strokeWidth);

    // The id first: an image graphic's picture depends on it.
    in.string(dict, "control_ID", g->control_ID);
    in.string(dict, "Text_Value", g->Text_Value);
    in.boolean(dict, "ctrl_is_visible", g->ctrl_is_visible);
    in.boolean(dict, "ctrl_is_printable", g->ctrl_is_printable);
    BarcodeSettings settings = g->barcodeSettings();
    in.barcodeSettings(dict, settings);
    in.image(dict, "_barcode_image", g->_barcode_image);

    if (auto *text = dynamic_cast<TVNText *>(g.get())) {
        QString contents;
        drawing::RichText rich;
        QFont font = text->textFont();
        QColor color = text->textColor();
        int alignment = int(text->alignment());
        in.string(dict, "Text_contents", contents);
        in.richText(dict, "_Text_contents", rich);
        in.font(dict, "textFont", font);
        in.color(dict, "textColor", color);
        in.integer(dict, "alignment", alignment);
        if (in.ok()) {
            // The whole text's font and colour first: they are what the rich
            // text's characters leave open. Files without rich text keep
            // only the plain text.
            text->setTextFont(font);
            text->setTextColor(color);
            if (rich.isEmpty())
                text->setContentsString(contents);
            else
                text->setRichText(rich);
            text->setAlignment(Qt::Alignment(alignment));
        }
    } else if (auto *image = dynamic_cast<TVNImage *>(g.get())) {
        QString path;
        platform::Image picture;
        in.string(dict, "filePath", path);
        in.image(dict, "image", picture);
        if (in.ok()) {
            // The file gives the picture when it can be read; otherwise (gone,
            // cut short, damaged) the stored copy. The main photo's graphic
            // keeps its stored copy: the design's main photo replaces it once
            // that is loaded. A damaged copy stays with an object that has no
            // other picture, so that saving keeps it; one that gives way to
            // the file's picture is reported, as saving replaces it.
            if (!path.isEmpty())
                image->setFilePath(path, picture);
            const bool mainPhoto = g->control_ID.trimmed() == QLatin1String("PARTY_IMAGE");
            if (mainPhoto || image->image().isNull())
                image->setImage(picture);
            else if (picture.isDamaged())
                in.pictureShownFromFile(*g, path);
        }
    }
    if (!in.ok())
        return nullptr;
    g->setBarcodeSettings(settings);
    // A barcode's picture is made again from its settings: a stored vector
    // picture comes back through SVG, which keeps no letter spacing, and
    // designs saved before barcode objects had pictures store none. The
    // stored one serves only when the settings make no symbol.
    if (auto *barcode = dynamic_cast<TVNBarcode *>(g.get()))
        barcode->makeBarcodeImage();
    g->setBounds(bounds);
    g->setDrawingFill(fill);
    g->setDrawingStroke(stroke);
    g->setFillColor(fillColor);
    g->setStrokeColor(strokeColor);
    g->setStrokeWidth(strokeWidth);
    return g;
}

void readGraphics(Reader &in, const QVariantMap &map, const QString &key, GraphicList &out)
{
    const auto items = in.list(map, key);
    if (!items)
        return;
    for (const QVariant &item : *items) {
        if (item.typeId() != QMetaType::QVariantMap)
            return in.fail(QStringLiteral("An object of \"%1\" is damaged.").arg(key));
        GraphicPtr g = readGraphic(in, item.toMap());
        if (!g)
            return;
        out.push_back(std::move(g));
    }
}

// The profile fields as the file keeps them: the field's name, and the
// name with these suffixes for its source.
constexpr const char *kProfileKeys[] = {"Name", "Title", "Company_name", "slogan", "address", "phone",
                                        "fax",  "email", "website",      "unique", "image"};
static_assert(std::size(kProfileKeys) == kProfileFieldCount);

QVariantMap profileDict(const User_Profile_Class &profile)
{
    QVariantMap dict{{"Fill_User_Profile_Enable", profile.Fill_User_Profile_Enable},
                     {"Excel_Binding", profile.Excel_Binding}};
    for (ProfileField f : kProfileFields) {
        const ProfileFieldValue &v = profile.field(f);
        const QString key = QLatin1String(kProfileKeys[std::size_t(f)]);
        dict.insert(key, v.value);
        dict.insert(key + QLatin1String("_ds"), v.ds);
        dict.insert(key + QLatin1String("_ds_indx"), v.ds_indx);
        dict.insert(key + QLatin1String("_ds_name"), v.ds_name);
        dict.insert(key + QLatin1String("_xl"), v.xl);
        dict.insert(key + QLatin1String("_xl_col_indx"), v.xl_col_indx);
    }
    return dict;
}

// A user profile when the file has one; files written before profiles were
// kept have none and give the empty profile. The control ids are never
// read: they are the fixed ones.
void readProfile(Reader &in, const QVariantMap &map, const QString &key, User_Profile_Class &out)
{
    const auto d = in.dict(map, key);
    if (!d)
        return;
    Reader field;
    User_Profile_Class profile;
    field.boolean(*d, "Fill_User_Profile_Enable", profile.Fill_User_Profile_Enable);
    field.boolean(*d, "Excel_Binding", profile.Excel_Binding);
    for (ProfileField f : kProfileFields) {
        ProfileFieldValue &v = profile.field(f);
        const QString name = QLatin1String(kProfileKeys[std::size_t(f)]);
        field.string(*d, name, v.value);
        field.boolean(*d, name + QLatin1String("_ds"), v.ds);
        field.integer(*d, name + QLatin1String("_ds_indx"), v.ds_indx);
        field.string(*d, name + QLatin1String("_ds_name"), v.ds_name);
        field.boolean(*d, name + QLatin1String("_xl"), v.xl);
        field.integer(*d, name + QLatin1String("_xl_col_indx"), v.xl_col_indx);
        if (field.ok() && (v.ds_indx < 0 || v.xl_col_indx < 0))
            field.fail(QStringLiteral("\"%1\" has a negative position.").arg(name));
    }
    if (!field.ok())
        return in.fail(QStringLiteral("The user profile \"%1\" is damaged: %2").arg(key, field.error()));
    out = profile;
}

// The photo adjustment keys, in file order.
struct PhotoKey {
    const char *name;
    float PhotoAdjustments::*member;
};
const PhotoKey kPhotoKeys[] = {
    {"IMG_rotate_image", &PhotoAdjustments::rotate}, {"IMG_trnsp_val", &PhotoAdjustments::transparency},
    {"IMG_hue_val", &PhotoAdjustments::hue},         {"IMG_sat_val", &PhotoAdjustments::saturation},
    {"IMG_brt_val", &PhotoAdjustments::brightness},  {"IMG_con_val", &PhotoAdjustments::contrast},
    {"IMG_srp_val", &PhotoAdjustments::sharpness},   {"IMG_ev_val", &PhotoAdjustments::exposure},
    {"IMG_blr_val", &PhotoAdjustments::blur},
};
struct PhotoFlag {
    const char *name;
    bool PhotoAdjustments::*member;
};
const PhotoFlag kPhotoFlags[] = {
    {"IMG_gray_Scale", &PhotoAdjustments::grayScale},
    {"IMG_Sepia", &PhotoAdjustments::sepia},
    {"IMG_invert_clr", &PhotoAdjustments::invert},
};

// A spreadsheet cell that the file keeps as a number (the record number, a
// numeric cell); every other cell is kept as its text.
bool isTableNumber(const QVariant &cell)
{
    const int t = cell.typeId();
    return (t == QMetaType::Int || t == QMetaType::LongLong || t == QMetaType::UInt || t == QMetaType::Double)
        && std::isfinite(cell.toDouble());
}

// The spreadsheet data source's table, saved with the design and given back
// when one is loaded.
SpreadsheetTable &keptTable()
{
    static SpreadsheetTable table;
    return table;
}

} // namespace

QVariantMap graphicToDictionary(const TVNGraphic &g, QString *error)
{
    QVariantMap dict{{"class", className(g.graphicClass())},
                     {"bounds", rectDict(g.bounds())},
                     {"isDrawingFill", g.isDrawingFill()},
                     {"isDrawingStroke", g.isDrawingStroke()},
                     {"fillColor", colorDict(g.fillColor())},
                     {"strokeColor", colorDict(g.strokeColor())},
                     {"strokeWidth", g.strokeWidth()},
                     {"control_ID", g.control_ID},
                     {"Text_Value", g.Text_Value},
                     {"ctrl_is_visible", g.ctrl_is_visible},
                     {"ctrl_is_printable", g.ctrl_is_printable}};
    insertBarcodeSettings(dict, g.barcodeSettings());
    if (!insertImage(dict, "_barcode_image", g._barcode_image, error))
        return {};

    if (const auto *text = dynamic_cast<const TVNText *>(&g)) {
        dict.insert("Text_contents", text->contentsString());
        dict.insert("_Text_contents", richTextList(text->richText()));
        dict.insert("textFont", fontDict(text->textFont()));
        dict.insert("textColor", colorDict(text->textColor()));
        dict.insert("alignment", int(text->alignment()));
    } else if (const auto *image = dynamic_cast<const TVNImage *>(&g)) {
        dict.insert("filePath", image->filePath());
        if (!insertImage(dict, "image", image->image(), error))
            return {};
    }
    return dict;
}

GraphicPtr graphicFromDictionary(const QVariantMap &dict, QString *error)
{
    Reader in;
    GraphicPtr g = readGraphic(in, dict);
    if (!g && error)
        *error = in.error();
    return g;
}

QByteArray encodeDesign(const Design &d, QString *error)
{
    const auto refuse = [error](const QString &why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    QString why;
    QVariantMap cards[2];
    for (const auto &[card, side, out] : {std::tuple{&d.frontCard, QStringLiteral("front"), &cards[0]},
                                          std::tuple{&d.backCard, QStringLiteral("back"), &cards[1]}}) {
        *out = cardDict(*card, &why);
        if (out->isEmpty())
            return refuse(QStringLiteral("%1 cannot be stored: %2").arg(describeBackgroundPicture(side), why));
    }
    QVariantMap settings{{"Front_card_Prop", cards[0]},
                         {"Back_card_Prop", cards[1]},
                         {"Card_Category", d.card.category},
                         {"Card_Size_Index", d.card.sizeIndex},
                         {"Card_Orientation", d.card.orientation},
                         {"Card_Shape", d.cardShape},
                         {"CARD_SIDE_STR", d.cardSides},
                         {"Invite_Frame_Pic_IMG", d.mainPhotoPath},
                         {"Excel_Binding_Use", d.excelBindingUse},
                         {"Excel_Source_Path", d.excelSourcePath},
                         {"Excel_Column_Titles", d.table.titles},
                         {"Front_user_profile", profileDict(d.frontProfile)},
                         {"Back_user_profile", profileDict(d.backProfile)}};
    for (const auto &k : kPhotoKeys)
        settings.insert(k.name, QVariant::fromValue(d.photo.*k.member));
    for (const auto &k : kPhotoFlags)
        settings.insert(k.name, d.photo.*k.member);
    const auto stored = fileForm(settings, &why);
    if (!stored)
        return refuse(QStringLiteral("The card settings cannot be stored: %1").arg(why));
    QVariantMap design = stored->toMap();

    // The graphics one by one, so that a failure names the object.
    const struct {
        const char *key;
        const char *side;
        const GraphicList &graphics;
    } sides[] = {{"front_graphics", "front", d.front}, {"back_graphics", "back", d.back}};
    for (const auto &side : sides) {
        QVariantList list;
        for (size_t i = 0; i < side.graphics.size(); ++i) {
            const GraphicPtr &g = side.graphics[i];
            if (!g)
                continue;
            const QVariantMap dict = graphicToDictionary(*g, &why);
            const auto item = dict.isEmpty() ? std::nullopt : fileForm(dict, &why);
            if (!item)
                return refuse(QStringLiteral("%1 cannot be stored: %2").arg(describeObject(*g, side.side, i), why));
            list.append(*item);
        }
        design.insert(side.key, list);
    }

    QVariantList rows;
    for (const QVariantMap &row : d.table.rows) {
        // Cells are kept as numbers or text, whatever the data source holds,
        // so that every saved table reads back.
        QVariantMap cells;
        for (auto it = row.cbegin(); it != row.cend(); ++it)
            cells.insert(it.key(), isTableNumber(it.value()) ? it.value() : storedText(it.value().toString()));
        rows.append(cells);
    }
    design.insert("Excel_Rows", rows);
    const QByteArray bytes = platform::writePropertyList(QVariantList{kDesignFileMarker, design});
    if (bytes.isEmpty())
        return refuse(QStringLiteral("The design could not be encoded."));
    return bytes;
}

std::optional<Design> decodeDesign(const QByteArray &bytes, QString *error, DamagedPictures *damaged)
{
    auto refuse = [error](const QString &why) -> std::optional<Design> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QString plistError;
    const auto root = platform::readPropertyList(bytes, &plistError);
    if (!root)
        return refuse(plistError.isEmpty() ? QStringLiteral("Not a property list.") : plistError);
    if (root->typeId() != QMetaType::QVariantList && root->typeId() != QMetaType::QStringList)
        return refuse(QStringLiteral("Not a design file."));
    const QVariantList items = root->toList();
    if (items.isEmpty() || items.first().typeId() != QMetaType::QString || items.first().toString() != kDesignFileMarker)
        return refuse(QStringLiteral("Not a design file."));
    if (items.size() < 2 || items.at(1).typeId() != QMetaType::QVariantMap)
        return refuse(QStringLiteral("The design is missing."));
    const QVariantMap map = items.at(1).toMap();

    Design d;
    Reader in;
    readGraphics(in, map, "front_graphics", d.front);
    readGraphics(in, map, "back_graphics", d.back);
    in.card(map, "Front_card_Prop", d.frontCard);
    in.card(map, "Back_card_Prop", d.backCard);
    in.string(map, "Card_Category", d.card.category);
    in.integer(map, "Card_Size_Index", d.card.sizeIndex);
    in.string(map, "Card_Orientation", d.card.orientation);
    in.integer(map, "Card_Shape", d.cardShape);
    in.string(map, "CARD_SIDE_STR", d.cardSides);
    in.string(map, "Invite_Frame_Pic_IMG", d.mainPhotoPath);
    for (const auto &k : kPhotoKeys)
        in.number(map, k.name, d.photo.*k.member);
    for (const auto &k : kPhotoFlags)
        in.boolean(map, k.name, d.photo.*k.member);
    in.boolean(map, "Excel_Binding_Use", d.excelBindingUse);
    in.string(map, "Excel_Source_Path", d.excelSourcePath);
    readProfile(in, map, "Front_user_profile", d.frontProfile);
    readProfile(in, map, "Back_user_profile", d.backProfile);
    if (const auto titles = in.list(map, "Excel_Column_Titles")) {
        for (const QVariant &t : *titles) {
            const auto title = in.text(t);
            if (!title) {
                in.fail(QStringLiteral("A column title is damaged."));
                break;
            }
            d.table.titles.append(*title);
        }
    }
    if (const auto rows = in.list(map, "Excel_Rows")) {
        for (const QVariant &r : *rows) {
            QVariantMap row = r.toMap();
            bool cellsAreText = r.typeId() == QMetaType::QVariantMap;
            for (QVariant &cell : row) {
                if (isTableNumber(cell))
                    continue;
                const auto text = in.text(cell);
                cellsAreText = cellsAreText && text;
                cell = text.value_or(QString());
            }
            if (!cellsAreText) {
                in.fail(QStringLiteral("A spreadsheet row is damaged."));
                break;
            }
            d.table.rows.append(row);
        }
    }
    if (in.ok() && d.cardSides != QLatin1String("1") && d.cardSides != QLatin1String("2"))
        in.fail(QStringLiteral("The number of sides is damaged."));
    if (in.ok() && (d.cardShape < 0 || d.cardShape > 2))
        in.fail(QStringLiteral("The card shape is damaged."));
    if (in.ok() && d.card.orientation != QLatin1String("H") && d.card.orientation != QLatin1String("V"))
        in.fail(QStringLiteral("The card orientation is damaged."));
    if (!in.ok())
        return refuse(in.error());
    if (damaged) {
        *damaged = {};
        for (const auto &[graphics, side] : {std::pair{&d.front, QStringLiteral("front")},
                                             std::pair{&d.back, QStringLiteral("back")}}) {
            for (size_t i = 0; i < graphics->size(); ++i) {
                const TVNGraphic &g = *(*graphics)[i];
                if (const platform::Image picture = shownPicture(g); picture.isDamaged())
                    damaged->missing.append(describeObject(g, side, i));
                const QString file = in.fileShownFor(g);
                if (!file.isEmpty())
                    damaged->shownFromFiles.append({describeObject(g, side, i), file});
            }
        }
        for (const auto &[card, side] : {std::pair{&d.frontCard, QStringLiteral("front")},
                                         std::pair{&d.backCard, QStringLiteral("back")}}) {
            if (card->BG_Image.isDamaged())
                damaged->missing.append(describeBackgroundPicture(side));
        }
    }
    return d;
}

Design detachedDesign(Design design)
{
    for (GraphicList *side : {&design.front, &design.back}) {
        for (GraphicPtr &g : *side) {
            if (!g)
                continue;
            g = g->clone();
            g->_barcode_image = g->_barcode_image.unshared();
            if (auto *image = dynamic_cast<TVNImage *>(g.get()))
                image->setImage(image->image().unshared());
        }
    }
    for (Card_Property *card : {&design.frontCard, &design.backCard})
        card->BG_Image = card->BG_Image.unshared();
    return design;
}

QByteArray designFileBytes(const Design &design, QString *error)
{
    const QByteArray bytes = encodeDesign(design, error);
    // A file that would not open again never takes the last good one's place.
    if (bytes.size() > kMostDesignFileBytes) {
        if (error)
            *error = QStringLiteral("It would have %L1 bytes, more than any design (%L2 bytes at most), and could "
                                    "not be opened again.")
                         .arg(bytes.size())
                         .arg(kMostDesignFileBytes);
        return {};
    }
    return bytes;
}

bool saveDesignFile(const QString &path, const Design &design, QString *error)
{
    const QByteArray bytes = designFileBytes(design, error);
    return !bytes.isEmpty() && platform::writeFileAtomically(path, bytes, error);
}

std::optional<QString> designFileRefusal(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("There is no such file.");
    if (!info.isFile())
        return QStringLiteral("It is not a regular file.");
    if (info.size() > kMostDesignFileBytes)
        return QStringLiteral("It has %L1 bytes, more than any design (%L2 bytes at most).")
            .arg(info.size())
            .arg(kMostDesignFileBytes);
    return std::nullopt;
}

std::optional<Design> loadDesignFile(const QString &path, QString *error, DamagedPictures *damaged)
{
    auto refuse = [&](const QString &reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (const auto refusal = designFileRefusal(path))
        return refuse(*refusal);
    // Judged again once open: the path may have become a FIFO or a device
    // since it was looked at, and the read goes no further than the bound.
    QFile file;
    QString reason;
    if (!platform::openRegularFile(file, path, &reason))
        return refuse(reason);
    // A piece at a time: asking for the bound at once would take that much
    // memory for every design, however small.
    QByteArray bytes;
    while (bytes.size() <= kMostDesignFileBytes) {
        const QByteArray piece = file.read(qint64(1) << 20);
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    if (bytes.size() > kMostDesignFileBytes)
        return refuse(QStringLiteral("It has more than %L1 bytes, more than any design.").arg(kMostDesignFileBytes));
    return decodeDesign(bytes, error, damaged);
}

SpreadsheetTable currentSpreadsheetTable()
{
    return keptTable();
}

void restoreSpreadsheetTable(const SpreadsheetTable &table)
{
    keptTable() = table;
}

} // namespace design_window
