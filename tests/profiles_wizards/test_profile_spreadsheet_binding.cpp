// A profile bound to a workbook's columns keeps its binding: made in the
// template gallery through the program's own column picker, it reaches the
// template's card bound to its columns and every exported card carries its
// own row; in the card's own dialog another workbook keeps each chosen
// column by title and names the fields that lost theirs.
#include "batch_data/binding/RecordBinding.h"
#include "batch_data/spreadsheet_window/BatchDataWindows.h"
#include "batch_data/spreadsheet_window/Import_Excel.h"
#include "design_window/DesignFile.h"
#include "design_window/ExportFileBox.h"
#include "design_window/ResourceFolder.h"
#include "design_window/SeriesWindows.h"
#include "drawing/TVNGraphic.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "output/export_window/ExportWindow.h"
#include "output/export_window/ImageExport.h"
#include "profiles_wizards/Template_Wizard.h"
#include "profiles_wizards/ThumbnailList.h"
#include "profiles_wizards/UserProfileForm.h"
#include "tests/batch_data/zip/PythonRunner.h"
#include "tests/design_window/Outlets.h"
#include "tests/output/CardFixtures.h"
#include "tests/support/ExportWait.h"
#include "tests/profiles_wizards/WizardTestSupport.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace design_window;
using profiles_wizards::UserProfileForm;
using F = ProfileField;
using quorvant::test::outlet;

namespace {

constexpr double kDpi = 150;

struct Person {
    QString name;
    QColor photo;
};
const Person kPeople[] = {{"Ann Lee", Qt::red}, {"Bob Stone", Qt::green}, {"Cy Young", Qt::blue}};

class ProfileSpreadsheetBinding : public quorvant::test::WindowTest {
protected:
    std::unique_ptr<ImageExport> exporter = std::make_unique<ImageExport>();

    HubServices services() const override
    {
        HubServices services = WindowTest::services();
        services.series = &batch_data::designSeriesWindows();
        services.imageExport = exporter.get();
        return services;
    }
    // The user: picks `panelPick` in every file panel, every column of a
    // workbook (or none: `pickColumns`), PNG at kDpi for an export, and
    // leaves the rest to `act`; a profile dialog that `act` leaves open
    // ends with OK.
    QString panelPick;
    bool pickColumns = true;
    std::function<void(QDialog &)> act;
    QStringList opened;
    QStringList resultBoxes;
    bool dataOffered = false;

    void SetUp() override
    {
        WindowTest::SetUp();
        for (UserProfileForm *form : forms())
            form->tools = profiles_wizards::installedProfileBatchTools();
        user = [this](QDialog &d) {
            opened << QString::fromLatin1(d.metaObject()->className());
            if (auto *panel = qobject_cast<QFileDialog *>(&d)) {
                panel->selectFile(panelPick);
                panel->setResult(1);
            } else if (auto *picker = dynamic_cast<Import_Excel *>(&d)) {
                picker->Select_ALL_Pressed();
                (pickColumns ? picker->ok_btn : picker->cancel_btn)->click();
            } else if (auto *options = dynamic_cast<ExportWindow *>(&d)) {
                dataOffered = options->Export_with_excel_chk->isEnabled() && options->Export_with_excel_chk->isChecked();
                options->fileFormatPopup->setCurrentText("PNG");
                options->saveDPIText->setCurrentText(QString::number(kDpi));
                options->buttons->button(QDialogButtonBox::Ok)->click();
            } else if (auto *box = dynamic_cast<Export_File_Box *>(&d)) {
                resultBoxes << box->_open_log_message->text();
                box->_open_log_chk->setChecked(false);
                box->setResult(1);
            } else {
                bool ended = false;
                const auto end = QObject::connect(&d, &QDialog::finished, [&] { ended = true; });
                act(d);
                if (auto *form = dynamic_cast<UserProfileForm *>(&d); form && !ended)
                    form->ok_btn->click();
                QObject::disconnect(end);
            }
        };
    }
    void TearDown() override
    {
        for (UserProfileForm *form : forms())
            form->tools = {};
        restoreSpreadsheetTable({});
        WindowTest::TearDown();
        exporter.reset();
        setSeriesWindows(nullptr);
    }
    static std::array<UserProfileForm *, 2> forms()
    {
        return {&Show_User_Profile::defaultInstance(), &User_profile::defaultInstance()};
    }

