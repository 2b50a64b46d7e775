#include "batch_data/import_window/Import_Excel_DataSheet.h"

#include "batch_data/import/SeriesTarget.h"
#include "batch_data/import_window/ImportSupport.h"
#include "batch_data/series_window/BatchDialogLook.h"
#include "batch_data/spreadsheet/SpreadsheetWriter.h"
#include "design_window/LongSmsDlg.h"
#include "design_window/SingleInstance.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace batch_data;

namespace {

const QString kUnreadable = QStringLiteral("Either file is corrupted or selected file contains invalid characters.");

enum Column { StateColumn, ExtensionColumn, HeaderColumn };

} // namespace

// The opened file: an xlsx workbook, or the rows of an ods file's first
// table (which has no other worksheet).
struct Import_Excel_DataSheet::Source {
    std::optional<Workbook> workbook;
    std::optional<SheetRows> odsRows;
};

Import_Excel_DataSheet::Import_Excel_DataSheet()
    : m_source(std::make_unique<Source>())
{
    setObjectName("Import_Excel_DataSheet");
    setWindowTitle(tr("Import Series from Spreadsheet"));
    applyDialogBackground(*this);
    resize(600, 560);

    file_path = new QLineEdit(this);
    file_path->setObjectName("file_path");
    file_path->setReadOnly(true);
    Sheet_ComboBox = new QComboBox(this);
    Sheet_ComboBox->setObjectName("Sheet_ComboBox");
    contains_header = new QCheckBox(tr("First row is a header"), this);
    contains_header->setObjectName("contains_header");

    ColList = new QTableWidget(0, 3, this);
    ColList->setObjectName("ColList");
    ColList->setHorizontalHeaderLabels({tr("Import"), tr("Column"), tr("Series name")});
    ColList->horizontalHeader()->setSectionResizeMode(ExtensionColumn, QHeaderView::Stretch);
    ColList->horizontalHeader()->setSectionResizeMode(HeaderColumn, QHeaderView::Stretch);
    ColList->verticalHeader()->hide();
    ColList->setSelectionMode(QAbstractItemView::NoSelection);
    auto *tick = new QHBoxLayout;
    select_all_btn = newButton(tr("Select All"), "select_all_btn", tick);
    clear_all_btn = newButton(tr("Clear All"), "clear_all_btn", tick);
    tick->addStretch();

    Each_col_RD = new QRadioButton(tr("One series for each column, named after its header"), this);
    Each_col_RD->setObjectName("Each_col_RD");
    Fill_col_RD = new QRadioButton(tr("All selected columns in one series"), this);
    Fill_col_RD->setObjectName("Fill_col_RD");
    fill_box = new QGroupBox(this);
    fill_box->setObjectName("fill_box");
    matrix_fill_type = new QButtonGroup(this);
    matrix_fill_type->setObjectName("matrix_fill_type");
    const QString targets[] = {tr("New series"), tr("Replace a series"), tr("Append to a series")};
    auto *targetRow = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto *cell = new QRadioButton(targets[i], fill_box);
        cell->setObjectName(QStringLiteral("fill_type_%1").arg(i));
        matrix_fill_type->addButton(cell, i);
        targetRow->addWidget(cell);
    }
    list_name = new QLineEdit(fill_box);
    list_name->setObjectName("list_name");
    list_name->setPlaceholderText(tr("Name of the new series"));
    List_ComboBox = new QComboBox(fill_box);
    List_ComboBox->setObjectName("List_ComboBox");
    auto *fillLayout = new QVBoxLayout(fill_box);
    fillLayout->addLayout(targetRow);
    fillLayout->addWidget(list_name);
    fillLayout->addWidget(List_ComboBox);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    cancel_btn = newButton(tr("Cancel"), "cancel_btn", buttons);
    ok_btn = newButton(tr("OK"), "ok_btn", buttons);
    ok_btn->setDefault(true);
    plz_wait_Window = new design_window::PleaseWaitSheet(this);

    auto *form = new QFormLayout;
    form->addRow(tr("File:"), file_path);
    form->addRow(tr("Worksheet:"), Sheet_ComboBox);
    form->addRow(QString(), contains_header);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(ColList, 1);
    layout->addLayout(tick);
    layout->addWidget(Each_col_RD);
    layout->addWidget(Fill_col_RD);
    layout->addWidget(fill_box);
    layout->addLayout(buttons);

    connect(Sheet_ComboBox, &QComboBox::activated, this, &Import_Excel_DataSheet::comboBoxSelectionDidChange);
    connect(select_all_btn, &QPushButton::clicked, this, &Import_Excel_DataSheet::Select_ALL_Pressed);
    connect(clear_all_btn, &QPushButton::clicked, this, &Import_Excel_DataSheet::Clear_All_Pressed);
    connect(Each_col_RD, &QRadioButton::clicked, this, &Import_Excel_DataSheet::Each_Col_RD_Click);
    connect(Fill_col_RD, &QRadioButton::clicked, this, &Import_Excel_DataSheet::Fill_Col_RD_Click);
    connect(matrix_fill_type, &QButtonGroup::idClicked, this, &Import_Excel_DataSheet::Fill_Type_CellClick);
    connect(ok_btn, &QPushButton::clicked, this, &Import_Excel_DataSheet::OKPressed);
    connect(cancel_btn, &QPushButton::clicked, this, &Import_Excel_DataSheet::CancelPressed);
    // What the user sets in a cell goes into its record.
    connect(ColList, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        const int row = item->row();
        if (row < 0 || row >= ListData_xl.size())
            return;
        if (item->column() == StateColumn)
            ListData_xl[row].State = item->checkState() == Qt::Checked;
        else if (item->column() == HeaderColumn)
            ListData_xl[row].Header = item->text();
    });
}

