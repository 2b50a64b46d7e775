#pragma once
// The user profile of one card side: eleven fields (name to photo), each with
// its value, the control identifiers of the graphics that show its value and
// its caption, and where the value comes from (typed, a Batch Processing
// Series, or a spreadsheet column). The design window owns three records,
// front, back and the scratch record of the profile previews; the profile
// dialogs write them and the profile placement reads them. A plain value,
// main thread.
//
// Also here: the default rectangles at which the placement puts a field that
// has no graphic on the side yet.

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <array>
#include <optional>

namespace design_window {

// The fields in their fixed order (placement, forms, validation).
enum class ProfileField { Name, Title, Company_name, slogan, address, phone, fax, email, website, unique, image };
inline constexpr int kProfileFieldCount = 11;
inline constexpr std::array<ProfileField, kProfileFieldCount> kProfileFields{
    ProfileField::Name,    ProfileField::Title, ProfileField::Company_name, ProfileField::slogan,
    ProfileField::address, ProfileField::phone, ProfileField::fax,          ProfileField::email,
    ProfileField::website, ProfileField::unique, ProfileField::image};

// What identifies a field: its value id ("Fup_Name"), its caption id
// ("Fup_lbl_Name") and the title by which messages name it ("Name :").
QString profileValueId(ProfileField field);
QString profileCaptionId(ProfileField field);
QString profileFieldTitle(ProfileField field);
// The field whose value id is `id` (compared exactly), or none.
std::optional<ProfileField> profileFieldOfValueId(const QString &id);

// Data source codes of a field, as graphics store them.
inline constexpr int kProfileTyped = 0;
inline constexpr int kProfileSeries = 1;
inline constexpr int kProfileSpreadsheet = 2;

// One field of a record. `value` is the text (for the photo the picture's
// path); with the series flag `ds` the value comes from the series named
// `ds_name` (at position `ds_indx` of the list it was chosen from), with the
// spreadsheet flag `xl` from column `xl_col_indx` (0 the record number, k the
// k-th column). At most one flag is set as the dialogs store a record.
struct ProfileFieldValue {
    QString value;
    QString id;
    QString label_id;
    bool ds = false;
    int ds_indx = 0;
    QString ds_name;
    bool xl = false;
    int xl_col_indx = 0;

    // 0 typed, 1 series, 2 spreadsheet column (the spreadsheet wins when
    // both flags are set, as on a placed graphic).
    int source() const { return xl ? kProfileSpreadsheet : ds ? kProfileSeries : kProfileTyped; }
    bool operator==(const ProfileFieldValue &) const = default;
};

class User_Profile_Class {
public:
    // Empty, as after Reset_All_Values.
    User_Profile_Class() { Reset_All_Values(); }

    // The empty state: the control ids of the fields, every value and
    // series name "", every flag false, every index 0.
    void Reset_All_Values();

    ProfileFieldValue &field(ProfileField f) { return fields[std::size_t(f)]; }
    const ProfileFieldValue &field(ProfileField f) const { return fields[std::size_t(f)]; }

    // The record holds a form stored from a profile dialog.
    bool Fill_User_Profile_Enable = false;
    // The spreadsheet data source held rows when the form was stored.
    bool Excel_Binding = false;
    std::array<ProfileFieldValue, kProfileFieldCount> fields;

    bool operator==(const User_Profile_Class &) const = default;
};

// ---------------------------------------------------------------- default rectangles

// Where new profile fields go: a frame per field for a landscape and for a
// portrait card, in points with the origin at the lower left of the
// landscape template box, whose height is `boxHeight`.
struct ProfileTemplate {
    double boxHeight = 0;
    std::array<QRectF, kProfileFieldCount> landscape;
    std::array<QRectF, kProfileFieldCount> portrait;
};

// The frames of the side profile dialog: a CR80 card's worth of fields, the
// photo at the left (landscape) or at the top (portrait).
const ProfileTemplate &defaultProfileTemplate();

// The default rectangle of the field with value id `id` on a card of
// `cardSize` (landscape when its width is at least its height), in canvas
// coordinates (y downward): the frame's y turned over against the template
// box's height. Not scaled to the card. The zero rectangle for any other id.
QRectF profileFieldRect(const ProfileTemplate &frames, QSizeF cardSize, const QString &id);

} // namespace design_window
