#include "output/widgets/DialogLook.h"

#include <QPalette>
#include <QWidget>

namespace output {

void applyDialogBackground(QWidget &dialog)
{
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Window, QColor(241, 244, 250));
    dialog.setPalette(palette);
    dialog.setAutoFillBackground(true);
}

} // namespace output
