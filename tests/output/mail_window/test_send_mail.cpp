// The mail window driven through its handlers: what it offers as the
// design's data allows, what it refuses, how the menus reach it, and a run of
// the design's own records to a real SMTP server behind the progress sheet,
// read back from the attached cards' barcodes, paused and stopped.
#include "barcodes/designer/BarcodeEngine.h"
#include "batch_data/binding/RecordBinding.h"
#include "design_window/Globals.h"
#include "design_window/MailWindows.h"
#include "design_window/RecordFill.h"
#include "design_window/ResourceFolder.h"
#include "design_window/TVNWindowController.h"
#include "drawing/TVNDocument.h"
#include "output/mail/EmailSettings.h"
#include "output/mail_window/DesignMailCards.h"
#include "output/mail_window/MailWindowsImpl.h"
#include "output/mail_window/Send_Mail.h"
#include "output/widgets/Send_Modeless.h"
#include "platform/ModalRun.h"
#include "tests/output/CardFixtures.h"
#include "tests/output/mail/MailTestSupport.h"
#include "tests/support/ScopedValue.h"
#include "tests/support/TestSupport.h"

#include <QAction>
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
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace output::mail;
using namespace quorvant::test;

namespace {

// A design whose binding check finds a series of two records in use or not.
class StubDesign : public MailDesign {
public:
    bool seriesInUse = true;
    void Check_Series_Or_Excel_Use_or_not() override
    {
        design_window::Use_Data_Sheet_Values = seriesInUse;
        design_window::Use_Excel_Binding_Values = false;
        Get_total_Card_count();
    }
    void Get_total_Card_count() override { design_window::Total_Batch_Excel_Card = 2 * seriesInUse; }
    platform::Image currentCard(const QString &side) override { return qrCard(side); }
    platform::Image recordCard(int n, const QString &side) override { return qrCard(side + QString::number(n)); }
    void restoreFirstRecord() override {}

private:
    // What the binding check sets goes back with the design.
    ScopedValue<std::atomic<bool>> seriesValues{design_window::Use_Data_Sheet_Values};
    ScopedValue<std::atomic<bool>> sheetValues{design_window::Use_Excel_Binding_Values};
    ScopedValue<std::atomic<int>> cards{design_window::Total_Batch_Excel_Card};
};

// Opens the window as the mail command does and leaves it showing.
void open(Send_Mail &window)
{
    {
        platform::ScopedModalResponder leaveOpen([](QDialog &) { return 0; });
        window.Open_Wnd();
    }
    window.show();
}

// The settings the window sends with, for a server on this machine; the
// ones found are put back afterwards.
struct UsedSettings {
    UsedSettings(int port, const QString &password)
        : sender(sender_email, QStringLiteral("me@example.org")), secret(sender_pwd, password),
          server(sending_server, QStringLiteral("127.0.0.1")), portNumber(sending_port, QString::number(port)),
          ssl(send_enable_ssl, QStringLiteral("N"))
    {
    }
    ScopedValue<QString> sender, secret, server, portNumber, ssl;
};

// A real SMTP server that the stored settings name, alerts recorded, and the
// design window in a resource folder of its own.
struct MailDesk {
    explicit MailDesk(const SmtpTestServer::Options &options)
        : server(options), settings(server.port(), options.password)
    {
    }
    // The folders, sides and records the desk and its test change go back
    // with it.
    ScopedValue<QString> resourcePath{design_window::Resource_Path};
    ScopedValue<QString> dataFolderPath{design_window::Data_Folder_Path};
    ScopedValue<QString> cardSides{design_window::CARD_SIDE_STR};
    ScopedValue<std::atomic<bool>> seriesValues{design_window::Use_Data_Sheet_Values};
    ScopedValue<std::atomic<bool>> sheetValues{design_window::Use_Excel_Binding_Values};
    ScopedValue<std::atomic<int>> cards{design_window::Total_Batch_Excel_Card};
    SmtpTestServer server;
    TempFolder tmp;
    AlertLog alerts;
    const bool inFolder = (design_window::setResourceFolder(tmp.file(QStringLiteral("res"))), true);
    TVNWindowController wnd;
    // After the window, which reads the stored settings as it is made.
    UsedSettings settings;
};

// A server that takes the sender's login with a plain password.
SmtpTestServer::Options plainLogin()
{
    SmtpTestServer::Options options;
    options.user = QStringLiteral("me@example.org");
    options.password = QStringLiteral("pw");
    return options;
}

// A barcode of `symbology` bound to the series `series`.
GraphicPtr boundBarcode(const QRectF &box, const QString &series, const QString &symbology)
{
    GraphicPtr g = newGraphicOfClass(GraphicClass::Barcode);
    g->setBounds(box);
    g->Set_Data_source_type(batch_data::kSeriesValue);
    g->Set_Batch_List_Name(series);
    g->barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf(symbology));
    return g;
}

