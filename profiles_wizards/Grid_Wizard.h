#pragma once
// The grid options dialog. It shows the main window's grid controls (show
// or hide the grid, its colour and spacing), which change the grid at once;
// OK and Cancel only close it. Main thread only.

#include <QDialog>
#include <QPointer>

class QPushButton;
class QVBoxLayout;

class Grid_Wizard : public QDialog {
    Q_OBJECT
public:
    explicit Grid_Wizard(QWidget *parent = nullptr);
    // The instance of the current main window, made on first use as its
    // child; null without a main window.
    static Grid_Wizard *defaultInstance();

    // Shows `options` (the main window's grid controls, which the dialog
    // takes in) and runs the dialog.
    void Open_Wnd(QWidget *options);
    void OK_Btn_Clicked();
    void Cancel_Btn_Clicked();

    QPushButton *ok_btn = nullptr;
    QPushButton *cancel_btn = nullptr;

private:
    QVBoxLayout *m_content = nullptr;
    QPointer<QWidget> m_options;
};
