#include "drawing/canvas/TVNGraphicView.h"

#include "drawing/Card_Property.h"
#include "drawing/DrawingHost.h"
#include "drawing/TVNDocument.h"
#include "drawing/canvas/TVNGrid.h"
#include "platform/Helpers.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

namespace {

constexpr double kHandlePixels = 7;

// The shifts along one axis that keep `keep` of the span [start, end] (or
// all of it, or the whole card where either is smaller) on [0, length].
std::pair<double, double> shiftsKeepingOnCard(double start, double end, double length, double keep)
{
    keep = std::min({keep, end - start, length});
    return {keep - end, length - keep - start};
}

// Where a dragged edge may go along one axis when the opposite edge stays at
// `fixed`: anywhere on the card, but no nearer than `keep` to the far side of
// an opposite edge that lies off the card.
double edgeKeepingOnCard(double edge, double fixed, double length, double keep)
{
    keep = std::min(keep, length / 2);
    return std::clamp(edge, fixed < 0 ? keep : 0.0, fixed > length ? length - keep : length);
}

const QStringList &profileValueIds()
{
    static const QStringList ids{
        QStringLiteral("Fup_Name"),    QStringLiteral("Fup_Title"),   QStringLiteral("Fup_Company"),
        QStringLiteral("Fup_CompanySlogan"), QStringLiteral("Fup_Address"), QStringLiteral("Fup_PhoneNO"),
        QStringLiteral("Fup_FaxNo"),   QStringLiteral("Fup_EmailID"), QStringLiteral("Fup_Website"),
        QStringLiteral("Fup_UniqueNo"), QStringLiteral("Fup_Photo")};
    return ids;
}

bool isTextOrImage(const TVNGraphic &g)
{
    return g.graphicClass() == GraphicClass::Text || g.graphicClass() == GraphicClass::Image;
}

// Invitation identifiers and the look their text takes.
void applyInvitationStyle(TVNText &text, const QString &id)
{
    if (!id.startsWith(QLatin1String("PARTY_")))
        return;
    static const QStringList centred{QStringLiteral("PARTY_TITLE"), QStringLiteral("PARTY_DATE"),
                                     QStringLiteral("PARTY_TIME"), QStringLiteral("PARTY_VENUE"),
                                     QStringLiteral("PARTY_MARRINGE_INFO")};
    if (centred.contains(id))
        text.setAlignment(Qt::AlignHCenter);
    else if (id == QLatin1String("PARTY_FROM"))
        text.setAlignment(Qt::AlignRight);
    if (id == QLatin1String("PARTY_TITLE") || id == QLatin1String("PARTY_MARRINGE_INFO"))
        text.setTextFont(fontFromPostScriptName(QStringLiteral("TimesNewRomanPS-BoldItalicMT"), 18));
}

} // namespace

TVNGraphicView::TVNGraphicView(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setCanvasSize(drawing::kCR80SizePt);
}

TVNGraphicView::~TVNGraphicView() = default;

void TVNGraphicView::bindGraphics(TVNDocument *document, GraphicList *list)
{
    if (m_document)
        disconnect(m_document, nullptr, this, nullptr);
    m_document = document;
    m_graphics = list ? list : &m_ownGraphics;
    m_selection.clear();
    _Selected_Graphic.reset();
    if (m_document) {
        connect(m_document, &TVNDocument::graphicsChanged, this, [this] {
            // Graphics that undo took away are no longer selectable.
            const auto gone = [this](const GraphicPtr &g) {
                return std::find(m_graphics->begin(), m_graphics->end(), g) == m_graphics->end();
            };
            const auto before = m_selection.size();
            m_selection.erase(std::remove_if(m_selection.begin(), m_selection.end(), gone), m_selection.end());
            if (m_selection.size() != before)
                notifySelection();
            update();
        });
    }
    update();
}

void TVNGraphicView::setCardSide(int side)
{
    m_cardSide = side;
    update();
}

void TVNGraphicView::setGrid(TVNGrid *grid)
{
    if (m_grid)
        disconnect(m_grid, nullptr, this, nullptr);
    m_grid = grid;
    if (m_grid)
        connect(m_grid, &TVNGrid::changed, this, qOverload<>(&QWidget::update));
    update();
}

