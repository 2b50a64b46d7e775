#include "output/print_window/Sample_Preview.h"

#include "output/print/LabelSheet.h"
#include "output/print_window/PrintGlobals.h"
#include "output/print_window/Print_Wnd.h"

#include <QPainter>

Sample_Preview::Sample_Preview(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PrintView"));
}

QImage Sample_Preview::imageRepresentation()
{
    if (!output::printInfo)
        return {};
    return grab().toImage();
}

void Sample_Preview::paintEvent(QPaintEvent *)
{
    if (!output::printInfo)
        return;
    const QSizeF card = output::Print_Var ? output::Print_Var->front_image.size() : QSizeF();
    QPainter painter(this);
    output::paintSampleSheet(painter, output::currentSheetLayout(), card, output::Show_margin_rect);
}
