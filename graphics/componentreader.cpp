// A graphics file is a resource header followed by a component stream (numbers little-endian):
//
//   resource header  0xFF, u16 type 10, a name ending in a zero byte (up to 76 characters),
//                    u16 memory flags, u32 data size
//   "TPF0"
//   holder object    optional prefix byte 0xF0..0xFF (with flag 2, an integer value follows),
//                    class name and object name as short strings (length byte, characters),
//                    properties (name, value) up to a 0 byte, child objects up to a 0 byte
//
// A value is a code byte and its data:
//   0 end of list    1 list of values up to 0    2/3/4 signed 8/16/32-bit integer
//   5 10-byte real   6 short string              7 identifier (short string)
//   8 False          9 True                      10 binary: u32 length, bytes
//   11 set: short strings up to an empty one     12 long string: u32 length, characters
//   13 nil           14 collection: entries up to a 0 byte; each an optional integer (order
//                       number), code 1, the entry's properties, a 0 byte
//
// The holder knows "List" (the collection of pictures), "List.ColorTable" (binary, its first 1,024
// bytes), and ignores "Name", "Tag", "Left" and "Top". A picture knows "Name", "PatternHeight",
// "PatternWidth", "SkipHeight", "SkipWidth", "SystemMemory", "Transparent", "TransparentColor" and
// "Picture.Data". Property names and identifiers are matched without regard to letter case.
//
// A fault while a property's value is being read is reported once, as "Error reading
// Object.Property: message", naming the innermost property being read: the picture's property
// inside the list, "List" for the list's own structure. The holder is named by its object name, or
// by its class when it has none. Faults outside any property (the header, a
// property name of the holder, the end markers of the holder) carry the bare message. Child objects
// of the holder are read through and ignored.

#include "componentreader.h"

#include "platform/bytes.h"
#include "colors.h"
#include "graphicserrors.h"
#include "picturecollection.h"
#include "textcase.h"

#include "platform/limits.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace qm {
namespace {

constexpr const char *kHolderClass = "TPictureCollectionComponent";
constexpr const char *kItemClass = "TPictureCollectionItem";
constexpr const char *kInvalidPropertyValue = "Invalid property value";
constexpr const char *kPropertyDoesNotExist = "Property does not exist";
constexpr const char *kInvalidPropertyPath = "Invalid property path";

// Resource headers are read through a window of this many bytes.
constexpr size_t kResourceHeaderWindow = 79;

enum ValueCode : uint8_t {
    vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaExtended = 5, vaString = 6,
    vaIdent = 7, vaFalse = 8, vaTrue = 9, vaBinary = 10, vaSet = 11, vaLString = 12, vaNil = 13,
    vaCollection = 14,
};

// An error already worded with its object and property; outer properties pass it on unchanged.
class PropertyError : public EReadError {
public:
    using EReadError::EReadError;
};

bool isIdentifier(const std::string &s)
{
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (s.empty() || !letter(s[0]))
        return false;
    for (char c : s)
        if (!letter(c) && !(c >= '0' && c <= '9'))
            return false;
    return true;
}

std::vector<std::string> splitPath(const std::string &name)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t dot = name.find('.', start);
        parts.push_back(name.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos)
            return parts;
        start = dot + 1;
    }
}

class Reader {
public:
    Reader(TPictureCollection &collection, const uint8_t *data, size_t size, const GraphicsFileFeed *feed)
        : mCollection(collection), mData(data), mSize(size), mIn(data, size, throwStreamReadError), mFeed(feed)
    {
    }

