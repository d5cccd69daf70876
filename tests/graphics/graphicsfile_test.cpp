#include "testimages.h"

#include "graphics/graphicserrors.h"
#include "graphics/picturecollection.h"

#include "plainuser.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <random>

using namespace qm;
using namespace qm::testing;

namespace {

struct Outcome {
    std::string className;
    std::string message;
    bool operator==(const Outcome &) const = default;
};

std::ostream &operator<<(std::ostream &os, const Outcome &o) { return os << o.className << ": " << o.message; }

Outcome load(TPictureCollection &c, const Bytes &data)
{
    try {
        c.LoadFromStream(data.data(), data.size());
        return {};
    } catch (const Error &e) {
        return {e.className(), e.what()};
    }
}

Outcome load(const Bytes &data)
{
    TPictureCollection c;
    return load(c, data);
}

// A file whose holder has the given properties (written by fill) and nothing else.
Bytes holderFile(const std::function<void(ComponentStreamWriter &)> &fill, const std::string &holderName = "")
{
    ComponentStreamWriter w;
    w.resourceHeader("X");
    w.signature();
    w.objectHeader("TPictureCollectionComponent", holderName);
    fill(w);
    w.end();
    w.end();
    return w.finish();
}

// A file with one picture whose properties are written by fill.
Bytes itemFile(const std::function<void(ComponentStreamWriter &)> &fill)
{
    return holderFile([&](ComponentStreamWriter &w) {
        w.propertyName("List");
        w.beginCollection();
        w.beginItem();
        fill(w);
        w.end();
        w.end();
    });
}

Bytes dib24(int32_t w, int32_t h) { return pictureData("TDIB", encodeDib(gradient(w, h), {.bitCount = 24})); }

} // namespace

TEST(GraphicsFile, WrittenPicturesReadBackWithEveryProperty)
{
    std::vector<PictureEntry> entries;
    entries.push_back(PictureEntry::fromImage("Wall", gradient(126, 40), {.bitCount = 24}));
    entries.back().patternWidth = 40;
    entries.back().skipWidth = 3;
    entries.back().transparentColor = clFuchsia;
    entries.push_back(PictureEntry::fromImage("p", randomIndexed(5, 3, 16, 1), {.bitCount = 4, .runLength = true}, true));
    entries.back().patternHeight = -2;
    entries.back().skipHeight = 70000;
    entries.back().systemMemory = true;
    entries.back().transparent = false;
    entries.back().transparentColor = 0x00123456;
    TPictureCollection c;
    ASSERT_EQ(load(c, writeGraphicsFile(entries, {.orderNumbers = true})), Outcome{});
    ASSERT_EQ(c.Count(), 2);
    const TPictureCollectionItem &wall = c.Items(0);
    EXPECT_EQ(wall.Name(), "Wall");
    EXPECT_EQ(wall.PatternWidth(), 40);
    EXPECT_EQ(wall.SkipWidth(), 3);
    EXPECT_TRUE(wall.Transparent());
    EXPECT_EQ(wall.TransparentColor(), clFuchsia);
    EXPECT_EQ(wall.Picture().Graphic()->className(), "TDIB");
    EXPECT_EQ(wall.Picture().Graphic()->pixelColor(125, 39), toTColor(gradient(126, 40).rgbAt(125, 39)));
    const TPictureCollectionItem &p = c.Items(1);
    EXPECT_EQ(p.PatternHeight(), -2);
    EXPECT_EQ(p.SkipHeight(), 70000);
    EXPECT_TRUE(p.SystemMemory());
    EXPECT_FALSE(p.Transparent());
    EXPECT_EQ(p.TransparentColor(), 0x00123456u);
    EXPECT_EQ(p.Picture().Graphic()->className(), "TBitmap");
    EXPECT_EQ(p.Picture().Width(), 5);
}

TEST(GraphicsFile, SameNameInAnyCaseFindsTheLaterPicture)
{
    TPictureCollection c;
    load(c, writeGraphicsFile({picture("Mouse", 2, 2), picture("mouse", 3, 3)}));
    EXPECT_EQ(&c.Find("MOUSE"), &c.Items(1));
    // Renaming puts an item at the head of its chain: it now wins.
    c.Items(0).setName("MOUSE");
    EXPECT_EQ(&c.Find("mouse"), &c.Items(0));
    try {
        c.Find("cat");
        FAIL();
    } catch (const EPictureCollectionError &e) {
        EXPECT_STREQ(e.what(), "Image 'cat' not found");
    }
}