void TVNGraphicView::setCanvasSize(QSizeF points)
{
    m_canvasSize = points;
    setFixedSize((points * m_scale).toSize());
    update();
}

void TVNGraphicView::setScale(double pixelsPerPoint)
{
    if (pixelsPerPoint <= 0)
        return;
    m_scale = pixelsPerPoint;
    setCanvasSize(m_canvasSize);
}

// ------------------------------------------------------------------ selection

bool TVNGraphicView::isGraphicSelected(const GraphicPtr &graphic) const
{
    return std::find(m_selection.begin(), m_selection.end(), graphic) != m_selection.end();
}

void TVNGraphicView::selectGraphic(const GraphicPtr &graphic)
{
    if (!graphic || isGraphicSelected(graphic))
        return;
    m_selection.push_back(graphic);
    notifySelection();
}

void TVNGraphicView::deselectGraphic(const GraphicPtr &graphic)
{
    const auto it = std::find(m_selection.begin(), m_selection.end(), graphic);
    if (it == m_selection.end())
        return;
    m_selection.erase(it);
    notifySelection();
}

void TVNGraphicView::deselectAll()
{
    if (m_selection.empty())
        return;
    m_selection.clear();
    notifySelection();
}

void TVNGraphicView::notifySelection()
{
    update();
    drawing::host().Show_RHS_Properties(m_selection.size() == 1 ? m_selection.front().get() : nullptr);
    emit selectionChanged();
}

void TVNGraphicView::deleteSelectedGraphics()
{
    if (m_selection.empty())
        return;
    const GraphicList doomed = m_selection;
    m_selection.clear();
    if (m_document) {
        m_document->undoManager().beginMacro(tr("Delete"));
        for (const GraphicPtr &g : doomed)
            m_document->removeGraphic(*m_graphics, g, tr("Delete"));
        m_document->undoManager().endMacro();
    } else {
        for (const GraphicPtr &g : doomed)
            m_graphics->erase(std::remove(m_graphics->begin(), m_graphics->end(), g), m_graphics->end());
    }
    if (std::find(doomed.begin(), doomed.end(), _Selected_Graphic) != doomed.end())
        _Selected_Graphic.reset();
    notifySelection();
}

GraphicPtr TVNGraphicView::graphicUnderPoint(const QPointF &cardPoint) const
{
    for (const GraphicPtr &g : *m_graphics)
        if (g->hitTest(cardPoint))
            return g;
    return {};
}

// ------------------------------------------------------------- lookups

GraphicPtr TVNGraphicView::Selcect_Ctrl_With_ID(const QString &ctrlId) const
{
    const QString wanted = ctrlId.trimmed();
    for (const GraphicPtr &g : *m_graphics)
        if (g && isTextOrImage(*g) && g->control_ID.trimmed() == wanted)
            return g;
    return {};
}

void TVNGraphicView::Hide_all_Text_control_FUP_Control()
{
    for (const GraphicPtr &g : *m_graphics)
        if (g && isTextOrImage(*g) && profileValueIds().contains(g->control_ID.trimmed()))
            g->Set_Ctrl_Is_Visible(false);
    update();
}

void TVNGraphicView::ReplaceGraphicText(GraphicClass graphicClass, QMouseEvent *event, bool use_rect,
                                        const QRectF &bound_rect, const QString &card_side,
                                        const QString &ctrl_value, const QString &ctrl_ID)
{
    const GraphicPtr found = Selcect_Ctrl_With_ID(ctrl_ID);
    if (!found) {
        createGraphicOfClass(graphicClass, event, use_rect, bound_rect, card_side, ctrl_value, ctrl_ID);
        return;
    }
    // The class asked for decides what changes; a graphic of the other kind
    // under the same id is left as it is.
    if (graphicClass == GraphicClass::Text && !ctrl_value.isEmpty()) {
        if (auto *text = dynamic_cast<TVNText *>(found.get())) {
            text->Text_Value = ctrl_value;
            text->setContentsString(ctrl_value);
            text->setDrawingStroke(false);
            text->setDrawingFill(false);
            text->Set_Ctrl_Is_Visible(true);
        }
    } else if (graphicClass == GraphicClass::Image) {
        if (auto *image = dynamic_cast<TVNImage *>(found.get())) {
            if (drawing::host().fileExists(ctrl_value)) {
                image->setFilePath(ctrl_value, drawing::host().Main_Photo_image());
                image->Set_Ctrl_Is_Visible(true);
            } else {
                Show_NSLog_Message(ctrl_value);
            }
        }
    }
    startEditingGraphic(found);
    _Selected_Graphic = found;
    update();
}

