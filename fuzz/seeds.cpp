// Writes the seed corpora of the fuzz targets, made by the program's own writers:
//   qmfuzzseeds DIR   makes DIR/levelsfile, DIR/gameconfig, DIR/supaplex, DIR/supaplexwhole,
//                     DIR/graphicsfile, DIR/dib, DIR/cells, DIR/levelclipboard, DIR/recording, DIR/replay.

#include "editor/core/levelclipboard.h"
#include "editor/core/stamp.h"

#include "game/engine.h"
#include "game/recording.h"

#include "graphics/componentwriter.h"
#include "graphics/dibwriter.h"

#include "levels/gameconfig.h"
#include "levels/levelsfile.h"
#include "levels/levelstore.h"
#include "levels/supaplex.h"
#include "levels/tiles.h"

#include "platform/fileio.h"

#include <cstdio>
#include <filesystem>

using namespace qm;

namespace {

void put(const std::filesystem::path &dir, const std::string &name, const Bytes &bytes)
{
    std::filesystem::create_directories(dir);
    writeFileSafely((dir / name).string(), bytes);
}

void levelsSeeds(const std::filesystem::path &dir)
{
    initStore();
    for (int files = 0; files < 3; ++files) {
        levelsinfo = Tlevels{};
        levelsinfo.author = files ? "seed author" : "";
        resetstore();
        for (int k = 1; k <= files; ++k) {
            addlevel();
            levels[k].width = 6 + 2 * k;
            levels[k].height = 6;
            levels[k].cellAt(2, 3)->tile = 29;
            levels[k].cellAt(2, 3)->kind = kKindOnTop;
        }
        std::array<int32_t, kOffsetCount> offsets{};
        put(dir, "levels" + std::to_string(files), levelsFileBytes(offsets));
    }
}

void configSeeds(const std::filesystem::path &dir)
{
    initGameConfig();
    cfglevelsfile = "Sample.lev";
    cfgsongcount = 2;
    cfgsongs[1] = "first song.mod";
    cfgsongs[2] = "second.mod";
    cfglevelsongcount = 3;
    cfglevelsongs[2] = 1;
    std::string text = gameConfigText();
    put(dir, "config", Bytes(text.begin(), text.end()));
}

void supaplexSeeds(const std::filesystem::path &dir)
{
    Bytes bytes(1 + kSupaplexFileSize, 2);
    bytes[0] = 1;
    for (size_t i = 1; i < 1440; i += 7)
        bytes[1 + i] = uint8_t(i % 40);
    put(dir, "supaplex", bytes);
}

// For the whole import and the export: a record with a ring, a hero, special ports and their table
// (first byte odd), and a small level of every exportable tile (first byte 6: small sizes, plain tiles).
void supaplexWholeSeeds(const std::filesystem::path &dir)
{
    Bytes record(1 + kSupaplexRecord, 0);
    record[0] = 1;
    for (size_t i = 0; i < 1440; ++i)
        record[1 + i] = uint8_t(i % 60 == 0 || i % 60 == 59 || i < 60 || i >= 1380 ? 6 : i % 41);
    record[1 + 61] = kSupaplexHero;
    record[1 + 1471] = 2;
    record[1 + 1473] = uint8_t(2 * 13);
    record[1 + 1475] = 1;
    put(dir, "record", record);
    Bytes level(1 + 5 * 4 + 16 * 16, 0);
    level[0] = 6;
    level[1] = 10; // width
    level[5] = 12; // height
    level[9] = 60; // start (column 1, row 1)
    level[13] = 60;
    for (size_t k = 0; k < 16; ++k)
        level[21 + 16 * k] = uint8_t(12 + 4 * k);
    put(dir, "level", level);
}

// A small picture with some runs, so that run-length data holds both runs and literals.
PixelImage seedImage(int32_t w, int32_t h, int colors)
{
    std::vector<uint8_t> indexes;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            indexes.push_back(uint8_t(((x / 3 + y) * 7 + (x > w / 2 ? x : 0)) % colors));
    std::vector<uint32_t> palette;
    for (int i = 0; i < colors; ++i)
        palette.push_back(uint32_t(i * 0x0A1B2C + 0x102030) & 0xFFFFFF);
    return PixelImage::fromIndexed(w, h, indexes, palette);
}

// The same in true colour, for 16 bits and more.
PixelImage seedRgb(int32_t w, int32_t h)
{
    std::vector<uint32_t> rgb;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            rgb.push_back(uint32_t((x / 3) * 40 & 0xFF) << 16 | uint32_t(y * 29 & 0xFF) << 8 | uint32_t(x * 7 & 0xFF));
    return PixelImage::fromRgb(w, h, rgb);
}

PixelImage seedFor(const DibEncoding &encoding, int32_t w, int32_t h)
{
    if (encoding.bitCount > 8)
        return seedRgb(w, h);
    return seedImage(w, h, encoding.bitCount == 1 ? 2 : 16);
}

// Every encoding the decoders read: each bit count, both run-length variants, both information
// header sizes, top-down rows, bit-field masks, short colour tables, larger bitmap headers.
std::vector<std::pair<std::string, DibEncoding>> encodings()
{
    std::vector<std::pair<std::string, DibEncoding>> out;
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        const std::string b = std::to_string(bits);
        out.push_back({b, {.bitCount = bits}});
        out.push_back({b + "-core", {.bitCount = bits, .coreHeader = true}});
        out.push_back({b + "-topdown", {.bitCount = bits, .topDown = true}});
    }
    out.push_back({"4-rle", {.bitCount = 4, .runLength = true}});
    out.push_back({"8-rle", {.bitCount = 8, .runLength = true}});
    out.push_back({"16-565", {.bitCount = 16, .rgb565 = true}});
    out.push_back({"32-bitfields", {.bitCount = 32, .bitFields = true}});
    out.push_back({"8-used20", {.bitCount = 8, .colorsUsed = 20}});
    out.push_back({"bmp108", {.bitCount = 24, .bitmapHeaderSize = 108}});
    out.push_back({"bmp124-565", {.bitCount = 16, .rgb565 = true, .bitmapHeaderSize = 124}});
    out.push_back({"bmp12", {.bitCount = 8, .bitmapHeaderSize = 12}});
    return out;
}

