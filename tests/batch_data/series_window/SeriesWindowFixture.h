#pragma once
// A design window over a private resource folder with the series manager,
// every alert and dialog answered by the test.

#include "batch_data/series/SeriesStore.h"
#include "batch_data/series_window/BatchWizard.h"
#include "batch_data/spreadsheet_window/BatchDataWindows.h"
#include "design_window/DataSourcePanel.h"
#include "design_window/SeriesWindows.h"
#include "tests/design_window/WindowFixture.h"
#include "tests/support/InstalledServices.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <map>

using quorvant::test::readTestFile;
using quorvant::test::writeTestFile;

class SeriesWindow : public DesignWindow {
protected:
    void SetUp() override
    {
        // The hub finds its series windows when it is made.
        design_window::HubServices services;
        services.series = &batch_data::designSeriesWindows();
        addServices(services);
        installed = std::make_unique<quorvant::test::InstalledServices>(services);
        DesignWindow::SetUp();
        // Dialogs are answered by class name; one with no answer fails.
        unscripted.reset();
        unscripted = std::make_unique<platform::ScopedModalResponder>([this](QDialog &d) {
            const auto it = dialogs.find(QString::fromLatin1(d.metaObject()->className()));
            if (it == dialogs.end()) {
                ADD_FAILURE() << "unscripted dialog " << d.metaObject()->className();
                return 0;
            }
            return it->second(d);
        });
        Check_Path_And_Create_Files();
        manager().Fill_List();
    }
    void TearDown() override
    {
        manager().ListData_value.clear();
        manager().Update_Value_List_Count();
        manager().Back_Btn_Clicked();
        DesignWindow::TearDown();
        installed.reset();
    }

    // What a suite needs installed besides the series windows.
    virtual void addServices(design_window::HubServices &) {}

    std::unique_ptr<quorvant::test::InstalledServices> installed;

    static BatchWizard &manager() { return BatchWizard::defaultInstance(); }
    static batch_data::SeriesStore store() { return design_window::currentSeriesStore(); }
    static QString seriesFile(const QString &fileName) { return design_window::Data_Folder_Path + "/" + fileName; }

    void writeSeries(const QString &name, const QByteArray &bytes) const
    {
        quorvant::test::writeTestFile(seriesFile(name + ".txt"), bytes);
    }
    // Selects the rows of `table` with the first of them current.
    static void select(QTableWidget *table, const QList<int> &rows)
    {
        table->clearSelection();
        table->setCurrentCell(rows.first(), 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        for (int r : rows.mid(1))
            table->selectionModel()->select(table->model()->index(r, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void selectSeries(const QString &name) { select(manager().List, {int(manager().ListData.indexOf(name))}); }

    // A text object of the front that takes its values from `series`.
    void bindText(const QString &series)
    {
        auto text = addText("bound", QRectF(10, 10, 80, 20));
        text->Set_Data_source_type(1);
        text->Set_Batch_List_Name(series);
    }

    // The answers to dialogs, by their class name.
    std::map<QString, std::function<int(QDialog &)>> dialogs;
};