    // A workbook made by openpyxl with a title row `titles` and one row per
    // entry of `rows`.
    QString workbook(const QString &name, const QStringList &titles, const QList<QStringList> &rows)
    {
        const QString path = tmp.file(name);
        QStringList args{path, titles.join('\t')};
        for (const QStringList &row : rows)
            args << row.join('\t');
        const auto made = quorvant::test::runPython(QStringLiteral(R"(
import sys, openpyxl
wb = openpyxl.Workbook()
for line in sys.argv[2:]:
    wb.active.append(line.split('\t'))
wb.save(sys.argv[1])
)"), args);
        EXPECT_TRUE(made.ok) << made.err.toStdString();
        return path;
    }
    // Name, Number, Photo, URL of kPeople, each photo a picture of one colour.
    QString peopleWorkbook()
    {
        QList<QStringList> rows;
        for (const Person &p : kPeople) {
            const QString photo = makePicture(tmp.file(p.name + ".png"), p.photo, QSize(60, 80));
            rows << QStringList{p.name, QString::number(rows.size() + 101), photo, "https://example.org/" + p.name};
        }
        return workbook("people.xlsx", {"Name", "Number", "Photo", "URL"}, rows);
    }

    static void bind(UserProfileForm &f, F field, int source, const QString &item)
    {
        f.row(field).ds_combo->setCurrentIndex(source);
        QComboBox *list = f.row(field).ser_col_cb;
        list->setCurrentIndex(list->findText(item));
        ASSERT_EQ(list->currentText(), item);
    }
    GraphicPtr graphic(int side, const QString &id) const
    {
        for (const GraphicPtr &g : side ? wnd->Get_Back_Controls_Array() : wnd->Get_Front_Controls_Array())
            if (g->control_ID == id)
                return g;
        return nullptr;
    }
    // A text of the design's own, no profile field, bound to column
    // `column` of the spreadsheet.
    std::shared_ptr<TVNText> boundText(const QRectF &bounds, int column)
    {
        wnd->selectTool(TVNWindowController::kTextTool);
        auto text = std::static_pointer_cast<TVNText>(wnd->currentCanvas()->_Selected_Graphic);
        text->setBounds(bounds);
        text->Set_Data_source_type(batch_data::kSpreadsheetValue);
        text->Set_Excel_binding_Index(column);
        return text;
    }
    // The gallery's user: a profile whose name is bound to the column
    // "Name" of `workbook` (counted in profileForms), then the "Thank You"
    // template.
    int profileForms = 0;
    void chooseTemplateWithNameFrom(const QString &workbook)
    {
        act = [this, workbook](QDialog &d) {
            if (auto *form = dynamic_cast<User_profile *>(&d)) {
                ++profileForms;
                panelPick = workbook;
                form->excel_browse_btn->click();
                bind(*form, F::Name, 2, "Name");
            } else if (auto *gallery = dynamic_cast<Template_Wizard *>(&d)) {
                gallery->user_profile_btn->click();
                gallery->thumbnails->selectItem(gallery->thumbnails->indexOfPath(res("Templates/Thank You.png")));
                gallery->ok_btn->click();
            }
        };
    }
    void waitForExport() { quorvant::test::waitForExport(*exporter); }
};

} // namespace

TEST_F(ProfileSpreadsheetBinding, GalleryProfileReachesTheTemplateBoundAndEachExportedCardHasItsRow)
{
    Check_Path_And_Create_Files();
    quorvant::test::writeTestFile(res("DataSet/a series.txt"), "U-001\nU-002\nU-003\n");
    const QString people = peopleWorkbook();
    const QString exportFolder = tmp.file("out");
    QDir().mkpath(exportFolder);
    panelPick = people;
    act = [&](QDialog &d) {
        if (auto *form = dynamic_cast<User_profile *>(&d)) {
            form->excel_browse_btn->click();
            for (const auto &[field, source, item, side] :
                 {std::tuple{F::Name, 2, "Name", 0}, {F::image, 2, "Photo", 0}, {F::unique, 1, "a series", 1}}) {
                bind(*form, field, source, item);
                form->side_combos[std::size_t(field)]->setCurrentIndex(side);
            }
            EXPECT_EQ(form->row(F::Name).value->text(), "Ann Lee");
            form->preview_btn->click();
        } else if (auto *gallery = dynamic_cast<Template_Wizard *>(&d)) {
            gallery->user_profile_btn->click();
            gallery->thumbnails->selectItem(gallery->thumbnails->indexOfPath(res("Templates/Thank You.png")));
            gallery->ok_btn->click();
        }
    };
    // The workbook came for the template: the new, unchanged design is
    // replaced without a question.
    outlet<QAction>(*wnd, "act_templates")->trigger();
    EXPECT_EQ(opened, (QStringList{"Template_Wizard", "User_profile", "QFileDialog", "Import_Excel"}));
    // The unique number was meant for the back: the one-sided template
    // has one now.
    EXPECT_EQ(alerts, QStringList{"The card now has two sides, for the profile fields placed on its back: Unique No."});
    EXPECT_EQ(CARD_SIDE_STR, "2");
    alerts.clear();

    // The template's card, its name and photo bound to their columns, the
    // unique number to the series on the back.
    EXPECT_GT(wnd->Get_Front_Controls_Array().size(), 3u);
    const GraphicPtr name = graphic(0, "Fup_Name");
    const GraphicPtr photo = graphic(0, "Fup_Photo");
    const GraphicPtr unique = graphic(1, "Fup_UniqueNo");
    ASSERT_TRUE(name && photo && unique);
    EXPECT_EQ(std::tuple(name->data_source_type, name->excel_binding, name->excel_col_indx), std::tuple(2, true, 1));
    EXPECT_EQ(std::tuple(photo->data_source_type, photo->excel_binding, photo->excel_col_indx), std::tuple(2, true, 3));
    EXPECT_EQ(std::tuple(unique->data_source_type, unique->batch_list_name), std::tuple(1, QString("a series")));
    // The workbook stays the design's data source: the inspector shows the
    // name's column.
    EXPECT_EQ(currentSpreadsheetTable().titles, (QStringList{"Name", "Number", "Photo", "URL"}));
    EXPECT_EQ(Excel_Source_Path, people);
    EXPECT_TRUE(Excel_Binding_Use);
    wnd->Show_RHS_Properties(name.get());
    EXPECT_EQ(outlet<QComboBox>(*wnd, "Data_source_type")->currentText(), "Excel");
    EXPECT_EQ(outlet<QComboBox>(*wnd, "Batch_Series")->currentText(), "Name");

    // The card's own profile dialog shows the columns and the workbook.
    opened.clear();
    wnd->setEditedSide(0);
    act = [&](QDialog &d) {
        auto &form = dynamic_cast<UserProfileForm &>(d);
        for (const auto &[field, column] : {std::pair{F::Name, "Name"}, {F::image, "Photo"}}) {
            EXPECT_EQ(form.row(field).ds_combo->currentText(), "Excel") << column;
            EXPECT_EQ(form.row(field).ser_col_cb->currentText(), column);
        }
        EXPECT_EQ(form.excel_path_field->text(), people);
        form.cancel_btn->click();
    };
    wnd->User_Profile_Button_Clicked();
    EXPECT_EQ(opened, QStringList{"Show_User_Profile"});

    // Every record exported: each card its own row's photo and name.
    panelPick = exportFolder;
    outlet<QAction>(*wnd, "act_export")->trigger();
    waitForExport();
    EXPECT_TRUE(dataOffered);
    EXPECT_EQ(resultBoxes, QStringList{"Frame has been exported successfully."});
    EXPECT_EQ(QDir(exportFolder + "/Quorvant").entryList(QDir::Files, QDir::Name),
              (QStringList{"Card_1.PNG", "Card_2.PNG", "Card_3.PNG"}));
    const QRectF photoBox = photo->bounds();
    QList<QImage> cards;
    for (int n = 0; n < 3; ++n) {
        const QImage card(QStringLiteral("%1/Quorvant/Card_%2.PNG").arg(exportFolder).arg(n + 1));
        ASSERT_FALSE(card.isNull()) << n;
        const QPoint middle = (photoBox.center() * kDpi / 72).toPoint();
        EXPECT_TRUE(quorvant::test::looksLike(card, middle.x(), middle.y(), kPeople[n].photo)) << "card " << n + 1;
        cards << card;
    }
    // The name's box as the card draws each row's name by itself: the
    // exported card whose box matches it (a pixel's shift aside) is that
    // row's.
    const QRect nameBox = QRectF(name->bounds().topLeft() * kDpi / 72, name->bounds().size() * kDpi / 72).toAlignedRect();
    for (int n = 0; n < 3; ++n) {
        wnd->Check_Series_Or_Excel_Use_or_not();
        wnd->Set_data_table_value_to_card(n, "F", false);
        EXPECT_EQ(static_cast<TVNText &>(*name).contentsString(), kPeople[n].name);
        const QImage drawn = wnd->renderedSide(0).toBitmap(kDpi).copy(nameBox);
        for (int m = 0; m < 3; ++m) {
            const double differs = quorvant::test::differingPixelShareNear(cards[m], nameBox, drawn, 40);
            if (m == n)
                EXPECT_LT(differs, 0.005) << "card " << m + 1;
            else
                EXPECT_GT(differs, 0.03) << "card " << m + 1 << " has the name of row " << n + 1;
        }
    }
    wnd->Select_first_row_value_for_design(false);
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('\n').toStdString();
}

TEST_F(ProfileSpreadsheetBinding, AnotherWorkbookKeepsEachChosenColumnByTitleAndNamesTheFieldsThatLostIt)
{
    const QString people = peopleWorkbook();
    // The same people, the columns in another order and no number.
    QList<QStringList> rows;
    for (const Person &p : kPeople)
        rows << QStringList{tmp.file(p.name + ".png"), "Oslo", p.name.toUpper()};
    const QString moved = workbook("moved.xlsx", {"Photo", "City", "Name"}, rows);

    const auto browse = [&](UserProfileForm &form, const QString &path) {
        panelPick = path;
        form.excel_browse_btn->click();
    };
    const auto withForm = [&](const std::function<void(UserProfileForm &)> &fill) {
        opened.clear();
        act = [&](QDialog &d) { fill(dynamic_cast<UserProfileForm &>(d)); };
        wnd->User_Profile_Button_Clicked();
        EXPECT_EQ(opened.count("Show_User_Profile"), 1);
    };

    // Bound in the card's own dialog; then the design loses its workbook
    // while the fields still say "Excel".
    withForm([&](UserProfileForm &form) {
        browse(form, people);
        bind(form, F::Name, 2, "Name");
        bind(form, F::phone, 2, "Number");
        bind(form, F::image, 2, "Photo");
    });
    const SpreadsheetTable peopleTable = currentSpreadsheetTable();
    restoreSpreadsheetTable({});
    alerts.clear();
    withForm([&](UserProfileForm &form) {
        EXPECT_EQ(form.row(F::Name).ds_combo->currentText(), "Excel");
        EXPECT_EQ(form.row(F::Name).ser_col_cb->count(), 1);
        browse(form, people);
        // Offered again in full; nothing was chosen from the one item.
        EXPECT_EQ(form.row(F::Name).ser_col_cb->count(), 5);
        form.cancel_btn->click();
    });
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('\n').toStdString();
    // A workbook of titles only: still no records, and the fields say so.
    restoreSpreadsheetTable({});
    const QString titlesOnly = workbook("titles.xlsx", {"Name", "Number", "Photo", "URL"}, {});
    withForm([&](UserProfileForm &form) {
        browse(form, titlesOnly);
        for (F field : {F::Name, F::phone, F::image})
            EXPECT_EQ(form.row(field).ds_combo->currentText(), "Manual");
        EXPECT_EQ(form.row(F::Name).ds_combo->count(), 2);
        form.cancel_btn->click();
    });
    EXPECT_EQ(alerts, QStringList{"These fields lost their spreadsheet column; please choose it again: Name, "
                                  "Phone No., Photo"});
    alerts.clear();
    restoreSpreadsheetTable(peopleTable);

    // With the columns chosen, another workbook keeps each by its title
    // and shows its first row; the number's field is named.
    withForm([&](UserProfileForm &form) {
        EXPECT_EQ(form.row(F::phone).ser_col_cb->currentText(), "Number");
        browse(form, moved);
        EXPECT_EQ(form.row(F::Name).ser_col_cb->currentText(), "Name");
        EXPECT_EQ(form.row(F::Name).value->text(), "ANN LEE");
        EXPECT_EQ(form.row(F::image).ser_col_cb->currentText(), "Photo");
        EXPECT_EQ(form.image_path_val->text(), tmp.file("Ann Lee.png"));
        EXPECT_EQ(form.row(F::phone).ser_col_cb->currentIndex(), -1);
        EXPECT_TRUE(form.row(F::phone).value->text().isEmpty());
        EXPECT_EQ(alerts, QStringList{"These fields lost their spreadsheet column; please choose it again: Phone No."});
        form.row(F::phone).ds_combo->setCurrentIndex(0);
        form.row(F::phone).value->setText("555-0100");
    });
    EXPECT_EQ(std::tuple(graphic(0, "Fup_Name")->excel_col_indx, graphic(0, "Fup_Photo")->excel_col_indx),
              std::tuple(3, 1));
    EXPECT_EQ(static_cast<TVNText &>(*graphic(0, "Fup_Name")).contentsString(), "ANN LEE");
    EXPECT_EQ(graphic(0, "Fup_PhoneNO")->data_source_type, 0);
    EXPECT_EQ(static_cast<TVNText &>(*graphic(0, "Fup_PhoneNO")).contentsString(), "555-0100");
}

TEST_F(ProfileSpreadsheetBinding, TheGalleryAsksOnlyForTheOpenDesignsOwnChangesAndSavesThemWithItsOwnWorkbook)
{
    Check_Path_And_Create_Files();
    const QString people = peopleWorkbook();
    const QString towns = workbook("towns.xlsx", {"Town"}, {{"Oslo"}, {"Rome"}});
    // A saved design with a workbook of its own, chosen from the data menu.
    panelPick = towns;
    outlet<QAction>(*wnd, "act_spreadsheet")->trigger();
    ASSERT_EQ(currentSpreadsheetTable().titles, QStringList{"Town"});
    const QString badge = tmp.file("badge.zelg");
    ASSERT_TRUE(wnd->Save_project_file(badge, false));
    const QByteArray saved = quorvant::test::readTestFile(badge);
    ASSERT_EQ(wnd->Read_and_load_design_Log(badge, "L"), 1);
    alerts.clear();

    // The profile binds the name to the people's workbook; the template
    // takes it.
    chooseTemplateWithNameFrom(people);
    const auto takeTemplate = [&] {
        profileForms = 0;
        outlet<QAction>(*wnd, "act_templates")->trigger();
        ASSERT_EQ(profileForms, 1);
        EXPECT_EQ(Excel_Source_Path, people);
        EXPECT_EQ(graphic(0, "Fup_Name")->excel_col_indx, 1);
    };

    // Unchanged, the design is replaced unasked and its file stays as it was.
    takeTemplate();
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('\n').toStdString();
    EXPECT_TRUE(quorvant::test::readTestFile(badge) == saved) << "the design file was written";

    // Changed, it is asked about; saved, its file has the change, its own
    // workbook and no profile.
    answers = {1}; // the template's card is not kept
    ASSERT_EQ(wnd->Read_and_load_design_Log(badge, "L"), 1);
    alerts.clear();
    outlet<QDoubleSpinBox>(*wnd, "card_width_mm")->setValue(70);
    answers = {0};
    takeTemplate();
    EXPECT_EQ(alerts, QStringList{"Do you want to save changes before closing?"});
    const std::optional<Design> reread = loadDesignFile(badge);
    ASSERT_TRUE(reread);
    EXPECT_NEAR(reread->frontCard.Card_Size.width() * 25.4 / 72, 70, 0.01);
    EXPECT_EQ(reread->table.titles, QStringList{"Town"});
    EXPECT_FALSE(reread->frontProfile.field(F::Name).xl);
}

TEST_F(ProfileSpreadsheetBinding, ACancelledOrUnreadableWorkbookLeavesThePathTheTableAndTheFieldsAsTheyWere)
{
    const QString people = peopleWorkbook();
    const QString moved = workbook("moved.xlsx", {"Photo", "City", "Name"}, {{"x.png", "Oslo", "ZED"}});
    const QString broken = tmp.file("broken.xlsx");
    quorvant::test::writeTestFile(broken, "no workbook");
    int formRuns = 0;
    act = [&](QDialog &d) {
        auto &form = dynamic_cast<UserProfileForm &>(d);
        ++formRuns;
        panelPick = people;
        form.excel_browse_btn->click();
        bind(form, F::Name, 2, "Name");
        bind(form, F::image, 2, "Photo");
    };
    wnd->User_Profile_Button_Clicked();
    ASSERT_EQ(formRuns, 1);
    const SpreadsheetTable peopleTable = currentSpreadsheetTable();
    alerts.clear();
    opened.clear();

    // Another workbook, its column picker cancelled; then one that is no
    // workbook at all. OK keeps the first workbook and its columns.
    act = [&](QDialog &d) {
        auto &form = dynamic_cast<UserProfileForm &>(d);
        ++formRuns;
        for (const QString &path : {moved, broken}) {
            panelPick = path;
            pickColumns = path != moved;
            form.excel_browse_btn->click();
            EXPECT_EQ(form.excel_path_field->text(), people) << path.toStdString();
            for (const auto &[field, column] : {std::pair{F::Name, "Name"}, {F::image, "Photo"}}) {
                EXPECT_EQ(form.row(field).ds_combo->currentText(), "Excel") << path.toStdString();
                EXPECT_EQ(form.row(field).ser_col_cb->currentText(), column) << path.toStdString();
            }
            EXPECT_EQ(form.row(F::Name).value->text(), "Ann Lee") << path.toStdString();
            EXPECT_EQ(form.image_path_val->text(), tmp.file("Ann Lee.png")) << path.toStdString();
        }
    };
    wnd->User_Profile_Button_Clicked();
    ASSERT_EQ(formRuns, 2);
    EXPECT_EQ(opened, (QStringList{"Show_User_Profile", "QFileDialog", "Import_Excel", "QFileDialog"}));
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts[0].startsWith(QStringLiteral("The file \"%1\" cannot be read as a spreadsheet.").arg(broken)))
        << alerts[0].toStdString();
    EXPECT_EQ(Excel_Source_Path, people);
    EXPECT_EQ(currentSpreadsheetTable().titles, peopleTable.titles);
    EXPECT_EQ(currentSpreadsheetTable().rows, peopleTable.rows);
    EXPECT_EQ(graphic(0, "Fup_Name")->excel_col_indx, 1);
    EXPECT_EQ(static_cast<TVNText &>(*graphic(0, "Fup_Name")).contentsString(), "Ann Lee");
}

