// The series manager driven through its handlers, as a user clicks them,
// with the alerts and dialogs answered by the test.
#include "tests/batch_data/series_window/SeriesWindowFixture.h"

#include "batch_data/series_window/Load_Num_Info.h"
#include "batch_data/series_window/SeriesImporters.h"
#include "batch_data/series_window/Update_Ex_Num.h"
#include "batch_data/series_window/View_Data_Series.h"
#include "tests/batch_data/zip/PythonRunner.h"
#include "tests/support/ScopedValue.h"

#include <QComboBox>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kInUseUpdate = "Batch Processing Series can't be update because it is currently in use.";
const QString kInUseDelete = "Batch Processing Series can't be delete because it is currently in use.";
const QString kReplace = "Batch Processing Series already exists. Do you want to replace it?";

// Records what the import wizard and the generator were asked, and appends
// values to the editor the way an appending importer does.
struct FakeImporters : batch_data::SeriesImporters {
    QStringList calls;
    QStringList values{"x", "y"};
    void Open_Import_Wizard(int required, int insert) override { record("import", required, insert); }
    void Open_Generate_List(int required, int insert) override { record("generate", required, insert); }
    void record(const QString &what, int required, int insert)
    {
        calls.append(QStringLiteral("%1 %2 %3").arg(what).arg(required).arg(insert));
        if (required != 1) {
            for (const QString &value : values)
                BatchWizard::defaultInstance().Create_Value_List(value);
        }
    }
};

} // namespace

TEST_F(SeriesWindow, NewSeriesIsSavedTrimmedAndListed)
{
    manager().AddNew_Btn_Clicked();
    EXPECT_EQ(manager().batch_list_name->text(), "Untitled");
    manager().Save_Btn_Clicked();
    EXPECT_EQ(alerts, QStringList{"List is empty."});

    for (const char *value : {"  a \t", "", "b"})
        manager().Create_Value_List(value);
    EXPECT_EQ(manager().batch_value_count->text(), "Total Rows : 2");
    manager().batch_list_name->setText("Codes");
    manager().Save_Btn_Clicked();
    EXPECT_EQ(readTestFile(seriesFile("Codes.txt")), "a\nb\n");
    EXPECT_EQ(manager().ListData, QStringList{"Codes"});
    EXPECT_EQ(manager().batch_list_count->text(), "Total List : 1");
    EXPECT_FALSE(manager().avl_list_box->isHidden());
    EXPECT_TRUE(manager().list_value_box->isHidden());
}

TEST_F(SeriesWindow, RenameMovesTheSeriesAndSavingOntoAnotherReplacesIt)
{
    writeSeries("A", "1\n2\n");
    writeSeries("C", "old\n");
    manager().Fill_List();
    selectSeries("A");
    manager().Update_Btn_Clicked();
    EXPECT_EQ(manager().ListData_value, (QStringList{"1", "2"}));
    EXPECT_EQ(manager().update_list_name->text(), "A");

    // A rename: the new file holds the values, the old one is gone.
    manager().batch_list_name->setText("B");
    manager().Save_Btn_Clicked();
    EXPECT_EQ(readTestFile(seriesFile("B.txt")), "1\n2\n");
    EXPECT_FALSE(QFile::exists(seriesFile("A.txt")));
    EXPECT_EQ(manager().ListData, (QStringList{"B", "C"}));

    // Onto an existing series: asked; No leaves both, Yes replaces C and
    // keeps B.
    selectSeries("B");
    manager().Update_Btn_Clicked();
    manager().batch_list_name->setText("C");
    answer = [](const platform::AlertRequest &) { return 1; };
    manager().Save_Btn_Clicked();
    EXPECT_EQ(alerts.last(), kReplace);
    EXPECT_EQ(readTestFile(seriesFile("C.txt")), "old\n");
    answer = [](const platform::AlertRequest &) { return 0; };
    manager().Save_Btn_Clicked();
    EXPECT_EQ(readTestFile(seriesFile("C.txt")), "1\n2\n");
    EXPECT_EQ(readTestFile(seriesFile("B.txt")), "1\n2\n");
}

