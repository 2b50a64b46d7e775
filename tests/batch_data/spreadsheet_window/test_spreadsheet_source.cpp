// The spreadsheet column picker and the spreadsheet data source, driven as
// a user would: the workbook chosen, columns ticked, OK, and what the
// viewer, the inspector and a bound object then show.
#include "tests/batch_data/series_window/SeriesWindowFixture.h"
#include "tests/design_window/Outlets.h"

#include "barcodes/designer/BarcodeEngine.h"
#include "batch_data/binding/RecordBinding.h"
#include "batch_data/spreadsheet/SpreadsheetWriter.h"
#include "batch_data/spreadsheet_window/Data_From_Excel.h"
#include "batch_data/spreadsheet_window/Import_Excel.h"
#include "batch_data/zip/ZipArchive.h"
#include "design_window/PleaseWaitSheet.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

using quorvant::test::outlet;

namespace {

const QString kSample = QStringLiteral(QUORVANT_TEST_DATA "/spreadsheet/sample.xlsx");

QStringList comboItems(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

QStringList titles(const QList<Import_Excel::ColumnEntry> &entries)
{
    QStringList list;
    for (const auto &entry : entries)
        list.append(entry.column.title);
    return list;
}

// The records as rows of texts: the record number, then the columns.
QList<QStringList> records()
{
    QList<QStringList> rows;
    const design_window::SpreadsheetTable table = design_window::currentSpreadsheetTable();
    for (const QVariantMap &record : table.rows) {
        QStringList row;
        for (int k = 0; k <= table.titles.size(); ++k)
            row.append(record.value(batch_data::ListData::columnKey(k)).toString());
        rows.append(row);
    }
    return rows;
}

} // namespace

class SpreadsheetSource : public SeriesWindow {
protected:
    Import_Excel &picker() { return Import_Excel::defaultInstance(); }

    // Runs the picker in `mode` on `path`: the worksheet at `sheet` chosen,
    // the entries `ticked` ticked, then OK (repeated by `afterwards`).
    int pick(const QString &mode, const QString &path, int sheet, const QList<int> &ticked, bool header = true)
    {
        dialogs["Import_Excel"] = [&](QDialog &d) {
            auto &p = static_cast<Import_Excel &>(d);
            EXPECT_TRUE(p.contains_header->isChecked());
            p.contains_header->setChecked(header);
            if (sheet > 0) {
                p.Sheet_ComboBox->setCurrentIndex(sheet);
                p.comboBoxSelectionDidChange(sheet);
            }
            for (int row : ticked)
                p.ColList->item(row, 0)->setCheckState(Qt::Checked);
            d.setResult(0);
            p.ok_btn->click();
            return d.result();
        };
        picker().open_mode = mode;
        return picker().Open_excel_Wnd(path);
    }
};

TEST_F(SpreadsheetSource, LibreOfficeWorkbookGivesTheRowsAUserSees)
{
    // Rich text, a formula, a multi-line cell, a number kept as text, a
    // blank header (offered under its column's own name) and a second sheet.
    EXPECT_EQ(pick("E", kSample, 0, {0, 2, 3}), 1);
    EXPECT_EQ(comboItems(picker().Sheet_ComboBox), (QStringList{"People", "Second"}));
    EXPECT_EQ(titles(picker().ListData_xl), (QStringList{"Name", "Untitled Column 2", "Amount", "Note"}));
    EXPECT_EQ(design_window::currentSpreadsheetTable().titles, (QStringList{"Name", "Amount", "Note"}));
    EXPECT_EQ(records(), (QList<QStringList>{{"1", "Alice", "12", "line one\nline two"},
                                             {"2", "Bold and plain", "24", "007"},
                                             {"3", "Carol", "3.5", "last"},
                                             {"4", "dup", "1", "dup"},
                                             {"5", "dup", "1", "dup"}}));

    // The viewer: the record number's column, then the chosen ones.
    QStringList headers;
    dialogs["Data_From_Excel"] = [&](QDialog &d) {
        auto &viewer = static_cast<Data_From_Excel &>(d);
        for (int c = 0; c < viewer.ColList->columnCount(); ++c)
            headers.append(viewer.ColList->horizontalHeaderItem(c)->text());
        EXPECT_EQ(viewer.rows_count->text(), "5");
        EXPECT_EQ(viewer.column_count->text(), "4");
        // An edited cell changes the data source.
        viewer.ColList->item(2, 1)->setText("Caroline");
        viewer.ok_btn->click();
        return d.result();
    };
    EXPECT_EQ(Data_From_Excel::defaultInstance().Open_Wnd(), 1);
    EXPECT_EQ(headers, (QStringList{"Record No.", "Name", "Amount", "Note"}));
    EXPECT_EQ(records().at(2).at(1), "Caroline");

    // The second sheet, and the first row taken as a record.
    EXPECT_EQ(pick("E", kSample, 1, {0, 1}, false), 1);
    EXPECT_EQ(records(), (QList<QStringList>{{"1", "Other", "Sheet"}, {"2", "two  spaces", "42"}}));
}

TEST_F(SpreadsheetSource, TickedColumnsKeepTheirOwnCellsPastABlankHeader)
{
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(tmp.file("blank.xlsx"),
                                                 {{"A", " ", "C"}, {"a1", "b1", "c1"}, {"a2", "", "c2"}}, false));
    EXPECT_EQ(pick("E", tmp.file("blank.xlsx"), 0, {1}), 1);
    EXPECT_EQ(titles(picker().ListData_xl), (QStringList{"A", "C"}));
    EXPECT_EQ(records(), (QList<QStringList>{{"1", "c1"}, {"2", "c2"}}));

