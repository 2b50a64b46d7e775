#include "batch_data/import_window/Import_Wizard.h"

#include "batch_data/import/SeriesTarget.h"
#include "batch_data/import/TextImport.h"
#include "batch_data/import_window/ImportSupport.h"
#include "batch_data/series_window/BatchDialogLook.h"
#include "batch_data/import_window/Import_Excel_DataSheet.h"
#include "design_window/Globals.h"
#include "design_window/PanelSupport.h"
#include "design_window/ResourceFolder.h"
#include "design_window/SingleInstance.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <iterator>

using namespace batch_data;
using design_window::checkFilePath;
using design_window::runFilePanel;

namespace {

const QString kUntitled = QStringLiteral("Untitled");

QLineEdit *field(QWidget *parent, const char *name, const QString &placeholder = {})
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setPlaceholderText(placeholder);
    return edit;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

void giveUntitled(QLineEdit *name)
{
    if (Trim_Str(name->text()).isEmpty())
        name->setText(kUntitled);
}

} // namespace

Import_Wizard::Import_Wizard()
{
    setObjectName("Import_Wizard");
    setWindowTitle(tr("Import Batch Processing Series"));
    applyDialogBackground(*this);
    resize(560, 520);

    Excel_RD = new QRadioButton(tr("Spreadsheet (xlsx, ods)"), this);
    Excel_RD->setObjectName("Excel_RD");
    Text_RD = new QRadioButton(tr("Text file (txt, csv, rtf)"), this);
    Text_RD->setObjectName("Text_RD");
    Mnul_RD = new QRadioButton(tr("Pasted text"), this);
    Mnul_RD->setObjectName("Mnul_RD");
    Image_RD = new QRadioButton(tr("Image folder"), this);
    Image_RD->setObjectName("Image_RD");

    Excel_path = field(this, "Excel_path", tr("Spreadsheet file"));
    Excel_btn = button(this, "Excel_btn", tr("Browse..."));
    Text_file_name = field(this, "Text_file_name", tr("Series name"));
    Text_path = field(this, "Text_path", tr("Text file"));
    Text_btn = button(this, "Text_btn", tr("Browse..."));
    ManualEdit = new QPlainTextEdit(this);
    ManualEdit->setObjectName("ManualEdit");
    ManualEdit->setPlaceholderText(tr("Paste or type one value per line"));
    // A value never holds a tab; Tab moves on, so the keyboard can leave.
    ManualEdit->setTabChangesFocus(true);
    Manual_file_name = field(this, "Manual_file_name", tr("Series name"));
    Image_file_name = field(this, "Image_file_name", tr("Series name"));
    Image_path = field(this, "Image_path", tr("Folder of images"));
    Image_btn = button(this, "Image_btn", tr("Browse..."));
    ok_btn = button(this, "ok_btn", tr("OK"));
    ok_btn->setDefault(true);
    cancel_btn = button(this, "cancel_btn", tr("Cancel"));
    help_btn = button(this, "help_btn", tr("Help"));
    plz_wait_Window = new design_window::PleaseWaitSheet(this);

    auto *grid = new QGridLayout;
    int row = 0;
    grid->addWidget(Excel_RD, row++, 0, 1, 3);
    grid->addWidget(Excel_path, row, 1);
    grid->addWidget(Excel_btn, row++, 2);
    grid->addWidget(Text_RD, row++, 0, 1, 3);
    grid->addWidget(Text_file_name, row++, 1);
    grid->addWidget(Text_path, row, 1);
    grid->addWidget(Text_btn, row++, 2);
    grid->addWidget(Mnul_RD, row++, 0, 1, 3);
    grid->addWidget(Manual_file_name, row++, 1);
    grid->addWidget(ManualEdit, row++, 1, 1, 2);
    grid->addWidget(Image_RD, row++, 0, 1, 3);
    grid->addWidget(Image_file_name, row++, 1);
    grid->addWidget(Image_path, row, 1);
    grid->addWidget(Image_btn, row++, 2);
    grid->setColumnMinimumWidth(0, 16);
    grid->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(help_btn);
    buttons->addStretch();
    buttons->addWidget(cancel_btn);
    buttons->addWidget(ok_btn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);

    // Tab goes as the form reads: row by row, left to right, the buttons at
    // the bottom last (not in the order the fields were made).
    QWidget *const order[] = {Excel_RD, Excel_path, Excel_btn,
                              Text_RD, Text_file_name, Text_path, Text_btn,
                              Mnul_RD, Manual_file_name, ManualEdit,
                              Image_RD, Image_file_name, Image_path, Image_btn,
                              help_btn, cancel_btn, ok_btn};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(Excel_RD, &QRadioButton::clicked, this, &Import_Wizard::Excel_RD_Pressed);
    connect(Text_RD, &QRadioButton::clicked, this, &Import_Wizard::Text_RD_Pressed);
    connect(Mnul_RD, &QRadioButton::clicked, this, &Import_Wizard::Manual_RD_Pressed);
    connect(Image_RD, &QRadioButton::clicked, this, &Import_Wizard::Image_RD_Pressed);
    connect(Excel_btn, &QPushButton::clicked, this, &Import_Wizard::Browse_Excel_Pressed);
    connect(Text_btn, &QPushButton::clicked, this, &Import_Wizard::Browse_Text_Pressed);
    connect(Image_btn, &QPushButton::clicked, this, &Import_Wizard::Browse_Image_Pressed);
    connect(help_btn, &QPushButton::clicked, this, &Import_Wizard::HelpPressed);
    connect(ok_btn, &QPushButton::clicked, this, &Import_Wizard::OKPressed);
    connect(cancel_btn, &QPushButton::clicked, this, &Import_Wizard::CancelPressed);
}

