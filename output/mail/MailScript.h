#pragma once
// The mail script call: one e-mail message handed to the outside script
// "pyth_mail.py" of the bundle resources, run by Debian's /usr/bin/python3 as
// a child process. It blocks the calling thread until the script ends or the
// time-out passes, needs no event loop, and may run on any thread.
//
// The child gets, in this order, the arguments script, sender, server, port,
// sender, recipient, subject, body, SSL flag and the attachment paths; an
// environment of PYTHONPATH="" and PATH="/bin:/usr/bin:/usr/local/bin" and
// nothing of ours (SSL_CERT_FILE is added only when a caller names the
// certificates to trust); and on standard input the password as UTF-8, a line
// end and "Description". The password is never an argument, where every user
// of the machine could read it.
//
// Exit status 0 means sent. A script or interpreter that cannot start, that
// stops abnormally, or that runs past the time-out (it is then killed) counts
// as not sent, with the reason.

#include <QString>
#include <QStringList>
#include <chrono>

namespace output::mail {

// One message as the script takes it.
struct MailMessage {
    QString toAddress;
    QString subject;
    QStringList attachments; // file paths, sent under their file names
    QString sender;          // the From address and the login name
    QString password;
    QString smtp;            // server host name or address
    QString port;            // as entered
    QString body;
    QString enableSsl;       // "Y": TLS from the first byte; else STARTTLS
    bool operator==(const MailMessage &) const = default;
};

// How the script is run.
struct MailScript {
    QString interpreter = QStringLiteral("/usr/bin/python3");
    // Empty: "pyth_mail.py" of the bundle resources.
    QString scriptPath;
    // The whole run of the script; the script's own network operations give
    // up sooner, so this only ends a script that hangs.
    std::chrono::milliseconds timeout{std::chrono::minutes(3)};
    // A PEM file of certificate authorities to trust in place of the
    // system's; empty: the system's.
    QString trustedCertificates;
};

struct MailResult {
    bool sent = false;
    // Why it was not sent: the script's own last line, or why it did not run.
    QString reason;
};

// "pyth_mail.py" of the bundle resources.
QString defaultMailScriptPath();

// Sends the message through the script and logs the outcome.
MailResult sendEmail_pyth(const MailMessage &message, const MailScript &script = {});

} // namespace output::mail
