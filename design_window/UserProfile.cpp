#include "design_window/UserProfile.h"

#include "platform/Helpers.h"

#include <algorithm>


namespace design_window {

namespace {

struct FieldNames {
    const char *valueId;
    const char *captionId;
    const char *title;
};

// The eleven fields in their fixed order.
constexpr std::array<FieldNames, kProfileFieldCount> kNames{{
    {"Fup_Name", "Fup_lbl_Name", "Name :"},
    {"Fup_Title", "Fup_lbl_Title", "Position / Title :"},
    {"Fup_Company", "Fup_lbl_Company", "Company Name :"},
    {"Fup_CompanySlogan", "Fup_lbl_CompanySlogan", "Company Slogan :"},
    {"Fup_Address", "Fup_lbl_Address", "Address :"},
    {"Fup_PhoneNO", "Fup_lbl_PhoneNO", "Phone No. :"},
    {"Fup_FaxNo", "Fup_lbl_FaxNo", "Fax No. :"},
    {"Fup_EmailID", "Fup_lbl_EmailID", "Email Id :"},
    {"Fup_Website", "Fup_lbl_Website", "Website :"},
    {"Fup_UniqueNo", "Fup_lbl_UniqueNo", "Unique No. :"},
    {"Fup_Photo", "Fup_lbl_Photo", "Photo :"},
}};

const FieldNames &names(ProfileField f)
{
    return kNames[std::size_t(f)];
}

} // namespace

QString profileValueId(ProfileField field)
{
    return QString::fromLatin1(names(field).valueId);
}

QString profileCaptionId(ProfileField field)
{
    return QString::fromLatin1(names(field).captionId);
}

QString profileFieldTitle(ProfileField field)
{
    return QString::fromLatin1(names(field).title);
}

std::optional<ProfileField> profileFieldOfValueId(const QString &id)
{
    for (ProfileField f : kProfileFields) {
        if (id == QLatin1String(names(f).valueId))
            return f;
    }
    return std::nullopt;
}

void User_Profile_Class::Reset_All_Values()
{
    for (ProfileField f : kProfileFields) {
        ProfileFieldValue &v = field(f);
        v = ProfileFieldValue{};
        v.id = profileValueId(f);
        v.label_id = profileCaptionId(f);
    }
    Fill_User_Profile_Enable = false;
    Excel_Binding = false;
}

// ---------------------------------------------------------------- default rectangles

namespace {

// Height of the landscape template box: a CR80 card's height in points.
constexpr double kTemplateBox = 153;

// A frame given by its top edge in canvas terms, stored as the template
// keeps it (origin at the box's lower left, y the distance of that edge
// from the bottom), so that the flip of profileFieldRect() gives the top
// back.
constexpr QRectF frame(double x, double top, double width, double height)
{
    return QRectF(x, kTemplateBox - top, width, height);
}

} // namespace

const ProfileTemplate &defaultProfileTemplate()
{
    // Rows of 13.5 points hold one line of the placed texts' 12 pt serif
    // (13.3 points high), and stay at least 6 points inside a CR80 card's edges
    // (242.6 x 153.4 pt), clear of a template's border. The widths hold
    // typical values at that font: a name of 24 characters
    // ("Alexandra Montgomery-Lee", 138 pt) and an ID of 16
    // ("ID-2026-0000ABCD", 102 pt); a value wider than its frame wraps onto
    // a line the frame cannot show. The frames are not scaled to the card:
    // the landscape ones end 233 points from the left, within a CR60 card
    // (234 pt wide), the portrait ones 147.4, within a CR79 one (148.3).
    // Landscape: the photo at the left, nine texts in a column beside it,
    // and the unique number across the card's foot.
    // Portrait (153.4 x 242.6 pt): the photo centred at the top, the ten
    // texts below it across the card.
    constexpr double row = 13.5;
    const auto rows = [](double x, double top, double width) {
        std::array<QRectF, 10> out;
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = frame(x, top + double(i) * row, width, row);
        return out;
    };
    static const ProfileTemplate frames = [&] {
        ProfileTemplate t{kTemplateBox, {}, {}};
        const std::array<QRectF, 10> column = rows(82, 9, 151);
        std::copy(column.begin(), column.end() - 1, t.landscape.begin());
        t.landscape[std::size_t(ProfileField::unique)] = frame(8, 9 + 9 * row, 225, row);
        t.landscape[std::size_t(ProfileField::image)] = frame(12, 14, 62, 76);
        const std::array<QRectF, 10> below = rows(6, 92, 141.4);
        std::copy(below.begin(), below.end(), t.portrait.begin());
        t.portrait[std::size_t(ProfileField::image)] = frame(46, 10, 62, 76);
        return t;
    }();
    return frames;
}

QRectF profileFieldRect(const ProfileTemplate &frames, QSizeF cardSize, const QString &id)
{
    Show_NSLog_Message(QStringLiteral("{%1, %2}").arg(cardSize.width()).arg(cardSize.height()));
    const bool landscape = cardSize.width() >= cardSize.height();
    const std::optional<ProfileField> f = profileFieldOfValueId(id);
    if (!f)
        return QRectF();
    QRectF rect = (landscape ? frames.landscape : frames.portrait)[std::size_t(*f)];
    // Turned over against the landscape box for either orientation, and
    // without taking the frame's own height off: the frames are laid out
    // for exactly this.
    rect.moveTop(frames.boxHeight - rect.y());
    return rect;
}

} // namespace design_window
