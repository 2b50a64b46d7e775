#include "batch_data/series_window/Update_Ex_Num.h"

#include "batch_data/series_window/BatchDialogLook.h"
#include "batch_data/series_window/BatchWizard.h"
#include "platform/Helpers.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

Update_Ex_Num::Update_Ex_Num(BatchWizard *manager)
    : QDialog(manager)
    , m_manager(manager)
{
    setObjectName("Update_Ex_Num");
    setWindowTitle(tr("Edit Value"));
    batch_data::applyDialogBackground(*this);
    m_s_number = new QLineEdit(this);
    m_s_number->setObjectName("m_s_number");
    m_s_number->setReadOnly(true);
    m_ex_num_str = new QLineEdit(this);
    m_ex_num_str->setObjectName("m_ex_num_str");
    ok_btn = new QPushButton(tr("OK"), this);
    ok_btn->setObjectName("ok_btn");
    ok_btn->setDefault(true);
    cancel_btn = new QPushButton(tr("Cancel"), this);
    cancel_btn->setObjectName("cancel_btn");
    connect(ok_btn, &QPushButton::clicked, this, &Update_Ex_Num::OKPressed);
    connect(cancel_btn, &QPushButton::clicked, this, &Update_Ex_Num::CancelPressed);
    auto *form = new QFormLayout;
    form->addRow(tr("Value:"), m_s_number);
    form->addRow(tr("New value:"), m_ex_num_str);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_btn);
    buttons->addWidget(ok_btn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(380, sizeHint().height());
}

void Update_Ex_Num::OKPressed()
{
    if (m_ex_num_str->text() == m_s_number->text()) {
        done(1);
        return;
    }
    const QString value = Trim_Str(m_ex_num_str->text());
    if (value.isEmpty()) {
        Show_MessageBox(tr("Please enter a valid value."));
        m_ex_num_str->setFocus();
        return;
    }
    QStringList &values = m_manager->ListData_value;
    if (m_ex_num_index >= 0 && m_ex_num_index < values.size()) {
        values[m_ex_num_index] = value;
        m_manager->Update_Value_List_Count();
        m_manager->Mark_List_New_Selection_Value(m_ex_num_index);
    }
    clearFields();
    done(1);
}

void Update_Ex_Num::CancelPressed()
{
    clearFields();
    done(0);
}

void Update_Ex_Num::clearFields()
{
    m_ex_num_str->clear();
    m_s_number->clear();
    m_ex_num_index = -1;
}
