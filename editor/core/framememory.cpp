#include "framememory.h"

#include <algorithm>

namespace qm {

namespace {

// Past this many rectangles, one around them all is redrawn instead.
constexpr size_t kMostRectangles = 16;

TRect around(const TRect &a, const TRect &b)
{
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

void FrameMemory::keepCells(const tlevel *level, const CellPlacement &placed)
{
    mFirstRow = placed.firstRow, mLastRow = placed.lastRow;
    mFirstColumn = placed.firstColumn, mLastColumn = placed.lastColumn;
    mCells.clear();
    if (!level)
        return;
    for (int r = mFirstRow; r < mLastRow; ++r)
        mCells.insert(mCells.end(), level->cells[r] + mFirstColumn, level->cells[r] + mLastColumn);
}

bool FrameMemory::damageCells(const tlevel *level, const CellPlacement &placed, int32_t square)
{
    if (placed.firstRow != mFirstRow || placed.lastRow != mLastRow || placed.firstColumn != mFirstColumn
        || placed.lastColumn != mLastColumn || (level == nullptr) != mCells.empty())
        return false;
    if (!level)
        return true;
    // Around a square, what its own picture and the marks that stay with it (the grid's lines, the
    // start marker) may cover.
    const int64_t left = std::min<int64_t>(placed.reachLeft, 0) - 2, top = std::min<int64_t>(placed.reachTop, 0) - 2;
    const int64_t right = std::max<int64_t>(placed.reachRight, square) + 2;
    const int64_t bottom = std::max<int64_t>(placed.reachBottom, square) + 2;
    cell *kept = mCells.data();
    for (int r = mFirstRow; r < mLastRow; ++r) {
        const cell *row = level->cells[r];
        for (int c = mFirstColumn; c < mLastColumn; ++c, ++kept) {
            if (row[c] == *kept)
                continue;
            *kept = row[c];
            const int64_t x = placed.columnX[size_t(c)], y = placed.rowY[size_t(r)];
            // Kept within 32 bits; the surface's own bounds are applied later.
            auto narrow = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2)); };
            mChanged.push_back({narrow(x + left), narrow(y + top), narrow(x + right), narrow(y + bottom)});
        }
    }
    return true;
}

const std::vector<TRect> &FrameMemory::draw(TDirectDrawSurface &surface, Key baseKey, Key topKey, const tlevel *level,
                                            const CellPlacement &placed, int32_t square, const Layer &base,
                                            const Layer &top)
{
    mChanged.clear();
    const TRect all{0, 0, surface.Width(), surface.Height()};
    bool whole = !mValid || mSurface != &surface || surface.changeCount() != mChangeCount || baseKey != mBaseKey;
    if (!whole)
        whole = !damageCells(level, placed, square);
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
        keepCells(level, placed);
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