Import_Excel_DataSheet::~Import_Excel_DataSheet() = default;

Import_Excel_DataSheet &Import_Excel_DataSheet::defaultInstance()
{
    return design_window::singleInstance<Import_Excel_DataSheet>();
}

int Import_Excel_DataSheet::Open_excel_Wnd(const QString &path)
{
    matrix_fill_type->button(0)->setChecked(true);
    Fill_Type_CellClick(0);
    Each_col_RD->setChecked(true);
    Fill_col_RD->setChecked(false);
    SetObjEnabled(fill_box, false);
    Excel_Sheet_Number = 1;
    file_path->setText(path);
    contains_header->setChecked(true);
    ListData_xl.clear();
    showColumns();
    Sheet_ComboBox->clear();
    List_ComboBox->clear();
    list_name->clear();
    ok_btn->setEnabled(true);

    // Reading the file: the workbook unpacked into a folder of its own.
    auto source = std::make_unique<Source>();
    QString error;
    const bool ods = QFileInfo(path).suffix().compare(QLatin1String("ods"), Qt::CaseInsensitive) == 0;
    runUnderPleaseWait(*plz_wait_Window, "Open_excel_Wnd", [&] {
        if (ods) {
            SheetRows rows = SpreadsheetWriter::ReadODS(path, &error);
            if (error.isEmpty())
                source->odsRows = std::move(rows);
        } else {
            source->workbook = Workbook::open(path, &error);
        }
    });
    m_source = std::move(source);
    if (m_source->workbook && m_source->workbook->worksheets().isEmpty()) {
        m_source->workbook.reset();
        error = tr("It holds no worksheet.");
    }
    // A file that cannot be read is refused at once: an empty dialog would
    // only say later that there is no column.
    auto refuse = [&](const QString &reason) {
        Show_NSLog_Message(QStringLiteral("Open_excel_Wnd: %1: %2").arg(path, reason));
        Show_MessageBox(unreadableSpreadsheetMessage(path, reason));
        m_source = std::make_unique<Source>();
        return 0;
    };
    if (!m_source->workbook && !m_source->odsRows)
        return refuse(error);
    // Worksheet N is item N - 1, shown by the name on its tab.
    QStringList parts;
    if (m_source->workbook) {
        for (const WorksheetEntry &sheet : m_source->workbook->worksheets())
            parts.append(sheet.name);
    } else {
        parts.append(QStringLiteral("sheet1")); // only the first table is read
    }
    Sheet_ComboBox->addItems(parts);
    Sheet_ComboBox->setCurrentIndex(0);
    if (const auto sheetError = readColumns())
        return refuse(*sheetError);
    setResult(0);
    List_ComboBox->addItems(importSeriesStore().Get_datasheet_File_Name_Array());
    const int result = platform::runModal(*this);
    hide();
    m_source = std::make_unique<Source>();
    return result;
}

void Import_Excel_DataSheet::comboBoxSelectionDidChange()
{
    if (const auto error = readColumns()) {
        Show_NSLog_Message(QStringLiteral("comboBoxSelectionDidChange: %1").arg(*error));
        Show_MessageBox(tr("The worksheet \"%1\" cannot be read.\n%2").arg(Sheet_ComboBox->currentText(), *error));
    }
}

