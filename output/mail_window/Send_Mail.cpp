#include "output/mail_window/Send_Mail.h"

#include "design_window/Globals.h"
#include "design_window/PanelSupport.h"
#include "design_window/SingleInstance.h"
#include "output/mail/EmailSettings.h"
#include "output/mail_window/Email_Setting.h"
#include "output/widgets/Send_Modeless.h"
#include "platform/Helpers.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/ModalRun.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QCoreApplication>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

using namespace output::mail;

namespace {

QSpinBox *stepper(QWidget *parent, const char *name, int minimum, int maximum)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(minimum, maximum);
    return box;
}

} // namespace

Send_Mail::Send_Mail(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("Send_Mail");
    setWindowTitle(tr("Send by E-mail"));
    applyDialogBackground(*this);

    auto line = [this](const char *name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        return edit;
    };
    from_txt = line("from_txt");
    to_txt = line("to_txt");
    to_txt->setPlaceholderText(tr("Addresses separated by commas"));
    subject_txt = line("subject_txt");
    message_txt = new QPlainTextEdit(this);
    message_txt->setObjectName("message_txt");
    message_txt->setMinimumHeight(90);
    settings_btn = new QPushButton(tr("Settings..."), this);
    settings_btn->setObjectName("settings_btn");
    settings_btn->setAutoDefault(false);
    connect(settings_btn, &QPushButton::clicked, this, &Send_Mail::Setting_Button);

    auto *fromRow = new QHBoxLayout;
    fromRow->addWidget(from_txt, 1);
    fromRow->addWidget(settings_btn);
    auto *message = new QFormLayout;
    message->addRow(tr("From:"), fromRow);
    message->addRow(tr("To:"), to_txt);
    message->addRow(tr("Subject:"), subject_txt);
    message->addRow(tr("Message:"), message_txt);

    rd_without_barcode = new QRadioButton(tr("Send without the card"), this);
    rd_without_barcode->setObjectName("rd_without_barcode");
    rd_mail_curr_barcode = new QRadioButton(tr("Send the card"), this);
    rd_mail_curr_barcode->setObjectName("rd_mail_curr_barcode");
    auto *withOrWithout = new QButtonGroup(this);
    withOrWithout->addButton(rd_without_barcode);
    withOrWithout->addButton(rd_mail_curr_barcode);
    connect(rd_without_barcode, &QRadioButton::clicked, this, &Send_Mail::Without_barcode_rd_select);
    connect(rd_mail_curr_barcode, &QRadioButton::clicked, this, &Send_Mail::send_barcode_rd_select);

    attachment = line("attachment");
    attachment->setPlaceholderText(tr("A file to attach (optional)"));
    browse_att = new QPushButton(tr("Browse..."), this);
    browse_att->setObjectName("browse_att");
    clear_att = new QPushButton(tr("Clear"), this);
    clear_att->setObjectName("clear_att");
    for (QPushButton *b : {browse_att, clear_att})
        b->setAutoDefault(false);
    connect(browse_att, &QPushButton::clicked, this, &Send_Mail::browse_att_Button);
    connect(clear_att, &QPushButton::clicked, this, &Send_Mail::clear_att_Button);
    auto *attachRow = new QHBoxLayout;
    attachRow->setContentsMargins(24, 0, 0, 0);
    attachRow->addWidget(attachment, 1);
    attachRow->addWidget(browse_att);
    attachRow->addWidget(clear_att);

    buildCardBox();
    buildPauseBox();

    send_btn = new QPushButton(tr("Send"), this);
    send_btn->setObjectName("send_btn");
    send_btn->setDefault(true);
    close_btn = new QPushButton(tr("Close"), this);
    close_btn->setObjectName("close_btn");
    close_btn->setAutoDefault(false);
    connect(send_btn, &QPushButton::clicked, this, &Send_Mail::Send_Button);
    connect(close_btn, &QPushButton::clicked, this, &Send_Mail::Close_Button);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close_btn);
    buttons->addWidget(send_btn);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(message);
    layout->addWidget(rd_without_barcode);
    layout->addLayout(attachRow);
    layout->addWidget(rd_mail_curr_barcode);
    layout->addWidget(send_sett_box);
    layout->addWidget(delayed_delv_chk);
    layout->addWidget(delayed_box);
    layout->addLayout(buttons);
    resize(560, sizeHint().height());
}

