// The mail script call against a real SMTP server (aiosmtpd) on 127.0.0.1:
// what arrives, what is refused and why, and what other processes can see.
#include "output/mail/MailScript.h"
#include "tests/output/mail/MailTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <gtest/gtest.h>

#include <thread>
#include <unistd.h>

using namespace output::mail;
using namespace quorvant::test;
using Mode = SmtpTestServer::Mode;

namespace {

const QString kSender = QStringLiteral("Sender@Example.org");
// Outside ASCII on purpose: the script must get it as UTF-8.
const QString kPassword = QStringLiteral("pässwörd ✓ 7");

MailScript trusting(const QString &certificates, std::chrono::milliseconds timeout = std::chrono::minutes(1))
{
    MailScript script;
    script.trustedCertificates = certificates;
    script.timeout = timeout;
    return script;
}

MailMessage message(int port, const QString &ssl, const QString &password = kPassword)
{
    MailMessage m;
    m.toAddress = QStringLiteral("reader@example.net");
    m.subject = QStringLiteral("Grüße — 卡片 №1");
    m.sender = kSender;
    m.password = password;
    m.smtp = QStringLiteral("127.0.0.1");
    m.port = QString::number(port);
    m.body = QStringLiteral("Zwei Zeilen, äöü ß.\nSecond line: 日本語 ✓");
    m.enableSsl = ssl;
    return m;
}

SmtpTestServer::Options serverOptions(Mode mode)
{
    SmtpTestServer::Options o;
    o.mode = mode;
    o.user = kSender;
    o.password = kPassword;
    return o;
}

// The NUL-separated strings of a /proc file; empty when it cannot be read.
QStringList procStrings(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList out;
    for (const QByteArray &part : file.readAll().split('\0'))
        if (!part.isEmpty())
            out << QString::fromUtf8(part);
    return out;
}

// The parent's process id from /proc/PID/stat ("pid (name) state ppid ...").
pid_t parentOf(const QString &pid)
{
    const QByteArray stat = readTestFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? pid_t(fields[1].toInt()) : 0;
}

} // namespace

TEST(MailScript, DeliversOverImplicitTlsAndStartTlsWithEveryPart)
{
    TempFolder folder;
    const QByteArray picture = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(3000, '\xA5');
    const QString first = folder.file(QStringLiteral("Kärtchen 1.jpeg"));
    const QString second = folder.file(QStringLiteral("notes.txt"));
    writeTestFile(first, picture);
    writeTestFile(second, QStringLiteral("Grüße\n").toUtf8());

    // Port 465 style (TLS from the first byte) and port 587 style (STARTTLS).
    const struct {
        Mode mode;
        const char *ssl;
    } rows[] = {{Mode::ImplicitTls, "Y"}, {Mode::StartTls, "N"}};
    for (const auto &row : rows) {
        SmtpTestServer server(serverOptions(row.mode));
        ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
        MailMessage m = message(server.port(), QString::fromLatin1(row.ssl));
        m.attachments = {first, second};
        const MailResult result = sendEmail_pyth(m, trusting(testCertificates().cert));
        ASSERT_TRUE(result.sent) << row.ssl << ": " << result.reason.toStdString();

        const QList<QJsonObject> got = server.messages();
        ASSERT_EQ(got.size(), 1) << row.ssl;
        const QJsonObject &mail = got.first();
        EXPECT_EQ(mail["rcpt_tos"].toArray().toVariantList(), QVariantList{m.toAddress}) << row.ssl;
        EXPECT_EQ(mail["from"].toString(), kSender) << row.ssl;
        EXPECT_EQ(mail["subject"].toString(), m.subject) << row.ssl;
        EXPECT_EQ(mail["body"].toString().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed(), m.body)
            << row.ssl;
        const QJsonArray attached = mail["attachments"].toArray();
        ASSERT_EQ(attached.size(), 2) << row.ssl;
        EXPECT_EQ(attached[0]["name"].toString(), QStringLiteral("Kärtchen 1.jpeg"));
        EXPECT_EQ(QByteArray::fromBase64(attached[0]["data"].toString().toLatin1()), picture);
        EXPECT_EQ(attached[1]["name"].toString(), QStringLiteral("notes.txt"));
        EXPECT_EQ(QByteArray::fromBase64(attached[1]["data"].toString().toLatin1()),
                  QStringLiteral("Grüße\n").toUtf8());
    }
}

TEST(MailScript, RefusalsCountAsNotSentWithTheirReason)
{
    enum Port { ServerPort, NothingListens };
    const struct {
        const char *name;
        Mode mode;
        bool otherHost;
        const char *ssl;
        QString password;
        Port port;
        QString trust;
        const char *reason;
    } rows[] = {
        {"wrong password, TLS", Mode::ImplicitTls, false, "Y", QStringLiteral("wrong"), ServerPort,
         testCertificates().cert, "refused the login: 535"},
        {"wrong password, STARTTLS", Mode::StartTls, false, "N", QStringLiteral("pässwörd"), ServerPort,
         testCertificates().cert, "refused the login: 535"},
        // Never in clear text, even when the server would take it.
        {"server without STARTTLS", Mode::NoTls, false, "N", kPassword, ServerPort, testCertificates().cert,
         "does not offer STARTTLS"},
        {"nothing listens", Mode::NoTls, false, "Y", kPassword, NothingListens, testCertificates().cert,
         "Connection refused"},
        {"certificate nobody vouches for", Mode::ImplicitTls, false, "Y", kPassword, ServerPort, QString(),
         "certificate is not trusted"},
        {"certificate for another host", Mode::ImplicitTls, true, "Y", kPassword, ServerPort,
         testCertificates().trustBoth, "mismatch"},
    };
    for (const auto &row : rows) {
        SmtpTestServer::Options options = serverOptions(row.mode);
        options.otherHostCertificate = row.otherHost;
        SmtpTestServer server(options);
        ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
        const int port = row.port == ServerPort ? server.port() : closedPort();
        const MailResult result =
            sendEmail_pyth(message(port, QString::fromLatin1(row.ssl), row.password), trusting(row.trust));
        EXPECT_FALSE(result.sent) << row.name;
        EXPECT_TRUE(result.reason.contains(QLatin1String(row.reason)))
            << row.name << ": " << result.reason.toStdString();
        EXPECT_TRUE(server.messages().isEmpty()) << row.name;
    }
}

