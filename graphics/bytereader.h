#pragma once
// A bounded little-endian reader over bytes held in memory. Every read is checked against the end;
// a read that would pass it throws EReadError "Stream read error" and moves nothing.

#include "graphicserrors.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace qm {

class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const uint8_t *data, size_t size) : mData(data), mSize(size) {}

    size_t position() const { return mPos; }
    size_t size() const { return mSize; }
    size_t remaining() const { return mSize - mPos; }
    bool atEnd() const { return mPos == mSize; }

    // The next n bytes, consumed.
    const uint8_t *take(size_t n)
    {
        if (n > remaining())
            throw EReadError(kStreamReadError);
        const uint8_t *p = mData + mPos;
        mPos += n;
        return p;
    }
    void skip(size_t n) { take(n); }
    void read(void *into, size_t n) { std::memcpy(into, take(n), n); }
    // The next n bytes as a reader of their own, consumed here.
    ByteReader sub(size_t n) { return ByteReader(take(n), n); }
    // The rest of the data as a reader of its own, consumed here.
    ByteReader rest() { return sub(remaining()); }
    // The next byte without consuming it.
    uint8_t peek() const
    {
        if (atEnd())
            throw EReadError(kStreamReadError);
        return mData[mPos];
    }

    uint8_t u8() { return *take(1); }
    int8_t i8() { return static_cast<int8_t>(u8()); }
    uint16_t u16()
    {
        const uint8_t *p = take(2);
        return static_cast<uint16_t>(p[0] | p[1] << 8);
    }
    int16_t i16() { return static_cast<int16_t>(u16()); }
    uint32_t u32()
    {
        const uint8_t *p = take(4);
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }

private:
    const uint8_t *mData = nullptr;
    size_t mSize = 0;
    size_t mPos = 0;
};

} // namespace qm
