#include "output/mail_window/Email_Setting.h"

#include "design_window/Globals.h"
#include "design_window/SingleInstance.h"
#include "output/mail/EmailSettings.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace output::mail;

namespace {

const QString kTestMailFailure = QStringLiteral(
    "Please make sure that:\n1. Entered E-mail settings are correct.\n2. Internet connectivity to E-mail server is "
    "not interrupted and E-mail server is not down.\n3. Your Firewall or Security software (if any) is not blocking "
    "the software to communicate with your E-mail server.");

} // namespace

namespace output::mail {

void applyDialogBackground(QWidget &dialog)
{
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Window, QColor(241, 244, 250));
    dialog.setPalette(palette);
    dialog.setAutoFillBackground(true);
}

} // namespace output::mail

Email_Setting::Email_Setting(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("Email_Setting");
    setWindowTitle(tr("E-mail Settings"));
    applyDialogBackground(*this);

    auto field = [this](const char *name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setMinimumWidth(260);
        return edit;
    };
    _send_mail_sender_mail = field("_send_mail_sender_mail");
    _send_mail_password = field("_send_mail_password");
    _send_mail_password->setEchoMode(QLineEdit::Password);
    _send_mail_smtp = field("_send_mail_smtp");
    _send_mail_port = field("_send_mail_port");
    _send_mail_to = field("_send_mail_to");

    _send_mail_ssl = new QRadioButton(tr("SSL (secure from the start, usually port 465)"), this);
    _send_mail_ssl->setObjectName("_send_mail_ssl");
    _send_mail_tls = new QRadioButton(tr("TLS (STARTTLS, usually port 587)"), this);
    _send_mail_tls->setObjectName("_send_mail_tls");
    _send_mail_tls->setChecked(true);
    auto *security = new QGroupBox(tr("Connection security"), this);
    security->setObjectName("security_box");
    auto *securityLayout = new QVBoxLayout(security);
    securityLayout->addWidget(_send_mail_ssl);
    securityLayout->addWidget(_send_mail_tls);
    connect(_send_mail_ssl, &QRadioButton::clicked, this, &Email_Setting::SSL_Selected);
    connect(_send_mail_tls, &QRadioButton::clicked, this, &Email_Setting::TLS_Selected);

    _send_mail_result_status = new QLabel(this);
    _send_mail_result_status->setObjectName("_send_mail_result_status");
    _send_mail_result_status->setWordWrap(true);
    _send_mail_result_status->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    _send_mail_result_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto button = [this](const QString &title, const char *name, void (Email_Setting::*handler)()) {
        auto *b = new QPushButton(title, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    test_btn = button(tr("Send Test Mail"), "test_btn", &Email_Setting::Send_Test_Email);
    reset_btn = button(tr("Reset"), "reset_btn", &Email_Setting::Reset_Button);
    save_btn = button(tr("Save"), "save_btn", &Email_Setting::Save_Button);
    close_btn = button(tr("Close"), "close_btn", &Email_Setting::Close_Button);
    save_btn->setDefault(true);

    auto *form = new QFormLayout;
    form->addRow(tr("Sender e-mail:"), _send_mail_sender_mail);
    form->addRow(tr("Password:"), _send_mail_password);
    form->addRow(tr("SMTP server:"), _send_mail_smtp);
    form->addRow(tr("Port:"), _send_mail_port);
    auto *test = new QGroupBox(tr("Test mail"), this);
    test->setObjectName("test_box");
    auto *testForm = new QFormLayout(test);
    testForm->addRow(tr("Recipient:"), _send_mail_to);
    auto *testRow = new QHBoxLayout;
    testRow->addStretch();
    testRow->addWidget(test_btn);
    testForm->addRow(testRow);
    testForm->addRow(_send_mail_result_status);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(reset_btn);
    buttons->addStretch();
    buttons->addWidget(close_btn);
    buttons->addWidget(save_btn);

    auto *layout = new QVBoxLayout(this);
    // Never smaller than what it shows (the test mail's status grows).
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    layout->addLayout(form);
    layout->addWidget(security);
    layout->addWidget(test);
    layout->addLayout(buttons);

    plz_wait_Window = new PleaseWaitSheet(this);

    // What the last test mail found says nothing about settings changed
    // since.
    for (QLineEdit *edit :
         {_send_mail_to, _send_mail_sender_mail, _send_mail_smtp, _send_mail_port, _send_mail_password})
        connect(edit, &QLineEdit::textChanged, this, [this] { showStatus(QString()); });
    connect(_send_mail_ssl, &QRadioButton::toggled, this, [this] { showStatus(QString()); });
    showStatus(QString());
}

void Email_Setting::showStatus(const QString &text)
{
    _send_mail_result_status->setText(text);
    // A wrapped label asks its layout for no more height than its shortest
    // line needs: it is given the height its text takes at its width, and
    // the window grows to show it whole.
    const int lines = qMax(2, int(text.count(QLatin1Char('\n'))) + 1);
    const int shownWidth = qMax(_send_mail_result_status->width(), _send_mail_to->minimumWidth());
    _send_mail_result_status->setMinimumHeight(
        qMax(_send_mail_result_status->heightForWidth(shownWidth), lines * fontMetrics().lineSpacing()));
    if (QLayout *box = _send_mail_result_status->parentWidget()->layout())
        box->invalidate();
    layout()->invalidate();
    layout()->activate();
}

Email_Setting::~Email_Setting()
{
    // A test mail on its way ends within the script's time-out.
    if (m_testMail.joinable())
        m_testMail.join();
}

Email_Setting &Email_Setting::defaultInstance()
{
    return design_window::singleInstance<Email_Setting>();
}

int Email_Setting::Open_Wnd()
{
    loadPreferences();
    const int result = platform::runModal(*this);
    hide();
    return result;
}

void Email_Setting::loadPreferences()
{
    const EmailSettings stored = Preferences::sharedInstance().values();
    _send_mail_to->setText(stored.send_email_Recipient);
    _send_mail_sender_mail->setText(stored.send_email_SenderEmail);
    _send_mail_smtp->setText(stored.send_email_SMTP_server);
    _send_mail_port->setText(stored.send_email_PORT_num);
    _send_mail_password->setText(stored.send_email_Password);
    if (stored.send_email_enable_ssl == QLatin1String("Y"))
        SSL_Selected();
    else
        TLS_Selected();
}

QString Email_Setting::sslFlag() const
{
    return _send_mail_ssl->isChecked() && !_send_mail_tls->isChecked() ? QStringLiteral("Y") : QStringLiteral("N");
}

bool Email_Setting::flushPreferences()
{
    Preferences store = Preferences::sharedInstance();
    store.setValues({_send_mail_to->text(), _send_mail_sender_mail->text(), _send_mail_password->text(),
                     _send_mail_smtp->text(), _send_mail_port->text(), sslFlag()});
    QString why;
    if (store.flush(&why))
        return true;
    Show_MessageBox(QStringLiteral("The e-mail settings could not be saved.\n\n") + why);
    return false;
}

bool Email_Setting::Check_Validation(bool withRecipient)
{
    const struct {
        bool failed;
        const char *message;
        QLineEdit *field;
    } checks[] = {
        {_send_mail_sender_mail->text().isEmpty(), "Please enter sender E-mail.", _send_mail_sender_mail},
        {!isValidEmail(_send_mail_sender_mail->text()), "Please enter valid sender E-mail address.",
         _send_mail_sender_mail},
        {_send_mail_password->text().isEmpty(), "Please enter password.", _send_mail_password},
        {_send_mail_smtp->text().isEmpty(), "Please enter SMTP server.", _send_mail_smtp},
        {_send_mail_port->text().isEmpty(), "Please enter port number.", _send_mail_port},
        {withRecipient && _send_mail_to->text().isEmpty(), "Please enter recipient E-mail address.", _send_mail_to},
        {withRecipient && !isValidEmail(_send_mail_to->text()), "Please enter valid recipient E-mail address.",
         _send_mail_to},
    };
    for (const auto &check : checks) {
        if (!check.failed)
            continue;
        Show_MessageBox(QString::fromLatin1(check.message));
        check.field->setFocus();
        return false;
    }
    return true;
}

void Email_Setting::Send_Test_Email()
{
    if (testMailRunning() || !Check_Validation(true))
        return;
    Show_Create_Modeless();
    MailMessage message;
    message.toAddress = _send_mail_to->text().toLower();
    message.sender = _send_mail_sender_mail->text().toLower();
    message.password = _send_mail_password->text();
    message.smtp = _send_mail_smtp->text();
    message.port = _send_mail_port->text();
    message.enableSsl = sslFlag();
    message.subject = design_window::App_Name + QStringLiteral(" Test Mail");
    message.body = QStringLiteral("This is test mail sent by ") + design_window::App_Name + QStringLiteral(".");
    showStatus(QStringLiteral("It may take a while, Please wait..."));
    m_testMail = std::thread([this, message, script = mailScript] {
        const MailResult result = sendEmail_pyth(message, script);
        // Queued to the dialog's thread; dropped if the dialog is gone.
        QMetaObject::invokeMethod(this, [this, result] { testMailDone(result); }, Qt::QueuedConnection);
    });
}

void Email_Setting::testMailDone(const MailResult &result)
{
    m_testMail.join();
    Hide_Destroy_Modeless();
    const QString text =
        result.sent ? QStringLiteral("E-mail has been sent successfully.")
                    : kTestMailFailure + QStringLiteral("\n\nCould not send email.\n") + result.reason;
    showStatus(text);
    Show_MessageBox(text);
    emit testMailFinished(result.sent);
}

void Email_Setting::Reset_Button()
{
    if (!Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to reset current email settings?")))
        return;
    Delete_File(Preferences::defaultPath());
    for (QLineEdit *edit :
         {_send_mail_to, _send_mail_sender_mail, _send_mail_smtp, _send_mail_port, _send_mail_password})
        edit->clear();
    showStatus(QString());
    TLS_Selected();
    Get_Email_Details();
}

void Email_Setting::Save_Button()
{
    if (Check_Validation(false) && flushPreferences())
        done(1);
}

void Email_Setting::Close_Button()
{
    done(0);
}

void Email_Setting::SSL_Selected()
{
    _send_mail_ssl->setChecked(true);
    _send_mail_tls->setChecked(false);
}

void Email_Setting::TLS_Selected()
{
    _send_mail_tls->setChecked(true);
    _send_mail_ssl->setChecked(false);
}

void Email_Setting::Show_Create_Modeless()
{
    plz_wait_Window->show();
}

void Email_Setting::Hide_Destroy_Modeless()
{
    plz_wait_Window->hide();
}
