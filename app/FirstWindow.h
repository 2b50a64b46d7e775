#pragma once
// The program's window until the full design window arrives: the front card
// canvas with a tool bar to add text, image and barcode graphics.

#include "drawing/DrawingHost.h"
#include "drawing/TVNDocument.h"
#include "drawing/TVNGrid.h"

#include <QMainWindow>

class QActionGroup;
class TVNGraphicView;

class FirstWindow : public QMainWindow, private drawing::DefaultDrawingHost {
    Q_OBJECT
public:
    explicit FirstWindow(QWidget *parent = nullptr);
    ~FirstWindow() override;

    TVNGraphicView *frontCanvas() const { return m_front; }
    TVNDocument &document() { return m_document; }

    // Adds a graphic of the tool's kind to the front card, as the tool bar
    // buttons do.
    void addGraphic(int tool);

private:
    void Refresh_Canvas() override;
    QSizeF canvasSize() const override;

    TVNDocument m_document;
    TVNGrid m_grid;
    TVNGraphicView *m_front = nullptr;
    QActionGroup *m_tools = nullptr;
};