TEST_F(SeriesWindow, RefusedNamesAndFailedWritesLoseNothing)
{
    writeSeries("A", "keep\n");
    manager().Fill_List();
    selectSeries("A");
    manager().Update_Btn_Clicked();
    manager().Create_Value_List("more");

    // Names that would leave the series folder are refused with a message.
    for (const char *name : {"..", "a/b", "  ", "x\\y"}) {
        alerts.clear();
        manager().batch_list_name->setText(name);
        manager().Save_Btn_Clicked();
        EXPECT_EQ(alerts, QStringList{"Please enter a valid name for the Batch Processing Series."}) << name;
    }
    // A rename whose write fails (a folder stands where the file would go)
    // keeps the series that was opened.
    QDir().mkpath(seriesFile("X.txt"));
    alerts.clear();
    manager().batch_list_name->setText("X");
    manager().Save_Btn_Clicked();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first(), "Error in file accessing.\n\n" + seriesFile("X.txt") + ": Is a directory");
    EXPECT_EQ(readTestFile(seriesFile("A.txt")), "keep\n");
    EXPECT_TRUE(manager().avl_list_box->isHidden());   // still editing
}

TEST_F(SeriesWindow, SeriesInUseIsNeitherSavedOverNorDeleted)
{
    writeSeries("Prices", "1\n");
    writeSeries("Spare", "2\n");
    writeSeries("Used", "3\n");
    bindText("Prices");
    manager().Fill_List();

    selectSeries("Prices");
    manager().Update_Btn_Clicked();
    manager().Create_Value_List("new");
    manager().Save_Btn_Clicked();
    EXPECT_EQ(alerts, QStringList{kInUseUpdate});
    // Nor may another series be saved over it.
    manager().Back_Btn_Clicked();
    selectSeries("Spare");
    manager().Update_Btn_Clicked();
    manager().batch_list_name->setText("Prices");
    manager().Save_Btn_Clicked();
    EXPECT_EQ(alerts.last(), kInUseUpdate);
    EXPECT_EQ(readTestFile(seriesFile("Prices.txt")), "1\n");
    manager().Back_Btn_Clicked();

    alerts.clear();
    selectSeries("Prices");
    manager().Delete_List_Btn_Clicked();
    EXPECT_EQ(alerts, QStringList{kInUseDelete});
    EXPECT_TRUE(QFile::exists(seriesFile("Prices.txt")));

    // Several rows, the one in use first: without apply-to-all the deletion
    // stops there; with it the free one goes and the list shows what is
    // left.
    const QList<int> rows{int(manager().ListData.indexOf("Prices")), int(manager().ListData.indexOf("Spare"))};
    const quorvant::test::ScopedValue applyToAll(design_window::Msg_Apply_All_Chk, false);
    alerts.clear();
    select(manager().List, {rows[1], rows[0]});
    manager().Delete_List_Btn_Clicked();
    EXPECT_EQ(alerts, (QStringList{"Are you sure want to delete selected Batch Processing Series?", kInUseDelete}));
    EXPECT_TRUE(QFile::exists(seriesFile("Spare.txt")));
    design_window::Msg_Apply_All_Chk = true;
    select(manager().List, {rows[1], rows[0]});
    manager().Delete_List_Btn_Clicked();
    EXPECT_FALSE(QFile::exists(seriesFile("Spare.txt")));
    EXPECT_TRUE(QFile::exists(seriesFile("Prices.txt")));
    EXPECT_EQ(manager().ListData, (QStringList{"Prices", "Used"}));
}

