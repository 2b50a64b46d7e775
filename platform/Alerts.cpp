#include "platform/Alerts.h"

#include "platform/Log.h"
#include "platform/MainThread.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <mutex>
#include <vector>

namespace platform {

namespace {

std::mutex responderMutex;
AlertResponder currentResponder;

AlertResponder responder()
{
    std::lock_guard lock(responderMutex);
    return currentResponder;
}

AlertResponder exchangeResponder(AlertResponder next)
{
    std::lock_guard lock(responderMutex);
    std::swap(currentResponder, next);
    return next;
}

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
        if (AlertResponder answerer = responder()) {
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

void setAlertResponder(AlertResponder responder)
{
    exchangeResponder(std::move(responder));
}

ScopedAlertResponder::ScopedAlertResponder(AlertResponder responder)
    : m_previous(exchangeResponder(std::move(responder)))
{
}

ScopedAlertResponder::~ScopedAlertResponder()
{
    exchangeResponder(std::move(m_previous));
}

} // namespace platform
