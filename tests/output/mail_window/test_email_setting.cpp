// The e-mail settings dialog, driven through its handlers with the user's
// answers scripted; its test mail goes to a real SMTP server.
#include "design_window/ResourceFolder.h"
#include "design_window/TVNWindowController.h"
#include "output/mail/EmailSettings.h"
#include "output/mail_window/Email_Setting.h"
#include "platform/Alerts.h"
#include "platform/ModalRun.h"
#include "platform/PropertyList.h"
#include "tests/output/mail/MailTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace output::mail;
using namespace quorvant::test;

namespace {

struct Fields {
    QString sender, password, smtp, port, recipient;
};

void fill(Email_Setting &dialog, const Fields &f)
{
    dialog._send_mail_sender_mail->setText(f.sender);
    dialog._send_mail_password->setText(f.password);
    dialog._send_mail_smtp->setText(f.smtp);
    dialog._send_mail_port->setText(f.port);
    dialog._send_mail_to->setText(f.recipient);
}

Fields shown(const Email_Setting &dialog)
{
    return {dialog._send_mail_sender_mail->text(), dialog._send_mail_password->text(), dialog._send_mail_smtp->text(),
            dialog._send_mail_port->text(), dialog._send_mail_to->text()};
}

bool operator==(const Fields &a, const Fields &b)
{
    return QStringList{a.sender, a.password, a.smtp, a.port, a.recipient}
           == QStringList{b.sender, b.password, b.smtp, b.port, b.recipient};
}

unsigned mode(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0xFFFF;
}

} // namespace

TEST(EmailSettingDialog, ChecksStopAtTheFirstFailureAndFocusItsField)
{
    Email_Setting dialog;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    const Fields good{"Me@Example.org", "   ", "smtp.example.org", "587", "reader@example.net"};
    const struct {
        const char *name;
        Fields fields;
        bool withRecipient;
        const char *message; // "" when every check passes
        QLineEdit *Email_Setting::*focus;
    } rows[] = {
        {"all empty", {}, false, "Please enter sender E-mail.", &Email_Setting::_send_mail_sender_mail},
        {"5 characters", {"a@b.c", "p", "s", "1", ""}, false, "Please enter valid sender E-mail address.",
         &Email_Setting::_send_mail_sender_mail},
        {"no password", {"me@example.org", "", "s", "1", ""}, false, "Please enter password.",
         &Email_Setting::_send_mail_password},
        {"no server", {"me@example.org", "p", "", "1", ""}, false, "Please enter SMTP server.",
         &Email_Setting::_send_mail_smtp},
        {"no port", {"me@example.org", "p", "s", "", ""}, false, "Please enter port number.",
         &Email_Setting::_send_mail_port},
        // A password of blanks is a password; saving needs no recipient.
        {"save without recipient", {good.sender, good.password, good.smtp, good.port, ""}, false, "", nullptr},
        {"test without recipient", {good.sender, good.password, good.smtp, good.port, ""}, true,
         "Please enter recipient E-mail address.", &Email_Setting::_send_mail_to},
        {"test, recipient without dot", {good.sender, good.password, good.smtp, good.port, "x@localhost"}, true,
         "Please enter valid recipient E-mail address.", &Email_Setting::_send_mail_to},
        {"test, all good", good, true, "", nullptr},
    };
    for (const auto &row : rows) {
        fill(dialog, row.fields);
        dialog.close_btn->setFocus();
        AlertLog alerts;
        const bool passed = dialog.Check_Validation(row.withRecipient);
        const QString expected = QString::fromLatin1(row.message);
        EXPECT_EQ(passed, expected.isEmpty()) << row.name;
        EXPECT_EQ(alerts.texts, expected.isEmpty() ? QStringList() : QStringList{expected}) << row.name;
        if (row.focus) {
            EXPECT_EQ(QApplication::focusWidget(), dialog.*row.focus) << row.name;
        }
    }
}