void Send_Mail::buildCardBox()
{
    send_sett_box = new QGroupBox(tr("Card"), this);
    send_sett_box->setObjectName("send_sett_box");
    matrix_card_side = new QButtonGroup(this);
    matrix_card_side->setObjectName("matrix_card_side");
    auto *sides = new QHBoxLayout;
    const char *names[] = {"side_both", "side_front", "side_back"};
    const QString titles[] = {tr("Both sides"), tr("Front"), tr("Back")};
    for (int row = 0; row < 3; ++row) {
        auto *b = new QRadioButton(titles[row], send_sett_box);
        b->setObjectName(names[row]);
        matrix_card_side->addButton(b, row);
        sides->addWidget(b);
    }
    sides->addStretch();
    connect(matrix_card_side, &QButtonGroup::idClicked, this, &Send_Mail::mail_card_side_CellClick);

    file_name_txt = new QLineEdit(send_sett_box);
    file_name_txt->setObjectName("file_name_txt");
    send_with_batch_chk = new QCheckBox(tr("Use the Batch Processing Series data"), send_sett_box);
    send_with_batch_chk->setObjectName("send_with_batch_chk");
    send_with_excel_chk = new QCheckBox(tr("Use the spreadsheet data"), send_sett_box);
    send_with_excel_chk->setObjectName("send_with_excel_chk");
    connect(send_with_batch_chk, &QCheckBox::clicked, this, &Send_Mail::send_with_batch_chk_select);
    connect(send_with_excel_chk, &QCheckBox::clicked, this, &Send_Mail::send_with_excel_chk_select);
    rd_all_to_every = new QRadioButton(tr("Every record's card to every recipient"), send_sett_box);
    rd_all_to_every->setObjectName("rd_all_to_every");
    rd_one_per_recp = new QRadioButton(tr("Record n's card to recipient n"), send_sett_box);
    rd_one_per_recp->setObjectName("rd_one_per_recp");
    connect(rd_all_to_every, &QRadioButton::clicked, this, &Send_Mail::all_rd_select);
    connect(rd_one_per_recp, &QRadioButton::clicked, this, &Send_Mail::obo_rd_select);

    auto *form = new QFormLayout(send_sett_box);
    form->addRow(tr("Sides:"), sides);
    form->addRow(tr("File name:"), file_name_txt);
    form->addRow(send_with_batch_chk);
    form->addRow(send_with_excel_chk);
    auto *modes = new QVBoxLayout;
    modes->setContentsMargins(24, 0, 0, 0);
    modes->addWidget(rd_all_to_every);
    modes->addWidget(rd_one_per_recp);
    form->addRow(modes);
}

void Send_Mail::buildPauseBox()
{
    delayed_delv_chk = new QCheckBox(tr("Pause after every few messages"), this);
    delayed_delv_chk->setObjectName("delayed_delv_chk");
    connect(delayed_delv_chk, &QCheckBox::clicked, this, &Send_Mail::delayed_delv_chk_select);
    delayed_box = new QWidget(this);
    delayed_box->setObjectName("delayed_box");
    mail_count_stepper = stepper(delayed_box, "mail_count_stepper", 1, 10000);
    hour_stepper = stepper(delayed_box, "hour_stepper", 0, 23);
    min_stepper = stepper(delayed_box, "min_stepper", 0, 59);
    sec_stepper = stepper(delayed_box, "sec_stepper", 0, 59);
    auto *row = new QHBoxLayout(delayed_box);
    row->setContentsMargins(24, 0, 0, 0);
    row->addWidget(new QLabel(tr("After"), delayed_box));
    row->addWidget(mail_count_stepper);
    row->addWidget(new QLabel(tr("messages, pause for"), delayed_box));
    row->addWidget(hour_stepper);
    row->addWidget(new QLabel(tr("h"), delayed_box));
    row->addWidget(min_stepper);
    row->addWidget(new QLabel(tr("min"), delayed_box));
    row->addWidget(sec_stepper);
    row->addWidget(new QLabel(tr("s"), delayed_box));
    row->addStretch();
}

Send_Mail::~Send_Mail()
{
    if (!m_worker.joinable())
        return;
    if (m_run)
        m_run->Stop_SMS_Sending_Now = true;
    // The run may be waiting for the main thread to draw a card.
    while (!m_workerDone)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    m_worker.join();
}

