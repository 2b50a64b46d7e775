// The mail window driven through its handlers: what it offers as the design's
// data allows, what it refuses, and a run against a real SMTP server behind
// the progress sheet, with a pause and a stop.
#include "barcodes/designer/BarcodeEngine.h"
#include "batch_data/binding/RecordBinding.h"
#include "design_window/Globals.h"
#include "design_window/ResourceFolder.h"
#include "design_window/MailWindows.h"
#include "design_window/TVNWindowController.h"
#include "output/mail/MailWindowsImpl.h"
#include "drawing/TVNDocument.h"
#include "output/mail/DesignMailCards.h"
#include "output/mail/EmailSettings.h"
#include "output/mail/Send_Mail.h"
#include "platform/Alerts.h"
#include "platform/MainThread.h"
#include "platform/ModalRun.h"
#include "tests/output/mail/SmtpTestServer.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QGroupBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

using namespace output::mail;
using namespace quorvant::test;

namespace {

// A design whose records are QR codes of their values (zxing-cpp's writer);
// the binding check finds a series in use with those records.
class FakeDesign : public MailDesign {
public:
    QStringList values;
    bool seriesInUse = true;
    QStringList calls;

    void Check_Series_Or_Excel_Use_or_not() override
    {
        calls << QStringLiteral("check");
        design_window::Use_Data_Sheet_Values = seriesInUse;
        design_window::Use_Excel_Binding_Values = false;
        Get_total_Card_count();
    }
    void Get_total_Card_count() override
    {
        design_window::Total_Batch_Excel_Card =
            design_window::Use_Data_Sheet_Values || design_window::Use_Excel_Binding_Values ? int(values.size()) : 0;
    }
    platform::Image currentCard(const QString &side) override { return card(side + QStringLiteral(":design")); }
    platform::Image recordCard(int n, const QString &side) override
    {
        EXPECT_TRUE(platform::isMainThread());
        return card(side + QStringLiteral(":") + values.value(n));
    }
    void restoreFirstRecord() override { calls << QStringLiteral("restore"); }

