#pragma once
// The progress sheet of a long run over records (the batch image export,
// the e-mail run): the total, the current count, a bar, a pause text and a
// Stop button, over the window of the run's owner. One sheet serves the
// whole program. A run that advances its count through RunState::advance()
// (the image export, card by card) has each step shown as soon as the main
// thread is free; a timer on the main thread refreshes the sheet every
// 0.5 s as well, for the runs that set the count directly. The Stop button
// raises the stop request after the user confirms it, and the worker obeys
// it between records.
//
// The sheet is a widget: main thread only. A worker reaches beginRun() and
// endRun() through platform::runOnMainThread. The run's values (stop
// request, counters) belong to the run's RunState, which beginRun() makes
// and the run's threads share; nothing of a run is process-wide.

#include "output/export/CardRun.h"

#include <QDialog>
#include <QString>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class Send_Modeless : public QDialog {
    Q_OBJECT
public:
    Send_Modeless();
    // The one sheet, made on first use.
    static Send_Modeless &defaultInstance();

    // The start of a run of `count` items: a new run state (stop request
    // clear, list_count = count, curr_barcode_count 0), the Stop button
    // enabled, the bar from 0 to count at 0, the total shown and
    // `openingText` as the current count until the first refresh; then the
    // sheet shown over `owner`'s window and the progress timer started.
    std::shared_ptr<output::RunState> beginRun(QWidget *owner, int count, const QString &openingText);
    // The end of a run: the timer stopped and the sheet hidden.
    void endRun();
    // The run being shown; null between runs.
    std::shared_ptr<output::RunState> run() const { return m_run; }

    // The Stop button: "Are you sure you want to continue?"; Yes raises the
    // stop request, No changes nothing. While the question is open the run
    // holds before its next card.
    void Stop_Sending_Pressed();
    // One tick: the bar at curr_barcode_count and the current-count text
    // "%d / %d " (the item number truncated, list_count), kept in
    // curr_msg_count.
    void update_sending_progress_bar();
    // The last current-count text a tick wrote.
    QString curr_msg_count;

    QLabel *_tot_msg_cnt = nullptr;
    QLabel *_curr_msg_cnt = nullptr;
    QProgressBar *_Curr_Progress = nullptr;
    QPushButton *_stop_btn = nullptr;
    // The mail run's pause countdown; empty otherwise.
    QLabel *pause_label = nullptr;
    // Runs while a run does; every 0.5 s.
    QTimer *msend_modTimer = nullptr;

    // Escape or closing the sheet asks as Stop does: the sheet stays as long
    // as its run goes on.
    void reject() override;

private:
    std::shared_ptr<output::RunState> m_run;
};
