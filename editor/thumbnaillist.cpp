#include "thumbnaillist.h"

#include "editor/core/thumbnail.h"

#include <QElapsedTimer>
#include <algorithm>
#include <QPainter>
#include <QStyledItemDelegate>

namespace qm {

namespace {

constexpr int kFrameWidth = 3;
constexpr int kLabelHeight = 36; // two lines under a picture
constexpr int kGap = 12;

// Items as the list draws them, and a frame around the framed one.
class FrameDelegate : public QStyledItemDelegate {
public:
    explicit FrameDelegate(ThumbnailList *list) : QStyledItemDelegate(list), mList(list) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
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
    setIconSize(QSize(pictureSide, pictureSide));
    setGridSize(QSize(pictureSide + kGap, pictureSide + kLabelHeight + kGap));
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

} // namespace qm
