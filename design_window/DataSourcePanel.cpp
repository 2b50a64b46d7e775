#include "design_window/DataSourcePanel.h"

#include "barcodes/designer/BarcodeEngine.h"
#include "design_window/DesignFile.h"
#include "design_window/Globals.h"
#include "design_window/PanelSupport.h"
#include "design_window/SeriesWindows.h"
#include "drawing/DrawingHost.h"
#include "drawing/TVNDocument.h"
#include "platform/Helpers.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>

using namespace design_window;

namespace {

enum Source { Manual = 0, Series = 1, Spreadsheet = 2 };

const QString kSpreadsheetSource = QStringLiteral("Excel");

bool isMainPhoto(const TVNGraphic &graphic)
{
    return graphic.graphicClass() == GraphicClass::Image && graphic.control_ID.trimmed() == QLatin1String("PARTY_IMAGE");
}

} // namespace

batch_data::SeriesStore design_window::currentSeriesStore()
{
    return batch_data::SeriesStore(Data_Folder_Path);
}

void design_window::fillSeriesNames(QComboBox *combo)
{
    combo->setCurrentIndex(-1);
    combo->clear();
    combo->addItems(currentSeriesStore().Get_datasheet_File_Name_Array());
    combo->setCurrentIndex(-1);
}

void design_window::offerSpreadsheetSource(QComboBox *combo, bool offered)
{
    if (offered && combo->count() == 2)
        combo->addItem(kSpreadsheetSource);
    else if (!offered && combo->count() == 3)
        combo->removeItem(combo->findText(kSpreadsheetSource));
}

void design_window::fillColumnTitles(QComboBox *combo)
{
    combo->addItem(QStringLiteral("Record No."));
    combo->addItems(currentSpreadsheetTable().titles);
}

QString design_window::firstSpreadsheetValue(int n)
{
    const SpreadsheetTable table = currentSpreadsheetTable();
    if (table.rows.isEmpty())
        return QString();
    const QString key = n == 0 ? QStringLiteral("Extension") : QStringLiteral("Column%1").arg(n);
    return table.rows.first().value(key).toString();
}

DataSourcePanel::DataSourcePanel(QWidget *parent, TVNDocument *document)
    : QGroupBox(tr("Data source"), parent)
    , m_document(document)
{
    setObjectName("data_source_box");
    auto *form = new QFormLayout(this);
    Data_source_type = named(new QComboBox, "Data_source_type");
    Data_source_type->addItems({QStringLiteral("Manual"), QStringLiteral("Series")});
    connect(Data_source_type, &QComboBox::activated, this, [this] { Data_Source_Type_Changed(); });
    Batch_Series = named(new QComboBox, "Batch_Series");
    connect(Batch_Series, &QComboBox::activated, this, [this] { Batch_Series_Changed(); });
    view_series_btn = named(new QPushButton(tr("View")), "view_series_btn");
    // The viewers are windows of a higher layer, reached through the hub.
    view_series_btn->setEnabled(seriesWindows() != nullptr);
    connect(view_series_btn, &QPushButton::clicked, this, &DataSourcePanel::viewRequested);
    data_source_help_btn = named(new QPushButton(tr("?")), "data_source_help_btn");
    data_source_help_btn->setFixedWidth(28);
    connect(data_source_help_btn, &QPushButton::clicked, this, &DataSourcePanel::helpRequested);
    auto *sourceRow = new QHBoxLayout;
    sourceRow->addWidget(Data_source_type, 1);
    sourceRow->addWidget(data_source_help_btn);
    auto *seriesRow = new QHBoxLayout;
    seriesRow->addWidget(Batch_Series, 1);
    seriesRow->addWidget(view_series_btn);
    form->addRow(tr("Source:"), sourceRow);
    form->addRow(tr("Values:"), seriesRow);
    hide();
}

