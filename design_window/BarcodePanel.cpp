#include "design_window/BarcodePanel.h"

#include "barcodes/designer/BarcodeEngine.h"
#include "design_window/BarcodeDesigner.h"

#include <QFormLayout>
#include <QPushButton>

using namespace design_window;

BarcodePanel::BarcodePanel(QWidget *parent, TVNDocument *document)
    : ObjectPanel(parent, document, "barcode_panel", tr("Barcode"))
{
    barcode_value_lbl = named(new ElidedLabel, "barcode_value_lbl");
    form()->addRow(tr("Value:"), barcode_value_lbl);
    barcode_designer_btn = named(new QPushButton(tr("Barcode Designer...")), "barcode_designer_btn");
    connect(barcode_designer_btn, &QPushButton::clicked, this, &BarcodePanel::designerRequested);
    form()->addRow(QString(), barcode_designer_btn);
}

bool BarcodePanel::showGraphic(const GraphicPtr &graphic)
{
    if (!graphic || graphic->graphicClass() != GraphicClass::Barcode)
        return false;
    barcode_value_lbl->setValue(barcodes::barcodeValueOf(graphic->barcodeSettings()));
    barcode_designer_btn->setEnabled(barcodeDesignerInstalled());
    return true;
}
