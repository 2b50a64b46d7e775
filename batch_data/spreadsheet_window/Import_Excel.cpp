#include "batch_data/spreadsheet_window/Import_Excel.h"

#include "batch_data/series_window/BatchDialogLook.h"
#include "batch_data/series_window/BatchWizard.h"
#include "batch_data/spreadsheet/SpreadsheetWriter.h"
#include "batch_data/spreadsheet_window/Data_From_Excel.h"
#include "design_window/PleaseWaitSheet.h"
#include "design_window/SingleInstance.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

Import_Excel::Import_Excel()
{
    setObjectName("Import_Excel");
    setWindowTitle(tr("Spreadsheet Columns"));
    batch_data::applyDialogBackground(*this);
    resize(480, 440);
    file_path = new QLabel(this);
    file_path->setObjectName("file_path");
    file_path->setWordWrap(true);
    Sheet_ComboBox = new QComboBox(this);
    Sheet_ComboBox->setObjectName("Sheet_ComboBox");
    contains_header = new QCheckBox(tr("First row contains column titles"), this);
    contains_header->setObjectName("contains_header");
    ColList = batch_data::newListTable(tr("Columns"), "ColList");
    ColList->setSelectionMode(QAbstractItemView::NoSelection);
    auto *bottom = new QHBoxLayout;
    select_all_btn = batch_data::newButton(tr("Select All"), "select_all_btn", bottom);
    clear_all_btn = batch_data::newButton(tr("Clear All"), "clear_all_btn", bottom);
    bottom->addStretch();
    cancel_btn = batch_data::newButton(tr("Cancel"), "cancel_btn", bottom);
    ok_btn = batch_data::newButton(tr("OK"), "ok_btn", bottom);
    ok_btn->setDefault(true);
    plz_wait_Window = new design_window::PleaseWaitSheet(this);

    connect(Sheet_ComboBox, &QComboBox::activated, this, &Import_Excel::comboBoxSelectionDidChange);
    connect(ColList, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (item->row() < ListData_xl.size())
            ListData_xl[item->row()].state = item->checkState() == Qt::Checked;
    });
    connect(select_all_btn, &QPushButton::clicked, this, &Import_Excel::Select_ALL_Pressed);
    connect(clear_all_btn, &QPushButton::clicked, this, &Import_Excel::Clear_All_Pressed);
    connect(ok_btn, &QPushButton::clicked, this, &Import_Excel::OKPressed);
    connect(cancel_btn, &QPushButton::clicked, this, &Import_Excel::CancelPressed);

    auto *form = new QFormLayout;
    form->addRow(tr("Workbook:"), file_path);
    form->addRow(tr("Worksheet:"), Sheet_ComboBox);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(contains_header);
    layout->addWidget(ColList, 1);
    layout->addLayout(bottom);
}

Import_Excel &Import_Excel::defaultInstance()
{
    return design_window::singleInstance<Import_Excel>();
}

int Import_Excel::Open_excel_Wnd(const QString &path)
{
    batch_data::Excel_Sheet_Number = 1;
    file_path->setText(path);
    contains_header->setChecked(true);
    ListData_xl.clear();
    fillColumnList();
    Sheet_ComboBox->clear();
    excel_content.clear();
    // A file that cannot be read is refused at once: an empty picker would
    // only say later that there is no column.
    if (const auto reason = Load_file_Func(path)) {
        Show_NSLog_Message(QStringLiteral("Open_excel_Wnd: %1: %2").arg(path, *reason));
        Show_MessageBox(batch_data::unreadableSpreadsheetMessage(path, *reason));
        return 0;
    }
    const int result = platform::runModal(*this);
    hide();
    return result;
}

std::optional<QString> Import_Excel::Load_file_Func(const QString &path)
{
    QString error;
    QStringList sheets;
    design_window::runUnderPleaseWait(*plz_wait_Window, "Load_file_Func", [&] {
        SpreadsheetWriter::ReadWorkbook(path, true, &error);
        sheets = SpreadsheetWriter::Read_Sheet_Name();
    });
    if (!error.isEmpty())
        return error;
    if (sheets.isEmpty())
        return tr("It holds no worksheet.");
    // The worksheets by the names the workbook gives them, in its order:
    // item i is worksheet i + 1.
    Sheet_ComboBox->addItems(sheets);
    Sheet_ComboBox->setCurrentIndex(0);
    return readColumns(0);
}

