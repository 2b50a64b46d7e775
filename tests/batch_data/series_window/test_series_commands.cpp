// The ways into the series windows from the design window: the Data menu's
// command and the inspector's view button.
#include "tests/batch_data/series_window/SeriesWindowFixture.h"
#include "tests/design_window/Outlets.h"

#include "batch_data/series_window/View_Data_Series.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>

using quorvant::test::outlet;

TEST_F(SeriesWindow, DataMenuOpensTheManagerAndTheInspectorListsWhatItMade)
{
    auto *command = wnd->findChild<QAction *>("act_series_manager");
    ASSERT_TRUE(command);
    EXPECT_TRUE(command->isEnabled());
    auto text = addText("t", QRectF(10, 10, 80, 20));
    dialogs["BatchWizard"] = [](QDialog &d) {
        auto &m = static_cast<BatchWizard &>(d);
        EXPECT_FALSE(m.avl_list_box->isHidden());
        m.AddNew_Btn_Clicked();
        m.Create_Value_List("first");
        m.batch_list_name->setText("Made");
        m.Save_Btn_Clicked();
        m.Close_Btn_Clicked();
        return d.result();
    };
    command->trigger();
    EXPECT_EQ(readTestFile(seriesFile("Made.txt")), "first\n");
    outlet<QComboBox>(*wnd, "Data_source_type")->setCurrentIndex(1);
    wnd->Data_Source_Type_Changed();
    EXPECT_EQ(outlet<QComboBox>(*wnd, "Batch_Series")->findText("Made"), 0);
}

TEST_F(SeriesWindow, ViewButtonShowsTheChosenSeries)
{
    writeSeries("Names", "Ann\nBob\n");
    auto text = addText("t", QRectF(10, 10, 80, 20));
    EXPECT_TRUE(outlet<QPushButton>(*wnd, "view_series_btn")->isEnabled());

    // "Manual" shows nothing; "Series" without a choice asks for one.
    outlet<QPushButton>(*wnd, "view_series_btn")->click();
    EXPECT_TRUE(alerts.isEmpty());
    outlet<QComboBox>(*wnd, "Data_source_type")->setCurrentIndex(1);
    wnd->Data_Source_Type_Changed();
    outlet<QPushButton>(*wnd, "view_series_btn")->click();
    EXPECT_EQ(alerts, QStringList{"Please select the series."});

    QStringList seen;
    dialogs["View_Data_Series"] = [&](QDialog &d) {
        seen = static_cast<View_Data_Series &>(d).ListData;
        return 1;
    };
    QComboBox *series = outlet<QComboBox>(*wnd, "Batch_Series");
    series->setCurrentIndex(series->findText("Names"));
    wnd->Batch_Series_Changed();
    outlet<QPushButton>(*wnd, "view_series_btn")->click();
    EXPECT_EQ(seen, (QStringList{"Ann", "Bob"}));
}
