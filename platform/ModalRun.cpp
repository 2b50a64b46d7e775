#include "platform/ModalRun.h"

#include "platform/MainThread.h"

namespace platform {

int runModal(QDialog &dialog, bool sheet)
{
    int result = 0;
    runOnMainThread([&] {
        if (ModalResponder answer = modalResponderSlot().get()) {
            result = answer(dialog);
            return;
        }
        dialog.setWindowModality(sheet && dialog.parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
        result = dialog.exec();
    });
    return result;
}

ResponderSlot<ModalResponder> &modalResponderSlot()
{
    static ResponderSlot<ModalResponder> slot;
    return slot;
}

void setModalResponder(ModalResponder responder)
{
    modalResponderSlot().exchange(std::move(responder));
}

} // namespace platform