TEST(MailScript, ScriptThatCannotRunOrHangsCountsAsNotSent)
{
    SmtpTestServer::Options options = serverOptions(Mode::StartTls);
    options.gate = true; // answers nothing once the message is on its way
    SmtpTestServer held(options);
    ASSERT_TRUE(held.failure().isEmpty()) << held.failure().toStdString();

    MailScript noInterpreter = trusting(testCertificates().cert);
    noInterpreter.interpreter = QStringLiteral("/nonexistent/python3");
    MailScript noScript = trusting(testCertificates().cert);
    noScript.scriptPath = QStringLiteral("/nonexistent/pyth_mail.py");
    const MailScript hangs = trusting(testCertificates().cert, std::chrono::milliseconds(1500));
    const struct {
        const char *name;
        MailScript script;
        const char *reason;
    } rows[] = {
        {"interpreter missing", noInterpreter, "could not be started"},
        {"script missing", noScript, "is missing"},
        {"server never answers", hangs, "did not finish within 1.5 seconds"},
    };
    for (const auto &row : rows) {
        const MailResult result = sendEmail_pyth(message(held.port(), QStringLiteral("N")), row.script);
        EXPECT_FALSE(result.sent) << row.name;
        EXPECT_TRUE(result.reason.contains(QLatin1String(row.reason)))
            << row.name << ": " << result.reason.toStdString();
    }
}

TEST(MailScript, PasswordReachesTheScriptOnStandardInputOnly)
{
    SmtpTestServer::Options options = serverOptions(Mode::StartTls);
    options.gate = true;
    SmtpTestServer server(options);
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
    const MailMessage m = message(server.port(), QStringLiteral("N"));
    const MailScript script = trusting(testCertificates().cert);

    MailResult result;
    std::thread sending([&] { result = sendEmail_pyth(m, script); });
    // The script is logged in and holds the message: look at every process.
    const bool held = server.waitForHeldMessage();
    QStringList scriptArguments;
    QStringList scriptEnvironment;
    QStringList showingPassword;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs)) {
        const QStringList arguments = procStrings(QStringLiteral("/proc/%1/cmdline").arg(pid));
        const QStringList environment = procStrings(QStringLiteral("/proc/%1/environ").arg(pid));
        if ((arguments + environment).join(QLatin1Char('\n')).contains(m.password))
            showingPassword << arguments.join(QLatin1Char(' '));
        // Ours: other suites may be sending at the same time.
        if (parentOf(pid) == ::getpid() && arguments.size() > 1
            && arguments[1].endsWith(QLatin1String("pyth_mail.py"))) {
            scriptArguments = arguments;
            scriptEnvironment = environment;
        }
    }
    server.releaseHeldMessage();
    sending.join();
    ASSERT_TRUE(held);

    EXPECT_TRUE(showingPassword.isEmpty()) << showingPassword.join(QLatin1Char('\n')).toStdString();
    // Without attachments the arguments end with the SSL flag.
    EXPECT_EQ(scriptArguments, (QStringList{script.interpreter, defaultMailScriptPath(), m.sender, m.smtp, m.port,
                                            m.sender, m.toAddress, m.subject, m.body, m.enableSsl}));
    scriptEnvironment.sort();
    EXPECT_EQ(scriptEnvironment, (QStringList{QStringLiteral("PATH=/bin:/usr/bin:/usr/local/bin"),
                                              QStringLiteral("PYTHONPATH="),
                                              QStringLiteral("SSL_CERT_FILE=") + script.trustedCertificates}));
    EXPECT_TRUE(result.sent) << result.reason.toStdString();
}

TEST(MailScript, TheBodyArrivesAsTypedAndNoAttachmentNameCarriesAPath)
{
    TempFolder folder;
    // A file name this system allows, which other systems read as a path.
    const QString odd = folder.file(QStringLiteral("..\\..\\x.pdf"));
    writeTestFile(odd, "%PDF-1.4 test");
    SmtpTestServer server(serverOptions(Mode::StartTls));
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
    MailMessage m = message(server.port(), QStringLiteral("N"));
    // Lines an mbox writer would quote or a text encoder would change: a
    // leading "From ", a lone dot, trailing blanks, a long line, and no line
    // end at the end.
    m.body = QStringLiteral("From the desk of Ann\nFrom here on, cards.\n.\n>quoted  \n") + QString(300, QLatin1Char('x'))
             + QStringLiteral("\nlast line");
    m.attachments = {odd};
    const MailResult result = sendEmail_pyth(m, trusting(testCertificates().cert));
    ASSERT_TRUE(result.sent) << result.reason.toStdString();
    const QList<QJsonObject> got = server.messages();
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got.first()["body"].toString(), m.body);
    const QJsonArray attached = got.first()["attachments"].toArray();
    ASSERT_EQ(attached.size(), 1);
    const QString name = attached[0]["name"].toString();
    EXPECT_EQ(name, QStringLiteral("x.pdf"));
    EXPECT_FALSE(name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')));
    EXPECT_EQ(QByteArray::fromBase64(attached[0]["data"].toString().toLatin1()), "%PDF-1.4 test");
}