std::optional<QString> Import_Excel_DataSheet::readColumns()
{
    Excel_Sheet_Number = Sheet_ComboBox->currentIndex() + 1;
    std::optional<QStringList> header;
    if (m_source->odsRows) {
        int width = 0;
        for (const QStringList &row : std::as_const(*m_source->odsRows))
            width = std::max<int>(width, row.size());
        if (!m_source->odsRows->isEmpty()) {
            QStringList names = m_source->odsRows->first();
            while (names.size() < width)
                names.append(QString());
            for (int i = 0; i < names.size(); ++i)
                if (names[i].isEmpty())
                    names[i] = QStringLiteral("Untitled Column %1").arg(i + 1);
            header = names;
        }
        m_columns = width;
    } else if (m_source->workbook) {
        const int sheet = Excel_Sheet_Number;
        std::optional<SheetHeader> read;
        QString error;
        runUnderPleaseWait(*plz_wait_Window, "comboBoxSelectionDidChange",
                           [&] { read = m_source->workbook->header(sheet, 1, &error); });
        if (!read)
            return error.isEmpty() ? tr("It could not be read.") : error;
        if (read->names) {
            header = read->names;
            m_columns = read->columns > 0 ? read->columns : int(read->names->size());
        }
    }
    // A worksheet without rows leaves the list as it was.
    if (!header)
        return std::nullopt;
    ListData_xl = columnRecords(*header);
    showColumns();
    return std::nullopt;
}

void Import_Excel_DataSheet::showColumns()
{
    const QSignalBlocker block(ColList);
    ColList->setRowCount(int(ListData_xl.size()));
    for (int row = 0; row < ListData_xl.size(); ++row) {
        const ColumnRecord &record = ListData_xl.at(row);
        auto *state = new QTableWidgetItem;
        state->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        state->setCheckState(record.State ? Qt::Checked : Qt::Unchecked);
        auto *shown = new QTableWidgetItem(record.Extension);
        shown->setFlags(Qt::ItemIsEnabled);
        auto *name = new QTableWidgetItem(record.Header);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsEditable);
        ColList->setItem(row, StateColumn, state);
        ColList->setItem(row, ExtensionColumn, shown);
        ColList->setItem(row, HeaderColumn, name);
    }
}

void Import_Excel_DataSheet::Select_ALL_Pressed()
{
    for (ColumnRecord &record : ListData_xl)
        record.State = true;
    showColumns();
}

void Import_Excel_DataSheet::Clear_All_Pressed()
{
    for (ColumnRecord &record : ListData_xl)
        record.State = false;
    showColumns();
}

void Import_Excel_DataSheet::Each_Col_RD_Click()
{
    Each_col_RD->setChecked(true);
    Fill_col_RD->setChecked(false);
    SetObjEnabled(fill_box, false);
}

void Import_Excel_DataSheet::Fill_Col_RD_Click()
{
    Each_col_RD->setChecked(false);
    Fill_col_RD->setChecked(true);
    SetObjEnabled(fill_box, true);
}

void Import_Excel_DataSheet::Fill_Type_CellClick(int option)
{
    fill_col_option = option;
    list_name->setVisible(option == 0);
    List_ComboBox->setVisible(option != 0);
    ColList->setColumnHidden(HeaderColumn, option != 0);
}

bool Import_Excel_DataSheet::Check_For_One_Extension_Selection() const
{
    return std::any_of(ListData_xl.begin(), ListData_xl.end(), [](const ColumnRecord &r) { return r.State; });
}

int Import_Excel_DataSheet::Get_Selection_State(int index) const
{
    if (index < 0 || index >= ListData_xl.size()) {
        Show_NSLog_Message(QStringLiteral("Get_Selection_State: no column %1").arg(index));
        return 0;
    }
    return ListData_xl.at(index).State ? 1 : 0;
}

void Import_Excel_DataSheet::CancelPressed()
{
    done(0);
}

void Import_Excel_DataSheet::OKPressed()
{
    if (!ok_btn->isEnabled())
        return;
    if (ListData_xl.isEmpty()) {
        Show_MessageBox(tr("There is no column."));
        return;
    }
    if (!Check_For_One_Extension_Selection()) {
        Show_MessageBox(tr("No column is selected."));
        return;
    }
    if (Each_col_RD->isChecked()) {
        Create_file_For_Col_Func();
        return;
    }
    if (fill_col_option != 0 && Trim_Str(List_ComboBox->currentText()).isEmpty()) {
        Show_MessageBox(tr("Please select list name."));
        return;
    }
    if (fill_col_option == 0 && Trim_Str(list_name->text()).isEmpty()) {
        Show_MessageBox(tr("Please enter list name."));
        return;
    }
    Insert_file_Func();
}

