#pragma once
// Card size presets: the PVC card sizes and the paper badge sizes the card
// panel offers, and the millimetre to point conversion.

#include <QSizeF>
#include <QString>
#include <QStringList>

namespace design_window {

// Names of the PVC card sizes and of the paper badge sizes, in list order.
const QStringList &pvcCardNames();
const QStringList &paperCardNames();

// The category text that selects the PVC table.
inline const QString kPvcCategory = QStringLiteral("PVC Card");
inline const QString kPaperCategory = QStringLiteral("Paper Card");

// Width and height in millimetres of row `list_index` of the category's
// table, "V" swapping them for a portrait card. Row -1 (or any row outside
// the table) gives 30 x 30 mm.
QSizeF Get_My_card_Size(const QString &category, const QString &preset, int list_index);

// Millimetres to points.
double MM_to_Points_Convert(double mm);
QSizeF MM_to_Points_Convert(QSizeF mm);
// Points to millimetres.
double Points_to_MM_Convert(double points);

} // namespace design_window
