#pragma once
// The text of a message as a window shows it: whole, wrapped to a readable
// width, and scrolled when the screen cannot hold it. Used by the alerts
// and by windows that report the end of a run. Main thread only.

#include <QLabel>
#include <QScrollArea>

namespace platform {

// A label whose lines break between words and, where one word (a path, a
// long value) is wider than the line, inside it: no line is cut at the
// side. Its height follows its width (heightForWidth); line breaks in the
// text ("\n", "\r\n") are kept. text() is the text as set. Not selectable.
class WrappingLabel : public QLabel {
    Q_OBJECT
public:
    explicit WrappingLabel(QWidget *parent = nullptr);

    // The width of the widest line without wrapping, and of the widest run
    // without a break opportunity, in pixels.
    int naturalWidth() const;
    int widestWord() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A frameless scroll area holding a WrappingLabel. It never scrolls
// sideways; its size, and whether it scrolls, are set by fitMessageWindow.
class MessageArea : public QScrollArea {
    Q_OBJECT
public:
    explicit MessageArea(QWidget *parent = nullptr);
    WrappingLabel *label() const { return m_label; }
    // Only the size fitted: the scroll bars' own wishes would make a short
    // text's window taller than it needs.
    QSize sizeHint() const override { return minimumSize(); }
    QSize minimumSizeHint() const override { return {0, 0}; }

private:
    WrappingLabel *m_label;
};

// Gives `area` the room its whole text needs at a readable width, inside
// `window`'s screen (less a title bar) with the rest of `window`'s layout
// around it; a text the screen cannot hold gets the widest room and scrolls
// down. Sets the area's minimum size and returns the size `window` needs.
QSize fitMessageWindow(QWidget &window, MessageArea &area);

} // namespace platform
