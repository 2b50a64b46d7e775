#include "design_window/LongSmsDlg.h"

#include "design_window/Globals.h"
#include "design_window/SingleInstance.h"
#include "platform/ModalRun.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

Long_SMS_Dlg::Long_SMS_Dlg()
{
    setObjectName("Long_SMS_Dlg");
    setWindowTitle(design_window::App_Name);
    resize(460, 300);

    title_lbl = new QLabel(this);
    title_lbl->setObjectName("title_lbl");
    QFont bold = title_lbl->font();
    bold.setBold(true);
    title_lbl->setFont(bold);
    title_lbl->setWordWrap(true);

    msg_text = new QPlainTextEdit(this);
    msg_text->setObjectName("msg_text");
    msg_text->setReadOnly(true);

    apply_chk = new QCheckBox(tr("Apply to all"), this);
    apply_chk->setObjectName("apply_chk");

    ok_btn = new QPushButton(tr("OK"), this);
    ok_btn->setObjectName("ok_btn");
    ok_btn->setDefault(true);
    no_btn = new QPushButton(tr("No"), this);
    no_btn->setObjectName("no_btn");
    connect(ok_btn, &QPushButton::clicked, this, [this] { done(1); });
    connect(no_btn, &QPushButton::clicked, this, [this] { done(0); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(apply_chk);
    buttons->addStretch();
    buttons->addWidget(no_btn);
    buttons->addWidget(ok_btn);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title_lbl);
    layout->addWidget(msg_text, 1);
    layout->addLayout(buttons);
}

Long_SMS_Dlg &Long_SMS_Dlg::defaultInstance()
{
    return design_window::singleInstance<Long_SMS_Dlg>();
}

design_window::LongMessageAnswer Long_SMS_Dlg::run(const design_window::LongMessageRequest &request)
{
    title_lbl->setText(request.title);
    msg_text->setPlainText(request.text);
    no_btn->setVisible(request.question);
    ok_btn->setText(request.question ? tr("Yes") : tr("OK"));
    apply_chk->setVisible(request.showApplyToAll);
    const bool accepted = platform::runModal(*this) == 1;
    hide();
    return {accepted, apply_chk->isChecked()};
}

int Long_SMS_Dlg::Open_Long_sms_Dialog()
{
    using namespace design_window;
    const bool question = !title_val.isEmpty();
    const LongMessageAnswer answer = run({question ? title_val : Cutom_Msg_Title,
                                          question ? msg_val_str : Cutom_Msg_Val, question, apply_chk_show});
    if (answer.accepted)
        Msg_Apply_All_Chk = answer.applyToAll;
    return answer.accepted ? 1 : 0;
}
