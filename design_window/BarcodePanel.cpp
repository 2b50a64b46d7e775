#include "design_window/BarcodePanel.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

using namespace design_window;

BarcodePanel::BarcodePanel(QWidget *parent, TVNDocument *document)
    : ObjectPanel(parent, document, "barcode_panel", tr("Barcode"))
{
    barcode_value_lbl = named(new QLabel, "barcode_value_lbl");
    barcode_value_lbl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form()->addRow(tr("Value:"), barcode_value_lbl);
    barcode_designer_btn = named(new QPushButton(tr("Barcode Designer...")), "barcode_designer_btn");
    // The designer is not part of the program yet.
    barcode_designer_btn->setEnabled(false);
    form()->addRow(QString(), barcode_designer_btn);
}

bool BarcodePanel::showGraphic(const GraphicPtr &graphic)
{
    if (!graphic || graphic->graphicClass() != GraphicClass::Barcode)
        return false;
    barcode_value_lbl->setText(graphic->linear_or_2d == 1 ? graphic->two_d_font_val : graphic->linear_font_val);
    return true;
}
