// The design window as a user edits with it: what the canvas shows, where
// objects can go and what the card size is.
#include "WindowFixture.h"

#include "design_window/CardPanel.h"
#include "design_window/DataSourcePanel.h"
#include "design_window/TextPanel.h"
#include "platform/ModalRun.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QPushButton>

using namespace design_window;

namespace {
// Enough dark pixels for six capitals at 12 pt or more, at 2 pixels a point.
constexpr int kTextShows = 300;
} // namespace

TEST_F(DesignWindow, TextStaysVisibleAfterEveryFontAndColourChange)
{
    const auto text = addText("MMMMMM", QRectF(10, 10, 200, 60));
    wnd->Show_RHS_Properties(text.get());
    TextPanel &panel = *wnd->textPanel;
    const QRect box = onCanvas(text->bounds());
    ASSERT_GT(darkPixels(canvasPicture(), box), kTextShows);

    const auto pickColour = [&](QColor colour) {
        platform::ScopedModalResponder pick([&](QDialog &d) {
            auto &dialog = static_cast<QColorDialog &>(d);
            dialog.setCurrentColor(colour);
            dialog.accept();
            return dialog.result();
        });
        panel.text_color_btn->click();
    };
    struct Edit {
        const char *what;
        std::function<void()> apply;
    } const edits[] = {
        {"font family", [&] { panel.text_font_family->setCurrentFont(QFont("Liberation Sans")); }},
        {"size", [&] { panel.text_font_size->setValue(20); }},
        {"bold", [&] { panel.text_bold->setChecked(true); }},
        {"italic", [&] { panel.text_italic->setChecked(true); }},
        {"colour", [&] { pickColour(QColor(0, 0, 120)); }},
        {"alignment", [&] {
             panel.text_alignment->setCurrentIndex(2);
             emit panel.text_alignment->activated(2);
         }},
        {"bold off", [&] { panel.text_bold->setChecked(false); }},
    };
    for (const Edit &edit : edits) {
        edit.apply();
        EXPECT_GT(darkPixels(canvasPicture(), box), kTextShows) << edit.what;
    }
    EXPECT_EQ(text->textColor(), QColor(0, 0, 120));
    EXPECT_EQ(text->textFont().pointSizeF(), 20);
}

TEST_F(DesignWindow, BoundTextStaysVisibleWhileTheSaveQuestionIsUp)
{
    quorvant::test::writeTestFile(QDir(Data_Folder_Path).filePath("Names.txt"), "MMMMMM\nNNNNNN\n");
    const auto text = addText("", QRectF(10, 10, 200, 60));
    wnd->Data_source_type->setCurrentIndex(1);
    wnd->Data_Source_Type_Changed();
    wnd->Batch_Series->setCurrentIndex(0);
    wnd->Batch_Series_Changed();
    ASSERT_EQ(text->contentsString(), "MMMMMM");
    wnd->textPanel->text_bold->setChecked(true);

    int darkWhileAsked = -1;
    answer = [&](const platform::AlertRequest &) {
        darkWhileAsked = darkPixels(canvasPicture(), onCanvas(text->bounds()));
        return 1; // "No"
    };
    EXPECT_TRUE(wnd->Exit_Application());
    EXPECT_EQ(alerts, QStringList{"Do you want to save changes before closing?"});
    EXPECT_GT(darkWhileAsked, kTextShows);
}