void DataSourcePanel::showGraphic(const GraphicPtr &graphic)
{
    m_graphic = graphic;
    setVisible(bool(graphic));
    if (!graphic)
        return;
    offerSpreadsheetSource(Data_source_type, !currentSpreadsheetTable().titles.isEmpty());

    int source = graphic->data_source_type;
    if (source == Spreadsheet && Data_source_type->count() < 3)
        source = Manual;
    Data_source_type->setCurrentIndex(std::clamp(source, 0, Data_source_type->count() - 1));
    Batch_Series->clear();
    if (source == Series) {
        fillSeriesNames(Batch_Series);
        Batch_Series->setCurrentIndex(Batch_Series->findText(graphic->batch_list_name));
    } else if (source == Spreadsheet) {
        fillColumnTitles(Batch_Series);
        Batch_Series->setCurrentIndex(graphic->excel_col_indx < Batch_Series->count() ? graphic->excel_col_indx : -1);
    }
    Batch_Series->setEnabled(source != Manual);
}

void DataSourcePanel::Data_Source_Type_Changed()
{
    if (!m_graphic)
        return;
    const int source = Data_source_type->currentIndex();
    Batch_Series->clear();
    Batch_Series->setEnabled(source != Manual);
    if (source == Manual) {
        editGraphics(*m_document, {m_graphic}, tr("Data Source"), [this] {
            m_graphic->Set_Data_source_type(0);
            m_graphic->Set_Excel_binding(false);
        });
        if (isMainPhoto(*m_graphic))
            emit mainPhotoBound(false);
        return;
    }
    if (source == Series) {
        fillSeriesNames(Batch_Series);
        if (Batch_Series->count() == 0) {
            Show_MessageBox(QStringLiteral("Please create batch processing series first."));
            // Nothing was bound: the box shows the object's source again.
            showGraphic(m_graphic);
        }
    } else {
        fillColumnTitles(Batch_Series);
        Batch_Series->setCurrentIndex(-1);
    }
}

void DataSourcePanel::Batch_Series_Changed()
{
    const int item = Batch_Series->currentIndex();
    if (!m_graphic || item < 0)
        return;
    const bool series = Data_source_type->currentIndex() == Series;
    const QString name = Batch_Series->currentText();
    const QString value =
        Trim_Str(series ? currentSeriesStore().Get_First_Value_Of_Dataset(name) : firstSpreadsheetValue(item));
    editGraphics(*m_document, {m_graphic}, tr("Data Source"), [&] {
        if (series) {
            m_graphic->Set_Data_source_type(1);
            m_graphic->Set_Batch_List_Name(name);
            m_graphic->Set_Batch_List_Index(item);
            m_graphic->Set_Excel_binding(false);
        } else {
            m_graphic->Set_Data_source_type(2);
            m_graphic->Set_Excel_binding(true);
            m_graphic->Set_Excel_binding_Index(item);
        }
        showBoundValue(value);
    });
    if (series && isMainPhoto(*m_graphic))
        emit mainPhotoBound(true);
    emit boundValueShown();
}

void DataSourcePanel::showBoundValue(const QString &value)
{
    if (auto *text = dynamic_cast<TVNText *>(m_graphic.get())) {
        // A first value of megabytes is laid out only as far as the box shows.
        text->setShownContents(value, text->firstCharacterLook());
        text->Text_Value = value;
    } else if (auto *image = dynamic_cast<TVNImage *>(m_graphic.get())) {
        if (!value.isEmpty() && QFileInfo(value).isFile()) {
            emit mainPhotoChosen(value);
            image->setFilePath(value, drawing::host().Main_Photo_image());
        }
    } else if (auto *barcode = dynamic_cast<TVNBarcode *>(m_graphic.get())) {
        barcodes::barcodeValueField(*barcode) = value;
        // The canvas shows the bound value's symbol, or the stand-in when the
        // symbology has none for it.
        if (!barcode->makeBarcodeImage())
            barcode->Set_Barcode_image({});
    }
}
