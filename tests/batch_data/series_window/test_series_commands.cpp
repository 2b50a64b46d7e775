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

TEST_F(SeriesWindow, BindingATextToASeriesOfMegabytesShowsWhatItsBoxHolds)
{
    // The inspector puts the series' first value in at once: one line of
    // 10 MB is laid out only as far as the box shows.
    QString huge;
    while (huge.size() < 10 * 1024 * 1024)
        huge += QStringLiteral("Kierkegard ");
    writeSeries("Huge", (huge.trimmed() + "\nBob\n").toUtf8());
    auto text = addText("t", QRectF(10, 10, 200, 40));
    outlet<QComboBox>(*wnd, "Data_source_type")->setCurrentIndex(1);
    wnd->Data_Source_Type_Changed();
    QComboBox *series = outlet<QComboBox>(*wnd, "Batch_Series");
    series->setCurrentIndex(series->findText("Huge"));
    wnd->Batch_Series_Changed();
    const QString shown = text->contentsString();
    EXPECT_GT(shown.size(), 100);
    EXPECT_LE(shown.size(), text->shownCharacters(text->firstCharacterLook()));
    EXPECT_TRUE(huge.startsWith(shown));
    // The canvas draws it in the box (2 pixels a point).
    const QImage box = canvasPicture().copy(QRect(20, 20, 400, 80));
    int dark = 0;
    for (int y = 0; y < box.height(); ++y)
        for (int x = 0; x < box.width(); ++x)
            dark += box.pixelColor(x, y).lightness() < 128;
    EXPECT_GT(dark, 500);
}
