#pragma once
// The bulk e-mail run: one message per recipient, with or without the card
// attached, and with batch data every record's card to every recipient or
// record n's card to recipient n; pauses after every N messages; a stop
// request obeyed between messages and within a pause.
//
// prepareMailJob() checks what the mail window holds and turns it into a
// job, or into the message that refuses it. runMail() then sends, on the
// calling thread (a worker): the cards it asks for hand every fill and
// drawing of the design to the main thread, writes the cards into a private temporary
// folder that is gone when the run ends, and calls the mail script once per
// message. It uses no widget; what the user sees of the run goes through
// MailProgress.

#include "output/export/CardRun.h"
#include "output/mail/MailScript.h"
#include "platform/Image.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

namespace output::mail {

// The four kinds of run, as the run logs them.
enum class MailMode {
    WithoutCard,           // "send without card."
    CardNoBatch,           // "send card no batch."
    EveryRecordToEveryone, // "send card with batch to all image to everyone"
    RecordPerRecipient,    // "send card with batch to one to one"
};
QString modeLogText(MailMode mode);

// What the mail window holds when Send is pressed, and the stored settings.
struct MailRequest {
    QString from;            // the From field
    QString to;              // recipients separated by ","
    QString subject;
    QString body;
    bool withCard = true;
    QString attachmentPath;  // without the card: a file to attach, or ""
    QString fileName;        // with the card: the attachment's base name
    QString side = QStringLiteral("F"); // "BOTH", "F" or "B"
    bool batch = false;      // a data check is on and its source in use
    bool everyRecordToEveryone = true;
    bool pauses = false;
    int pauseEvery = 1;      // N messages
    int hours = 0, minutes = 0, seconds = 0;
    // The stored settings (sender_pwd, sending_server, sending_port,
    // send_enable_ssl).
    QString password, server, port, enableSsl;
};

// A run ready to go.
struct MailJob {
    MailMode mode = MailMode::WithoutCard;
    QStringList recipients;          // trimmed, lower-cased, in order
    MailMessage message;             // everything but recipient and attachments
    QString attachmentPath;          // without the card, or ""
    QString baseName;                // the card files' name, one path component
    QString side;                    // "BOTH", "F" or "B"
    int records = 0;                 // R, in the batch modes
    int pauseEvery = 0;              // 0: no pauses
    std::chrono::milliseconds pauseLength{0};
    MailScript script;
    // Resolution of the attached card pictures, dots per inch.
    double dpi = 300;

    // Items of the progress sheet: the records when every record goes to
    // everyone, else the recipients.
    int itemCount() const;
    // Messages the run means to send.
    int plannedMessages() const;
};

// The checks before a run, in their order; the message of the first that
// fails, or the job. `records` is the batch record count (only read in the
// batch modes).
struct PreparedJob {
    std::optional<MailJob> job;
    QString refusal;
};
PreparedJob prepareMailJob(const MailRequest &request, int records);

// The cards as the design draws them. currentCard() and recordCard() are
// called on the run's own thread: a source that reads the live design hands
// its work to the main thread itself, in steps short enough that the main
// thread hears a Stop click between them (the design window's card source
// draws a band at a time). The rest is called on the main thread only.
class MailCards {
public:
    virtual ~MailCards() = default;
    // Side "F" or "B" of the design as it stands, at its size in points.
    virtual platform::Image currentCard(const QString &side) = 0;
    // Record n (from 0) filled into side "F" or "B" and drawn; null when it
    // cannot be.
    virtual platform::Image recordCard(int n, const QString &side) = 0;
    // The resolution the run attaches its cards at, so that they are drawn
    // at it; 0 when the run is over.
    virtual void setResolution(double dpi) { Q_UNUSED(dpi); }
    // After a batch run: record 0 back on the design.
    virtual void restoreFirstRecord() = 0;
    // What the cards drawn since the last call lack (a refused barcode
    // value, a missing picture); taken.
    virtual std::vector<CardProblem> takeProblems() { return {}; }
};

// Where the run stands, for the progress sheet (any thread may read).
struct MailProgress {
    std::atomic<bool> &stop;      // set by the user; obeyed between messages
    std::atomic<double> &current; // item being sent, from 1
    // The pause countdown text, "" when the pause ends. Called on the run's
    // thread.
    std::function<void(const QString &)> pauseText;
    // Waits one step of a pause (at most a second). Empty: sleeps, waking
    // early when a stop is requested.
    std::function<void(std::chrono::milliseconds)> wait;
    // Set while the Stop question is open: no message starts meanwhile.
    const std::atomic<bool> *asking = nullptr;
    // Where the cards' problems go, by record; none: they are not kept.
    CardProblems *problems = nullptr;
};

struct MailRunResult {
    int sent = 0;
    int failed = 0;
    int skippedRecords = 0;  // records whose card could not be drawn
    int planned = 0;
    bool stopped = false;
    QString firstFailure;    // why the first failed message was not sent
    // The cards that were sent without a barcode or picture, or not at all.
    QString cardProblems;
    // No message failed (the run may still have been stopped, or have left
    // cards out).
    bool succeeded() const { return sent > 0 && failed == 0; }
    // What the user is told when the run ends.
    QString finalMessage() const;
};

using MailSender = std::function<MailResult(const MailMessage &, const MailScript &)>;

// Runs the job on the calling thread (not the main thread: the cards are
// drawn there while this thread waits). `send` defaults to sendEmail_pyth.
MailRunResult runMail(const MailJob &job, MailCards &cards, MailProgress &progress, const MailSender &send = {});

// The countdown text of a pause of `ms` milliseconds.
QString Calculate_Pause_Time(qint64 ms);

} // namespace output::mail