QSizeF TVNGraphicView::defaultGraphicSize(GraphicClass graphicClass)
{
    switch (graphicClass) {
    case GraphicClass::Text:
        return {108, 27};
    case GraphicClass::Image:
        return {72, 72};
    case GraphicClass::Barcode:
        return {108, 54};
    }
    return {72, 72};
}

bool TVNGraphicView::gridConstrains() const
{
    return m_grid && m_grid->isUsable() && m_grid->isConstraining();
}

void TVNGraphicView::createGraphicOfClass(GraphicClass graphicClass, QMouseEvent *, bool use_rect,
                                          const QRectF &bound_rect, const QString &card_side,
                                          const QString &ctrl_value, const QString &ctrl_ID)
{
    drawing::DrawingHost &host = drawing::host();

    QRectF rect(QPointF(), use_rect ? bound_rect.size() : defaultGraphicSize(graphicClass));
    // A rectangle given is where the object goes, whether it is one the
    // program places (an id) or one the user drew.
    rect.moveTopLeft(use_rect ? bound_rect.topLeft() : host.Control_New_Point(card_side));
    if (gridConstrains()) {
        const QPointF origin(m_grid->snap(rect.left()), m_grid->snap(rect.top()));
        QPointF far(m_grid->snap(rect.right()), m_grid->snap(rect.bottom()));
        // A graphic smaller than half a spacing would snap to nothing and
        // could never be seen or picked again: it keeps one spacing.
        if (far.x() <= origin.x())
            far.setX(origin.x() + m_grid->spacing());
        if (far.y() <= origin.y())
            far.setY(origin.y() + m_grid->spacing());
        rect = QRectF(origin, far);
    }

    GraphicPtr graphic;
    const int tool = host.Selected_Control_Tool();
    if (tool == drawing::kImageTool) {
        auto image = std::make_shared<TVNImage>();
        // The id first: "PARTY_IMAGE" shows the main photo.
        image->control_ID = ctrl_ID;
        // A path given with the request decides; the library's pick serves
        // only a request without one, so a pick left over from an earlier
        // insertion never replaces the picture asked for.
        const QString path = ctrl_value.isEmpty() ? host.Library_Selected_Image() : ctrl_value;
        // Without a file it has no picture, and the canvas shows the
        // placeholder in its place.
        if (host.fileExists(path))
            image->setFilePath(path, host.Main_Photo_image());
        graphic = image;
    } else {
        graphic = newGraphicOfClass(graphicClass);
    }

    if (auto *text = dynamic_cast<TVNText *>(graphic.get())) {
        if (!ctrl_value.isEmpty()) {
            text->Text_Value = ctrl_value;
            text->setContentsString(ctrl_value);
            text->setDrawingStroke(false);
            text->setDrawingFill(false);
        }
        applyInvitationStyle(*text, ctrl_ID);
    }
    graphic->control_ID = ctrl_ID;
    // A new barcode shows the symbol of its settings at once, at the size
    // of its picture.
    if (auto *barcode = dynamic_cast<TVNBarcode *>(graphic.get()); barcode && barcode->makeBarcodeImage() && !use_rect)
        rect.setSize(barcode->_barcode_image.size());
    graphic->setBounds(rect);

    insertAtFront(graphic);
    m_selection.clear();
    m_selection.push_back(graphic);
    startEditingGraphic(graphic);
    _Selected_Graphic = graphic;
    notifySelection();
}

