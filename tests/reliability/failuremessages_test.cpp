// Real failures (no fault hook) of the levels file, the Supaplex levels file, the game configuration
// file and the graphics files, each reported with exactly its error class and text and, for the
// levels file, leaving the store as it was. The decoders' and the graphics file reader's own tables
// are tested with the graphics runtime.

#include "framepictures.h"
#include "tempdir.h"

#include "graphics/componentwriter.h"
#include "graphics/dximagelist.h"
#include "graphics/offscreendrawtarget.h"
#include "levels/gameconfig.h"
#include "levels/levelsfile.h"
#include "levels/levelstore.h"
#include "levels/supaplex.h"

#include "platform/errors.h"
#include "platform/fileio.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

using namespace qm;
using qmtest::TempDir;

namespace {

struct Outcome {
    std::string className;
    std::string message;
    bool operator==(const Outcome &) const = default;
};

std::ostream &operator<<(std::ostream &os, const Outcome &o) { return os << o.className << ": " << o.message; }

Outcome outcomeOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Error &e) {
        return {e.className(), e.what()};
    }
    return {};
}

std::string longName(const TempDir &dir) { return dir.path(std::string(300, 'n') + ".lev"); }

std::string storeBytes()
{
    std::array<int32_t, kOffsetCount> offsets{};
    Bytes bytes = levelsFileBytes(offsets);
    return std::string(bytes.begin(), bytes.end()) + std::to_string(saved);
}

// Loads, into a list on a drawing target, a graphics file of `pictures` bitmaps of side x side
// pixels that hold the data of one (qmtest::pictureOfSide).
void loadPictureOfSide(int32_t side, bool cutIntoPatterns, int pictures = 1, int bitCount = 1, bool runLength = false)
{
    PictureEntry entry = qmtest::pictureOfSide(side, bitCount, runLength);
    if (cutIntoPatterns) {
        entry.patternWidth = 40;
        entry.patternHeight = 40;
    }
    const Bytes file = writeGraphicsFile(std::vector<PictureEntry>(size_t(pictures), entry));
    OffscreenDrawTarget target(SurfacePixelFormat::Xrgb8888, 16, 16);
    target.Initialize();
    TDXImageList list;
    list.SetDXDraw(&target);
    list.Items().LoadFromStream(file.data(), file.size());
}

struct FailureCase {
    const char *name;
    std::function<void(const TempDir &dir)> action;
    Outcome expected;
};

void PrintTo(const FailureCase &c, std::ostream *os) { *os << c.name; }

