#include "stamp.h"

#include "levels/tiles.h"

#include "platform/errors.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

namespace {

constexpr char kCellsMagic[] = "QMCELLS1";
constexpr size_t kMagicSize = sizeof(kCellsMagic) - 1;
constexpr size_t kCellBytes = 16;

void putNumber(std::string &out, int32_t value)
{
    const auto bits = uint32_t(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(char((bits >> shift) & 0xFF));
}

int32_t numberAt(std::string_view bytes, size_t at)
{
    uint32_t bits = 0;
    for (int k = 0; k < 4; ++k)
        bits |= uint32_t(uint8_t(bytes[at + size_t(k)])) << (8 * k);
    return int32_t(bits);
}

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

void writeStamp(StoreStep &step, int32_t k, CellPosition topLeft, const Stamp &stamp)
{
    const tlevel &level = levels[k];
    for (int32_t r = 0; r < stamp.rows; ++r)
        for (int32_t c = 0; c < stamp.columns; ++c) {
            const int64_t row = int64_t(topLeft.row) + r, column = int64_t(topLeft.column) + c;
            if (row >= 1 && row <= level.height && column >= 1 && column <= level.width)
                step.setCell(k, int32_t(row), int32_t(column), stamp.at(r, c));
        }
}

std::string stampBytes(const Stamp &stamp)
{
    std::string out(kCellsMagic, kMagicSize);
    putNumber(out, stamp.rows);
    putNumber(out, stamp.columns);
    for (const cell &square : stamp.cells)
        for (int32_t value : {square.tile, square.reserved, square.kind, square.pattern})
            putNumber(out, value);
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
    const int32_t rows = numberAt(bytes, kMagicSize), columns = numberAt(bytes, kMagicSize + 4);
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
        const cell square{numberAt(bytes, at), numberAt(bytes, at + 4), numberAt(bytes, at + 8),
                          numberAt(bytes, at + 12)};
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
