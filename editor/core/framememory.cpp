#include "framememory.h"

#include <algorithm>
#include <cstring>

namespace qm {

namespace {

// Past this many rectangles, one around them all is redrawn instead.
constexpr size_t kMostRectangles = 16;

TRect around(const TRect &a, const TRect &b)
{
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

TRect within(const TRect &r, const TRect &bounds)
{
    return {std::max(r.left, bounds.left), std::max(r.top, bounds.top), std::min(r.right, bounds.right),
            std::min(r.bottom, bounds.bottom)};
}

// Where the top layer draws, found without changing a pixel.
TRect measured(TDirectDrawSurface &surface, const FrameMemory::Layer &top)
{
    surface.setClip(TRect{});
    surface.beginDrawnBounds();
    top(surface);
    const TRect bounds = surface.endDrawnBounds();
    surface.clearClip();
    return bounds;
}

} // namespace

void FrameMemory::keepCells(const tlevel *level)
{
    mCells.clear();
    mHadLevel = level != nullptr;
    if (!level)
        return;
    for (int r = mPlaced.firstRow; r < mPlaced.lastRow; ++r)
        mCells.insert(mCells.end(), level->cells[r] + mPlaced.firstColumn, level->cells[r] + mPlaced.lastColumn);
}

bool FrameMemory::damageCells(const tlevel *level, int32_t square)
{
    if ((level != nullptr) != mHadLevel)
        return false;
    if (!level)
        return true;
    const CellPlacement &placed = mPlaced;
    const size_t columns = size_t(std::max(placed.lastColumn - placed.firstColumn, 0));
    // Around a square, what the pictures of its old and new tiles cover, and the marks that stay with
    // it (the grid's lines, the start marker).
    const auto reachOf = [&](int32_t tile) {
        return tile >= 0 && size_t(tile) < placed.tileReach.size() ? placed.tileReach[size_t(tile)] : TRect{};
    };
    const TRect marks{-2, -2, square + 2, square + 2};
    // Kept within 32 bits; the surface's own bounds are applied later.
    const auto narrow = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2)); };
    cell *kept = mCells.data();
    for (int r = placed.firstRow; r < placed.lastRow; ++r) {
        const cell *row = level->cells[r];
        // Most rows are as they were: one comparison of their bytes tells.
        if (std::memcmp(row + placed.firstColumn, kept, columns * sizeof(cell)) == 0) {
            kept += columns;
            continue;
        }
        for (int c = placed.firstColumn; c < placed.lastColumn; ++c, ++kept) {
            if (row[c] == *kept)
                continue;
            const TRect covered = around(marks, around(reachOf(kept->tile), reachOf(row[c].tile)));
            *kept = row[c];
            const int64_t x = placed.columnX[size_t(c)], y = placed.rowY[size_t(r)];
            mChanged.push_back({narrow(x + covered.left), narrow(y + covered.top), narrow(x + covered.right),
                                narrow(y + covered.bottom)});
        }
    }
    return true;
}

const std::vector<TRect> &FrameMemory::draw(TDirectDrawSurface &surface, Key baseKey, Key topKey, const tlevel *level,
                                            const std::function<CellPlacement()> &place, int32_t square,
                                            const Layer &base, const Layer &top)
{
    mChanged.clear();
    const TRect all{0, 0, surface.Width(), surface.Height()};
    bool whole = !mValid || mSurface != &surface || surface.changeCount() != mChangeCount || baseKey != mBaseKey;
    if (!whole)
        whole = !damageCells(level, square);
    // A cell that changed may change what the tools outline too.
    if (!whole && (topKey != mTopKey || !mChanged.empty())) {
        const TRect now = measured(surface, top);
        if (now != mTop) {
            if (!mTop.isEmpty())
                mChanged.push_back(mTop);
            if (!now.isEmpty())
                mChanged.push_back(now);
        } else if (!now.isEmpty()) {
            mChanged.push_back(now); // the same place, perhaps another picture
        }
        mTop = now;
    }

    if (!whole) {
        // The rectangles within the surface; too many become one around them all, and a frame that
        // changes over half its pixels is drawn whole.
        int64_t area = 0;
        size_t kept = 0;
        for (const TRect &r : mChanged) {
            const TRect inside = within(r, all);
            if (inside.isEmpty())
                continue;
            mChanged[kept++] = inside;
            area += inside.width() * inside.height();
        }
        mChanged.resize(kept);
        if (mChanged.size() > kMostRectangles) {
            TRect bounds = mChanged.front();
            for (const TRect &r : mChanged)
                bounds = around(bounds, r);
            mChanged.assign(1, bounds);
            area = bounds.width() * bounds.height();
        }
        whole = area * 2 > all.width() * all.height();
    }

    if (whole) {
        mTop = measured(surface, top);
        mPlaced = level ? place() : CellPlacement{};
        keepCells(level);
        base(surface);
        top(surface);
        mChanged.assign(1, all);
    } else {
        for (const TRect &r : mChanged) {
            surface.setClip(r);
            base(surface);
            top(surface);
        }
        surface.clearClip();
    }
    mValid = true;
    mSurface = &surface;
    mChangeCount = surface.changeCount();
    mBaseKey = std::move(baseKey);
    mTopKey = std::move(topKey);
    return mChanged;
}

} // namespace qm