const FailureCase kCases[] = {
    // Levels files, read and written.
    {"LevelsFileReadMissing", [](const TempDir &dir) { levelsfilepath = dir.path("missing.lev"); readlevelsfile(); },
     {"EInOutError", "File not found"}},
    {"LevelsFileReadInMissingDirectory",
     [](const TempDir &dir) { levelsfilepath = dir.path("nowhere/a.lev"); readlevelsfile(); },
     {"EInOutError", "File not found"}},
    {"LevelsFileReadDirectory", [](const TempDir &dir) { levelsfilepath = dir.path("folder"); readlevelsfile(); },
     {"EInOutError", "Not a regular file (it is a directory)"}},
    {"LevelsFileReadNameTooLong", [](const TempDir &dir) { levelsfilepath = longName(dir); readlevelsfile(); },
     {"EInOutError", "Invalid filename"}},
    {"LevelsFileReadEmpty", [](const TempDir &dir) { levelsfilepath = dir.path("empty.lev"); readlevelsfile(); },
     {"EInOutError", "Read beyond end of file"}},
    {"LevelsFileWriteInMissingDirectory",
     [](const TempDir &dir) { levelsfilepath = dir.path("nowhere/a.lev"); writelevelsfile(); },
     {"EInOutError", "File not found"}},
    {"LevelsFileWriteOverDirectory", [](const TempDir &dir) { levelsfilepath = dir.path("folder"); writelevelsfile(); },
     {"EInOutError", "Not a regular file (it is a directory)"}},
    {"LevelsFileWriteNameTooLong", [](const TempDir &dir) { levelsfilepath = longName(dir); writelevelsfile(); },
     {"EInOutError", "Invalid filename"}},
    {"LevelsFileWriteEmptyName", [](const TempDir &) { levelsfilepath = ""; writelevelsfile(); },
     {"EInOutError", "File not found"}},

    // The Supaplex levels file.
    {"SupaplexMissing", [](const TempDir &dir) { readSupaplexFile(dir.path("Levels.dat")); },
     {"EInOutError", "File not found"}},
    {"SupaplexDirectory", [](const TempDir &dir) { readSupaplexFile(dir.path("folder")); },
     {"EInOutError", "Not a regular file (it is a directory)"}},
    {"SupaplexEmpty", [](const TempDir &dir) { readSupaplexFile(dir.path("empty.lev")); },
     {"EInOutError",
      "Read beyond end of file: {dir}empty.lev is 0 bytes: a Supaplex levels file holds records of 1,536 bytes"}},
    {"SupaplexOneByteShortOfALevel",
     [](const TempDir &dir) {
         writeFileSafely(dir.path("Levels.dat"), Bytes(kSupaplexRecord - 1, 1));
         readSupaplexFile(dir.path("Levels.dat"));
     },
     {"EInOutError",
      "Read beyond end of file: {dir}Levels.dat is 1,535 bytes: a Supaplex levels file holds records of 1,536 bytes"}},

    // The game configuration file.
    {"ConfigurationReadDirectory", [](const TempDir &dir) { readgameconfig(dir.path("folder")); },
     {"EInOutError", "Not a regular file (it is a directory)"}},
    {"ConfigurationReadNameTooLong", [](const TempDir &dir) { readgameconfig(longName(dir)); },
     {"EInOutError", "Invalid filename"}},
    {"ConfigurationReadEmpty", [](const TempDir &dir) { readgameconfig(dir.path("empty.lev")); },
     {"EInOutError", "Read beyond end of file"}},
    {"ConfigurationBadNumber",
     [](const TempDir &) {
         initGameConfig();
         std::string text = gameConfigText();
         text.replace(text.find("Speed = 0;"), 10, "Speed = 0x1F;");
         readGameConfigText(text);
     },
     {"EConvertError", "'0x1F' is not a valid integer value"}},
    {"ConfigurationWriteOverDirectory", [](const TempDir &dir) { writegameconfig(dir.path("folder")); },
     {"EInOutError", "Not a regular file (it is a directory)"}},
    {"ConfigurationWriteInMissingDirectory", [](const TempDir &dir) { writegameconfig(dir.path("nowhere/Quillmoss.Cfg")); },
     {"EInOutError", "File not found"}},

    // Graphics files.
    {"GraphicsFileDirectory",
     [](const TempDir &dir) {
         TDXImageList list;
         list.Items().LoadFromFile(dir.path("folder"));
     },
     {"EFOpenError", "Cannot open file {dir}folder: Not a regular file (it is a directory)"}},
    {"GraphicsFilePictureTooLargeForASurface", [](const TempDir &) { loadPictureOfSide(4097, false); },
     {"EDirectDrawSurfaceError", "Surface cannot be made"}},
    // Cutting a picture into blocks of surfaces does not change what can be held: the same picture in
    // small patterns fails the same way, before any of its surfaces is made.
    {"GraphicsFilePictureTooLargeCutIntoPatterns", [](const TempDir &) { loadPictureOfSide(4097, true); },
     {"EDirectDrawSurfaceError", "Surface cannot be made"}},
    // A few bytes of run-length data may not expand beyond what a levels editor can need.
    {"GraphicsFileRunLengthTooLarge", [](const TempDir &) { loadPictureOfSide(16384, false, 1, 8, true); },
     {"EReadError", "Error reading TPictureCollectionItem.Data: Bitmap image is not valid"}},
    // Nor may many pictures that are each allowed, together.
    {"GraphicsFilePicturesTooLargeTogether", [](const TempDir &) { loadPictureOfSide(4000, false, 3, 8, true); },
     {"EReadError", "Error reading TPictureCollectionComponent.List: Surface cannot be made"}},
};

class FailureMessages : public ::testing::TestWithParam<FailureCase> {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(dir.path("folder"));
        writeFileSafely(dir.path("empty.lev"), Bytes{});
        // A store with unsaved work in it, which no failure may touch.
        initStore();
        levelsinfo = Tlevels{};
        levelsinfo.author = "held";
        resetstore();
        addlevel();
        levels[1].cellAt(2, 2)->tile = 40;
        saved = false;
    }
    TempDir dir;
};

} // namespace

TEST_P(FailureMessages, AreExactAndKeepTheStore)
{
    const std::string before = storeBytes();
    Outcome expected = GetParam().expected;
    if (size_t at = expected.message.find("{dir}"); at != std::string::npos)
        expected.message.replace(at, 5, dir.path(""));
    EXPECT_EQ(outcomeOf([&] { GetParam().action(dir); }), expected);
    EXPECT_EQ(storeBytes(), before);
}

INSTANTIATE_TEST_SUITE_P(Files, FailureMessages, ::testing::ValuesIn(kCases),
                         [](const auto &entry) { return std::string(entry.param.name); });