TEST(EmailSettingDialog, SaveKeepsTheFieldsAsTypedAndCloseKeepsTheFile)
{
    const QString path = Preferences::defaultPath();
    QFile::remove(path);
    Email_Setting dialog;
    const Fields typed{"Me@Example.ORG", "pässwörd ", " smtp.example.org", "465", "Reader@Example.net"};

    // Nothing stored: the dialog opens on TLS, empty.
    {
        platform::ScopedModalResponder user([&](QDialog &) {
            EXPECT_TRUE(dialog._send_mail_tls->isChecked());
            EXPECT_TRUE(shown(dialog) == Fields{});
            fill(dialog, typed);
            dialog._send_mail_ssl->click();
            dialog.save_btn->click();
            return dialog.result();
        });
        EXPECT_EQ(dialog.Open_Wnd(), 1);
    }
    EXPECT_EQ(Preferences::sharedInstance().values(),
              (EmailSettings{typed.recipient, typed.sender, typed.password, typed.smtp, typed.port, "Y"}));
    EXPECT_EQ(mode(path), 0600u);

    // Shown again as saved; edits closed away leave the file as it was.
    const QByteArray saved = readTestFile(path);
    {
        platform::ScopedModalResponder user([&](QDialog &) {
            EXPECT_TRUE(shown(dialog) == typed);
            EXPECT_TRUE(dialog._send_mail_ssl->isChecked() && !dialog._send_mail_tls->isChecked());
            fill(dialog, {"other@example.org", "x", "y", "1", ""});
            dialog._send_mail_tls->click();
            dialog.close_btn->click();
            return dialog.result();
        });
        EXPECT_EQ(dialog.Open_Wnd(), 0);
    }
    EXPECT_EQ(readTestFile(path), saved);
}

TEST(EmailSettingDialog, ResetEmptiesEverythingOnYesOnly)
{
    Preferences store = Preferences::sharedInstance();
    store.setValues({"r@example.net", "me@example.org", "pw", "smtp.example.org", "465", "Y"});
    ASSERT_TRUE(store.flush());
    Get_Email_Details();
    Email_Setting dialog;
    dialog.loadPreferences();
    const Fields before = shown(dialog);
    const QByteArray saved = readTestFile(Preferences::defaultPath());

    {
        AlertLog no(1);
        dialog.Reset_Button();
        EXPECT_EQ(no.texts, QStringList{"Are you sure you want to reset current email settings?"});
    }
    EXPECT_TRUE(shown(dialog) == before);
    EXPECT_EQ(readTestFile(Preferences::defaultPath()), saved);

    {
        AlertLog yes(0);
        dialog.Reset_Button();
    }
    EXPECT_TRUE(shown(dialog) == Fields{});
    EXPECT_TRUE(dialog._send_mail_tls->isChecked() && !dialog._send_mail_ssl->isChecked());
    EXPECT_EQ(QFileInfo(Preferences::defaultPath()).size(), 0);
    EXPECT_EQ((QStringList{sender_email, sender_pwd, sending_server, sending_port}), QStringList(4, QString()));
}

TEST(EmailSettingDialog, TestMailGoesOutWhileTheWindowKeepsAnswering)
{
    const QString password = QStringLiteral("Kennwört ✓");
    SmtpTestServer::Options options;
    options.mode = SmtpTestServer::Mode::StartTls;
    options.user = QStringLiteral("me@example.org"); // the test mail logs in lower-cased
    options.password = password;
    options.gate = true;
    SmtpTestServer server(options);
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();

    QFile::remove(Preferences::defaultPath());
    Email_Setting dialog;
    dialog.mailScript.trustedCertificates = testCertificates().cert;
    dialog.show();
    const QString failure = QStringLiteral(
        "Please make sure that:\n1. Entered E-mail settings are correct.\n2. Internet connectivity to E-mail server is "
        "not interrupted and E-mail server is not down.\n3. Your Firewall or Security software (if any) is not "
        "blocking the software to communicate with your E-mail server.\n\nCould not send email.");
    const struct {
        const char *name;
        QString password;
        bool sent;
    } rows[] = {{"right password", password, true}, {"wrong password", QStringLiteral("Kennwort"), false}};
    for (const auto &row : rows) {
        fill(dialog,
             {"Me@Example.org", row.password, "127.0.0.1", QString::number(server.port()), "Reader@Example.NET"});
        dialog._send_mail_tls->click();
        AlertLog alerts;
        std::optional<bool> finished;
        QEventLoop loop;
        QObject::connect(&dialog, &Email_Setting::testMailFinished, &loop, [&](bool sent) {
            finished = sent;
            loop.quit();
        });
        dialog.Send_Test_Email();
        // Back at once, the please-wait sheet up, while the mail is on its way.
        EXPECT_TRUE(dialog.testMailRunning()) << row.name;
        EXPECT_TRUE(dialog.plz_wait_Window->isVisible()) << row.name;
        EXPECT_EQ(dialog._send_mail_result_status->text(), "It may take a while, Please wait...") << row.name;
        if (row.sent) {
            ASSERT_TRUE(server.waitForHeldMessage()) << row.name;
            EXPECT_TRUE(dialog.testMailRunning()) << row.name;
            server.releaseHeldMessage();
        }
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
        ASSERT_TRUE(finished) << row.name;
        EXPECT_EQ(*finished, row.sent) << row.name;
        EXPECT_FALSE(dialog.plz_wait_Window->isVisible()) << row.name;
        const QString status = dialog._send_mail_result_status->text();
        if (row.sent)
            EXPECT_EQ(status, "E-mail has been sent successfully.") << row.name;
        else
            EXPECT_TRUE(status.startsWith(failure) && status.contains("535")) << status.toStdString();
        EXPECT_EQ(alerts.texts, QStringList{status.trimmed()}) << row.name;
        // Shown whole: the label is as tall as its wrapped text, inside its
        // box and the window.
        QApplication::processEvents();
        QLabel *shownStatus = dialog._send_mail_result_status;
        EXPECT_GE(shownStatus->height(), shownStatus->heightForWidth(shownStatus->width())) << row.name;
        auto *box = dialog.findChild<QWidget *>("test_box");
        EXPECT_TRUE(box->contentsRect().contains(shownStatus->geometry()))
            << row.name;
        EXPECT_LE(box->geometry().bottom(), dialog.height()) << row.name;
    }

    // A setting changed since: the result no longer stands.
    for (QWidget *field : std::initializer_list<QWidget *>{dialog._send_mail_port, dialog._send_mail_ssl}) {
        dialog._send_mail_result_status->setText(QStringLiteral("E-mail has been sent successfully."));
        if (field == dialog._send_mail_ssl) {
            dialog._send_mail_ssl->click();
        } else {
            QKeyEvent typed(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
            QApplication::sendEvent(field, &typed);
        }
        EXPECT_EQ(dialog._send_mail_result_status->text(), QString()) << field->objectName().toStdString();
    }

    const QList<QJsonObject> got = server.messages();
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0]["rcpt_tos"].toArray().toVariantList(), QVariantList{"reader@example.net"});
    EXPECT_EQ(got[0]["from"].toString(), "me@example.org");
    EXPECT_EQ(got[0]["subject"].toString(), "Quorvant Test Mail");
    EXPECT_EQ(got[0]["body"].toString().trimmed(), "This is test mail sent by Quorvant.");
    // The test mail saves nothing.
    EXPECT_FALSE(QFileInfo::exists(Preferences::defaultPath()));
}