TEST_F(SeriesWindow, DeletingSelectsThePreviousRow)
{
    for (const char *name : {"s1", "s2", "s3", "s4", "s5"})
        writeSeries(name, "v\n");
    manager().Fill_List();
    manager().Delete_List_Btn_Clicked();
    EXPECT_EQ(alerts, QStringList{"Please select a record from the available list to continue."});
    alerts.clear();
    answer = [](const platform::AlertRequest &) { return 1; };   // No
    select(manager().List, {4});
    manager().Delete_List_Btn_Clicked();
    EXPECT_EQ(manager().ListData.size(), 5);
    answer = [](const platform::AlertRequest &) { return 0; };
    manager().Delete_List_Btn_Clicked();
    EXPECT_EQ(manager().ListData, (QStringList{"s1", "s2", "s3", "s4"}));
    EXPECT_EQ(manager().List->selectionModel()->selectedRows().value(0).row(), 3);
    EXPECT_EQ(manager().batch_list_count->text(), "Total List : 4");

    // A removal that fails names the file and the system's reason: here a
    // folder took the series file's place after the list was shown.
    QFile::remove(seriesFile("s4.txt"));
    QDir().mkpath(seriesFile("s4.txt/inside"));
    alerts.clear();
    select(manager().List, {3});
    manager().Delete_List_Btn_Clicked();
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_TRUE(alerts[1].startsWith("Error in file accessing.\n\n" + seriesFile("s4.txt") + ": "))
        << qPrintable(alerts[1]);
    EXPECT_GT(alerts[1].size(), ("Error in file accessing.\n\n" + seriesFile("s4.txt") + ": ").size());
    EXPECT_TRUE(QFileInfo(seriesFile("s4.txt/inside")).isDir());
    QDir(seriesFile("s4.txt")).removeRecursively();

    // An empty list says so.
    for (const char *name : {"s1", "s2", "s3", "s4"})
        QFile::remove(seriesFile(QString(name) + ".txt"));
    manager().Fill_List();
    alerts.clear();
    manager().Update_Btn_Clicked();
    EXPECT_EQ(alerts, QStringList{"Available list is empty."});
}

// A Ctrl-click that takes a row out of the selection leaves it current:
// what is deleted, checked and selected afterwards follows the selection.
TEST_F(SeriesWindow, DeletingFollowsTheSelectionNotTheCurrentRow)
{
    for (const char *name : {"s1", "s2", "s3", "Used"})
        writeSeries(name, "v\n");
    bindText("Used");
    manager().Fill_List();
    const auto deselectIntoCurrent = [](QTableWidget *table, int row) {
        table->selectionModel()->setCurrentIndex(table->model()->index(row, 0), QItemSelectionModel::NoUpdate);
        table->selectionModel()->select(table->model()->index(row, 0),
                                        QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    };
    select(manager().List, {0, 1, 3});
    deselectIntoCurrent(manager().List, 3);
    manager().Delete_List_Btn_Clicked();
    EXPECT_EQ(alerts, QStringList{"Are you sure want to delete selected Batch Processing Series?"});
    EXPECT_EQ(manager().ListData, (QStringList{"s3", "Used"}));
    EXPECT_EQ(manager().List->selectionModel()->selectedRows().value(0).row(), 0);

    manager().AddNew_Btn_Clicked();
    for (const char *value : {"a", "b", "c", "d"})
        manager().Create_Value_List(value);
    select(manager().List_value, {0, 1, 3});
    deselectIntoCurrent(manager().List_value, 3);
    manager().Delete_Rows_Btn_Clicked();
    EXPECT_EQ(manager().ListData_value, (QStringList{"c", "d"}));
    const QModelIndexList selected = manager().List_value->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first().row(), 0);
}

