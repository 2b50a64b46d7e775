// Writes the badge design of the print benchmark: a 3.5 x 2 in card (252 x
// 144 pt) with a name text in DejaVu Sans Bold 16 at (18, 14), 216 x 26 pt,
// bound to the series "name", and a Code 128 symbol with its value printed
// under the bars at (18, 52), 216 x 78 pt, bound to the series "id": the
// layout of the outside label tool's badge it is compared with.
//
//   make_badge_design DESIGN.zelg

#include "barcodes/designer/BarcodeEngine.h"
#include "design_window/DesignFile.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_badge_design DESIGN.zelg\n");
        return 2;
    }
    design_window::Design design;
    design.frontCard.Card_Size = design.backCard.Card_Size = QSizeF(252, 144);
    design.card.sizeIndex = -1;

    auto name = std::static_pointer_cast<TVNText>(newGraphicOfClass(GraphicClass::Text));
    name->setBounds(QRectF(18, 14, 216, 26));
    name->setTextFont(QFont(QStringLiteral("DejaVu Sans"), 16, QFont::Bold));
    name->setContentsString(QStringLiteral("name"));
    name->Set_Data_source_type(1);
    name->Set_Batch_List_Name(QStringLiteral("name"));

    auto id = newGraphicOfClass(GraphicClass::Barcode);
    barcodes::BarcodeSettings code = id->barcodeSettings();
    code.barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf(QStringLiteral("Code 128")));
    code.show_hide_hdr = code.show_hide_ftr = 1;
    code.linear_font_val = QStringLiteral("ID000000");
    code.data_source_type = 1;
    code.batch_list_name = QStringLiteral("id");
    id->setBarcodeSettings(code);
    id->Set_Barcode_image(barcodes::barcodeImageFor(code));
    id->setBounds(QRectF(18, 52, 216, 78));

    design.front = {name, id};
    QString error;
    if (!design_window::saveDesignFile(QString::fromLocal8Bit(argv[1]), design, &error)) {
        std::fprintf(stderr, "make_badge_design: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
