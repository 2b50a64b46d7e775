#include "drawing/TVNDocument.h"

#include <algorithm>

namespace {

// A command's change, reported as one the undo stack holds.
void stepChanged(TVNDocument &doc)
{
    const TVNDocument::StepScope step(doc);
    emit doc.graphicsChanged();
}

class InsertGraphicCommand : public QUndoCommand {
public:
    InsertGraphicCommand(TVNDocument &doc, GraphicList &list, GraphicPtr graphic, int index, const QString &name)
        : QUndoCommand(name), m_doc(doc), m_list(list), m_graphic(std::move(graphic)), m_index(index)
    {
    }
    void redo() override
    {
        // The list may have changed outside the undo stack since.
        const int index = std::clamp(m_index, 0, int(m_list.size()));
        m_list.insert(m_list.begin() + index, m_graphic);
        stepChanged(m_doc);
    }
    void undo() override
    {
        const auto it = std::find(m_list.begin(), m_list.end(), m_graphic);
        if (it != m_list.end())
            m_list.erase(it);
        stepChanged(m_doc);
    }

private:
    TVNDocument &m_doc;
    GraphicList &m_list;
    GraphicPtr m_graphic;
    int m_index;
};

class RemoveGraphicCommand : public QUndoCommand {
public:
    RemoveGraphicCommand(TVNDocument &doc, GraphicList &list, GraphicPtr graphic, const QString &name)
        : QUndoCommand(name), m_doc(doc), m_list(list), m_graphic(std::move(graphic))
    {
    }
    void redo() override
    {
        const auto it = std::find(m_list.begin(), m_list.end(), m_graphic);
        if (it == m_list.end())
            return;
        m_index = int(it - m_list.begin());
        m_list.erase(it);
        stepChanged(m_doc);
    }
    void undo() override
    {
        const int index = std::clamp(m_index, 0, int(m_list.size()));
        m_list.insert(m_list.begin() + index, m_graphic);
        stepChanged(m_doc);
    }

private:
    TVNDocument &m_doc;
    GraphicList &m_list;
    GraphicPtr m_graphic;
    int m_index = 0;
};

class SetBoundsCommand : public QUndoCommand {
public:
    SetBoundsCommand(TVNDocument &doc, GraphicList graphics, QList<QRectF> oldBounds, const QString &name)
        : QUndoCommand(name), m_doc(doc), m_graphics(std::move(graphics)), m_old(std::move(oldBounds))
    {
        for (const GraphicPtr &g : m_graphics)
            m_new.append(g->bounds());
    }
    void redo() override { apply(m_new); }
    void undo() override { apply(m_old); }

private:
    void apply(const QList<QRectF> &bounds)
    {
        for (size_t i = 0; i < m_graphics.size() && i < size_t(bounds.size()); ++i)
            m_graphics[i]->setBounds(bounds[qsizetype(i)]);
        stepChanged(m_doc);
    }
    TVNDocument &m_doc;
    GraphicList m_graphics;
    QList<QRectF> m_old, m_new;
};

class BarcodeChangeCommand : public QUndoCommand {
public:
    BarcodeChangeCommand(TVNDocument &doc, GraphicList graphics, std::vector<BarcodeState> before,
                         const QString &name)
        : QUndoCommand(name), m_doc(doc), m_graphics(std::move(graphics)), m_old(std::move(before))
    {
        for (const GraphicPtr &g : m_graphics)
            m_new.push_back(BarcodeState::of(*g));
    }
    void redo() override { apply(m_new); }
    void undo() override { apply(m_old); }

private:
    void apply(const std::vector<BarcodeState> &states)
    {
        for (std::size_t i = 0; i < m_graphics.size() && i < states.size(); ++i) {
            m_graphics[i]->setBarcodeSettings(states[i].settings);
            m_graphics[i]->Set_Barcode_image(states[i].image);
            m_graphics[i]->setBounds(states[i].bounds);
        }
        stepChanged(m_doc);
    }
    TVNDocument &m_doc;
    GraphicList m_graphics;
    std::vector<BarcodeState> m_old, m_new;
};

// Every property of some graphics, before and after.
class GraphicsChangeCommand : public QUndoCommand {
public:
    GraphicsChangeCommand(TVNDocument &doc, GraphicList graphics, GraphicList before, const QString &name,
                          bool merge)
        : QUndoCommand(name), m_doc(doc), m_graphics(std::move(graphics)), m_old(std::move(before)), m_merge(merge)
    {
        for (const GraphicPtr &g : m_graphics)
            m_new.push_back(g->clone());
    }
    void redo() override { apply(m_new); }
    void undo() override { apply(m_old); }
    int id() const override { return m_merge ? kMergeId : -1; }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const GraphicsChangeCommand *>(other);
        if (next->text() != text() || next->m_graphics != m_graphics)
            return false;
        m_new = next->m_new;
        return true;
    }

private:
    static constexpr int kMergeId = 0x7157;
    void apply(const GraphicList &states)
    {
        for (std::size_t i = 0; i < m_graphics.size() && i < states.size(); ++i)
            m_graphics[i]->assignState(*states[i]);
        stepChanged(m_doc);
    }
    TVNDocument &m_doc;
    GraphicList m_graphics;
    GraphicList m_old, m_new;
    bool m_merge;
};