TEST(GraphicsFile, NameBucketsFollowLengthAndTwoCharacters)
{
    EXPECT_EQ(TPictureCollection::nameBucket(""), 0);
    EXPECT_EQ(TPictureCollection::nameBucket("p"), 16);
    EXPECT_EQ(TPictureCollection::nameBucket("mouse"), (5 * 16 + 'm' + 's') % 256);
    EXPECT_EQ(TPictureCollection::nameBucket("MOUSE"), TPictureCollection::nameBucket("mouse"));
}

TEST(GraphicsFile, ItemsOutsideTheListFail)
{
    TPictureCollection c;
    load(c, writeGraphicsFile({picture("a", 1, 1)}));
    for (int32_t i : {-1, 1}) {
        try {
            c.Items(i);
            FAIL();
        } catch (const EListError &e) {
            EXPECT_EQ(std::string(e.what()), "List index out of bounds (" + std::to_string(i) + ")");
        }
    }
}

TEST(GraphicsFile, UnknownGraphicClassIsAnEmptyPictureAndTheRestLoads)
{
    std::vector<PictureEntry> entries{picture("a", 2, 2), picture("b", 2, 2), picture("c", 2, 2)};
    entries[1].graphicClass = "TJPEGImage";
    entries[1].graphicData = {1, 2, 3, 4, 5};
    entries[2].graphicClass = "TIcon";
    TPictureCollection c;
    ASSERT_EQ(load(c, writeGraphicsFile(entries)), Outcome{});
    EXPECT_TRUE(c.Items(1).Picture().Empty());
    EXPECT_TRUE(c.Items(2).Picture().Empty());
    EXPECT_FALSE(c.Items(0).Picture().Empty());
}

TEST(GraphicsFile, NoListIsAnEmptyCollectionAndASecondLoadReplacesTheFirst)
{
    TPictureCollection c;
    load(c, writeGraphicsFile({picture("a", 1, 1), picture("b", 1, 1)}));
    ASSERT_EQ(c.Count(), 2);
    ASSERT_EQ(load(c, holderFile([](ComponentStreamWriter &) {})), Outcome{});
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(c.findItem("a"), nullptr);
}

TEST(GraphicsFile, LetterCaseRulesAndEveryAcceptedValueCode)
{
    Bytes table(1024, 7);
    Bytes file = holderFile(
        [&](ComponentStreamWriter &w) {
            w.propertyName("tag");
            w.integerAs(4, 5);
            w.propertyName("LEFT");
            w.integerAs(3, -5);
            w.propertyName("Name");
            w.longString("Holder");
            w.propertyName("list.colortable");
            w.binary(table);
            w.propertyName("List");
            w.beginCollection();
            w.beginItem(70000);
            w.propertyName("name");
            w.longString("first");
            w.propertyName("PICTURE.DATA");
            w.binary(dib24(2, 2));
            w.propertyName("transparent");
            w.ident("fALSE");
            w.propertyName("SystemMemory");
            w.ident("TRUE");
            w.propertyName("TransparentColor");
            w.ident("CLBTNFACE");
            w.propertyName("PatternWidth");
            w.integerAs(3, -300);
            w.end();
            w.beginItem();
            w.propertyName("TransparentColor");
            w.integerAs(2, -1);
            w.end();
            w.end();
        },
        "Holder_1");
    TPictureCollection c;
    ASSERT_EQ(load(c, file), Outcome{});
    EXPECT_EQ(c.ColorTable()[1023], 7);
    ASSERT_EQ(c.Count(), 2);
    EXPECT_EQ(c.Items(0).Name(), "first");
    EXPECT_FALSE(c.Items(0).Transparent());
    EXPECT_TRUE(c.Items(0).SystemMemory());
    EXPECT_EQ(c.Items(0).TransparentColor(), clBtnFace);
    EXPECT_EQ(c.Items(0).PatternWidth(), -300);
    EXPECT_EQ(c.Items(1).TransparentColor(), 0xFFFFFFFFu);
}

