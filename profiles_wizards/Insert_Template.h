#pragma once
// The title and message picker: ready-made titles ("Title.txt") or messages
// ("Message.txt") of the resource folder, one shown at a time in an editable
// field, Back and Next stepping through them with wrap-around at both ends.
// OK hands back the shown text, trimmed. Main thread only.

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

class Insert_Template : public QDialog {
    Q_OBJECT
public:
    Insert_Template();
    static Insert_Template &defaultInstance();

    // "T" offers titles, anything else messages; set before opening.
    QString title_or_msg = QStringLiteral("M");
    // Where "Title.txt" and "Message.txt" are read from; set before opening.
    QString resourceFolder;

    // Reads both files again, shows the first line of the offered list and
    // runs the picker: 1 for OK with `Template_Msg_Val` holding the text,
    // 0 for Cancel with it empty.
    int Open_Template_Dialog();

    // The current title or message; "" when no list was read.
    QString Get_Title() const;
    QString Get_Message() const;
    void Msg_Back_Click();
    void Msg_Next_Click();
    void Load_Msg_And_Title();
    void OKPressed();
    void CancelPressed();
    // Escape and the window's close button cancel.
    void reject() override { CancelPressed(); }

    QStringList Title_Array;
    QStringList Message_Array;
    int title_count = 0;
    int message_count = 0;
    int title_index = 0;
    int message_index = 0;

    QPlainTextEdit *msg_value = nullptr;
    QPushButton *back_btn = nullptr;
    QPushButton *next_btn = nullptr;
    QPushButton *ok_btn = nullptr;
    QPushButton *cancel_btn = nullptr;

private:
    bool offersTitles() const { return title_or_msg == QLatin1String("T"); }
    void showCurrent();
    // The text OK accepted.
    QString m_chosen;
};
