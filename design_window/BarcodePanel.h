#pragma once
// The inspector's page for a barcode object: the value it encodes and the
// way to the barcode designer, where everything else about it is set.

#include "design_window/PanelSupport.h"

class QLabel;
class QPushButton;

class BarcodePanel : public ObjectPanel {
    Q_OBJECT
public:
    BarcodePanel(QWidget *parent, TVNDocument *document);
    bool showGraphic(const GraphicPtr &graphic) override;

    QLabel *barcode_value_lbl = nullptr;
    QPushButton *barcode_designer_btn = nullptr;

signals:
    // The designer button was pressed for the object shown.
    void designerRequested();
};