    static platform::Image card(const QString &text)
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
};

struct Alerts {
    explicit Alerts(std::function<int(const QString &)> answer = {})
        : responder([this, answer](const platform::AlertRequest &r) {
              texts << r.text.trimmed();
              return answer ? answer(r.text.trimmed()) : 0;
          })
    {
    }
    QStringList texts;
    platform::ScopedAlertResponder responder;
};

// Opens the window as the mail command does and leaves it showing, reset.
void open(Send_Mail &window)
{
    platform::ScopedModalResponder leaveOpen([](QDialog &d) {
        d.show();
        return 0;
    });
    window.Open_Wnd();
    window.show();
}

QDialog *sheet(Send_Mail &window)
{
    return window.findChild<QDialog *>(QStringLiteral("Send_Modeless"));
}

// Runs the event loop until the window's run has ended.
std::optional<MailRunResult> waitForRun(Send_Mail &window)
{
    std::optional<MailRunResult> result;
    QEventLoop loop;
    QObject::connect(&window, &Send_Mail::runFinished, &loop, [&](const MailRunResult &r) {
        result = r;
        loop.quit();
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

QString readQr(const QJsonValue &attachment)
{
    const QImage image = QImage::fromData(QByteArray::fromBase64(attachment["data"].toString().toLatin1()));
    return QString::fromStdString(decodeBarcode(image, ZXing::BarcodeFormat::QRCode).text);
}

} // namespace

TEST(SendMailWindow, OpensResetAndOffersWhatTheDataAllows)
{
    sender_email = QStringLiteral("Stored@Example.org");
    FakeDesign design;
    design.values = {"1", "2"};
    design.Check_Series_Or_Excel_Use_or_not();
    Send_Mail window;
    window.setDesign(&design);
    window.to_txt->setText(QStringLiteral("left over"));
    open(window);
    TempFolder folder;
    const QString notes = folder.file(QStringLiteral("notes.txt"));
    writeTestFile(notes, "x");

    EXPECT_EQ(window.from_txt->text(), sender_email);
    EXPECT_TRUE(window.to_txt->text().isEmpty());
    EXPECT_EQ(window.file_name_txt->text(), "ZELTFrame");
    EXPECT_EQ(window.card_side_str, "F");
    EXPECT_TRUE(window.rd_mail_curr_barcode->isChecked() && window.send_sett_box->isEnabled());
    EXPECT_FALSE(window.browse_att->isEnabled() || window.clear_att->isEnabled());
    // The series is in use, the spreadsheet not: only its check is offered,
    // and no mode until it is ticked.
    EXPECT_TRUE(window.send_with_batch_chk->isEnabled() && !window.send_with_batch_chk->isChecked());
    EXPECT_FALSE(window.send_with_excel_chk->isEnabled());
    EXPECT_FALSE(window.rd_all_to_every->isEnabled() || window.rd_one_per_recp->isEnabled());
    EXPECT_FALSE(window.delayed_box->isEnabled() || window.mail_count_stepper->isEnabled());

    const struct {
        const char *name;
        std::function<void()> click;
        std::function<bool()> holds;
    } steps[] = {
        {"series ticked: both modes", [&] { window.send_with_batch_chk->click(); },
         [&] { return window.rd_all_to_every->isEnabled() && window.rd_one_per_recp->isEnabled(); }},
        {"record n to recipient n", [&] { window.rd_one_per_recp->click(); },
         [&] { return window.rd_one_per_recp->isChecked() && !window.rd_all_to_every->isChecked(); }},
        {"without the card", [&] { window.rd_without_barcode->click(); },
         [&] { return !window.send_sett_box->isEnabled() && window.browse_att->isEnabled(); }},
        {"a file to attach", [&] {
             platform::ScopedModalResponder pick([&](QDialog &d) {
                 static_cast<QFileDialog &>(d).selectFile(notes);
                 return 1;
             });
             window.browse_att->click();
         },
         [&] { return window.attachment->text() == notes; }},
        {"cleared", [&] { window.clear_att->click(); }, [&] { return window.attachment->text().isEmpty(); }},
        {"the card again, data gone", [&] {
             design.seriesInUse = false;
             window.rd_mail_curr_barcode->click();
         },
         [&] {
             return window.send_sett_box->isEnabled() && !window.send_with_batch_chk->isEnabled()
                    && !window.send_with_batch_chk->isChecked() && !window.rd_all_to_every->isEnabled();
         }},
        {"both sides", [&] { window.matrix_card_side->button(0)->click(); },
         [&] { return window.card_side_str == "BOTH"; }},
        {"pauses", [&] { window.delayed_delv_chk->click(); },
         [&] { return window.delayed_box->isEnabled() && window.sec_stepper->isEnabled(); }},
    };
    for (const auto &step : steps) {
        step.click();
        EXPECT_TRUE(step.holds()) << step.name;
    }
}

TEST(SendMailWindow, RefusesBeforeAnySheetShows)
{
    sender_email = QStringLiteral("me@example.org");
    sender_pwd = QStringLiteral("pw");
    sending_server = QStringLiteral("127.0.0.1");
    sending_port = QStringLiteral("1");
    FakeDesign design;
    Send_Mail window;
    window.setDesign(&design);
    open(window);
    const struct {
        const char *name;
        QString to;
        QString fileName;
        const char *message;
    } rows[] = {
        {"no recipient", "", "Card", "Please specify the Recipient E-mail address."},
        {"one bad address", "good@example.net, bad@", "Card", "Recipient E-mail address is invalid or incomplete."},
        {"file name with folders", "good@example.net", "../../Card", "Please enter valid file name."},
    };
    for (const auto &row : rows) {
        window.to_txt->setText(row.to);
        window.file_name_txt->setText(row.fileName);
        Alerts alerts;
        window.Send_Button();
        EXPECT_EQ(alerts.texts, QStringList{row.message}) << row.name;
        EXPECT_FALSE(window.isRunning()) << row.name;
        QDialog *progress = sheet(window);
        EXPECT_TRUE(!progress || !progress->isVisible()) << row.name;
    }
}

TEST(SendMailWindow, EveryRecordReachesEveryoneBehindTheProgressSheet)
{
    SmtpTestServer::Options options;
    options.mode = SmtpTestServer::Mode::StartTls;
    options.user = QStringLiteral("me@example.org");
    options.password = QStringLiteral("Kennwört");
    options.gate = true;
    SmtpTestServer server(options);
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
    sender_email = QStringLiteral("Me@Example.org");
    sender_pwd = options.password;
    sending_server = QStringLiteral("127.0.0.1");
    sending_port = QString::number(server.port());
    send_enable_ssl = QStringLiteral("N");

    FakeDesign design;
    design.values = {"Erste Karte", "Zweite Karte", "Dritte Karte"};
    // As the mail command does before it opens the window.
    design.Check_Series_Or_Excel_Use_or_not();
    Send_Mail window;
    window.setDesign(&design);
    window.mailScript.trustedCertificates = testCertificates().cert;
    window.cardDpi = 150;
    open(window);
    window.to_txt->setText(QStringLiteral("a1@example.net, a2@example.net"));
    window.subject_txt->setText(QStringLiteral("Ihre Karten"));
    window.message_txt->setPlainText(QStringLiteral("Grüße ✓"));
    window.file_name_txt->setText(QStringLiteral("Karte"));
    window.matrix_card_side->button(0)->click();
    window.send_with_batch_chk->click();
    window.delayed_delv_chk->click();
    window.sec_stepper->setValue(1);

    // Every alert is answered "Yes"/"OK" and kept.
    Alerts alerts;
    window.Send_Button();
    ASSERT_TRUE(window.isRunning());
    QDialog *progress = sheet(window);
    ASSERT_TRUE(progress);
    EXPECT_TRUE(progress->isVisible());
    EXPECT_EQ(progress->findChild<QLabel *>("_tot_msg_cnt")->text(), "3");
    EXPECT_EQ(progress->findChild<QLabel *>("_curr_msg_cnt")->text(), "0 / 3");
    // Let the whole first record's pass through; the second record's first
    // message is then held while the user stops the run.
    for (int message = 0; message < 3; ++message) {
        ASSERT_TRUE(server.waitForHeldMessage()) << message;
        if (message == 2)
            progress->findChild<QPushButton *>("_stop_btn")->click();
        server.releaseHeldMessage();
    }
    const std::optional<MailRunResult> result = waitForRun(window);
    ASSERT_TRUE(result);
    EXPECT_FALSE(progress->isVisible());
    EXPECT_TRUE(result->stopped);
    EXPECT_EQ(result->sent, 3);
    EXPECT_EQ(alerts.texts, (QStringList{"Are you sure you want to continue?",
                                         "E-mail has been sent successfully.\n\nMessages sent: 3 of 6."}));
    EXPECT_EQ(design.calls.last(), "restore");

    // The stop came while the second record's first message was on its way:
    // that one went, the second recipient of that record got nothing.
    const QList<QJsonObject> got = server.messages();
    ASSERT_EQ(got.size(), 3);
    const QString expectedTo[] = {"a1@example.net", "a2@example.net", "a1@example.net"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(got[i]["rcpt_tos"].toArray().toVariantList(), QVariantList{expectedTo[i]});
        EXPECT_EQ(got[i]["from"].toString(), "me@example.org");
        EXPECT_EQ(got[i]["body"].toString().trimmed(), "Grüße ✓");
        const QJsonArray attached = got[i]["attachments"].toArray();
        ASSERT_EQ(attached.size(), 2);
        EXPECT_EQ(attached[0]["name"].toString(), "Karte_Back.jpeg");
        EXPECT_EQ(attached[1]["name"].toString(), "Karte.jpeg");
        const QString value = design.values[i / 2];
        EXPECT_EQ(readQr(attached[0]), "B:" + value) << i;
        EXPECT_EQ(readQr(attached[1]), "F:" + value) << i;
    }
}

TEST(SendMailWindow, TheMenusOpenTheMailWindowAndTheSettings)
{
    FakeDesign design;
    MailWindowsImpl windows(&design);
    design_window::setMailWindows(&windows);
    TVNWindowController main;
    QStringList opened;
    platform::ScopedModalResponder record([&](QDialog &d) {
        opened << d.objectName();
        return 0;
    });
    for (const char *name : {"act_mail", "act_mail_settings"}) {
        QAction *action = main.findChild<QAction *>(QLatin1String(name));
        ASSERT_TRUE(action && action->isEnabled()) << name;
        action->trigger();
    }
    design_window::setMailWindows(nullptr);
    EXPECT_EQ(opened, (QStringList{"Send_Mail", "Email_Setting"}));
}

TEST(SendMailWindow, TheDesignsRecordsReachTheirRecipientsAndReadBack)
{
    using namespace design_window;
    SmtpTestServer::Options options;
    options.mode = SmtpTestServer::Mode::ImplicitTls;
    options.user = QStringLiteral("me@example.org");
    options.password = QStringLiteral("geheim ✓");
    SmtpTestServer server(options);
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();

    // A two-sided card: the front a Code 128 symbol and a text of the
    // "Codes" series, the back a QR Code of the "Texts" series.
    TempFolder tmp;
    Alerts alerts;
    setResourceFolder(tmp.file(QStringLiteral("res")));
    TVNWindowController wnd;
    // The stored settings as the window read them at its start.
    sender_email = QStringLiteral("me@example.org");
    sender_pwd = options.password;
    sending_server = QStringLiteral("127.0.0.1");
    sending_port = QString::number(server.port());
    send_enable_ssl = QStringLiteral("Y");
    CARD_SIDE_STR = QStringLiteral("2");
    const QStringList codes{"QV-0001", "QV-0002", "QV-0003"};
    const QStringList texts{"Card for Ann", "Card for Bob", "Card for Cid"};
    writeTestFile(QDir(Data_Folder_Path).filePath("Codes.txt"), (codes.join('\n') + '\n').toUtf8());
    writeTestFile(QDir(Data_Folder_Path).filePath("Texts.txt"), (texts.join('\n') + '\n').toUtf8());
    auto bound = [](GraphicClass cls, QRectF box, const QString &series, const char *symbology = nullptr) {
        GraphicPtr g = newGraphicOfClass(cls);
        g->setBounds(box);
        g->Set_Data_source_type(batch_data::kSeriesValue);
        g->Set_Batch_List_Name(series);
        if (symbology) {
            g->barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf(QLatin1String(symbology)));
            g->linear_or_2d = barcodes::isTwoDimensionalTitle(QLatin1String(symbology));
        }
        return g;
    };
    const GraphicPtr frontText = bound(GraphicClass::Text, {10, 90, 200, 40}, "Codes");
    wnd.document->graphics = {bound(GraphicClass::Barcode, {10, 10, 200, 60}, "Codes", "Code 128"), frontText};
    wnd.document->graphics_back = {bound(GraphicClass::Barcode, {10, 10, 110, 110}, "Texts", "QR Code")};

    DesignMailCards cards;
    MailWindowsImpl windows(&cards);
    setMailWindows(&windows);
    Send_Mail &window = Send_Mail::defaultInstance();
    window.mailScript.trustedCertificates = testCertificates().cert;
    {
        platform::ScopedModalResponder leaveOpen([](QDialog &) { return 0; });
        wnd.Mail_Button();
    }
    setMailWindows(nullptr);
    window.show();
    window.to_txt->setText(QStringLiteral("a1@example.net,a2@example.net,a3@example.net"));
    window.file_name_txt->setText(QStringLiteral("Karte"));
    window.matrix_card_side->button(0)->click();
    window.send_with_batch_chk->click();
    window.rd_one_per_recp->click();
    window.Send_Button();
    ASSERT_TRUE(window.isRunning()) << alerts.texts.join('\n').toStdString();
    const std::optional<MailRunResult> result = waitForRun(window);
    ASSERT_TRUE(result);
    EXPECT_EQ(alerts.texts.last(), "E-mail has been sent successfully.\n\nMessages sent: 3 of 3.");

    const QList<QJsonObject> got = server.messages();
    ASSERT_EQ(got.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(got[i]["rcpt_tos"].toArray().toVariantList(), QVariantList{QStringLiteral("a%1@example.net").arg(i + 1)});
        const QJsonArray attached = got[i]["attachments"].toArray();
        ASSERT_EQ(attached.size(), 2);
        auto read = [&](int k, ZXing::BarcodeFormat format) {
            const QImage image = QImage::fromData(QByteArray::fromBase64(attached[k]["data"].toString().toLatin1()));
            return QString::fromStdString(decodeBarcode(image, format).text);
        };
        EXPECT_EQ(attached[0]["name"].toString(), "Karte_Back.jpeg");
        EXPECT_EQ(read(0, ZXing::BarcodeFormat::QRCode), texts[i]);
        EXPECT_EQ(read(1, ZXing::BarcodeFormat::Code128), codes[i]);
    }
    // Record 1 is back on the design, whose edited side is unchanged.
    EXPECT_EQ(std::static_pointer_cast<TVNText>(frontText)->contentsString(), codes[0]);
    EXPECT_EQ(Card_Front_Or_Back, 0);
    CARD_SIDE_STR = QStringLiteral("1");
}
