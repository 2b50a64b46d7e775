#include "batch_data/spreadsheet_window/Data_From_Excel.h"

#include "batch_data/series_window/BatchDialogLook.h"
#include "design_window/SingleInstance.h"
#include "design_window/DesignHub.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using design_window::SpreadsheetTable;

namespace {

// The data source is part of the design: a change to it is a change of the
// design, which the design file then keeps.
void store(const SpreadsheetTable &table)
{
    design_window::restoreSpreadsheetTable(table);
    if (design_window::DesignHub *main = design_window::Main_App_wnd)
        main->markDesignChanged();
}

} // namespace

Data_From_Excel::Data_From_Excel()
{
    setObjectName("Data_From_Excel");
    setWindowTitle(tr("Spreadsheet Data"));
    batch_data::applyDialogBackground(*this);
    resize(620, 420);
    ColList = new QTableWidget(this);
    ColList->setObjectName("ColList");
    ColList->verticalHeader()->setVisible(false);
    ColList->setAlternatingRowColors(true);
    ColList->setSelectionBehavior(QAbstractItemView::SelectRows);
    ColList->setSelectionMode(QAbstractItemView::SingleSelection);
    rows_count = new QLabel(this);
    rows_count->setObjectName("rows_count");
    column_count = new QLabel(this);
    column_count->setObjectName("column_count");
    ok_btn = new QPushButton(tr("OK"), this);
    ok_btn->setObjectName("ok_btn");
    ok_btn->setDefault(true);
    connect(ok_btn, &QPushButton::clicked, this, &Data_From_Excel::OK_Click);
    connect(ColList, &QTableWidget::cellChanged, this, &Data_From_Excel::cellEdited);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(tr("Rows:"), this));
    bottom->addWidget(rows_count);
    bottom->addSpacing(16);
    bottom->addWidget(new QLabel(tr("Columns:"), this));
    bottom->addWidget(column_count);
    bottom->addStretch();
    bottom->addWidget(ok_btn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ColList, 1);
    layout->addLayout(bottom);
}

Data_From_Excel &Data_From_Excel::defaultInstance()
{
    return design_window::singleInstance<Data_From_Excel>();
}

batch_data::ListData Data_From_Excel::ListData() const
{
    return batch_data::ListData(design_window::currentSpreadsheetTable().rows);
}

QStringList Data_From_Excel::columnTitles() const
{
    return design_window::currentSpreadsheetTable().titles;
}

void Data_From_Excel::setSource(const QStringList &titles, const QList<QStringList> &records)
{
    batch_data::ListData data;
    for (const QStringList &record : records) {
        if (!data.Create_List_By_Array(record, int(titles.size())))
            Show_NSLog_Message(QStringLiteral("A record with fewer cells than columns was left out"));
    }
    store(SpreadsheetTable{titles, data.rows()});
    fillTable();
}

void Data_From_Excel::Create_List_By_Array(const QStringList &values, int n)
{
    batch_data::ListData data = ListData();
    if (!data.Create_List_By_Array(values, n)) {
        Show_NSLog_Message(QStringLiteral("A record with fewer than %1 values was left out").arg(n));
        return;
    }
    store(SpreadsheetTable{columnTitles(), data.rows()});
}

void Data_From_Excel::Create_Value_List(const QString &value)
{
    const QString trimmed = Trim_Str(value);
    if (trimmed.isEmpty())
        return;
    SpreadsheetTable table = design_window::currentSpreadsheetTable();
    table.rows.append(QVariantMap{{batch_data::ListData::columnKey(0), trimmed}});
    store(table);
}

void Data_From_Excel::Mark_List_New_Selection(int row)
{
    ColList->clearSelection();
    if (row >= 0 && row < ColList->rowCount())
        ColList->selectRow(row);
}

int Data_From_Excel::Open_Wnd()
{
    fillTable();
    const int result = platform::runModal(*this);
    hide();
    return result;
}

void Data_From_Excel::OK_Click()
{
    done(1);
}

void Data_From_Excel::fillTable()
{
    const SpreadsheetTable table = design_window::currentSpreadsheetTable();
    const QSignalBlocker block(ColList);
    ColList->clear();
    ColList->setColumnCount(int(table.titles.size()) + 1);
    ColList->setHorizontalHeaderLabels(QStringList{tr("Record No.")} + table.titles);
    for (int c = 0; c < ColList->columnCount(); ++c) {
        ColList->horizontalHeaderItem(c)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        ColList->setColumnWidth(c, 100);
    }
    ColList->setRowCount(int(table.rows.size()));
    for (int r = 0; r < table.rows.size(); ++r) {
        for (int c = 0; c < ColList->columnCount(); ++c) {
            auto *item = new QTableWidgetItem(table.rows.at(r).value(batch_data::ListData::columnKey(c)).toString());
            // The record number is the table's own count, not a value.
            if (c == 0)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            ColList->setItem(r, c, item);
        }
    }
    rows_count->setText(QString::number(table.rows.size()));
    column_count->setText(QString::number(ColList->columnCount()));
}

void Data_From_Excel::cellEdited(int row, int column)
{
    SpreadsheetTable table = design_window::currentSpreadsheetTable();
    if (row < 0 || row >= table.rows.size() || column < 1) {
        Show_NSLog_Message(QStringLiteral("No cell at row %1, column %2").arg(row).arg(column));
        return;
    }
    table.rows[row].insert(batch_data::ListData::columnKey(column), ColList->item(row, column)->text());
    store(table);
}
