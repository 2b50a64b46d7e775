#pragma once
// The Batch Processing Series store: one UTF-8 text file per series in the
// series folder, one value per line, every value followed by a line feed.
// Files written elsewhere may end their lines with CR LF, or with a lone CR
// as old Mac text does: every reader here takes each of them as a line end.
// The store keeps no state of its own; the folder is the store. Every
// operation takes the series folder so that callers (and tests) decide where
// it lies.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace batch_data {

// How a graphic of the design takes its value: 0 typed, 1 from the series
// named `batch_list_name`, 2 from spreadsheet column `excel_col_indx` (0 the
// record number). Only image, text and barcode objects can be bound
// (`bindable`); the rest are passed over.
struct SeriesBinding {
    bool bindable = false;
    int data_source_type = 0;
    QString batch_list_name;
    int excel_col_indx = 0;
};

class SeriesStore {
public:
    explicit SeriesStore(QString folder);

    const QString &folder() const { return m_folder; }

    // The one way a series name becomes a path. Names come from users and
    // from spreadsheet headers, so a name that could leave the folder (empty,
    // ".", "..", or holding "/" or "\") gives no path at all, and neither
    // does any name while the store has no folder. An existing file of the
    // series whose extension differs only in case is its path.
    std::optional<QString> seriesFilePath(const QString &name) const;
    static bool isValidSeriesName(const QString &name);

    // The names of the series files (extension "txt" in any case) of the
    // folder, without extension, sorted by name with case aside so that
    // positions stay stable. Empty when the folder is missing.
    QStringList Get_datasheet_File_Name_Array() const;

    // The text before the first line end of the series file, as read (not
    // trimmed); "" for a missing or unreadable file.
    QString Get_First_Value_Of_Dataset(const QString &name) const;

    // True when the series file exists and a bindable graphic of the front,
    // or of the back when the design has two sides, takes its values from it
    // (names compared exactly).
    bool Check_Batch_File_In_Use_Validation(const QString &name,
                                            const std::vector<SeriesBinding> &front,
                                            const std::vector<SeriesBinding> &back,
                                            bool twoSided) const;

    // The whole file as text; nullopt when missing, unreadable, holding NUL
    // bytes or not UTF-8, with the reason as the user reads it in `error`
    // ("No such file.", the system's reason, binaryMessage() or
    // notUtf8Message()).
    std::optional<QString> readText(const QString &name, QString *error = nullptr) const;

    // Values as the series editor and viewer show them: split at every line
    // end, each trimmed, empty lines skipped. Empty, with the reason in
    // `error`, when the file cannot be read.
    QStringList readValues(const QString &name, QString *error = nullptr) const;

    // Records as a batch run counts them: the whole text trimmed, then split
    // at every line end; an empty line is a record with an empty value.
    // Empty, with the reason in `error`, when the file cannot be read.
    QStringList readRecords(const QString &name, QString *error = nullptr) const;

    // Why a series file that is not UTF-8 text is not read: taking its bytes
    // in another encoding would change its characters, and showing it empty
    // would invite saving over it.
    static QString notUtf8Message();
    // Why a series file holding NUL bytes is not read: it is binary data (an
    // archive, a picture, a document) saved under a series name, not text in
    // some other encoding.
    static QString binaryMessage();

    // Writes the series atomically: every value followed by one line feed.
    // A line break inside a value becomes a space, so that the lines of
    // different series stay in step. False (with a reason) when the name is
    // refused or the file cannot be written; an earlier file is then intact.
    bool writeSeries(const QString &name, const QStringList &values, QString *error = nullptr) const;
    // The bytes of a whole series file, written whole or not at all under
    // the checked path of `name` (the folder is made when missing).
    bool writeSeriesFile(const QString &name, const QByteArray &data, QString *error = nullptr) const;

    // Removes the series file; false when the name is refused or the removal
    // fails, with the system's reason in `error`.
    bool removeSeries(const QString &name, QString *error = nullptr) const;

    // File name extension of series files.
    static QString extension();

private:
    QString m_folder;
};

// The lines of a text, split at every CR LF, LF and lone CR; the piece after
// the last line end comes last, empty when the text ends with one.
QStringList textLines(const QString &text);
// One line of a series file as it must be written: breaks turned to spaces.
QString seriesLine(const QString &value);
// The bytes of a series file: every value as its line, each followed by a
// line feed, UTF-8.
QByteArray seriesFileBytes(const QStringList &values);

// What the user is told about a series file that exists but cannot be read:
// the series, its file and why.
QString unreadableSeriesMessage(const QString &name, const QString &path, const QString &reason);

// Removes the private folder into which the open workbook was unpacked, with
// everything in it; failures are ignored.
void Delete_Excel_File_Temp_Folder();

} // namespace batch_data
