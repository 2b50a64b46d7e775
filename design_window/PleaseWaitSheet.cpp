#include "design_window/PleaseWaitSheet.h"

#include "design_window/Globals.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace design_window {

PleaseWaitSheet::PleaseWaitSheet(QWidget *owner)
    : QDialog(owner, Qt::Sheet)
{
    setObjectName("plz_wait_Window");
    setWindowTitle(App_Name);
    setWindowModality(Qt::WindowModal);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(241, 244, 250));
    setPalette(palette);
    setAutoFillBackground(true);
    auto *label = new QLabel(tr("Please wait..."), this);
    label->setObjectName("plz_wait_label");
    auto *busy = new QProgressBar(this);
    busy->setObjectName("plz_wait_progress");
    busy->setRange(0, 0);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(busy);
    setFixedWidth(280);
}

} // namespace design_window
