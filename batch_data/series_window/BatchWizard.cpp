#include "batch_data/series_window/BatchWizard.h"

#include "batch_data/series/SeriesEdits.h"
#include "batch_data/series_window/BatchDialogLook.h"
#include "batch_data/series_window/Load_Num_Info.h"
#include "batch_data/series_window/SeriesImporters.h"
#include "batch_data/series_window/Update_Ex_Num.h"
#include "design_window/DataSourcePanel.h"
#include "design_window/ExportFileBox.h"
#include "design_window/Globals.h"
#include "design_window/ResourceFolder.h"
#include "design_window/SingleInstance.h"
#include "design_window/DesignHub.h"
#include "platform/Alerts.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>

using namespace design_window;
using batch_data::fileAccessError;
using batch_data::newButton;
using batch_data::newListTable;

namespace {

const QString kListEmpty = QStringLiteral("List is empty.");
const QString kInUseUpdate = QStringLiteral("Batch Processing Series can't be update because it is currently in use.");
const QString kInUseDelete = QStringLiteral("Batch Processing Series can't be delete because it is currently in use.");

// The file-type choice shown under the export panel: the main window's
// accessory view when there is one, else one of our own.
struct ExportTypeChoice {
    QWidget *view = nullptr;
    QComboBox *types = nullptr;
    std::unique_ptr<QWidget> own;

    ExportTypeChoice()
    {
        if (design_window::DesignHub *hub = design_window::Main_App_wnd) {
            const design_window::DesignHub::SaveTypeAccessory lent = hub->saveTypeAccessory();
            if (lent.view && lent.types) {
                view = lent.view;
                types = lent.types;
                return;
            }
        }
        own = std::make_unique<QWidget>();
        view = own.get();
        auto *row = new QHBoxLayout(view);
        row->addWidget(new QLabel(QObject::tr("File type:")));
        types = new QComboBox;
        types->setObjectName("Save_Ext_ComboBox");
        row->addWidget(types);
    }
};

} // namespace

namespace {

// One screen of the manager: a table, its count below it and a row of
// buttons with Help first.
struct Screen {
    QWidget *box;
    QTableWidget *table;
    QLabel *count;
    QWidget *buttons;
    QHBoxLayout *row;
    QPushButton *help;
    QVBoxLayout *layout;
};

Screen newScreen(QWidget *parent, const char *name, QTableWidget *table, const char *countName,
                 const char *buttonsName, const char *helpName)
{
    Screen s;
    s.box = new QWidget(parent);
    s.box->setObjectName(QLatin1String(name));
    s.table = table;
    s.count = new QLabel(s.box);
    s.count->setObjectName(QLatin1String(countName));
    s.buttons = new QWidget(s.box);
    s.buttons->setObjectName(QLatin1String(buttonsName));
    s.row = new QHBoxLayout(s.buttons);
    s.row->setContentsMargins(0, 0, 0, 0);
    s.help = newButton(QObject::tr("Help"), helpName, s.row);
    s.row->addStretch();
    s.layout = new QVBoxLayout(s.box);
    s.layout->setContentsMargins(0, 0, 0, 0);
    s.layout->addWidget(table, 1);
    s.layout->addWidget(s.count);
    s.layout->addWidget(s.buttons);
    return s;
}

} // namespace

