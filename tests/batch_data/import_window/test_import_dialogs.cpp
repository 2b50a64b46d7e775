// The generator, the import wizard and the spreadsheet-to-series import as
// a user drives them: fields filled, buttons clicked, every alert and
// question answered by the test and recorded, series files read back.
#include "batch_data/import_window/Generate_List.h"
#include "batch_data/import_window/ImportSupport.h"
#include "batch_data/import_window/Import_Excel_DataSheet.h"
#include "batch_data/import_window/Import_Wizard.h"
#include "batch_data/import_window/SeriesImportWindowsImpl.h"
#include "batch_data/series_window/BatchWizard.h"
#include "batch_data/series_window/SeriesImporters.h"
#include "batch_data/zip/ZipArchive.h"
#include "design_window/LongSmsDlg.h"
#include "design_window/SeriesImportWindows.h"
#include "tests/design_window/WindowFixture.h"
#include "tests/support/InstalledServices.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>

using namespace batch_data;
using quorvant::test::OnScopeExit;
using quorvant::test::readTestFile;
using quorvant::test::writeTestFile;

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(QUORVANT_TEST_DATA "/import/") + QString::fromLatin1(name);
}

class SeriesDialogs : public DesignWindow {
protected:
    void SetUp() override
    {
        DesignWindow::SetUp();
        setSeriesManagerHooks({[this](const QStringList &values) {
                                   for (const QString &v : values)
                                       editor.append(v.trimmed());
                               },
                               [this] { ++refills; }, {}});
    }
    void TearDown() override
    {
        setSeriesManagerHooks({});
        DesignWindow::TearDown();
    }
    QByteArray series(const QString &name) const
    {
        return readTestFile(design_window::Data_Folder_Path + "/" + name + ".txt");
    }
    // Runs `open` with `act` standing in for the user of every dialog it
    // runs (the long-message questions answered from `clashAnswers`).
    void drive(const std::function<void()> &open, const std::function<void(QDialog &)> &act)
    {
        platform::ScopedModalResponder user([&](QDialog &d) {
            if (auto *question = qobject_cast<Long_SMS_Dlg *>(&d)) {
                questions.append({question->title_lbl->text(), question->msg_text->toPlainText(),
                                  question->apply_chk->isVisibleTo(question)});
                tickedWhenAsked.append(question->apply_chk->isChecked());
                const auto [yes, all] = clashAnswers.takeFirst();
                question->apply_chk->setChecked(all);
                return yes ? 1 : 0;
            }
            act(d);
            return d.result();
        });
        open();
    }

    QStringList editor;
    int refills = 0;
    QList<ClashQuestion> questions;
    QList<bool> tickedWhenAsked; // the apply-to-all box as each question showed it
    QList<std::pair<bool, bool>> clashAnswers;
};

} // namespace