class FunctionCommand : public QUndoCommand {
public:
    FunctionCommand(TVNDocument &doc, const QString &name, std::function<void()> undo, std::function<void()> redo)
        : QUndoCommand(name), m_doc(doc), m_undo(std::move(undo)), m_redo(std::move(redo))
    {
    }
    void redo() override
    {
        // The change is made before it is registered.
        if (m_done) {
            const TVNDocument::StepScope step(m_doc);
            m_redo();
        }
        m_done = true;
    }
    void undo() override
    {
        const TVNDocument::StepScope step(m_doc);
        m_undo();
    }

private:
    TVNDocument &m_doc;
    std::function<void()> m_undo, m_redo;
    bool m_done = false;
};

} // namespace

TVNDocument::TVNDocument(QObject *parent) : QObject(parent) {}

TVNDocument::StepScope::StepScope(TVNDocument &doc)
    : m_doc(doc), m_counted(doc.isUndoRegistrationEnabled())
{
    if (m_counted)
        ++m_doc._stepDepth;
}

TVNDocument::StepScope::~StepScope()
{
    if (m_counted)
        --m_doc._stepDepth;
}

// The undo stack goes first: its commands refer to the lists.
TVNDocument::~TVNDocument()
{
    _undoStack.clear();
}

void TVNDocument::disableUndoRegistration()
{
    ++_undoDisabled;
}

void TVNDocument::enableUndoRegistration()
{
    if (_undoDisabled > 0)
        --_undoDisabled;
}

void TVNDocument::perform(std::unique_ptr<QUndoCommand> command)
{
    if (isUndoRegistrationEnabled())
        _undoStack.push(command.release()); // the stack owns its commands
    else
        command->redo();
}

void TVNDocument::insertGraphic(GraphicList &list, const GraphicPtr &graphic, int index, const QString &actionName)
{
    if (!graphic)
        return;
    index = std::clamp(index, 0, int(list.size()));
    perform(std::make_unique<InsertGraphicCommand>(*this, list, graphic, index, actionName));
}

bool TVNDocument::removeGraphic(GraphicList &list, const GraphicPtr &graphic, const QString &actionName)
{
    if (std::find(list.begin(), list.end(), graphic) == list.end())
        return false;
    perform(std::make_unique<RemoveGraphicCommand>(*this, list, graphic, actionName));
    return true;
}

void TVNDocument::registerBoundsChange(const GraphicList &changed, const QList<QRectF> &oldBounds,
                                       const QString &actionName)
{
    if (changed.empty())
        return;
    auto command = std::make_unique<SetBoundsCommand>(*this, changed, oldBounds, actionName);
    if (isUndoRegistrationEnabled())
        _undoStack.push(command.release()); // redo() re-applies the bounds already set
    else
        emit graphicsChanged();
}

void TVNDocument::registerBarcodeChange(const GraphicList &changed, const std::vector<BarcodeState> &before,
                                        const QString &actionName)
{
    if (changed.empty())
        return;
    auto command = std::make_unique<BarcodeChangeCommand>(*this, changed, before, actionName);
    if (isUndoRegistrationEnabled())
        _undoStack.push(command.release()); // redo() re-applies what is already set
    else
        emit graphicsChanged();
}

void TVNDocument::registerGraphicsChange(const GraphicList &changed, const GraphicList &before,
                                         const QString &actionName, bool merge)
{
    if (changed.empty() || changed.size() != before.size())
        return;
    if (!isUndoRegistrationEnabled()) {
        emit graphicsChanged();
        return;
    }
    _undoStack.push(new GraphicsChangeCommand(*this, changed, before, actionName, merge));
    stepChanged(*this);
}

void TVNDocument::registerChange(const QString &actionName, std::function<void()> undo, std::function<void()> redo)
{
    if (isUndoRegistrationEnabled())
        _undoStack.push(new FunctionCommand(*this, actionName, std::move(undo), std::move(redo)));
}
