#include "thumbnaillist.h"

#include "editor/core/thumbnail.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDrag>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QWheelEvent>
#include <algorithm>

namespace qm {

namespace {

constexpr int kFrameWidth = 3;
constexpr int kLabelHeight = 36; // two lines under a picture
constexpr int kGap = 12;
constexpr int kLeastLabelWidth = 72; // a number and the start of a name under a small picture
constexpr int kMostDraggedRows = 1 << 16;

// Items as the list draws them, and a frame around the framed one.
class FrameDelegate : public QStyledItemDelegate {
public:
    explicit FrameDelegate(ThumbnailList *list) : QStyledItemDelegate(list), mList(list) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &given, const QModelIndex &index) const override
    {
        // The focus rectangle of the current item is drawn only on a selected item: an item the
        // keyboard merely stands on must not look chosen.
        QStyleOptionViewItem option = given;
        if (!(option.state & QStyle::State_Selected))
            option.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, option, index);
        if (index.row() != mList->framed())
            return;
        painter->save();
        painter->setPen(QPen(QColor(230, 60, 40), kFrameWidth));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
        painter->restore();
    }

private:
    ThumbnailList *mList;
};

} // namespace

QImage thumbnailImage(const Thumbnail &thumbnail)
{
    QImage image(thumbnail.width, thumbnail.height, QImage::Format_RGB32);
    for (int y = 0; y < thumbnail.height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const uint32_t *from = thumbnail.pixels.data() + size_t(y) * size_t(thumbnail.width);
        for (int x = 0; x < thumbnail.width; ++x)
            line[x] = 0xFF000000u | from[x];
    }
    return image;
}

ThumbnailList::ThumbnailList(std::function<QImage(int)> draw, int pictureSide, QWidget *parent)
    : QListWidget(parent), mDraw(std::move(draw))
{
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    // Every item is as large as the largest picture and its label, also before its picture is drawn.
    setUniformItemSizes(true);
    setWordWrap(true);
    setPictureSize(QSize(pictureSide, pictureSide));
    setItemDelegate(new FrameDelegate(this));
    mSlices.setInterval(0);
    connect(&mSlices, &QTimer::timeout, this, &ThumbnailList::drawSlice);
}

void ThumbnailList::setCount(int n)
{
    n = std::max(n, 0);
    while (count() > n)
        delete takeItem(count() - 1);
    mWaiting.resize(size_t(n), 0);
    while (count() < n) {
        auto *item = new QListWidgetItem(this);
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
        item->setSizeHint(gridSize() - QSize(kGap / 2, kGap / 2));
        redraw(count() - 1);
    }
    mWaitingCount = int(std::count(mWaiting.begin(), mWaiting.end(), 1));
    if (mFramed >= n)
        mFramed = -1;
}

void ThumbnailList::setLabel(int i, const QString &text)
{
    if (QListWidgetItem *at = item(i); at && at->text() != text)
        at->setText(text);
}

void ThumbnailList::setPicture(int i, const QImage &picture)
{
    QListWidgetItem *at = item(i);
    if (!at)
        return;
    at->setIcon(QIcon(QPixmap::fromImage(picture)));
    ++mPicturesSet;
    if (mWaiting[size_t(i)]) {
        mWaiting[size_t(i)] = 0;
        --mWaitingCount;
    }
}

void ThumbnailList::redraw(int i)
{
    if (i < 0 || size_t(i) >= mWaiting.size() || mWaiting[size_t(i)])
        return;
    mWaiting[size_t(i)] = 1;
    ++mWaitingCount;
    mSlices.start();
}

void ThumbnailList::setFramed(int i)
{
    if (i == mFramed)
        return;
    const int before = mFramed;
    mFramed = i;
    for (int row : {before, i})
        if (QListWidgetItem *at = item(row))
            viewport()->update(visualItemRect(at));
}

bool ThumbnailList::drawOne(bool visibleOnly)
{
    const QRect seen = viewport()->rect();
    for (int i = 0; i < int(mWaiting.size()); ++i) {
        if (!mWaiting[size_t(i)] || (visibleOnly && !visualItemRect(item(i)).intersects(seen)))
            continue;
        setPicture(i, mDraw(i));
        return true;
    }
    return false;
}

