#pragma once
// The export options: format, resolution, sides, combining both sides into
// one picture, and whether to use the design's series or spreadsheet data.
// The options start over every time the sheet runs.

#include "output/export/CardFiles.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;

namespace output {

// Which of the design's data the run could use.
struct ExportRequest {
    bool seriesInUse = false;
    bool spreadsheetInUse = false;
};

// What the user chose; not accepted after Cancel.
struct ExportAnswer {
    bool accepted = false;
    ExportOptions options;
    bool useSeries = false;
    bool useSpreadsheet = false;
    bool operator==(const ExportAnswer &) const = default;
};

// The resolutions offered, in dots per inch; the first is where the sheet
// starts: one pixel per point.
QList<int> exportResolutions();

} // namespace output

class ExportWindow : public QDialog {
    Q_OBJECT
public:
    explicit ExportWindow(QWidget *parent = nullptr);

    // Resets the options (first resolution, first format, front side, not
    // combined), offers a data check ticked where the request has that data
    // in use and disabled where not, and runs the sheet over its parent.
    output::ExportAnswer run(const output::ExportRequest &request);

    // OK and Cancel: end the run with 1 and 0.
    void exportOkay();
    void exportCancel();
    // The side radio: row 0 both sides (combining offered), row 1 the front,
    // row 2 the back (combining not offered; the check keeps its state).
    void export_card_side_CellClick(int row);

    // The options as the controls show them.
    output::ExportOptions options() const;

    QComboBox *saveDPIText = nullptr;
    QComboBox *fileFormatPopup = nullptr;
    QButtonGroup *matrix_export_card_side = nullptr;
    QCheckBox *export_combined_image_chk = nullptr;
    QCheckBox *Export_with_batch_chk = nullptr;
    QCheckBox *Export_with_excel_chk = nullptr;
    QDialogButtonBox *buttons = nullptr;
};
