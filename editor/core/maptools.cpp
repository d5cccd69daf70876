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

std::vector<CellPosition> MapTools::dragPieces(const tlevel &level, CellPosition to) const
{
    if (drag == Drag::Line)
        return linePieces(level, dragFrom, to, dragSize);
    if (drag == Drag::Rectangle)
        if (const std::optional<CellRect> rect = cellsBetween(level, dragFrom, to))
            return outlinePieces(*rect, dragSize);
    return {};
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

CellPosition lineEnd(CellPosition from, CellPosition to)
{
    const int32_t rows = to.row - from.row, columns = to.column - from.column;
    const int32_t down = std::abs(rows), across = std::abs(columns);
    // tan(22.5°) is about 0.41: within it of a row or a column, the line keeps to it.
    if (across * 41 >= down * 100)
        return {from.row, to.column};
    if (down * 41 >= across * 100)
        return {to.row, from.column};
    const int32_t length = std::min(down, across);
    return {from.row + (rows < 0 ? -length : length), from.column + (columns < 0 ? -length : length)};
}

std::vector<CellPosition> linePieces(const tlevel &level, CellPosition from, CellPosition to, CellPosition size)
{
    const CellPosition end = lineEnd(from, to);
    const int32_t stepRow = end.row > from.row ? 1 : end.row < from.row ? -1 : 0;
    const int32_t stepColumn = end.column > from.column ? 1 : end.column < from.column ? -1 : 0;
    const int32_t squares = std::max(std::abs(end.row - from.row), std::abs(end.column - from.column)) + 1;
    // A piece takes its size along the line; on a diagonal, the larger of its sides.
    const int32_t pitch = stepRow == 0 ? size.column : stepColumn == 0 ? size.row : std::max(size.row, size.column);
    std::vector<CellPosition> pieces;
    for (int32_t k = 0; k + pitch <= squares; k += pitch) {
        // A piece going up or left is placed by its top-left square, so that it ends on the line.
        const CellPosition at{from.row + stepRow * k - (stepRow < 0 ? size.row - 1 : 0),
                              from.column + stepColumn * k - (stepColumn < 0 ? size.column - 1 : 0)};
        if (at.row >= 1 && at.column >= 1 && at.row <= std::min(level.height, kGridSize)
            && at.column <= std::min(level.width, kGridSize))
            pieces.push_back(at);
    }
    return pieces;
}

std::vector<CellPosition> outlinePieces(const CellRect &rect, CellPosition size)
{
    std::vector<CellPosition> pieces;
    tileRect(rect, size, [&](int32_t r, int32_t c) {
        if (r == rect.top || c == rect.left || r + 2 * size.row - 1 > rect.bottom || c + 2 * size.column - 1 > rect.right)
            pieces.push_back({r, c});
    });
    return pieces;
}

CellPosition carriedSize(const std::optional<Stamp> &stamp, int32_t tile, const TileWidth &widthOf)
{
    return stamp ? CellPosition{stamp->rows, stamp->columns} : paintedSize(tile, widthOf);
}

void paintPieces(StoreStep &step, int32_t k, const std::vector<CellPosition> &pieces, const std::optional<Stamp> &stamp,
                 int32_t tile, const TileWidth &widthOf)
{
    for (const CellPosition &at : pieces) {
        if (stamp)
            writeStamp(step, k, at, *stamp);
        else
            step.paint(k, at.row, at.column, tile, PaintVariant::Press, widthOf);
    }
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
    const auto last = [](double view, double extent) { return int32_t(std::ceil((view + extent) / kSquare)); };
    const double scale = maparea.scale();
    return cellsBetween(*level, {first(viewy), first(viewx)},
                        {last(viewy, maparea.height() * scale), last(viewx, maparea.width() * scale)});
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
