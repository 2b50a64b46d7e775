#pragma once
// "Please wait..." with a busy bar, shown as a sheet over its owner while
// something runs; it has no buttons and closes only when told to.

#include <QDialog>
#include <chrono>
#include <functional>

namespace design_window {

class PleaseWaitSheet : public QDialog {
    Q_OBJECT
public:
    explicit PleaseWaitSheet(QWidget *owner);

protected:
    void reject() override {}
};

// Runs `work` on a worker thread while the main thread goes on drawing;
// returns when the work is done. The sheet covers its owner from the start,
// or only once the work has taken `showAfter`: until then the user's input
// waits in the queue, so a short piece of work does not flash a sheet. The
// work must not touch widgets or the live design. An exception it throws is
// logged with `where` and ends it.
void runUnderPleaseWait(PleaseWaitSheet &sheet, const char *where, const std::function<void()> &work,
                        std::chrono::milliseconds showAfter = std::chrono::milliseconds(0));

} // namespace design_window
