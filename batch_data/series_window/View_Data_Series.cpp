#include "batch_data/series_window/View_Data_Series.h"

#include "batch_data/series_window/BatchDialogLook.h"
#include "design_window/DataSourcePanel.h"
#include "design_window/SingleInstance.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

View_Data_Series::View_Data_Series()
{
    setObjectName("View_Data_Series");
    setWindowTitle(tr("Batch Processing Series"));
    batch_data::applyDialogBackground(*this);
    resize(380, 420);
    series_name = new QLabel(this);
    series_name->setObjectName("series_name");
    QFont bold = series_name->font();
    bold.setBold(true);
    series_name->setFont(bold);
    List = batch_data::newListTable(tr("Values"), "List");
    list_count = new QLabel(this);
    list_count->setObjectName("list_count");
    ok_btn = new QPushButton(tr("OK"), this);
    ok_btn->setObjectName("ok_btn");
    ok_btn->setDefault(true);
    connect(ok_btn, &QPushButton::clicked, this, &View_Data_Series::OK_Btn_Clicked);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(list_count, 1);
    bottom->addWidget(ok_btn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(series_name);
    layout->addWidget(List, 1);
    layout->addLayout(bottom);
    Update_batch_List_Count();
}

View_Data_Series &View_Data_Series::defaultInstance()
{
    return design_window::singleInstance<View_Data_Series>();
}

int View_Data_Series::Open_Wnd()
{
    series_name->setText(file_name);
    ListData.clear();
    Update_batch_List_Count();
    QString error;
    if (!Load_file_Func(file_name, &error)) {
        Show_MessageBox(error);
        return 0;
    }
    const int result = platform::runModal(*this);
    hide();
    return result;
}

bool View_Data_Series::Load_file_Func(const QString &name, QString *error)
{
    // The store reads a series as the editor does: trimmed, blanks out.
    const batch_data::SeriesStore store = design_window::currentSeriesStore();
    const QString path = store.seriesFilePath(name).value_or(QString());
    QString why;
    const QStringList values = store.readValues(name, &why);
    if (!why.isEmpty() && QFileInfo(path).isFile()) {
        if (error)
            *error = batch_data::unreadableSeriesMessage(name, path, why);
        return false;
    }
    for (const QString &value : values)
        Create_Avail_List(value);
    Update_batch_List_Count();
    return true;
}

void View_Data_Series::Create_Avail_List(const QString &value)
{
    const QString trimmed = Trim_Str(value);
    if (!trimmed.isEmpty())
        ListData.append(trimmed);
}

void View_Data_Series::Update_batch_List_Count()
{
    List->setRowCount(int(ListData.size()));
    for (int r = 0; r < ListData.size(); ++r)
        List->setItem(r, 0, new QTableWidgetItem(ListData.at(r)));
    list_count->setText(QStringLiteral("Total Rows : %1").arg(ListData.size()));
}

void View_Data_Series::OK_Btn_Clicked()
{
    done(1);
}
