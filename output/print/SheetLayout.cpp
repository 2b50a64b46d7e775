#include "output/print/SheetLayout.h"

#include <algorithm>
#include <cmath>

namespace output {

namespace {

int atLeastOne(int count)
{
    return std::max(count, 1);
}

// Alignment values by column and row of the nine buttons.
bool isCentreColumn(int alignment)
{
    return alignment == 2 || alignment == 5 || alignment == 8;
}
bool isRightColumn(int alignment)
{
    return alignment == 3 || alignment == 6 || alignment == 9;
}
bool isMiddleRow(int alignment)
{
    return alignment >= 4 && alignment <= 6;
}
bool isBottomRow(int alignment)
{
    return alignment >= 7 && alignment <= 9;
}

float gridWidth(const SheetLayout &l)
{
    const int nc = atLeastOne(l.columns);
    return float(nc) * l.labelWidth + float(nc - 1) * l.horizontalGap;
}

float gridHeight(const SheetLayout &l)
{
    const int nr = atLeastOne(l.rows);
    return float(nr) * l.labelHeight + float(nr - 1) * l.verticalGap;
}

// How far past the free length a row of labels may reach and still count
// as fitting. The lengths come from millimetres in single precision, up to
// some thousandths of a point off on the largest papers: labels that fill
// the paper exactly (two of 97 mm and a 6 mm gap in 200 mm) must not lose
// one to that, whichever paper and margins make up the 200 mm. A hundredth
// of a point is far below what a printer can show, and below the 0.01 mm
// step of the typed sizes, so a grid a step too wide still does not fit.
constexpr float kFitSlack = 0.01f;

// The count of labels of `length` (with `gap` between them) along `free`
// points, for `wanted` asked; `gapOut` takes the gap to use.
int fitCount(int wanted, float free, float length, float gap, bool autoCentre, float *gapOut)
{
    const int n = atLeastOne(wanted);
    if (autoCentre) {
        const float spread = (free - float(n) * length) / float(n + 1);
        if (spread > 0) {
            *gapOut = spread;
            return n;
        }
        int fit = n;
        if (length > 0)
            fit = std::min(n, std::max(1, int((free + kFitSlack) / length)));
        // The gap for the count that fits, at once.
        *gapOut = std::max(0.0f, (free - float(fit) * length) / float(fit + 1));
        return fit;
    }
    *gapOut = gap;
    if ((free - float(n) * length - float(n - 1) * gap) / float(n + 1) > 0)
        return n;
    if (length + gap <= 0)
        return n;
    return std::min(n, std::max(1, int(std::floor((free + gap + kFitSlack) / (length + gap)))));
}

} // namespace

float Points_to_MM_Convert(float points)
{
    return float(double(points) * kMillimetresPerPoint);
}

float MM_to_Points_Convert(float millimetres)
{
    return float(double(millimetres) * kPointsPerMillimetre);
}

CardSides cardSidesFromCode(const QString &code)
{
    if (code == QLatin1String("BOTH"))
        return CardSides::Both;
    return code == QLatin1String("F") ? CardSides::Front : CardSides::Back;
}

QString codeOf(CardSides sides)
{
    switch (sides) {
    case CardSides::Front:
        return QStringLiteral("F");
    case CardSides::Back:
        return QStringLiteral("B");
    case CardSides::Both:
        break;
    }
    return QStringLiteral("BOTH");
}

Pairing pairingFromCode(const QString &code)
{
    return code == QLatin1String("U") ? Pairing::Stacked : Pairing::SideBySide;
}

QString codeOf(Pairing pairing)
{
    return pairing == Pairing::Stacked ? QStringLiteral("U") : QStringLiteral("L");
}

SheetMargins marginsFromPrintable(QSizeF paper, const QRectF &printable)
{
    const float x = float(printable.x()), y = float(printable.y());
    const float w = float(printable.width()), h = float(printable.height());
    return {x, float(paper.width()) - x - w, float(paper.height()) - y - h, y};
}

int SheetLayout::cells() const
{
    return atLeastOne(rows) * atLeastOne(columns);
}

float rowEdge(const SheetLayout &l, int row)
{
    const float H = float(l.paper.height());
    const float h = l.labelHeight, gy = l.verticalGap;
    const float GH = gridHeight(l);
    float y = 0;
    if (l.autoCentre)
        y = GH - h + gy + l.margins.bottom;
    else if (isMiddleRow(l.alignment))
        y = (H - l.margins.top - l.margins.bottom - GH) / 2 + l.margins.bottom + GH - h;
    else if (isBottomRow(l.alignment))
        y = GH - h + l.margins.bottom;
    else
        y = H - h - l.margins.top;
    for (int r = 2; r <= row; ++r)
        y = y - h - gy;
    return y;
}

float columnEdge(const SheetLayout &l, int column)
{
    const float w = l.labelWidth, gx = l.horizontalGap, L = l.margins.left;
    const float j = float(column);
    if (l.autoCentre)
        return L + j * gx + (j - 1) * w;
    float x = 0;
    if (isCentreColumn(l.alignment))
        x = L + (float(l.paper.width()) - L - l.margins.right - gridWidth(l)) / 2;
    else if (isRightColumn(l.alignment))
        x = float(l.paper.width()) - gridWidth(l) - l.margins.right;
    else
        return L + (j - 1) * gx + (j - 1) * w;
    for (int c = 2; c <= column; ++c)
        x = x + w + gx;
    return x;
}

LabelPlace labelPlace(const SheetLayout &l, int row, int column, QSizeF card)
{
    const float x = columnEdge(l, column), y = rowEdge(l, row);
    const float w = l.labelWidth, h = l.labelHeight;
    const float iw = float(card.width()), ih = float(card.height());
    LabelPlace place;
    float ox = x, oy = y;
    if (l.sides != CardSides::Both) {
        place.cell = QRectF(x, y, w, h);
        ox += w > iw ? (w - iw) / 2 : 0;
        oy += h > ih ? (h - ih) / 2 : 0;
    } else if (l.pairing == Pairing::Stacked) {
        place.cell = QRectF(x, y + h / 2, w, h / 2);
        ox += w > iw ? (w - iw) / 2 : 0;
        // The pair hangs from the label's top edge.
        oy = y + h / 2 + (h > 2 * ih ? (h - 2 * ih) / 2 : 0);
    } else {
        place.cell = QRectF(x, y, w / 2, h);
        ox += w > 2 * iw ? (w - 2 * iw) / 2 : 0;
        oy += h > ih ? (h - ih) / 2 : 0;
    }
    place.first = QRectF(ox, oy, iw, ih);
    if (l.sides == CardSides::Both)
        place.second = l.pairing == Pairing::Stacked ? QRectF(ox, oy - ih, iw, ih) : QRectF(ox + iw, oy, iw, ih);
    return place;
}

QRectF onPage(const QRectF &r, QSizeF paper)
{
    return QRectF(r.x(), paper.height() - r.y() - r.height(), r.width(), r.height());
}

int pageCount(int labels, const SheetLayout &layout)
{
    if (labels <= 0)
        return 0;
    const int cells = layout.cells();
    return labels / cells + (labels % cells ? 1 : 0);
}

PageLabels labelsOnPage(int page, int labels, const SheetLayout &layout)
{
    if (page < 0 || page >= pageCount(labels, layout))
        return {};
    const int cells = layout.cells();
    const int first = page * cells;
    return {first, std::min(cells, labels - first)};
}

QSizeF labelSizeFor(QSizeF card, CardSides sides, Pairing pairing)
{
    if (sides != CardSides::Both)
        return card;
    return pairing == Pairing::Stacked ? QSizeF(card.width(), card.height() * 2)
                                       : QSizeF(card.width() * 2, card.height());
}

GridFit fitGrid(const GridRequest &request, QSizeF paper, const SheetMargins &m)
{
    float w = MM_to_Points_Convert(request.widthMm);
    float h = MM_to_Points_Convert(request.heightMm);
    if (request.sides == CardSides::Both)
        (request.pairing == Pairing::Stacked ? h : w) *= 2;
    const float gx = MM_to_Points_Convert(request.horizontalGapMm);
    const float gy = MM_to_Points_Convert(request.verticalGapMm);
    const float freeWidth = float(paper.width()) - m.left - m.right;
    const float freeHeight = float(paper.height()) - m.top - m.bottom;

    GridFit fit;
    fit.labelWidth = w;
    fit.labelHeight = h;
    fit.columns = fitCount(request.columns, freeWidth, w, gx, request.autoCentre, &fit.horizontalGap);
    fit.rows = fitCount(request.rows, freeHeight, h, gy, request.autoCentre, &fit.verticalGap);
    return fit;
}

} // namespace output