    void run()
    {
        if (mFeed)
            mFeed->need(std::min(mSize, kResourceHeaderWindow + 16)); // the header and the signature after it
        size_t start = readResourceHeader();
        if (mSize - start < 4 || std::memcmp(mData + start, "TPF0", 4) != 0)
            throw EReadError(kInvalidStreamFormat);
        in(start + 4).skip(start + 4);
        readObjectHeader();
        while (in(1).peek() != vaNull)
            readHolderProperty();
        in(1).u8();
        while (in(1).peek() != vaNull)
            skipObject(1);
        in(1).u8();
    }

private:
    // The header is looked at through a window of its first 79 bytes: the name is measured up to its
    // zero byte or the end of the window (76 characters), and the stream starts 10 bytes after the
    // name's first character plus that length. A longer name therefore leads to a bad signature.
    size_t readResourceHeader()
    {
        if (mSize < 3 || mData[0] != 0xFF || (mData[1] | mData[2] << 8) != 10)
            throw EInvalidImage(kInvalidStreamFormat);
        size_t window = std::min(mSize, kResourceHeaderWindow);
        const void *zero = std::memchr(mData + 3, 0, window - 3);
        size_t nameLength = zero ? size_t(static_cast<const uint8_t *>(zero) - (mData + 3)) : window - 3;
        return std::min(nameLength + 10, mSize);
    }

    void readObjectHeader()
    {
        uint8_t first = in(1).peek();
        if ((first & 0xF0) == 0xF0) {
            in(1).u8();
            if (first & 0x02) {
                uint8_t code = in(1).u8();
                if (code != vaInt8 && code != vaInt16 && code != vaInt32)
                    throw EReadError(kInvalidStreamFormat);
                readIntegerData(code);
            }
        }
        shortString(); // class name: the holder is always a picture collection holder
        std::string name = shortString();
        if (!name.empty() && !isIdentifier(name))
            throw EComponentError(formatMessage("''%s'' is not a valid component name", {name}));
        mHolderName = name;
    }

    std::string shortString()
    {
        uint8_t length = in(1).u8();
        const uint8_t *p = in(length).take(length);
        return std::string(reinterpret_cast<const char *>(p), length);
    }

    int32_t readIntegerData(uint8_t code)
    {
        switch (code) {
        case vaInt8:
            return in(1).i8();
        case vaInt16:
            return in(2).i16();
        default:
            return in(4).i32();
        }
    }

    int32_t readInteger()
    {
        uint8_t code = in(1).u8();
        if (code != vaInt8 && code != vaInt16 && code != vaInt32)
            throw EReadError(kInvalidPropertyValue);
        return readIntegerData(code);
    }

    std::string readString()
    {
        uint8_t code = in(1).u8();
        if (code == vaString)
            return shortString();
        if (code == vaLString) {
            uint32_t length = in(4).u32();
            const uint8_t *p = in(length).take(length);
            return std::string(reinterpret_cast<const char *>(p), length);
        }
        throw EReadError(kInvalidPropertyValue);
    }

    bool readBoolean()
    {
        uint8_t code = in(1).u8();
        if (code == vaFalse || code == vaTrue)
            return code == vaTrue;
        if (code == vaIdent) {
            std::string ident = shortString();
            if (sameTextIgnoringCase(ident, "False"))
                return false;
            if (sameTextIgnoringCase(ident, "True"))
                return true;
        }
        throw EReadError(kInvalidPropertyValue);
    }

    TColor readColor()
    {
        uint8_t code = in(1).u8();
        if (code == vaInt8 || code == vaInt16 || code == vaInt32)
            return static_cast<TColor>(readIntegerData(code));
        if (code == vaIdent)
            if (std::optional<TColor> c = colorFromIdent(shortString()))
                return *c;
        throw EReadError(kInvalidPropertyValue);
    }

    ByteReader readBinary()
    {
        if (in(1).u8() != vaBinary)
            throw EReadError(kInvalidPropertyValue);
        uint32_t length = in(4).u32();
        return in(length).sub(length);
    }

    // Runs body as the reading of object.property: any fault inside is worded with them, once.
    template <typename Body>
    void property(const char *object, const std::string &name, Body body)
    {
        try {
            body();
        } catch (const PropertyError &) {
            throw;
        } catch (const EComponentError &) {
            throw;
        } catch (const Error &e) {
            throw PropertyError(formatMessage("Error reading %s.%s: %s", {object, name, e.what()}));
        }
    }

