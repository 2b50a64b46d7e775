#pragma once
// The design: the front, back and scratch graphic lists and the undo stack
// that changes to them go through.

#include "drawing/TVNGraphic.h"

#include <QObject>
#include <QRectF>
#include <QUndoStack>
#include <functional>
#include <vector>

// What a change of a barcode object's settings touches: the settings, the
// picture made of them and the bounds it is drawn in.
struct BarcodeState {
    barcodes::BarcodeSettings settings;
    platform::Image image;
    QRectF bounds;

    static BarcodeState of(const TVNGraphic &graphic)
    {
        return {graphic.barcodeSettings(), graphic._barcode_image, graphic.bounds()};
    }
};

class TVNDocument : public QObject {
    Q_OBJECT
public:
    explicit TVNDocument(QObject *parent = nullptr);
    ~TVNDocument() override;

    GraphicList graphics;      // front
    GraphicList graphics_back; // back
    GraphicList graphics_temp; // scratch list of the profile previews

    QUndoStack &undoManager() { return _undoStack; }

    // Undo registration; calls nest, registration is on again once every
    // disable has been matched by an enable. While it is off, changes are
    // made directly and leave no undo step.
    void disableUndoRegistration();
    void enableUndoRegistration();
    bool isUndoRegistrationEnabled() const { return _undoDisabled == 0; }

    // Inserts `graphic` into `list` (one of the three lists) at `index`
    // (clamped to the list) as one undoable step named `actionName`.
    void insertGraphic(GraphicList &list, const GraphicPtr &graphic, int index, const QString &actionName);
    // Removes `graphic` from `list` as one undoable step; false when it is
    // not in the list.
    bool removeGraphic(GraphicList &list, const GraphicPtr &graphic, const QString &actionName);
    // Moves or resizes graphics as one undoable step (the new bounds are
    // already set; `oldBounds` are the ones before, in the same order).
    void registerBoundsChange(const GraphicList &changed, const QList<QRectF> &oldBounds, const QString &actionName);
    // Barcode objects took new settings, pictures or bounds as one undoable
    // step (already applied; `before` in the same order as `changed`).
    void registerBarcodeChange(const GraphicList &changed, const std::vector<BarcodeState> &before,
                               const QString &actionName);

    // Graphics took new properties (already applied) as one undoable step;
    // `before` are clones of them taken before the change, in the same
    // order. With `merge`, a step of the same name over the same graphics
    // right before it takes this one in (typing a text is one step).
    void registerGraphicsChange(const GraphicList &changed, const GraphicList &before, const QString &actionName,
                                bool merge = false);
    // A change outside the graphic lists (the card's settings), already
    // made, as one undoable step: `undo` puts back what was before, `redo`
    // makes the change again; both work from values they hold.
    void registerChange(const QString &actionName, std::function<void()> undo, std::function<void()> redo);

    // True while a step of the undo stack is made, undone or redone: a
    // graphicsChanged then reports a change that the stack holds (and whose
    // undoing brings the design back), not one made beside it.
    bool isChangingByStep() const { return _stepDepth > 0; }
    // Marks a step being made, undone or redone for its lifetime; a change
    // made with registration off is no step and is not marked.
    class StepScope {
    public:
        explicit StepScope(TVNDocument &doc);
        ~StepScope();
        StepScope(const StepScope &) = delete;
        StepScope &operator=(const StepScope &) = delete;

    private:
        TVNDocument &m_doc;
        bool m_counted;
    };

signals:
    // A list or a graphic changed (also by undo and redo).
    void graphicsChanged();

private:
    void perform(std::unique_ptr<QUndoCommand> command);

    QUndoStack _undoStack;
    int _undoDisabled = 0;
    int _stepDepth = 0;
};