Import_Wizard &Import_Wizard::defaultInstance()
{
    return design_window::singleInstance<Import_Wizard>();
}

int Import_Wizard::Open_Wnd()
{
    Check_Path_And_Create_Files();
    for (QLineEdit *f : {Excel_path, Text_path, Image_path, Text_file_name, Manual_file_name, Image_file_name})
        f->clear();
    ManualEdit->clear();
    selectSource(0);
    for (QLineEdit *name : {Text_file_name, Manual_file_name, Image_file_name})
        name->setVisible(file_name_required == 1);
    setResult(0);
    ok_btn->setEnabled(true);
    const int result = platform::runModal(*this);
    hide();
    return result;
}

void Import_Wizard::selectSource(int option)
{
    import_option = option;
    Excel_RD->setChecked(option == 0);
    Text_RD->setChecked(option == 1);
    Mnul_RD->setChecked(option == 2);
    Image_RD->setChecked(option == 3);
    Enable_Disable_Excel_Option(option == 0);
    Enable_Disable_Text_Option(option == 1);
    Enable_Disable_Manual_Option(option == 2);
    Enable_Disable_Image_Option(option == 3);
}

void Import_Wizard::Excel_RD_Pressed()
{
    selectSource(0);
}

void Import_Wizard::Text_RD_Pressed()
{
    selectSource(1);
}

void Import_Wizard::Manual_RD_Pressed()
{
    selectSource(2);
}

void Import_Wizard::Image_RD_Pressed()
{
    selectSource(3);
}

void Import_Wizard::Enable_Disable_Excel_Option(bool flag)
{
    Excel_btn->setEnabled(flag);
    Excel_path->setEnabled(flag);
}

void Import_Wizard::Enable_Disable_Text_Option(bool flag)
{
    Text_btn->setEnabled(flag);
    Text_path->setEnabled(flag);
    Text_file_name->setEnabled(flag);
    if (flag)
        giveUntitled(Text_file_name);
}

void Import_Wizard::Enable_Disable_Manual_Option(bool flag)
{
    ManualEdit->setReadOnly(!flag);
    ManualEdit->setEnabled(flag);
    Manual_file_name->setEnabled(flag);
    if (flag)
        giveUntitled(Manual_file_name);
}

void Import_Wizard::Enable_Disable_Image_Option(bool flag)
{
    Image_btn->setEnabled(flag);
    Image_path->setEnabled(flag);
    Image_file_name->setEnabled(flag);
    if (flag)
        giveUntitled(Image_file_name);
}

void Import_Wizard::HelpPressed()
{
    Open_Help_File();
}

void Import_Wizard::Browse_Excel_Pressed()
{
    Delete_Excel_File_Temp_Folder();
    // The editor's column picker reads xlsx only; the column import of
    // named series reads ods too.
    const QString path = runFilePanel(this, false, tr("Choose a spreadsheet"),
                                      file_name_required == 1 ? tr("Spreadsheets (*.xlsx *.XLSX *.ods *.ODS)")
                                                              : tr("Spreadsheets (*.xlsx *.XLSX)"));
    if (path.isEmpty())
        return;
    Excel_path->setText(path);
    OKPressed();
}

void Import_Wizard::Browse_Text_Pressed()
{
    const QString path = runFilePanel(this, false, tr("Choose a text file"),
                                      tr("Text files (*.txt *.TXT *.rtf *.RTF *.csv *.CSV)"));
    if (path.isEmpty())
        return;
    Text_path->setText(path);
    OKPressed();
}

