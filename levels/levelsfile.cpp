#include "levelsfile.h"

#include "platform/bytes.h"
#include "platform/errors.h"
#include "platform/limits.h"

#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qm {

static_assert(std::endian::native == std::endian::little,
              "cells are copied between the file and the store as they lie in memory");

namespace {

constexpr size_t kCellBytes = sizeof(cell);

[[noreturn]] void refuse(const std::string &message) { throw Error("EInvalidLevelsFile", message); }

void putInt32(Bytes &out, int32_t value) { appendLe32(out, static_cast<uint32_t>(value)); }

size_t shortLength(const std::string &text) { return std::min<size_t>(text.size(), 255); }

// readlevel: the level whose record starts at `offset`, checked but not stored.
LevelsFileContent::Level readlevel(ByteReader &in, int k, int32_t offset)
{
    if (offset < 0)
        refuse("Level " + std::to_string(k) + " has an invalid position in the file (" + std::to_string(offset)
               + ").");
    in.seek(static_cast<size_t>(offset));
    LevelsFileContent::Level level;
    level.dxg = in.shortString();
    level.name = in.shortString();
    level.startx = in.i32();
    level.starty = in.i32();
    level.reserved = in.i32();
    level.width = in.i32();
    level.height = in.i32();
    if (level.width < 0 || level.height < 0 || level.width > kGridSize || level.height > kGridSize)
        refuse("Level " + std::to_string(k) + " is " + std::to_string(level.width) + " x "
               + std::to_string(level.height) + " squares; a level can be at most " + std::to_string(kGridSize)
               + " x " + std::to_string(kGridSize) + ".");
    level.cellsAt = in.position();
    in.skip(kCellBytes * static_cast<size_t>(level.width) * static_cast<size_t>(level.height));
    level.infotrons = in.i32();
    return level;
}

// Copies a row of cells into the store. A read fills up to 32 MB of the store that is not read back
// soon: stores that bypass the cache spare the machine reading every line of it first, which makes
// this copy cost about half of a plain one. The caller ends the copies with finishCellCopies().
void copyCells(cell *into, const uint8_t *from, size_t bytes)
{
#if defined(__SSE2__)
    // Only whole cache lines are streamed: a line written both ways would be flushed half done.
    constexpr size_t kLine = 64;
    auto *to = reinterpret_cast<uint8_t *>(into);
    const size_t head = (kLine - reinterpret_cast<uintptr_t>(to) % kLine) % kLine;
    if (bytes < head + kLine) {
        std::memcpy(to, from, bytes);
        return;
    }
    std::memcpy(to, from, head);
    to += head, from += head, bytes -= head;
    for (; bytes >= kLine; bytes -= kLine, to += kLine, from += kLine) {
        auto *line = reinterpret_cast<__m128i *>(to);
        const auto *source = reinterpret_cast<const __m128i *>(from);
        _mm_stream_si128(line, _mm_loadu_si128(source));
        _mm_stream_si128(line + 1, _mm_loadu_si128(source + 1));
        _mm_stream_si128(line + 2, _mm_loadu_si128(source + 2));
        _mm_stream_si128(line + 3, _mm_loadu_si128(source + 3));
    }
    std::memcpy(to, from, bytes);
#else
    std::memcpy(into, from, bytes);
#endif
}

// Makes the copies above visible in order with the program's other stores.
void finishCellCopies()
{
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

void appendlevel(Bytes &out, const tlevel &level)
{
    writeshortstring(out, level.dxg);
    writeshortstring(out, level.name);
    putInt32(out, level.startx);
    putInt32(out, level.starty);
    putInt32(out, level.reserved);
    putInt32(out, level.width);
    putInt32(out, level.height);
    const size_t rowBytes = kCellBytes * static_cast<size_t>(level.width);
    for (int row = 0; row < level.height; ++row) {
        const auto *data = reinterpret_cast<const uint8_t *>(level.cells[row]);
        out.insert(out.end(), data, data + rowBytes);
    }
    putInt32(out, level.infotrons);
}

} // namespace

void writeshortstring(Bytes &out, const std::string &text)
{
    size_t n = shortLength(text);
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
}

LevelsFileContent loadLevelsFile(const std::string &path)
{
    return parseLevelsFile(readWholeFileRaw(path, kMaxLevelsFileBytes));
}

LevelsFileContent parseLevelsFile(RawBytes bytes)
{
    LevelsFileContent content;
    content.bytes = std::move(bytes);
    ByteReader in(content.bytes.data(), content.bytes.size(), throwReadBeyondEnd);
    Tlevels &header = content.header;
    header.reserved = in.i32();
    header.author = in.shortString();
    header.count = in.i32();
    for (int32_t &offset : header.offsets)
        offset = in.i32();
    if (header.count < 0 || header.count > kMaxLevels)
        refuse("The file declares " + std::to_string(header.count) + " levels; a levels file holds 0 to "
               + std::to_string(kMaxLevels) + " levels.");
    content.levels.reserve(static_cast<size_t>(header.count));
    for (int k = 1; k <= header.count; ++k)
        content.levels.push_back(readlevel(in, k, header.offsets[static_cast<size_t>(k - 1)]));
    return content;
}

namespace {

// One checked level into slot; the caller ends the cell copies with finishCellCopies().
void copyLevel(const LevelsFileContent &content, const LevelsFileContent::Level &from, tlevel &slot)
{
    slot.dxg = from.dxg;
    slot.name = from.name;
    slot.startx = from.startx;
    slot.starty = from.starty;
    slot.reserved = from.reserved;
    slot.width = from.width;
    slot.height = from.height;
    const size_t rowBytes = kCellBytes * static_cast<size_t>(from.width);
    for (int row = 0; row < from.height; ++row)
        copyCells(slot.cells[row], content.bytes.data() + from.cellsAt + rowBytes * static_cast<size_t>(row),
                  rowBytes);
    slot.infotrons = from.infotrons;
}

} // namespace

void storeLevelsFile(const LevelsFileContent &content)
{
    levelsinfo = content.header;
    for (size_t i = 0; i < content.levels.size(); ++i)
        copyLevel(content, content.levels[i], levels[static_cast<int>(i) + 1]);
    finishCellCopies();
}

void storeFileLevel(const LevelsFileContent &content, size_t index, tlevel &slot)
{
    copyLevel(content, content.levels.at(index), slot);
    finishCellCopies();
}

void readlevelsfile() { storeLevelsFile(loadLevelsFile(levelsfilepath)); }

Bytes levelsFileBytes(std::array<int32_t, kOffsetCount> &offsets)
{
    const int count = levelsinfo.count;
    if (count < 0 || count > kMaxLevels)
        refuse("The store holds an invalid number of levels (" + std::to_string(count) + ").");
    offsets = levelsinfo.offsets;
    size_t total = 4009 + shortLength(levelsinfo.author);
    for (int k = 1; k <= count; ++k) {
        const tlevel &level = levels[k];
        if (level.width < 0 || level.height < 0 || level.width > kGridSize || level.height > kGridSize)
            refuse("Level " + std::to_string(k) + " is " + std::to_string(level.width) + " x "
                   + std::to_string(level.height) + " squares; a level can be at most "
                   + std::to_string(kGridSize) + " x " + std::to_string(kGridSize) + ".");
        offsets[static_cast<size_t>(k - 1)] = static_cast<int32_t>(total);
        total += 26 + shortLength(level.dxg) + shortLength(level.name)
                 + kCellBytes * static_cast<size_t>(level.width) * static_cast<size_t>(level.height);
    }
    if (count == 0)
        offsets[0] = static_cast<int32_t>(total);

    Bytes out;
    out.reserve(total);
    putInt32(out, levelsinfo.reserved);
    writeshortstring(out, levelsinfo.author);
    putInt32(out, count);
    for (int32_t offset : offsets)
        putInt32(out, offset);
    for (int k = 1; k <= count; ++k)
        appendlevel(out, levels[k]);
    return out;
}

void writelevelsfile()
{
    std::array<int32_t, kOffsetCount> offsets{};
    Bytes bytes = levelsFileBytes(offsets);
    writeFileSafely(levelsfilepath, bytes);
    levelsinfo.offsets = offsets;
    saved = true;
}

} // namespace qm
