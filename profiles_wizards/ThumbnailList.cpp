#include "profiles_wizards/ThumbnailList.h"

#include "profiles_wizards/ThumbnailCache.h"

#include <QAbstractListModel>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QIcon>
#include <QPixmap>
#include <QSlider>
#include <QVBoxLayout>
#include <QKeyEvent>
#include <algorithm>
#include <cmath>

namespace profiles_wizards {

namespace {

// A drag carries only this private type, so no other program or window
// accepts a thumbnail; the list itself reorders by the selection.
const QString kDragType = QStringLiteral("application/x-quorvant-thumbnail-rows");

constexpr int kSmallestIcon = 48;
constexpr int kLargestIcon = ThumbnailCache::kSide;

} // namespace

class ThumbnailModel : public QAbstractListModel {
public:
    struct Row {
        MyImageObject item;
        mutable QIcon icon;
        mutable bool loaded = false;
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(rows.size()); }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= int(rows.size()))
            return {};
        const Row &row = rows[index.row()];
        switch (role) {
        case Qt::DisplayRole:
            return row.item.imageTitle();
        case Qt::ToolTipRole:
            return row.item.path;
        case Qt::SizeHintRole:
            // Every cell has the zoomed size, whatever the picture's shape,
            // so the view never needs a thumbnail to lay itself out.
            return cellSize;
        case Qt::DecorationRole:
            // Only the thumbnails the view paints are made, each once.
            if (!row.loaded) {
                row.icon = QIcon(QPixmap::fromImage(ThumbnailCache::shared().thumbnail(row.item.path)));
                row.loaded = true;
            }
            // An icon, not a pixmap: the view fits it into the zoomed size.
            return row.icon;
        default:
            return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        if (!index.isValid())
            return Qt::ItemIsDropEnabled;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    }

    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override { return {kDragType}; }
    QMimeData *mimeData(const QModelIndexList &) const override
    {
        auto *data = new QMimeData;
        data->setData(kDragType, QByteArray());
        return data;
    }

    void append(Row row)
    {
        beginInsertRows({}, int(rows.size()), int(rows.size()));
        rows.push_back(std::move(row));
        endInsertRows();
    }
    void reset(std::vector<Row> next)
    {
        beginResetModel();
        rows = std::move(next);
        endResetModel();
    }

    std::vector<Row> rows;
    QSize cellSize;
};

namespace {

// A browser that reorders its own items on a drop and accepts nothing else.
class ThumbnailView : public QListView {
public:
    std::function<void(QList<int>, int)> move;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override
    {
        if (event->source() == this && event->mimeData()->hasFormat(kDragType))
            event->acceptProposedAction();
        else
            event->ignore();
    }
    void dragMoveEvent(QDragMoveEvent *event) override
    {
        if (event->source() == this && event->mimeData()->hasFormat(kDragType)) {
            event->setDropAction(Qt::MoveAction);
            event->accept();
        } else {
            event->ignore();
        }
    }
    void dropEvent(QDropEvent *event) override
    {
        if (event->source() != this || !event->mimeData()->hasFormat(kDragType)) {
            event->ignore();
            return;
        }
        const QPoint pos = event->position().toPoint();
        const QModelIndex at = indexAt(pos);
        int destination = model()->rowCount();
        if (at.isValid())
            destination = pos.x() > visualRect(at).center().x() ? at.row() + 1 : at.row();
        QList<int> dragged;
        for (const QModelIndex &index : selectionModel()->selectedIndexes())
            dragged.append(index.row());
        // Handled here: the view must not remove the dragged rows itself.
        event->setDropAction(Qt::IgnoreAction);
        event->accept();
        if (!dragged.isEmpty() && move)
            move(dragged, destination);
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        // Delete and Backspace ask to remove thumbnails: nothing is removed.
        if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
            event->accept();
            return;
        }
        QListView::keyPressEvent(event);
    }
};

} // namespace

ThumbnailList::ThumbnailList(double initialZoom, QWidget *parent)
    : QWidget(parent)
    , m_model(new ThumbnailModel(this))
{
    auto *view = new ThumbnailView;
    view->move = [this](QList<int> indexes, int to) { imageBrowser(std::move(indexes), to); };
    browser = view;
    browser->setObjectName("imageBrowser");
    browser->setModel(m_model);
    browser->setViewMode(QListView::IconMode);
    browser->setMovement(QListView::Static);
    browser->setResizeMode(QListView::Adjust);
    browser->setWrapping(true);
    browser->setUniformItemSizes(true);
    browser->setWordWrap(true);
    browser->setSelectionMode(QAbstractItemView::ExtendedSelection);
    browser->setDragEnabled(true);
    browser->setAcceptDrops(true);
    browser->setDropIndicatorShown(true);
    browser->setDragDropMode(QAbstractItemView::DragDrop);
    browser->setDefaultDropAction(Qt::MoveAction);
    browser->setSpacing(6);
    connect(browser->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { imageBrowserSelectionDidChange(); });

    _zoom_label = new QLabel(tr("Zoom:"));
    _zoom_label->setObjectName("_zoom_label");
    _zoom_slider = new QSlider(Qt::Horizontal);
    _zoom_slider->setObjectName("_zoom_slider");
    _zoom_slider->setRange(0, 100);
    _zoom_slider->setMaximumWidth(200);
    connect(_zoom_slider, &QSlider::valueChanged, this, [this] { zoomSliderDidChange(); });

    auto *zoomRow = new QHBoxLayout;
    zoomRow->addStretch();
    zoomRow->addWidget(_zoom_label);
    zoomRow->addWidget(_zoom_slider);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser, 1);
    layout->addLayout(zoomRow);
    setZoom(initialZoom);
}

