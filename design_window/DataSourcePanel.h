#pragma once
// The data-source box under the object pages: whether the object shown takes
// its value typed ("Manual"), from a Batch Processing Series ("Series") or
// from a column of the loaded spreadsheet ("Excel", offered only while one is
// loaded). Choosing a series or a column binds the object and puts the first
// value into it, so that the canvas shows what a card will hold.

#include "batch_data/series/SeriesStore.h"
#include "drawing/TVNGraphic.h"

#include <QGroupBox>

class QComboBox;
class QPushButton;
class TVNDocument;

namespace design_window {

// The series of the resource folder in use (`Data_Folder_Path`).
batch_data::SeriesStore currentSeriesStore();
// Fills `combo` with the names of the series, none chosen.
void fillSeriesNames(QComboBox *combo);
// Offers "Excel" as the source combo box's third item, or takes it away; it
// is never offered twice.
void offerSpreadsheetSource(QComboBox *combo, bool offered);
// Fills `combo` with the spreadsheet choice: the record number, then the
// column titles.
void fillColumnTitles(QComboBox *combo);
// The loaded spreadsheet's first record under column n (0 the record
// number); "" when there is no record.
QString firstSpreadsheetValue(int n);

} // namespace design_window

class DataSourcePanel : public QGroupBox {
    Q_OBJECT
public:
    // The document is not owned: it must outlive the panel.
    DataSourcePanel(QWidget *parent, TVNDocument *document);

    // Shows the binding of `graphic`; none hides the box.
    void showGraphic(const GraphicPtr &graphic);

    // Handlers of the source and the list choice (the user's choices call
    // them; so may a caller after setting the combo boxes itself).
    void Data_Source_Type_Changed();
    void Batch_Series_Changed();

    QComboBox *Data_source_type = nullptr;
    QComboBox *Batch_Series = nullptr;
    QPushButton *view_series_btn = nullptr;
    QPushButton *data_source_help_btn = nullptr;

signals:
    // An image took a bound file as its picture, which is the main photo's as
    // well; sent before the image takes the path.
    void mainPhotoChosen(const QString &path);
    // The main photo's graphic ("PARTY_IMAGE") is now bound to a series, or
    // typed again.
    void mainPhotoBound(bool toSeries);
    // The object took a bound value: its own page has to show it.
    void boundValueShown();
    void helpRequested();
    // The view button: show where the values come from.
    void viewRequested();

private:
    void showBoundValue(const QString &value);

    TVNDocument *m_document;
    GraphicPtr m_graphic;
};
