#include "drawing/canvas/TVNGrid.h"

#include <cmath>

TVNGrid::TVNGrid(QObject *parent) : QObject(parent) {}

void TVNGrid::setColor(const QColor &color)
{
    _color = color;
    emit changed();
}

void TVNGrid::setSpacing(double points)
{
    _spacing = points;
    emit changed();
}

void TVNGrid::setAlwaysShown(bool shown)
{
    if (shown == _isAlwaysShown)
        return;
    _isAlwaysShown = shown;
    emit alwaysShownChanged(shown);
    emit changed();
}

void TVNGrid::setConstraining(bool constraining)
{
    _isConstraining = constraining;
    emit changed();
}

double TVNGrid::snap(double value) const
{
    if (!isUsable())
        return value;
    return std::floor(value / _spacing + 0.5) * _spacing;
}