void TVNGraphicView::bringGraphicsOntoCard()
{
    bool moved = false;
    for (const GraphicPtr &g : *m_graphics) {
        const QRectF onCard = drawing::broughtOntoCard(g->bounds(), m_canvasSize, drawing::host().Card_Shape());
        if (onCard != g->bounds()) {
            g->setBounds(onCard);
            moved = true;
        }
    }
    if (moved && m_document)
        emit m_document->graphicsChanged();
    update();
}

void TVNGraphicView::insertAtFront(const GraphicPtr &graphic)
{
    if (m_document)
        m_document->insertGraphic(*m_graphics, graphic, 0, tr("Create %1").arg(
            graphic->graphicClass() == GraphicClass::Text    ? tr("Text")
            : graphic->graphicClass() == GraphicClass::Image ? tr("Image")
                                                             : tr("Barcode")));
    else
        m_graphics->insert(m_graphics->begin(), graphic);
    update();
}

void TVNGraphicView::startEditingGraphic(const GraphicPtr &graphic)
{
    if (!graphic)
        return;
    QWidget *editor = newEditingView(*graphic);
    if (!editor)
        return;
    if (m_editingView && m_editingView != editor)
        m_editingView->deleteLater();
    m_editingView = editor;
    editor->show();
    editor->setFocus();
}

QWidget *TVNGraphicView::newEditingView(TVNGraphic &)
{
    return nullptr;
}

// ------------------------------------------------------------------ painting

QList<QRectF> TVNGraphicView::handleRects(const QRectF &b) const
{
    const double s = kHandlePixels / m_scale;
    const QList<QPointF> centres{b.topLeft(),     QPointF(b.center().x(), b.top()),    b.topRight(),
                                 QPointF(b.right(), b.center().y()), b.bottomRight(),
                                 QPointF(b.center().x(), b.bottom()), b.bottomLeft(),
                                 QPointF(b.left(), b.center().y())};
    // Handles beyond the card's edge are shown (and grabbed) just inside it:
    // outside the canvas nothing can be seen or clicked.
    const auto onCanvas = [s](double c, double length) {
        return std::clamp(c, s / 2, std::max(s / 2, length - s / 2));
    };
    QList<QRectF> rects;
    for (const QPointF &c : centres) {
        const QPointF shown(onCanvas(c.x(), m_canvasSize.width()), onCanvas(c.y(), m_canvasSize.height()));
        rects.append(QRectF(shown.x() - s / 2, shown.y() - s / 2, s, s));
    }
    return rects;
}

void TVNGraphicView::drawGrid(QPainter &painter) const
{
    if (!m_grid || !m_grid->isUsable() || !m_grid->isAlwaysShown())
        return;
    painter.save();
    painter.setPen(QPen(m_grid->color(), 0));
    const double step = m_grid->spacing();
    for (double x = step; x < m_canvasSize.width(); x += step)
        painter.drawLine(QPointF(x, 0), QPointF(x, m_canvasSize.height()));
    for (double y = step; y < m_canvasSize.height(); y += step)
        painter.drawLine(QPointF(0, y), QPointF(m_canvasSize.width(), y));
    painter.restore();
}

void TVNGraphicView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(m_scale, m_scale);

    const QRectF card(QPointF(0, 0), m_canvasSize);
    const QPainterPath outline = drawing::cardOutline(card, drawing::host().Card_Shape());
    painter.fillPath(outline, Qt::white);

    painter.save();
    painter.setClipPath(outline);
    drawing::host().Card_Base_Drawing(painter, card, m_cardSide);
    drawGrid(painter);
    const drawing::DrawStyle style{true, drawing::host().no_image()};
    for (auto it = m_graphics->rbegin(); it != m_graphics->rend(); ++it)
        (*it)->draw(painter, style);
    painter.restore();

    painter.setPen(QPen(QColor(120, 120, 120), 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);

    const QColor selection(40, 110, 220);
    for (const GraphicPtr &g : m_selection) {
        painter.setPen(QPen(selection, 0, Qt::DashLine));
        painter.drawRect(g->bounds());
        painter.setPen(QPen(Qt::white, 0));
        painter.setBrush(selection);
        for (const QRectF &h : handleRects(g->bounds()))
            painter.drawRect(h);
        painter.setBrush(Qt::NoBrush);
    }
}

// ------------------------------------------------------------ mouse tracking

