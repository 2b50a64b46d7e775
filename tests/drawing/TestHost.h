#pragma once
// A host whose answers the tests set, installed for the life of the object.

#include "drawing/DrawingHost.h"

#include <QPainter>

struct TestHost : drawing::DefaultDrawingHost {
    TestHost() { drawing::setHost(this); }
    ~TestHost() override { drawing::setHost(nullptr); }

    QPointF Control_New_Point(const QString &side) override
    {
        placementSides.append(side);
        return newPoint;
    }
    void Card_Base_Drawing(QPainter &painter, const QRectF &rect, int side) override
    {
        if (background[side].isValid())
            painter.fillRect(rect, background[side]);
    }

    QPointF newPoint{20, 30};
    QStringList placementSides;
    QColor background[2]; // front, back; invalid: no background
};
