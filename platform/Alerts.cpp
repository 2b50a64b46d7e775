#include "platform/Alerts.h"

#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/MessageText.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <vector>

namespace platform {

namespace {

// The width a window needs for its whole title in the title bar: the title
// in a bold title-bar font, and room on both sides for a window manager's
// three buttons (a centred title has them to its one side and their width
// kept free on the other).
int titleBarWidth(const QString &title)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int button = 2 * metrics.height();
    return metrics.horizontalAdvance(title) + 2 * 3 * button;
}

// A message box that shows its text in a MessageArea, sized to the whole
// text as far as the screen allows. QMessageBox sizes itself again on each
// show and layout request, capping its width below what a long word may
// need: the fitted size is put back after it.
class AlertBox : public QMessageBox {
public:
    explicit AlertBox(QWidget *parent)
        : QMessageBox(parent)
    {
    }

    // Shows `text`. The box keeps it too, for copying with Ctrl+C and for
    // screen readers, in its own label, which gives way to the area.
    void setMessage(const QString &text)
    {
        setTextFormat(Qt::PlainText);
        setText(text);
        auto *grid = qobject_cast<QGridLayout *>(layout());
        auto *own = findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        if (!grid || !own)
            return;
        m_area = new MessageArea(this);
        m_area->label()->setText(text);
        delete grid->replaceWidget(own, m_area);
        own->hide();
    }

    // Once every row is in place.
    void fitToText()
    {
        if (!m_area)
            return;
        m_fitted = fitMessageWindow(*this, *m_area);
        setFixedSize(m_fitted);
    }

protected:
    bool event(QEvent *event) override
    {
        const bool handled = QMessageBox::event(event);
        if (event->type() == QEvent::LayoutRequest)
            keepFitted();
        return handled;
    }
    void showEvent(QShowEvent *event) override
    {
        // QMessageBox places the box for the size it gave it, then the
        // fitted size may reach past the screen: placed again.
        QMessageBox::showEvent(event);
        if (keepFitted() && !event->spontaneous())
            adjustPosition(parentWidget());
    }

private:
    // True when the size had to be put back.
    bool keepFitted()
    {
        if (!m_fitted.isValid() || size() == m_fitted)
            return false;
        setFixedSize(m_fitted);
        return true;
    }

    MessageArea *m_area = nullptr;
    QSize m_fitted;
};

int showMessageBox(const AlertRequest &request)
{
    QStringList buttons = request.buttons;
    if (buttons.isEmpty())
        buttons << QStringLiteral("OK");

    AlertBox box(QApplication::activeWindow());
    box.setWindowTitle(QApplication::applicationName());
    box.setMessage(request.text);
    std::vector<QPushButton *> added;
    for (const QString &title : buttons)
        added.push_back(box.addButton(title, QMessageBox::AcceptRole));
    const int defaultIndex = request.defaultButton >= 0 && request.defaultButton < int(added.size())
                                 ? request.defaultButton : 0;
    box.setDefaultButton(added[defaultIndex]);
    box.setEscapeButton(added.back());
    // A short message makes a narrow box whose title the window manager
    // cuts to "...": a row across the box keeps it as wide as its title.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(titleBarWidth(box.windowTitle()), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    box.fitToText();
    box.exec();
    for (std::size_t i = 0; i < added.size(); ++i)
        if (box.clickedButton() == added[i])
            return int(i);
    return int(added.size()) - 1;
}

} // namespace

int showAlert(const AlertRequest &request)
{
    int answer = 0;
    runOnMainThread([&] {
        if (AlertResponder answerer = alertResponderSlot().get()) {
            answer = answerer(request);
        } else if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
            answer = showMessageBox(request);
        } else {
            // No screen to ask on (a command-line tool): log the text and
            // take the last, cautious answer ("No", "Cancel").
            log(request.text);
            answer = qMax(int(request.buttons.size()) - 1, 0);
        }
    });
    return answer;
}

ResponderSlot<AlertResponder> &alertResponderSlot()
{
    static ResponderSlot<AlertResponder> slot;
    return slot;
}

void setAlertResponder(AlertResponder responder)
{
    alertResponderSlot().exchange(std::move(responder));
}

} // namespace platform
