// The design window's small services: card sizes, the resource folder and
// the two small dialogs, driven with scripted modal runs.
#include "design_window/CardSizes.h"
#include "design_window/ExportFileBox.h"
#include "design_window/Globals.h"
#include "design_window/LongSmsDlg.h"
#include "design_window/ResourceFolder.h"
#include "platform/Desktop.h"
#include "platform/ModalRun.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace design_window;

using quorvant::test::readTestFile;
using quorvant::test::writeTestFile;

TEST(CardSizes, TablesInMillimetres)
{
    const QSizeF cr80 = Get_My_card_Size("PVC Card", "H", 0);
    EXPECT_NEAR(cr80.width(), 85.598, 1e-9);
    EXPECT_NEAR(cr80.height(), 54.102, 1e-9);
    const QSizeF cr70v = Get_My_card_Size("PVC Card", "V", 6);
    EXPECT_NEAR(cr70v.width(), 2.12 * 25.4, 1e-9);
    EXPECT_NEAR(cr70v.height(), 2.88 * 25.4, 1e-9);
    // Any other category is paper; its last row is 5.91 x 4.96 inches.
    const QSizeF paper = Get_My_card_Size("Badge", "H", 7);
    EXPECT_NEAR(paper.width(), 5.91 * 25.4, 1e-9);
    EXPECT_NEAR(paper.height(), 4.96 * 25.4, 1e-9);
    // No row, or a row past the table, gives the 30 mm square.
    EXPECT_EQ(Get_My_card_Size("PVC Card", "V", -1), QSizeF(30, 30));
    EXPECT_EQ(Get_My_card_Size("PVC Card", "H", 7), QSizeF(30, 30));
    EXPECT_EQ(pvcCardNames().size(), 7);
    EXPECT_EQ(paperCardNames().size(), 8);
    EXPECT_EQ(pvcCardNames().first(), "CR80-Credit Card Size");
    EXPECT_NEAR(MM_to_Points_Convert(25.4), 72.0, 1e-9);
    EXPECT_NEAR(Points_to_MM_Convert(MM_to_Points_Convert(54.102)), 54.102, 1e-9);
}

TEST(ResourceFolder, CreatesFoldersAndNeverOverwritesUserFiles)
{
    QTemporaryDir tmp;
    const QString bundle = tmp.filePath("bundle");
    const QString user = tmp.filePath("user");
    writeTestFile(bundle + "/Title.txt", "Happy Birthday\n");
    writeTestFile(bundle + "/Frames/Gold.png", "png-bytes");
    writeTestFile(user + "/Title.txt", "my own titles\n");

    EXPECT_EQ(copyMissingContent(bundle, user), 1);
    EXPECT_EQ(readTestFile(user + "/Title.txt"), QByteArray("my own titles\n"));
    EXPECT_EQ(readTestFile(user + "/Frames/Gold.png"), QByteArray("png-bytes"));
    EXPECT_EQ(copyMissingContent(bundle, user), 0);
    EXPECT_EQ(copyMissingContent(tmp.filePath("no-bundle"), user), 0);

    const QString savedResource = Resource_Path, savedData = Data_Folder_Path;
    setResourceFolder(user);
    EXPECT_EQ(Data_Folder_Path, user + "/DataSet");
    Check_Path_And_Create_Files();
    for (const char *sub : {"DataSet", "Frames", "Fill_Style_Image", "LibraryImage", "Templates", "Templates/User"})
        EXPECT_TRUE(QFileInfo(user + "/" + QLatin1String(sub)).isDir()) << sub;
    EXPECT_EQ(readTestFile(user + "/Title.txt"), QByteArray("my own titles\n"));
    Resource_Path = savedResource;
    Data_Folder_Path = savedData;
}

