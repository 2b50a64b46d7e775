// The bulk e-mail run: the checks before it, what each mode sends with which
// card, failures, skipped records, pauses and stop; then the same against a
// real SMTP server, reading the attached cards' barcodes back.
#include "output/mail/MailRun.h"
#include "tests/output/mail/SmtpTestServer.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QPainter>
#include <QSet>
#include <gtest/gtest.h>

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <sys/stat.h>

using namespace output::mail;
using namespace quorvant::test;
using namespace std::chrono_literals;

namespace {

// Cards that carry their record as a QR code drawn by zxing-cpp's own
// writer: the front the value, the back "B:" and the value; the design as it
// stands carries "design".
class BarcodeCards : public MailCards {
public:
    explicit BarcodeCards(QStringList values = {}) : values(std::move(values)) {}

    platform::Image currentCard(const QString &side) override
    {
        calls << QStringLiteral("current ") + side;
        return card(side, QStringLiteral("design"));
    }
    platform::Image recordCard(int n, const QString &side) override
    {
        calls << QStringLiteral("record %1 %2").arg(n).arg(side);
        return undrawable.contains(n) ? platform::Image() : card(side, values.value(n));
    }
    void restoreFirstRecord() override { calls << QStringLiteral("restore"); }

    static QString expected(const QString &side, const QString &value)
    {
        return side == QLatin1String("B") ? QStringLiteral("B:") + value : value;
    }