TEST_F(SeriesDialogs, GeneratorWritesAsksAndRefusesLikeTheUserExpects)
{
    Generate_List &gen = Generate_List::defaultInstance();
    auto sequential = [&](const QString &name, const QString &from, const QString &to) {
        return [&gen, name, from, to](QDialog &) {
            gen.seq_file_name->setText(name);
            gen.prefix_txt->setText("ID-");
            gen.from_txt->setText(from);
            gen.to_txt->setText(to);
            gen.manage_digit_chk->setChecked(true);
            gen.ok_btn->click();
        };
    };
    drive([] { Open_Generate_List(1, 1); }, sequential("Ids", "8", "10"));
    EXPECT_EQ(series("Ids"), "ID-08\nID-09\nID-10\n");
    EXPECT_EQ(refills, 1);

    // A refusal keeps the dialog open on its field; No keeps the old series.
    answer = [](const platform::AlertRequest &r) { return r.buttons.size() > 1 ? 1 : 0; }; // "No"
    drive([] { Open_Generate_List(1, 0); }, [&](QDialog &d) {
        sequential("Ids", "5", "3")(d);
        EXPECT_EQ(d.result(), 0);
        gen.from_txt->setText("1");
        gen.ok_btn->click();
    });
    EXPECT_EQ(alerts, QStringList({"'From' value must be smaller than 'To' value.",
                                   "Batch Processing Series already exists. Do you want to replace it?"}));
    EXPECT_EQ(series("Ids"), "ID-08\nID-09\nID-10\n");

    // A write that fails names the file and the system's reason.
    const QString folder = design_window::Data_Folder_Path + "/Taken.txt";
    QDir().mkpath(folder + "/inside");
    alerts.clear();
    answer = [](const platform::AlertRequest &) { return 0; }; // "Yes", replace
    drive([] { Open_Generate_List(1, 0); }, sequential("Taken", "1", "3"));
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_TRUE(alerts[1].startsWith("Error in file accessing.\n\n" + folder + ": ")) << qPrintable(alerts[1]);
    EXPECT_GT(alerts[1].size(), ("Error in file accessing.\n\n" + folder + ": ").size()) << qPrintable(alerts[1]);
    EXPECT_TRUE(QFileInfo(folder + "/inside").isDir());
    alerts.clear();

    // Into the editor: the constant mode, with the count clamped as typed.
    drive([] { Open_Generate_List(0, 1); }, [&](QDialog &) {
        EXPECT_FALSE(gen.seq_file_name->isVisibleTo(&gen));
        gen.radioButton_Constant->click();
        gen.value_txt->setText(" A ");
        gen.count_txt->setText("123456");
        emit gen.count_txt->textEdited(gen.count_txt->text());
        EXPECT_EQ(gen.count_txt->text(), "10000");
        // Each stepper writes its own field, none of the others.
        const std::pair<QSpinBox *, QLineEdit *> steppers[] = {{gen.count_stepper, gen.count_txt},
                                                               {gen.rand_length_stepper, gen.rand_length_txt},
                                                               {gen.rand_count_stepper, gen.rand_count_txt}};
        for (const auto &[box, field] : steppers) {
            QStringList before;
            for (const auto &pair : steppers)
                before << pair.second->text();
            const int value = box->value() == 2 ? 3 : 2;
            box->setValue(value);
            EXPECT_EQ(field->text(), QString::number(value));
            for (std::size_t i = 0; i < std::size(steppers); ++i)
                if (steppers[i].second != field) {
                    EXPECT_EQ(steppers[i].second->text(), before[qsizetype(i)]);
                }
        }
        gen.count_txt->setText("3");
        gen.ok_btn->click();
    });
    EXPECT_EQ(editor, QStringList({"A", "A", "A"}));
    EXPECT_EQ(refills, 2);
}

TEST_F(SeriesDialogs, WizardImportsFilesPastedTextAndImageFolders)
{
    Import_Wizard &wizard = Import_Wizard::defaultInstance();
    auto fromFile = [&](const QString &name, const QString &path) {
        drive([] { Open_Import_Wizard(1, 0); }, [&](QDialog &) {
            wizard.Text_RD->click();
            wizard.Text_file_name->setText(name);
            wizard.Text_path->setText(path);
            wizard.ok_btn->click();
        });
    };
    const QByteArray shown = "Zoë Ångström\nO'Brien, Pat\nLine \"quoted\"\n東京\n€ 12.50\n007\n";
    fromFile("Csv", fixture("names.csv"));
    fromFile("Rtf", fixture("names.rtf"));
    fromFile("Txt", fixture("names_bom.txt"));
    for (const char *name : {"Csv", "Rtf", "Txt"})
        EXPECT_EQ(series(name), shown) << name;

    // A Latin-1 file is refused and writes nothing.
    writeTestFile(tmp.file("latin1.txt"), "Zo\xEB\n");
    fromFile("Latin", tmp.file("latin1.txt"));
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().startsWith("The file is not in UTF-8 or UTF-16"));
    EXPECT_EQ(series("Latin"), "<missing>");

    drive([] { Open_Import_Wizard(1, 0); }, [&](QDialog &) {
        wizard.Mnul_RD->click();
        EXPECT_EQ(wizard.Manual_file_name->text(), "Untitled");
        wizard.ManualEdit->setPlainText("a  \n\n b");
        wizard.ok_btn->click();
    });
    EXPECT_EQ(series("Untitled"), "a  \n b\n");

    writeTestFile(tmp.file("pics/b.PNG"), "x");
    writeTestFile(tmp.file("pics/a.txt"), "x");
    drive([] { Open_Import_Wizard(0, 1); }, [&](QDialog &) {
        wizard.Image_RD->click();
        wizard.Image_path->setText(tmp.file("pics"));
        wizard.ok_btn->click();
    });
    EXPECT_EQ(editor, QStringList({tmp.file("pics/b.PNG")}));
    EXPECT_EQ(refills, 1);

    // The spreadsheet browse panel offers ods only where an ods can be
    // read: the column import of named series, not the editor's picker.
    QStringList offered;
    for (int required : {1, 0}) {
        drive([required] { Open_Import_Wizard(required, 0); }, [&](QDialog &d) {
            if (auto *panel = qobject_cast<QFileDialog *>(&d)) {
                offered.append(panel->nameFilters().join(';'));
                return;
            }
            wizard.Excel_btn->click();
            d.done(0);
        });
    }
    ASSERT_EQ(offered.size(), 2);
    EXPECT_TRUE(offered[0].contains("*.ods")) << offered[0].toStdString();
    EXPECT_FALSE(offered[1].contains("*.ods")) << offered[1].toStdString();
}