    // Mode "D": row by row into the series editor, blanks left out.
    manager().AddNew_Btn_Clicked();
    manager().Create_Value_List("kept");
    EXPECT_EQ(pick("D", tmp.file("blank.xlsx"), 0, {0, 1}, false), 1);
    EXPECT_EQ(manager().ListData_value, (QStringList{"kept", "A", "C", "a1", "c1", "a2", "c2"}));
}

TEST_F(SpreadsheetSource, OkNeedsAColumnAndATick)
{
    dialogs["Import_Excel"] = [&](QDialog &d) {
        auto &p = static_cast<Import_Excel &>(d);
        p.Select_ALL_Pressed();
        p.Clear_All_Pressed();
        p.OKPressed();
        p.cancel_btn->click();
        return d.result();
    };
    picker().open_mode = "E";
    EXPECT_EQ(picker().Open_excel_Wnd(kSample), 0);
    // A file that is no workbook is refused before the picker opens.
    quorvant::test::writeTestFile(tmp.file("junk.xlsx"), "not a workbook");
    EXPECT_EQ(picker().Open_excel_Wnd(tmp.file("junk.xlsx")), 0);
    EXPECT_EQ(alerts, (QStringList{"No column is selected.",
                                   "The file \"" + tmp.file("junk.xlsx")
                                       + "\" cannot be read as a spreadsheet.\nIt is not an xlsx workbook, or it "
                                         "is damaged: it cannot be opened as a zip package."}));
    EXPECT_TRUE(design_window::currentSpreadsheetTable().rows.isEmpty());
}