TEST_F(SeriesWindow, SeriesFilesAreFoundWhateverTheCaseOfTheirExtension)
{
    writeSeries("beta", "b\n");
    writeTestFile(seriesFile("Alpha.TXT"), "a1\r\n\r\na2");
    writeTestFile(seriesFile("Gamma.Txt"), "g\n");
    manager().Fill_List();
    EXPECT_EQ(manager().ListData, (QStringList{"Alpha", "beta", "Gamma"}));
    selectSeries("Alpha");
    manager().Update_Btn_Clicked();
    EXPECT_EQ(manager().ListData_value, (QStringList{"a1", "a2"}));
    manager().Create_Value_List("a3");
    manager().Save_Btn_Clicked();
    // Saved into its own file, not beside it.
    EXPECT_EQ(readTestFile(seriesFile("Alpha.TXT")), "a1\na2\na3\n");
    EXPECT_FALSE(QFile::exists(seriesFile("Alpha.txt")));
    EXPECT_EQ(manager().ListData, (QStringList{"Alpha", "beta", "Gamma"}));

    // A series whose file went away cannot be opened.
    QFile::remove(seriesFile("beta.txt"));
    alerts.clear();
    selectSeries("beta");
    manager().Update_Btn_Clicked();
    // The message keeps its words and adds the file and the system's reason.
    EXPECT_EQ(alerts, QStringList{"Error in file accessing.\n\n" + seriesFile("beta.txt") + ": No such file or directory"});
    EXPECT_TRUE(manager().list_value_box->isHidden());
}

TEST_F(SeriesWindow, ValuesAreEditedOneAtATimeAndRemoved)
{
    manager().AddNew_Btn_Clicked();
    manager().Delete_Rows_Btn_Clicked();
    for (const char *value : {"a", "b", "c"})
        manager().Create_Value_List(value);
    manager().Delete_Rows_Btn_Clicked();
    EXPECT_EQ(alerts, (QStringList{"List is empty.", "Please select at least one record from the list to continue."}));

    // The one-value editor: unchanged closes, blank is refused, a new value
    // replaces the row.
    QStringList typed{"b", " ", " B2 "};
    dialogs["Update_Ex_Num"] = [&](QDialog &d) {
        auto &editor = static_cast<Update_Ex_Num &>(d);
        d.setResult(0);
        EXPECT_EQ(editor.m_s_number->text(), "b");
        EXPECT_EQ(editor.focusWidget(), editor.m_ex_num_str);
        for (const QString &text : typed) {
            editor.m_ex_num_str->setText(text);
            editor.ok_btn->click();
            if (editor.result() == 1 && editor.isHidden())
                break;
        }
        return d.result();
    };
    alerts.clear();
    select(manager().List_value, {1});
    manager().doubleClickInTable(manager().List_value);
    EXPECT_EQ(manager().ListData_value, (QStringList{"a", "b", "c"}));
    typed.removeFirst();
    select(manager().List_value, {1});
    manager().OnGetSelected();
    EXPECT_EQ(alerts, QStringList{"Please enter a valid value."});
    EXPECT_EQ(manager().ListData_value, (QStringList{"a", "B2", "c"}));

    select(manager().List_value, {0, 2});
    manager().doubleClickInTable(manager().List_value);
    EXPECT_EQ(alerts.last(), "Please select only one record to update.");
    select(manager().List_value, {2, 0});
    manager().Delete_Rows_Btn_Clicked();
    EXPECT_EQ(manager().ListData_value, QStringList{"B2"});
    EXPECT_EQ(manager().batch_value_count->text(), "Total Rows : 1");
}