TEST_F(SeriesDialogs, SpreadsheetColumnsBecomeSeriesWithTheClashQuestionsInOrder)
{
    Import_Excel_DataSheet &sheet = Import_Excel_DataSheet::defaultInstance();
    writeTestFile(design_window::Data_Folder_Path + "/Name.txt", "old\n");
    writeTestFile(design_window::Data_Folder_Path + "/City.txt", "old\n");
    clashAnswers = {{false, false}, {true, false}};
    // Opened from the wizard's spreadsheet source, as a user would.
    drive([] { Open_Import_Wizard(1, 1); }, [&](QDialog &d) {
        if (&d == &Import_Wizard::defaultInstance()) {
            Import_Wizard::defaultInstance().Excel_path->setText(fixture("people.xlsx"));
            Import_Wizard::defaultInstance().ok_btn->click();
            return;
        }
        ASSERT_EQ(sheet.ColList->rowCount(), 4);
        EXPECT_EQ(sheet.ColList->item(1, 1)->text(), "Untitled Column 2");
        sheet.ColList->item(0, 0)->setCheckState(Qt::Checked);
        sheet.ColList->item(2, 0)->setCheckState(Qt::Checked);
        sheet.ColList->item(3, 0)->setCheckState(Qt::Checked);
        sheet.ok_btn->click();
    });
    const QString exists = "\nBatch Processing Series already exists. Do you want to replace it?";
    const QList<ClashQuestion> asked = {{"Batch Processing Series already exists :", "Name" + exists, true},
                                        {"Batch Processing Series already exists :", "City" + exists, true}};
    EXPECT_EQ(questions, asked);
    EXPECT_EQ(series("Name"), "old\n");
    EXPECT_EQ(series("City"), "Oslo\nRome\n");
    EXPECT_EQ(series("Untitled Column 4"), "1\n2\n");
    EXPECT_EQ(refills, 1);

    // All in one, appended to an existing series, from the ods file.
    drive([&] { sheet.Open_excel_Wnd(fixture("people.ods")); }, [&](QDialog &) {
        sheet.Select_ALL_Pressed();
        sheet.ColList->item(1, 0)->setCheckState(Qt::Unchecked);
        sheet.ColList->item(3, 0)->setCheckState(Qt::Unchecked);
        sheet.Fill_col_RD->click();
        sheet.matrix_fill_type->button(2)->click();
        sheet.List_ComboBox->setCurrentText("Name");
        sheet.ok_btn->click();
    });
    EXPECT_EQ(series("Name"), "old\nAnn\nOslo\nBob\nRome\n");
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();

    // Appended to a series in another encoding (Latin-1 "Zoë"): refused,
    // with the file and why, and the series left byte for byte.
    const QString latin1 = design_window::Data_Folder_Path + "/Latin1.txt";
    writeTestFile(latin1, "Zo\xEB\n");
    drive([&] { sheet.Open_excel_Wnd(fixture("people.ods")); }, [&](QDialog &) {
        sheet.Select_ALL_Pressed();
        sheet.Fill_col_RD->click();
        sheet.matrix_fill_type->button(2)->click();
        sheet.List_ComboBox->setCurrentText("Latin1");
        sheet.ok_btn->click();
    });
    EXPECT_EQ(alerts, QStringList{"Error in file accessing.\n\n"
                                  + unreadableSeriesMessage("Latin1", latin1, SeriesStore::notUtf8Message())});
    EXPECT_EQ(readTestFile(latin1), "Zo\xEB\n");
}

