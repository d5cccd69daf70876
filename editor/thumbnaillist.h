#pragma once
// A grid of level thumbnails, each with a text under it, drawn lazily: the thumbnails waiting to be
// drawn are drawn in short slices on the event loop, the ones in sight first, so that a list of 200
// large levels opens at once and the window stays responsive while it fills.

#include <QListWidget>
#include <QTimer>
#include <functional>
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

private:
    void drawSlice();
    bool drawOne(bool visibleOnly);

    std::function<QImage(int)> mDraw;
    std::vector<char> mWaiting;
    int mWaitingCount = 0;
    int mFramed = -1;
    QTimer mSlices;
};

} // namespace qm
