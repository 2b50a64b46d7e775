#pragma once
// The Export command (Export_Button:) and the batch run behind it. The
// options sheet comes first; then, when the design takes no values from its
// data (or the user unticked it), the design as it is goes to a file chosen
// in a save panel; otherwise every record goes into the folder "Quorvant"
// inside a folder the user chooses, on a worker thread behind the progress
// sheet, with a Stop button between records. Afterwards the design shows
// record 0 of its data and the side it showed before.
//
// The command and its windows run on the main thread; the batch run's
// worker hands each record's fill and drawing, every message, the sheet and
// the result box to the main thread and waits for each.

#include "design_window/ImageExportWindows.h"
#include "design_window/RecordFill.h"
#include "output/export/BatchExport.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <thread>

class ExportWindow;

namespace output {

// The design's data as a batch run uses it: the record binding of the
// design window. Main thread only.
class DesignRecords : public CardRecords {
public:
    // Check_Series_Or_Excel_Use_or_not: Use_Data_Sheet_Values,
    // Use_Excel_Binding_Values and Total_Batch_Excel_Card from the design's
    // bindings.
    virtual void Check_Series_Or_Excel_Use_or_not() = 0;
    // Get_total_Card_count: Total_Batch_Excel_Card for the flags as they are.
    virtual void Get_total_Card_count() = 0;
    // Select_first_row_value_for_design: record 0 back on the design,
    // Card_Value_In_Process cleared, the canvas redrawn.
    virtual void Select_first_row_value_for_design(bool print) = 0;
    // The resolution a run writes at: cards may come as pixels of that many
    // dots per inch; 0 when the run is over.
    virtual void setResolution(double dpi) = 0;
};

// The design window's cards, as the card source of every output run makes
// them.
class WindowRecords : public DesignRecords {
public:
    // The window is not owned: it must outlive the records.
    explicit WindowRecords(design_window::DesignHub &window);
    design_window::DesignHub &window() const { return m_cards.window(); }

    void Check_Series_Or_Excel_Use_or_not() override;
    void Get_total_Card_count() override;
    platform::Image cardImage(int n, const QString &side) override;
    // The fill and each band of the drawing are hand-offs of their own.
    platform::Image drawCard(int n, const QString &side) override;
    std::vector<output::CardProblem> takeProblems() override;
    void Select_first_row_value_for_design(bool print) override;
    void setResolution(double dpi) override;

private:
    design_window::CardSource m_cards;
};

} // namespace output

class ImageExport : public QObject, public design_window::ImageExportWindows {
    Q_OBJECT
public:
    // `records` stands in for the design window's own record binding
    // (WindowRecords) when given.
    explicit ImageExport(std::unique_ptr<output::DesignRecords> records = nullptr);
    // Waits for a running batch, asked to stop first.
    ~ImageExport() override;

    void Export_Button(design_window::DesignHub &window) override;

    // Starts the batch run into the folder "Quorvant" inside `folder` with
    // the window's export options; batchFinished() follows its end.
    void startBatch(design_window::DesignHub &window, const QString &folder);
    // The batch run's body (Export_Batch_File:), on a worker thread while the
    // main thread processes events.
    void Export_Batch_File(const QString &folder);
    bool isRunning() const { return m_worker.joinable(); }
    // What the last batch run wrote, and the message it ended with.
    output::BatchExportResult lastRun() const { return m_lastRun; }
    QString lastMessage() const { return m_lastMessage; }
    // Its cards that were not made whole, one "record N: REASON" line each,
    // after a "data: REASON" line for each bound source it could not use
    // (those of a single export too).
    QStringList lastProblems() const { return m_lastProblems; }

    // The options sheet over `window`.
    ExportWindow &exportWindow(design_window::DesignHub &window);
    // The progress sheet over the design window with the export's opening
    // text for `count` records, and its end. The run's state comes back.
    std::shared_ptr<output::RunState> Show_One_By_One_Modeless(int count);
    void Hide_One_By_One_Modeless();

signals:
    void batchFinished();

private:
    // The records of `window`'s design.
    output::DesignRecords &recordsOf(design_window::DesignHub &window);

    std::unique_ptr<output::DesignRecords> m_givenRecords;
    std::unique_ptr<output::WindowRecords> m_windowRecords;
    // The records of the command or run in progress.
    output::DesignRecords *m_records = nullptr;
    // The window of the run in progress while it is there (m_windowWidget
    // guards it).
    design_window::DesignHub *liveWindow() const { return m_windowWidget ? m_window : nullptr; }
    design_window::DesignHub *m_window = nullptr;
    QPointer<QWidget> m_windowWidget;
    QPointer<ExportWindow> m_options;
    std::thread m_worker;
    output::BatchExportResult m_lastRun;
    QString m_lastMessage;
    QStringList m_lastProblems;
    // The run going on, to stop it when the program closes.
    std::shared_ptr<output::RunState> m_run;
    // The worker has done its work (it may not have ended yet).
    std::atomic<bool> m_lastRunDone = true;
    // Set while the program closes: no result box then.
    std::atomic<bool> m_closing = false;
};