std::optional<SheetRows> Import_Excel_DataSheet::readRows()
{
    if (m_source->odsRows)
        return m_source->odsRows;
    if (!m_source->workbook)
        return std::nullopt;
    std::optional<SheetRows> rows;
    QString error;
    const int sheet = Excel_Sheet_Number, columns = std::max(1, m_columns);
    ok_btn->setEnabled(false);
    runUnderPleaseWait(*plz_wait_Window, "readRows", [&] { rows = m_source->workbook->rows(sheet, columns, &error); });
    ok_btn->setEnabled(true);
    if (!rows)
        Show_NSLog_Message(QStringLiteral("Import_Excel_DataSheet: %1").arg(error));
    return rows;
}

void Import_Excel_DataSheet::finishImport()
{
    const SeriesManagerHooks &manager = seriesManagerHooks();
    if (file_name_Insert == 1 && manager.Fill_List)
        manager.Fill_List();
}

void Import_Excel_DataSheet::Create_file_For_Col_Func()
{
    const std::optional<SheetRows> rows = readRows();
    if (!rows || rows->isEmpty()) {
        Show_MessageBox(tr("There is no data in selected sheet.\nPlease select another Sheet/Excel File.\n") + kUnreadable);
        done(1);
        return;
    }
    const SeriesStore store = importSeriesStore();
    // An ods table's rows may be of different lengths: the widest counts.
    const int columns = std::max(m_columns, int(rows->first().size()));
    // Apply-to-all answers this run only: its first question must not come
    // with the box still ticked from an earlier run.
    Long_SMS_Dlg::defaultInstance().apply_chk->setChecked(false);
    ClashRun clashes(
        [](const ClashQuestion &q) {
            const auto answer = Long_SMS_Dlg::defaultInstance().run({q.title, q.text, true, q.showApplyToAll});
            return ClashAnswer{answer.accepted, answer.applyToAll};
        },
        columns > 1);
    QStringList failed;
    for (const ColumnRecord &record : std::as_const(ListData_xl)) {
        if (!record.State || record.column >= columns)
            continue;
        QString message;
        const auto name = checkedSeriesName(Trim_Str(record.Header), &message);
        if (!name) {
            Show_MessageBox(message);
            continue;
        }
        const bool exists = QFileInfo::exists(store.seriesFilePath(*name).value_or(QString()));
        if (!clashes.mayWrite(*name, exists, exists && seriesInUseByDesign(*name)))
            continue;
        QString error;
        if (!writeSeriesValues(store, *name, columnValues(*rows, record.column, contains_header->isChecked()),
                               SeriesWrite::Replace, &error)) {
            Show_NSLog_Message(QStringLiteral("Create_file_For_Col_Func: %1: %2").arg(*name, error));
            failed.append(*name);
        }
    }
    finishImport();
    if (!failed.isEmpty())
        Show_MessageBox(tr("Error in file accessing.") + QLatin1Char('\n') + failed.join(QStringLiteral(", ")));
    done(1);
}

void Import_Excel_DataSheet::Insert_file_Func()
{
    const bool newSeries = fill_col_option == 0;
    QString message;
    const auto name = checkedSeriesName(newSeries ? list_name->text() : List_ComboBox->currentText(), &message);
    if (!name) {
        Show_MessageBox(message);
        return;
    }
    const SeriesStore store = importSeriesStore();
    if (newSeries && !mayReplaceSeries(store, *name))
        return;
    const std::optional<SheetRows> rows = readRows();
    if (!rows || rows->isEmpty()) {
        finishImport();
        Show_MessageBox(kUnreadable);
        done(1);
        return;
    }
    QList<int> ticked;
    for (const ColumnRecord &record : std::as_const(ListData_xl))
        if (record.State)
            ticked.append(record.column);
    QString error;
    if (!writeSeriesValues(store, *name, allInOneValues(*rows, ticked, contains_header->isChecked()),
                           fill_col_option == 2 ? SeriesWrite::Append : SeriesWrite::Replace, &error)) {
        Show_NSLog_Message(QStringLiteral("Insert_file_Func: %1").arg(error));
        Show_MessageBox(seriesWriteFailure(store, *name, error));
        return;
    }
    finishImport();
    done(1);
}
