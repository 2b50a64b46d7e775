#pragma once
// "Please wait..." with a busy bar, shown as a sheet over its owner while
// something runs; it has no buttons and closes only when told to.

#include <QDialog>

namespace design_window {

class PleaseWaitSheet : public QDialog {
    Q_OBJECT
public:
    explicit PleaseWaitSheet(QWidget *owner);

protected:
    void reject() override {}
};

} // namespace design_window
