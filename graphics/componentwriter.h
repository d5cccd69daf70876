#pragma once
// Writing graphics files (.dxg): the resource header and the component stream that the reader
// (componentreader.h) takes, with each picture's properties and picture data.
//
//   std::vector<PictureEntry> pictures;
//   pictures.push_back(PictureEntry::fromImage("wall", PixelImage::fromRgb(400, 40, pixels),
//                                              {.bitCount = 24}));
//   pictures.back().patternWidth = 40;
//   writeFileSafely("theme.dxg", writeGraphicsFile(pictures));

#include "colors.h"
#include "dibwriter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm {

// Low-level writer of the component stream, for files of any shape (the tests also write broken
// ones with it). Each call appends its bytes.
class ComponentStreamWriter {
public:
    // 0xFF, type 10, name and its zero byte, memory flags, size of the data (patched by finish()).
    void resourceHeader(const std::string &name);
    void signature() { raw("TPF0"); }
    // Optional prefix byte and the integer that its flag 2 announces, class name, object name.
    void objectHeader(const std::string &className, const std::string &objectName,
                      std::optional<uint8_t> prefix = std::nullopt, std::optional<int32_t> prefixValue = std::nullopt);
    void propertyName(const std::string &name) { shortString(name); }

    // Values, each with its code byte.
    void integer(int32_t value); // the smallest of codes 2, 3, 4 that holds it
    void integerAs(uint8_t code, int32_t value);
    void string(const std::string &value); // code 6, or 12 when longer than 255
    void longString(const std::string &value);
    void ident(const std::string &value);
    void boolean(bool value) { byte(value ? 9 : 8); }
    void binary(const Bytes &data);
    void extended(const uint8_t (&tenBytes)[10]);
    void beginList() { byte(1); }
    void beginCollection() { byte(14); }
    // A collection entry: optional order number, then the list code of its properties.
    void beginItem(std::optional<int32_t> order = std::nullopt);
    void end() { byte(0); } // ends a property list, an item, a collection, a list or the children

    void byte(uint8_t b) { mBytes.push_back(b); }
    void raw(const std::string &s) { mBytes.insert(mBytes.end(), s.begin(), s.end()); }
    void raw(const Bytes &b) { mBytes.insert(mBytes.end(), b.begin(), b.end()); }
    void shortString(const std::string &s);

    size_t size() const { return mBytes.size(); }
    // The bytes written, with the resource header's size field filled in.
    Bytes finish();

private:
    Bytes mBytes;
    std::optional<size_t> mSizeField;
};

// One picture of a graphics file.
struct PictureEntry {
    std::string name;
    int32_t patternWidth = 0, patternHeight = 0, skipWidth = 0, skipHeight = 0;
    bool systemMemory = false;
    bool transparent = true;
    TColor transparentColor = clBlack;
    // "TDIB" or "TBitmap" with data from encodeDib / encodeBitmap; any other name is written as given.
    std::string graphicClass = "TDIB";
    Bytes graphicData; // the graphic's data after its class name; empty with "TDIB" for no picture

    // A picture of image, encoded as "TBitmap" when asBitmap, otherwise as "TDIB".
    static PictureEntry fromImage(const std::string &name, const PixelImage &image, const DibEncoding &encoding = {},
                                  bool asBitmap = false);
};

struct GraphicsFileOptions {
    std::string resourceName = "TPICTURECOLLECTIONCOMPONENT";
    std::string holderName{};           // the holder's object name (empty or an identifier)
    bool colorTable = true;             // write "List.ColorTable" (1,024 bytes)
    std::vector<uint8_t> colorTableBytes{};// its contents; zeros when shorter
    bool orderNumbers = false;          // give each collection entry its index as order number
    bool allProperties = false;         // also write properties that have their default value
    bool colorIdentifiers = true;       // "TransparentColor" as "clFuchsia" etc. when it has a name
};

Bytes writeGraphicsFile(const std::vector<PictureEntry> &pictures, const GraphicsFileOptions &options = {});

} // namespace qm
