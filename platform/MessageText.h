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
// text ("\n", "\r\n") are kept. text() is the text as set.
class WrappingLabel : public QLabel {
    Q_OBJECT
public:
    explicit WrappingLabel(QWidget *parent = nullptr);

    // Lets the mouse select the text, for a user who copies a path: drag
    // to select, double-click for the whole text; Ctrl+C or the context
    // menu copy it (and a selection is the X11 primary selection too).
    void setSelectable(bool selectable);

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
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // The selected part of text(), empty when nothing is selected or the
    // text was set again since.
    QString selection() const;
    int positionAt(QPoint point) const;
    void selectAll();

    bool m_selectable = false;
    // Ends of the selection in m_selectedIn, its line breaks counted as one
    // character each, as they are laid out.
    QString m_selectedIn;
    int m_anchor = 0;
    int m_position = 0;
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

// The width at which `label` shows its text in `window`: its widest line,
// at most a readable width for the window's screen (beyond it the text
// wraps).
int readableWidth(const QWidget &window, const WrappingLabel &label);

// Gives `area` the room its whole text needs at a readable width, inside
// `window`'s screen (less a title bar) with the rest of `window`'s layout
// around it; a text the screen cannot hold gets the widest room and scrolls
// down. Sets the area's minimum size and returns the size `window` needs.
QSize fitMessageWindow(QWidget &window, MessageArea &area);

} // namespace platform
