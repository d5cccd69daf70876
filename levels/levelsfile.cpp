#include "levelsfile.h"

#include "platform/bytes.h"
#include "platform/errors.h"
#include "platform/limits.h"

#include <algorithm>
#include <bit>
#include <cerrno>
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

// The largest file header and level record header: texts of 255 characters and every number.
constexpr size_t kLargestHeader = 4 + 1 + 255 + 4 + 4 * size_t(kOffsetCount);
constexpr size_t kLargestRecordHeader = 2 * (1 + 255) + 5 * 4;

// A levels file in memory, for the reader below.
class MemoryFile {
public:
    explicit MemoryFile(const RawBytes &bytes) : mBytes(bytes) {}
    size_t size() const { return mBytes.size(); }
    // A reader of at most `most` bytes from position pos on; a position past the end cannot be read.
    ByteReader at(size_t pos, size_t most) const
    {
        if (pos > size())
            throwReadBeyondEnd();
        return ByteReader(mBytes.data() + pos, std::min(most, size() - pos), throwReadBeyondEnd);
    }

private:
    const RawBytes &mBytes;
};

// A levels file on disk, for the same reader: only the bytes asked for are read.
class DiskFile {
public:
    explicit DiskFile(ReadableFile &file) : mFile(file) {}
    size_t size() const { return static_cast<size_t>(mFile.size()); }
    ByteReader at(size_t pos, size_t most)
    {
        if (pos > size())
            throwReadBeyondEnd();
        const size_t n = std::min(most, size() - pos);
        mChunk.resize(n);
        mFile.readAt(pos, mChunk.data(), n);
        return ByteReader(mChunk.data(), n, throwReadBeyondEnd);
    }

private:
    ReadableFile &mFile;
    Bytes mChunk;
};

size_t cellBytes(const LevelsFileContent::Level &level)
{
    return kCellBytes * static_cast<size_t>(level.width) * static_cast<size_t>(level.height);
}

// readlevel: the level whose record starts at `offset`, checked but not stored; its cells and
// infotrons are only found to lie inside the file.
template <class File> LevelsFileContent::Level readlevel(File &file, int k, int32_t offset)
{
    if (offset < 0)
        refuse("Level " + std::to_string(k) + " has an invalid position in the file (" + std::to_string(offset)
               + ").");
    ByteReader in = file.at(static_cast<size_t>(offset), kLargestRecordHeader);
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
    level.cellsAt = static_cast<size_t>(offset) + in.position();
    if (file.size() - level.cellsAt < cellBytes(level) + 4)
        throwReadBeyondEnd();
    return level;
}

// readlevelsfile's checks: the header, then each level 1..count, in the order they are read.
template <class File> void readLevels(File &file, LevelsFileContent &content)
{
    ByteReader in = file.at(0, kLargestHeader);
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
        content.levels.push_back(readlevel(file, k, header.offsets[static_cast<size_t>(k - 1)]));
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
    MemoryFile file(content.bytes);
    readLevels(file, content);
    return content;
}

namespace {

// One checked level into slot, its cells and infotrons from `cells`, the bytes at its cellsAt. The
// caller ends the cell copies with finishCellCopies().
void storeLevel(const LevelsFileContent::Level &from, const uint8_t *cells, tlevel &slot)
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
        copyCells(slot.cells[row], cells + rowBytes * static_cast<size_t>(row), rowBytes);
    slot.infotrons = static_cast<int32_t>(loadLe32(cells + cellBytes(from)));
    slot.solution.clear(); // solutions come from their own file
}

// The cells of the levels of a checked file, read through one window of the file small enough to stay in
// the processor's cache: the kernel copies into it at the speed of a plain read, and the copy into the
// store bypasses the cache. (Reading straight into the rows of the store is slower: each row is a piece
// of its own, and every line of the store is fetched before the kernel writes it.) The window moves to
// a level that does not lie whole in it, so a file written in order is read once in large requests, and
// levels out of order or overlapping read again what they need. One thread does it all: a reader on a
// second thread gained nothing once the window stays in the cache, and lost much when the scheduler
// kept it waiting on a busy machine.
class CellWindow {
public:
    explicit CellWindow(ReadableFile &file) : mFile(file), mBuffer(kLevelsFileWindowBytes) {}