TEST_F(ProfileSpreadsheetBinding, ABrowseInTheProfileDialogNamesTheDesignsOtherObjectsAndShowsTheNewFirstRow)
{
    const QString people = peopleWorkbook();
    const QString others = workbook("others.xlsx", {"Name", "Number", "Town"}, {{"Dee Park", "201", "Oslo"}});
    // The design's own texts bound to the number and the URL.
    panelPick = people;
    outlet<QAction>(*wnd, "act_spreadsheet")->trigger();
    const auto number = boundText(QRectF(10, 120, 80, 20), 2);
    const auto url = boundText(QRectF(10, 150, 200, 20), 4);
    wnd->Select_first_row_value_for_design(false);
    ASSERT_EQ(number->contentsString(), "101");
    // The profile's name and photo bound in the card's own dialog.
    act = [&](QDialog &d) {
        auto &form = dynamic_cast<UserProfileForm &>(d);
        form.excel_browse_btn->click();
        bind(form, F::Name, 2, "Name");
        bind(form, F::image, 2, "Photo");
    };
    wnd->User_Profile_Button_Clicked();
    ASSERT_TRUE(graphic(0, "Fup_Photo"));
    const SpreadsheetTable peopleTable = currentSpreadsheetTable();
    wnd->Show_RHS_Properties(number.get());
    auto *columns = outlet<QComboBox>(*wnd, "Batch_Series");
    wnd->setWindowModified(false);   // as saved
    alerts.clear();

    // Another workbook: the design's own objects are named as the data menu
    // names them, the profile's photo by the dialog; the canvas has the new
    // first row while the dialog is still open.
    int browsed = 0;
    act = [&](QDialog &d) {
        auto &form = dynamic_cast<UserProfileForm &>(d);
        panelPick = others;
        form.excel_browse_btn->click();
        ++browsed;
        EXPECT_EQ(number->contentsString(), "201");
        EXPECT_EQ(form.row(F::Name).value->text(), "Dee Park");
        EXPECT_GE(columns->findText("Town"), 0);
        form.cancel_btn->click();
    };
    wnd->User_Profile_Button_Clicked();
    ASSERT_EQ(browsed, 1);
    EXPECT_EQ(alerts, (QStringList{"The new spreadsheet's columns differ where these objects are bound; please bind "
                                   "them again:\nThe text \"https://example.org/Ann Lee\" (object 3 on the front): "
                                   "column 4 \"URL\" is not in this spreadsheet.",
                                   "These fields lost their spreadsheet column; please choose it again: Photo"}))
        << alerts.join('|').toStdString();
    // Cancel changes nothing: the profile's photo still reads column 3,
    // which is the photo again, not the other workbook's town.
    EXPECT_EQ(Excel_Source_Path, people);
    EXPECT_TRUE(Excel_Binding_Use);
    EXPECT_EQ(currentSpreadsheetTable().titles, peopleTable.titles);
    EXPECT_EQ(currentSpreadsheetTable().rows, peopleTable.rows);
    EXPECT_EQ(graphic(0, "Fup_Photo")->excel_col_indx, 3);
    EXPECT_EQ(number->contentsString(), "101");
    EXPECT_EQ(static_cast<TVNText &>(*graphic(0, "Fup_Name")).contentsString(), "Ann Lee");
    EXPECT_EQ(url->excel_col_indx, 4);
    EXPECT_GE(columns->findText("Photo"), 0);
    EXPECT_EQ(columns->findText("Town"), -1);
    EXPECT_FALSE(wnd->isWindowModified());

    // OK keeps the other workbook.
    act = [&](QDialog &d) {
        auto &form = dynamic_cast<UserProfileForm &>(d);
        panelPick = others;
        form.excel_browse_btn->click();
        ++browsed;
        form.row(F::image).ds_combo->setCurrentIndex(0);   // the photo lost its column
    };
    wnd->User_Profile_Button_Clicked();
    ASSERT_EQ(browsed, 2);
    EXPECT_EQ(Excel_Source_Path, others);
    EXPECT_EQ(currentSpreadsheetTable().titles, (QStringList{"Name", "Number", "Town"}));
    EXPECT_EQ(number->contentsString(), "201");
    EXPECT_TRUE(wnd->isWindowModified());
}

