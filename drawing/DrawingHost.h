#pragma once
// What the drawing core needs from the window that hosts it: the card
// background, the current side and tool, where new graphics go, repaints,
// the property inspector and a few pictures. The design window installs its
// own host with setHost(); until then a plain default serves (no background,
// a drawn placeholder).

#include "platform/Image.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>

class QPainter;
class TVNGraphic;

namespace drawing {

// 1 mm in points, and the CR80 card (85.598 x 54.102 mm) in points.
inline constexpr double kPointsPerMillimetre = 2.834645669291;
inline const QSizeF kCR80SizePt(85.598 * kPointsPerMillimetre, 54.102 * kPointsPerMillimetre);

// Tool numbers the canvas looks at: 2 text, 8 image (from the library).
inline constexpr int kTextTool = 2;
inline constexpr int kImageTool = 8;

class DrawingHost {
public:
    virtual ~DrawingHost() = default;

    // The side being edited or rendered: 0 front, 1 back.
    virtual int Card_Front_Or_Back() const = 0;
    // Card outline: 0 rectangle, 1 rounded rectangle (radius 10), 2 oval.
    virtual int Card_Shape() const = 0;
    // Size in points of the canvas of the current side.
    virtual QSizeF canvasSize() const = 0;
    // Paints the background of `side` (0 front, 1 back) into `cardRect`. The
    // painter is already clipped to the card outline.
    virtual void Card_Base_Drawing(QPainter &painter, const QRectF &cardRect, int side) = 0;
    // The background of `side` as a drawing keeps it, taken when the drawing
    // starts; it paints as Card_Base_Drawing does. A host whose background
    // is a value returns a copy, so the drawing never calls back into the
    // host; this default paints through Card_Base_Drawing, so the host must
    // outlive the drawing.
    using Background = std::function<void(QPainter &painter, const QRectF &cardRect, int side)>;
    virtual Background cardBackground(int side);

    virtual int Selected_Control_Tool() const = 0;
    virtual QString Library_Selected_Image() const = 0;
    // Origin for the next new graphic on side "F" or "B".
    virtual QPointF Control_New_Point(const QString &side) = 0;

    virtual void Refresh_Canvas() = 0;
    // Shows the properties of `graphic`, or of the card for nullptr.
    virtual void Show_RHS_Properties(TVNGraphic *graphic) = 0;
    // Double click on a barcode graphic.
    virtual void Open_Barcode_Window(TVNGraphic *graphic) = 0;

    // Placeholder of an image graphic whose file is missing.
    virtual platform::Image no_image() const = 0;
    // The main photo with its adjustments applied ("PARTY_IMAGE" shows it).
    virtual platform::Image Main_Photo_image() const = 0;
    virtual bool fileExists(const QString &path) const = 0;
};

// The plain host used until the design window takes over; also a handy base
// for hosts that only change a few answers.
class DefaultDrawingHost : public DrawingHost {
public:
    DefaultDrawingHost();

    int Card_Front_Or_Back() const override { return side; }
    int Card_Shape() const override { return shape; }
    QSizeF canvasSize() const override { return cardSize; }
    void Card_Base_Drawing(QPainter &, const QRectF &, int) override {}

    int Selected_Control_Tool() const override { return tool; }
    QString Library_Selected_Image() const override { return librarySelectedImage; }
    // Cascades: each call moves 9 pt right and down, wrapping inside the card.
    QPointF Control_New_Point(const QString &side) override;

    void Refresh_Canvas() override {}
    void Show_RHS_Properties(TVNGraphic *) override {}
    void Open_Barcode_Window(TVNGraphic *) override {}

    platform::Image no_image() const override { return placeholder; }
    platform::Image Main_Photo_image() const override { return mainPhoto; }
    bool fileExists(const QString &path) const override;

    int side = 0;
    int shape = 0;
    QSizeF cardSize = kCR80SizePt;
    int tool = 0;
    QString librarySelectedImage;
    QPointF nextPoint{9, 9};
    platform::Image placeholder;
    platform::Image mainPhoto;
};

// The host in use. Never null: without an installed host the default one.
DrawingHost &host();
// Installs `h` (not owned; it must outlive its use); nullptr goes back to
// the default host.
void setHost(DrawingHost *h);

// A drawn picture (grey frame with a crossed landscape) used where an image
// file is missing.
platform::Image placeholderPicture(QSizeF points = QSizeF(100, 100));

} // namespace drawing
