// The bulk e-mail run with the script replaced by a recorder: the checks
// before it, what each mode sends with which card (read back from the
// attached files), failures, skipped records, pauses and stop.
#include "output/mail/MailRun.h"
#include "tests/output/mail/MailTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QFileInfo>
#include <QSet>
#include <gtest/gtest.h>

using namespace output::mail;
using namespace quorvant::test;

namespace {

// Record n's front carries "F:" and its value, the back "B:"; the design as
// it stands carries "design".
class QrCards : public MailCards {
public:
    explicit QrCards(QStringList values = {}) : values(std::move(values)) {}
    platform::Image currentCard(const QString &side) override
    {
        calls << "current " + side;
        return qrCard(side + ":design");
    }
    platform::Image recordCard(int n, const QString &side) override
    {
        calls << QStringLiteral("record %1 %2").arg(n).arg(side);
        return undrawable.contains(n) ? platform::Image() : qrCard(side + ":" + values.value(n));
    }
    void restoreFirstRecord() override { calls << "restore"; }

    QStringList values;
    QSet<int> undrawable;
    QStringList calls;
};

// One message as the run handed it over: recipient, then each attachment's
// name and what its code reads.
using Sent = QStringList;

struct Outbox {
    QList<Sent> sent;
    QStringList files;
    std::function<bool(const MailMessage &, int)> refuse;
    std::function<void(int)> afterEach;