void ThumbnailList::drawSlice()
{
    QElapsedTimer slice;
    slice.start();
    while (mWaitingCount > 0 && slice.elapsed() < kSliceMilliseconds)
        if (!drawOne(true))
            drawOne(false);
    if (mWaitingCount == 0)
        mSlices.stop();
}

void ThumbnailList::setPictureSize(QSize largest)
{
    largest = largest.expandedTo(QSize(1, 1));
    const QSize grid(std::max(largest.width(), kLeastLabelWidth) + kGap, largest.height() + kLabelHeight + kGap);
    if (iconSize() == largest && gridSize() == grid)
        return;
    setIconSize(largest);
    setGridSize(grid);
    for (int i = 0; i < count(); ++i)
        item(i)->setSizeHint(grid - QSize(kGap / 2, kGap / 2));
}

void ThumbnailList::allowMoves(std::function<void(std::vector<int>, int)> moved)
{
    mMoved = std::move(moved);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
}

QStringList ThumbnailList::mimeTypes() const { return {kRowsMimeType}; }

QMimeData *ThumbnailList::mimeData(const QList<QListWidgetItem *> &items) const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint64(QCoreApplication::applicationPid()) << quint64(quintptr(this));
    std::vector<int> rows;
    for (const QListWidgetItem *at : items)
        rows.push_back(row(at));
    std::sort(rows.begin(), rows.end());
    out << quint32(rows.size());
    for (int r : rows)
        out << qint32(r);
    auto *rowsData = new QMimeData;
    rowsData->setData(kRowsMimeType, bytes);
    return rowsData;
}

std::optional<std::vector<int>> ThumbnailList::draggedRows(const QMimeData *held) const
{
    if (!mMoved || !held || !held->hasFormat(kRowsMimeType))
        return std::nullopt;
    QDataStream in(held->data(kRowsMimeType));
    quint64 process = 0, list = 0;
    quint32 n = 0;
    in >> process >> list >> n;
    if (in.status() != QDataStream::Ok || process != quint64(QCoreApplication::applicationPid())
        || list != quint64(quintptr(this)) || n == 0 || n > quint32(kMostDraggedRows))
        return std::nullopt;
    std::vector<int> rows;
    for (quint32 k = 0; k < n; ++k) {
        qint32 r = -1;
        in >> r;
        if (in.status() != QDataStream::Ok || r < 0 || r >= count())
            return std::nullopt;
        rows.push_back(r);
    }
    return rows;
}

int ThumbnailList::dropRow(QPoint pos) const
{
    const QModelIndex under = indexAt(pos);
    if (under.isValid()) {
        const QRect place = visualRect(under);
        return under.row() + (pos.x() > place.center().x() ? 1 : 0);
    }
    // Between or after the items: before the first item that lies after pos in reading order.
    for (int i = 0; i < count(); ++i) {
        const QRect place = visualItemRect(item(i));
        if (place.bottom() >= pos.y() && (place.top() > pos.y() || place.right() >= pos.x()))
            return i;
    }
    return count();
}

void ThumbnailList::startDrag(Qt::DropActions)
{
    const QList<QListWidgetItem *> items = selectedItems();
    if (items.isEmpty())
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(mimeData(items));
    if (const QListWidgetItem *first = currentItem(); first && first->isSelected())
        drag->setPixmap(first->icon().pixmap(iconSize()));
    // The list moves nothing itself: the drop asks the owner, whose change of the store comes back.
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

void ThumbnailList::dragEnterEvent(QDragEnterEvent *event)
{
    if (draggedRows(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ThumbnailList::dragMoveEvent(QDragMoveEvent *event)
{
    if (draggedRows(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ThumbnailList::dropEvent(QDropEvent *event)
{
    const std::optional<std::vector<int>> rows = draggedRows(event->mimeData());
    if (!rows) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    mMoved(*rows, dropRow(event->position().toPoint()));
}

void ThumbnailList::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier) || !zoom) {
        QListWidget::wheelEvent(event);
        return;
    }
    mWheelDelta += event->angleDelta().y();
    const int notches = mWheelDelta / 120;
    mWheelDelta -= notches * 120;
    if (notches != 0)
        zoom(notches);
    event->accept();
}

} // namespace qm