TEST_F(ProfileSpreadsheetBinding, CancelAtTheGallerysSaveQuestionLeavesTheOpenDesignAsItWas)
{
    Check_Path_And_Create_Files();
    const QString people = peopleWorkbook();
    const QString towns = workbook("towns.xlsx", {"Town"}, {{"Oslo"}, {"Rome"}});
    // A changed design: a text bound to its own workbook's town.
    panelPick = towns;
    outlet<QAction>(*wnd, "act_spreadsheet")->trigger();
    const auto town = boundText(QRectF(10, 120, 80, 20), 1);
    wnd->Select_first_row_value_for_design(false);
    ASSERT_EQ(town->contentsString(), "Oslo");
    ASSERT_TRUE(wnd->isWindowModified());
    const QString ownPath = Excel_Source_Path;
    const size_t objects = wnd->Get_Front_Controls_Array().size();
    const QImage canvas = wnd->currentCanvas()->grab().toImage();
    QAction *undo = outlet<QAction>(*wnd, "act_undo");
    const std::pair undoBefore{undo->isEnabled(), undo->text()};
    alerts.clear();

    // The profile binds the name to the people's workbook and is meant for
    // a template; the save question is answered Cancel.
    chooseTemplateWithNameFrom(people);
    answers = {0, 2};
    outlet<QAction>(*wnd, "act_templates")->trigger();
    ASSERT_EQ(profileForms, 1);
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_TRUE(alerts[0].startsWith("The new spreadsheet's columns differ")) << alerts[0].toStdString();
    EXPECT_EQ(alerts[1], "Do you want to save changes before closing?");

    // Nothing of the gallery is left: no profile, the design's own
    // workbook and first row, its changed mark and its undo step.
    EXPECT_EQ(wnd->Get_Front_Controls_Array().size(), objects);
    EXPECT_FALSE(graphic(0, "Fup_Name"));
    EXPECT_FALSE(wnd->design().Front_user_profile.Fill_User_Profile_Enable);
    EXPECT_EQ(currentSpreadsheetTable().titles, QStringList{"Town"});
    EXPECT_EQ(Excel_Source_Path, ownPath);
    EXPECT_EQ(town->contentsString(), "Oslo");
    EXPECT_TRUE(wnd->currentCanvas()->grab().toImage() == canvas);
    EXPECT_TRUE(wnd->isWindowModified());
    EXPECT_EQ(std::pair(undo->isEnabled(), undo->text()), undoBefore);
}