TEST_F(SpreadsheetSource, WorksheetsAreListedAndReadAsTheWorkbookNamesThem)
{
    // Parts sheet1 and sheet3, listed in the workbook's order, not the
    // folder's: the one chosen is the one read.
    ZipArchive archive(tmp.file("gaps.xlsx"));
    ASSERT_TRUE(archive.open());
    archive.writeData(R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"
 xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets>
 <sheet name="Third" sheetId="3" r:id="rId7"/><sheet name="First" sheetId="1" r:id="rId1"/>
 <sheet name="Empty" sheetId="2" r:id="rId2"/></sheets></workbook>)",
                      "xl/workbook.xml");
    archive.writeData(R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
 <Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
 <Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/sheet3.xml"/>
 <Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/empty.xml"/>
</Relationships>)",
                      "xl/_rels/workbook.xml.rels");
    for (int n : {1, 3})
        archive.writeData(QStringLiteral(R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>
<row r="1"><c r="A1"><v>%1</v></c></row><row r="2"><c r="A2"><v>%1%1</v></c></row></sheetData></worksheet>)")
                              .arg(n)
                              .toUtf8(),
                          QStringLiteral("xl/worksheets/sheet%1.xml").arg(n));
    archive.writeData("<worksheet><sheetData/></worksheet>", "xl/worksheets/empty.xml");
    ASSERT_TRUE(archive.close());

    EXPECT_EQ(pick("E", tmp.file("gaps.xlsx"), 0, {0}), 1);
    EXPECT_EQ(comboItems(picker().Sheet_ComboBox), (QStringList{"Third", "First", "Empty"}));
    EXPECT_EQ(records(), (QList<QStringList>{{"1", "33"}}));
    EXPECT_EQ(pick("E", tmp.file("gaps.xlsx"), 1, {0}), 1);
    EXPECT_EQ(records(), (QList<QStringList>{{"1", "11"}}));

    // A sheet without rows lists no columns, not the last sheet's.
    dialogs["Import_Excel"] = [&](QDialog &d) {
        auto &p = static_cast<Import_Excel &>(d);
        p.comboBoxSelectionDidChange(2);
        p.ok_btn->click();
        p.cancel_btn->click();
        return d.result();
    };
    EXPECT_EQ(picker().Open_excel_Wnd(tmp.file("gaps.xlsx")), 0);
    EXPECT_TRUE(picker().ListData_xl.isEmpty());
    EXPECT_EQ(alerts, QStringList{"There is no column."});
}

TEST_F(SpreadsheetSource, DesignWindowChoosesASpreadsheetAndBindsItsColumns)
{
    auto text = addText("typed", QRectF(10, 10, 120, 30));
    auto *command = wnd->findChild<QAction *>("act_spreadsheet");
    ASSERT_TRUE(command && command->isEnabled());
    EXPECT_EQ(outlet<QComboBox>(*wnd, "Data_source_type")->count(), 2);

    dialogs["QFileDialog"] = [](QDialog &d) {
        static_cast<QFileDialog &>(d).selectFile(kSample);
        return 1;
    };
    dialogs["Import_Excel"] = [](QDialog &d) {
        auto &p = static_cast<Import_Excel &>(d);
        EXPECT_EQ(p.open_mode, "E");
        p.Select_ALL_Pressed();
        p.ok_btn->click();
        return d.result();
    };
    command->trigger();
    EXPECT_TRUE(wnd->hasUnsavedChanges());
    // The inspector offers the spreadsheet, and its columns by title.
    ASSERT_EQ(comboItems(outlet<QComboBox>(*wnd, "Data_source_type")), (QStringList{"Manual", "Series", "Excel"}));
    outlet<QComboBox>(*wnd, "Data_source_type")->setCurrentIndex(2);
    wnd->Data_Source_Type_Changed();
    EXPECT_EQ(comboItems(outlet<QComboBox>(*wnd, "Batch_Series")),
              (QStringList{"Record No.", "Name", "Untitled Column 2", "Amount", "Note"}));
    outlet<QComboBox>(*wnd, "Batch_Series")->setCurrentIndex(4);
    wnd->Batch_Series_Changed();
    EXPECT_EQ(text->excel_col_indx, 4);
    EXPECT_EQ(text->contentsString(), "line one\nline two");

    // Its view button shows the spreadsheet.
    int viewed = 0;
    dialogs["Data_From_Excel"] = [&](QDialog &) { return ++viewed; };
    outlet<QPushButton>(*wnd, "view_series_btn")->click();
    EXPECT_EQ(viewed, 1);

    // Cancelling the file choice changes nothing.
    dialogs["QFileDialog"] = [](QDialog &) { return 0; };
    EXPECT_EQ(wnd->Choose_Spreadsheet_Source(), 0);
}