BatchWizard::BatchWizard()
{
    setObjectName("BatchWizard");
    setWindowTitle(tr("Batch Processing Series"));
    batch_data::applyDialogBackground(*this);

    // List screen.
    const Screen list = newScreen(this, "avl_list_box", newListTable(tr("Available Batch Processing Series"), "List"),
                                  "batch_list_count", "btn_box1", "help_btn");
    avl_list_box = list.box;
    List = list.table;
    batch_list_count = list.count;
    btn_box1 = list.buttons;
    import_btn = newButton(tr("Import..."), "import_btn", list.row);
    create_series_btn = newButton(tr("Generate..."), "create_series_btn", list.row);
    auto *add_new = newButton(tr("Add New"), "add_new_btn", list.row);
    auto *update = newButton(tr("Edit"), "update_btn", list.row);
    auto *remove = newButton(tr("Delete"), "delete_list_btn", list.row);
    auto *close1 = newButton(tr("Close"), "close_btn", list.row);

    // Editor screen.
    const Screen editor = newScreen(this, "list_value_box", newListTable(tr("Values"), "List_value"),
                                    "batch_value_count", "btn_box2", "help_2_btn");
    list_value_box = editor.box;
    List_value = editor.table;
    batch_value_count = editor.count;
    btn_box2 = editor.buttons;
    import_value_btn = newButton(tr("Import..."), "import_value_btn", editor.row);
    series_value_btn = newButton(tr("Generate..."), "series_value_btn", editor.row);
    auto *delete_rows = newButton(tr("Delete Rows"), "delete_rows_btn", editor.row);
    auto *export_values = newButton(tr("Export..."), "export_value_btn", editor.row);
    auto *save = newButton(tr("Save"), "save_btn", editor.row);
    auto *back = newButton(tr("Back"), "back_btn", editor.row);
    auto *close2 = newButton(tr("Close"), "close_2_btn", editor.row);
    batch_list_name = new QLineEdit(list_value_box);
    batch_list_name->setObjectName("batch_list_name");
    update_list_name = new QLineEdit(list_value_box);
    update_list_name->setObjectName("update_list_name");
    update_list_name->hide();
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(tr("Name:"), list_value_box));
    nameRow->addWidget(batch_list_name, 1);
    editor.layout->insertLayout(0, nameRow);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(avl_list_box);
    layout->addWidget(list_value_box);

    Load_Number_Window = new Load_Num_Info(this);
    Update_Value_Wnd = new Update_Ex_Num(this);

    connect(list.help, &QPushButton::clicked, this, &BatchWizard::Help_Btn_Clicked);
    connect(editor.help, &QPushButton::clicked, this, &BatchWizard::Help_Btn_Clicked);
    connect(import_btn, &QPushButton::clicked, this, &BatchWizard::Import_Btn_Clicked);
    connect(create_series_btn, &QPushButton::clicked, this, &BatchWizard::CreateSeries_Btn_Clicked);
    connect(add_new, &QPushButton::clicked, this, &BatchWizard::AddNew_Btn_Clicked);
    connect(update, &QPushButton::clicked, this, &BatchWizard::Update_Btn_Clicked);
    connect(remove, &QPushButton::clicked, this, &BatchWizard::Delete_List_Btn_Clicked);
    connect(close1, &QPushButton::clicked, this, &BatchWizard::Close_Btn_Clicked);
    connect(import_value_btn, &QPushButton::clicked, this, &BatchWizard::Import_Value_Btn_Clicked);
    connect(series_value_btn, &QPushButton::clicked, this, &BatchWizard::Series_Value_Btn_Clicked);
    connect(delete_rows, &QPushButton::clicked, this, &BatchWizard::Delete_Rows_Btn_Clicked);
    connect(export_values, &QPushButton::clicked, this, &BatchWizard::Export_Value_Btn_Clicked);
    connect(save, &QPushButton::clicked, this, &BatchWizard::Save_Btn_Clicked);
    connect(back, &QPushButton::clicked, this, &BatchWizard::Back_Btn_Clicked);
    connect(close2, &QPushButton::clicked, this, &BatchWizard::Close_2_Btn_Clicked);
    connect(List, &QTableWidget::cellDoubleClicked, this, [this] { doubleClickInTable(List); });
    connect(List_value, &QTableWidget::cellDoubleClicked, this, [this] { doubleClickInTable(List_value); });

    Show_hide_first_screen(false);
    Show_hide_Last_screen(true);
    Update_batch_List_Count();
    Update_Value_List_Count();
    updateImporterButtons();
    // Wide enough for the editor's row of buttons too, so that the window
    // keeps its size when the screens change.
    const int width = std::max(avl_list_box->sizeHint().width(), list_value_box->sizeHint().width());
    resize(std::max(560, width + layout->contentsMargins().left() + layout->contentsMargins().right()), 460);
}

BatchWizard::~BatchWizard() = default;

BatchWizard &BatchWizard::defaultInstance()
{
    return singleInstance<BatchWizard>();
}

int BatchWizard::Open_Wnd()
{
    Check_Path_And_Create_Files();
    Show_hide_first_screen(false);
    Show_hide_Last_screen(true);
    Fill_List();
    updateImporterButtons();
    const int result = platform::runModal(*this);
    hide();
    return result;
}

