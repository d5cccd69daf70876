#pragma once
// "Levels Overview": a window beside the map with a thumbnail of every level of the open file, its
// number and name under it, the current level framed. It follows the store: after each change every
// level's fingerprint is taken again and only the thumbnails whose fingerprint changed are drawn
// again (a level that only moved, or came back by an undo, finds its picture kept). The store is read
// on the GUI thread only.

#include "editor/core/thumbnailcache.h"

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

namespace qm {

class ThumbnailList;

class OverviewWindow : public QWidget {
    Q_OBJECT

public:
    // Pixels a square of a level is drawn with: a 100 x 100 level is 200 pixels on a side.
    static constexpr int32_t kSquare = 2;
    // The least time between two comparisons of the store while it keeps changing (painting).
    static constexpr int kRecheckMilliseconds = 100;

    explicit OverviewWindow(QWidget *parent = nullptr);

    // Called with the number of a double-clicked level.
    std::function<void(int32_t level)> levelChosen;

    // The store may have changed: compared soon, at most once per kRecheckMilliseconds.
    void storeChanged();
    // Compares the store now: texts, frame, and which thumbnails to draw again.
    void refresh();

    ThumbnailList *list() const { return mList; }
    // How many thumbnails were drawn since the window was made.
    int thumbnailsDrawn() const { return mDrawn; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QImage drawLevel(int index);
    void forgetUnused();

    ThumbnailList *mList;
    ThumbnailTileCache mTiles{kSquare};
    std::vector<uint64_t> mShown; // fingerprint of the picture each item shows (0: none yet)
    std::unordered_map<uint64_t, QImage> mPictures;
    QTimer mRecheck;
    int mDrawn = 0;
};

} // namespace qm
