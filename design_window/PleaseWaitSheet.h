#pragma once
// "Please wait..." with a busy bar, shown as a sheet over its owner while
// something runs; it has no buttons and closes only when told to.

#include <QDialog>
#include <functional>

namespace design_window {

class PleaseWaitSheet : public QDialog {
    Q_OBJECT
public:
    explicit PleaseWaitSheet(QWidget *owner);

protected:
    void reject() override {}
};

// Runs `work` on a worker thread while the sheet covers `sheet`'s window
// and the main thread goes on drawing; returns when the work is done. The
// work must not touch widgets or the live design. An exception it throws is
// logged with `where` and ends it.
void runUnderPleaseWait(PleaseWaitSheet &sheet, const char *where, const std::function<void()> &work);

} // namespace design_window