Send_Mail &Send_Mail::defaultInstance()
{
    return design_window::singleInstance<Send_Mail>();
}

int Send_Mail::Open_Wnd()
{
    mail_card_side_CellClick(1);
    matrix_card_side->button(1)->setChecked(true);
    from_txt->setText(sender_email);
    for (QLineEdit *edit : {to_txt, subject_txt, attachment})
        edit->clear();
    message_txt->clear();
    rd_mail_curr_barcode->setChecked(true);
    SetObjEnabled(send_sett_box, true);
    browse_att->setEnabled(false);
    clear_att->setEnabled(false);
    file_name_txt->setText(QStringLiteral("ZELTFrame"));
    send_with_batch_chk->setChecked(false);
    send_with_excel_chk->setChecked(false);
    enableDataChecks();
    rd_all_to_every->setChecked(true);
    rd_one_per_recp->setChecked(false);
    updateModeOptions();
    delayed_delv_chk->setChecked(false);
    SetObjEnabled(delayed_box, false);
    mail_count_stepper->setValue(1);
    for (QSpinBox *box : {hour_stepper, min_stepper, sec_stepper})
        box->setValue(0);
    platform::runModal(*this);
    hide();
    return 0;
}

void Send_Mail::Setting_Button()
{
    Email_Setting::defaultInstance().Open_Wnd();
    Get_Email_Details();
    from_txt->setText(sender_email);
}

void Send_Mail::browse_att_Button()
{
    const QString path = design_window::runFilePanel(this, false, tr("Attach a File"), QString());
    if (!path.isEmpty())
        attachment->setText(path);
}

void Send_Mail::clear_att_Button()
{
    attachment->clear();
}

void Send_Mail::Without_barcode_rd_select()
{
    rd_without_barcode->setChecked(true);
    SetObjEnabled(send_sett_box, false);
    browse_att->setEnabled(true);
    clear_att->setEnabled(true);
}

void Send_Mail::send_barcode_rd_select()
{
    if (m_design)
        m_design->Check_Series_Or_Excel_Use_or_not();
    rd_mail_curr_barcode->setChecked(true);
    SetObjEnabled(send_sett_box, true);
    enableDataChecks();
    updateModeOptions();
    browse_att->setEnabled(false);
    clear_att->setEnabled(false);
}

void Send_Mail::enableDataChecks()
{
    const std::pair<QCheckBox *, bool> checks[] = {{send_with_batch_chk, design_window::Use_Data_Sheet_Values},
                                                   {send_with_excel_chk, design_window::Use_Excel_Binding_Values}};
    for (const auto &[check, inUse] : checks) {
        check->setEnabled(inUse);
        if (!inUse)
            check->setChecked(false);
    }
}

void Send_Mail::updateModeOptions()
{
    const bool batch = send_with_batch_chk->isChecked() || send_with_excel_chk->isChecked();
    rd_all_to_every->setEnabled(batch);
    rd_one_per_recp->setEnabled(batch);
}

void Send_Mail::send_with_batch_chk_select()
{
    updateModeOptions();
}

void Send_Mail::send_with_excel_chk_select()
{
    updateModeOptions();
}

void Send_Mail::all_rd_select()
{
    rd_all_to_every->setChecked(true);
    rd_one_per_recp->setChecked(false);
}

void Send_Mail::obo_rd_select()
{
    rd_one_per_recp->setChecked(true);
    rd_all_to_every->setChecked(false);
}

void Send_Mail::delayed_delv_chk_select()
{
    SetObjEnabled(delayed_box, delayed_delv_chk->isChecked());
}

void Send_Mail::mail_card_side_CellClick(int row)
{
    card_side_str = row == 0 ? QStringLiteral("BOTH") : row == 1 ? QStringLiteral("F") : QStringLiteral("B");
    platform::log(card_side_str);
}

