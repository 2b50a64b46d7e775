#include "app/FirstWindow.h"

#include "drawing/TVNGraphicView.h"

#include <QAction>
#include <QActionGroup>
#include <QFileDialog>
#include <QScrollArea>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
constexpr int kSelectTool = 0;
constexpr int kBarcodeTool = 11;
// Canvas zoom: card points to screen pixels.
constexpr double kCanvasScale = 2.5;
} // namespace

FirstWindow::FirstWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Quorvant"));
    drawing::setHost(this);

    m_front = new TVNGraphicView;
    m_front->setObjectName(QStringLiteral("_graphicView"));
    m_front->bindGraphics(&m_document, &m_document.graphics);
    m_front->setGrid(&m_grid);
    m_front->setCardSide(0);
    m_front->setScale(kCanvasScale);
    m_front->setCanvasSize(drawing::kCR80SizePt);

    auto *area = new QScrollArea;
    area->setAlignment(Qt::AlignCenter);
    area->setBackgroundRole(QPalette::Mid);
    area->setWidget(m_front);
    setCentralWidget(area);

    QToolBar *bar = addToolBar(tr("Tools"));
    bar->setObjectName(QStringLiteral("tools"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_tools = new QActionGroup(this);
    const auto addTool = [&](const QString &name, int tool) {
        QAction *action = bar->addAction(name);
        action->setCheckable(true);
        action->setData(tool);
        m_tools->addAction(action);
        connect(action, &QAction::triggered, this, [this, tool] { addGraphic(tool); });
        return action;
    };
    addTool(tr("Select"), kSelectTool)->setChecked(true);
    addTool(tr("Text"), drawing::kTextTool);
    addTool(tr("Image"), drawing::kImageTool);
    addTool(tr("Barcode"), kBarcodeTool);

    bar->addSeparator();
    QAction *undo = m_document.undoManager().createUndoAction(this, tr("Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = m_document.undoManager().createRedoAction(this, tr("Redo"));
    redo->setShortcut(QKeySequence::Redo);
    bar->addAction(undo);
    bar->addAction(redo);
    QAction *gridAction = bar->addAction(tr("Grid"));
    gridAction->setCheckable(true);
    connect(gridAction, &QAction::toggled, this, [this](bool on) {
        m_grid.setAlwaysShown(on);
        m_grid.setConstraining(on);
    });

    resize(1100, 720);
}

FirstWindow::~FirstWindow()
{
    drawing::setHost(nullptr);
}

void FirstWindow::addGraphic(int tool)
{
    this->tool = tool;
    switch (tool) {
    case drawing::kTextTool:
        m_front->createGraphicOfClass(GraphicClass::Text, nullptr, false, {}, QStringLiteral("F"), tr("Text"), {});
        break;
    case drawing::kImageTool:
        librarySelectedImage = QFileDialog::getOpenFileName(this, tr("Choose a picture"), {},
                                                            tr("Images (*.png *.jpg *.jpeg *.bmp *.gif *.tif *.tiff)"));
        m_front->createGraphicOfClass(GraphicClass::Image, nullptr, false, {}, QStringLiteral("F"), {}, {});
        break;
    case kBarcodeTool:
        m_front->createGraphicOfClass(GraphicClass::Barcode, nullptr, false, {}, QStringLiteral("F"), {}, {});
        break;
    default:
        return;
    }
    // Back to selecting, so the new graphic can be moved right away.
    for (QAction *action : m_tools->actions())
        if (action->data().toInt() == kSelectTool)
            action->setChecked(true);
    this->tool = kSelectTool;
    m_front->setFocus();
}

void FirstWindow::Refresh_Canvas()
{
    m_front->update();
}

QSizeF FirstWindow::canvasSize() const
{
    return m_front->canvasSize();
}
