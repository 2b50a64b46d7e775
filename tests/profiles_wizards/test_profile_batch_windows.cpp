// The profile dialogs' series and spreadsheet buttons reach the program's
// own batch data windows: the column picker builds the spreadsheet the
// fields bind to, and the viewers and the series manager open on what the
// form shows.
#include "batch_data/series_window/BatchWizard.h"
#include "tests/design_window/Outlets.h"
#include "batch_data/series_window/View_Data_Series.h"
#include "batch_data/spreadsheet_window/BatchDataWindows.h"
#include "batch_data/spreadsheet_window/Data_From_Excel.h"
#include "batch_data/spreadsheet_window/Import_Excel.h"
#include "design_window/DesignFile.h"
#include "design_window/Globals.h"
#include "design_window/SeriesWindows.h"
#include "design_window/TVNWindowController.h"
#include "drawing/TVNGraphic.h"
#include "profiles_wizards/UserProfileForm.h"
#include "tests/profiles_wizards/WizardTestSupport.h"
#include "tests/support/ViewerShown.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace design_window;
using profiles_wizards::UserProfileForm;
using F = ProfileField;
using quorvant::test::outlet;

namespace {

const QString kSample = QStringLiteral(QUORVANT_TEST_DATA "/spreadsheet/sample.xlsx");

class ProfileBatchWindows : public quorvant::test::WindowTest {
protected:
    design_window::HubServices services() const override
    {
        design_window::HubServices services = WindowTest::services();
        services.series = &batch_data::designSeriesWindows();
        return services;
    }
    void SetUp() override
    {
        WindowTest::SetUp();
        for (UserProfileForm *form : forms())
            form->tools = profiles_wizards::installedProfileBatchTools();
        CARD_SIDE_STR = "1";
        wnd->setEditedSide(0);
    }
    void TearDown() override
    {
        for (UserProfileForm *form : forms())
            form->tools = {};
        restoreSpreadsheetTable({});
        WindowTest::TearDown();
        setSeriesWindows(nullptr);
    }
    static std::array<UserProfileForm *, 2> forms()
    {
        return {&Show_User_Profile::defaultInstance(), &User_profile::defaultInstance()};
    }
    static void bind(UserProfileForm &f, F field, int source, int item)
    {
        f.row(field).ds_combo->setCurrentIndex(source);
        f.row(field).ser_col_cb->setCurrentIndex(item);
    }
    QString text(const QString &id) const
    {
        for (const GraphicPtr &g : wnd->Get_Front_Controls_Array())
            if (g->control_ID == id)
                return static_cast<TVNText &>(*g).contentsString();
        return "<none>";
    }
};

} // namespace