TEST_F(SeriesWindow, ImportAndGenerateGoThroughTheInstalledImporters)
{
    // Without importers the buttons are off.
    manager().updateImporterButtons();
    EXPECT_FALSE(manager().import_btn->isEnabled());
    EXPECT_FALSE(manager().series_value_btn->isEnabled());

    FakeImporters importers;
    batch_data::setSeriesImporters(&importers);
    manager().updateImporterButtons();
    EXPECT_TRUE(manager().import_btn->isEnabled());
    manager().Import_Btn_Clicked();
    manager().CreateSeries_Btn_Clicked();

    manager().AddNew_Btn_Clicked();
    manager().Import_Value_Btn_Clicked();   // an empty editor asks nothing
    EXPECT_EQ(manager().ListData_value, (QStringList{"x", "y"}));
    // The clear-or-append question: No appends, Yes clears, Cancel opens
    // nothing.
    int choice = 0;
    dialogs["Load_Num_Info"] = [&](QDialog &d) {
        auto &question = static_cast<Load_Num_Info &>(d);
        (choice == 1 ? question.yes_btn : choice == 0 ? question.no_btn : question.cancel_btn)->click();
        return d.result();
    };
    importers.values = {"z"};
    manager().Series_Value_Btn_Clicked();
    EXPECT_EQ(manager().ListData_value, (QStringList{"x", "y", "z"}));
    choice = 1;
    manager().Import_Value_Btn_Clicked();
    EXPECT_EQ(manager().ListData_value, QStringList{"z"});
    choice = Load_Num_Info::kCancelled;
    manager().Series_Value_Btn_Clicked();
    EXPECT_EQ(manager().ListData_value, QStringList{"z"});
    EXPECT_EQ(importers.calls, (QStringList{"import 1 1", "generate 1 1", "import 0 1", "generate 0 1", "import 0 1"}));
    batch_data::setSeriesImporters(nullptr);
}

