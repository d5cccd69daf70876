#include "maptools.h"

#include "levels/palette.h"
#include "levels/startsquare.h"
#include "levels/tiles.h"

#include <algorithm>
#include <cmath>

namespace qm {

void MapTools::carry(Stamp cells)
{
    stamp = std::move(cells);
    carriedtile = kStampCarried;
}

void MapTools::dropStamp()
{
    stamp.reset();
    if (carriedtile == kStampCarried)
        carriedtile = kPaletteSlotCarried;
}

bool MapTools::drop()
{
    const bool held = stamp || marked || drag != Drag::None;
    dropStamp();
    marked.reset();
    drag = Drag::None;
    return held;
}

std::optional<CellRect> cellsBetween(const tlevel &level, CellPosition a, CellPosition b)
{
    CellRect rect{std::max(std::min(a.row, b.row), 1), std::max(std::min(a.column, b.column), 1),
                  std::min({std::max(a.row, b.row), level.height, kGridSize}),
                  std::min({std::max(a.column, b.column), level.width, kGridSize})};
    if (rect.bottom < rect.top || rect.right < rect.left)
        return std::nullopt;
    return rect;
}

void clearCells(StoreStep &step, int32_t k, const CellRect &rect)
{
    for (int32_t r = rect.top; r <= rect.bottom; ++r)
        for (int32_t c = rect.left; c <= rect.right; ++c)
            step.setCell(k, r, c, kDefaultCell);
}

CellPosition paintedSize(int32_t tile, const TileWidth &widthOf)
{
    CellPosition size{1, 1};
    paintingWrites(1, 1, tile, PaintVariant::Press, widthOf, [&](const CellWrite &write) {
        if (write.fields & CellWrite::Tile) {
            size.row = std::max(size.row, write.row);
            size.column = std::max(size.column, write.column);
        }
    });
    return size;
}

namespace {

// Calls put(row, column) at each place where a rows x columns piece starts when rect is covered with
// whole pieces side by side from its top left; answers how many.
template <class Put> int32_t tileRect(const CellRect &rect, CellPosition size, Put &&put)
{
    int32_t count = 0;
    for (int32_t r = rect.top; r + size.row - 1 <= rect.bottom; r += size.row)
        for (int32_t c = rect.left; c + size.column - 1 <= rect.right; c += size.column) {
            put(r, c);
            ++count;
        }
    return count;
}

} // namespace

int32_t fillCells(StoreStep &step, int32_t k, const CellRect &rect, int32_t tile, const TileWidth &widthOf)
{
    return tileRect(rect, paintedSize(tile, widthOf),
                    [&](int32_t r, int32_t c) { step.paint(k, r, c, tile, PaintVariant::Press, widthOf); });
}

int32_t fillWithStamp(StoreStep &step, int32_t k, const CellRect &rect, const Stamp &stamp)
{
    return tileRect(rect, {stamp.rows, stamp.columns},
                    [&](int32_t r, int32_t c) { writeStamp(step, k, {r, c}, stamp); });
}

void carryTile(int32_t tile)
{
    if (!onPalette(tile)) {
        carriedtile = tile;
        return;
    }
    carriedtile = kPaletteSlotCarried;
    const PaletteSlot slot = paletteSlot(tile);
    palrow = slot.row;
    palcolumn = slot.column;
    palscroll = paletteScrollShowing(palrow, palscroll);
}

std::optional<int32_t> paletteTileAt(int32_t x, int32_t y)
{
    const std::optional<PaletteSlot> slot = paletteSlotAt(x, y);
    if (!slot)
        return std::nullopt;
    return paletteTile(slot->row, slot->column);
}

CellPosition startSquare(const tlevel &level)
{
    return {int32_t(startSquareOf(level.starty)), int32_t(startSquareOf(level.startx))};
}

bool moveStartSquare(StoreStep &step, int32_t k, CellPosition to)
{
    tlevel &level = levels[k];
    const int32_t row = std::clamp(to.row, 1, std::clamp(level.height, 1, kGridSize));
    const int32_t column = std::clamp(to.column, 1, std::clamp(level.width, 1, kGridSize));
    const int32_t startx = startPixelOf(column), starty = startPixelOf(row);
    if (startx == level.startx && starty == level.starty)
        return false;
    step.levelChanging(k);
    level.startx = startx;
    level.starty = starty;
    return true;
}

std::optional<CellRect> visibleCells()
{
    const tlevel *level = currentLevel();
    if (!level)
        return std::nullopt;
    // A cell is shown when any of its pixels lies on the map area.
    const auto first = [](double view) { return int32_t(std::floor(view / kSquare)) + 1; };
    const auto last = [](double view, int32_t extent) { return int32_t(std::ceil((view + extent) / kSquare)); };
    return cellsBetween(*level, {first(viewy), first(viewx)}, {last(viewy, kMapHeight), last(viewx, kMapWidth)});
}

CellPosition nearestVisibleCell(CellPosition cell)
{
    const std::optional<CellRect> shown = visibleCells();
    if (!shown)
        return cell;
    return {std::clamp(cell.row, shown->top, shown->bottom), std::clamp(cell.column, shown->left, shown->right)};
}

void scrollViewBy(double dx, double dy)
{
    if (!currentLevel())
        return;
    viewx += dx;
    viewy += dy;
    clampView();
}

void scrollViewToEdge(bool bottomRight)
{
    const double far = bottomRight ? kGridSize * double(kSquare) : -kGridSize * double(kSquare);
    scrollViewBy(far - viewx, far - viewy);
}

const ReachMap &ReachShading::of(const tlevel &level)
{
    const int32_t rows = std::clamp(level.height, 0, kGridSize), columns = std::clamp(level.width, 0, kGridSize);
    bool same = mWidth == level.width && mHeight == level.height && mStartX == level.startx && mStartY == level.starty;
    if (same)
        for (int32_t r = 0; r < rows && same; ++r)
            for (int32_t c = 0; c < columns; ++c)
                if (mTiles[size_t(r) * size_t(columns) + size_t(c)] != level.cells[r][c].tile) {
                    same = false;
                    break;
                }
    if (same)
        return mMap;
    mWidth = level.width;
    mHeight = level.height;
    mStartX = level.startx;
    mStartY = level.starty;
    mTiles.resize(size_t(rows) * size_t(columns));
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < columns; ++c)
            mTiles[size_t(r) * size_t(columns) + size_t(c)] = level.cells[r][c].tile;
    findReach(level, mMap);
    ++mFills;
    return mMap;
}

} // namespace qm
