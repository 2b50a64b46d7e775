#pragma once
// The series manager's question before values come into an editor that
// holds some: clear them (1), keep them and append (0), or do nothing (2).

#include <QDialog>

class QPushButton;

class Load_Num_Info : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCancelled = 2;
    explicit Load_Num_Info(QWidget *parent = nullptr);

    void YESPressed() { done(1); }
    void NOPressed() { done(0); }
    void CancelPressed() { done(kCancelled); }

    QPushButton *yes_btn = nullptr;
    QPushButton *no_btn = nullptr;
    QPushButton *cancel_btn = nullptr;

protected:
    void reject() override { CancelPressed(); }
};