TEST(EmailSettingDialog, AnUnreadableSettingsFileIsNamedAtStartAndKeptUntilTheUserSaves)
{
    TempFolder tmp;
    design_window::setResourceFolder(tmp.file("res"));
    const QString path = Preferences::defaultPath();
    const QByteArray stored = platform::writePropertyList(QVariantMap{
        {"SendEmailSender", "me@example.org"}, {"SendEmailPwd", "Tom&Jerry"}, {"SendEmailSMTP", "smtp.example.org"}});
    const struct {
        const char *name;
        QByteArray bytes;
    } rows[] = {
        {"cut short", stored.left(stored.indexOf("Tom&amp;"))},
        {"a bare & typed by hand", QByteArray(stored).replace("Tom&amp;Jerry", "Tom&Jerry")},
    };
    const Fields typed{"new@example.org", "pw", "mail.example.org", "587", ""};
    for (const auto &row : rows) {
        writeTestFile(path, row.bytes);
        {
            AlertLog alerts;
            // A window made without anyone to answer (the command-line
            // tools make one) asks nothing.
            auto window = std::make_unique<TVNWindowController>();
            EXPECT_EQ(alerts.texts, QStringList()) << row.name;
            // The program's start says it, once.
            window->showStartMessages();
            window->showStartMessages();
            ASSERT_EQ(alerts.texts.size(), 1) << row.name;
            EXPECT_TRUE(alerts.texts[0].startsWith("The e-mail settings file could not be read:\n" + path))
                << alerts.texts[0].toStdString();
        }
        EXPECT_EQ(sender_email, QString()) << row.name;
        EXPECT_EQ(readTestFile(path), row.bytes) << row.name;

        // The settings window shows nothing stored; closing it writes nothing,
        // saving writes a good file.
        Email_Setting dialog;
        for (QPushButton *button : {dialog.close_btn, dialog.save_btn}) {
            platform::ScopedModalResponder user([&](QDialog &) {
                EXPECT_TRUE(shown(dialog) == Fields{}) << row.name;
                fill(dialog, typed);
                button->click();
                return dialog.result();
            });
            dialog.Open_Wnd();
            if (button == dialog.close_btn) {
                EXPECT_EQ(readTestFile(path), row.bytes) << row.name;
            }
        }
        const Preferences saved(path);
        EXPECT_TRUE(saved.loadProblem().isEmpty()) << row.name;
        EXPECT_EQ(saved.values(), (EmailSettings{"", typed.sender, typed.password, typed.smtp, typed.port, "N"}))
            << row.name;
    }
}