int TVNGraphicView::handleUnderPoint(const GraphicPtr &graphic, const QPointF &cardPoint) const
{
    const QList<QRectF> rects = handleRects(graphic->bounds());
    // Corners first: where handles shown at the card's edge fall together,
    // the corner moves both edges.
    for (int i : {0, 2, 4, 6, 1, 3, 5, 7})
        if (rects[i].adjusted(-1 / m_scale, -1 / m_scale, 1 / m_scale, 1 / m_scale).contains(cardPoint))
            return i;
    return -1;
}

void TVNGraphicView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus();
    const QPointF point = cardPointFromWidget(event->position());
    m_drag = Drag::None;
    m_dragChanged = false;
    m_dragStart = point;

    for (const GraphicPtr &g : m_selection) {
        const int handle = handleUnderPoint(g, point);
        if (handle >= 0) {
            m_drag = Drag::Resize;
            m_dragGraphic = g;
            m_dragHandle = handle;
            m_dragGraphics = {g};
            m_dragStartBounds = {g->bounds()};
            return;
        }
    }

    const GraphicPtr hit = graphicUnderPoint(point);
    const bool extend = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    if (!hit) {
        if (!extend)
            deselectAll();
        return;
    }
    if (extend && isGraphicSelected(hit)) {
        deselectGraphic(hit);
        return;
    }
    if (!isGraphicSelected(hit)) {
        if (!extend)
            m_selection.clear();
        m_selection.push_back(hit);
        notifySelection();
    }
    m_drag = Drag::Move;
    m_dragGraphic = hit;
    m_dragGraphics = m_selection;
    m_dragStartBounds.clear();
    for (const GraphicPtr &g : m_dragGraphics)
        m_dragStartBounds.append(g->bounds());
}

void TVNGraphicView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_drag == Drag::None || !(event->buttons() & Qt::LeftButton))
        return;
    QPointF point = cardPointFromWidget(event->position());

    if (m_drag == Drag::Move) {
        QPointF delta = point - m_dragStart;
        if (gridConstrains()) {
            // The grabbed graphic's origin lands on the grid; the others
            // keep their distance to it.
            const qsizetype i = std::find(m_dragGraphics.begin(), m_dragGraphics.end(), m_dragGraphic) -
                                m_dragGraphics.begin();
            const QPointF origin = m_dragStartBounds[i].topLeft() + delta;
            delta = QPointF(m_grid->snap(origin.x()), m_grid->snap(origin.y())) - m_dragStartBounds[i].topLeft();
        }
        delta = shiftKeepingOnCard(delta);
        for (size_t i = 0; i < m_dragGraphics.size(); ++i)
            m_dragGraphics[i]->setBounds(m_dragStartBounds[qsizetype(i)].translated(delta));
        m_dragChanged = m_dragChanged || !delta.isNull();
        update();
        return;
    }

    // Resize: the edges the handle owns follow the mouse, the others stay.
    if (gridConstrains())
        point = QPointF(m_grid->snap(point.x()), m_grid->snap(point.y()));
    const QRectF start = m_dragStartBounds.front();
    double left = start.left(), top = start.top(), right = start.right(), bottom = start.bottom();
    const double width = m_canvasSize.width(), height = m_canvasSize.height();
    const double x = point.x(), y = point.y();
    const double keep = onCardKeep();
    const auto horizontal = [&](double edge, double fixed) { return edgeKeepingOnCard(edge, fixed, width, keep); };
    const auto vertical = [&](double edge, double fixed) { return edgeKeepingOnCard(edge, fixed, height, keep); };
    switch (m_dragHandle) {
    case 0:
        left = horizontal(x, right);
        top = vertical(y, bottom);
        break;
    case 1: top = vertical(y, bottom); break;
    case 2:
        right = horizontal(x, left);
        top = vertical(y, bottom);
        break;
    case 3: right = horizontal(x, left); break;
    case 4:
        right = horizontal(x, left);
        bottom = vertical(y, top);
        break;
    case 5: bottom = vertical(y, top); break;
    case 6:
        left = horizontal(x, right);
        bottom = vertical(y, top);
        break;
    case 7: left = horizontal(x, right); break;
    default: break;
    }
    m_dragGraphic->setBounds(QRectF(QPointF(left, top), QPointF(right, bottom)).normalized());
    m_dragChanged = true;
    update();
}