void BatchWizard::updateImporterButtons()
{
    const bool installed = batch_data::seriesImporters() != nullptr;
    for (QPushButton *button : {import_btn, create_series_btn, import_value_btn, series_value_btn})
        button->setEnabled(installed);
}

void BatchWizard::Fill_List()
{
    ListData.clear();
    Update_batch_List_Count();
    for (const QString &name : currentSeriesStore().Get_datasheet_File_Name_Array())
        Create_Avail_List(name);
}

void BatchWizard::Create_Avail_List(const QString &name)
{
    const QString trimmed = Trim_Str(name);
    if (trimmed.isEmpty())
        return;
    ListData.append(trimmed);
    appendRow(List, trimmed);
    batch_list_count->setText(QStringLiteral("Total List : %1").arg(ListData.size()));
}

void BatchWizard::Create_Value_List(const QString &value)
{
    const QString trimmed = Trim_Str(value);
    if (trimmed.isEmpty())
        return;
    ListData_value.append(trimmed);
    // Importers append values one at a time, thousands of them: the table
    // takes the one new row rather than being rebuilt each time.
    appendRow(List_value, trimmed);
    batch_value_count->setText(QStringLiteral("Total Rows : %1").arg(ListData_value.size()));
}

QString BatchWizard::Get_Value_Text(int row) const
{
    if (row < 0 || row >= ListData_value.size()) {
        Show_NSLog_Message(QStringLiteral("No value at row %1").arg(row));
        return QString();
    }
    return Trim_Str(ListData_value.at(row));
}

QString BatchWizard::Get_List_Name_Text(int row) const
{
    if (row < 0 || row >= ListData.size()) {
        Show_NSLog_Message(QStringLiteral("No series at row %1").arg(row));
        return QString();
    }
    return Trim_Str(ListData.at(row));
}

void BatchWizard::fillTable(QTableWidget *table, const QStringList &rows)
{
    const QSignalBlocker block(table);
    table->clearSelection();
    table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        table->setItem(r, 0, new QTableWidgetItem(rows.at(r)));
}

void BatchWizard::appendRow(QTableWidget *table, const QString &text)
{
    const QSignalBlocker block(table);
    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, 0, new QTableWidgetItem(text));
}

void BatchWizard::Update_batch_List_Count()
{
    fillTable(List, ListData);
    batch_list_count->setText(QStringLiteral("Total List : %1").arg(ListData.size()));
}

void BatchWizard::Update_Value_List_Count()
{
    fillTable(List_value, ListData_value);
    batch_value_count->setText(QStringLiteral("Total Rows : %1").arg(ListData_value.size()));
}

void BatchWizard::Mark_List_New_Selection(int row)
{
    List->clearSelection();
    if (row >= 0 && row < List->rowCount())
        List->selectRow(row);
}

void BatchWizard::Mark_List_New_Selection_Value(int row)
{
    List_value->clearSelection();
    if (row >= 0 && row < List_value->rowCount())
        List_value->selectRow(row);
}

void BatchWizard::Show_hide_first_screen(bool hide)
{
    avl_list_box->setHidden(hide);
    if (!hide)
        update_list_name->clear();
}

void BatchWizard::Show_hide_Last_screen(bool hide)
{
    list_value_box->setHidden(hide);
}

int BatchWizard::selectedRow(const QTableWidget *table)
{
    // A Ctrl-click that takes a row out of the selection leaves it current.
    const QList<int> rows = selectedRows(table);
    const int current = table->currentRow();
    return rows.contains(current) ? current : (rows.isEmpty() ? -1 : rows.last());
}

