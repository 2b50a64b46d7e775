#include "platform/ModalRun.h"

#include "platform/MainThread.h"

#include <mutex>

namespace platform {

namespace {

std::mutex responderMutex;
ModalResponder currentResponder;

ModalResponder exchangeResponder(ModalResponder next)
{
    std::lock_guard lock(responderMutex);
    std::swap(currentResponder, next);
    return next;
}

ModalResponder responder()
{
    std::lock_guard lock(responderMutex);
    return currentResponder;
}

} // namespace

int runModal(QDialog &dialog, bool sheet)
{
    int result = 0;
    runOnMainThread([&] {
        if (ModalResponder answer = responder()) {
            result = answer(dialog);
            return;
        }
        dialog.setWindowModality(sheet && dialog.parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
        result = dialog.exec();
    });
    return result;
}

void setModalResponder(ModalResponder responder)
{
    exchangeResponder(std::move(responder));
}

ScopedModalResponder::ScopedModalResponder(ModalResponder responder)
    : m_previous(exchangeResponder(std::move(responder)))
{
}

ScopedModalResponder::~ScopedModalResponder()
{
    exchangeResponder(std::move(m_previous));
}

} // namespace platform
