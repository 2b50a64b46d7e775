#include "output/mail_window/DesignMailCards.h"

#include "design_window/Globals.h"
#include "design_window/RecordFill.h"
#include "platform/MainThread.h"

#include <optional>

namespace output::mail {

using design_window::Main_App_wnd;

namespace {

// The design window's cards; the main window is asked at each call, on the
// main thread, which sets it.
std::optional<design_window::CardSource> cards()
{
    std::optional<design_window::CardSource> source;
    platform::runOnMainThread([&] {
        if (Main_App_wnd)
            source.emplace(*Main_App_wnd);
    });
    return source;
}

} // namespace

void DesignMailCards::Check_Series_Or_Excel_Use_or_not()
{
    if (auto source = cards())
        source->check();
}

void DesignMailCards::Get_total_Card_count()
{
    if (auto source = cards())
        source->count();
}

platform::Image DesignMailCards::currentCard(const QString &side)
{
    auto source = cards();
    return source ? source->currentCard(design_window::sideNumber(side)) : platform::Image();
}

platform::Image DesignMailCards::recordCard(int n, const QString &side)
{
    auto source = cards();
    return source ? source->recordCard(n, design_window::sideNumber(side)) : platform::Image();
}

void DesignMailCards::setResolution(double dpi)
{
    if (auto source = cards())
        source->setResolution(dpi);
}

void DesignMailCards::restoreFirstRecord()
{
    if (auto source = cards())
        source->restoreFirst();
}

std::vector<CardProblem> DesignMailCards::takeProblems()
{
    auto source = cards();
    return source ? source->takeProblems() : std::vector<CardProblem>();
}

} // namespace output::mail
