#pragma once
// The record binding of a batch run: which data sources the run takes values
// from, the series it reads, how many records it has, and the value that
// record n gives each bound object. The caller passes the bindings of its
// objects and the spreadsheet table as values, so nothing here touches the
// live design; any thread, one run at a time per object.
//
// The table keeps each bound series under its name. An object's stored list
// position (batch_list_index) is not used: it changes whenever series are
// added or removed, and would then put another series' values on the object.

#include "batch_data/binding/ListData.h"
#include "batch_data/series/SeriesStore.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace batch_data {

// Values of data_source_type.
inline constexpr int kTypedValue = 0;
inline constexpr int kSeriesValue = 1;
inline constexpr int kSpreadsheetValue = 2;

// The sources a run takes values from (Use_Data_Sheet_Values and
// Use_Excel_Binding_Values).
struct SourcesInUse {
    bool series = false;
    bool spreadsheet = false;
    bool operator==(const SourcesInUse &) const = default;
};

// What a check finds: the sources in use and the records of each
// (Data_table_rows, Excel_table_rows) and of the run (Total_Batch_Excel_Card,
// the larger).
struct RecordCounts {
    SourcesInUse use;
    int seriesRows = 0;
    int spreadsheetRows = 0;
    int total = 0;
    bool operator==(const RecordCounts &) const = default;
};

// A bound series or spreadsheet column that cannot give values: a series
// whose file is missing, unreadable or not UTF-8 text, or a column that the
// loaded spreadsheet table does not have. Objects bound to it come out of a
// run without their data, which the run's end message must say.
struct UnusableSource {
    int data_source_type = kSeriesValue; // kSeriesValue or kSpreadsheetValue
    QString series;                      // the series' name
    QString path;                        // and its file
    int column = 0;                      // the column k (from 1)
    QString reason;                      // why, as the user reads it
    // "series \"Names\" (PATH): No such file." or "column 3: The spreadsheet
    // has 2 columns."
    QString text() const;
    bool operator==(const UnusableSource &) const = default;
};

// The bound series and columns of the front, and of the back of a two-sided
// design, that `store` and `spreadsheet` cannot give values for, each once,
// series first, in the order the objects are listed. A series shorter than
// the others is not among them: its objects get "" past its end. Reads each
// bound series file; any thread.
std::vector<UnusableSource> unusableSources(const SeriesStore &store, const std::vector<SeriesBinding> &front,
                                            const std::vector<SeriesBinding> &back, bool twoSided,
                                            const ListData &spreadsheet);

// Whether a bindable object of `side` takes its value from `source`
// (Check_Front_Side_Dataset_Is_Used and the other three side checks).
bool sideUses(const std::vector<SeriesBinding> &side, int source);

class RecordBinding {
public:
    // Check_Series_Or_Excel_Use_or_not. A source is in use when the front,
    // or the back of a two-sided design, has an object bound to it and the
    // source has records. Loads the bound series, keeps the spreadsheet
    // table as it is now (the run reads this copy), and counts.
    RecordCounts check(const SeriesStore &store, const std::vector<SeriesBinding> &front,
                       const std::vector<SeriesBinding> &back, bool twoSided, ListData spreadsheet);

    // Get_total_Card_count: the counts of the sources in `use` (a caller may
    // switch a source off after the check); 0 for a source not in use.
    RecordCounts Get_total_Card_count(SourcesInUse use) const;

    // Create_Dataset_binding_table: empties the table and loads every series
    // that a bindable object of the front, or of the back of a two-sided
    // design, is bound to.
    void Create_Dataset_binding_table(const SeriesStore &store, const std::vector<SeriesBinding> &front,
                                      const std::vector<SeriesBinding> &back, bool twoSided);
    // Add_dataset_col_in_binding_table: loads one series as a run counts its
    // records (whole text trimmed, split at line feeds, empty lines kept). A
    // series without a readable file has no records: its objects get "".
    void Add_dataset_col_in_binding_table(const SeriesStore &store, const QString &name);

    // The most records of a loaded series (Data_table_rows); 0 when none is.
    int Calculate_data_table_rows() const;
    // Records of the kept spreadsheet table (Excel_table_rows).
    int Calculate_Excel_table_rows() const { return m_spreadsheet.count(); }

    // Record n of the series `name` as read; "" when it is not loaded or
    // has fewer records.
    QString Get_sel_row_col_value_of_dataset(int n, const QString &name) const;
    // Record n of the kept spreadsheet table under column k (0 the record
    // number); "" past its records or for a missing key.
    QString Get_sel_row_col_value_of_Excel(int n, int k) const;

    // The value record n gives an object bound as `binding`, trimmed, while
    // the sources of `use` are in use; none when the object keeps its own
    // value (a typed value, an object that cannot be bound, or a source not
    // in use for this run).
    std::optional<QString> valueAt(const SeriesBinding &binding, int n, SourcesInUse use) const;

    const ListData &spreadsheet() const { return m_spreadsheet; }
    // What the last check found unusable (unusableSources), whether or not
    // its source is in use.
    const std::vector<UnusableSource> &unusable() const { return m_unusable; }

private:
    std::vector<UnusableSource> m_unusable;
    QHash<QString, QStringList> m_series;
    ListData m_spreadsheet;
};

} // namespace batch_data