    [[noreturn]] void fail(const char *object, const std::string &name, const char *message)
    {
        throw PropertyError(formatMessage("Error reading %s.%s: %s", {object, name, message}));
    }

    // The holder as messages name it: its own name, or its class when it has none.
    const char *holder() const { return mHolderName.empty() ? kHolderClass : mHolderName.c_str(); }

    void readHolderProperty()
    {
        std::string fullName = shortString();
        std::vector<std::string> path = splitPath(fullName);
        const std::string &last = path.back();
        const std::string &head = path.front();
        if (sameTextIgnoringCase(head, "List")) {
            if (path.size() == 1)
                return property(holder(), last, [&] { readList(); });
            if (!sameTextIgnoringCase(path[1], "ColorTable"))
                fail(holder(), last, kPropertyDoesNotExist);
            if (path.size() > 2)
                fail(holder(), last, kInvalidPropertyPath);
            return property(holder(), last, [&] {
                ByteReader table = readBinary();
                mCollection.setColorTable(table.take(1024));
            });
        }
        if (sameTextIgnoringCase(head, "Name") || sameTextIgnoringCase(head, "Tag")
            || sameTextIgnoringCase(head, "Left") || sameTextIgnoringCase(head, "Top")) {
            if (path.size() > 1)
                fail(holder(), last, kInvalidPropertyPath);
            bool isName = sameTextIgnoringCase(head, "Name");
            return property(holder(), last, [&] {
                if (isName)
                    readString();
                else
                    readInteger();
            });
        }
        fail(holder(), last, kPropertyDoesNotExist);
    }

    void readList()
    {
        if (in(1).u8() != vaCollection)
            throw EReadError(kInvalidPropertyValue);
        while (in(1).peek() != vaNull) {
            uint8_t first = in(1).peek();
            if (first == vaInt8 || first == vaInt16 || first == vaInt32)
                readInteger(); // order number, not used
            TPictureCollectionItem &item = mCollection.Add();
            if (in(1).u8() != vaList)
                throw EReadError(kInvalidPropertyValue);
            while (in(1).peek() != vaNull)
                readItemProperty(item);
            in(1).u8();
        }
        in(1).u8();
    }

    void readItemProperty(TPictureCollectionItem &item)
    {
        std::string fullName = shortString();
        std::vector<std::string> path = splitPath(fullName);
        const std::string &last = path.back();
        const std::string &head = path.front();
        auto is = [&](const char *name) { return sameTextIgnoringCase(head, name); };

        if (is("Picture")) {
            if (path.size() == 1)
                fail(kItemClass, last, kInvalidPropertyValue);
            if (!sameTextIgnoringCase(path[1], "Data"))
                fail(kItemClass, last, kPropertyDoesNotExist);
            if (path.size() > 2)
                fail(kItemClass, last, kInvalidPropertyPath);
            property(kItemClass, last, [&] {
                ByteReader data = readBinary();
                item.Picture().readData(data);
            });
            if (mFeed && mFeed->passed)
                mFeed->passed(mIn.position()); // the picture keeps a copy of its bytes
            return countPixels(item);
        }
        bool known = is("Name") || is("PatternHeight") || is("PatternWidth") || is("SkipHeight")
                     || is("SkipWidth") || is("SystemMemory") || is("Transparent") || is("TransparentColor");
        if (!known)
            fail(kItemClass, last, kPropertyDoesNotExist);
        if (path.size() > 1)
            fail(kItemClass, last, kInvalidPropertyPath);
        property(kItemClass, last, [&] {
            if (is("Name"))
                item.setName(readString());
            else if (is("PatternHeight"))
                item.setPatternHeight(readInteger());
            else if (is("PatternWidth"))
                item.setPatternWidth(readInteger());
            else if (is("SkipHeight"))
                item.setSkipHeight(readInteger());
            else if (is("SkipWidth"))
                item.setSkipWidth(readInteger());
            else if (is("SystemMemory"))
                item.setSystemMemory(readBoolean());
            else if (is("Transparent"))
                item.setTransparent(readBoolean());
            else
                item.setTransparentColor(readColor());
        });
    }