TEST(GraphicsFile, HolderPrefixAndChildObjectsAreReadThrough)
{
    ComponentStreamWriter w;
    w.resourceHeader(std::string(76, 'N'));
    w.signature();
    w.objectHeader("TPictureCollectionComponent", "", 0xF2, 3);
    w.propertyName("List");
    w.beginCollection();
    w.beginItem();
    w.propertyName("Name");
    w.string("x");
    w.end();
    w.end();
    w.end();
    // One child with values of every code.
    w.objectHeader("TChild", "child", 0xF0);
    w.propertyName("A");
    w.beginList();
    w.integer(1);
    w.extended({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    w.ident("x");
    w.boolean(true);
    w.byte(13);
    w.byte(11);
    w.shortString("s1");
    w.shortString("");
    w.end();
    w.propertyName("B");
    w.beginCollection();
    w.beginItem(1);
    w.propertyName("C");
    w.longString("long");
    w.end();
    w.end();
    w.end();
    w.end();
    w.end();
    TPictureCollection c;
    ASSERT_EQ(load(c, w.finish()), Outcome{});
    EXPECT_EQ(c.Find("X").Name(), "x");
}

struct FileFailure {
    const char *name;
    std::function<Bytes()> file;
    Outcome outcome;
};

class FileFailures : public ::testing::TestWithParam<FileFailure> {};

TEST_P(FileFailures, FailWithTheirClassAndMessage) { EXPECT_EQ(load(GetParam().file()), GetParam().outcome); }

INSTANTIATE_TEST_SUITE_P(
    Table, FileFailures,
    ::testing::Values(
        FileFailure{"EmptyFile", [] { return Bytes{}; }, {"EInvalidImage", "Invalid stream format"}},
        FileFailure{"NotFF",
                    [] {
                        Bytes f = writeGraphicsFile({});
                        f[0] = 0xFE;
                        return f;
                    },
                    {"EInvalidImage", "Invalid stream format"}},
        FileFailure{"TypeNot10",
                    [] {
                        Bytes f = writeGraphicsFile({});
                        f[1] = 11;
                        return f;
                    },
                    {"EInvalidImage", "Invalid stream format"}},
        FileFailure{"ResourceNameTooLong",
                    [] { return writeGraphicsFile({}, {.resourceName = std::string(77, 'N')}); },
                    {"EReadError", "Invalid stream format"}},
        FileFailure{"NoSignature",
                    [] {
                        Bytes f = writeGraphicsFile({}, {.resourceName = "X"});
                        f[11] = 'X'; // the stream starts 10 bytes after the name's first character
                        return f;
                    },
                    {"EReadError", "Invalid stream format"}},
        FileFailure{"UnknownHolderProperty",
                    [] {
                        return holderFile([](ComponentStreamWriter &w) {
                            w.propertyName("Width");
                            w.integer(1);
                        });
                    },
                    {"EReadError", "Error reading TPictureCollectionComponent.Width: Property does not exist"}},
        FileFailure{"UnknownPropertyOfANamedHolder",
                    [] {
                        return holderFile([](ComponentStreamWriter &w) {
                            w.propertyName("Bogus");
                            w.integer(1);
                        }, "Images");
                    },
                    {"EReadError", "Error reading Images.Bogus: Property does not exist"}},
        FileFailure{"UnknownItemProperty", [] { return itemFile([](ComponentStreamWriter &w) {
                                                  w.propertyName("Colour");
                                                  w.integer(1);
                                              }); },
                    {"EReadError", "Error reading TPictureCollectionItem.Colour: Property does not exist"}},
        FileFailure{"WrongValueCode", [] { return itemFile([](ComponentStreamWriter &w) {
                                              w.propertyName("PatternWidth");
                                              w.string("40");
                                          }); },
                    {"EReadError", "Error reading TPictureCollectionItem.PatternWidth: Invalid property value"}},
        FileFailure{"UnknownColourIdentifier", [] { return itemFile([](ComponentStreamWriter &w) {
                                                       w.propertyName("TransparentColor");
                                                       w.ident("clMauve");
                                                   }); },
                    {"EReadError", "Error reading TPictureCollectionItem.TransparentColor: Invalid property value"}},
        FileFailure{"BooleanIdentifierNotTrueOrFalse", [] { return itemFile([](ComponentStreamWriter &w) {
                                                               w.propertyName("Transparent");
                                                               w.ident("Yes");
                                                           }); },
                    {"EReadError", "Error reading TPictureCollectionItem.Transparent: Invalid property value"}},
        FileFailure{"PathThroughANonObject", [] { return itemFile([](ComponentStreamWriter &w) {
                                                     w.propertyName("Name.Data");
                                                     w.string("x");
                                                 }); },
                    {"EReadError", "Error reading TPictureCollectionItem.Data: Invalid property path"}},
        FileFailure{"HolderPathThroughANonObject",
                    [] {
                        return holderFile([](ComponentStreamWriter &w) {
                            w.propertyName("Tag.Value");
                            w.integer(1);
                        });
                    },
                    {"EReadError", "Error reading TPictureCollectionComponent.Value: Invalid property path"}},
        FileFailure{"ListNotACollection",
                    [] {
                        return holderFile([](ComponentStreamWriter &w) {
                            w.propertyName("List");
                            w.integer(1);
                        });
                    },
                    {"EReadError", "Error reading TPictureCollectionComponent.List: Invalid property value"}},
        FileFailure{"EntryWithoutListCode",
                    [] {
                        return holderFile([](ComponentStreamWriter &w) {
                            w.propertyName("List");
                            w.beginCollection();
                            w.string("x");
                        });
                    },
                    {"EReadError", "Error reading TPictureCollectionComponent.List: Invalid property value"}},
        FileFailure{"PictureDataBadDib", [] { return itemFile([](ComponentStreamWriter &w) {
                                                 w.propertyName("Picture.Data");
                                                 w.binary(pictureData("TDIB", {13, 0, 0, 0}));
                                             }); },
                    {"EReadError", "Error reading TPictureCollectionItem.Data: DIB is invalid"}},
        FileFailure{"PictureDataTwoBits", [] { return itemFile([](ComponentStreamWriter &w) {
                                                  Bytes dib = encodeDib(randomIndexed(1, 1, 2, 1), {.bitCount = 1, .colorsUsed = 2});
                                                  dib[14] = 2;
                                                  w.propertyName("Picture.Data");
                                                  w.binary(pictureData("TDIB", dib));
                                              }); },
                    {"EReadError", "Error reading TPictureCollectionItem.Data: Bitcount in invalid (2)"}},
        FileFailure{"InvalidHolderName", [] { return holderFile([](ComponentStreamWriter &) {}, "9lives"); },
                    {"EComponentError", "''9lives'' is not a valid component name"}},
        FileFailure{"ColorTableTooShort",
                    [] {
                        return holderFile([](ComponentStreamWriter &w) {
                            w.propertyName("List.ColorTable");
                            w.binary(Bytes(1023, 0));
                        });
                    },
                    {"EReadError", "Error reading TPictureCollectionComponent.ColorTable: Stream read error"}}),
    [](const auto &entry) { return std::string(entry.param.name); });

// Cutting a valid file short at every byte gives the error of the part that is cut, never a crash.
TEST(GraphicsFile, EveryTruncationGivesItsError)
{
    struct Segment {
        size_t end; // exclusive
        Outcome outcome;
    };
    std::vector<Segment> segments;
    ComponentStreamWriter w;
    const Outcome header{"EInvalidImage", "Invalid stream format"};
    const Outcome signature{"EReadError", "Invalid stream format"};
    const Outcome bare{"EReadError", "Stream read error"};
    auto in = [](const char *object, const char *property) {
        return Outcome{"EReadError", std::string("Error reading ") + object + "." + property + ": Stream read error"};
    };
    auto mark = [&](const Outcome &o) { segments.push_back({w.size(), o}); };
    const Outcome list = in("H", "List"); // the holder by its own name

    w.resourceHeader("AB");
    segments.push_back({3, header}); // up to the resource type
    mark(signature);
    w.signature();
    mark(signature);
    w.objectHeader("TPictureCollectionComponent", "H");
    mark(bare);
    w.propertyName("List.ColorTable");
    mark(bare);
    w.binary(Bytes(1024, 1));
    mark(in("H", "ColorTable"));
    w.propertyName("List");
    mark(bare);
    w.beginCollection();
    w.beginItem(1);
    w.propertyName("Name");
    mark(list);
    w.string("one");
    mark(in("TPictureCollectionItem", "Name"));
    w.propertyName("Picture.Data");
    mark(list);
    w.binary(pictureData("TDIB", encodeDib(randomIndexed(3, 2, 16, 5), {.bitCount = 4, .runLength = true})));
    mark(in("TPictureCollectionItem", "Data"));
    w.propertyName("TransparentColor");
    mark(list);
    w.ident("clRed");
    mark(in("TPictureCollectionItem", "TransparentColor"));
    w.end();
    w.beginItem();
    w.propertyName("Picture.Data");
    mark(list);
    w.binary(pictureData("TBitmap", encodeBitmap(gradient(2, 2), {.bitCount = 16})));
    mark(in("TPictureCollectionItem", "Data"));
    w.propertyName("SkipWidth");
    mark(list);
    w.integerAs(4, 9);
    mark(in("TPictureCollectionItem", "SkipWidth"));
    w.end();
    w.end();
    mark(list);
    w.end();
    w.end();
    mark(bare);
    Bytes file = w.finish();

    ASSERT_EQ(load(file), Outcome{});
    size_t segment = 0;
    for (size_t cut = 0; cut < file.size(); ++cut) {
        while (cut >= segments[segment].end)
            ++segment;
        Bytes part(file.begin(), file.begin() + std::ptrdiff_t(cut));
        ASSERT_EQ(load(part), segments[segment].outcome) << "cut at " << cut;
    }
}

namespace {

// What a collection holds, picture by picture, for comparing two loads.
std::vector<std::string> contents(const TPictureCollection &c)
{
    std::vector<std::string> out;
    for (int32_t i = 0; i < c.Count(); ++i) {
        const TPictureCollectionItem &item = c.Items(i);
        std::string line = item.Name() + " " + std::to_string(item.PatternWidth()) + " "
                           + std::to_string(item.TransparentColor()) + " " + std::to_string(item.Picture().Width()) + "x"
                           + std::to_string(item.Picture().Height()) + ":";
        if (const TGraphic *g = item.Picture().Graphic())
            for (int32_t y = 0; y < g->Height(); ++y)
                for (int32_t x = 0; x < g->Width(); ++x)
                    line += std::to_string(g->pixelColor(x, y)) + ",";
        out.push_back(std::move(line));
    }
    return out;
}

} // namespace

// A file on disk is read as it is parsed and its pages handed back as the pictures copy them: it
// loads exactly what its bytes load in memory, whole, cut short or with bytes changed, pictures
// larger and smaller than one read.
TEST(GraphicsFile, FileReadAsItIsParsedLoadsWhatItsBytesLoad)
{
    qmtest::TempDir dir;
    std::mt19937 random(41);
    for (int round = 0; round < 8; ++round) {
        std::vector<PictureEntry> entries;
        const int count = 1 + int(random() % 5);
        for (int i = 0; i < count; ++i) {
            const int32_t w = 1 + int32_t(random() % 260), h = 1 + int32_t(random() % 200);
            if (random() % 2)
                entries.push_back(PictureEntry::fromImage("p" + std::to_string(i), gradient(w, h), {.bitCount = 24}));
            else
                entries.push_back(PictureEntry::fromImage("q" + std::to_string(i), randomIndexed(w, h, 16, unsigned(random())),
                                                          {.bitCount = 8, .runLength = random() % 2 == 0}));
            entries.back().patternWidth = int32_t(random() % 40);
            entries.back().transparentColor = TColor(random() & 0xFFFFFF);
        }
        const Bytes whole = writeGraphicsFile(entries);
        std::vector<Bytes> variants{whole};
        for (int k = 0; k < 3; ++k)
            variants.emplace_back(whole.begin(), whole.begin() + std::ptrdiff_t(random() % whole.size()));
        for (int k = 0; k < 3; ++k) {
            Bytes changed = whole;
            changed[random() % changed.size()] ^= uint8_t(1 + random() % 255);
            variants.push_back(std::move(changed));
        }
        for (size_t v = 0; v < variants.size(); ++v) {
            const std::string path = dir.path("t.dxg");
            qmtest::writeFile(path, variants[v]);
            TPictureCollection inMemory, fromFile;
            const Outcome expected = load(inMemory, variants[v]);
            Outcome got;
            try {
                fromFile.LoadFromFile(path);
            } catch (const Error &e) {
                got = {e.className(), e.what()};
            }
            ASSERT_EQ(got, expected) << "round " << round << ", variant " << v;
            ASSERT_EQ(contents(fromFile), contents(inMemory)) << "round " << round << ", variant " << v;
        }
    }
}

// Read as it is parsed, a file the user may not read is still refused before anything is cleared: the
// pictures loaded before stay, and the message names the file and the reason.
TEST(GraphicsFile, AFileTheUserMayNotReadIsRefusedAndThePicturesStay)
{
    if (!qmtest::runsAsPlainUser())
        return;
    qmtest::TempDir dir;
    const std::string readable = dir.path("a.dxg"), denied = dir.path("b.dxg");
    qmtest::writeFile(readable, writeGraphicsFile({PictureEntry::fromImage("p", gradient(8, 8), {.bitCount = 24})}));
    qmtest::writeFile(denied, writeGraphicsFile({PictureEntry::fromImage("q", gradient(4, 4), {.bitCount = 24})}));
    ::chmod(denied.c_str(), 0200);
    TPictureCollection pictures;
    pictures.LoadFromFile(readable);
    const auto before = contents(pictures);
    try {
        pictures.LoadFromFile(denied);
        ADD_FAILURE() << "an unreadable file loaded";
    } catch (const Error &e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + denied + ": File access denied");
    }
    EXPECT_EQ(contents(pictures), before);
}