QPointF TVNGraphicView::shiftKeepingOnCard(QPointF delta) const
{
    // Per axis, the shifts every dragged graphic allows; where they cannot
    // all stay on the card (some were off it already), the grabbed one does.
    const double keep = onCardKeep();
    const auto allowed = [&](double shift, auto start, auto end, double length) {
        double lo = -std::numeric_limits<double>::infinity(), hi = std::numeric_limits<double>::infinity();
        for (const QRectF &b : m_dragStartBounds) {
            const auto [l, h] = shiftsKeepingOnCard(start(b), end(b), length, keep);
            lo = std::max(lo, l);
            hi = std::min(hi, h);
        }
        if (lo > hi) {
            const qsizetype i = std::find(m_dragGraphics.begin(), m_dragGraphics.end(), m_dragGraphic) -
                                m_dragGraphics.begin();
            std::tie(lo, hi) = shiftsKeepingOnCard(start(m_dragStartBounds[i]), end(m_dragStartBounds[i]), length, keep);
        }
        return std::clamp(shift, lo, hi);
    };
    return {allowed(delta.x(), std::mem_fn(&QRectF::left), std::mem_fn(&QRectF::right), m_canvasSize.width()),
            allowed(delta.y(), std::mem_fn(&QRectF::top), std::mem_fn(&QRectF::bottom), m_canvasSize.height())};
}

double TVNGraphicView::onCardKeep() const
{
    // Room for a click between the handles, whatever the zoom.
    return std::max(drawing::kOnCardPoints, 3 * kHandlePixels / m_scale);
}

QRectF TVNGraphicView::keptInsideOutline(const QRectF &bounds) const
{
    // The part kept on the card may lie in a rounded or oval card's cut-off
    // corner, where nothing of it shows: it moves towards the card's centre
    // until a grabbable square of it is inside the outline.
    const QRectF card(QPointF(0, 0), m_canvasSize);
    const QPainterPath outline = drawing::cardOutline(card, drawing::host().Card_Shape());
    const double keep = std::min({onCardKeep(), bounds.width(), bounds.height()});
    QRectF moved = bounds;
    for (int step = 0; step < 400; ++step) {
        const QRectF part = moved & card;
        if (part.isEmpty())
            break;
        // The square of the on-card part nearest the card's centre.
        const QPointF corner(std::clamp(card.center().x() - keep / 2, part.left(), std::max(part.left(), part.right() - keep)),
                             std::clamp(card.center().y() - keep / 2, part.top(), std::max(part.top(), part.bottom() - keep)));
        if (outline.contains(QRectF(corner, QSizeF(keep, keep))))
            return moved;
        const QPointF towards = card.center() - moved.center();
        const double length = std::hypot(towards.x(), towards.y());
        if (length < 1)
            break;
        moved.translate(towards / length);
    }
    return moved;
}

void TVNGraphicView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_drag == Drag::None) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (m_dragChanged) {
        for (const GraphicPtr &g : m_dragGraphics)
            g->setBounds(keptInsideOutline(g->bounds()));
    }
    if (m_dragChanged && m_document)
        m_document->registerBoundsChange(m_dragGraphics, m_dragStartBounds,
                                         m_drag == Drag::Move ? tr("Move") : tr("Resize"));
    if (m_dragChanged)
        drawing::host().Show_RHS_Properties(m_selection.size() == 1 ? m_selection.front().get() : nullptr);
    m_drag = Drag::None;
    m_dragGraphic.reset();
    m_dragGraphics.clear();
    m_dragStartBounds.clear();
    update();
}

void TVNGraphicView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const GraphicPtr hit = graphicUnderPoint(cardPointFromWidget(event->position()));
    if (hit && hit->graphicClass() == GraphicClass::Barcode)
        drawing::host().Open_Barcode_Window(hit.get());
    else if (hit)
        startEditingGraphic(hit);
}

void TVNGraphicView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
        deleteSelectedGraphics();
        return;
    }
    QWidget::keyPressEvent(event);
}
