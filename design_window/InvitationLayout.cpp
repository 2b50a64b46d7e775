#include "design_window/InvitationLayout.h"

namespace design_window {

std::vector<InvitationItem> invitationLayout(const InvitationAnswers &a, QSizeF cardSize, QPointF cardOrigin)
{
    const float W = float(cardSize.width()), H = float(cardSize.height());
    const float w = W - 80;
    const float x = (W - w) / 2;
    const float photoTop = (H - 250) / 2;
    // The addressee, date, time and venue lines start 10 points left of the
    // title's column and the message 10 points right of it.
    constexpr float kLineLeft = 30, kMessageLeft = 50;
    float y = 40;

    std::vector<InvitationItem> items;
    // The photo is centred on the card and so may overlap the texts: it is
    // placed first, behind them, so that no text is hidden under it.
    if (!a.photo.isEmpty())
        items.push_back({GraphicClass::Image, a.photo, QStringLiteral("PARTY_IMAGE"), QRectF(x, photoTop, w, 250)});
    const auto text = [&](const QString &value, const char *id, float left, float height) {
        items.push_back({GraphicClass::Text, value, QLatin1String(id), QRectF(left, y, w, height)});
    };

    if (!a.title.isEmpty()) {
        text(a.title, "PARTY_TITLE", x, 30);
        y += 50;
    }
    if (!a.to.isEmpty()) {
        text(QStringLiteral("Dear ") + a.to + QLatin1Char(','), "PARTY_TO", kLineLeft, 20);
        y += 30;
    }
    if (!a.message.isEmpty()) {
        text(a.message, "PARTY_MSG", kMessageLeft, 80);
        y += 80;
    }
    if (!a.date.isEmpty()) {
        const QString when = a.time.isEmpty() ? a.date : a.date + QStringLiteral(" at ") + a.time;
        text(when, "PARTY_DATE", kLineLeft, 20);
        y += 30;
    } else if (!a.time.isEmpty()) {
        text(QStringLiteral("AT ") + a.time, "PARTY_TIME", kLineLeft, 20);
        y += 60;
    } else {
        y += 30;
    }
    if (!a.venue.isEmpty()) {
        text(QStringLiteral("Venue:\n") + a.venue, "PARTY_VENUE", kLineLeft, 60);
        y += 70;
    } else {
        y += 20;
    }
    if (!a.from.isEmpty())
        text(QStringLiteral("From:\n") + a.from, "PARTY_FROM", x, 40);
    if (!a.frame.isEmpty())
        items.push_back({GraphicClass::Image, a.frame, QStringLiteral("PARTY_IMAGE_BG"), QRectF(cardOrigin, cardSize)});
    return items;
}

} // namespace design_window