TEST_F(SeriesDialogs, DataMenuOpensTheWizardAndTheGenerator)
{
    QAction *import = wnd->findChild<QAction *>("act_import_series");
    ASSERT_TRUE(import);
    EXPECT_FALSE(import->isEnabled()) << "no windows installed yet";
    // Installed at start-up, before the window is built.
    design_window::HubServices services;
    services.seriesImport = &designSeriesImportWindows();
    const quorvant::test::InstalledServices installed(services);
    installSeriesManagerImporters();
    const OnScopeExit uninstall([] { setSeriesImporters(nullptr); });
    auto fresh = std::make_unique<TVNWindowController>();
    QStringList opened;
    for (const char *name : {"act_import_series", "act_generate_series"}) {
        QAction *action = fresh->findChild<QAction *>(name);
        ASSERT_TRUE(action && action->isEnabled()) << name;
        drive([&] { action->trigger(); }, [&](QDialog &d) { opened.append(d.objectName()); });
    }
    EXPECT_EQ(opened, QStringList({"Import_Wizard", "Generate_List"}));

    // The series manager's editor takes generated values through its
    // importers, its table filled once for them all (once per value makes
    // a large import rebuild the table over and over).
    ASSERT_TRUE(seriesImporters());
    int tableFills = 0;
    // The manager's editor is one for the whole program: it is left empty.
    const OnScopeExit emptyEditor([] {
        BatchWizard &manager = BatchWizard::defaultInstance();
        manager.ListData_value.clear();
        manager.Update_Value_List_Count();
    });
    const auto counting = QObject::connect(BatchWizard::defaultInstance().List_value->model(),
                                           &QAbstractItemModel::rowsInserted, [&] { ++tableFills; });
    drive([] { seriesImporters()->Open_Generate_List(0, 1); }, [](QDialog &) {
        Generate_List &gen = Generate_List::defaultInstance();
        gen.radioButton_Constant->click();
        gen.value_txt->setText("V");
        gen.count_txt->setText("3");
        gen.ok_btn->click();
    });
    EXPECT_EQ(BatchWizard::defaultInstance().ListData_value, QStringList({"V", "V", "V"}));
    QObject::disconnect(counting);
    EXPECT_EQ(tableFills, 1);
}

TEST_F(SeriesDialogs, ColumnImportNeverOverwritesASeriesTheDesignUsesAndForgetsApplyToAll)
{
    // A text on the card takes its values from "Name".
    auto text = addText("x", QRectF(10, 10, 80, 20));
    text->Set_Data_source_type(1);
    text->Set_Batch_List_Name("Name");
    writeTestFile(design_window::Data_Folder_Path + "/Name.txt", "in use\n");
    writeTestFile(design_window::Data_Folder_Path + "/City.txt", "old\n");
    Import_Excel_DataSheet &sheet = Import_Excel_DataSheet::defaultInstance();
    auto tickNameAndCity = [&](QDialog &) {
        sheet.ColList->item(0, 0)->setCheckState(Qt::Checked);
        sheet.ColList->item(2, 0)->setCheckState(Qt::Checked);
        sheet.ok_btn->click();
    };
    // Yes with the box ticked on both questions: the series in use stays,
    // the other is replaced.
    clashAnswers = {{true, true}, {true, true}};
    drive([&] { sheet.Open_excel_Wnd(fixture("people.xlsx")); }, tickNameAndCity);
    ASSERT_EQ(questions.size(), 2);
    EXPECT_EQ(questions[0].title, "Message :");
    EXPECT_EQ(questions[0].text, "Name\nBatch processing Series name is already in use with another sequence. "
                                 "Please change Batch Processing Series Name.");
    EXPECT_EQ(series("Name"), "in use\n");
    EXPECT_EQ(series("City"), "Oslo\nRome\n");

    // The next run asks again: the apply-to-all answer was for that run,
    // so its first question does not come with the box still ticked (a
    // plain Yes would then replace every later clash unasked).
    questions.clear();
    tickedWhenAsked.clear();
    clashAnswers = {{false, false}, {false, false}};
    drive([&] { sheet.Open_excel_Wnd(fixture("people.xlsx")); }, tickNameAndCity);
    EXPECT_EQ(questions.size(), 2);
    EXPECT_EQ(tickedWhenAsked, QList<bool>({false, false}));
    EXPECT_EQ(series("Name"), "in use\n");
    EXPECT_EQ(series("City"), "Oslo\nRome\n");
}