void Import_Wizard::Browse_Image_Pressed()
{
    QFileDialog panel(this, tr("Choose a folder of images"));
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setFileMode(QFileDialog::Directory);
    panel.setOption(QFileDialog::ShowDirsOnly);
    if (platform::runModal(panel) != 1 || panel.selectedFiles().isEmpty())
        return;
    Image_path->setText(panel.selectedFiles().first());
    OKPressed();
}

void Import_Wizard::CancelPressed()
{
    done(0);
}

void Import_Wizard::OKPressed()
{
    // One import at a time: a second OK (or a browse that ends in one)
    // while one runs does nothing.
    if (!ok_btn->isEnabled())
        return;
    ok_btn->setEnabled(false);
    bool imported = false;
    switch (import_option) {
    case 0:
        if (checkFilePath(Excel_path->text())) {
            const QString path = Trim_Str(Excel_path->text());
            if (file_name_required == 1) {
                Import_Excel_DataSheet &importer = Import_Excel_DataSheet::defaultInstance();
                importer.file_name_Insert = file_name_Insert;
                importer.Open_excel_Wnd(path);
            } else if (const auto &open = seriesManagerHooks().openColumnPickerForEditor) {
                open(path);
            }
            imported = true;
        }
        break;
    case 1:
        imported = checkFilePath(Text_path->text()) && Create_And_Save_Text_Data_Sheet(Trim_Str(Text_path->text()));
        break;
    case 2:
        imported = Create_And_Save_Manual_Paste_data_Sheet();
        break;
    case 3:
        imported = checkFilePath(Image_path->text()) && Create_And_Save_Image_data_Sheet(Trim_Str(Image_path->text()));
        break;
    default:
        break;
    }
    ok_btn->setEnabled(true);
    if (imported)
        done(1);
}

bool Import_Wizard::checkName(QLineEdit *nameField, QString *name)
{
    if (file_name_required != 1)
        return true;
    QString message;
    const auto checked = checkedSeriesName(nameField->text(), &message);
    if (!checked) {
        Show_MessageBox(message);
        nameField->setFocus();
        return false;
    }
    *name = *checked;
    return true;
}

bool Import_Wizard::deliver(QLineEdit *nameField, const QStringList &values)
{
    const SeriesManagerHooks &manager = seriesManagerHooks();
    if (file_name_required == 1) {
        QString name;
        if (!checkName(nameField, &name))
            return false;
        const SeriesStore store = importSeriesStore();
        if (!mayReplaceSeries(store, name))
            return false;
        QString error;
        if (!writeSeriesValues(store, name, values, SeriesWrite::Replace, &error)) {
            Show_NSLog_Message(QStringLiteral("Import_Wizard: %1").arg(error));
            Show_MessageBox(seriesWriteFailure(store, name, error));
            return false;
        }
    } else if (manager.appendValues) {
        manager.appendValues(values);
    }
    if (file_name_Insert == 1 && manager.Fill_List)
        manager.Fill_List();
    return true;
}

bool Import_Wizard::Create_And_Save_Text_Data_Sheet(const QString &path)
{
    QString name;
    if (!checkName(Text_file_name, &name))
        return false;
    bool readable = false;
    std::optional<QStringList> values;
    QString message;
    runUnderPleaseWait(*plz_wait_Window, "Create_And_Save_Text_Data_Sheet", [&] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QByteArray bytes = file.readAll();
        readable = file.error() == QFileDevice::NoError;
        if (readable)
            values = textFileValues(bytes, textFormatForPath(path), &message);
    });
    if (!readable) {
        Show_MessageBox(tr("Please select a valid file."));
        return false;
    }
    if (!values) {
        Show_MessageBox(message);
        return false;
    }
    return deliver(Text_file_name, *values);
}

bool Import_Wizard::Create_And_Save_Manual_Paste_data_Sheet()
{
    QString message;
    const auto values = pastedTextValues(ManualEdit->toPlainText(), file_name_required == 1, &message);
    if (!values) {
        Show_MessageBox(message);
        return false;
    }
    return deliver(Manual_file_name, *values);
}

bool Import_Wizard::Create_And_Save_Image_data_Sheet(const QString &folder)
{
    QString name;
    if (!checkName(Image_file_name, &name))
        return false;
    QStringList values;
    runUnderPleaseWait(*plz_wait_Window, "Create_And_Save_Image_data_Sheet",
                       [&] { values = imageFolderValues(folder); });
    if (values.isEmpty()) {
        Show_MessageBox(tr("There is no image file in the selected folder."));
        return false;
    }
    return deliver(Image_file_name, values);
}