MailRequest Send_Mail::request() const
{
    MailRequest r;
    r.from = from_txt->text();
    r.to = to_txt->text();
    r.subject = subject_txt->text();
    r.body = message_txt->toPlainText();
    r.withCard = rd_mail_curr_barcode->isChecked();
    r.attachmentPath = attachment->text();
    r.fileName = file_name_txt->text();
    r.side = card_side_str;
    r.batch = send_with_batch_chk->isChecked() || send_with_excel_chk->isChecked();
    r.everyRecordToEveryone = rd_all_to_every->isChecked();
    r.pauses = delayed_delv_chk->isChecked();
    r.pauseEvery = mail_count_stepper->value();
    r.hours = hour_stepper->value();
    r.minutes = min_stepper->value();
    r.seconds = sec_stepper->value();
    r.password = sender_pwd;
    r.server = sending_server;
    r.port = sending_port;
    r.enableSsl = send_enable_ssl;
    return r;
}

void Send_Mail::Send_Button()
{
    // One run at a time, whichever output it is.
    if (isRunning() || Send_Modeless::defaultInstance().run())
        return;
    MailRequest r = request();
    int records = 0;
    if (r.withCard && m_design) {
        // The data the run uses: the sources in use whose check is on.
        m_design->Check_Series_Or_Excel_Use_or_not();
        if (!send_with_batch_chk->isChecked())
            design_window::Use_Data_Sheet_Values = false;
        if (!send_with_excel_chk->isChecked())
            design_window::Use_Excel_Binding_Values = false;
        m_design->Get_total_Card_count();
        r.batch = design_window::Use_Data_Sheet_Values || design_window::Use_Excel_Binding_Values;
        records = design_window::Total_Batch_Excel_Card;
    } else if (r.withCard) {
        Show_MessageBox(QStringLiteral("There is no card to send."));
        return;
    }
    PreparedJob prepared = prepareMailJob(r, records);
    if (!prepared.job) {
        Show_MessageBox(prepared.refusal);
        return;
    }
    MailJob job = std::move(*prepared.job);
    job.script = mailScript;
    job.dpi = cardDpi;
    Show_Create_Modeless(job.itemCount());
    m_workerDone = false;
    m_worker = std::thread([this, job = std::move(job)] { Send_Mail_Thread(job); });
}

void Send_Mail::Send_Mail_Thread(MailJob job)
{
    const std::shared_ptr<output::RunState> run = m_run;
    MailProgress progress{run->Stop_SMS_Sending_Now, run->curr_barcode_count,
                          [this](const QString &text) { showPauseText(text); }, {}, &run->asking, &run->problems};
    MailRunResult result;
    try {
        // Without a design there is nothing to draw; the modes without the
        // card never ask.
        struct NoCards : MailCards {
            platform::Image currentCard(const QString &) override { return {}; }
            platform::Image recordCard(int, const QString &) override { return {}; }
            void restoreFirstRecord() override {}
        } none;
        result = runMail(job, m_design ? static_cast<MailCards &>(*m_design) : none, progress);
    } catch (const std::exception &e) {
        platform::log(QStringLiteral("Send_Mail_Thread: %1").arg(QString::fromUtf8(e.what())));
        result.failed = 1;
        result.firstFailure = QString::fromUtf8(e.what());
    }
    // A Stop question still open is answered before the run ends: the sheet
    // and the final message do not go from under it.
    run->holdWhileAsked();
    m_workerDone = true;
    QMetaObject::invokeMethod(this, [this, result] { runDone(result); }, Qt::QueuedConnection);
}

void Send_Mail::runDone(const MailRunResult &result)
{
    m_worker.join();
    Hide_Destroy_Modeless();
    if (m_run && !m_run->problems.isEmpty())
        platform::log(QStringLiteral("Mail, cards not made whole: ") + m_run->problems.lines().join(QStringLiteral(" | ")));
    m_run.reset();
    send_btn->setEnabled(true);
    Show_MessageBox(result.finalMessage());
    emit runFinished(result);
}

void Send_Mail::Close_Button()
{
    done(0);
}

void Send_Mail::Show_Create_Modeless(int itemCount)
{
    send_btn->setEnabled(false);
    m_run = Send_Modeless::defaultInstance().beginRun(this, itemCount,
                                                      QStringLiteral("%1 / %2").arg(0).arg(itemCount));
}

void Send_Mail::Hide_Destroy_Modeless()
{
    Send_Modeless::defaultInstance().endRun();
}

void Send_Mail::showPauseText(const QString &text)
{
    QMetaObject::invokeMethod(
        this,
        [text] {
            if (Send_Modeless::defaultInstance().run())
                Send_Modeless::defaultInstance().pause_label->setText(text);
        },
        Qt::QueuedConnection);
}
