#pragma once
// The design file: an XML property list whose root array holds the marker
// "ZELTMACBDAYINVITECARD" and then one dictionary with the design: both
// sides' graphics field by field, both card records, the card settings, the
// main photo with its adjustments, the user profiles of both sides with their
// spreadsheet settings and the spreadsheet data source's table. Colours, fonts, images and graphics are
// dictionaries keyed by field name; an image keeps its size in points and its
// content as SVG (vector pictures), PNG or the JPEG it was read from
// (bitmaps); a text keeps its rich
// text whole (every run's font and colour) beside its plain text.
//
// Reading builds a complete design first; nothing of the open design is
// touched unless the whole file was understood.

#include "design_window/Globals.h"
#include "design_window/UserProfile.h"
#include "drawing/Card_Property.h"
#include "drawing/TVNGraphic.h"
#include "platform/Image.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <optional>
#include <utility>

namespace design_window {

inline const QString kDesignFileMarker = QStringLiteral("ZELTMACBDAYINVITECARD");

// The spreadsheet data source as the design file keeps it: the chosen
// columns' titles and one row per record ("Extension" the record number,
// "Column%d" from 1 the cells).
struct SpreadsheetTable {
    QStringList titles;
    QList<QVariantMap> rows;
    bool operator==(const SpreadsheetTable &) const = default;
};

// Card panel choices that are not part of a card record.
struct CardChoice {
    QString category = QStringLiteral("PVC Card");
    int sizeIndex = 0;
    QString orientation = QStringLiteral("H");
    bool operator==(const CardChoice &) const = default;
};

struct Design {
    GraphicList front;
    GraphicList back;
    Card_Property frontCard;
    Card_Property backCard;
    CardChoice card;
    int cardShape = 0;
    QString cardSides = QStringLiteral("1");
    QString mainPhotoPath;  // Invite_Frame_Pic_IMG
    PhotoAdjustments photo;
    bool excelBindingUse = false;
    QString excelSourcePath;
    SpreadsheetTable table;
    // The front and back user profiles; a file without them gives empty
    // ones.
    User_Profile_Class frontProfile;
    User_Profile_Class backProfile;
};

// Encodes a design as the file's bytes: flags as "Y"/"N", numbers as decimal
// text, any text exactly (characters XML cannot carry as UTF-8 data). Empty,
// with the reason naming the object, when something cannot be stored.
QByteArray encodeDesign(const Design &design, QString *error = nullptr);
// The stored pictures of a design file whose data could not be read, named
// as describeObject() and describeBackgroundPicture() name them.
struct DamagedPictures {
    // Kept as damaged images: the canvas shows the missing picture's
    // placeholder, output nothing, and a save stores each entry again as it
    // was read (its kind, format and data). The damaged image says why it
    // could not be read (see damagedPictureNamed()).
    QStringList missing;
    // Image objects that show the picture of their file instead, each with
    // the file's path: the file's picture is the object's picture now, and
    // a save stores it in place of the damaged one.
    QList<std::pair<QString, QString>> shownFromFiles;
    bool isEmpty() const { return missing.isEmpty() && shownFromFiles.isEmpty(); }
};

// Decodes the file's bytes, in the forms written now and in the typed
// values of earlier files; nullopt with a reason when the data is not a
// design file or is damaged. A stored picture whose data is damaged costs
// only itself: an image object whose file reads shows that file's picture
// (named in `damaged->shownFromFiles`); otherwise the object keeps it as a
// damaged image (named in `damaged->missing`), unless its barcode settings
// make its picture.
std::optional<Design> decodeDesign(const QByteArray &bytes, QString *error = nullptr,
                                   DamagedPictures *damaged = nullptr);

// The design with every object cloned: a value that no later edit of the
// open design reaches, so a worker thread may encode it (pictures are shared,
// never changed in place).
Design detachedDesign(Design design);

// The bytes saveDesignFile writes: empty, with the reason, when the design
// cannot be encoded or has grown past what loadDesignFile reads
// (kMostDesignFileBytes), so that it would not open again.
QByteArray designFileBytes(const Design &design, QString *error = nullptr);
// Writes the design atomically (designFileBytes): the previous file stays
// intact when the design cannot be stored or the write fails. Touches
// nothing but `design`: may run on any thread.
bool saveDesignFile(const QString &path, const Design &design, QString *error = nullptr);

// The largest file read as a design: far beyond a design of thousands of
// objects with its photos, and short of what reading one in whole would
// cost in memory.
inline constexpr qint64 kMostDesignFileBytes = platform::kMostBytesReadWhole;
// Why the path is not read as a design at all: it is not a regular file (a
// folder, a FIFO that would block the read, a device such as /dev/zero that
// never ends) or it is larger than kMostDesignFileBytes. None when it may
// be read.
std::optional<QString> designFileRefusal(const QString &path);
// Reads and decodes the design file; nullopt with the reason when the path
// is refused (designFileRefusal), cannot be read or is not a design.
std::optional<Design> loadDesignFile(const QString &path, QString *error = nullptr,
                                     DamagedPictures *damaged = nullptr);

// Who an object is, for messages: its kind, its id (or the start of its
// text) and where it sits, `index` from 0 in the list of `side` ("front" or
// "back"): "The text \"Name\" (object 2 on the front)".
QString describeObject(const TVNGraphic &g, const QString &side, size_t index);
// "The background picture of the front" (`side` "front" or "back").
QString describeBackgroundPicture(const QString &side);
// `who` (describeObject(), describeBackgroundPicture()) with why its
// damaged `picture` could not be read, when that is known:
// "The image \"Photo\" (object 1 on the front): the picture ends early".
QString damagedPictureNamed(const QString &who, const platform::Image &picture);
QString damagedPictureNamed(const QString &who, const QString &reason);
// The objects of `graphics`, the list of `side`, that show a picture kept
// damaged from the file (platform::Image::isDamaged), named as
// damagedPictureNamed() does; only those `counted` accepts, when given.
QStringList objectsWithDamagedPictures(const GraphicList &graphics, const QString &side,
                                       const std::function<bool(const TVNGraphic &)> &counted = {});

// One graphic as a dictionary and back (also used for templates). Empty,
// with the reason in `error`, when a picture of the graphic cannot be
// encoded.
QVariantMap graphicToDictionary(const TVNGraphic &graphic, QString *error = nullptr);
GraphicPtr graphicFromDictionary(const QVariantMap &dict, QString *error = nullptr);

// The spreadsheet data source's table: read when saving, given back when
// loading. The design window keeps it; the data source's windows read and
// replace it through these.
SpreadsheetTable currentSpreadsheetTable();
void restoreSpreadsheetTable(const SpreadsheetTable &table);

} // namespace design_window
