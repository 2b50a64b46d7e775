#include "output/print_window/PrintGlobals.h"

#include <QPageLayout>
#include <QPrinter>

namespace output {

QString Print_Card_Side = QStringLiteral("BOTH");
QString Print_Card_Algn = QStringLiteral("U");
int label_align_val = 1;
bool Show_margin_rect = true;
int Print_Row = 1;
int Print_Col = 1;
int Total_Label = 1;
int Total_Label_Real = 1;
bool auto_center_flag = false;
float Left_Mar = 0;
float Rite_Mar = 0;
float Top_Mar = 0;
float Bot_Mar = 0;
float horz_mar = 0;
float vert_mar = 0;
float label_width = 0;
float label_hight = 0;
int barcode_counter = 0;
QPrinter *printInfo = nullptr;
Print_Wnd *Print_Var = nullptr;
bool loading = false;

namespace {

// Millimetres, not points: Qt rounds page sizes in points to whole points.
QPageLayout inMillimetres(const QPrinter &printer)
{
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    return layout;
}

} // namespace

QSizeF paperSizeOf(const QPrinter &printer)
{
    return inMillimetres(printer).fullRect().size() * kPointsPerMillimetre;
}

SheetMargins marginsOf(const QPrinter &printer)
{
    const QMarginsF m = inMillimetres(printer).margins() * kPointsPerMillimetre;
    return {float(m.left()), float(m.right()), float(m.top()), float(m.bottom())};
}

SheetLayout currentSheetLayout()
{
    SheetLayout layout;
    if (printInfo)
        layout.paper = paperSizeOf(*printInfo);
    layout.margins = {Left_Mar, Rite_Mar, Top_Mar, Bot_Mar};
    layout.labelWidth = label_width;
    layout.labelHeight = label_hight;
    layout.horizontalGap = horz_mar;
    layout.verticalGap = vert_mar;
    layout.rows = Print_Row;
    layout.columns = Print_Col;
    layout.alignment = label_align_val;
    layout.autoCentre = auto_center_flag;
    layout.sides = cardSidesFromCode(Print_Card_Side);
    layout.pairing = pairingFromCode(Print_Card_Algn);
    return layout;
}

} // namespace output
