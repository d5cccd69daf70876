#pragma once
// Little-endian numbers in byte buffers: one reader and the writers every file format uses.
//
// The reader is bounded: every read is checked against the end, and a read that would pass it moves
// nothing and calls the reader's failure, which throws what its format reports for a short file
// (the levels file "Read beyond end of file", a graphics file "Stream read error", ...).

#include "fileio.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace qm {

inline uint16_t loadLe16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t loadLe32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void appendLe16(Bytes &out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
inline void appendLe32(Bytes &out, uint32_t v)
{
    appendLe16(out, v & 0xFFFF);
    appendLe16(out, v >> 16);
}
// The clipboard's payloads are text buffers.
inline void appendLe32(std::string &out, uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(char(uint8_t(v >> shift)));
}
// A signed number at a place the caller has checked is inside the bytes.
inline int32_t loadLe32(std::string_view bytes, size_t at)
{
    return int32_t(loadLe32(reinterpret_cast<const uint8_t *>(bytes.data() + at)));
}

class ByteReader {
public:
    // Throws the format's error for a read past the end; never returns.
    using Failure = void (*)();

    ByteReader(const uint8_t *data, size_t size, Failure failure) : mData(data), mSize(size), mFailure(failure) {}

    size_t position() const { return mPos; }
    size_t size() const { return mSize; }
    size_t remaining() const { return mSize - mPos; }
    bool atEnd() const { return mPos == mSize; }

    // The next n bytes, consumed.
    const uint8_t *take(size_t n)
    {
        if (n > remaining())
            fail();
        const uint8_t *p = mData + mPos;
        mPos += n;
        return p;
    }
    void skip(size_t n) { take(n); }
    void read(void *into, size_t n) { std::memcpy(into, take(n), n); }
    // Moves to an absolute position; the end itself is a position.
    void seek(size_t pos)
    {
        if (pos > mSize)
            fail();
        mPos = pos;
    }
    // The next n bytes as a reader of their own with the same failure, consumed here.
    ByteReader sub(size_t n) { return ByteReader(take(n), n, mFailure); }
    // The rest of the data as a reader of its own, consumed here.
    ByteReader rest() { return sub(remaining()); }
    // The next byte without consuming it.
    uint8_t peek() const
    {
        if (atEnd())
            fail();
        return mData[mPos];
    }

    uint8_t u8() { return *take(1); }
    int8_t i8() { return static_cast<int8_t>(u8()); }
    uint16_t u16() { return loadLe16(take(2)); }
    int16_t i16() { return static_cast<int16_t>(u16()); }
    uint32_t u32() { return loadLe32(take(4)); }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    // One length byte (0..255) and that many 8-bit characters.
    std::string shortString()
    {
        size_t n = u8();
        return std::string(reinterpret_cast<const char *>(take(n)), n);
    }

private:
    [[noreturn]] void fail() const
    {
        mFailure();
        std::abort(); // a failure that returns is a fault of the caller: never read on
    }

    const uint8_t *mData;
    size_t mSize;
    size_t mPos = 0;
    Failure mFailure;
};

} // namespace qm
