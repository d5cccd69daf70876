#pragma once
// A grid of level thumbnails, each with a text under it, drawn lazily: the thumbnails waiting to be
// drawn are drawn in short slices on the event loop, the ones in sight first, so that a list of 200
// large levels opens at once and the window stays responsive while it fills.

#include <QListWidget>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

namespace qm {

struct Thumbnail;

// A thumbnail as an image (0x00RRGGBB pixels).
QImage thumbnailImage(const Thumbnail &thumbnail);

class ThumbnailList : public QListWidget {
    Q_OBJECT

public:
    // How long one slice of drawing may take before the event loop runs again.
    static constexpr int kSliceMilliseconds = 8;

    // draw(i): the picture of item i, called when its turn comes. pictureSide: the largest picture.
    ThumbnailList(std::function<QImage(int)> draw, int pictureSide, QWidget *parent = nullptr);

    // n items; items kept keep their text and picture, new ones wait to be drawn.
    void setCount(int n);
    void setLabel(int i, const QString &text);
    // Shows picture at once for item i, which no longer waits.
    void setPicture(int i, const QImage &picture);
    // Item i waits to be drawn again; it shows its picture until then.
    void redraw(int i);
    // The item drawn with a frame around it (-1: none).
    void setFramed(int i);
    int framed() const { return mFramed; }
    // Whether some item waits to be drawn.
    bool drawing() const { return mSlices.isActive(); }
    // How many pictures were put on items since the list was made (drawn or kept ones).
    int picturesSet() const { return mPicturesSet; }

    // The largest picture: the grid's cells hold it and its label, with no more room than that.
    void setPictureSize(QSize largest);

    // The items may be dragged to another place of the list: moved(rows, before) is called with the
    // dragged rows (0-based, in order) and the row they go before (count(): after the last).
    void allowMoves(std::function<void(std::vector<int> rows, int before)> moved);
    // Ctrl+wheel: zoom(notches) is called (up: positive) instead of scrolling.
    std::function<void(int notches)> zoom;
    // The MIME type of a drag of rows inside this list: its rows and the list's own mark, so that a
    // drop coming from anywhere else moves nothing.
    static constexpr const char *kRowsMimeType = "application/x-quillmoss-overview-rows";
    QStringList mimeTypes() const override;
    // What a drag of the selected items carries (the caller owns it).
    QMimeData *selectionDragData() const { return mimeData(selectedItems()); }
    // The row a drop at pos (viewport coordinates) goes before.
    int dropRow(QPoint pos) const;

protected:
    QMimeData *mimeData(const QList<QListWidgetItem *> &items) const override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    // The rows a drag of this list carries, or nothing for any other drag.
    std::optional<std::vector<int>> draggedRows(const QMimeData *held) const;

    void drawSlice();
    bool drawOne(bool visibleOnly);

    std::function<QImage(int)> mDraw;
    std::vector<char> mWaiting;
    int mWaitingCount = 0;
    int mFramed = -1;
    int mPicturesSet = 0;
    int mWheelDelta = 0; // turned with Ctrl, not yet a whole notch (120)
    QTimer mSlices;
    std::function<void(std::vector<int>, int)> mMoved;
};

} // namespace qm