TEST(LongMessageDialog, QuestionAndHelpModes)
{
    Long_SMS_Dlg &dlg = Long_SMS_Dlg::defaultInstance();
    EXPECT_EQ(&dlg, &Long_SMS_Dlg::defaultInstance());
    Msg_Apply_All_Chk = false;

    // A question with the apply-to-all box: Yes takes the box's state.
    dlg.title_val = "Replace?";
    dlg.msg_val_str = "The series exists.";
    dlg.apply_chk_show = true;
    {
        platform::ScopedModalResponder answer([](QDialog &d) {
            auto &l = static_cast<Long_SMS_Dlg &>(d);
            EXPECT_EQ(l.title_lbl->text(), "Replace?");
            EXPECT_EQ(l.msg_text->toPlainText(), "The series exists.");
            EXPECT_FALSE(l.no_btn->isHidden());
            EXPECT_FALSE(l.apply_chk->isHidden());
            l.apply_chk->setChecked(true);
            l.ok_btn->click();
            return l.result();
        });
        EXPECT_EQ(dlg.Open_Long_sms_Dialog(), 1);
    }
    EXPECT_TRUE(Msg_Apply_All_Chk);

    // No leaves the flag as it was, even with the box cleared.
    {
        platform::ScopedModalResponder answer([](QDialog &d) {
            auto &l = static_cast<Long_SMS_Dlg &>(d);
            l.apply_chk->setChecked(false);
            l.no_btn->click();
            return l.result();
        });
        EXPECT_EQ(dlg.Open_Long_sms_Dialog(), 0);
    }
    EXPECT_TRUE(Msg_Apply_All_Chk);

    // Help mode: the help title and text, no "No" button; OK still records
    // the (hidden) box.
    dlg.title_val.clear();
    dlg.apply_chk_show = false;
    Cutom_Msg_Title = "Batch Processing Settings Help :";
    Cutom_Msg_Val = "Select Data Source";
    {
        platform::ScopedModalResponder answer([](QDialog &d) {
            auto &l = static_cast<Long_SMS_Dlg &>(d);
            EXPECT_EQ(l.title_lbl->text(), "Batch Processing Settings Help :");
            EXPECT_EQ(l.msg_text->toPlainText(), "Select Data Source");
            EXPECT_TRUE(l.no_btn->isHidden());
            EXPECT_TRUE(l.apply_chk->isHidden());
            return 1;
        });
        EXPECT_EQ(dlg.Open_Long_sms_Dialog(), 1);
    }
    EXPECT_FALSE(Msg_Apply_All_Chk);
}

TEST(ExportResultBox, OffersTheRightOpenAction)
{
    QTemporaryDir tmp;
    const QString file = tmp.filePath("Card_1.png");
    writeTestFile(file, "x");
    QList<QUrl> opened;
    platform::setOpenUrlHandler([&](const QUrl &url) {
        opened.append(url);
        return true;
    });
    Export_File_Box box;

    Export_File_Path = tmp.path();
    Export_File_Message = "Export completed.";
    {
        platform::ScopedModalResponder answer([](QDialog &d) {
            auto &b = static_cast<Export_File_Box &>(d);
            EXPECT_EQ(b._open_log_chk->text(), "Open containing folder.");
            EXPECT_EQ(b._open_log_message->text(), "Export completed.");
            b._open_log_chk->setChecked(false);
            return 1;
        });
        box.Open_Export_File_Box();
    }
    EXPECT_TRUE(opened.isEmpty());

    Export_File_Path = file;
    {
        platform::ScopedModalResponder answer([](QDialog &d) {
            auto &b = static_cast<Export_File_Box &>(d);
            EXPECT_EQ(b._open_log_chk->text(), "Open exported file.");
            EXPECT_TRUE(b._open_log_path->text().endsWith("Card_1.png"));
            b._open_log_chk->setChecked(true);
            return 1;
        });
        box.Open_Export_File_Box();
    }
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().toLocalFile(), file);
    platform::setOpenUrlHandler({});
}
