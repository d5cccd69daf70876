#include "levelobjects.h"

#include "tiles.h"

#include <algorithm>
#include <array>
#include <optional>

namespace qm {

namespace {

// One square that painting writes, from the anchor, with the fields that identify it.
struct Expected {
    int32_t row, column;
    uint8_t fields;
    int32_t tile, pattern;
};

// What painting a tile writes from (1, 1), square by square (a later write overriding an earlier
// one), and the rectangle the squares fill.
struct Shape {
    std::vector<Expected> squares;
    int32_t rows = 0, columns = 0;
    bool object = false; // more than one square, filling its rectangle
};

Shape shapeOf(int32_t tile, const TileWidth &widthOf)
{
    Shape shape;
    paintingWrites(1, 1, tile, PaintVariant::Press, widthOf, [&shape](const CellWrite &write) {
        const uint8_t fields = write.fields & (CellWrite::Tile | CellWrite::Pattern);
        if (!fields)
            return;
        auto found = std::find_if(shape.squares.begin(), shape.squares.end(), [&](const Expected &e) {
            return e.row == write.row - 1 && e.column == write.column - 1;
        });
        if (found == shape.squares.end())
            found = shape.squares.insert(shape.squares.end(), Expected{write.row - 1, write.column - 1, 0, 0, 0});
        found->fields |= fields;
        if (fields & CellWrite::Tile)
            found->tile = write.tile;
        if (fields & CellWrite::Pattern)
            found->pattern = write.pattern;
    });
    for (const Expected &e : shape.squares) {
        if (e.row < 0 || e.column < 0)
            return shape; // never so today: painting writes only to the right and below
        shape.rows = std::max(shape.rows, e.row + 1);
        shape.columns = std::max(shape.columns, e.column + 1);
    }
    shape.object = shape.squares.size() > 1 && int64_t(shape.squares.size()) == int64_t(shape.rows) * shape.columns;
    return shape;
}

} // namespace

LevelObjects::LevelObjects(const tlevel &level, const TileWidth &widthOf)
    : LevelObjects(&level.cells[0][0], std::clamp(level.height, 0, kGridSize), std::clamp(level.width, 0, kGridSize),
                   kGridSize, widthOf)
{
}

LevelObjects::LevelObjects(const cell *cells, int32_t rows, int32_t columns, size_t stride, const TileWidth &widthOf)
    : mOwner(size_t(std::max(rows, 0)) * size_t(std::max(columns, 0)), 0), mRows(std::max(rows, 0)),
      mColumns(std::max(columns, 0))
{
    std::array<std::optional<Shape>, kLastPaletteTile + 1> shapes;
    const auto shape = [&](int32_t tile) -> const Shape & {
        std::optional<Shape> &known = shapes[size_t(tile)];
        if (!known)
            known = shapeOf(tile, widthOf);
        return *known;
    };
    const auto cellAt = [&](int32_t r, int32_t c) -> const cell & {
        return cells[size_t(r - 1) * stride + size_t(c - 1)];
    };
    const auto owner = [&](int32_t r, int32_t c) -> int32_t & { return mOwner[size_t(r - 1) * size_t(mColumns) + size_t(c - 1)]; };
    // Whether an object of the given shape is whole at (r, c), no square of it taken by another.
    const auto whole = [&](int32_t r, int32_t c, const Shape &s) {
        for (const Expected &e : s.squares) {
            const int32_t row = r + e.row, column = c + e.column;
            if (row > mRows || column > mColumns)
                continue; // beyond the level's edge: painting writes nothing the level keeps
            const cell &held = cellAt(row, column);
            if (owner(row, column) || ((e.fields & CellWrite::Tile) && held.tile != e.tile)
                || ((e.fields & CellWrite::Pattern) && held.pattern != e.pattern))
                return false;
        }
        return true;
    };

    for (int32_t r = 1; r <= mRows; ++r)
        for (int32_t c = 1; c <= mColumns; ++c) {
            if (owner(r, c))
                continue;
            const int32_t held = cellAt(r, c).tile;
            // The 7 x 2 block leaves an empty square at its anchor.
            const int32_t candidates[] = {coversSeveralSquares(held) ? held : -1, held == kTileEmpty ? kTileBlock7x2 : -1};
            for (int32_t tile : candidates) {
                if (tile < 0)
                    continue;
                const Shape &s = shape(tile);
                if (!s.object || !whole(r, c, s))
                    continue;
                const LevelObject object{r, c, tile, std::min(s.rows, mRows - r + 1), std::min(s.columns, mColumns - c + 1)};
                mObjects.push_back(object);
                for (int32_t i = 0; i < object.rows; ++i)
                    for (int32_t j = 0; j < object.columns; ++j)
                        owner(r + i, c + j) = int32_t(mObjects.size());
                break;
            }
        }
}

const LevelObject *LevelObjects::at(int32_t r, int32_t c) const
{
    if (r < 1 || r > mRows || c < 1 || c > mColumns)
        return nullptr;
    const int32_t number = mOwner[size_t(r - 1) * size_t(mColumns) + size_t(c - 1)];
    return number ? &mObjects[size_t(number - 1)] : nullptr;
}

} // namespace qm
