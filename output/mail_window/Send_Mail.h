#pragma once
// The mail window: one message per recipient typed in, with or without the
// card attached; with batch data every record's card to every recipient or
// record n's card to recipient n; an optional pause after every N messages.
// Send checks what the window holds, then the run goes on a worker thread
// behind the progress sheet, whose Stop button ends it between messages;
// the window stays open before, during and after a run.

#include "output/mail/MailRun.h"

#include <QDialog>
#include <atomic>
#include <memory>
#include <thread>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace output::mail {

// What the mail window asks of the design: the cards, and the binding check
// that says whether batch data is in use and how many records it has. Main
// thread only.
class MailDesign : public MailCards {
public:
    // Sets Use_Data_Sheet_Values, Use_Excel_Binding_Values and
    // Total_Batch_Excel_Card from the design's bindings.
    virtual void Check_Series_Or_Excel_Use_or_not() = 0;
    // Total_Batch_Excel_Card for the two flags as they are now.
    virtual void Get_total_Card_count() = 0;
};

} // namespace output::mail

class Send_Mail : public QDialog {
    Q_OBJECT
public:
    explicit Send_Mail(QWidget *parent = nullptr);
    // A run still going is asked to stop and waited for.
    ~Send_Mail() override;
    static Send_Mail &defaultInstance();

    // The design the cards come from. Not owned: it must outlive the window.
    void setDesign(output::mail::MailDesign *design) { m_design = design; }

    // Resets the window and runs it modally until Close; 0.
    int Open_Wnd();
    void Setting_Button();
    void browse_att_Button();
    void clear_att_Button();
    void Without_barcode_rd_select();
    void send_barcode_rd_select();
    void send_with_batch_chk_select();
    void send_with_excel_chk_select();
    void all_rd_select();
    void obo_rd_select();
    void delayed_delv_chk_select();
    void mail_card_side_CellClick(int row);
    // Checks what the window holds and starts the run; returns at once.
    // runFinished() follows the run's end, after its final message.
    void Send_Button();
    void Close_Button();

    bool isRunning() const { return m_worker.joinable(); }
    // What the window holds, with the stored settings.
    output::mail::MailRequest request() const;

    // How the mail script is run, and the resolution of attached cards.
    output::mail::MailScript mailScript;
    double cardDpi = 300;

    // Side code of the attached card: "BOTH", "F" or "B".
    QString card_side_str = QStringLiteral("F");

    QLineEdit *from_txt = nullptr;
    QLineEdit *to_txt = nullptr;
    QLineEdit *subject_txt = nullptr;
    QPlainTextEdit *message_txt = nullptr;
    QRadioButton *rd_without_barcode = nullptr;
    QRadioButton *rd_mail_curr_barcode = nullptr;
    QLineEdit *attachment = nullptr;
    QPushButton *browse_att = nullptr;
    QPushButton *clear_att = nullptr;
    QGroupBox *send_sett_box = nullptr;
    QButtonGroup *matrix_card_side = nullptr;
    QLineEdit *file_name_txt = nullptr;
    QCheckBox *send_with_batch_chk = nullptr;
    QCheckBox *send_with_excel_chk = nullptr;
    QRadioButton *rd_all_to_every = nullptr;
    QRadioButton *rd_one_per_recp = nullptr;
    QCheckBox *delayed_delv_chk = nullptr;
    QWidget *delayed_box = nullptr;
    QSpinBox *mail_count_stepper = nullptr;
    QSpinBox *hour_stepper = nullptr;
    QSpinBox *min_stepper = nullptr;
    QSpinBox *sec_stepper = nullptr;
    QPushButton *settings_btn = nullptr;
    QPushButton *send_btn = nullptr;
    QPushButton *close_btn = nullptr;

signals:
    void runFinished(const output::mail::MailRunResult &result);

private:
    void buildCardBox();
    void buildPauseBox();
    // The two data checks as the design's data allows them.
    void enableDataChecks();
    void updateModeOptions();
    void Send_Mail_Thread(output::mail::MailJob job);
    void runDone(const output::mail::MailRunResult &result);
    void Show_Create_Modeless(int itemCount);
    void Hide_Destroy_Modeless();
    void showPauseText(const QString &text);

    output::mail::MailDesign *m_design = nullptr;
    // The run going on, shared with the progress sheet and the worker.
    std::shared_ptr<output::RunState> m_run;
    std::thread m_worker;
    std::atomic<bool> m_workerDone{true};
};
