#include "componentwriter.h"

#include "platform/bytes.h"

namespace qm {

void ComponentStreamWriter::resourceHeader(const std::string &name)
{
    byte(0xFF);
    byte(10);
    byte(0);
    raw(name);
    byte(0);
    byte(0x30); // memory flags: moveable, pure, discardable
    byte(0x10);
    mSizeField = mBytes.size();
    appendLe32(mBytes, 0);
}

void ComponentStreamWriter::objectHeader(const std::string &className, const std::string &objectName,
                                         std::optional<uint8_t> prefix, std::optional<int32_t> prefixValue)
{
    if (prefix)
        byte(*prefix);
    if (prefixValue)
        integer(*prefixValue);
    shortString(className);
    shortString(objectName);
}

void ComponentStreamWriter::shortString(const std::string &s)
{
    if (s.size() > 255)
        throw EncodeError("short strings hold at most 255 characters");
    byte(uint8_t(s.size()));
    raw(s);
}

void ComponentStreamWriter::integer(int32_t value)
{
    if (value >= -128 && value <= 127)
        integerAs(2, value);
    else if (value >= -32768 && value <= 32767)
        integerAs(3, value);
    else
        integerAs(4, value);
}

void ComponentStreamWriter::integerAs(uint8_t code, int32_t value)
{
    byte(code);
    int bytes = code == 2 ? 1 : code == 3 ? 2 : 4;
    for (int i = 0; i < bytes; ++i)
        byte(uint8_t(uint32_t(value) >> (8 * i)));
}

void ComponentStreamWriter::string(const std::string &value)
{
    if (value.size() > 255)
        return longString(value);
    byte(6);
    shortString(value);
}

void ComponentStreamWriter::longString(const std::string &value)
{
    byte(12);
    appendLe32(mBytes, uint32_t(value.size()));
    raw(value);
}

void ComponentStreamWriter::ident(const std::string &value)
{
    byte(7);
    shortString(value);
}

void ComponentStreamWriter::binary(const Bytes &data)
{
    byte(10);
    appendLe32(mBytes, uint32_t(data.size()));
    raw(data);
}

void ComponentStreamWriter::extended(const uint8_t (&tenBytes)[10])
{
    byte(5);
    mBytes.insert(mBytes.end(), tenBytes, tenBytes + 10);
}

void ComponentStreamWriter::beginItem(std::optional<int32_t> order)
{
    if (order)
        integer(*order);
    beginList();
}

Bytes ComponentStreamWriter::finish()
{
    Bytes out = mBytes;
    if (mSizeField) {
        uint32_t size = uint32_t(out.size() - (*mSizeField + 4));
        for (int i = 0; i < 4; ++i)
            out[*mSizeField + size_t(i)] = uint8_t(size >> (8 * i));
    }
    return out;
}

PictureEntry PictureEntry::fromImage(const std::string &name, const PixelImage &image, const DibEncoding &encoding,
                                     bool asBitmap)
{
    PictureEntry entry;
    entry.name = name;
    entry.graphicClass = asBitmap ? "TBitmap" : "TDIB";
    entry.graphicData = asBitmap ? encodeBitmap(image, encoding) : encodeDib(image, encoding);
    return entry;
}

Bytes writeGraphicsFile(const std::vector<PictureEntry> &pictures, const GraphicsFileOptions &options)
{
    ComponentStreamWriter w;
    w.resourceHeader(options.resourceName);
    w.signature();
    w.objectHeader("TPictureCollectionComponent", options.holderName);
    if (options.colorTable) {
        Bytes table = options.colorTableBytes;
        table.resize(std::max<size_t>(table.size(), 1024), 0);
        w.propertyName("List.ColorTable");
        w.binary(table);
    }
    w.propertyName("List");
    w.beginCollection();
    int32_t index = 0;
    for (const PictureEntry &p : pictures) {
        w.beginItem(options.orderNumbers ? std::optional<int32_t>(index) : std::nullopt);
        ++index;
        const bool all = options.allProperties;
        w.propertyName("Name");
        w.string(p.name);
        if (all || p.patternHeight != 0) {
            w.propertyName("PatternHeight");
            w.integer(p.patternHeight);
        }
        if (all || p.patternWidth != 0) {
            w.propertyName("PatternWidth");
            w.integer(p.patternWidth);
        }
        w.propertyName("Picture.Data");
        w.binary(pictureData(p.graphicClass, p.graphicData));
        if (all || p.skipHeight != 0) {
            w.propertyName("SkipHeight");
            w.integer(p.skipHeight);
        }
        if (all || p.skipWidth != 0) {
            w.propertyName("SkipWidth");
            w.integer(p.skipWidth);
        }
        if (all || p.systemMemory) {
            w.propertyName("SystemMemory");
            w.boolean(p.systemMemory);
        }
        if (all || !p.transparent) {
            w.propertyName("Transparent");
            w.boolean(p.transparent);
        }
        if (all || p.transparentColor != clBlack) {
            w.propertyName("TransparentColor");
            auto name = options.colorIdentifiers ? colorToIdent(p.transparentColor) : std::nullopt;
            if (name)
                w.ident(std::string(*name));
            else
                w.integer(static_cast<int32_t>(p.transparentColor));
        }
        w.end();
    }
    w.end(); // the collection
    w.end(); // the holder's properties
    w.end(); // the holder's children
    return w.finish();
}

} // namespace qm
