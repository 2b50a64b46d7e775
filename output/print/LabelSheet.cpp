#include "output/print/LabelSheet.h"

#include "platform/Files.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <exception>

namespace output {

namespace {

const QColor kCaptionGrey(128, 128, 128);
const QColor kOutlineGrey(64, 64, 64);

// The system font, bold, 11 points on a painter in points. Set by pixel
// size: a point size would be taken at the device's own resolution.
QFont captionFont()
{
    QFont font = QGuiApplication::font();
    font.setBold(true);
    font.setPixelSize(11);
    return font;
}

// The paper as a page size: a standard size where the paper is one, so the
// file names its paper.
QPageSize pageSizeOf(QSizeF paperPoints)
{
    const QSizeF mm = paperPoints * kMillimetresPerPoint;
    const QPageSize::PageSizeId id = QPageSize::id(mm, QPageSize::Millimeter, QPageSize::FuzzyMatch);
    if (id != QPageSize::Custom)
        return QPageSize(id);
    return QPageSize(mm, QPageSize::Millimeter);
}

void outline(QPainter &painter, const QRectF &rect)
{
    painter.setPen(QPen(kOutlineGrey, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect);
}

} // namespace

void drawLabelCaption(QPainter &painter, const QRectF &rect, const QString &text, const QColor &color)
{
    painter.save();
    painter.setFont(captionFont());
    painter.setPen(color);
    painter.drawText(rect, Qt::AlignCenter | Qt::TextDontClip, text);
    painter.restore();
}

PageEnd paintSheetPage(QPainter &painter, const SheetLayout &layout, int page, int labels, LabelCards &cards)
{
    const QSizeF paper = layout.paper;
    painter.fillRect(QRectF(QPointF(0, 0), paper), Qt::white);
    const QSizeF card = cards.cardSize();
    const PageLabels onThisPage = labelsOnPage(page, labels, layout);
    const int columns = std::max(layout.columns, 1);
    for (int i = 0; i < onThisPage.count; ++i) {
        const int row = i / columns + 1, column = i % columns + 1;
        if (card.isEmpty()) {
            const LabelPlace place = labelPlace(layout, row, column, QSizeF(0, 0));
            drawLabelCaption(painter, onPage(place.first, paper), QStringLiteral("Invalid Data"), Qt::red);
            continue;
        }
        const int label = onThisPage.first + i;
        // One label that cannot be made costs that label, not the run.
        painter.save();
        try {
            if (cards.prepare(label, layout.sides)) {
                const LabelPlace place = labelPlace(layout, row, column, card);
                cards.drawSide(painter, layout.sides == CardSides::Back ? 1 : 0, onPage(place.first, paper));
                if (layout.sides == CardSides::Both)
                    cards.drawSide(painter, 1, onPage(place.second, paper));
            }
        } catch (const std::exception &e) {
            cards.labelFailed(label, QString::fromLocal8Bit(e.what()));
        } catch (...) {
            cards.labelFailed(label, QStringLiteral("the card could not be drawn"));
        }
        painter.restore();
        // The card under way is finished, no other started.
        if (!cards.labelDone(label))
            return {i + 1, true};
    }
    return {onThisPage.count, false};
}

SheetRun printSheets(QPainter &painter, QPagedPaintDevice &device, const SheetLayout &layout, int labels,
                     int pages, LabelCards &cards, const PageProgress &afterPage)
{
    SheetRun run;
    pages = std::clamp(pages, 0, pageCount(labels, layout));
    const qreal sx = device.logicalDpiX() / 72.0, sy = device.logicalDpiY() / 72.0;
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device.newPage()) {
            run.failure = QStringLiteral("The printer took no further page.");
            break;
        }
        painter.save();
        painter.scale(sx, sy);
        PageEnd end;
        try {
            end = paintSheetPage(painter, layout, page, labels, cards);
        } catch (const std::exception &e) {
            run.failure = QString::fromLocal8Bit(e.what());
        }
        painter.restore();
        if (!run.failure.isEmpty())
            break;
        run.labels += end.labels;
        if (end.labels < labelsOnPage(page, labels, layout).count) {
            run.stopped = true;
            break;
        }
        ++run.pages;
        // A stop at a page's last card leaves the page whole; at the run's
        // last card, the run whole.
        if (end.stopped || (afterPage && !afterPage(run.pages, pages))) {
            run.stopped = run.pages < pages;
            break;
        }
    }
    return run;
}

SheetRun printSheetsToPdf(const QString &path, const SheetLayout &layout, int labels, LabelCards &cards,
                          const PageProgress &afterPage)
{
    SheetRun run;
    platform::AtomicFile file(path);
    // The file is named: it is what the user can look for.
    const auto failedFile = [&] { return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString()); };
    if (!file.open(QIODevice::WriteOnly)) {
        run.failure = failedFile();
        return run;
    }
    {
        QPdfWriter writer(&file);
        writer.setCreator(QGuiApplication::applicationName());
        writer.setPageLayout(QPageLayout(pageSizeOf(layout.paper), QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            run.failure = QStringLiteral("The PDF file could not be started.");
            return run;
        }
        run = printSheets(painter, writer, layout, labels, pageCount(labels, layout), cards, afterPage);
        painter.end();
    }
    if (run.stopped || !run.failure.isEmpty()) {
        file.cancelWriting();
        return run;
    }
    if (!file.commit())
        run.failure = failedFile();
    return run;
}

void paintSampleSheet(QPainter &painter, const SheetLayout &layout, QSizeF card, bool outlines)
{
    const QSizeF paper = layout.paper;
    painter.fillRect(QRectF(QPointF(0, 0), paper), Qt::white);
    const bool hasCard = !card.isEmpty();
    const int columns = std::max(layout.columns, 1);
    for (int row = 1; row <= std::max(layout.rows, 1); ++row) {
        for (int column = 1; column <= columns; ++column) {
            const int number = (row - 1) * columns + column;
            const LabelPlace place = labelPlace(layout, row, column, hasCard ? card : QSizeF(0, 0));
            const QRectF cell = onPage(place.cell, paper);
            if (!hasCard) {
                drawLabelCaption(painter, cell, QStringLiteral("Invalid Data"), Qt::red);
            } else {
                const QString word = layout.sides == CardSides::Back ? QStringLiteral("Back") : QStringLiteral("Frame");
                drawLabelCaption(painter, cell, QStringLiteral("%1 %2").arg(word).arg(number), kCaptionGrey);
            }
            if (outlines)
                outline(painter, cell);
            if (hasCard && layout.sides == CardSides::Both) {
                const QRectF back = onPage(place.second, paper);
                drawLabelCaption(painter, back, QStringLiteral("Back %1").arg(number), kCaptionGrey);
                if (outlines)
                    outline(painter, back);
            }
        }
    }
}

} // namespace output