TEST_F(SeriesDialogs, AFileThatCannotBeReadIsRefusedAtOnceAndNothingIsWritten)
{
    const QString xlsx = fixture("people.xlsx");
    QByteArray whole = readTestFile(xlsx);
    writeTestFile(tmp.file("cut.xlsx"), whole.left(whole.size() / 2));
    ZipArchive notAWorkbook(tmp.file("photos.xlsx"));
    ASSERT_TRUE(notAWorkbook.open());
    notAWorkbook.writeData("a photo", "photo.txt");
    ASSERT_TRUE(notAWorkbook.close());
    ZipArchive damagedSheet(tmp.file("sheet.xlsx"));
    ASSERT_TRUE(damagedSheet.open());
    damagedSheet.writeData(R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"
 xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets>
 <sheet name="People" sheetId="1" r:id="rId1"/></sheets></workbook>)",
                           "xl/workbook.xml");
    damagedSheet.writeData(R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
 <Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
</Relationships>)",
                           "xl/_rels/workbook.xml.rels");
    // Cut off inside the first cell.
    damagedSheet.writeData("<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Na",
                           "xl/worksheets/sheet1.xml");
    ASSERT_TRUE(damagedSheet.close());
    ASSERT_TRUE(QDir().mkpath(tmp.file("folder.xlsx")));

    const QString notZip = "It is not an xlsx workbook, or it is damaged: it cannot be opened as a zip package.";
    const struct {
        QString path;
        QString reason;
    } rows[] = {
        // An XML Spreadsheet 2003 file made by LibreOffice.
        {QStringLiteral(QUORVANT_TEST_DATA "/spreadsheet/sample_2003.xml"), notZip},
        {tmp.file("cut.xlsx"), notZip},
        {tmp.file("photos.xlsx"), "It holds no worksheet."},
        {tmp.file("sheet.xlsx"), "The worksheet is damaged: the part ends inside <t> at byte 66"},
        {tmp.file("folder.xlsx"), "It is not a regular file."},
        {tmp.file("missing.xlsx"), "There is no such file."},
    };
    writeTestFile(design_window::Data_Folder_Path + "/Name.txt", "kept\n");
    const QStringList before = QDir(design_window::Data_Folder_Path).entryList(QDir::Files);
    auto &sheet = Import_Excel_DataSheet::defaultInstance();
    for (const auto &row : rows) {
        alerts.clear();
        int result = -1;
        // No dialog opens: the answer would be an import.
        drive([&] { result = sheet.Open_excel_Wnd(row.path); }, [&](QDialog &d) {
            ADD_FAILURE() << "the dialog opened on " << row.path.toStdString();
            sheet.Select_ALL_Pressed();
            sheet.ok_btn->click();
            d.setResult(1);
        });
        EXPECT_EQ(result, 0) << row.path.toStdString();
        EXPECT_EQ(alerts, QStringList{"The file \"" + row.path + "\" cannot be read as a spreadsheet.\n" + row.reason})
            << alerts.join('|').toStdString();
    }
    EXPECT_EQ(QDir(design_window::Data_Folder_Path).entryList(QDir::Files), before);
    EXPECT_EQ(series("Name"), "kept\n");
}

