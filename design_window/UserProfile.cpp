#include "design_window/UserProfile.h"

#include "platform/Helpers.h"


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
    // Landscape (CR80 242.6 x 153.4 pt): the photo with the unique number
    // below it at the left, the other texts in a column at the right.
    // Portrait (153.4 x 242.6 pt): the photo centred at the top, the texts
    // below it. Rows of 15 (14) points take a 12 pt line.
    static const ProfileTemplate frames{
        kTemplateBox,
        {frame(82, 8, 152, 15), frame(82, 23, 152, 15), frame(82, 38, 152, 15), frame(82, 53, 152, 15),
         frame(82, 68, 152, 15), frame(82, 83, 152, 15), frame(82, 98, 152, 15), frame(82, 113, 152, 15),
         frame(82, 128, 152, 15), frame(8, 96, 70, 15), frame(12, 14, 62, 76)},
        {frame(8, 92, 137, 14), frame(8, 106, 137, 14), frame(8, 120, 137, 14), frame(8, 134, 137, 14),
         frame(8, 148, 137, 14), frame(8, 162, 137, 14), frame(8, 176, 137, 14), frame(8, 190, 137, 14),
         frame(8, 204, 137, 14), frame(8, 218, 137, 14), frame(46, 10, 62, 76)}};
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