    QStringList values;
    QSet<int> undrawable;
    QStringList calls;

private:
    static platform::Image card(const QString &side, const QString &value)
    {
        const ZXing::BitMatrix bits = ZXing::MultiFormatWriter(ZXing::BarcodeFormat::QRCode)
                                          .setMargin(0)
                                          .encode(expected(side, value).toStdString(), 0, 0);
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

QString readQr(const QImage &image)
{
    return QString::fromStdString(decodeBarcode(image, ZXing::BarcodeFormat::QRCode).text);
}

// One message as the run handed it over: recipient, attachment names and
// what their barcodes read.
struct Sent {
    QString to;
    QStringList names;
    QStringList read;
    bool operator==(const Sent &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Sent &s)
{
    return out << s.to.toStdString() << " [" << s.names.join(',').toStdString() << "] [" << s.read.join(',').toStdString()
               << "]";
}

// Records every message; `refuse` says which fail.
struct Outbox {
    QList<Sent> sent;
    std::function<bool(const MailMessage &, int)> refuse;
    std::function<void(int)> afterEach;
    QStringList files;

    MailSender sender()
    {
        return [this](const MailMessage &m, const MailScript &) {
            Sent s{m.toAddress, {}, {}};
            for (const QString &path : m.attachments) {
                s.names << QFileInfo(path).fileName();
                s.read << readQr(QImage(path));
                files << path;
            }
            const int index = int(sent.size());
            sent << s;
            const bool refused = refuse && refuse(m, index);
            if (afterEach)
                afterEach(index);
            return MailResult{!refused, refused ? QStringLiteral("550 refused by the test") : QString()};
        };
    }
};

MailRequest request(const QString &to)
{
    MailRequest r;
    r.from = QStringLiteral(" Me@Example.org ");
    r.to = to;
    r.subject = QStringLiteral("Ihre Karte");
    r.body = QStringLiteral("Anbei.");
    r.fileName = QStringLiteral("Card");
    r.password = QStringLiteral("pw");
    r.server = QStringLiteral("127.0.0.1");
    r.port = QStringLiteral("1");
    return r;
}

MailJob job(const MailRequest &r, int records = 0)
{
    PreparedJob prepared = prepareMailJob(r, records);
    EXPECT_TRUE(prepared.job) << prepared.refusal.toStdString();
    MailJob j = prepared.job.value_or(MailJob{});
    j.dpi = 150;
    return j;
}

struct Runner {
    std::atomic<bool> stop{false};
    std::atomic<double> current{0};
    QStringList pauseTexts;
    QList<qint64> waits;
    std::function<void()> duringWait;

    MailRunResult operator()(const MailJob &j, MailCards &cards, const MailSender &send = {}, bool realWait = false)
    {
        MailProgress progress{stop, current, [this](const QString &t) { pauseTexts << t; }, {}};
        if (!realWait)
            progress.wait = [this](std::chrono::milliseconds step) {
                waits << step.count();
                if (duringWait)
                    duringWait();
            };
        MailRunResult result;
        runOnWorker([&] { result = runMail(j, cards, progress, send); });
        return result;
    }
};

const QString kThree = QStringLiteral("a1@example.net, a2@example.net,a3@example.net");

} // namespace

TEST(MailRun, ChecksRefuseWithTheFirstFailure)
{
    TempFolder folder;
    const QString attachment = folder.file(QStringLiteral("notes.txt"));
    writeTestFile(attachment, "x");
    const struct {
        const char *name;
        std::function<void(MailRequest &)> change;
        const char *refusal;
    } rows[] = {
        {"no sender", [](MailRequest &r) { r.from = QStringLiteral("  "); }, "Please make sure that:\n1.Entered"},
        {"settings never saved", [](MailRequest &r) { r.server.clear(); }, "Please make sure that:\n1.Entered"},
        {"no recipient", [](MailRequest &r) { r.to = QStringLiteral(" \n"); }, "Please specify the Recipient"},
        // Any piece that is no address refuses the list, not only the last.
        {"bad piece first", [](MailRequest &r) { r.to = QStringLiteral("x@y, a@b.cd"); }, "Recipient E-mail address is invalid"},
        {"bad piece last", [](MailRequest &r) { r.to = QStringLiteral("a@b.cd, x@y"); }, "Recipient E-mail address is invalid"},
        {"only commas", [](MailRequest &r) { r.to = QStringLiteral(" , ,"); }, "Recipient E-mail address is invalid"},
        {"no file name", [](MailRequest &r) { r.fileName = QStringLiteral(" *?"); }, "Please enter valid file name."},
        // The card files may not leave the run's own folder.
        {"name with a folder", [](MailRequest &r) { r.fileName = QStringLiteral("../../etc/card"); },
         "Please enter valid file name."},
        {"name ..", [](MailRequest &r) { r.fileName = QStringLiteral(".."); }, "Please enter valid file name."},
        {"attachment gone",
         [](MailRequest &r) {
             r.withCard = false;
             r.attachmentPath = QStringLiteral("/nonexistent/notes.txt");
         },
         "Please select valid file path."},
        {"all well",
         [&](MailRequest &r) {
             r.to = QStringLiteral("A@B.cd ,c@D.ef,");
             r.withCard = false;
             r.attachmentPath = QStringLiteral(" ") + attachment;
         },
         ""},
    };
    for (const auto &row : rows) {
        MailRequest r = request(QStringLiteral("a@b.cd"));
        row.change(r);
        const PreparedJob prepared = prepareMailJob(r, 3);
        const QString expected = QString::fromUtf8(row.refusal);
        EXPECT_EQ(prepared.refusal.left(expected.size()), expected) << row.name;
        EXPECT_EQ(bool(prepared.job), !*row.refusal) << row.name;
        if (prepared.job) {
            EXPECT_EQ(prepared.job->recipients, (QStringList{"a@b.cd", "c@d.ef"}));
            EXPECT_EQ(prepared.job->message.sender, "me@example.org");
            EXPECT_EQ(prepared.job->attachmentPath, attachment);
        }
    }
}

TEST(MailRun, EachModeSendsItsCardsToItsRecipients)
{
    TempFolder folder;
    const QString attachment = folder.file(QStringLiteral("notes.txt"));
    writeTestFile(attachment, "x");
    const QStringList values{"REC-1", "REC-2", "REC-3"};
    auto card = [](const QString &to, const QString &value) {
        return Sent{to, {"Card.jpeg"}, {value}};
    };
    auto both = [](const QString &to, const QString &value) {
        return Sent{to, {"Card_Back.jpeg", "Card.jpeg"}, {"B:" + value, value}};
    };
    const struct {
        const char *name;
        QString to;
        bool withCard, batch, everyone;
        QString side;
        int records;
        QList<Sent> expected;
        QStringList drawn;
    } rows[] = {
        {"without card", kThree, false, false, true, "F", 0,
         {{"a1@example.net", {"notes.txt"}, {""}}, {"a2@example.net", {"notes.txt"}, {""}},
          {"a3@example.net", {"notes.txt"}, {""}}},
         {}},
        // Drawn once, the back first; every recipient gets the same files.
        {"card, no batch, both sides", "a1@example.net,a2@example.net", true, false, true, "BOTH", 0,
         {both("a1@example.net", "design"), both("a2@example.net", "design")},
         {"current B", "current F"}},
        {"every record to everyone", "a1@example.net,a2@example.net", true, true, true, "F", 3,
         {card("a1@example.net", "REC-1"), card("a2@example.net", "REC-1"), card("a1@example.net", "REC-2"),
          card("a2@example.net", "REC-2"), card("a1@example.net", "REC-3"), card("a2@example.net", "REC-3")},
         {"record 0 F", "record 1 F", "record 2 F", "restore"}},
        {"back side only", "a1@example.net", true, true, true, "B", 1,
         {{"a1@example.net", {"Card_Back.jpeg"}, {"B:REC-1"}}},
         {"record 0 B", "restore"}},
        // Record n to recipient n: as many as the shorter list.
        {"one to one, fewer records", kThree, true, true, false, "BOTH", 2,
         {both("a1@example.net", "REC-1"), both("a2@example.net", "REC-2")},
         {"record 0 B", "record 0 F", "record 1 B", "record 1 F", "restore"}},
        {"one to one, fewer recipients", "a1@example.net", true, true, false, "F", 3,
         {card("a1@example.net", "REC-1")},
         {"record 0 F", "restore"}},
        {"batch without records", "a1@example.net", true, true, true, "F", 0, {}, {"restore"}},
    };
    for (const auto &row : rows) {
        MailRequest r = request(row.to);
        r.withCard = row.withCard;
        r.attachmentPath = row.withCard ? QString() : attachment;
        r.batch = row.batch;
        r.everyRecordToEveryone = row.everyone;
        r.side = row.side;
        BarcodeCards cards(values);
        Outbox outbox;
        Runner run;
        const MailRunResult result = run(job(r, row.records), cards, outbox.sender());
        EXPECT_EQ(outbox.sent, row.expected) << row.name;
        EXPECT_EQ(cards.calls, row.drawn) << row.name;
        EXPECT_EQ(result.sent, row.expected.size()) << row.name;
        EXPECT_EQ(result.succeeded(), !row.expected.isEmpty()) << row.name;
        // The card files and their folder are gone with the run.
        for (const QString &path : outbox.files)
            if (path != attachment) {
                EXPECT_FALSE(QFileInfo::exists(QFileInfo(path).absolutePath())) << row.name;
            }
    }
}

TEST(MailRun, AnyFailureIsReportedWithHowManyWereSent)
{
    BarcodeCards cards({"REC-1", "REC-2"});
    const struct {
        const char *name;
        bool everyone;
        QString to;
        std::function<bool(const MailMessage &, int)> refuse;
        int sent, failed;
        int attempted;
    } rows[] = {
        // Outside an every-recipient pass a failure ends the run.
        {"one to one, first fails", false, "a1@example.net,a2@example.net", [](auto &, int i) { return i == 0; }, 0, 1, 1},
        // Inside a pass it ends that record's pass only.
        {"pass, second recipient fails", true, kThree,
         [](const MailMessage &m, int) { return m.toAddress == "a2@example.net"; }, 2, 2, 4},
        // The last message went out, an earlier one did not: still a failure.
        {"earlier failure, last sent", true, "a1@example.net,a2@example.net", [](auto &, int i) { return i == 1; }, 3, 1, 4},
    };
    for (const auto &row : rows) {
        MailRequest r = request(row.to);
        r.batch = true;
        r.everyRecordToEveryone = row.everyone;
        Outbox outbox;
        outbox.refuse = row.refuse;
        Runner run;
        const MailRunResult result = run(job(r, 2), cards, outbox.sender());
        EXPECT_EQ(outbox.sent.size(), row.attempted) << row.name;
        EXPECT_EQ(result.sent, row.sent) << row.name;
        EXPECT_EQ(result.failed, row.failed) << row.name;
        const QString message = result.finalMessage();
        EXPECT_TRUE(message.startsWith("Could not send email message.\nPlease make sure that:")) << row.name;
        EXPECT_TRUE(message.contains(QStringLiteral("Messages sent: %1 of %2.").arg(row.sent).arg(result.planned)))
            << message.toStdString();
        EXPECT_TRUE(message.endsWith("550 refused by the test")) << row.name;
    }
}

TEST(MailRun, PausesAfterEveryNMessagesButNotAfterTheLast)
{
    const struct {
        const char *name;
        QString to;
        int every;
        int seconds;
        QSet<int> undrawable;
        QStringList texts;
        int waits;
    } rows[] = {
        // A pause of S seconds counts down S, ..., 1, a second each.
        {"N = 1, three messages", kThree, 1, 2, {},
         {"Pausing the process for 2 Seconds.", "Pausing the process for 1 Second.", "",
          "Pausing the process for 2 Seconds.", "Pausing the process for 1 Second.", ""},
         4},
        {"N = 2, three messages", kThree, 2, 1, {}, {"Pausing the process for 1 Second.", ""}, 1},
        // A record that is not drawn sends nothing and does not count.
        {"N = 2, record 2 not drawn", kThree, 2, 1, {1}, {}, 0},
        {"no length", kThree, 1, 0, {}, {"", ""}, 0},
    };
    for (const auto &row : rows) {
        MailRequest r = request(row.to);
        r.batch = true;
        r.everyRecordToEveryone = false;
        r.pauses = true;
        r.pauseEvery = row.every;
        r.seconds = row.seconds;
        BarcodeCards cards({"1", "2", "3"});
        cards.undrawable = row.undrawable;
        Outbox outbox;
        Runner run;
        const MailRunResult result = run(job(r, 3), cards, outbox.sender());
        EXPECT_EQ(run.pauseTexts, row.texts) << row.name;
        EXPECT_EQ(run.waits, QList<qint64>(row.waits, 1000)) << row.name;
        EXPECT_EQ(result.skippedRecords, row.undrawable.size()) << row.name;
        EXPECT_TRUE(result.finalMessage().contains(QStringLiteral("Messages sent: %1 of 3.").arg(3 - row.undrawable.size())))
            << row.name;
    }
}

TEST(MailRun, StopIsObeyedBetweenMessagesAndWithinAPause)
{
    const struct {
        const char *name;
        bool duringPause;
        int sent;
        QStringList texts;
    } rows[] = {
        {"after the second message", false, 2, {}},
        {"in the first pause", true, 1, {"Pausing the process for 5 Seconds.", ""}},
    };
    for (const auto &row : rows) {
        MailRequest r = request(kThree);
        r.withCard = false;
        r.pauses = row.duringPause;
        r.seconds = 5;
        Outbox outbox;
        Runner run;
        if (row.duringPause)
            run.duringWait = [&] { run.stop = true; };
        else
            outbox.afterEach = [&](int i) { run.stop = i == 1; };
        BarcodeCards cards;
        const MailRunResult result = run(job(r), cards, outbox.sender());
        EXPECT_EQ(result.sent, row.sent) << row.name;
        EXPECT_TRUE(result.stopped) << row.name;
        EXPECT_TRUE(result.succeeded()) << row.name;
        EXPECT_EQ(run.pauseTexts, row.texts) << row.name;
    }
}

TEST(MailRun, PauseCountdownText)
{
    const struct {
        qint64 ms;
        const char *text;
    } rows[] = {
        // The two worked values given for the countdown, then its plurals.
        {3725000, "Pausing the process for 1 Hour 2 Minutes 5 Seconds."},
        {60000, "Pausing the process for 1 Minute 0 Second."},
        {1000, "Pausing the process for 1 Second."},
        {7322000, "Pausing the process for 2 Hours 2 Minutes 2 Seconds."},
        {3600000, "Pausing the process for 1 Hour 0 Minute 0 Second."},
    };
    for (const auto &row : rows)
        EXPECT_EQ(Calculate_Pause_Time(row.ms), QString::fromUtf8(row.text)) << row.ms;
}

TEST(MailRun, CardsReachARealServerAndReadAsTheirRecords)
{
    SmtpTestServer::Options options;
    options.mode = SmtpTestServer::Mode::ImplicitTls;
    options.user = QStringLiteral("me@example.org");
    options.password = QStringLiteral("pw ✓");
    SmtpTestServer server(options);
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();

    MailRequest r = request(QStringLiteral("a1@example.net, a2@example.net"));
    r.password = options.password;
    r.port = QString::number(server.port());
    r.enableSsl = QStringLiteral("Y");
    r.subject = QStringLiteral("Ihre Karte — №");
    r.body = QStringLiteral("Grüße ✓");
    r.batch = true;
    r.side = QStringLiteral("BOTH");
    // A pause of a real second after every record's pass.
    r.pauses = true;
    r.pauseEvery = 1;
    r.seconds = 1;
    MailJob j = job(r, 2);
    j.script.trustedCertificates = testCertificates().cert;
    const QStringList values{"Kärtchen 1", "Kärtchen 2"};
    BarcodeCards cards(values);
    Runner run;
    const MailRunResult result = run(j, cards, {}, true);
    EXPECT_TRUE(result.succeeded()) << result.finalMessage().toStdString();
    EXPECT_EQ(run.pauseTexts, (QStringList{"Pausing the process for 1 Second.", ""}));

    const QList<QJsonObject> got = server.messages();
    ASSERT_EQ(got.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const QJsonObject &mail = got[i];
        EXPECT_EQ(mail["rcpt_tos"].toArray().toVariantList(), QVariantList{i % 2 ? "a2@example.net" : "a1@example.net"});
        EXPECT_EQ(mail["subject"].toString(), r.subject);
        EXPECT_EQ(mail["body"].toString().trimmed(), r.body);
        const QJsonArray attached = mail["attachments"].toArray();
        ASSERT_EQ(attached.size(), 2);
        QStringList names, read;
        for (const QJsonValue &a : attached) {
            names << a["name"].toString();
            read << readQr(QImage::fromData(QByteArray::fromBase64(a["data"].toString().toLatin1())));
            EXPECT_EQ(a["type"].toString(), "image/jpeg");
        }
        EXPECT_EQ(names, (QStringList{"Card_Back.jpeg", "Card.jpeg"}));
        EXPECT_EQ(read, (QStringList{"B:" + values[i / 2], values[i / 2]})) << i;
    }
}

TEST(MailRun, StopDuringARealSendEndsAfterThatMessage)
{
    SmtpTestServer::Options options;
    options.mode = SmtpTestServer::Mode::StartTls;
    options.user = QStringLiteral("me@example.org");
    options.password = QStringLiteral("pw");
    options.gate = true;
    SmtpTestServer server(options);
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();

    MailRequest r = request(kThree);
    r.port = QString::number(server.port());
    r.withCard = false;
    MailJob j = job(r);
    j.script.trustedCertificates = testCertificates().cert;
    BarcodeCards cards;
    Runner run;
    MailRunResult result;
    std::thread worker([&] {
        MailProgress progress{run.stop, run.current, [](const QString &) {}, {}};
        result = runMail(j, cards, progress);
    });
    // The user stops while the first message is on its way: it still goes.
    const bool held = server.waitForHeldMessage();
    run.stop = true;
    server.releaseHeldMessage();
    worker.join();
    ASSERT_TRUE(held);
    EXPECT_EQ(server.messages().size(), 1);
    EXPECT_EQ(result.sent, 1);
    EXPECT_TRUE(result.stopped);
}
