// The e-mail settings file: where it lives, what it holds as Python's
// plistlib reads it, and that nobody but its user can read it.
#include "output/mail/EmailSettings.h"
#include "tests/batch_data/zip/PythonRunner.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <optional>

#include <sys/stat.h>

using namespace output::mail;
using namespace quorvant::test;

namespace {

unsigned mode(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0xFFFF;
}

// The file as Python's own plist reader sees it.
QVariantMap readWithPython(const QString &path)
{
    const PythonResult r = runPython(QStringLiteral("import json, plistlib, sys\n"
                                                    "print(json.dumps(plistlib.load(open(sys.argv[1], 'rb'))))"),
                                     {path});
    EXPECT_TRUE(r.ok) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out.toUtf8()).object().toVariantMap();
}

const EmailSettings kNothingStored{QString(""), QString(""), QString(""), QString(""), QString(""), QString()};

} // namespace

TEST(EmailSettings, AMissingOrEmptyFileIsMadeAnewAndADamagedOneIsKept)
{
    TempFolder folder;
    const struct {
        const char *name;
        std::optional<QByteArray> content;
        bool damaged; // kept byte for byte, with a reason
    } rows[] = {
        {"missing", std::nullopt, false},
        {"empty", "", false},
        {"not XML", "SendEmailPwd=secret", true},
        {"an array", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string></array></plist>", true},
        {"cut short", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>SendEmailPwd</key><str", true},
        {"a bare &", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>SendEmailPwd</key>"
                     "<string>Tom&Jerry</string></dict></plist>", true},
    };
    for (const auto &row : rows) {
        const QString path = folder.file(QString::fromLatin1(row.name));
        if (row.content) {
            writeTestFile(path, *row.content);
            QFile::setPermissions(path, QFileDevice::Permissions(0x6644));
        }
        const Preferences store(path);
        // Every text empty, the SSL choice absent.
        EXPECT_EQ(store.values(), kNothingStored) << row.name;
        EXPECT_TRUE(store.values().send_email_enable_ssl.isNull()) << row.name;
        EXPECT_EQ(store.loadProblem().isEmpty(), !row.damaged) << row.name;
        if (row.damaged) {
            EXPECT_EQ(readTestFile(path), *row.content) << row.name;
        } else {
            EXPECT_EQ(QFileInfo(path).size(), 0) << row.name;
            EXPECT_EQ(mode(path), 0600u) << row.name;
        }
    }
}

TEST(EmailSettings, EverySaveIsPrivateAndHoldsAllSixKeys)
{
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("com.zelt.card.plist"));
    const EmailSettings saves[] = {
        {"Test@Example.net", "Sender@Example.org", "pässwörd ✓", "smtp.example.org", "465", "Y"},
        {"", "other@example.org", "   ", "mail.example.org", "587", "N"},
    };
    for (const EmailSettings &settings : saves) {
        // A file left readable by others (an older copy, a restore) is
        // narrowed by the save.
        if (QFileInfo::exists(path))
            QFile::setPermissions(path, QFileDevice::Permissions(0x6666));
        Preferences store(path);
        store.setValues(settings);
        QString why;
        ASSERT_TRUE(store.flush(&why)) << why.toStdString();
        EXPECT_EQ(mode(path), 0600u);
        const QVariantMap expected{{"SendEmailRecipient", settings.send_email_Recipient},
                                   {"SendEmailSender", settings.send_email_SenderEmail},
                                   {"SendEmailPwd", settings.send_email_Password},
                                   {"SendEmailSMTP", settings.send_email_SMTP_server},
                                   {"SendEmailPORT", settings.send_email_PORT_num},
                                   {"SendEnableSSL", settings.send_email_enable_ssl}};
        EXPECT_EQ(readWithPython(path), expected);
        EXPECT_EQ(Preferences(path).values(), settings);
    }
}

TEST(EmailSettings, AFailedSaveSaysWhy)
{
    TempFolder folder;
    // A folder where the file should be: nothing can be written there.
    const QString path = folder.file(QStringLiteral("com.zelt.card.plist"));
    QDir().mkpath(path);
    Preferences store(path);
    store.setValues({"", "a@b.cd", "x", "s", "1", "Y"});
    QString why;
    EXPECT_FALSE(store.flush(&why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST(EmailSettings, ASaveOntoAFullDiskKeepsTheEarlierFileAndSaysWhy)
{
    // Room for the short settings, not for the long ones: the earlier file
    // stays whole, where the save used to leave it empty.
    SmallDisk disk(4, 1);
    const QString path = disk.file(QStringLiteral("com.zelt.card.plist"));
    const EmailSettings saved{"", "a@b.cd", "x", "smtp.b.cd", "465", "Y"};
    Preferences store(path);
    store.setValues(saved);
    QString why;
    ASSERT_TRUE(store.flush(&why)) << why.toStdString();
    const QByteArray before = readTestFile(path);
    store.setValues({"", "a@b.cd", QString(5000, 'p'), "smtp.b.cd", "465", "Y"});
    EXPECT_FALSE(store.flush(&why));
    EXPECT_EQ(why, disk.fullReason());
    EXPECT_EQ(readTestFile(path), before);
    EXPECT_EQ(Preferences(path).values(), saved);
}

TEST(EmailSettings, GetEmailDetailsCopiesTheStoredSettings)
{
    // The user's configuration folder, the user's alone.
    const QString path = Preferences::defaultPath();
    EXPECT_EQ(path, qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quorvant/com.zelt.card.plist"));
    EXPECT_EQ(mode(QFileInfo(path).absolutePath()), 0700u);
    Preferences store = Preferences::sharedInstance();
    store.setValues({"t@example.net", "Me@Example.org", "pw", "smtp.example.org", "465", "Y"});
    ASSERT_TRUE(store.flush());
    Get_Email_Details();
    EXPECT_EQ((QStringList{sender_email, sender_pwd, sending_server, sending_port, send_enable_ssl}),
              (QStringList{"Me@Example.org", "pw", "smtp.example.org", "465", "Y"}));
}

TEST(EmailSettings, AddressCheck)
{
    const struct {
        const char *address;
        bool valid;
    } rows[] = {
        // The rule: at least 6 characters after trimming, one "@", a ".".
        {"a@b.cd", true},
        {"  a@b.cd \n", true},
        {"a@b.c", false},
        {"a@b@cd.ef", false},
        {"abc@defgh", false},
        {"", false},
    };
    for (const auto &row : rows)
        EXPECT_EQ(isValidEmail(QString::fromUtf8(row.address)), row.valid) << row.address;
}
