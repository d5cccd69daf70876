#pragma once
// "Levels Overview": a window beside the map with a thumbnail of every level of the open file, its
// number and name under it, the current level framed. It follows the store: after each change every
// level's fingerprint is taken again and only the thumbnails whose fingerprint changed are drawn
// again (a level that only moved, or came back by an undo, finds its picture kept). The store is read
// on the GUI thread only.
//
// The user arranges the levels here: thumbnails are dragged to another place, selected with Ctrl and
// Shift, deleted, copied and pasted; a slider and Ctrl+wheel set the thumbnails' size. The window only
// asks: the owner changes the store (as one step of the history) and the window follows.

#include "editor/core/thumbnailcache.h"

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

class QLabel;
class QSlider;

namespace qm {

class ThumbnailList;

class OverviewWindow : public QWidget {
    Q_OBJECT

public:
    // Pixels a square of a level is drawn with, unless the user chose another size: a 100 x 100 level
    // is 200 pixels on a side.
    static constexpr int32_t kSquare = 2;
    static constexpr int32_t kLeastSquare = 2, kLargestSquare = 12;
    // The least time between two comparisons of the store while it keeps changing (painting).
    static constexpr int kRecheckMilliseconds = 100;

    explicit OverviewWindow(QWidget *parent = nullptr, int32_t square = kSquare);

    // What the user asks for; levels are numbered 1..count, in order.
    std::function<void(int32_t level)> levelChosen;                                   // double-click
    std::function<void(std::vector<int32_t> levels, int32_t before)> levelsMoved;     // a drag
    std::function<void(std::vector<int32_t> levels)> deleteLevels;                    // Delete
    std::function<void(std::vector<int32_t> levels)> copyLevels;                      // Ctrl+C
    std::function<void()> pasteLevels;                                                // Ctrl+V
    std::function<void(int32_t square)> squareChanged;                                // the slider, Ctrl+wheel

    // The store may have changed: compared soon, at most once per kRecheckMilliseconds.
    void storeChanged();
    // Compares the store now: texts, frame, grid, and which thumbnails to draw again.
    void refresh();
    // Pixels a square (kLeastSquare..kLargestSquare): every thumbnail is drawn again at that size.
    void setSquare(int32_t square);
    int32_t square() const { return mSquare; }
    // The selected levels' numbers, in order.
    std::vector<int32_t> selectedLevels() const;
    void showStatus(const QString &text);

    ThumbnailList *list() const { return mList; }
    QSlider *sizeSlider() const { return mSlider; }
    // How many thumbnails were drawn since the window was made.
    int thumbnailsDrawn() const { return mDrawn; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QImage drawLevel(int index);
    void forgetUnused();
    void fitGrid(int levelsShown);
    void moveRows(const std::vector<int> &rows, int before);
    QAction *addCommand(const char *name, const QString &caption, const QKeySequence &key,
                        const std::function<void()> &handler);

    ThumbnailList *mList;
    QSlider *mSlider;
    QLabel *mStatus;
    int32_t mSquare;
    ThumbnailTileCache mTiles;
    std::vector<uint64_t> mShown; // fingerprint of the picture each item shows (0: none yet)
    std::unordered_map<uint64_t, QImage> mPictures;
    QTimer mRecheck;
    int mDrawn = 0;
};

} // namespace qm
