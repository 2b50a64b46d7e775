#pragma once
// The editing canvas of one card side: draws its graphic list (index 0 in
// front) over the card background and the grid, selects, moves and resizes
// graphics with the mouse, and creates graphics on request.

#include "drawing/TVNDocument.h"
#include "drawing/TVNGraphic.h"
#include "drawing/canvas/TVNGrid.h"

#include <QPointer>
#include <QWidget>

class QMouseEvent;

class TVNGraphicView : public QWidget {
    Q_OBJECT
public:
    explicit TVNGraphicView(QWidget *parent = nullptr);
    ~TVNGraphicView() override;

    // Shows and edits `list`, one of `document`'s lists; changes go through
    // the document's undo stack. Unbound, the canvas has a list of its own.
    void bindGraphics(TVNDocument *document, GraphicList *list);
    GraphicList &graphics() { return *m_graphics; }
    const GraphicList &graphics() const { return *m_graphics; }
    TVNDocument *document() const { return m_document; }

    // The side whose background the canvas shows: 0 front, 1 back.
    void setCardSide(int side);
    int cardSide() const { return m_cardSide; }

    void setGrid(TVNGrid *grid);
    TVNGrid *grid() const { return m_grid; }

    // Canvas size in points and the zoom (widget pixels per point).
    void setCanvasSize(QSizeF points);
    QSizeF canvasSize() const { return m_canvasSize; }
    void setScale(double pixelsPerPoint);
    double scale() const { return m_scale; }
    QPointF cardPointFromWidget(const QPointF &widgetPoint) const { return widgetPoint / m_scale; }

    // --- selection
    const GraphicList &selectedGraphics() const { return m_selection; }
    bool isGraphicSelected(const GraphicPtr &graphic) const;
    void selectGraphic(const GraphicPtr &graphic);
    void deselectGraphic(const GraphicPtr &graphic);
    void deselectAll();
    // Removes the selected graphics as one undoable step.
    void deleteSelectedGraphics();
    // The topmost visible graphic at `cardPoint`, or none.
    GraphicPtr graphicUnderPoint(const QPointF &cardPoint) const;

    // --- operations of the design window, profiles and invitation layout

    // The first text or image graphic in list order whose control ID equals
    // `ctrlId` (both trimmed); none when there is none.
    GraphicPtr Selcect_Ctrl_With_ID(const QString &ctrlId) const;
    // Hides every text or image graphic that shows a user-profile value.
    void Hide_all_Text_control_FUP_Control();
    // Puts `ctrl_value` into the graphic with `ctrl_ID` when there is one,
    // otherwise creates it with createGraphicOfClass().
    void ReplaceGraphicText(GraphicClass graphicClass, QMouseEvent *event, bool use_rect, const QRectF &bound_rect,
                            const QString &card_side, const QString &ctrl_value, const QString &ctrl_ID);
    // Builds a graphic for the host's current tool (the image tool: from
    // the path in `ctrl_value`, or without one from the host's library
    // pick; the placeholder when that file is missing), places it (snapped
    // to the grid when it constrains) and inserts it at index 0 as one
    // undoable step; it becomes the selection and _Selected_Graphic.
    void createGraphicOfClass(GraphicClass graphicClass, QMouseEvent *event, bool use_rect, const QRectF &bound_rect,
                              const QString &card_side, const QString &ctrl_value, const QString &ctrl_ID);
    // Shows the graphic's in-place editor when it has one.
    void startEditingGraphic(const GraphicPtr &graphic);
    // An in-place editor for `graphic` with this view as its parent, or
    // nullptr when it has none (no graphic kind has one yet).
    virtual QWidget *newEditingView(TVNGraphic &graphic);
    // Moves every graphic that lies wholly outside the card (its size or
    // outline changed) back onto it, leaving the others where they are.
    // Not an undo step: it belongs to the card change.
    void bringGraphicsOntoCard();

    // The graphic that the last create or replace placed.
    GraphicPtr _Selected_Graphic;

    // Size of a new graphic when no rectangle is given.
    static QSizeF defaultGraphicSize(GraphicClass graphicClass);

signals:
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Drag { None, Move, Resize };

    void insertAtFront(const GraphicPtr &graphic);
    void notifySelection();
    bool gridConstrains() const;
    // The move `delta` of the dragged graphics, cut back so that each keeps
    // some of itself on the card.
    QPointF shiftKeepingOnCard(QPointF delta) const;
    // How much of an object stays on the card, across and down: a
    // grabbable part at the current zoom.
    double onCardKeep() const;
    // `bounds`, moved in until a grabbable part of it shows inside the
    // card's outline (rounded and oval cards cut their corners off).
    QRectF keptInsideOutline(const QRectF &bounds) const;
    // Handle index 0..7 (clockwise from top left) of a selected graphic
    // under the point, or -1.
    int handleUnderPoint(const GraphicPtr &graphic, const QPointF &cardPoint) const;
    QList<QRectF> handleRects(const QRectF &bounds) const;
    void drawGrid(QPainter &painter) const;

    QPointer<TVNDocument> m_document;
    GraphicList m_ownGraphics;
    GraphicList *m_graphics = &m_ownGraphics;
    GraphicList m_selection;
    QPointer<TVNGrid> m_grid;
    QSizeF m_canvasSize;
    double m_scale = 1.0;
    int m_cardSide = 0;
    QPointer<QWidget> m_editingView;

    // mouse tracking
    Drag m_drag = Drag::None;
    GraphicPtr m_dragGraphic;
    int m_dragHandle = -1;
    QPointF m_dragStart;
    GraphicList m_dragGraphics;
    QList<QRectF> m_dragStartBounds;
    bool m_dragChanged = false;
};
