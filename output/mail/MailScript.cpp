#include "output/mail/MailScript.h"

#include "platform/Log.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <climits>

namespace output::mail {

namespace {

// Time the killed script gets to go before its process is left behind.
constexpr int kKillGraceMs = 5000;

QString lastLine(const QByteArray &output)
{
    const QList<QByteArray> lines = output.trimmed().split('\n');
    return lines.isEmpty() ? QString() : QString::fromUtf8(lines.last()).trimmed();
}

MailResult runScript(const MailMessage &message, const MailScript &script)
{
    const QString scriptPath = script.scriptPath.isEmpty() ? defaultMailScriptPath() : script.scriptPath;
    if (!QFileInfo(scriptPath).isFile())
        return {false, QStringLiteral("The mail script %1 is missing.").arg(scriptPath)};

    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PYTHONPATH"), QString());
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/bin:/usr/bin:/usr/local/bin"));
    if (!script.trustedCertificates.isEmpty())
        environment.insert(QStringLiteral("SSL_CERT_FILE"), script.trustedCertificates);

    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(script.interpreter,
                  QStringList{scriptPath, message.sender, message.smtp, message.port, message.sender,
                              message.toAddress, message.subject, message.body, message.enableSsl}
                      + message.attachments);
    if (!process.waitForStarted())
        return {false, QStringLiteral("The mail script could not be started: %1").arg(process.errorString())};

    process.write(message.password.toUtf8() + "\nDescription");
    process.closeWriteChannel();
    const auto limit = script.timeout.count();
    if (!process.waitForFinished(limit > 0 && limit < INT_MAX ? int(limit) : -1)) {
        process.kill();
        process.waitForFinished(kKillGraceMs);
        return {false, QStringLiteral("The mail script did not finish within %1 seconds and was stopped.")
                           .arg(double(limit) / 1000.0)};
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return {false, QStringLiteral("The mail script stopped abnormally.")};
    if (process.exitCode() != 0) {
        const QString said = lastLine(process.readAll());
        return {false, said.isEmpty() ? QStringLiteral("The mail script ended with status %1.").arg(process.exitCode())
                                      : said};
    }
    return {true, {}};
}

} // namespace

QString defaultMailScriptPath()
{
    return QDir(platform::bundleResourcesPath()).filePath(QStringLiteral("pyth_mail.py"));
}

MailResult sendEmail_pyth(const MailMessage &message, const MailScript &script)
{
    MailResult result = runScript(message, script);
    if (result.sent)
        platform::log(QStringLiteral("Successfully sent message \"%1\" to address %2")
                          .arg(message.subject, message.toAddress));
    else
        platform::log(QStringLiteral("WARNING: Could not send email message \"%1\" to address %2: %3")
                          .arg(message.subject, message.toAddress, result.reason));
    return result;
}

} // namespace output::mail