namespace {

// Rows of the only worksheet as openpyxl reads them.
QList<QStringList> readWithOpenpyxl(const QString &path)
{
    const auto result = quorvant::test::runPython(QStringLiteral(R"(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
print(json.dumps([['' if v is None else str(v) for v in row] for row in wb.worksheets[0].iter_rows(values_only=True)]))
)"), {path});
    EXPECT_TRUE(result.ok) << result.err.toStdString();
    QList<QStringList> rows;
    for (const QJsonValue &row : QJsonDocument::fromJson(result.out.toUtf8()).array())
        rows.append(row.toVariant().toStringList());
    return rows;
}

} // namespace

TEST_F(SeriesWindow, ExportWritesTheChosenTypeAndReportsOnlyWhatWasWritten)
{
    manager().AddNew_Btn_Clicked();
    manager().Export_Value_Btn_Clicked();
    EXPECT_EQ(alerts, QStringList{"List is empty."});
    for (const char *value : {"12", "abc", "Ünïcode"})
        manager().Create_Value_List(value);

    QString chosen;
    int type = 0;
    dialogs["QFileDialog"] = [&](QDialog &d) {
        auto &panel = static_cast<QFileDialog &>(d);
        auto *types = panel.findChild<QComboBox *>("Save_Ext_ComboBox");
        EXPECT_EQ(types ? types->count() : 0, 2);
        if (types)
            types->setCurrentIndex(type);
        panel.selectFile(chosen);
        return 1;
    };
    QStringList reported;
    dialogs["Export_File_Box"] = [&](QDialog &) {
        reported.append(design_window::Export_File_Message + " " + design_window::Export_File_Path);
        return 1;
    };

    chosen = tmp.file("out.xlsx");
    manager().Export_Value_Btn_Clicked();
    EXPECT_EQ(readWithOpenpyxl(chosen), (QList<QStringList>{{"Batch Value"}, {"12"}, {"abc"}, {"Ünïcode"}}));
    EXPECT_EQ(reported, QStringList{"Record has been exported successfully. " + chosen});

    // "txt" chosen with a name typed as ".xlsx": written as text.
    type = 1;
    chosen = tmp.file("list.xlsx");
    manager().Export_Value_Btn_Clicked();
    EXPECT_EQ(readTestFile(tmp.file("list.txt")), "12\nabc\nÜnïcode\n");
    EXPECT_FALSE(QFile::exists(chosen));

    // The changed extension meets a file the user did not confirm: asked,
    // and No leaves it alone.
    alerts.clear();
    writeTestFile(tmp.file("mine.txt"), "precious");
    chosen = tmp.file("mine.xlsx");
    answer = [](const platform::AlertRequest &) { return 1; };
    manager().Export_Value_Btn_Clicked();
    EXPECT_EQ(alerts, QStringList{"mine.txt already exists. Do you want to replace it?"});
    EXPECT_EQ(readTestFile(tmp.file("mine.txt")), "precious");

    // A write that fails is reported as such, never as a success.
    alerts.clear();
    reported.clear();
    for (int t : {0, 1}) {
        type = t;
        chosen = tmp.file("no/such/folder/out");
        manager().Export_Value_Btn_Clicked();
    }
    EXPECT_EQ(alerts, (QStringList{"Error in file accessing.", "Error in file accessing."}));
    EXPECT_TRUE(reported.isEmpty());
}

TEST_F(SeriesWindow, ViewerListsTheTrimmedValuesOfASeries)
{
    writeSeries("Lines", "a\n\n  b \r\n");
    View_Data_Series &viewer = View_Data_Series::defaultInstance();
    int shown = 0;
    dialogs["View_Data_Series"] = [&](QDialog &) {
        ++shown;
        return 1;
    };
    viewer.file_name = "Lines";
    EXPECT_EQ(viewer.Open_Wnd(), 1);
    EXPECT_EQ(viewer.ListData, (QStringList{"a", "b"}));
    EXPECT_EQ(viewer.list_count->text(), "Total Rows : 2");
    EXPECT_EQ(viewer.series_name->text(), "Lines");
    viewer.file_name = "Gone";
    viewer.Open_Wnd();
    EXPECT_TRUE(viewer.ListData.isEmpty());
    EXPECT_EQ(viewer.list_count->text(), "Total Rows : 0");
    EXPECT_EQ(shown, 2);
}

TEST_F(SeriesWindow, OldMacLineEndsAreLinesToTheViewerAndTheEditorWhoseSaveWritesLineFeeds)
{
    // As an old Mac program saves a list: a CR after each value, none after
    // the last.
    writeSeries("Mac", "Ann\r Bob \r\rCy");
    View_Data_Series &viewer = View_Data_Series::defaultInstance();
    int shown = 0;
    dialogs["View_Data_Series"] = [&](QDialog &) { return ++shown; };
    viewer.file_name = "Mac";
    EXPECT_EQ(viewer.Open_Wnd(), 1);
    EXPECT_EQ(viewer.ListData, (QStringList{"Ann", "Bob", "Cy"}));

    manager().Fill_List();
    selectSeries("Mac");
    manager().Update_Btn_Clicked();
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
    EXPECT_EQ(manager().ListData_value, (QStringList{"Ann", "Bob", "Cy"}));
    manager().Create_Value_List("Dee");
    manager().Save_Btn_Clicked();
    EXPECT_EQ(readTestFile(seriesFile("Mac.txt")), "Ann\nBob\nCy\nDee\n");
    EXPECT_EQ(shown, 1);
}

TEST_F(SeriesWindow, ExportResultBoxStandsOverTheManagerWhichStaysShown)
{
    // The manager open as the user has it: a modal window over the design.
    manager().setWindowModality(Qt::ApplicationModal);
    manager().show();
    manager().AddNew_Btn_Clicked();
    manager().Create_Value_List("12");
    dialogs["QFileDialog"] = [&](QDialog &d) {
        static_cast<QFileDialog &>(d).selectFile(tmp.file("out.txt"));
        return 1;
    };
    const QWidget *over = nullptr;
    bool managerShown = false;
    dialogs["Export_File_Box"] = [&](QDialog &box) {
        over = box.parentWidget();
        managerShown = manager().isVisible();
        return 1;
    };
    manager().findChild<QPushButton *>("export_value_btn")->click();
    manager().hide();
    manager().setWindowModality(Qt::NonModal);
    EXPECT_EQ(over, &manager());
    EXPECT_TRUE(managerShown);
    // The main window's own exports still show it over the main window.
    EXPECT_EQ(wnd->findChild<QDialog *>("Open_Export_Files")->parentWidget(), wnd.get());
}
