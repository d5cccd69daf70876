#include "stamp.h"

#include "levels/gamerules.h"
#include "levels/levelobjects.h"
#include "levels/tiles.h"

#include "platform/bytes.h"
#include "platform/errors.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

namespace {

constexpr char kCellsMagic[] = "QMCELLS1";
constexpr size_t kMagicSize = sizeof(kCellsMagic) - 1;
constexpr size_t kCellBytes = 16;

Error damaged(const std::string &what)
{
    return Error("ECellsClipboard", "The cells on the clipboard are damaged: " + what + ".");
}

} // namespace

Stamp captureStamp(const tlevel &level, const CellRect &rect)
{
    Stamp stamp{rect.rows(), rect.columns(), {}};
    stamp.cells.reserve(size_t(stamp.rows) * size_t(stamp.columns));
    for (int32_t r = rect.top; r <= rect.bottom; ++r)
        for (int32_t c = rect.left; c <= rect.right; ++c) {
            const cell *at = level.cellAt(r, c);
            stamp.cells.push_back(at ? *at : kDefaultCell);
        }
    return stamp;
}

Stamp captureWholeObjects(const tlevel &level, const CellRect &rect, const TileWidth &widthOf)
{
    Stamp stamp = captureStamp(level, rect);
    const auto inside = [&rect](int32_t r, int32_t c) {
        return r >= rect.top && r <= rect.bottom && c >= rect.left && c <= rect.right;
    };
    const LevelObjects found(level, widthOf);
    for (const LevelObject &object : found.all()) {
        if (inside(object.row, object.column)) {
            StampObject carried{object.row - rect.top, object.column - rect.left, object.tile, object.rows, object.columns, {}};
            carried.cells.reserve(size_t(object.rows) * size_t(object.columns));
            for (int32_t i = 0; i < object.rows; ++i)
                for (int32_t j = 0; j < object.columns; ++j)
                    carried.cells.push_back(*level.cellAt(object.row + i, object.column + j));
            stamp.objects.push_back(std::move(carried));
            continue;
        }
        // A part without its anchor: the stamp leaves the default cell there, as Cut does.
        for (int32_t r = object.row; r < object.row + object.rows; ++r)
            for (int32_t c = object.column; c < object.column + object.columns; ++c)
                if (inside(r, c))
                    stamp.at(r - rect.top, c - rect.left) = kDefaultCell;
    }
    return stamp;
}

Stamp withObjects(Stamp stamp, const TileWidth &widthOf)
{
    stamp.objects.clear();
    const LevelObjects found(stamp.cells.data(), stamp.rows, stamp.columns, size_t(stamp.columns), widthOf);
    for (const LevelObject &object : found.all()) {
        StampObject carried{object.row - 1, object.column - 1, object.tile, object.rows, object.columns, {}};
        for (int32_t i = 0; i < object.rows; ++i)
            for (int32_t j = 0; j < object.columns; ++j)
                carried.cells.push_back(stamp.at(carried.row + i, carried.column + j));
        stamp.objects.push_back(std::move(carried));
    }
    return stamp;
}

void writeStamp(StoreStep &step, int32_t k, CellPosition topLeft, const Stamp &stamp)
{
    const tlevel &level = levels[k];
    const auto write = [&](int64_t r, int64_t c, const cell &value) {
        const int64_t row = topLeft.row + r, column = topLeft.column + c;
        if (row >= 1 && row <= level.height && column >= 1 && column <= level.width)
            step.setCell(k, int32_t(row), int32_t(column), value);
    };
    for (int32_t r = 0; r < stamp.rows; ++r)
        for (int32_t c = 0; c < stamp.columns; ++c)
            write(r, c, stamp.at(r, c));
    // The squares of objects beyond the stamp's edges (those within are among its cells).
    for (const StampObject &object : stamp.objects)
        for (int32_t i = 0; i < object.rows; ++i)
            for (int32_t j = 0; j < object.columns; ++j) {
                const int64_t r = int64_t(object.row) + i, c = int64_t(object.column) + j;
                if (r < 0 || r >= stamp.rows || c < 0 || c >= stamp.columns)
                    write(r, c, object.cells[size_t(i) * size_t(object.columns) + size_t(j)]);
            }
}

int32_t flippedTile(int32_t tile, Flip flip)
{
    const TileRules *rules = tileRules(tile);
    if (!rules)
        return tile;
    const int32_t flipped = flip == Flip::LeftRight ? rules->flippedLeftRight : rules->flippedTopBottom;
    return flipped == kCannotFlip ? tile : flipped;
}

