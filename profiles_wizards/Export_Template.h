#pragma once
// The template name dialog: asks for the name of a user template, for a new
// template (the passed name empty) or for a rename (the passed name the
// template's current one), and checks it against the user templates of
// `userFolder`. Main thread only.

#include <QDialog>

class QLineEdit;
class QPushButton;

class Export_Template : public QDialog {
    Q_OBJECT
public:
    explicit Export_Template(QWidget *parent = nullptr);

    // Runs the dialog with the two fields as the caller set them: 1 with
    // `export_template_name` holding the accepted name, 0 for Cancel.
    int Open_Wnd();
    void OKPressed();
    void CancelPressed();
    // Escape and the window's close button cancel.
    void reject() override { CancelPressed(); }

    // The user templates' folder; set before opening.
    QString userFolder;

    QLineEdit *template_name = nullptr;
    // Holds the passed name; not shown.
    QLineEdit *template_passed = nullptr;
    QPushButton *ok_btn = nullptr;
    QPushButton *cancel_btn = nullptr;

private:
    QString m_accepted;
};
