#pragma once
// What one output run (export, print or mail) shares with its progress
// sheet, and what it tells the user at its end.
//
// A RunState belongs to one run: the progress sheet and the run's threads
// hold it together, nothing else does. The stop request is set only by a
// confirmed Stop; while the Stop question is open the run holds before its
// next card (holdWhileAsked), so that nothing new is made while the user
// decides. Any thread.
//
// CardProblems collects the cards that were made without something (a
// barcode value the symbology refused, a picture whose file is missing) or
// not made at all, by record, and words the message the run ends with.

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <map>
#include <mutex>

namespace output {

// One problem of one card.
struct CardProblem {
    enum class Kind {
        Barcode, // a bound barcode got no symbol
        Picture, // a bound picture could not be read
        Skipped, // the card could not be made and was left out
        Data,    // a bound series or column could not be used, on every card
                 // that shows it: said once for the run, not per card
        Damaged, // a picture of the design itself is damaged (shown as
                 // missing since it was opened): said once for the run
    };
    Kind kind = Kind::Barcode;
    // Why, as the user reads it, e.g. "\"12345\": EAN-13 takes 12 or 13 digits".
    QString reason;
    bool operator==(const CardProblem &) const = default;
};

// The problems of a run, by record (from 0); any thread.
class CardProblems {
public:
    // The cards named in a message; the rest are counted.
    static constexpr int kNamed = 10;

    void add(int record, const CardProblem &problem);
    void add(int record, CardProblem::Kind kind, const QStringList &reasons);
    bool isEmpty() const;
    // Records with any problem, in order.
    QList<int> records() const;
    // Records left out of the run.
    int skipped() const;
    // The lines of the end message, one per kind: first the data the run
    // could not use and the damaged pictures of the design, each once; then
    // "Cards 17 and 45 were made
    // without their barcode: ...", at most kNamed cards each with their
    // reasons, then how many more. Cards are numbered from 1, as the
    // exported files are. Empty when there is no problem.
    QString message() const;
    // One line "data: REASON" for each source the run could not use and
    // one "damaged: OBJECT" for each damaged picture, then one line per
    // record, "record N: REASON" (N from 1, the reasons of one record joined
    // by "; "), as the benchmark programs print them.
    QStringList lines() const;

private:
    mutable std::mutex m_mutex;
    std::multimap<int, CardProblem> m_problems;
};

struct RunState {
    // The run values under their fixed names, owned by the run: the stop
    // request, the number of items, and the run's count: the item being
    // made (from 1; 0 before the first), or for the image export the cards
    // finished so far.
    std::atomic<bool> Stop_SMS_Sending_Now{false};
    std::atomic<int> list_count{0};
    std::atomic<double> curr_barcode_count{0};
    // The Stop question is open.
    std::atomic<bool> asking{false};
    CardProblems problems;
    // Told, on the thread that moved it, each time advance() moves the
    // count; set before the run starts. The progress sheet uses it to show
    // every card as it is finished rather than at its next tick.
    std::function<void()> onAdvance;

    // Sets the count and tells onAdvance.
    void advance(double count);

    // Returns once the Stop question is answered (at once when it is not
    // open); true when the run is to stop.
    bool holdWhileAsked() const;
    bool stopped() const { return Stop_SMS_Sending_Now; }
};

// The end message of a run of `total` cards of which `made` were made, with
// its problems: `completed` (the output's own message) when every card was
// made whole, else what was left out and why. `stopped` says the user
// stopped it.
QString runEndMessage(const QString &completed, int made, int total, bool stopped, const CardProblems &problems);

} // namespace output