ThumbnailList::~ThumbnailList() = default;

int ThumbnailList::numberOfItemsInImageBrowser() const
{
    return m_model->rowCount();
}

MyImageObject ThumbnailList::imageBrowser(int index) const
{
    if (index < 0 || index >= int(m_model->rows.size()))
        return {};
    return m_model->rows[index].item;
}

bool ThumbnailList::imageBrowser(QList<int> indexes, int toIndex)
{
    std::vector<ThumbnailModel::Row> &rows = m_model->rows;
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    indexes.removeIf([&](int i) { return i < 0 || i >= int(rows.size()); });
    if (indexes.isEmpty())
        return true;
    toIndex = std::clamp(toIndex, 0, int(rows.size()));

    std::vector<ThumbnailModel::Row> block, rest;
    int below = 0;
    for (int i = 0; i < int(rows.size()); ++i) {
        if (indexes.contains(i)) {
            block.push_back(std::move(rows[i]));
            if (i < toIndex)
                ++below;
        } else {
            rest.push_back(std::move(rows[i]));
        }
    }
    const int at = toIndex - below;
    rest.insert(rest.begin() + at, std::make_move_iterator(block.begin()), std::make_move_iterator(block.end()));
    m_model->reset(std::move(rest));
    // The moved block stays selected where it landed.
    const QItemSelection moved(m_model->index(at), m_model->index(at + int(block.size()) - 1));
    browser->selectionModel()->select(moved, QItemSelectionModel::ClearAndSelect);
    return true;
}

void ThumbnailList::addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID)
{
    const QString trimmed = path.trimmed();
    if (trimmed.isEmpty())
        return;
    m_model->append({MyImageObject(trimmed, imageName, image_UID), {}, false});
}

void ThumbnailList::imageBrowserSelectionDidChange()
{
    const QModelIndexList selected = browser->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    const auto lowest = std::min_element(selected.begin(), selected.end(),
                                         [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    emit picked(imageBrowser(lowest->row()).value(QStringLiteral("path")).toString());
}

void ThumbnailList::zoomSliderDidChange()
{
    const int side = kSmallestIcon + int((kLargestIcon - kSmallestIcon) * zoom());
    browser->setIconSize(QSize(side, side));
    m_model->cellSize = QSize(side + 16, side + 2 * fontMetrics().height() + 8);
    browser->setGridSize(m_model->cellSize + QSize(8, 8));
    browser->doItemsLayout();
}

bool ThumbnailList::listFolder(const QString &folder, const std::function<QString(const QString &)> &uid)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return false;
    const QStringList entries =
        QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    std::vector<ThumbnailModel::Row> rows;
    for (const QString &entry : entries) {
        const QString suffix = QFileInfo(entry).suffix().toLower();
        if (suffix != QLatin1String("png") && suffix != QLatin1String("jpg"))
            continue;
        rows.push_back({MyImageObject(QDir(folder).filePath(entry), entry, uid(entry)), {}, false});
    }
    m_model->reset(std::move(rows));
    return true;
}

void ThumbnailList::clear()
{
    m_model->reset({});
}

void ThumbnailList::setZoom(double zoom)
{
    const QSignalBlocker block(_zoom_slider);
    _zoom_slider->setValue(int(std::lround(std::clamp(zoom, 0.0, 1.0) * 100)));
    zoomSliderDidChange();
}

double ThumbnailList::zoom() const
{
    return _zoom_slider->value() / 100.0;
}

void ThumbnailList::selectItem(int index)
{
    if (index < 0 || index >= numberOfItemsInImageBrowser())
        return;
    browser->selectionModel()->select(m_model->index(index), QItemSelectionModel::ClearAndSelect);
    browser->setCurrentIndex(m_model->index(index));
    browser->scrollTo(m_model->index(index));
}

int ThumbnailList::indexOfPath(const QString &path) const
{
    for (int i = 0; i < int(m_model->rows.size()); ++i) {
        if (m_model->rows[i].item.path == path)
            return i;
    }
    return -1;
}

} // namespace profiles_wizards
