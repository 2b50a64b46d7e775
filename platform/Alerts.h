#pragma once
// Alerts: a message with a row of buttons, always shown on the main thread
// while the caller (on any thread) waits for the answer. Tests install a
// responder that answers instead, so nothing is shown.

#include "platform/ResponderSlot.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

struct AlertRequest {
    QString text;
    QStringList buttons;
    int defaultButton = 0;
};

using AlertResponder = std::function<int(const AlertRequest &)>;

// Shows the alert and returns the index of the button pressed. Closing the
// alert without a button counts as the last button ("No", "Cancel"); so does
// a process without a QApplication, which only logs the text.
int showAlert(const AlertRequest &request);

// While a responder is set it is called (on the main thread) instead of
// showing the alert, and its answer is returned. An empty function removes it.
void setAlertResponder(AlertResponder responder);

ResponderSlot<AlertResponder> &alertResponderSlot();
// Installs a responder for its lifetime and puts the previous one back.
using ScopedAlertResponder = ScopedResponder<AlertResponder, alertResponderSlot>;

} // namespace platform