// Sends every record's card of `cards` to one recipient from `window` and
// waits for the run to end; false when it did not start or end.
bool sendEveryRecord(Send_Mail &window, DesignMailCards &cards)
{
    window.setDesign(&cards);
    window.mailScript.trustedCertificates = testCertificates().cert;
    open(window);
    window.show();
    window.to_txt->setText(QStringLiteral("a1@example.net"));
    window.send_barcode_rd_select();
    window.send_with_batch_chk->click();
    window.Send_Button();
    if (!window.isRunning())
        return false;
    QEventLoop loop;
    QObject::connect(&window, &Send_Mail::runFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    loop.exec();
    return !window.isRunning();
}

} // namespace

TEST(SendMailWindow, OpensResetAndOffersWhatTheDataAllows)
{
    const ScopedValue sender(sender_email, QStringLiteral("Stored@Example.org"));
    StubDesign design;
    design.Check_Series_Or_Excel_Use_or_not();
    Send_Mail window;
    window.setDesign(&design);
    window.to_txt->setText(QStringLiteral("left over"));
    open(window);
    TempFolder folder;
    const QString notes = folder.file(QStringLiteral("notes.txt"));
    writeTestFile(notes, "x");

    EXPECT_EQ((QStringList{window.from_txt->text(), window.to_txt->text(), window.file_name_txt->text(),
                           window.card_side_str}),
              (QStringList{"Stored@Example.org", "", "ZELTFrame", "F"}));
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
        {"a file to attach",
         [&] {
             platform::ScopedModalResponder pick([&](QDialog &d) {
                 static_cast<QFileDialog &>(d).selectFile(notes);
                 return 1;
             });
             window.browse_att->click();
         },
         [&] { return window.attachment->text() == notes; }},
        {"cleared", [&] { window.clear_att->click(); }, [&] { return window.attachment->text().isEmpty(); }},
        {"the card again, data gone",
         [&] {
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
    const UsedSettings settings(1, QStringLiteral("pw"));
    StubDesign design;
    Send_Mail window;
    window.setDesign(&design);
    open(window);
    const struct {
        QString to, fileName;
        const char *message;
    } rows[] = {
        {"", "Card", "Please specify the Recipient E-mail address."},
        {"good@example.net, bad@", "Card", "Recipient E-mail address is invalid or incomplete."},
        {"good@example.net", "../../Card", "Please enter valid file name."},
    };
    for (const auto &row : rows) {
        window.to_txt->setText(row.to);
        window.file_name_txt->setText(row.fileName);
        AlertLog alerts;
        window.Send_Button();
        EXPECT_EQ(alerts.texts, QStringList{row.message});
        EXPECT_FALSE(window.isRunning()) << row.message;
        const QDialog *progress = window.findChild<QDialog *>(QStringLiteral("Send_Modeless"));
        EXPECT_TRUE(!progress || !progress->isVisible()) << row.message;
    }
}

TEST(SendMailWindow, TheMenusOpenTheMailWindowAndTheSettings)
{
    StubDesign design;
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

TEST(SendMailWindow, TheDesignsRecordsGoOutBehindTheProgressSheetUntilStopped)
{
    using namespace design_window;
    SmtpTestServer::Options options;
    options.user = QStringLiteral("me@example.org");
    options.password = QStringLiteral("geheim ✓");
    options.gate = true;
    MailDesk desk(options);
    SmtpTestServer &server = desk.server;
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
    AlertLog &alerts = desk.alerts;
    TVNWindowController &wnd = desk.wnd;

    // Two sides: the front a Code 128 symbol and a text of the series
    // "Codes", the back a QR Code of the series "Texts".
    CARD_SIDE_STR = QStringLiteral("2");
    const QStringList codes{"QV-0001", "QV-0002", "QV-0003"};
    const QStringList texts{"Card for Ann", "Card for Bob", "Card for Cid"};
    writeTestFile(QDir(Data_Folder_Path).filePath("Codes.txt"), codes.join('\n').toUtf8());
    writeTestFile(QDir(Data_Folder_Path).filePath("Texts.txt"), texts.join('\n').toUtf8());
    auto bound = [](GraphicClass cls, QRectF box, const QString &series, const QString &symbology = {}) {
        GraphicPtr g = newGraphicOfClass(cls);
        g->setBounds(box);
        g->Set_Data_source_type(batch_data::kSeriesValue);
        g->Set_Batch_List_Name(series);
        if (!symbology.isEmpty()) {
            g->barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf(symbology));
            g->linear_or_2d = barcodes::isTwoDimensionalTitle(symbology);
        }
        return g;
    };
    const GraphicPtr frontText = bound(GraphicClass::Text, {10, 90, 200, 40}, "Codes");
    wnd.design().document->graphics = {bound(GraphicClass::Barcode, {10, 10, 200, 60}, "Codes", "Code 128"), frontText};
    wnd.design().document->graphics_back = {bound(GraphicClass::Barcode, {10, 10, 110, 110}, "Texts", "QR Code")};

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
    // A real pause of a second after every message.
    window.delayed_delv_chk->click();
    window.sec_stepper->setValue(1);

    window.Send_Button();
    ASSERT_TRUE(window.isRunning()) << alerts.texts.join('\n').toStdString();
    QDialog *sheet = window.findChild<QDialog *>(QStringLiteral("Send_Modeless"));
    ASSERT_TRUE(sheet && sheet->isVisible());
    EXPECT_EQ(sheet->findChild<QLabel *>("_tot_msg_cnt")->text(), "3");
    EXPECT_EQ(sheet->findChild<QLabel *>("_curr_msg_cnt")->text(), "0 / 3");
    // The user stops while the second message is on its way: it still goes,
    // the third does not.
    ASSERT_TRUE(server.waitForHeldMessage());
    server.releaseHeldMessage();
    ASSERT_TRUE(server.waitForHeldMessage());
    sheet->findChild<QPushButton *>("_stop_btn")->click();
    server.releaseHeldMessage();
    QEventLoop loop;
    QObject::connect(&window, &Send_Mail::runFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_FALSE(window.isRunning());
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(alerts.texts, (QStringList{"Are you sure you want to continue?",
                                         "Sending was stopped after 2 of 3 messages."}));

    const QList<QJsonObject> got = server.messages();
    ASSERT_EQ(got.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(got[i]["rcpt_tos"].toArray().toVariantList(),
                  QVariantList{QStringLiteral("a%1@example.net").arg(i + 1)});
        const QJsonArray attached = got[i]["attachments"].toArray();
        ASSERT_EQ(attached.size(), 2);
        EXPECT_EQ(attached[0]["name"].toString(), "Karte_Back.jpeg");
        EXPECT_EQ(readQr(attachmentBytes(got[i], 0)), texts[i]);
        const QImage front = QImage::fromData(attachmentBytes(got[i], 1));
        EXPECT_EQ(decodeBarcode(front, ZXing::BarcodeFormat::Code128).text, codes[i].toStdString());
    }
    // Record 1 is back on the design, whose edited side is unchanged.
    EXPECT_EQ(std::static_pointer_cast<TVNText>(frontText)->contentsString(), codes[0]);
    EXPECT_EQ(Card_Front_Or_Back, 0);
}

TEST(SendMailWindow, ACardSentWithoutItsBarcodeIsNamedInTheEndMessage)
{
    using namespace design_window;
    MailDesk desk(plainLogin());
    SmtpTestServer &server = desk.server;
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
    AlertLog &alerts = desk.alerts;
    TVNWindowController &wnd = desk.wnd;
    // Five records; EAN-13 refuses record 3's value, which has a letter.
    QStringList codes, eans;
    for (int n = 0; n < 5; ++n) {
        codes << QStringLiteral("QV-%1").arg(n + 1);
        eans << (n == 2 ? QStringLiteral("40123X") : QStringLiteral("40123455%1").arg(n, 4, 10, QLatin1Char('0')));
    }
    writeTestFile(QDir(Data_Folder_Path).filePath("Codes.txt"), codes.join('\n').toUtf8());
    writeTestFile(QDir(Data_Folder_Path).filePath("Eans.txt"), eans.join('\n').toUtf8());
    wnd.design().document->graphics = {boundBarcode({10, 10, 200, 60}, "Codes", "Code 128"),
                              boundBarcode({10, 80, 120, 40}, "Eans", "EAN-13")};

    DesignMailCards cards;
    Send_Mail window;
    ASSERT_TRUE(sendEveryRecord(window, cards)) << alerts.texts.join('\n').toStdString();
    // Every card still goes out; the end message is no plain success.
    EXPECT_EQ(server.messages().size(), 5);
    ASSERT_EQ(alerts.texts.size(), 1);
    EXPECT_TRUE(alerts.texts.first().startsWith("5 of 5 messages were sent.\n\nCard 3 was made without its barcode:\n"
                                                "Card 3: \"40123X\": "))
        << alerts.texts.first().toStdString();
}

namespace {

// The desk's design bound to three records: a Code 128 symbol of the
// series "Codes" on the front, with `more` objects beside it.
void bindThreeCodes(MailDesk &desk, GraphicList more = {})
{
    QStringList codes;
    for (int n = 0; n < 3; ++n)
        codes << QStringLiteral("QV-%1").arg(n + 1);
    writeTestFile(QDir(design_window::Data_Folder_Path).filePath("Codes.txt"), codes.join('\n').toUtf8());
    more.insert(more.begin(), boundBarcode({10, 10, 200, 60}, "Codes", "Code 128"));
    desk.wnd.design().document->graphics = more;
}

// Sends every record of the desk's design to one address; the alerts the
// run ends with.
QStringList sentEveryRecord(MailDesk &desk)
{
    EXPECT_TRUE(desk.server.failure().isEmpty()) << desk.server.failure().toStdString();
    desk.alerts.texts.clear();
    DesignMailCards cards;
    Send_Mail window;
    EXPECT_TRUE(sendEveryRecord(window, cards)) << desk.alerts.texts.join('\n').toStdString();
    EXPECT_EQ(desk.server.messages().size(), 3);
    return desk.alerts.texts;
}

} // namespace

TEST(SendMailWindow, ABoundSeriesThatIsGoneIsNamedInTheEndMessage)
{
    MailDesk desk(plainLogin());
    bindThreeCodes(desk, {boundBarcode({10, 80, 120, 40}, "Deleted", "Code 128")});
    EXPECT_EQ(sentEveryRecord(desk),
              QStringList{"3 of 3 messages were sent.\n\nThe cards were made without data that could not be used:\n"
                          "series \"Deleted\" ("
                          + QDir(design_window::Data_Folder_Path).filePath("Deleted.txt") + "): No such file."});
}

TEST(SendMailWindow, ADamagedPictureOfTheDesignIsNamedInTheEndMessage)
{
    MailDesk desk(plainLogin());
    bindThreeCodes(desk);
    openDesignWithCutPhoto(desk.wnd, desk.tmp.path(), {150, 80, 60, 40});
    ASSERT_EQ(desk.alerts.texts, QStringList{kCutPhotoOpened});
    EXPECT_EQ(sentEveryRecord(desk), QStringList{"3 of 3 messages were sent.\n\nThe cards were made without these "
                                                 "damaged pictures of the design:\nThe image \"Photo\" (object 1 on "
                                                 "the front): the picture ends early"});
}

TEST(SendMailWindow, AStopClickedWhileAHighResolutionCardIsDrawnIsAnsweredBeforeItsDone)
{
    using namespace design_window;
    MailDesk desk(plainLogin());
    ASSERT_TRUE(desk.server.failure().isEmpty()) << desk.server.failure().toStdString();
    QStringList codes;
    for (int n = 0; n < 5; ++n)
        codes << QStringLiteral("QV-%1").arg(n + 1);
    writeTestFile(QDir(Data_Folder_Path).filePath("Codes.txt"), codes.join('\n').toUtf8());
    const GraphicPtr code = boundBarcode({10, 10, 200, 60}, "Codes", "Code 128");
    // An unbound box, drawn with what every card shares at the first card.
    auto box = std::make_shared<StopOnFirstDrawing>();
    box->setBounds({120, 90, 100, 50});
    desk.wnd.design().document->graphics = {code, box};
    int drawsWhenAsked = -1;
    QStringList alerts;
    platform::ScopedAlertResponder user([&](const platform::AlertRequest &r) {
        alerts << r.text.trimmed();
        if (drawsWhenAsked < 0)
            drawsWhenAsked = box->draws;
        return 0;
    });

    DesignMailCards cards;
    Send_Mail window;
    window.cardDpi = 1200;
    ASSERT_TRUE(sendEveryRecord(window, cards)) << alerts.join('\n').toStdString();

    // Asked before the first card's shared layers were all drawn, each
    // hand-off a band at most; the card under way was finished, nothing sent.
    EXPECT_GE(drawsWhenAsked, 1);
    EXPECT_LT(drawsWhenAsked, box->draws);
    EXPECT_LE(box->largestDevice, RecordFill::kBandPixels);
    EXPECT_LE(desk.wnd.recordFill().largestBand(), RecordFill::kBandPixels);
    EXPECT_EQ(alerts, (QStringList{"Are you sure you want to continue?", "Sending was stopped after 0 of 5 messages."}));
    EXPECT_TRUE(desk.server.messages().isEmpty());
    EXPECT_EQ(code->linear_font_val, codes[0]);
}
