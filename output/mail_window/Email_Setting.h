#pragma once
// The e-mail settings dialog: sender address, password, SMTP server, port,
// SSL (TLS from the first byte) or TLS (STARTTLS), and a test recipient. It
// checks them, saves them to the settings file, sends a test mail and resets
// the settings. The test mail goes out on a thread of its own behind a
// please-wait sheet, so the window keeps answering meanwhile;
// testMailFinished() tells when it is done.

#include "design_window/PleaseWaitSheet.h"
#include "output/mail/MailScript.h"

#include <QDialog>
#include <thread>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace output::mail {

// The please-wait sheet of the e-mail windows.
using PleaseWaitSheet = design_window::PleaseWaitSheet;

// Dialogs of the output windows: the program's dialog background.
void applyDialogBackground(QWidget &dialog);

} // namespace output::mail

class Email_Setting : public QDialog {
    Q_OBJECT
public:
    explicit Email_Setting(QWidget *parent = nullptr);
    ~Email_Setting() override;
    static Email_Setting &defaultInstance();

    // Shows the stored settings and runs the dialog: 1 after Save, 0 after
    // Close.
    int Open_Wnd();
    // The checks in their order; the first that fails shows its message,
    // takes the keyboard focus to its field and gives false. The recipient
    // is checked only `withRecipient`.
    bool Check_Validation(bool withRecipient);
    // Starts the test mail and returns at once (nothing when a check fails
    // or one is on its way already).
    void Send_Test_Email();
    void Reset_Button();
    void Save_Button();
    void Close_Button();
    void loadPreferences();
    // Writes the fields as typed; false (after saying why) when the file
    // could not be written.
    bool flushPreferences();
    void SSL_Selected();
    void TLS_Selected();
    void Show_Create_Modeless();
    void Hide_Destroy_Modeless();

    bool testMailRunning() const { return m_testMail.joinable(); }

    // How the mail script is run.
    output::mail::MailScript mailScript;

    QLineEdit *_send_mail_to = nullptr;
    QLineEdit *_send_mail_sender_mail = nullptr;
    QLineEdit *_send_mail_smtp = nullptr;
    QLineEdit *_send_mail_port = nullptr;
    QLineEdit *_send_mail_password = nullptr;
    QLabel *_send_mail_result_status = nullptr;
    QRadioButton *_send_mail_ssl = nullptr;
    QRadioButton *_send_mail_tls = nullptr;
    QPushButton *save_btn = nullptr;
    QPushButton *close_btn = nullptr;
    QPushButton *reset_btn = nullptr;
    QPushButton *test_btn = nullptr;
    output::mail::PleaseWaitSheet *plz_wait_Window = nullptr;

signals:
    void testMailFinished(bool sent);

private:
    QString sslFlag() const;
    // The test mail's status, shown whole; "" empties it.
    void showStatus(const QString &text);
    void testMailDone(const output::mail::MailResult &result);

    std::thread m_testMail;
};