    // Child objects are not part of a graphics file's meaning; they are read through so that the
    // file's structure is still checked.
    void skipObject(int depth)
    {
        if (depth > kMaxComponentNesting)
            throw EReadError(kInvalidStreamFormat);
        uint8_t first = in(1).peek();
        if ((first & 0xF0) == 0xF0) {
            in(1).u8();
            if (first & 0x02)
                skipValue(depth);
        }
        shortString();
        shortString();
        while (in(1).peek() != vaNull) {
            shortString();
            skipValue(depth);
        }
        in(1).u8();
        while (in(1).peek() != vaNull)
            skipObject(depth + 1);
        in(1).u8();
    }

    void skipValue(int depth)
    {
        if (depth > kMaxComponentNesting)
            throw EReadError(kInvalidStreamFormat);
        uint8_t code = in(1).u8();
        switch (code) {
        case vaList:
            while (in(1).peek() != vaNull)
                skipValue(depth + 1);
            in(1).u8();
            return;
        case vaInt8: in(1).skip(1); return;
        case vaInt16: in(2).skip(2); return;
        case vaInt32: in(4).skip(4); return;
        case vaExtended: in(10).skip(10); return;
        case vaString:
        case vaIdent: shortString(); return;
        case vaFalse:
        case vaTrue:
        case vaNil: return;
        case vaBinary:
        case vaLString: {
            const uint32_t length = in(4).u32();
            in(length).skip(length);
            return;
        }
        case vaSet:
            while (!shortString().empty()) {
            }
            return;
        case vaCollection:
            while (in(1).peek() != vaNull) {
                uint8_t first = in(1).peek();
                if (first == vaInt8 || first == vaInt16 || first == vaInt32)
                    skipValue(depth + 1);
                if (in(1).u8() != vaList)
                    throw EReadError(kInvalidPropertyValue);
                while (in(1).peek() != vaNull) {
                    shortString();
                    skipValue(depth + 1);
                }
                in(1).u8();
            }
            in(1).u8();
            return;
        default:
            throw EReadError(kInvalidPropertyValue);
        }
    }

    // The pictures of one file together get no more surface than kMaxGraphicsFilePixels: refused as
    // the surfaces would be, before they are made.
    void countPixels(const TPictureCollectionItem &item)
    {
        const TPicture &picture = item.Picture();
        mPixels += int64_t(picture.Width()) * picture.Height();
        if (mPixels > kMaxGraphicsFilePixels)
            throw EDirectDrawSurfaceError(formatMessage("%s cannot be made", {"Surface"}));
    }

    TPictureCollection &mCollection;
    std::string mHolderName;
    int64_t mPixels = 0;
    const uint8_t *mData;
    size_t mSize;
    ByteReader mIn;
    const GraphicsFileFeed *mFeed;

    // The reader, once the next n bytes (or as many as there are) are in the data.
    ByteReader &in(size_t n)
    {
        if (mFeed)
            mFeed->need(mIn.position() + std::min(n, mIn.remaining()));
        return mIn;
    }
};

} // namespace

void readGraphicsFile(TPictureCollection &collection, const uint8_t *data, size_t size, const GraphicsFileFeed *feed)
{
    static const uint8_t kNothing = 0;
    Reader(collection, data ? data : &kNothing, data ? size : 0, data ? feed : nullptr).run();
}

void readGraphicsFile(TPictureCollection &collection, const uint8_t *data, size_t size)
{
    readGraphicsFile(collection, data, size, nullptr);
}

} // namespace qm
