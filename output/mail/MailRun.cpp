#include "output/mail/MailRun.h"

#include "output/mail/EmailSettings.h"
#include "platform/Files.h"
#include "platform/Helpers.h"
#include "platform/Log.h"
#include "platform/MainThread.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <thread>

namespace output::mail {

using namespace std::chrono_literals;

namespace {

const QString kCheckSettings = QStringLiteral(
    "Please make sure that:\n1.Entered E-mail Settings are correct.\n2.Internet Connectivity to E-mail server is not "
    "interrupted and E-mail server is not down.\n3.Your firewall or security software(if any) is not blocking the "
    "software to communicate with your E-mail server.");
const QString kRunFailed = QStringLiteral(
    "Could not send email message.\nPlease make sure that:\n1. Entered E-mail settings are correct.\n2. Internet "
    "connectivity to E-mail server is not interrupted and E-mail server is not down.\n3. Your Firewall or Security "
    "software (if any) is not blocking the software to communicate with your E-mail server.");

// A wait step is cut into slices so that a stop is seen at once.
constexpr auto kWaitSlice = 50ms;

bool isBatch(MailMode mode)
{
    return mode == MailMode::EveryRecordToEveryone || mode == MailMode::RecordPerRecipient;
}

// The base name must name a file inside the run's folder and nothing else.
bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

QString backPath(const QString &path)
{
    const QFileInfo info(path);
    return info.dir().filePath(QStringLiteral("%1_Back.%2").arg(info.completeBaseName(), info.suffix()));
}

// The card as JPEG (the attachment's extension), at `dpi`, over white.
bool writeCard(const platform::Image &image, const QString &path, double dpi, QString *why)
{
    const QImage pixels = image.toBitmap(dpi, Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(100);
    if (pixels.isNull() || !writer.write(pixels)) {
        *why = QStringLiteral("The card picture could not be made: %1").arg(writer.errorString());
        return false;
    }
    return platform::writeFileAtomically(path, bytes, why);
}

void sleepUnlessStopped(std::chrono::milliseconds length, const std::atomic<bool> &stop)
{
    const auto end = std::chrono::steady_clock::now() + length;
    while (!stop) {
        const auto left = end - std::chrono::steady_clock::now();
        if (left <= 0ms)
            return;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, kWaitSlice));
    }
}

} // namespace

QString modeLogText(MailMode mode)
{
    switch (mode) {
    case MailMode::WithoutCard:
        return QStringLiteral("send without card.");
    case MailMode::CardNoBatch:
        return QStringLiteral("send card no batch.");
    case MailMode::EveryRecordToEveryone:
        return QStringLiteral("send card with batch to all image to everyone");
    case MailMode::RecordPerRecipient:
        break;
    }
    return QStringLiteral("send card with batch to one to one");
}

int MailJob::itemCount() const
{
    return mode == MailMode::EveryRecordToEveryone ? records : int(recipients.size());
}

int MailJob::plannedMessages() const
{
    switch (mode) {
    case MailMode::EveryRecordToEveryone:
        return records * int(recipients.size());
    case MailMode::RecordPerRecipient:
        return std::min(records, int(recipients.size()));
    default:
        return int(recipients.size());
    }
}

PreparedJob prepareMailJob(const MailRequest &request, int records)
{
    auto refuse = [](const QString &message) { return PreparedJob{std::nullopt, message}; };
    MailJob job;
    job.message.sender = Trim_Str(request.from.toLower());
    // Without stored settings the script could only fail.
    if (job.message.sender.isEmpty() || request.password.isEmpty() || Trim_Str(request.server).isEmpty()
        || Trim_Str(request.port).isEmpty())
        return refuse(kCheckSettings);
    if (Trim_Str(request.to).isEmpty())
        return refuse(QStringLiteral("Please specify the Recipient E-mail address."));
    for (const QString &piece : request.to.toLower().split(QLatin1Char(','))) {
        const QString address = Trim_Str(piece);
        if (address.isEmpty())
            continue; // a comma at the end, or two in a row
        if (!isValidEmail(address))
            return refuse(QStringLiteral("Recipient E-mail address is invalid or incomplete."));
        job.recipients << address;
    }
    if (job.recipients.isEmpty())
        return refuse(QStringLiteral("Recipient E-mail address is invalid or incomplete."));

    if (request.withCard) {
        job.baseName = Trim_Str(Remove_Reserve_Char_In_File_Name(request.fileName));
        if (!isPlainFileName(job.baseName))
            return refuse(QStringLiteral("Please enter valid file name."));
        job.side = request.side;
        job.mode = !request.batch ? MailMode::CardNoBatch
                   : request.everyRecordToEveryone ? MailMode::EveryRecordToEveryone
                                                   : MailMode::RecordPerRecipient;
        job.records = isBatch(job.mode) ? std::max(records, 0) : 0;
    } else {
        job.attachmentPath = Trim_Str(request.attachmentPath);
        if (!job.attachmentPath.isEmpty() && !QFileInfo(job.attachmentPath).isFile())
            return refuse(QStringLiteral("Please select valid file path."));
    }

    if (request.pauses) {
        job.pauseEvery = std::max(request.pauseEvery, 1);
        job.pauseLength = std::chrono::hours(request.hours) + std::chrono::minutes(request.minutes)
                          + std::chrono::seconds(request.seconds);
    }
    job.message.subject = request.subject;
    job.message.body = request.body;
    job.message.password = request.password;
    job.message.smtp = request.server;
    job.message.port = request.port;
    // Never saved: STARTTLS, which still refuses to send in clear text.
    job.message.enableSsl = request.enableSsl == QLatin1String("Y") ? QStringLiteral("Y") : QStringLiteral("N");
    return {std::move(job), {}};
}

