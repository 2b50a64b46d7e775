#include "platform/MessageText.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextLayout>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// A line a reader's eye follows back without losing its place.
constexpr int kReadableCharacters = 70;
// Wide enough for any other row of a window, so that the text's width
// alone decides the window's.
constexpr int kProbeWidth = 100000;

struct TextSize {
    qreal width = 0;  // of the widest line
    qreal height = 0; // of all lines
};

// `text` with each of its line breaks as one line separator, as it is laid
// out; positions in the shown text count in this string.
QString shownText(const QString &text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    lines.replace(QLatin1Char('\r'), QChar::LineSeparator);
    lines.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return lines;
}

// Lays `text` out in lines of `width` pixels, with its own line breaks
// kept; `layout` then holds the lines for drawing.
TextSize layOut(QTextLayout &layout, const QString &text, qreal width, QTextOption::WrapMode mode)
{
    layout.setText(shownText(text));
    QTextOption option;
    option.setWrapMode(mode);
    layout.setTextOption(option);
    TextSize size;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(width);
        line.setPosition(QPointF(0, size.height));
        size.height += line.height();
        size.width = std::max(size.width, line.naturalTextWidth());
    }
    layout.endLayout();
    return size;
}

TextSize measure(const QLabel &label, qreal width, QTextOption::WrapMode mode)
{
    QTextLayout layout(QString(), label.font(), const_cast<QLabel *>(&label));
    return layOut(layout, label.text(), width, mode);
}

// What the label's frame and margins take around its text.
QSize extraAround(const QLabel &label)
{
    return label.size() - label.contentsRect().size();
}

// The room a window has on its screen, less its frame: a title bar and
// borders as the style draws them, or the frame the window system reported
// when the window was shown before, where that is larger. (Taking the
// larger keeps a window that shows the same text twice at the same size.)
QSize roomOnScreen(const QWidget &window)
{
    const QWidget *owner = window.parentWidget() ? window.parentWidget()->window() : &window;
    const QScreen *screen = owner->screen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    const QStyle *style = window.style();
    const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
    const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    QMargins frame(border, title + border, border, border);
    if (const QWindow *shown = window.windowHandle()) {
        const QMargins reported = shown->frameMargins();
        frame = QMargins(std::max(frame.left(), reported.left()), std::max(frame.top(), reported.top()),
                         std::max(frame.right(), reported.right()), std::max(frame.bottom(), reported.bottom()));
    }
    return available.shrunkBy(frame);
}

// The widest lines that read well on a screen with `room`.
int readableLimit(QSize room, const QLabel &label)
{
    return std::min(room.width() / 2, label.fontMetrics().averageCharWidth() * kReadableCharacters);
}

} // namespace

WrappingLabel::WrappingLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int WrappingLabel::naturalWidth() const
{
    return int(std::ceil(measure(*this, kProbeWidth, QTextOption::ManualWrap).width));
}

int WrappingLabel::widestWord() const
{
    // At no width every line holds one word, however wide.
    return int(std::ceil(measure(*this, 0, QTextOption::WordWrap).width));
}

int WrappingLabel::heightForWidth(int width) const
{
    const QSize extra = extraAround(*this);
    const qreal lineWidth = std::max(width - extra.width(), 1);
    return int(std::ceil(measure(*this, lineWidth, QTextOption::WrapAtWordBoundaryOrAnywhere).height)) + extra.height();
}

QSize WrappingLabel::sizeHint() const
{
    const int width = std::min(naturalWidth(), fontMetrics().averageCharWidth() * kReadableCharacters / 2)
                      + extraAround(*this).width();
    return {width, heightForWidth(width)};
}

QSize WrappingLabel::minimumSizeHint() const
{
    // Any width will do, since lines break anywhere; the height follows.
    const QSize extra = extraAround(*this);
    return {std::min(naturalWidth(), fontMetrics().averageCharWidth() * 10) + extra.width(),
            fontMetrics().height() + extra.height()};
}

void WrappingLabel::paintEvent(QPaintEvent *)
{
    const QRect area = contentsRect();
    QTextLayout layout(QString(), font(), this);
    layOut(layout, text(), std::max(area.width(), 1), QTextOption::WrapAtWordBoundaryOrAnywhere);
    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    QList<QTextLayout::FormatRange> selected;
    if (!selection().isEmpty()) {
        QTextLayout::FormatRange range;
        range.start = std::min(m_anchor, m_position);
        range.length = std::abs(m_position - m_anchor);
        range.format.setBackground(palette().brush(QPalette::Highlight));
        range.format.setForeground(palette().brush(QPalette::HighlightedText));
        selected << range;
    }
    layout.draw(&painter, area.topLeft(), selected);
}

void WrappingLabel::setSelectable(bool selectable)
{
    m_selectable = selectable;
    m_selectedIn.clear();
    // As a selectable QLabel: a click gives it the focus that Ctrl+C needs,
    // Tab passes it by.
    setFocusPolicy(selectable ? Qt::ClickFocus : Qt::NoFocus);
    if (selectable)
        setCursor(Qt::IBeamCursor);
    else
        unsetCursor();
    update();
}

QString WrappingLabel::selection() const
{
    if (!m_selectable || m_selectedIn != text() || m_anchor == m_position)
        return {};
    QString part = shownText(text()).mid(std::min(m_anchor, m_position), std::abs(m_position - m_anchor));
    return part.replace(QChar::LineSeparator, QLatin1Char('\n'));
}

