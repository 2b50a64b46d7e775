#pragma once
// Running dialogs modally in a way tests can script.

#include "platform/ResponderSlot.h"

#include <QDialog>
#include <functional>

namespace platform {

using ModalResponder = std::function<int(QDialog &)>;

// Runs the set-up dialog modally and returns its result (1 OK/Yes, 0
// Cancel/No, or whatever it ended with). A sheet blocks only its own window.
int runModal(QDialog &dialog, bool sheet = false);

// While a responder is set the dialog is not run: the responder gets it (it
// may fill its widgets or click its buttons) and its answer is the result.
// An empty function removes it.
void setModalResponder(ModalResponder responder);

ResponderSlot<ModalResponder> &modalResponderSlot();
// Installs a responder for its lifetime and puts the previous one back.
using ScopedModalResponder = ScopedResponder<ModalResponder, modalResponderSlot>;

} // namespace platform
