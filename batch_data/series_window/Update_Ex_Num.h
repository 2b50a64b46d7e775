#pragma once
// The series manager's one-value editor: the value of row `m_ex_num_index`
// of the editor, as it was (`m_s_number`) and as edited (`m_ex_num_str`).

#include <QDialog>

class BatchWizard;
class QLineEdit;
class QPushButton;

class Update_Ex_Num : public QDialog {
    Q_OBJECT
public:
    // The manager is not owned: it is the dialog's parent.
    explicit Update_Ex_Num(BatchWizard *manager);

    // An unchanged value ends with 1 and changes nothing; a blank one is
    // refused; any other replaces the row and ends with 1.
    void OKPressed();
    void CancelPressed();

    int m_ex_num_index = -1;
    QLineEdit *m_ex_num_str = nullptr;
    QLineEdit *m_s_number = nullptr;
    QPushButton *ok_btn = nullptr;
    QPushButton *cancel_btn = nullptr;

protected:
    void reject() override { CancelPressed(); }

private:
    void clearFields();
    BatchWizard *m_manager;
};