QString MailRunResult::finalMessage() const
{
    // The success message only for a run that sent every card whole.
    QString text;
    // A stop before the first message is a stop, not a failure to send.
    if (failed > 0 || (sent == 0 && !stopped))
        text = kRunFailed + QStringLiteral("\n\nMessages sent: %1 of %2.").arg(sent).arg(planned);
    else if (stopped)
        text = QStringLiteral("Sending was stopped after %1 of %2 messages.").arg(sent).arg(planned);
    else if (!cardProblems.isEmpty() || skippedRecords > 0)
        text = QStringLiteral("%1 of %2 messages were sent.").arg(sent).arg(planned);
    else
        text = QStringLiteral("E-mail has been sent successfully.\n\nMessages sent: %1 of %2.").arg(sent).arg(planned);
    if (!cardProblems.isEmpty())
        text += QStringLiteral("\n\n") + cardProblems;
    else if (skippedRecords > 0)
        text += QStringLiteral("\nCards that could not be drawn: %1.").arg(skippedRecords);
    if (!firstFailure.isEmpty())
        text += QStringLiteral("\n") + firstFailure;
    return text;
}

MailRunResult runMail(const MailJob &job, MailCards &cards, MailProgress &progress, const MailSender &send)
{
    MailRunResult result;
    result.planned = job.plannedMessages();
    platform::log(modeLogText(job.mode));
    const MailSender sender = send ? send : MailSender(sendEmail_pyth);
    std::function<void(std::chrono::milliseconds)> wait = progress.wait;
    if (!wait)
        wait = [&](std::chrono::milliseconds step) { sleepUnlessStopped(step, progress.stop); };
    auto failWith = [&](const QString &reason) {
        ++result.failed;
        if (result.firstFailure.isEmpty())
            result.firstFailure = reason;
        platform::log(QStringLiteral("error in mail"));
    };

    // The card files live in a folder of the run's own, readable by the user
    // alone and removed with everything in it when the run ends.
    QTemporaryDir folder;
    if (job.mode != MailMode::WithoutCard && !folder.isValid()) {
        failWith(QStringLiteral("No folder for the card files: %1").arg(folder.errorString()));
        return result;
    }
    const QString frontFile = folder.filePath(job.baseName + QStringLiteral(".jpeg"));
    const QString backFile = backPath(frontFile);

    // While the Stop question is open nothing new starts.
    auto holdWhileAsked = [&] {
        while (progress.asking && *progress.asking && !progress.stop)
            std::this_thread::sleep_for(10ms);
        return bool(progress.stop);
    };
    auto sendOne = [&](const QString &recipient, const QStringList &attachments) {
        platform::log(recipient);
        MailMessage message = job.message;
        message.toAddress = recipient;
        message.attachments = attachments;
        const MailResult sent = sender(message, job.script);
        if (sent.sent)
            ++result.sent;
        else
            failWith(sent.reason);
        return sent.sent;
    };
    // Draws the sides (the back first) and writes them; the files in the
    // order they are attached, or none when a side could not be drawn or
    // written (`drawn` says which).
    auto makeCards = [&](const std::function<platform::Image(const QString &)> &draw, bool *drawn) {
        QStringList files;
        *drawn = true;
        QStringList sides;
        if (job.side != QLatin1String("F"))
            sides << QStringLiteral("B");
        if (job.side == QLatin1String("F") || job.side == QLatin1String("BOTH"))
            sides << QStringLiteral("F");
        for (const QString &side : sides) {
            // Drawn from here: the source holds the main thread only a band
            // at a time.
            const platform::Image image = draw(side);
            if (image.isNull()) {
                *drawn = false;
                return QStringList();
            }
            const QString path = side == QLatin1String("B") ? backFile : frontFile;
            QString why;
            if (!writeCard(image, path, job.dpi, &why)) {
                failWith(
                    QStringLiteral("The card file %1 could not be written: %2").arg(QFileInfo(path).fileName(), why));
                return QStringList();
            }
            files << path;
        }
        return files;
    };
    auto pause = [&] {
        for (auto left = job.pauseLength; left > 0ms && !progress.stop; left -= 1000ms) {
            progress.pauseText(Calculate_Pause_Time(left.count()));
            wait(std::min<std::chrono::milliseconds>(left, 1000ms));
        }
        progress.pauseText(QString());
    };

    if (job.mode != MailMode::WithoutCard)
        platform::runOnMainThread([&] { cards.setResolution(job.dpi); });

    const int items = job.itemCount();
    // The last item that can send anything: record n goes to recipient n.
    const int lastItem = job.mode == MailMode::RecordPerRecipient ? std::min(items, job.records) : items;
    QStringList noBatchCards;
    int sincePause = 0;
    int i = 0;
    // A stop left a record's pass to every recipient unfinished (the last
    // record's too).
    bool passCut = false;
    try {
        for (; i < items && !holdWhileAsked(); ++i) {
            // The items done, not the one begun: the sheet counts what went out.
            progress.current = i;
            if (job.mode == MailMode::WithoutCard) {
                const QStringList attachments =
                    job.attachmentPath.isEmpty() ? QStringList() : QStringList{job.attachmentPath};
                if (!sendOne(job.recipients[i], attachments))
                    break;
            } else if (job.mode == MailMode::CardNoBatch) {
                if (i == 0) {
                    bool drawn = false;
                    noBatchCards = makeCards([&](const QString &side) { return cards.currentCard(side); }, &drawn);
                    if (!drawn)
                        failWith(QStringLiteral("The card could not be drawn."));
                    // Bound data that could not be used is named once.
                    std::vector<CardProblem> problems;
                    platform::runOnMainThread([&] { problems = cards.takeProblems(); });
                    if (progress.problems) {
                        for (const CardProblem &problem : problems)
                            progress.problems->add(0, problem);
                    }
                    if (noBatchCards.isEmpty())
                        break;
                }
                if (!sendOne(job.recipients[i], noBatchCards))
                    break;
            } else {
                if (i >= job.records) {
                    progress.current = items;
                    break;
                }
                bool drawn = false;
                const QStringList files =
                    makeCards([&](const QString &side) { return cards.recordCard(i, side); }, &drawn);
                std::vector<CardProblem> problems;
                platform::runOnMainThread([&] { problems = cards.takeProblems(); });
                if (!drawn)
                    problems.push_back({CardProblem::Kind::Skipped, QStringLiteral("the card could not be drawn")});
                if (progress.problems) {
                    for (const CardProblem &problem : problems)
                        progress.problems->add(i, problem);
                }
                if (!drawn) {
                    platform::log(QStringLiteral("Record %1 could not be drawn; nothing is sent for it.").arg(i + 1));
                    ++result.skippedRecords;
                    continue;
                }
                if (files.isEmpty())
                    break;
                if (job.mode == MailMode::EveryRecordToEveryone) {
                    // A failed message ends this record's pass only.
                    for (const QString &recipient : job.recipients) {
                        if (holdWhileAsked()) {
                            passCut = true;
                            break;
                        }
                        if (!sendOne(recipient, files))
                            break;
                    }
                } else if (!sendOne(job.recipients[i], files)) {
                    break;
                }
            }
            progress.current = i + 1;
            if (job.pauseEvery > 0 && ++sincePause == job.pauseEvery && i + 1 < lastItem) {
                sincePause = 0;
                pause();
            }
        }
    } catch (const std::exception &e) {
        failWith(QStringLiteral("The run ended early: %1").arg(QString::fromUtf8(e.what())));
    }
    result.stopped = progress.stop && (i < lastItem || passCut);
    if (progress.problems)
        result.cardProblems = progress.problems->message();
    if (job.mode != MailMode::WithoutCard) {
        try {
            platform::runOnMainThread([&] {
                cards.setResolution(0);
                if (isBatch(job.mode))
                    cards.restoreFirstRecord();
            });
        } catch (const std::exception &e) {
            platform::log(QStringLiteral("Record 1 could not be put back on the design: %1")
                              .arg(QString::fromUtf8(e.what())));
        }
    }
    return result;
}

QString Calculate_Pause_Time(qint64 ms)
{
    const qint64 s = ms / 1000;
    const qint64 h = s / 3600;
    const qint64 m = (s % 3600) / 60;
    const qint64 sec = s % 60;
    const QString hours = (h < 2 ? QStringLiteral("%1 Hour ") : QStringLiteral("%1 Hours ")).arg(h);
    const QString minutes = (m < 2 ? QStringLiteral("%1 Minute ") : QStringLiteral("%1 Minutes ")).arg(m);
    const QString seconds = (sec < 2 ? QStringLiteral("%1 Second.") : QStringLiteral("%1 Seconds.")).arg(sec);
    QString text = QStringLiteral("Pausing the process for ");
    if (h >= 1)
        return text + hours + minutes + seconds;
    if (m == 0)
        return text + seconds;
    return text + minutes + seconds;
}

} // namespace output::mail
