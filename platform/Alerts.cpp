#include "platform/Alerts.h"

#include "platform/Log.h"
#include "platform/MainThread.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

namespace platform {

namespace {

int showMessageBox(const AlertRequest &request)
{
    QStringList buttons = request.buttons;
    if (buttons.isEmpty())
        buttons << QStringLiteral("OK");

    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QApplication::applicationName());
    box.setText(request.text);
    std::vector<QPushButton *> added;
    for (const QString &title : buttons)
        added.push_back(box.addButton(title, QMessageBox::AcceptRole));
    const int defaultIndex = request.defaultButton >= 0 && request.defaultButton < int(added.size())
                                 ? request.defaultButton : 0;
    box.setDefaultButton(added[defaultIndex]);
    box.setEscapeButton(added.back());
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
