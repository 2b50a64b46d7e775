#pragma once
// What the mail suites share: a real SMTP server (aiosmtpd on 127.0.0.1 run
// by Debian's Python, smtp_test_server.py beside this file) with a throwaway
// certificate made by openssl that the client is told to trust; cards that
// carry a text as a QR Code drawn by zxing-cpp's own writer, and the reader
// for them; a record of the alerts shown.

#include "platform/Alerts.h"
#include "platform/Image.h"

#include <QImage>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>
#include <ostream>

// Readable failures of the mail suites.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

namespace quorvant::test {

class TempFolder;

// Certificates for 127.0.0.1 and localhost, and one for another host name,
// made once per test program.
struct TestCertificates {
    QString cert;            // for localhost and 127.0.0.1; also the file to trust
    QString key;
    QString otherHostCert;   // for mail.example.org only, signed by itself
    QString otherHostKey;
    QString trustBoth;       // both certificates, to trust either
    QString failure;         // why they could not be made
};
const TestCertificates &testCertificates();

// Each server picks a free port, stops with its object (or by itself after a
// few minutes), and hands back every message it accepted as Python's own
// e-mail parser read it.
class SmtpTestServer {
public:
    enum class Mode { ImplicitTls, StartTls, NoTls };
    struct Options {
        Mode mode = Mode::StartTls;
        QString user;
        QString password;
        // Hold each message until releaseHeldMessage().
        bool gate = false;
        // Serve the certificate made for another host name.
        bool otherHostCertificate = false;
    };

    explicit SmtpTestServer(const Options &options);
    ~SmtpTestServer();

    // Empty when the server listens; else why it does not.
    QString failure() const { return m_failure; }
    int port() const { return m_port; }

    // Every message accepted so far, in order: mail_from, rcpt_tos, from,
    // to, subject, body, attachments [{name, type, data (base64)}].
    QList<QJsonObject> messages() const;

    // With a gate: waits until a message is held (true), at most `ms`,
    // processing the main thread's events meanwhile.
    bool waitForHeldMessage(int ms = 30000);
    void releaseHeldMessage();

private:
    std::unique_ptr<TempFolder> m_folder;
    QProcess m_process;
    int m_port = 0;
    QString m_failure;
};

// A port on 127.0.0.1 that nothing listens on.
int closedPort();

// A card of 144 x 90 pt, white, with `text` as a QR Code 70 pt wide.
platform::Image qrCard(const QString &text);
// The QR Code of a picture, or of picture file bytes; "" when none reads.
QString readQr(const QImage &image);
QString readQr(const QByteArray &fileBytes);
// The bytes of an attachment as the test server recorded it.
QByteArray attachmentBytes(const QJsonObject &mail, int index);

// Records every alert's text and answers with `answer` (0 "OK"/"Yes").
struct AlertLog {
    explicit AlertLog(int answer = 0);
    QStringList texts;
    platform::ScopedAlertResponder responder;
};

} // namespace quorvant::test
