#include "design_window/CardSizes.h"

#include <array>

namespace design_window {

namespace {

struct Inches {
    double w;
    double h;
};

constexpr std::array<Inches, 7> kPvcSizes{{
    {3.37, 2.13}, {3.31, 2.06}, {3.62, 2.38}, {3.88, 2.62}, {3.5, 1.75}, {3.25, 2.34}, {2.88, 2.12},
}};

constexpr std::array<Inches, 8> kPaperSizes{{
    {2.36, 1.58}, {2.95, 1.58}, {2.95, 1.58}, {3.54, 2.13},
    {3.54, 2.36}, {2.36, 3.54}, {3.94, 4.09}, {5.91, 4.96},
}};

constexpr double kMmPerInch = 25.4;
constexpr double kPointsPerMm = 2.834645669291;

template <std::size_t N>
QSizeF rowSize(const std::array<Inches, N> &table, int row)
{
    if (row < 0 || row >= int(N))
        return QSizeF(30, 30);
    return QSizeF(table[row].w * kMmPerInch, table[row].h * kMmPerInch);
}

} // namespace

const QStringList &pvcCardNames()
{
    static const QStringList names{"CR80-Credit Card Size", "CR79", "CR90-Over Sized", "CR100-Military Size",
                                   "CR50", "CR60", "CR70"};
    return names;
}

const QStringList &paperCardNames()
{
    static const QStringList names{
        "Durable 1452 - Name Badge", "Durable 1453 - Name Badge", "Durable 1454 - Name Badge",
        "Durable 1455 - Name Badge", "Durable 1456 - Name Badge", "Durable 1457 - Name Badge",
        "Durable 1458 - Name Badge", "Durable 1459 - Name Badge"};
    return names;
}

QSizeF Get_My_card_Size(const QString &category, const QString &preset, int list_index)
{
    QSizeF size = category == kPvcCategory ? rowSize(kPvcSizes, list_index) : rowSize(kPaperSizes, list_index);
    if (preset == QLatin1String("V"))
        size.transpose();
    return size;
}

double MM_to_Points_Convert(double mm)
{
    return mm * kPointsPerMm;
}

QSizeF MM_to_Points_Convert(QSizeF mm)
{
    return QSizeF(MM_to_Points_Convert(mm.width()), MM_to_Points_Convert(mm.height()));
}

double Points_to_MM_Convert(double points)
{
    return points / kPointsPerMm;
}

} // namespace design_window
