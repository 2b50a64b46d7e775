#include "profiles_wizards/Insert_Template.h"

#include "design_window/SingleInstance.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"
#include "profiles_wizards/WizardGlobals.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

Insert_Template::Insert_Template()
{
    setObjectName("Insert_Template");
    setWindowTitle(tr("Insert Template"));
    profiles_wizards::applyDialogBackground(*this);

    msg_value = new QPlainTextEdit;
    msg_value->setObjectName("msg_value");
    msg_value->setTabChangesFocus(true);
    msg_value->setMinimumSize(420, 90);
    back_btn = new QPushButton(tr("Back"));
    back_btn->setObjectName("back_btn");
    next_btn = new QPushButton(tr("Next"));
    next_btn->setObjectName("next_btn");
    ok_btn = new QPushButton(tr("OK"));
    ok_btn->setObjectName("ok_btn");
    ok_btn->setDefault(true);
    cancel_btn = new QPushButton(tr("Cancel"));
    cancel_btn->setObjectName("cancel_btn");
    connect(back_btn, &QPushButton::clicked, this, [this] { Msg_Back_Click(); });
    connect(next_btn, &QPushButton::clicked, this, [this] { Msg_Next_Click(); });
    connect(ok_btn, &QPushButton::clicked, this, [this] { OKPressed(); });
    connect(cancel_btn, &QPushButton::clicked, this, [this] { CancelPressed(); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(back_btn);
    buttons->addWidget(next_btn);
    buttons->addStretch();
    buttons->addWidget(cancel_btn);
    buttons->addWidget(ok_btn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(msg_value, 1);
    layout->addLayout(buttons);
}

Insert_Template &Insert_Template::defaultInstance()
{
    return design_window::singleInstance<Insert_Template>();
}

int Insert_Template::Open_Template_Dialog()
{
    profiles_wizards::Template_Msg_Val.clear();
    m_chosen.clear();
    title_index = 0;
    message_index = 0;
    Load_Msg_And_Title();
    setWindowTitle(offersTitles() ? tr("Template Titles") : tr("Template Messages"));
    showCurrent();
    msg_value->setFocus();
    setResult(0);
    const int result = platform::runModal(*this, true);
    hide();
    if (result == 1)
        profiles_wizards::Template_Msg_Val = m_chosen;
    return result;
}

QString Insert_Template::Get_Title() const
{
    return title_index >= 0 && title_index < Title_Array.size() ? Title_Array[title_index] : QString();
}

QString Insert_Template::Get_Message() const
{
    return message_index >= 0 && message_index < Message_Array.size() ? Message_Array[message_index] : QString();
}

void Insert_Template::showCurrent()
{
    msg_value->setPlainText(offersTitles() ? Get_Title() : Get_Message());
}

void Insert_Template::Msg_Back_Click()
{
    int &index = offersTitles() ? title_index : message_index;
    const int count = offersTitles() ? title_count : message_count;
    if (--index < 0)
        index = count - 1;
    showCurrent();
}

void Insert_Template::Msg_Next_Click()
{
    int &index = offersTitles() ? title_index : message_index;
    const int count = offersTitles() ? title_count : message_count;
    if (++index >= count)
        index = 0;
    showCurrent();
}

void Insert_Template::Load_Msg_And_Title()
{
    const QDir folder(resourceFolder);
    Title_Array = profiles_wizards::readResourceLines(folder.filePath(QStringLiteral("Title.txt")));
    title_count = int(Title_Array.size());
    Message_Array = profiles_wizards::readResourceLines(folder.filePath(QStringLiteral("Message.txt")));
    message_count = int(Message_Array.size());
}

void Insert_Template::OKPressed()
{
    const QString text = Trim_Str(msg_value->toPlainText());
    if (text.isEmpty()) {
        Show_MessageBox(tr("Please select message."));
        msg_value->setFocus();
        return;
    }
    m_chosen = text;
    done(1);
}

void Insert_Template::CancelPressed()
{
    m_chosen.clear();
    done(0);
}