int WrappingLabel::positionAt(QPoint point) const
{
    const QRect area = contentsRect();
    QTextLayout layout(QString(), font(), const_cast<WrappingLabel *>(this));
    layOut(layout, text(), std::max(area.width(), 1), QTextOption::WrapAtWordBoundaryOrAnywhere);
    const QPointF at = point - area.topLeft();
    if (at.y() < 0 || layout.lineCount() == 0)
        return 0;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        if (at.y() < line.y() + line.height())
            return line.xToCursor(at.x());
    }
    return int(layout.text().size());
}

void WrappingLabel::mousePressEvent(QMouseEvent *event)
{
    if (!m_selectable || event->button() != Qt::LeftButton)
        return QLabel::mousePressEvent(event);
    m_selectedIn = text();
    m_anchor = m_position = positionAt(event->position().toPoint());
    update();
}

void WrappingLabel::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_selectable || !(event->buttons() & Qt::LeftButton) || m_selectedIn != text())
        return QLabel::mouseMoveEvent(event);
    m_position = positionAt(event->position().toPoint());
    update();
}

void WrappingLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_selectable || event->button() != Qt::LeftButton)
        return QLabel::mouseReleaseEvent(event);
    if (const QString part = selection(); !part.isEmpty() && QGuiApplication::clipboard()->supportsSelection())
        QGuiApplication::clipboard()->setText(part, QClipboard::Selection);
}

void WrappingLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!m_selectable || event->button() != Qt::LeftButton)
        return QLabel::mouseDoubleClickEvent(event);
    selectAll();
}

void WrappingLabel::keyPressEvent(QKeyEvent *event)
{
    if (m_selectable && event == QKeySequence::Copy && !selection().isEmpty()) {
        QGuiApplication::clipboard()->setText(selection());
        return;
    }
    QLabel::keyPressEvent(event);
}

void WrappingLabel::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_selectable)
        return QLabel::contextMenuEvent(event);
    QMenu menu(this);
    QAction *copy = menu.addAction(tr("Copy"), this, [this] { QGuiApplication::clipboard()->setText(selection()); });
    copy->setEnabled(!selection().isEmpty());
    menu.addAction(tr("Select All"), this, [this] { selectAll(); });
    menu.exec(event->globalPos());
}

void WrappingLabel::selectAll()
{
    m_selectedIn = text();
    m_anchor = 0;
    m_position = int(shownText(text()).size());
    update();
}

MessageArea::MessageArea(QWidget *parent)
    : QScrollArea(parent)
    , m_label(new WrappingLabel)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    setWidget(m_label);
    // The window's own background behind the text, as behind any label.
    viewport()->setAutoFillBackground(false);
    m_label->setAutoFillBackground(false);
}

int readableWidth(const QWidget &window, const WrappingLabel &label)
{
    return std::min(label.naturalWidth(), readableLimit(roomOnScreen(window), label));
}

QSize fitMessageWindow(QWidget &window, MessageArea &area)
{
    QLayout *layout = window.layout();
    const WrappingLabel &label = *area.label();
    // The window around an area of `size`.
    const auto around = [&](QSize size) {
        area.setMinimumSize(size);
        // Activated, so a window's minimum size from an earlier, longer
        // message gives way too.
        layout->invalidate();
        layout->activate();
        const QSize least = layout->totalMinimumSize();
        return QSize(least.width(),
                     layout->hasHeightForWidth() ? layout->totalHeightForWidth(least.width()) : least.height());
    };
    // What the rest of the window needs beside and below an area so wide.
    const auto heightBesides = [&](int width) { return around({width, 1}).height() - 1; };

    const QSize room = roomOnScreen(window);
    const int besidesWidth = around({kProbeWidth, 1}).width() - kProbeWidth;
    const int widest = std::max(room.width() - besidesWidth, 1);
    const int natural = std::max(label.naturalWidth(), 1);
    const int readable = readableLimit(room, label);

    // A readable width, or the widest word if wider and the screen can hold
    // it (a wider one breaks anyway); and when that makes the text taller
    // than the screen, the widest lines the screen allows.
    const int word = label.widestWord();
    int width = std::min({natural, word <= widest ? std::max(readable, word) : readable, widest});
    int height = label.heightForWidth(width);
    if (height + heightBesides(width) > room.height()) {
        width = std::min(natural, widest);
        height = label.heightForWidth(width);
    }
    int areaWidth = width;
    // Decided here rather than as needed, so the bar is there from the
    // first paint and the lines are not wrapped twice.
    const bool scrolls = height + heightBesides(width) > room.height();
    area.setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    // Only text that scrolls takes the keyboard (its arrow keys scroll it):
    // otherwise the focus stays with the window's controls, where Space
    // presses a button or ticks a box.
    area.setFocusPolicy(scrolls ? Qt::StrongFocus : Qt::NoFocus);
    if (scrolls) {
        // Still too tall: the text scrolls, its scroll bar beside the lines.
        const int bar = area.verticalScrollBar()->sizeHint().width();
        areaWidth = std::min(natural + bar, widest);
        height = std::max(room.height() - heightBesides(areaWidth), 3 * label.fontMetrics().lineSpacing());
    }
    return around({areaWidth, height});
}

} // namespace platform
