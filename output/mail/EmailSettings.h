#pragma once
// The e-mail settings: the store over the property list
// "com.zelt.card.plist" in the user's configuration folder (a dictionary of
// texts), the process-wide copies the mail window sends with, and the
// address check both mail windows use.
//
// The password is kept as plain text, so the file is written atomically and
// readable by its user alone (mode 0600) every time it is written, and its
// folder is the user's alone. Engine code: no widgets; the store may be used
// on any thread, the process-wide values on the main thread only.

#include <QString>
#include <QVariantMap>

namespace output::mail {

// The dictionary's keys.
extern const QString send_email_RecipientKey;     // "SendEmailRecipient"
extern const QString send_email_SenderEmailKey;   // "SendEmailSender"
extern const QString send_email_PasswordKey;      // "SendEmailPwd"
extern const QString send_email_SMTP_serverKey;   // "SendEmailSMTP"
extern const QString send_email_PORT_numKey;      // "SendEmailPORT"
extern const QString send_email_Enable_SSLkey;    // "SendEnableSSL"

// The settings, as typed.
struct EmailSettings {
    QString send_email_Recipient;   // the test mail's recipient
    QString send_email_SenderEmail;
    QString send_email_Password;
    QString send_email_SMTP_server;
    QString send_email_PORT_num;
    // "Y" for TLS from the first byte (SSL), "N" for STARTTLS (TLS); a null
    // string when the settings were never saved.
    QString send_email_enable_ssl;
    bool operator==(const EmailSettings &) const = default;
};

class Preferences {
public:
    // Loads the file at `path`. A missing or empty file is made anew, empty,
    // and the defaults are used: every text "" and the SSL choice absent.
    // A file that cannot be read, or holds anything but a dictionary (cut
    // short, edited by hand), gets the defaults too but is left as it is, so
    // that the settings in it are not lost: only flush() writes over it.
    // loadProblem() then says why it could not be read.
    explicit Preferences(QString path);
    // A store over the settings file, loaded now; nothing is shared between
    // calls.
    static Preferences sharedInstance();
    // "com.zelt.card.plist" in the user's configuration folder.
    static QString defaultPath();

    EmailSettings values() const;
    // In memory only; flush() writes.
    void setValues(const EmailSettings &settings);
    // Writes the whole dictionary as an XML property list. False, with the
    // reason, when it could not be written; the old file is then untouched.
    bool flush(QString *error = nullptr) const;
    void setDefaults();
    // Why the file could not be read; "" when it was read, or was missing
    // or empty.
    QString loadProblem() const { return m_loadProblem; }

private:
    QString mPreferencesPath;
    QVariantMap mDict;
    QString m_loadProblem;
};

// The settings the mail window sends with: copies of the stored sender,
// password, server, port and SSL choice, "" until Get_Email_Details reads
// them.
extern QString sender_email;
extern QString sender_pwd;
extern QString sending_server;
extern QString sending_port;
extern QString send_enable_ssl;
// Copies the stored settings into the five values above. Returns why the
// settings file could not be read ("" when it could): the values are then
// empty and the file is kept as it is.
QString Get_Email_Details();

// The address check: after trimming at least 6 characters, exactly one "@"
// and at least one ".".
bool isValidEmail(const QString &address);

} // namespace output::mail