TEST_F(SeriesDialogs, GeneratorTabRunsDownEachColumnAsTheFormReads)
{
    Generate_List &gen = Generate_List::defaultInstance();
    const struct {
        QRadioButton *Generate_List::*mode;
        QLineEdit *Generate_List::*first;
        std::vector<QLineEdit *Generate_List::*> fields; // top to bottom, as the form shows them
    } rows[] = {
        {&Generate_List::radioButton_Sequntial, &Generate_List::seq_file_name,
         {&Generate_List::seq_file_name, &Generate_List::prefix_txt, &Generate_List::from_txt, &Generate_List::to_txt,
          &Generate_List::suffix_txt}},
        {&Generate_List::radioButton_Constant, &Generate_List::const_file_name,
         {&Generate_List::const_file_name, &Generate_List::value_txt, &Generate_List::count_txt}},
        {&Generate_List::radioButton_Random, &Generate_List::rndm_file_name,
         {&Generate_List::rndm_file_name, &Generate_List::rand_prefix_txt, &Generate_List::rand_length_txt,
          &Generate_List::rand_suffix_txt, &Generate_List::rand_count_txt}},
    };
    for (const auto &row : rows) {
        QList<QWidget *> visited;
        drive([] { Open_Generate_List(1, 1); }, [&](QDialog &d) {
            d.show();
            QApplication::setActiveWindow(&d);
            (gen.*row.mode)->click();
            (gen.*row.first)->setFocus();
            // The user presses Tab until the focus comes round again.
            for (int i = 0; i < 40 && (visited.isEmpty() || QApplication::focusWidget() != visited.first()); ++i) {
                visited.append(QApplication::focusWidget());
                QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
                QApplication::sendEvent(QApplication::focusWidget(), &tab);
            }
            d.hide();
        });
        QList<QWidget *> fieldsInOrder;
        for (QLineEdit *Generate_List::*field : row.fields)
            fieldsInOrder.append(gen.*field);
        QList<QWidget *> fieldsVisited;
        for (QWidget *w : visited)
            if (fieldsInOrder.contains(w))
                fieldsVisited.append(w);
        EXPECT_EQ(fieldsVisited, fieldsInOrder) << (gen.*row.mode)->text().toStdString();
        EXPECT_TRUE(visited.contains(gen.ok_btn)) << (gen.*row.mode)->text().toStdString();
    }
}

TEST_F(SeriesDialogs, WizardTabGoesAsTheFormReadsAndLeavesThePasteBox)
{
    Import_Wizard &wizard = Import_Wizard::defaultInstance();
    // Each source's fields are the ones enabled; the other sources' mode
    // buttons are left to the arrow keys, as in any group of radio buttons.
    const QStringList buttons{"help_btn", "cancel_btn", "ok_btn"};
    const struct {
        QRadioButton *Import_Wizard::*mode;
        QStringList order;
    } rows[] = {
        {&Import_Wizard::Excel_RD, QStringList{"Excel_RD", "Excel_path", "Excel_btn"} + buttons},
        {&Import_Wizard::Text_RD, QStringList{"Text_RD", "Text_file_name", "Text_path", "Text_btn"} + buttons},
        {&Import_Wizard::Mnul_RD, QStringList{"Mnul_RD", "Manual_file_name", "ManualEdit"} + buttons},
        {&Import_Wizard::Image_RD, QStringList{"Image_RD", "Image_file_name", "Image_path", "Image_btn"} + buttons},
    };
    for (const auto &row : rows) {
        QStringList visited;
        QString typed;
        drive([] { Open_Import_Wizard(1, 0); }, [&](QDialog &d) {
            d.show();
            QApplication::setActiveWindow(&d);
            (wizard.*row.mode)->click();
            (wizard.*row.mode)->setFocus();
            // The user presses Tab until the focus comes round again.
            for (int i = 0; i < 40; ++i) {
                QWidget *focus = QApplication::focusWidget();
                const QString name = focus ? focus->objectName() : QStringLiteral("(nothing)");
                if (!visited.isEmpty() && name == visited.first())
                    break;
                visited << name;
                if (!focus)
                    break;
                // As the keyboard sends it: with its character, which a
                // text box that takes Tab would type.
                QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
                QApplication::sendEvent(focus, &tab);
            }
            typed = wizard.ManualEdit->toPlainText();
            d.hide();
        });
        EXPECT_EQ(visited.join(" > ").toStdString(), row.order.join(" > ").toStdString());
        // Tab in the paste box moved on and typed nothing.
        EXPECT_EQ(typed.toStdString(), "");
    }
}
