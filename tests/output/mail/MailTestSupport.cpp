#include "tests/output/mail/MailTestSupport.h"

#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorvant::test {

namespace {

constexpr int kStartMs = 30000;

QString makeCertificate(const QString &folder, const QString &name, const QString &subjectAltName)
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=") + name, QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=") + subjectAltName, QStringLiteral("-days"), QStringLiteral("2"),
                   QStringLiteral("-keyout"), QDir(folder).filePath(name + QStringLiteral(".key")),
                   QStringLiteral("-out"), QDir(folder).filePath(name + QStringLiteral(".pem"))});
    if (!openssl.waitForFinished(kStartMs) || openssl.exitCode() != 0)
        return QStringLiteral("openssl could not make a certificate: ")
               + QString::fromUtf8(openssl.readAllStandardError());
    return {};
}

} // namespace

const TestCertificates &testCertificates()
{
    static TempFolder folder;
    static const TestCertificates made = [] {
        TestCertificates c;
        const QString dir = folder.path();
        c.failure = makeCertificate(dir, QStringLiteral("localhost"), QStringLiteral("DNS:localhost,IP:127.0.0.1"));
        if (c.failure.isEmpty())
            c.failure =
                makeCertificate(dir, QStringLiteral("mail.example.org"), QStringLiteral("DNS:mail.example.org"));
        c.cert = folder.file(QStringLiteral("localhost.pem"));
        c.key = folder.file(QStringLiteral("localhost.key"));
        c.otherHostCert = folder.file(QStringLiteral("mail.example.org.pem"));
        c.otherHostKey = folder.file(QStringLiteral("mail.example.org.key"));
        c.trustBoth = folder.file(QStringLiteral("both.pem"));
        QFile both(c.trustBoth);
        if (c.failure.isEmpty() && both.open(QIODevice::WriteOnly))
            both.write(readTestFile(c.cert) + readTestFile(c.otherHostCert));
        return c;
    }();
    return made;
}

SmtpTestServer::SmtpTestServer(const Options &options)
    : m_folder(std::make_unique<TempFolder>())
{
    const TestCertificates &certificates = testCertificates();
    if (!certificates.failure.isEmpty()) {
        m_failure = certificates.failure;
        return;
    }
    const QString out = m_folder->file(QStringLiteral("out"));
    QDir().mkpath(out);
    const QString passwordFile = m_folder->file(QStringLiteral("password"));
    writeTestFile(passwordFile, options.password.toUtf8());

    static const char *modes[] = {"implicit", "starttls", "plain"};
    const bool other = options.otherHostCertificate;
    QStringList args{QStringLiteral(QUORVANT_SOURCE_DIR "/tests/output/mail/smtp_test_server.py")};
    args << QStringLiteral("--mode") << QString::fromLatin1(modes[int(options.mode)]);
    args << QStringLiteral("--cert") << (other ? certificates.otherHostCert : certificates.cert);
    args << QStringLiteral("--key") << (other ? certificates.otherHostKey : certificates.key);
    args << QStringLiteral("--user") << options.user << QStringLiteral("--password-file") << passwordFile;
    args << QStringLiteral("--out") << out << QStringLiteral("--lifetime") << QStringLiteral("300");
    if (options.gate)
        args << QStringLiteral("--gate");
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(QStringLiteral("/usr/bin/python3"), args);
    while (m_port == 0 && m_process.waitForReadyRead(kStartMs)) {
        while (m_process.canReadLine()) {
            const QByteArray line = m_process.readLine().trimmed();
            if (line.startsWith("READY "))
                m_port = line.mid(6).toInt();
        }
    }
    if (m_port == 0)
        m_failure = QStringLiteral("the SMTP server did not start: ")
                    + QString::fromUtf8(m_process.readAllStandardError());
}

SmtpTestServer::~SmtpTestServer()
{
    // The end of its standard input stops the server.
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(kStartMs)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

QList<QJsonObject> SmtpTestServer::messages() const
{
    QStringList files = QDir(m_folder->file(QStringLiteral("out")))
                            .entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    QList<QJsonObject> found;
    for (const QString &name : files)
        found << QJsonDocument::fromJson(readTestFile(m_folder->file(QStringLiteral("out/") + name))).object();
    return found;
}

bool SmtpTestServer::waitForHeldMessage(int ms)
{
    // The main thread keeps serving the program meanwhile: a run may be
    // waiting for it to draw a card.
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        while (m_process.canReadLine())
            if (m_process.readLine().trimmed() == "DATA")
                return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        m_process.waitForReadyRead(10);
    }
    return false;
}

void SmtpTestServer::releaseHeldMessage()
{
    m_process.write("go\n");
    m_process.waitForBytesWritten();
}

int closedPort()
{
    // A port the system just handed out and took back: nothing listens there.
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(s, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(s);
    return port;
}

platform::Image qrCard(const QString &text)
{
    const ZXing::BitMatrix bits =
        ZXing::MultiFormatWriter(ZXing::BarcodeFormat::QRCode).setMargin(0).encode(text.toStdString(), 0, 0);
    return platform::Image::record(QSizeF(144, 90), [&](QPainter &p) {
        p.fillRect(QRectF(0, 0, 144, 90), Qt::white);
        const double module = 70.0 / bits.width();
        for (int y = 0; y < bits.height(); ++y)
            for (int x = 0; x < bits.width(); ++x)
                if (bits.get(x, y))
                    p.fillRect(QRectF(10 + x * module, 10 + y * module, module, module), Qt::black);
    });
}

QString readQr(const QImage &image)
{
    return QString::fromStdString(decodeBarcode(image, ZXing::BarcodeFormat::QRCode).text);
}

QString readQr(const QByteArray &fileBytes)
{
    return readQr(QImage::fromData(fileBytes));
}

QByteArray attachmentBytes(const QJsonObject &mail, int index)
{
    return QByteArray::fromBase64(mail["attachments"].toArray()[index].toObject()["data"].toString().toLatin1());
}

AlertLog::AlertLog(int answer)
    : responder([this, answer](const platform::AlertRequest &r) {
          texts << r.text.trimmed();
          return answer;
      })
{
}

} // namespace quorvant::test
