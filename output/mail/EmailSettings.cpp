#include "output/mail/EmailSettings.h"

#include "platform/Files.h"
#include "platform/Helpers.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/PropertyList.h"

#include <QDir>
#include <QFile>

namespace output::mail {

const QString send_email_RecipientKey = QStringLiteral("SendEmailRecipient");
const QString send_email_SenderEmailKey = QStringLiteral("SendEmailSender");
const QString send_email_PasswordKey = QStringLiteral("SendEmailPwd");
const QString send_email_SMTP_serverKey = QStringLiteral("SendEmailSMTP");
const QString send_email_PORT_numKey = QStringLiteral("SendEmailPORT");
const QString send_email_Enable_SSLkey = QStringLiteral("SendEnableSSL");

QString sender_email;
QString sender_pwd;
QString sending_server;
QString sending_port;
QString send_enable_ssl;

namespace {

constexpr auto kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// All or nothing, and never readable by anyone else, not even while it is
// written: the temporary file is narrowed before the first byte goes in.
bool writePrivateFile(const QString &path, const QByteArray &data, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    platform::AtomicFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (!file.setPermissions(kOwnerOnly)) {
        file.cancelWriting();
        return fail(QStringLiteral("The settings file's access cannot be narrowed."));
    }
    if (file.write(data) != data.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace

Preferences::Preferences(QString path)
    : mPreferencesPath(std::move(path))
{
    QFile file(mPreferencesPath);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            m_loadProblem = file.errorString();
        } else if (const QByteArray bytes = file.readAll(); !bytes.isEmpty()) {
            QString why;
            const std::optional<QVariant> root = platform::readPropertyList(bytes, &why);
            if (root && root->typeId() == QMetaType::QVariantMap) {
                mDict = root->toMap();
                return;
            }
            m_loadProblem = root ? QStringLiteral("It holds no dictionary of settings.") : why;
        }
    }
    setDefaults();
    // Whatever the user had in a file that cannot be read stays there.
    if (!m_loadProblem.isEmpty())
        return;
    QString why;
    if (!writePrivateFile(mPreferencesPath, QByteArray(), &why))
        platform::log(QStringLiteral("The e-mail settings file %1 cannot be created: %2").arg(mPreferencesPath, why));
}

Preferences Preferences::sharedInstance()
{
    return Preferences(defaultPath());
}

QString Preferences::defaultPath()
{
    return QDir(platform::userConfigPath()).filePath(QStringLiteral("com.zelt.card.plist"));
}

void Preferences::setDefaults()
{
    for (const QString &key : {send_email_RecipientKey, send_email_SenderEmailKey, send_email_PasswordKey,
                               send_email_SMTP_serverKey, send_email_PORT_numKey})
        mDict.insert(key, QString());
}

EmailSettings Preferences::values() const
{
    auto text = [&](const QString &key) {
        const auto found = mDict.constFind(key);
        return found == mDict.constEnd() ? QString() : found->toString();
    };
    return {text(send_email_RecipientKey), text(send_email_SenderEmailKey), text(send_email_PasswordKey),
            text(send_email_SMTP_serverKey), text(send_email_PORT_numKey), text(send_email_Enable_SSLkey)};
}

void Preferences::setValues(const EmailSettings &settings)
{
    mDict.insert(send_email_RecipientKey, settings.send_email_Recipient);
    mDict.insert(send_email_SenderEmailKey, settings.send_email_SenderEmail);
    mDict.insert(send_email_PasswordKey, settings.send_email_Password);
    mDict.insert(send_email_SMTP_serverKey, settings.send_email_SMTP_server);
    mDict.insert(send_email_PORT_numKey, settings.send_email_PORT_num);
    if (settings.send_email_enable_ssl.isNull())
        mDict.remove(send_email_Enable_SSLkey);
    else
        mDict.insert(send_email_Enable_SSLkey, settings.send_email_enable_ssl);
}

bool Preferences::flush(QString *error) const
{
    return writePrivateFile(mPreferencesPath, platform::writePropertyList(mDict), error);
}

QString Get_Email_Details()
{
    const Preferences store = Preferences::sharedInstance();
    const EmailSettings stored = store.values();
    sender_email = stored.send_email_SenderEmail;
    sender_pwd = stored.send_email_Password;
    sending_server = stored.send_email_SMTP_server;
    sending_port = stored.send_email_PORT_num;
    send_enable_ssl = stored.send_email_enable_ssl;
    return store.loadProblem();
}

bool isValidEmail(const QString &address)
{
    const QString trimmed = Trim_Str(address);
    return trimmed.size() >= 6 && trimmed.split(QLatin1Char('@')).size() == 2
           && trimmed.split(QLatin1Char('.')).size() >= 2;
}

} // namespace output::mail