QList<int> BatchWizard::selectedRows(const QTableWidget *table)
{
    QList<int> rows;
    for (const QModelIndex &index : table->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool BatchWizard::Batch_List_Selection_Validation()
{
    if (ListData.isEmpty()) {
        Show_MessageBox(tr("Available list is empty."));
        return false;
    }
    const QList<int> rows = selectedRows(List);
    if (rows.isEmpty() || Get_List_Name_Text(rows.first()).isEmpty()) {
        Show_MessageBox(tr("Please select a record from the available list to continue."));
        List->setFocus();
        return false;
    }
    return true;
}

bool BatchWizard::seriesInUse(const QString &name) const
{
    design_window::DesignHub *hub = design_window::Main_App_wnd;
    return hub && hub->Check_Batch_File_In_Use_Validation(name);
}

void BatchWizard::Help_Btn_Clicked()
{
    Open_Help_File();
}

void BatchWizard::Import_Btn_Clicked()
{
    if (auto *importers = batch_data::seriesImporters()) {
        importers->Open_Import_Wizard(1, 1);
        Fill_List();
    }
}

void BatchWizard::CreateSeries_Btn_Clicked()
{
    if (auto *importers = batch_data::seriesImporters()) {
        importers->Open_Generate_List(1, 1);
        Fill_List();
    }
}

void BatchWizard::AddNew_Btn_Clicked()
{
    Show_hide_first_screen(true);
    Show_hide_Last_screen(false);
    batch_list_name->setText(QStringLiteral("Untitled"));
    ListData_value.clear();
    Update_Value_List_Count();
    markSaved();
}

void BatchWizard::Update_Btn_Clicked()
{
    On_Update();
}

void BatchWizard::On_Update()
{
    if (!Batch_List_Selection_Validation())
        return;
    const QString name = Get_List_Name_Text(selectedRows(List).first());
    const batch_data::SeriesStore store = currentSeriesStore();
    const auto path = store.seriesFilePath(name);
    // The series must be there and writable, or its edits could not be saved.
    QFile file(path.value_or(QString()));
    if (!path || !file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
        Show_NSLog_Message(QStringLiteral("err no : %1").arg(errno));
        Show_MessageBox(fileAccessError(path ? QStringLiteral("%1: %2").arg(*path, file.errorString()) : QString()));
        return;
    }
    file.close();
    // A file that cannot be read as UTF-8 is not opened: shown empty, one
    // Save would write over every value it holds.
    QString why;
    const QStringList values = store.readValues(name, &why);
    if (!why.isEmpty()) {
        Show_MessageBox(batch_data::unreadableSeriesMessage(name, *path, why));
        return;
    }
    Show_hide_first_screen(true);
    Show_hide_Last_screen(false);
    batch_list_name->setText(name);
    update_list_name->setText(name);
    ListData_value = values;
    Update_Value_List_Count();
    markSaved();
}

void BatchWizard::Delete_List_Btn_Clicked()
{
    if (!Batch_List_Selection_Validation())
        return;
    const QList<int> rows = selectedRows(List);
    const int current = selectedRow(List);
    if (seriesInUse(Get_List_Name_Text(current))) {
        Show_MessageBox(kInUseDelete);
        return;
    }
    if (!Show_YES_NO_MessageBox(tr("Are you sure want to delete selected Batch Processing Series?")))
        return;
    const batch_data::SeriesStore store = currentSeriesStore();
    bool metInUse = false;
    QStringList failed; // "PATH: REASON" of each series that stayed
    for (int row : rows) {
        const QString name = Get_List_Name_Text(row);
        if (seriesInUse(name)) {
            metInUse = true;
            if (!Msg_Apply_All_Chk) {
                Show_MessageBox(kInUseDelete);
                break;
            }
            continue;
        }
        QString why;
        if (!store.removeSeries(name, &why))
            failed << QStringLiteral("%1: %2").arg(store.seriesFilePath(name).value_or(name), why);
    }
    // The list shows what the folder holds now, whichever series went.
    Fill_List();
    if (!failed.isEmpty())
        Show_MessageBox(fileAccessError(failed.join(QLatin1Char('\n'))));
    if (!metInUse && current >= 1 && current - 1 < ListData.size())
        Mark_List_New_Selection(current - 1);
}

void BatchWizard::Close_Btn_Clicked()
{
    done(0);
}

bool BatchWizard::askClearOrAppend()
{
    if (ListData_value.isEmpty())
        return true;
    const int answer = platform::runModal(*Load_Number_Window);
    Load_Number_Window->hide();
    if (answer == Load_Num_Info::kCancelled)
        return false;
    if (answer == 1) {
        ListData_value.clear();
        Update_Value_List_Count();
    }
    return true;
}

void BatchWizard::Import_Value_Btn_Clicked()
{
    auto *importers = batch_data::seriesImporters();
    if (importers && askClearOrAppend())
        importers->Open_Import_Wizard(0, 1);
}

void BatchWizard::Series_Value_Btn_Clicked()
{
    auto *importers = batch_data::seriesImporters();
    if (importers && askClearOrAppend())
        importers->Open_Generate_List(0, 1);
}

void BatchWizard::Delete_Rows_Btn_Clicked()
{
    if (ListData_value.isEmpty()) {
        Show_MessageBox(kListEmpty);
        List_value->setFocus();
        return;
    }
    const QList<int> rows = selectedRows(List_value);
    if (rows.isEmpty()) {
        Show_MessageBox(tr("Please select at least one record from the list to continue."));
        List_value->setFocus();
        return;
    }
    const int current = selectedRow(List_value);
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        ListData_value.removeAt(*it);
    Update_Value_List_Count();
    if (current >= 1 && current - 1 < ListData_value.size())
        Mark_List_New_Selection_Value(current - 1);
}

void BatchWizard::OnGetSelected()
{
    if (ListData_value.isEmpty())
        return;
    const int row = selectedRow(List_value);
    if (row < 0 || row >= ListData_value.size())
        return;
    const QString value = Get_Value_Text(row);
    Update_Value_Wnd->m_ex_num_str->setText(value);
    Update_Value_Wnd->m_s_number->setText(value);
    Update_Value_Wnd->m_ex_num_index = row;
    // The user came to type the new value.
    Update_Value_Wnd->m_ex_num_str->setFocus();
    Update_Value_Wnd->m_ex_num_str->selectAll();
    platform::runModal(*Update_Value_Wnd);
    Update_Value_Wnd->hide();
}

void BatchWizard::doubleClickInTable(QTableWidget *table)
{
    const QList<int> rows = selectedRows(table);
    if (rows.isEmpty())
        return;
    if (rows.size() > 1) {
        Show_MessageBox(tr("Please select only one record to update."));
        return;
    }
    if (table == List)
        On_Update();
    else
        OnGetSelected();
}

void BatchWizard::Save_Btn_Clicked()
{
    saveEditor();
}

bool BatchWizard::saveEditor()
{
    if (ListData_value.isEmpty()) {
        Show_MessageBox(kListEmpty);
        List_value->setFocus();
        return false;
    }
    const batch_data::SeriesStore store = currentSeriesStore();
    const QString name = Remove_Reserve_Char_In_File_Name(batch_list_name->text());
    const QString oldName = update_list_name->text();
    const auto path = store.seriesFilePath(name);
    if (!path) {
        Show_MessageBox(tr("Please enter a valid name for the Batch Processing Series."));
        batch_list_name->setFocus();
        return false;
    }
    // Neither the opened series nor one it would replace may be in use.
    if ((!oldName.isEmpty() && seriesInUse(oldName)) || (name != oldName && seriesInUse(name))) {
        Show_MessageBox(kInUseUpdate);
        return false;
    }
    const bool exists = QFileInfo(*path).isFile();
    if (exists && name != oldName
        && !Show_YES_NO_MessageBox(tr("Batch Processing Series already exists. Do you want to replace it?")))
        return false;
    // Saving onto another existing series replaces it and keeps the one
    // opened; saving under a new name renames the opened one.
    const QString renamedFrom = exists ? QString() : oldName;
    QString error;
    if (!batch_data::saveSeriesValues(store, name, ListData_value, renamedFrom, &error)) {
        Show_NSLog_Message(error);
        Show_MessageBox(fileAccessError(QStringLiteral("%1: %2").arg(*path, error)));
        return false;
    }
    raise();
    Show_hide_first_screen(false);
    Show_hide_Last_screen(true);
    Fill_List();
    Mark_List_New_Selection(int(ListData.indexOf(name)));
    markSaved();
    return true;
}

void BatchWizard::Export_Value_Btn_Clicked()
{
    if (ListData_value.isEmpty()) {
        Show_MessageBox(kListEmpty);
        List_value->setFocus();
        return;
    }
    QFileDialog panel(this, tr("Export Batch Processing Series"));
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setAcceptMode(QFileDialog::AcceptSave);
    panel.setFileMode(QFileDialog::AnyFile);
    panel.setNameFilter(tr("Batch Processing Series (*.xlsx *.txt)"));
    ExportTypeChoice choice;
    choice.types->clear();
    choice.types->addItems({QStringLiteral("xlsx"), QStringLiteral("txt")});
    choice.types->setCurrentIndex(0);
    QWidget *home = choice.view->parentWidget();
    if (auto *grid = qobject_cast<QGridLayout *>(panel.layout()))
        grid->addWidget(choice.view, grid->rowCount(), 0, 1, grid->columnCount());
    choice.view->show();
    const int answer = platform::runModal(panel);
    const QStringList files = panel.selectedFiles();
    const auto format = choice.types->currentIndex() == 0 ? batch_data::SeriesExportFormat::Xlsx
                                                          : batch_data::SeriesExportFormat::Txt;
    // The accessory view goes back to its owner before the panel goes.
    choice.view->hide();
    choice.view->setParent(home);
    if (answer != 1 || files.isEmpty() || files.first().isEmpty())
        return;
    const QString chosen = files.first();
    const QString path = batch_data::seriesExportPath(chosen, format);
    // The panel confirmed the name typed; a file the new extension meets
    // has not been confirmed yet.
    if (path != chosen && QFileInfo::exists(path)
        && !Show_YES_NO_MessageBox(tr("%1 already exists. Do you want to replace it?").arg(QFileInfo(path).fileName())))
        return;
    raise();
    QString error;
    if (!batch_data::exportSeriesValues(path, format, ListData_value, &error)) {
        Show_NSLog_Message(error);
        Show_MessageBox(fileAccessError());
        return;
    }
    Export_File_Message = QStringLiteral("Record has been exported successfully.");
    Export_File_Path = path;
    Open_Export_File_Box();
}

void BatchWizard::Open_Export_File_Box()
{
    if (design_window::DesignHub *hub = design_window::Main_App_wnd) {
        hub->Open_Export_File_Box();
        return;
    }
    Export_File_Box box(this);
    box.Open_Export_File_Box();
}

void BatchWizard::markSaved()
{
    m_savedValues = ListData_value;
}

bool BatchWizard::hasUnsavedEdit() const
{
    // An empty editor cannot be saved, and leaves the files as they are.
    return !list_value_box->isHidden() && !ListData_value.isEmpty() && ListData_value != m_savedValues;
}

bool BatchWizard::leaveEditor()
{
    if (!hasUnsavedEdit())
        return true;
    const QString name = Trim_Str(batch_list_name->text());
    const int answer = platform::showAlert(
        {tr("The changes to the Batch Processing Series \"%1\" have not been saved.\n\nDo you want to save them "
            "under another name?")
             .arg(name),
         {tr("Save As..."), tr("Discard"), tr("Cancel")},
         0});
    switch (answer) {
    case 0:
        return saveUnderAnotherName();
    case 1:
        ListData_value = m_savedValues;
        Update_Value_List_Count();
        return true;
    default:
        return false;
    }
}

bool BatchWizard::saveUnderAnotherName()
{
    QInputDialog ask(this);
    ask.setObjectName("save_as_name");
    ask.setWindowTitle(tr("Save As"));
    ask.setLabelText(tr("Name of the Batch Processing Series:"));
    ask.setTextValue(Trim_Str(batch_list_name->text()));
    if (platform::runModal(ask) != 1)
        return false;
    const QString opened = update_list_name->text();
    const QString previousName = batch_list_name->text();
    const QString name = Trim_Str(ask.textValue());
    // Under another name the values become a series of their own: the one
    // that was opened (perhaps in use) keeps its values.
    if (name != opened)
        update_list_name->clear();
    batch_list_name->setText(name);
    if (saveEditor())
        return true;
    update_list_name->setText(opened);
    batch_list_name->setText(previousName);
    return false;
}

void BatchWizard::reject()
{
    if (!leaveEditor())
        return;
    QDialog::reject();
}

void BatchWizard::Back_Btn_Clicked()
{
    if (!leaveEditor())
        return;
    Show_hide_first_screen(false);
    Show_hide_Last_screen(true);
}

void BatchWizard::Close_2_Btn_Clicked()
{
    if (leaveEditor())
        done(0);
}