void flipStamp(Stamp &stamp, Flip flip)
{
    const bool leftRight = flip == Flip::LeftRight;
    // The tiles' flips, looked up once for the values a stamp usually holds.
    std::array<int32_t, kLastPaletteTile + 1> flipped{};
    for (int32_t tile = 0; tile <= kLastPaletteTile; ++tile)
        flipped[size_t(tile)] = flippedTile(tile, flip);
    std::vector<cell> mirrored(stamp.cells.size());
    for (int32_t r = 0; r < stamp.rows; ++r)
        for (int32_t c = 0; c < stamp.columns; ++c) {
            cell square = stamp.at(r, c);
            if (square.tile >= 0 && square.tile <= kLastPaletteTile)
                square.tile = flipped[size_t(square.tile)];
            const int32_t row = leftRight ? r : stamp.rows - 1 - r, column = leftRight ? stamp.columns - 1 - c : c;
            mirrored[size_t(row) * size_t(stamp.columns) + size_t(column)] = square;
        }
    stamp.cells = std::move(mirrored);
    // An object's rectangle mirrored is its rectangle moved: its squares land exactly where the
    // mirrored cells put copies of them, and overwrite those.
    for (StampObject &object : stamp.objects) {
        if (leftRight)
            object.column = stamp.columns - object.column - object.columns;
        else
            object.row = stamp.rows - object.row - object.rows;
        for (int32_t i = 0; i < object.rows; ++i)
            for (int32_t j = 0; j < object.columns; ++j) {
                const int64_t r = int64_t(object.row) + i, c = int64_t(object.column) + j;
                if (r >= 0 && r < stamp.rows && c >= 0 && c < stamp.columns)
                    stamp.at(int32_t(r), int32_t(c)) = object.cells[size_t(i) * size_t(object.columns) + size_t(j)];
            }
    }
}

std::string stampBytes(const Stamp &stamp)
{
    std::string out(kCellsMagic, kMagicSize);
    appendLe32(out, uint32_t(stamp.rows));
    appendLe32(out, uint32_t(stamp.columns));
    for (const cell &square : stamp.cells)
        for (int32_t value : {square.tile, square.reserved, square.kind, square.pattern})
            appendLe32(out, uint32_t(value));
    return out;
}

std::string stampText(const Stamp &stamp)
{
    std::string out;
    for (int32_t r = 0; r < stamp.rows; ++r) {
        for (int32_t c = 0; c < stamp.columns; ++c)
            out += (c ? "\t" : "") + std::to_string(stamp.at(r, c).tile);
        out += '\n';
    }
    return out;
}

Stamp readStampBytes(std::string_view bytes)
{
    if (bytes.size() < kMagicSize + 8 || bytes.substr(0, kMagicSize) != std::string_view(kCellsMagic, kMagicSize))
        throw damaged("they do not start as cells of a level do");
    const int32_t rows = loadLe32(bytes, kMagicSize), columns = loadLe32(bytes, kMagicSize + 4);
    if (rows < 1 || rows > kGridSize || columns < 1 || columns > kGridSize)
        throw damaged(std::to_string(rows) + " x " + std::to_string(columns) + " is no size of a level's cells");
    const size_t count = size_t(rows) * size_t(columns);
    const size_t expected = kMagicSize + 8 + count * kCellBytes;
    if (bytes.size() != expected)
        throw damaged(std::to_string(expected) + " bytes were expected for " + std::to_string(rows) + " x "
                      + std::to_string(columns) + " cells, " + std::to_string(bytes.size()) + " are there");
    Stamp stamp{rows, columns, {}};
    stamp.cells.reserve(count);
    for (size_t at = kMagicSize + 8; at < bytes.size(); at += kCellBytes) {
        const cell square{loadLe32(bytes, at), loadLe32(bytes, at + 4), loadLe32(bytes, at + 8),
                          loadLe32(bytes, at + 12)};
        // Kinds and signs that no level the editor paints, imports or reads can hold. Any tile number
        // and reserved value pass: Copy takes cells as a file holds them, and they must paste back.
        const size_t index = stamp.cells.size();
        const std::string where = "cell " + std::to_string(index / size_t(columns) + 1) + ","
                                  + std::to_string(index % size_t(columns) + 1);
        if (square.kind != kKindOrdinary && square.kind != kKindMarked && square.kind != kKindOnTop)
            throw damaged(where + " has kind " + std::to_string(square.kind));
        if (square.tile < 0)
            throw damaged(where + " has tile " + std::to_string(square.tile));
        if (square.pattern < 0)
            throw damaged(where + " has pattern " + std::to_string(square.pattern));
        stamp.cells.push_back(square);
    }
    return stamp;
}

} // namespace qm
