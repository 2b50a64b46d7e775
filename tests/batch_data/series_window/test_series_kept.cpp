// What the series windows never lose: a series file they cannot read is
// refused by name and left byte for byte, and an edit is not dropped on the
// way out of the editor without asking.
#include "tests/batch_data/series_window/SeriesWindowFixture.h"

#include "batch_data/series_window/Update_Ex_Num.h"
#include "batch_data/series_window/View_Data_Series.h"

#include <QInputDialog>
#include <QPushButton>

namespace {

const QString kInUseUpdate = "Batch Processing Series can't be update because it is currently in use.";

QString unreadable(const QString &name, const QString &path, const QString &reason)
{
    return "The Batch Processing Series \"" + name + "\" could not be read.\n" + path + "\n\n" + reason;
}

} // namespace

TEST_F(SeriesWindow, SeriesThatIsNotUtf8IsRefusedByNameAndKeptByteForByte)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        QString reason;
    };
    const Case cases[] = {
        // The names as a Latin-1 (ISO 8859-1) editor saves them.
        {"Latin1", QByteArray("Zo\xEB \xC5ngstr\xF6m\nS\xF8ren Kierkeg\xE5rd\nAda Lovelace\n"),
         batch_data::SeriesStore::notUtf8Message()},
        // A zip archive saved under a series name: binary, whatever the
        // encoding of its other bytes.
        {"Binary", QByteArray("PK\x03\x04\x14\0\0\0\x08\0", 10), batch_data::SeriesStore::binaryMessage()},
    };
    for (const Case &c : cases)
        writeSeries(c.name, c.bytes);
    writeSeries("Plain", "Zo\xC3\xAB\n");
    manager().Fill_List();
    int viewerShown = 0;
    dialogs["View_Data_Series"] = [&](QDialog &) { return ++viewerShown; };

    for (const Case &c : cases) {
        const QString path = seriesFile(QString(c.name) + ".txt");
        alerts.clear();
        selectSeries(c.name);
        manager().Update_Btn_Clicked();
        EXPECT_EQ(alerts, QStringList{unreadable(c.name, path, c.reason)}) << c.name;
        // Not shown as an empty series that a Save would write over.
        EXPECT_TRUE(manager().list_value_box->isHidden()) << c.name;
        EXPECT_FALSE(manager().avl_list_box->isHidden()) << c.name;

        alerts.clear();
        View_Data_Series::defaultInstance().file_name = c.name;
        EXPECT_EQ(View_Data_Series::defaultInstance().Open_Wnd(), 0) << c.name;
        EXPECT_EQ(alerts, QStringList{unreadable(c.name, path, c.reason)}) << c.name;
        EXPECT_EQ(readTestFile(path), c.bytes) << c.name;
    }
    EXPECT_EQ(viewerShown, 0);

    // UTF-8 opens as before.
    alerts.clear();
    selectSeries("Plain");
    manager().Update_Btn_Clicked();
    EXPECT_TRUE(alerts.isEmpty());
    EXPECT_EQ(manager().ListData_value, QStringList{QString::fromUtf8("Zo\xC3\xAB")});
}

TEST_F(SeriesWindow, LeavingTheEditorWithAnUnsavedEditAsksFirst)
{
    const QByteArray original = "Ada\nBob\nCy\n";
    const QString question = "The changes to the Batch Processing Series \"Names\" have not been saved.\n\n"
                             "Do you want to save them under another name?";
    enum Way { Close, Escape, Back };
    enum Answer { SaveAs = 0, Discard = 1, Cancel = 2 };
    struct Row {
        const char *name;
        Way way;
        Answer answer;
        QString newName;           // typed into the Save As name dialog
        bool left;                 // the editor (and for Close, the manager) was left
        QStringList extraAlerts;   // after the question
        std::map<QString, QByteArray> files;
    };
    const Row rows[] = {
        {"Cancel stays with the edit", Close, Cancel, {}, false, {}, {{"Names.txt", original}}},
        {"Discard closes, nothing written", Close, Discard, {}, true, {}, {{"Names.txt", original}}},
        {"Save As keeps the edit beside the series in use", Close, SaveAs, "Names 2", true, {},
         {{"Names.txt", original}, {"Names 2.txt", "Anna\nBob\nCy\n"}}},
        {"Save As onto the series in use is refused and stays", Close, SaveAs, "Names", false, {kInUseUpdate},
         {{"Names.txt", original}}},
        {"Escape asks as Close does", Escape, Cancel, {}, false, {}, {{"Names.txt", original}}},
        {"Back asks too", Back, SaveAs, "Copy", true, {}, {{"Names.txt", original}, {"Copy.txt", "Anna\nBob\nCy\n"}}},
    };
    bindText("Names");
    for (const Row &row : rows) {
        QDir(design_window::Data_Folder_Path).removeRecursively();
        Check_Path_And_Create_Files();
        writeSeries("Names", original);
        manager().Fill_List();
        selectSeries("Names");
        manager().Update_Btn_Clicked();
        // The user changes row 1 and saves: the series is in use.
        dialogs["Update_Ex_Num"] = [](QDialog &d) {
            auto &editor = static_cast<Update_Ex_Num &>(d);
            editor.m_ex_num_str->setText("Anna");
            editor.ok_btn->click();
            return d.result();
        };
        select(manager().List_value, {0});
        manager().OnGetSelected();
        alerts.clear();
        manager().Save_Btn_Clicked();
        ASSERT_EQ(alerts, QStringList{kInUseUpdate}) << row.name;

        int finished = 0;
        const QMetaObject::Connection counting =
            QObject::connect(&manager(), &QDialog::finished, [&] { ++finished; });
        int named = 0;
        dialogs["QInputDialog"] = [&](QDialog &d) {
            auto &ask = static_cast<QInputDialog &>(d);
            EXPECT_EQ(ask.textValue(), "Names") << row.name;
            ask.setTextValue(row.newName);
            ++named;
            return 1;
        };
        alerts.clear();
        answer = [&](const platform::AlertRequest &r) {
            if (r.text == question) {
                EXPECT_EQ(r.buttons, (QStringList{"Save As...", "Discard", "Cancel"}));
                return int(row.answer);
            }
            return 0;
        };
        switch (row.way) {
        case Close: manager().Close_2_Btn_Clicked(); break;
        case Escape: manager().reject(); break;
        case Back: manager().Back_Btn_Clicked(); break;
        }
        QObject::disconnect(counting);
        EXPECT_EQ(alerts, QStringList{question} + row.extraAlerts) << row.name;
        EXPECT_EQ(named, row.answer == SaveAs ? 1 : 0) << row.name;
        EXPECT_EQ(manager().list_value_box->isHidden() || finished == 1, row.left) << row.name;
        if (!row.left) {
            EXPECT_EQ(manager().ListData_value, (QStringList{"Anna", "Bob", "Cy"})) << row.name;
        }
        QStringList present = QDir(design_window::Data_Folder_Path).entryList(QDir::Files);
        QStringList expected;
        for (const auto &[file, bytes] : row.files) {
            expected << file;
            EXPECT_EQ(readTestFile(seriesFile(file)), bytes) << row.name << " " << qPrintable(file);
        }
        present.sort();
        expected.sort();
        EXPECT_EQ(present, expected) << row.name;
        // Out of the editor for the next row, the edit thrown away.
        answer = [](const platform::AlertRequest &r) { return r.buttons.size() == 3 ? 1 : 0; };
        manager().Back_Btn_Clicked();
    }
}
