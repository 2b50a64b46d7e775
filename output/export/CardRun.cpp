#include "output/export/CardRun.h"

#include <algorithm>
#include <iterator>
#include <thread>

namespace output {

namespace {

using Kind = CardProblem::Kind;

// "17", "17 and 45", "3, 17 and 45"; past kNamed cards, "... and 5 more".
QString cardList(const QList<int> &records)
{
    QStringList named;
    for (int i = 0; i < std::min<int>(int(records.size()), CardProblems::kNamed); ++i)
        named << QString::number(records[i] + 1);
    const int more = int(records.size()) - int(named.size());
    if (more > 0)
        return named.join(QStringLiteral(", ")) + QStringLiteral(" and %1 more").arg(more);
    if (named.size() == 1)
        return named.first();
    const QString last = named.takeLast();
    return named.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

// The problems said once for the whole run rather than per card: the kind,
// the paragraph's heading in the end message and the prefix of its lines.
struct RunWide {
    Kind kind;
    const char *heading;
    const char *prefix;
};
constexpr RunWide kRunWide[] = {
    {Kind::Data, "The cards were made without data that could not be used:\n", "data: "},
    {Kind::Damaged, "The cards were made without these damaged pictures of the design:\n", "damaged: "},
};

bool isRunWide(Kind kind)
{
    return std::any_of(std::begin(kRunWide), std::end(kRunWide), [kind](const RunWide &w) { return w.kind == kind; });
}

QString heading(Kind kind, const QList<int> &records)
{
    const bool one = records.size() == 1;
    const QString cards = (one ? QStringLiteral("Card ") : QStringLiteral("Cards ")) + cardList(records);
    switch (kind) {
    case Kind::Barcode:
        return cards + (one ? QStringLiteral(" was made without its barcode") : QStringLiteral(" were made without their barcode"));
    case Kind::Picture:
        return cards + (one ? QStringLiteral(" was made without its picture") : QStringLiteral(" were made without their picture"));
    case Kind::Skipped:
    case Kind::Data:
    case Kind::Damaged:
        break;
    }
    return cards + (one ? QStringLiteral(" could not be made and was left out")
                        : QStringLiteral(" could not be made and were left out"));
}

} // namespace

void CardProblems::add(int record, const CardProblem &problem)
{
    std::lock_guard lock(m_mutex);
    m_problems.emplace(record, problem);
}

void CardProblems::add(int record, CardProblem::Kind kind, const QStringList &reasons)
{
    for (const QString &reason : reasons)
        add(record, {kind, reason});
}

bool CardProblems::isEmpty() const
{
    std::lock_guard lock(m_mutex);
    return m_problems.empty();
}

QList<int> CardProblems::records() const
{
    std::lock_guard lock(m_mutex);
    QList<int> out;
    for (const auto &[record, problem] : m_problems) {
        if (out.isEmpty() || out.last() != record)
            out << record;
    }
    return out;
}

int CardProblems::skipped() const
{
    std::lock_guard lock(m_mutex);
    int count = 0;
    for (const auto &[record, problem] : m_problems)
        count += problem.kind == Kind::Skipped ? 1 : 0;
    return count;
}

QString CardProblems::message() const
{
    std::lock_guard lock(m_mutex);
    QStringList paragraphs;
    for (const RunWide &wide : kRunWide) {
        QStringList named;
        for (const auto &[record, problem] : m_problems) {
            if (problem.kind == wide.kind && !named.contains(problem.reason))
                named << problem.reason;
        }
        if (!named.isEmpty())
            paragraphs << QLatin1String(wide.heading) + named.join(QLatin1Char('\n'));
    }
    for (Kind kind : {Kind::Skipped, Kind::Barcode, Kind::Picture}) {
        QList<int> records;
        QStringList reasons;
        for (const auto &[record, problem] : m_problems) {
            if (problem.kind != kind)
                continue;
            if (records.isEmpty() || records.last() != record)
                records << record;
            // Both sides may lack the same thing (one picture on each): said once.
            const QString line = QStringLiteral("Card %1: %2").arg(record + 1).arg(problem.reason);
            if (records.size() <= kNamed && !reasons.contains(line))
                reasons << line;
        }
        if (!records.isEmpty())
            paragraphs << heading(kind, records) + QStringLiteral(":\n") + reasons.join(QLatin1Char('\n'));
    }
    return paragraphs.join(QStringLiteral("\n\n"));
}

QStringList CardProblems::lines() const
{
    std::lock_guard lock(m_mutex);
    QStringList out;
    for (const RunWide &wide : kRunWide) {
        for (const auto &[record, problem] : m_problems) {
            const QString line = QLatin1String(wide.prefix) + problem.reason;
            if (problem.kind == wide.kind && !out.contains(line))
                out << line;
        }
    }
    int current = -1;
    QStringList reasons;
    const auto flush = [&] {
        if (current >= 0)
            out << QStringLiteral("record %1: %2").arg(current + 1).arg(reasons.join(QStringLiteral("; ")));
    };
    for (const auto &[record, problem] : m_problems) {
        if (isRunWide(problem.kind))
            continue;
        if (record != current) {
            flush();
            current = record;
            reasons.clear();
        }
        if (!reasons.contains(problem.reason))
            reasons << problem.reason;
    }
    flush();
    return out;
}

void RunState::advance(double count)
{
    curr_barcode_count = count;
    if (onAdvance)
        onAdvance();
}

bool RunState::holdWhileAsked() const
{
    // The question is answered on the main thread; a tenth of the time a
    // user needs to notice is slice enough.
    while (asking && !Stop_SMS_Sending_Now)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return Stop_SMS_Sending_Now;
}

QString runEndMessage(const QString &completed, int made, int total, bool stopped, const CardProblems &problems)
{
    QString text;
    if (stopped)
        text = QStringLiteral("The run was stopped after %1 of %2 cards.").arg(made).arg(total);
    else if (problems.isEmpty())
        return completed;
    else
        text = QStringLiteral("%1 of %2 cards were made.").arg(made).arg(total);
    const QString details = problems.message();
    return details.isEmpty() ? text : text + QStringLiteral("\n\n") + details;
}

} // namespace output