TEST_F(SpreadsheetSource, EveryReadOfTheWorkbookRunsUnderThePickersPleaseWaitSheet)
{
    struct ShowCounter : QObject {
        int shows = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            shows += event->type() == QEvent::Show;
            return false;
        }
    } counter;
    design_window::PleaseWaitSheet *sheet = picker().plz_wait_Window;
    sheet->installEventFilter(&counter);
    int shownWhenPicking = -1;
    dialogs["Import_Excel"] = [&](QDialog &d) {
        auto &p = static_cast<Import_Excel &>(d);
        // Opening read the workbook, then its first worksheet's titles.
        shownWhenPicking = counter.shows;
        EXPECT_FALSE(sheet->isVisible());
        p.Sheet_ComboBox->setCurrentIndex(1);
        p.comboBoxSelectionDidChange(1);
        p.Select_ALL_Pressed();
        p.ok_btn->click(); // reads the rows
        return d.result();
    };
    picker().open_mode = "E";
    EXPECT_EQ(picker().Open_excel_Wnd(kSample), 1);
    sheet->removeEventFilter(&counter);
    EXPECT_EQ(shownWhenPicking, 2);
    EXPECT_EQ(counter.shows, 4);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(records(), (QList<QStringList>{{"1", "two  spaces", "42"}}));
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
}

TEST_F(SpreadsheetSource, AnotherWorkbookShowsItsFirstRowAtOnceAndNamesTheObjectsToBindAgain)
{
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(
        tmp.file("first.xlsx"), {{"ID", "Name", "Photo"}, {"QV-0001", "Ann", "ann.png"}, {"QV-0002", "Bob", "bob.png"}},
        false));
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(tmp.file("second.xlsx"), {{"Name", "ID"}, {"Zoe", "QV-0100"}}, false));
    auto choose = [&](const QString &path) {
        dialogs["QFileDialog"] = [path](QDialog &d) {
            static_cast<QFileDialog &>(d).selectFile(path);
            return 1;
        };
        dialogs["Import_Excel"] = [](QDialog &d) {
            static_cast<Import_Excel &>(d).Select_ALL_Pressed();
            static_cast<Import_Excel &>(d).ok_btn->click();
            return d.result();
        };
        return wnd->Choose_Spreadsheet_Source();
    };
    ASSERT_EQ(choose(tmp.file("first.xlsx")), 1);
    // A Code 128 bound to ID, a name bound to Name, the record number.
    const QRectF codeBox(10, 60, 200, 60);
    GraphicPtr code = add(TVNWindowController::kBarcodeTool);
    code->barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf("Code 128"));
    code->setBounds(codeBox);
    auto name = addText("typed", QRectF(10, 10, 150, 30));
    auto number = addText("typed", QRectF(170, 10, 60, 30));
    number->control_ID = "Number";
    for (auto [g, column] : {std::pair<TVNGraphic *, int>{code.get(), 1}, {name.get(), 2}, {number.get(), 0}}) {
        g->Set_Data_source_type(batch_data::kSpreadsheetValue);
        g->Set_Excel_binding_Index(column);
    }
    wnd->Select_first_row_value_for_design(false);
    // The user's view: the symbol read back from the canvas's pixels.
    auto shownCode = [&] {
        const QImage canvas = canvasPicture();
        const QRect box(codeBox.topLeft().toPoint() * 2, codeBox.size().toSize() * 2);
        return quorvant::test::decodeBarcode(canvas.copy(box), ZXing::BarcodeFormat::Code128).text;
    };
    EXPECT_EQ(shownCode(), "QV-0001");
    EXPECT_EQ(name->contentsString(), "Ann");

    alerts.clear();
    ASSERT_EQ(choose(tmp.file("second.xlsx")), 1);
    // At once, without a run: the new first row, column by column.
    EXPECT_EQ(shownCode(), "Zoe");
    EXPECT_EQ(name->contentsString(), "QV-0100");
    EXPECT_EQ(number->contentsString(), "1");
    EXPECT_EQ(alerts, QStringList{"The new spreadsheet's columns differ where these objects are bound; please bind "
                                  "them again:\n"
                                  "The text \"Ann\" (object 2 on the front): column 2 \"Name\" is now \"ID\".\n"
                                  "The barcode (object 3 on the front): column 1 \"ID\" is now \"Name\"."})
        << alerts.join('|').toStdString();

    // The same columns again: nothing to bind again.
    alerts.clear();
    ASSERT_EQ(choose(tmp.file("second.xlsx")), 1);
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
}