void Import_Excel::comboBoxSelectionDidChange(int index)
{
    if (const auto error = readColumns(index)) {
        Show_NSLog_Message(QStringLiteral("comboBoxSelectionDidChange: %1").arg(*error));
        Show_MessageBox(tr("The worksheet \"%1\" cannot be read.\n%2").arg(Sheet_ComboBox->itemText(index), *error));
    }
}

std::optional<QString> Import_Excel::readColumns(int index)
{
    if (index < 0)
        return std::nullopt;
    batch_data::Excel_Sheet_Number = index + 1;
    // The list shows this worksheet's columns or none: ticks on another
    // sheet's titles would pick cells the user never saw.
    ListData_xl.clear();
    fillColumnList();
    QString error;
    design_window::runUnderPleaseWait(*plz_wait_Window, "comboBoxSelectionDidChange",
                                   [&] { excel_content = SpreadsheetWriter::ReadData_only_column(&error); });
    if (!error.isEmpty())
        return error;
    if (excel_content.isEmpty())
        return std::nullopt;
    for (const batch_data::SheetColumn &column : batch_data::sheetColumns(excel_content.first()))
        ListData_xl.append({column, false});
    fillColumnList();
    return std::nullopt;
}

void Import_Excel::Create_List(const QString &title, bool state, int column)
{
    const QString trimmed = Trim_Str(title);
    if (trimmed.isEmpty())
        return;
    ListData_xl.append({{trimmed, column}, state});
    fillColumnList();
}

void Import_Excel::fillColumnList()
{
    const QSignalBlocker block(ColList);
    ColList->setRowCount(int(ListData_xl.size()));
    for (int r = 0; r < ListData_xl.size(); ++r) {
        auto *item = new QTableWidgetItem(ListData_xl.at(r).column.title);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(ListData_xl.at(r).state ? Qt::Checked : Qt::Unchecked);
        ColList->setItem(r, 0, item);
    }
}

void Import_Excel::setAllStates(bool state)
{
    for (ColumnEntry &entry : ListData_xl)
        entry.state = state;
    fillColumnList();
}

void Import_Excel::Select_ALL_Pressed()
{
    setAllStates(true);
}

void Import_Excel::Clear_All_Pressed()
{
    setAllStates(false);
}

int Import_Excel::Get_Selection_State(int index) const
{
    return index >= 0 && index < ListData_xl.size() && ListData_xl.at(index).state ? 1 : 0;
}

bool Import_Excel::Check_For_One_Extension_Selection() const
{
    return !tickedColumns().isEmpty();
}

QList<int> Import_Excel::tickedColumns() const
{
    QList<int> columns;
    for (const ColumnEntry &entry : ListData_xl) {
        if (entry.state)
            columns.append(entry.column.column);
    }
    return columns;
}

void Import_Excel::OKPressed()
{
    if (ListData_xl.isEmpty()) {
        Show_MessageBox(tr("There is no column."));
        return;
    }
    if (!Check_For_One_Extension_Selection()) {
        Show_MessageBox(tr("No column is selected."));
        return;
    }
    if (open_mode == QLatin1String("D"))
        Insert_file_Func();
    else
        Create_Excel_List_Func();
    excel_content.clear();
    done(1);
}

void Import_Excel::CancelPressed()
{
    excel_content.clear();
    done(0);
}

std::optional<batch_data::SheetRows> Import_Excel::readRows()
{
    QString error;
    design_window::runUnderPleaseWait(*plz_wait_Window, "readRows", [&] {
        excel_content = SpreadsheetWriter::ReadWorkbook(QString(), false, &error);
    });
    if (excel_content.isEmpty()) {
        Show_NSLog_Message(error);
        Show_MessageBox(tr("Either file is corrupted or selected file contains invalid characters."));
        return std::nullopt;
    }
    return excel_content;
}

void Import_Excel::Insert_file_Func()
{
    const auto rows = readRows();
    if (!rows)
        return;
    BatchWizard &manager = BatchWizard::defaultInstance();
    for (const QString &value : batch_data::pickedValues(*rows, tickedColumns(), contains_header->isChecked()))
        manager.Create_Value_List(value);
}

void Import_Excel::Create_Excel_List_Func()
{
    const auto rows = readRows();
    if (!rows)
        return;
    QStringList titles;
    for (const ColumnEntry &entry : ListData_xl) {
        if (entry.state)
            titles.append(entry.column.title);
    }
    Data_From_Excel::defaultInstance().setSource(
        titles, batch_data::pickColumns(*rows, tickedColumns(), contains_header->isChecked()));
}
