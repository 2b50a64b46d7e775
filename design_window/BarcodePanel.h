#pragma once
// The inspector's page for a barcode object: the value it encodes and the
// way to the barcode designer, where everything else about it is set.

#include "design_window/PanelSupport.h"

class QPushButton;

class BarcodePanel : public ObjectPanel {
    Q_OBJECT
public:
    BarcodePanel(QWidget *parent, TVNDocument *document);
    bool showGraphic(const GraphicPtr &graphic) override;

    // The value, cut to the panel's width (a long one would push the
    // designer button out of sight).
    ElidedLabel *barcode_value_lbl = nullptr;
    QPushButton *barcode_designer_btn = nullptr;

signals:
    // The designer button was pressed for the object shown.
    void designerRequested();
};
