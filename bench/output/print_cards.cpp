// Prints every record of a design to a PDF file through the Print command's
// label sheets, and says how long the whole process took and how much memory
// it held at its peak.
//
//   print_cards DESIGN.zelg OUT.pdf ROWS COLS PAPER
//
// PAPER is a paper name such as Letter or A4. The labels are the card's size,
// auto-centred on the whole paper (a PDF file has no unprintable edge), the
// front side only. The records are those the design is bound to, from the
// series folder of the user's resource folder (XDG_DATA_HOME moves it).
//
// It also prints how long the main thread was held at most for one card
// and for one page (the Print window hears its Stop button after each).
//
// Every record whose card could not be made whole (left out, or made
// without a barcode or picture) is printed on standard error as
// "record N: REASON", N from 1, after a line "data: REASON" for each bound
// series or column the run could not use and a line "damaged: OBJECT" for
// each damaged picture of the design; the other cards are still printed,
// and the program then exits with status 3.

#include "design_window/Globals.h"
#include "design_window/TVNWindowController.h"
#include "output/print_window/DesignCards.h"
#include "output/print_window/Printing_View.h"
#include "platform/Alerts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPageSize>
#include <algorithm>
#include <cstdio>

namespace {

// Megabytes of the process's peak resident memory ("VmHWM").
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

// The paper named `name` in points (Qt's keys: "Letter", "A4", "Legal", ...).
QSizeF paperNamed(const QString &name)
{
    for (int id = 0; id <= int(QPageSize::LastPageSize); ++id) {
        const auto page = QPageSize::PageSizeId(id);
        if (QPageSize::key(page).compare(name, Qt::CaseInsensitive) == 0)
            return QPageSize::size(page, QPageSize::Millimeter) * output::kPointsPerMillimetre;
    }
    return {};
}

int fail(const char *what)
{
    std::fprintf(stderr, "print_cards: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvant"));
    const QStringList args = QApplication::arguments();
    if (args.size() != 6) {
        std::fprintf(stderr, "usage: print_cards DESIGN.zelg OUT.pdf ROWS COLS PAPER\n");
        return 2;
    }
    const QSizeF paper = paperNamed(args[5]);
    if (paper.isEmpty())
        return fail("unknown paper");

    // No one is there to press OK: a message the design's loading shows
    // (a design path that is a FIFO, a picture that could not be read) goes
    // to standard error instead of waiting for ever in a modal box.
    QStringList alerts;
    platform::ScopedAlertResponder say([&](const platform::AlertRequest &r) {
        alerts << r.text.trimmed();
        std::fprintf(stderr, "%s\n", qPrintable(r.text.trimmed()));
        return r.defaultButton;
    });
    TVNWindowController window;
    if (window.Read_and_load_design_Log(args[1], QStringLiteral("L")) != 1)
        return fail("the design could not be opened");
    window.Check_Series_Or_Excel_Use_or_not();
    const bool batch = design_window::Use_Data_Sheet_Values || design_window::Use_Excel_Binding_Values;
    const int records = batch ? int(design_window::Total_Batch_Excel_Card) : 1;

    output::PrintedDesign design = output::designOfMainWindow();
    const platform::Image front = TVNRenderingView::image_From_Card_Graphics(design.graphics(0), design.face(0));
    const platform::Image back = TVNRenderingView::image_From_Card_Graphics(design.graphics(1), design.face(1));

    output::GridRequest request;
    request.widthMm = output::Points_to_MM_Convert(float(front.size().width()));
    request.heightMm = output::Points_to_MM_Convert(float(front.size().height()));
    request.rows = args[3].toInt();
    request.columns = args[4].toInt();
    request.autoCentre = true;
    const output::GridFit fit = output::fitGrid(request, paper, {});
    output::SheetLayout layout;
    layout.paper = paper;
    layout.labelWidth = fit.labelWidth;
    layout.labelHeight = fit.labelHeight;
    layout.horizontalGap = fit.horizontalGap;
    layout.verticalGap = fit.verticalGap;
    layout.rows = fit.rows;
    layout.columns = fit.columns;
    layout.autoCentre = true;

    design_window::Card_Value_In_Process = true;
    output::SheetRun run;
    QStringList problems;
    qint64 longestCard = 0, longestPage = 0;
    {
        output::DesignCards cards(design, front, back, batch ? records : 0);
        // How long the main thread is held at most between two chances to
        // hear the Stop button: one card, and one page as a whole.
        QElapsedTimer sinceCard, sincePage;
        sinceCard.start();
        sincePage.start();
        cards.betweenLabels = [&](int) {
            longestCard = std::max(longestCard, sinceCard.nsecsElapsed());
            sinceCard.restart();
            return true;
        };
        Printing_View view(layout, records, cards, false);
        run = view.printToPdf(args[2], [&](int, int) {
            longestPage = std::max(longestPage, sincePage.nsecsElapsed());
            sincePage.restart();
            sinceCard.restart();
            return true;
        });
        problems = cards.problems().lines();
    }
    design_window::Card_Value_In_Process = false;
    if (!run.failure.isEmpty())
        return fail(qPrintable(run.failure));
    for (const QString &line : problems)
        std::fprintf(stderr, "%s\n", qPrintable(line));
    std::printf("%d cards, %d pages (%d x %d), %.3f s, peak %.1f MB, longest card %.1f ms, longest page %.1f ms\n",
                records, run.pages, layout.rows, layout.columns, clock.nsecsElapsed() / 1e9, peakMegabytes(),
                longestCard / 1e6, longestPage / 1e6);
    return problems.isEmpty() && alerts.isEmpty() ? 0 : 3;
}