    // The cells of a level checked against this file's size (and the 4 bytes after them).
    const uint8_t *cellsOf(const LevelsFileContent::Level &level)
    {
        const uint64_t end = level.cellsAt + cellBytes(level) + 4;
        if (level.cellsAt < mPos || end > mPos + mSize) {
            if (end > mFile.size()) // never for the file checked; the window holds nothing beyond it
                throwReadBeyondEnd();
            mPos = level.cellsAt;
            mSize = static_cast<size_t>(std::min<uint64_t>(kLevelsFileWindowBytes, mFile.size() - mPos));
            mFile.readAt(mPos, mBuffer.data(), mSize);
        }
        return mBuffer.data() + (level.cellsAt - mPos);
    }

private:
    // Every level lies in one window.
    static_assert(kLevelsFileWindowBytes > kLargestRecordHeader + kCellBytes * kGridSize * kGridSize + 4);
    // The buffer is then whole aligned pages: the kernel copies much more slowly to an address that is
    // not a multiple of 64.
    static_assert(kLevelsFileWindowBytes >= kLargeReadBuffer);
    ReadableFile &mFile;
    RawBytes mBuffer;
    uint64_t mPos = 0;
    size_t mSize = 0;
};

} // namespace

void storeLevelsFile(const LevelsFileContent &content)
{
    levelsinfo = content.header;
    for (size_t i = 0; i < content.levels.size(); ++i)
        storeLevel(content.levels[i], content.bytes.data() + content.levels[i].cellsAt,
                   levels[static_cast<int>(i) + 1]);
    finishCellCopies();
}

void storeFileLevel(const LevelsFileContent &content, size_t index, tlevel &slot)
{
    const LevelsFileContent::Level &level = content.levels.at(index);
    storeLevel(level, content.bytes.data() + level.cellsAt, slot);
    finishCellCopies();
}

CheckedLevelsFile::CheckedLevelsFile(const std::string &path) : mPath(path)
{
    ReadableFile file(path, kMaxLevelsFileBytes);
    if (!file.regular() || file.size() <= kLevelsFileWindowBytes) {
        mContent = parseLevelsFile(readWholeFileRaw(file, kMaxLevelsFileBytes));
        return;
    }
    mInPlace = true;
    mIdentity = file.identity();
    DiskFile disk(file);
    readLevels(disk, mContent);
    file.close();
}

void CheckedLevelsFile::store()
{
    if (!mInPlace) {
        storeLevelsFile(mContent);
        return;
    }
    ReadableFile file(mPath, kMaxLevelsFileBytes);
    if (file.identity() != mIdentity)
        throw EInOutError("The file changed while it was read; open it again.", EAGAIN);

    levelsinfo = mContent.header;
    levelsinfo.count = 0; // none of the file's levels is in the store before all are
    CellWindow window(file);
    for (size_t i = 0; i < mContent.levels.size(); ++i)
        storeLevel(mContent.levels[i], window.cellsOf(mContent.levels[i]), levels[static_cast<int>(i) + 1]);
    finishCellCopies();
    file.close();
    levelsinfo.count = mContent.header.count;
}

void readlevelsfile() { CheckedLevelsFile(levelsfilepath).store(); }

void openlevelsfile(const std::string &path)
{
    CheckedLevelsFile file(path);
    resetstore();
    levelsfilepath = path;
    try {
        file.store();
    } catch (...) {
        fileopen = false; // part of the file read: nothing of it may be saved over the file
        throw;
    }
}

void openlevelsfile(const LevelsFileContent &content, const std::string &storedPath)
{
    resetstore();
    levelsfilepath = storedPath;
    storeLevelsFile(content);
}

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