TEST_F(ProfileBatchWindows, FormButtonsOpenTheBatchWindowsAndItsColumnsFillTheCard)
{
    quorvant::test::writeTestFile(res("DataSet/slogans.txt"), "Think big\nGo far\n");
    QStringList opened;
    user = [&](QDialog &d) {
        const QString kind = QString::fromLatin1(d.metaObject()->className());
        opened << kind;
        if (auto *panel = qobject_cast<QFileDialog *>(&d)) {
            panel->selectFile(kSample);
            panel->setResult(1);
        } else if (kind == "Import_Excel") {
            auto &picker = static_cast<Import_Excel &>(d);
            EXPECT_EQ(picker.open_mode, "E");
            picker.Select_ALL_Pressed();
            picker.ok_btn->click();
        } else if (kind == "View_Data_Series") {
            EXPECT_EQ(static_cast<View_Data_Series &>(d).ListData, (QStringList{"Think big", "Go far"}));
        } else if (kind == "Data_From_Excel") {
            EXPECT_EQ(static_cast<Data_From_Excel &>(d).rows_count->text(), "5");
        } else if (kind == "BatchWizard") {
            static_cast<BatchWizard &>(d).Close_Btn_Clicked();
        } else if (auto *form = dynamic_cast<UserProfileForm *>(&d)) {
            EXPECT_EQ(form->row(F::phone).ds_combo->count(), 2);
            EXPECT_TRUE(form->excel_browse_btn->isEnabled());
            form->excel_browse_btn->click();
            // The spreadsheet the picker built is offered to every field.
            EXPECT_EQ(form->row(F::phone).ds_combo->count(), 3);
            bind(*form, F::Name, 2, 1);
            bind(*form, F::phone, 2, 3);
            EXPECT_EQ(form->row(F::phone).value->text(), "12");
            bind(*form, F::slogan, 1, 0);
            EXPECT_EQ(form->row(F::slogan).value->text(), "Think big");
            form->row(F::slogan).view_btn->click();
            form->view_excel_btn->click();
            form->batch_series_btn->click();
            form->ok_btn->click();
        }
    };
    wnd->User_Profile_Button_Clicked();
    EXPECT_EQ(opened, (QStringList{"Show_User_Profile", "QFileDialog", "Import_Excel", "View_Data_Series",
                                   "Data_From_Excel", "BatchWizard"}));
    EXPECT_EQ(Excel_Source_Path, kSample);
    EXPECT_TRUE(Excel_Binding_Use);
    EXPECT_EQ(wnd->design().Front_user_profile.field(F::phone).xl_col_indx, 3);
    EXPECT_EQ(text("Fup_Name"), "Alice");
    EXPECT_EQ(text("Fup_PhoneNO"), "12");
    // The inspector shows the last placed field with the source it took.
    EXPECT_EQ(outlet<QComboBox>(*wnd, "Data_source_type")->currentText(), "Excel");

    // Record 1 of the spreadsheet and of the series on the card.
    wnd->Check_Series_Or_Excel_Use_or_not();
    EXPECT_EQ(Total_Batch_Excel_Card, 5);
    EXPECT_FALSE(wnd->Set_data_table_value_to_card(1, "F", false).isNull());
    EXPECT_EQ(text("Fup_Name"), "Bold and plain");
    EXPECT_EQ(text("Fup_PhoneNO"), "24");
    EXPECT_EQ(text("Fup_CompanySlogan"), "Go far");
}

TEST_F(ProfileBatchWindows, ViewButtonsOpenTheViewerOfEachFieldsSource)
{
    // A series and a spreadsheet column of the same title: each field's
    // source decides what its View button shows.
    quorvant::test::writeTestFile(res("DataSet/Only.txt"), "S-1\nS-2\n");
    restoreSpreadsheetTable(
        {{"Only"}, {{{"Extension", 1}, {"Column1", "X-1"}}, {{"Extension", 2}, {"Column1", "X-2"}}}});
    struct Case {
        F field;
        int source;
        quorvant::test::ViewerShown shown;
    };
    const Case cases[] = {
        {F::slogan, 1, {"View_Data_Series", {"S-1", "S-2"}}},
        {F::phone, 2, {"Data_From_Excel", {"X-1", "X-2"}}},
    };
    QList<quorvant::test::ViewerShown> opened;
    user = [&](QDialog &d) {
        auto *form = dynamic_cast<UserProfileForm *>(&d);
        if (!form) {
            opened << quorvant::test::viewerShown(d);
            d.setResult(1);
            return;
        }
        for (const Case &c : cases) {
            const UserProfileForm::Row &r = form->row(c.field);
            r.ds_combo->setCurrentIndex(c.source);
            r.ser_col_cb->setCurrentIndex(r.ser_col_cb->findText("Only"));
            ASSERT_EQ(r.ser_col_cb->currentText(), "Only") << c.source;
            ASSERT_TRUE(form->row(c.field).view_btn->isEnabled()) << c.source;
            form->row(c.field).view_btn->click();
        }
        form->cancel_btn->click();
    };
    wnd->User_Profile_Button_Clicked();
    QList<quorvant::test::ViewerShown> expected;
    for (const Case &c : cases)
        expected << c.shown;
    EXPECT_EQ(opened, expected);
}