// The graphic's data of each encoding, as "TDIB" and as "TBitmap" (both decoders take either).
void dibSeeds(const std::filesystem::path &dir)
{
    for (const auto &[name, encoding] : encodings()) {
        const PixelImage image = seedFor(encoding, encoding.runLength ? 23 : 13, 9);
        try {
            put(dir, "dib-" + name, encodeDib(image, encoding));
        } catch (const EncodeError &) {
            // Options that only the bitmap layout takes.
        }
        try {
            put(dir, "bitmap-" + name, encodeBitmap(image, encoding));
        } catch (const EncodeError &) {
        }
    }
}

void graphicsSeeds(const std::filesystem::path &dir)
{
    // Pictures cut in several ways, with and without transparency, in both layouts.
    std::vector<PictureEntry> pictures;
    pictures.push_back(PictureEntry::fromImage("tiles", seedImage(30, 10, 16), {.bitCount = 4, .runLength = true}));
    pictures.back().patternWidth = 10;
    pictures.back().patternHeight = 10;
    pictures.push_back(PictureEntry::fromImage("frames", seedImage(17, 12, 200), {.bitCount = 8}, true));
    pictures.back().patternWidth = 5;
    pictures.back().patternHeight = 4;
    pictures.back().skipWidth = 1;
    pictures.back().skipHeight = 2;
    pictures.back().transparentColor = 0x00302010;
    pictures.push_back(PictureEntry::fromImage("Solid", seedImage(9, 7, 2), {.bitCount = 1}));
    pictures.back().transparent = false;
    pictures.back().systemMemory = true;
    pictures.push_back(PictureEntry::fromImage("overlap", seedRgb(12, 12), {.bitCount = 24}));
    pictures.back().patternWidth = 6;
    pictures.back().skipWidth = -3;
    pictures.push_back(PictureEntry::fromImage("wide", seedRgb(70, 3), {.bitCount = 16, .rgb565 = true}, true));
    pictures.back().patternWidth = 2;
    pictures.push_back(PictureEntry::fromImage("empty", PixelImage::fromRgb(0, 0, {}), {.bitCount = 24}));
    put(dir, "pictures", writeGraphicsFile(pictures));
    put(dir, "pictures-all-properties",
        writeGraphicsFile(pictures, {.holderName = "Images", .orderNumbers = true, .allProperties = true,
                                     .colorIdentifiers = false}));
    put(dir, "no-pictures", writeGraphicsFile({}, {.colorTable = false}));

    // One picture of each encoding.
    for (const auto &[name, encoding] : encodings()) {
        const PixelImage image = seedFor(encoding, 21, 11);
        for (bool asBitmap : {false, true}) {
            try {
                std::vector<PictureEntry> one{PictureEntry::fromImage(name, image, encoding, asBitmap)};
                one.back().patternWidth = 7;
                put(dir, std::string(asBitmap ? "bitmap-" : "dib-") + name, writeGraphicsFile(one, {.colorTable = false}));
            } catch (const EncodeError &) {
            }
        }
    }
}

void cellsSeeds(const std::filesystem::path &dir)
{
    Stamp stamp{3, 2, {}};
    for (int k = 0; k < 6; ++k)
        stamp.cells.push_back(cell{63 - k, 0, kKindOrdinary + k % 3, k});
    const std::string bytes = stampBytes(stamp);
    put(dir, "cells", Bytes(bytes.begin(), bytes.end()));
}