    MailSender sender()
    {
        return [this](const MailMessage &m, const MailScript &) {
            Sent s{m.toAddress};
            for (const QString &path : m.attachments) {
                s << QFileInfo(path).fileName() + " " + readQr(QImage(path));
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
    r.fileName = QStringLiteral("Card");
    r.password = QStringLiteral("pw");
    r.server = QStringLiteral("127.0.0.1");
    r.port = QStringLiteral("1");
    return r;
}

struct Runner {
    std::atomic<bool> stop{false};
    std::atomic<double> current{0};
    QStringList pauseTexts;
    int waits = 0;
    std::function<void()> duringWait;

    MailRunResult operator()(const MailRequest &r, int records, MailCards &cards, Outbox &outbox)
    {
        const PreparedJob prepared = prepareMailJob(r, records);
        EXPECT_TRUE(prepared.job) << prepared.refusal.toStdString();
        MailJob job = prepared.job.value_or(MailJob{});
        job.dpi = 150;
        MailProgress progress{stop, current, [this](const QString &t) { pauseTexts << t; },
                              [this](std::chrono::milliseconds step) {
                                  EXPECT_EQ(step.count(), 1000);
                                  ++waits;
                                  if (duringWait)
                                      duringWait();
                              }};
        MailRunResult result;
        runOnWorker([&] { result = runMail(job, cards, progress, outbox.sender()); });
        return result;
    }
};

const QString kThree = QStringLiteral("a1@example.net, a2@example.net,a3@example.net");
const QString kTwo = QStringLiteral("a1@example.net,a2@example.net");

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
        {"no sender", [](MailRequest &r) { r.from = "  "; }, "Please make sure that:\n1.Entered"},
        {"settings never saved", [](MailRequest &r) { r.server.clear(); }, "Please make sure that:\n1.Entered"},
        {"no recipient", [](MailRequest &r) { r.to = " \n"; }, "Please specify the Recipient"},
        // Any piece that is no address refuses the list, not only the last.
        {"bad piece first", [](MailRequest &r) { r.to = "x@y, a@b.cd"; }, "Recipient E-mail address is invalid"},
        {"bad piece last", [](MailRequest &r) { r.to = "a@b.cd, x@y"; }, "Recipient E-mail address is invalid"},
        {"only commas", [](MailRequest &r) { r.to = " , ,"; }, "Recipient E-mail address is invalid"},
        {"no file name", [](MailRequest &r) { r.fileName = " *?"; }, "Please enter valid file name."},
        // The card files may not leave the run's own folder.
        {"name with folders", [](MailRequest &r) { r.fileName = "../../etc/card"; }, "Please enter valid file name."},
        {"name ..", [](MailRequest &r) { r.fileName = ".."; }, "Please enter valid file name."},
        {"attachment gone",
         [](MailRequest &r) {
             r.withCard = false;
             r.attachmentPath = "/nonexistent/notes.txt";
         },
         "Please select valid file path."},
        {"all well",
         [&](MailRequest &r) {
             r.to = "A@B.cd ,c@D.ef,";
             r.withCard = false;
             r.attachmentPath = " " + attachment;
         },
         ""},
    };
    for (const auto &row : rows) {
        MailRequest r = request(QStringLiteral("a@b.cd"));
        row.change(r);
        const PreparedJob prepared = prepareMailJob(r, 3);
        const QString expected = QString::fromUtf8(row.refusal);
        EXPECT_EQ(prepared.refusal.left(expected.size()), expected) << row.name;
        EXPECT_EQ(bool(prepared.job), expected.isEmpty()) << row.name;
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
    const QString notes = folder.file(QStringLiteral("notes.txt"));
    writeTestFile(notes, "x");
    auto front = [](const char *to, int n) { return Sent{to, QStringLiteral("Card.jpeg F:%1").arg(n)}; };
    auto both = [](const char *to, const QString &n) {
        return Sent{to, "Card_Back.jpeg B:" + n, "Card.jpeg F:" + n};
    };
    const struct {
        const char *name;
        QString to;
        bool withCard, batch, everyone;
        const char *side;
        int records;
        QList<Sent> expected;
        QStringList drawn;
    } rows[] = {
        {"without card", kTwo, false, false, true, "F", 0,
         {{"a1@example.net", "notes.txt "}, {"a2@example.net", "notes.txt "}}, {}},
        // Drawn once, the back first; every recipient gets the same files.
        {"card, no batch", kTwo, true, false, true, "BOTH", 0,
         {both("a1@example.net", "design"), both("a2@example.net", "design")}, {"current B", "current F"}},
        {"every record to everyone", kTwo, true, true, true, "F", 3,
         {front("a1@example.net", 1), front("a2@example.net", 1), front("a1@example.net", 2),
          front("a2@example.net", 2), front("a1@example.net", 3), front("a2@example.net", 3)},
         {"record 0 F", "record 1 F", "record 2 F", "restore"}},
        {"back only", "a1@example.net", true, true, true, "B", 1, {{"a1@example.net", "Card_Back.jpeg B:1"}},
         {"record 0 B", "restore"}},
        // Record n to recipient n: as many as the shorter list.
        {"one to one, fewer records", kThree, true, true, false, "BOTH", 2,
         {both("a1@example.net", "1"), both("a2@example.net", "2")},
         {"record 0 B", "record 0 F", "record 1 B", "record 1 F", "restore"}},
        {"one to one, fewer recipients", "a1@example.net", true, true, false, "F", 3,
         {front("a1@example.net", 1)}, {"record 0 F", "restore"}},
        {"batch without records", "a1@example.net", true, true, true, "F", 0, {}, {"restore"}},
    };
    for (const auto &row : rows) {
        MailRequest r = request(row.to);
        r.withCard = row.withCard;
        r.attachmentPath = row.withCard ? QString() : notes;
        r.batch = row.batch;
        r.everyRecordToEveryone = row.everyone;
        r.side = QString::fromLatin1(row.side);
        QrCards cards({"1", "2", "3"});
        Outbox outbox;
        const MailRunResult result = Runner()(r, row.records, cards, outbox);
        EXPECT_EQ(outbox.sent, row.expected) << row.name;
        EXPECT_EQ(cards.calls, row.drawn) << row.name;
        EXPECT_EQ(result.sent, row.expected.size()) << row.name;
        EXPECT_EQ(result.succeeded(), !row.expected.isEmpty()) << row.name;
        // The card files and their folder are gone with the run.
        for (const QString &path : outbox.files)
            if (path != notes) {
                EXPECT_FALSE(QFileInfo::exists(QFileInfo(path).absolutePath())) << row.name;
            }
    }
}

TEST(MailRun, AnyFailureIsReportedWithHowManyWereSent)
{
    const struct {
        const char *name;
        bool everyone;
        QString to;
        std::function<bool(const MailMessage &, int)> refuse;
        int attempted, sent;
    } rows[] = {
        // Outside an every-recipient pass a failure ends the run.
        {"one to one, first fails", false, kTwo, [](auto &, int i) { return i == 0; }, 1, 0},
        // Inside a pass it ends that record's pass only.
        {"pass, second recipient fails", true, kThree,
         [](const MailMessage &m, int) { return m.toAddress == "a2@example.net"; }, 4, 2},
        // The last message went out, an earlier one did not: still a failure.
        {"earlier failure, last sent", true, kTwo, [](auto &, int i) { return i == 1; }, 4, 3},
    };
    for (const auto &row : rows) {
        MailRequest r = request(row.to);
        r.batch = true;
        r.everyRecordToEveryone = row.everyone;
        QrCards cards({"1", "2"});
        Outbox outbox;
        outbox.refuse = row.refuse;
        const MailRunResult result = Runner()(r, 2, cards, outbox);
        EXPECT_EQ(outbox.sent.size(), row.attempted) << row.name;
        EXPECT_EQ(result.sent, row.sent) << row.name;
        const QString message = result.finalMessage();
        EXPECT_TRUE(message.startsWith("Could not send email message.\nPlease make sure that:")) << row.name;
        EXPECT_TRUE(message.endsWith(QStringLiteral("\n\nMessages sent: %1 of %2.\n550 refused by the test")
                                         .arg(row.sent)
                                         .arg(result.planned)))
            << message.toStdString();
    }
}

TEST(MailRun, PausesComeAfterEveryNMessagesAndAStopEndsThem)
{
    enum Stop { Never, AfterSecondMessage, InFirstPause };
    const QString two = "Pausing the process for 2 Seconds.", one = "Pausing the process for 1 Second.";
    const struct {
        const char *name;
        int every, seconds;
        QSet<int> undrawable;
        Stop stop;
        QStringList texts;
        int sent;
    } rows[] = {
        // A pause of S seconds counts down S, ..., 1, a second each; none
        // after the last message.
        {"N = 1", 1, 2, {}, Never, {two, one, "", two, one, ""}, 3},
        {"N = 2", 2, 1, {}, Never, {one, ""}, 3},
        // A record that is not drawn sends nothing and does not count.
        {"N = 2, record 2 not drawn", 2, 1, {1}, Never, {}, 2},
        {"no length", 1, 0, {}, Never, {"", ""}, 3},
        {"stop after a message", 5, 1, {}, AfterSecondMessage, {}, 2},
        {"stop in a pause", 1, 2, {}, InFirstPause, {two, ""}, 1},
    };
    for (const auto &row : rows) {
        MailRequest r = request(kThree);
        r.batch = true;
        r.everyRecordToEveryone = false;
        r.pauses = true;
        r.pauseEvery = row.every;
        r.seconds = row.seconds;
        QrCards cards({"1", "2", "3"});
        cards.undrawable = row.undrawable;
        Outbox outbox;
        Runner run;
        if (row.stop == InFirstPause)
            run.duringWait = [&] { run.stop = true; };
        if (row.stop == AfterSecondMessage)
            outbox.afterEach = [&](int i) { run.stop = i == 1; };
        const MailRunResult result = run(r, 3, cards, outbox);
        EXPECT_EQ(run.pauseTexts, row.texts) << row.name;
        EXPECT_EQ(run.waits, row.texts.size() - row.texts.count(QString())) << row.name;
        EXPECT_EQ(result.sent, row.sent) << row.name;
        EXPECT_EQ(result.skippedRecords, row.undrawable.size()) << row.name;
        EXPECT_EQ(result.stopped, row.stop != Never) << row.name;
        EXPECT_TRUE(result.succeeded()) << row.name;
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
    };
    for (const auto &row : rows)
        EXPECT_EQ(Calculate_Pause_Time(row.ms), QString::fromUtf8(row.text)) << row.ms;
}

TEST(MailRun, TheProgressCountsMessagesSentNotBegun)
{
    // While message k (from 0) is on its way, k messages have gone out.
    for (bool batch : {false, true}) {
        MailRequest r = request(kThree);
        r.batch = batch;
        r.everyRecordToEveryone = false;
        QrCards cards({"1", "2", "3"});
        Outbox outbox;
        Runner run;
        QList<double> shown;
        outbox.afterEach = [&](int) { shown << run.current; };
        run(r, 3, cards, outbox);
        EXPECT_EQ(shown, (QList<double>{0, 1, 2})) << batch;
        EXPECT_EQ(run.current, 3) << batch;
    }
}

TEST(MailRun, AStopIsToldAsAStopBeforeTheFirstMessageAndInTheLastPass)
{
    const struct {
        const char *name;
        bool everyone;
        int stopAfter; // the message (from 0) after which Yes is answered; -1 before any
        int sent;
        int planned;
    } rows[] = {
        {"before the first message", false, -1, 0, 2},
        // Record 2's pass to the three recipients, after its first message.
        {"in the last record's pass", true, 3, 4, 6},
    };
    for (const auto &row : rows) {
        MailRequest r = request(kThree);
        r.batch = true;
        r.everyRecordToEveryone = row.everyone;
        QrCards cards({"1", "2"});
        Outbox outbox;
        Runner run;
        run.stop = row.stopAfter < 0;
        outbox.afterEach = [&](int i) { run.stop = run.stop || i == row.stopAfter; };
        const MailRunResult result = run(r, 2, cards, outbox);
        EXPECT_TRUE(result.stopped) << row.name;
        EXPECT_EQ(result.finalMessage(),
                  QStringLiteral("Sending was stopped after %1 of %2 messages.").arg(row.sent).arg(row.planned))
            << row.name;
    }
}
