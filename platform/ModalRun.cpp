#include "platform/ModalRun.h"

#include "platform/MainThread.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <algorithm>

namespace platform {

namespace {

// The window a dialog opens over: its parent's window, else the active
// window, else the program's main window.
QWidget *ownerOf(const QDialog &dialog)
{
    if (QWidget *parent = dialog.parentWidget(); parent && parent->window()->isVisible())
        return parent->window();
    if (QWidget *active = QApplication::activeWindow(); active && active != &dialog)
        return active;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow *>(top) && top->isVisible())
            return top;
    }
    return nullptr;
}

// A dialog opens centred on the window it was opened from, inside that
// window's screen, whether or not it has a parent.
void centreOnOwner(QDialog &dialog)
{
    QWidget *owner = ownerOf(dialog);
    if (!owner || dialog.isVisible())
        return;
    dialog.ensurePolished();
    if (!dialog.testAttribute(Qt::WA_Resized))
        dialog.adjustSize();
    QRect placed(QPoint(), dialog.size());
    placed.moveCenter(owner->frameGeometry().center());
    if (const QScreen *screen = owner->screen()) {
        const QRect area = screen->availableGeometry();
        placed.moveLeft(std::max(area.left(), std::min(placed.left(), area.right() - placed.width())));
        placed.moveTop(std::max(area.top(), std::min(placed.top(), area.bottom() - placed.height())));
    }
    dialog.move(placed.topLeft());
}

} // namespace

int runModal(QDialog &dialog, bool sheet)
{
    int result = 0;
    runOnMainThread([&] {
        centreOnOwner(dialog);
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