void levelClipboardSeeds(const std::filesystem::path &dir)
{
    CarriedLevel level{"Quillmoss.dxg", "Carried", 2, 3, 0, 6, 4, 5, {}};
    for (int k = 0; k < 24; ++k)
        level.cells.push_back(cell{k % 9, 0, kKindOrdinary + k % 3, k % 4});
    CarriedLevel empty{"", "", 0, 0, 0, 0, 0, 0, {}};
    for (const auto &[name, levels] : {std::pair{"one", std::vector{level}}, std::pair{"two", std::vector{level, empty}}}) {
        const std::string bytes = levelsBytes(levels);
        put(dir, name, Bytes(bytes.begin(), bytes.end()));
    }
}

// A small level with an object of every kind around the hero, and recordings that walk into them.
Bytes gameLevelBytes(uint8_t variant)
{
    Bytes record(game::kRecordSize, 0);
    for (int cell = 0; cell < 1440; ++cell) {
        const int row = cell / 60, column = cell % 60;
        record[size_t(cell)] = row == 0 || row == 23 || column == 0 || column == 59 ? game::code::kHardware : 0;
    }
    const uint8_t objects[] = {1, 2, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26,
                               27, 38, 39, 40};
    int cell = 2 * 60 + 2;
    for (uint8_t object : objects) {
        record[size_t(cell)] = uint8_t(object + variant) <= 40 ? uint8_t(object + variant) : object;
        cell += 2;
        if (cell % 60 > 57)
            cell += 60 + 6;
    }
    record[size_t(10 * 60 + 30)] = game::code::kHero;
    record[1444] = variant & 1;            // gravity
    // One special port: the 13th object, a special port, at square 2 x 60 + 2 + 2 x 12; the table holds
    // twice its number, high byte first.
    const int port = 2 * (2 * 60 + 2 + 2 * 12);
    record[1471] = 1;
    record[1472] = uint8_t(port >> 8);
    record[1473] = uint8_t(port & 0xFF);
    record[1534] = uint8_t(variant * 37);  // seed
    return record;
}

void recordingSeeds(const std::filesystem::path &dir)
{
    const std::vector<std::vector<uint8_t>> walks = {
        {0x71, 0x72, 0x73, 0x74}, {0xF0, 0x09, 0xF9, 0xF9, 0xF9, 0xF9, 0x34}, {0x35, 0x36, 0x37, 0x38, 0x19, 0x22},
        {0xF1, 0xF1, 0xF2, 0xF2, 0xF3, 0xF3, 0xF4, 0xF4}};
    for (uint8_t variant = 0; variant < 4; ++variant) {
        const Bytes level = gameLevelBytes(variant);
        put(dir, "level-" + std::to_string(variant) + ".sp", level);
        for (size_t w = 0; w < walks.size(); ++w) {
            game::Recording recording;
            recording.record = level;
            recording.hasInput = true;
            recording.levelNumber = 0x81;
            recording.input = walks[w];
            recording.input.push_back(game::kEndMark);
            if (w % 2 == 1)
                recording.signature = {'s', 'e', 'e', 'd', game::kEndMark};
            put(dir, "walk-" + std::to_string(variant) + "-" + std::to_string(w) + ".sp",
                game::writeRecording(recording));
        }
    }
}

// Width, height, the 96 settings bytes, the squares, the keys.
void replaySeeds(const std::filesystem::path &dir)
{
    for (uint8_t variant = 0; variant < 4; ++variant) {
        const Bytes level = gameLevelBytes(variant);
        Bytes seed{uint8_t(60 - 3), uint8_t(24 - 3)};
        seed.insert(seed.end(), level.begin() + 1440, level.end());
        seed.insert(seed.end(), level.begin(), level.begin() + 1440);
        for (uint8_t key : {0x71, 0x72, 0xF0, 0x79, 0x33, 0x84})
            seed.push_back(uint8_t(key + variant));
        put(dir, "level-" + std::to_string(variant), seed);
    }
    Bytes small{0, 0};
    small.resize(2 + game::kSettingsSize + 9 + 8, 0);
    small[2 + game::kSettingsSize + 4] = game::code::kHero;
    small[2 + game::kSettingsSize + 1] = game::code::kZonk;
    put(dir, "three-by-three", small);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: qmfuzzseeds DIR\n", stderr);
        return 1;
    }
    const std::filesystem::path root = argv[1];
    levelsSeeds(root / "levelsfile");
    configSeeds(root / "gameconfig");
    supaplexSeeds(root / "supaplex");
    supaplexWholeSeeds(root / "supaplexwhole");
    graphicsSeeds(root / "graphicsfile");
    dibSeeds(root / "dib");
    cellsSeeds(root / "cells");
    levelClipboardSeeds(root / "levelclipboard");
    recordingSeeds(root / "recording");
    replaySeeds(root / "replay");
    return 0;
}
