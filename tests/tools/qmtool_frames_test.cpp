// Frames of the editor as qmtool draws them, compared with golden checksums of frames that were
// looked at and found right. A change of any pixel shows here. QM_PRINT_GOLDEN=1 prints the checksums
// of the frames drawn, QM_KEEP_FRAMES=1 keeps the images to look at.

#include "levels/levelsfile.h"
#include "levels/levelstore.h"

#include "framepictures.h"
#include "tempdir.h"

#include <QProcess>
#include <cstdio>
#include <gtest/gtest.h>

using namespace qm;

namespace {

uint64_t fnv1a(const std::vector<uint8_t> &bytes)
{
    uint64_t hash = 1469598103934665603ull;
    for (uint8_t b : bytes)
        hash = (hash ^ b) * 1099511628211ull;
    return hash;
}

struct Frame {
    const char *name;
    int level;
    QStringList options;
    uint64_t golden;
};

// Level 1: 30 x 20 with a second-pass cell, a picture with skips, an 80-wide picture and a missing
// pattern. Level 2: 10 x 8, smaller than the map. Written as frames.lev beside the synthetic
// Editor.dxg and computer.dxg.
void writeSyntheticGame(const qmtest::TempDir &dir)
{
    qmtest::writeFile(dir.path("Editor.dxg"), qmtest::syntheticEditor());
    qmtest::writeFile(dir.path("computer.dxg"), qmtest::syntheticTheme());
    initStore();
    levelsinfo = Tlevels{};
    resetstore();
    addlevel();
    addlevel();
    tlevel &big = levels[1];
    big.width = 30;
    big.height = 20;
    *big.cellAt(2, 2) = cell{20, 0, 102, 1};
    *big.cellAt(2, 3) = cell{13, 0, 100, 0};
    *big.cellAt(5, 5) = cell{21, 0, 100, 0};
    *big.cellAt(6, 6) = cell{20, 0, 100, 9};
    for (int c = 1; c <= 30; ++c)
        big.cellAt(20, c)->tile = 12 + c;
    levels[2].width = 10;
    levels[2].height = 8;
    levels[2].cellAt(1, 1)->tile = 14;
    levelsfilepath = dir.path("frames.lev");
    writelevelsfile();
}

class QmtoolFrames : public ::testing::TestWithParam<Frame> {
protected:
    static void SetUpTestSuite()
    {
        dir = new qmtest::TempDir;
        writeSyntheticGame(*dir);
    }
    static void TearDownTestSuite()
    {
        if (qEnvironmentVariableIsSet("QM_KEEP_FRAMES"))
            std::printf("frames kept in %s\n", dir->release().c_str());
        delete dir;
    }
    static qmtest::TempDir *dir;
};

qmtest::TempDir *QmtoolFrames::dir = nullptr;

TEST_P(QmtoolFrames, MatchesTheGoldenFrame)
{
    const Frame &frame = GetParam();
    const std::string out = dir->path(std::string(frame.name) + ".ppm");
    QStringList args{"lev", "frame", QString::fromStdString(dir->path("frames.lev")), QString::number(frame.level),
                     QString::fromStdString(out), "--gamedir", QString::fromStdString(dir->path())};
    args += frame.options;
    QProcess tool;
    tool.start(QMTOOL_PATH, args);
    ASSERT_TRUE(tool.waitForFinished(60000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().constData();
    const uint64_t hash = fnv1a(qmtest::readFile(out));
    if (qEnvironmentVariableIsSet("QM_PRINT_GOLDEN"))
        std::printf("%s 0x%016llxull\n", frame.name, static_cast<unsigned long long>(hash));
    EXPECT_EQ(hash, frame.golden) << "frame " << frame.name << " changed (QM_KEEP_FRAMES=1 keeps it)";
}

INSTANTIATE_TEST_SUITE_P(
    Frames, QmtoolFrames,
    ::testing::Values(
        Frame{"Plain", 1, {"--pointer", "300,200"}, 0x34fc7d43a613ce92ull},
        Frame{"Plain16", 1, {"--pointer", "300,200", "--depth", "16"}, 0xa2da8af4edcbad06ull},
        Frame{"Scrolled", 1, {"--view", "12.5,7", "--pointer", "300,200", "--palscroll", "11", "--palette", "2,13"}, 0x8a3c8b5b8269cbdaull},
        Frame{"SmallLevel", 2, {"--pointer", "300,200"}, 0x652122ed4a0dca72ull},
        Frame{"SmallLevel16", 2, {"--pointer", "300,200", "--depth", "16"}, 0x9e285b9dbab18b72ull},
        Frame{"ZoneUp", 1, {"--view", "80,80", "--pointer", "300,10", "--lag", "20"}, 0x72c584d356fec4c2ull},
        Frame{"ZoneDown", 1, {"--pointer", "300,470", "--lag", "20"}, 0xc1be6614baf828d2ull},
        Frame{"ZoneLeft", 1, {"--view", "80,80", "--pointer", "10,200", "--lag", "20"}, 0x6bd17904630deb42ull},
        Frame{"ZonePanel", 1, {"--pointer", "700,200"}, 0x191ce17b29fd754eull},
        Frame{"ZoneRightBand", 1, {"--pointer", "770,200", "--lag", "40"}, 0x719033fc4a2a14b2ull},
        Frame{"Overlays", 1, {"--view", "12.5,7", "--pointer", "300,200", "--palette", "1,2", "--overlays"}, 0x8af066d989974582ull},
        Frame{"OverlaysNamed", 1, {"--view", "12.5,7", "--pointer", "300,200", "--palette", "1,2", "--overlays=grid"}, 0x8af066d989974582ull},
        Frame{"Reach", 1, {"--pointer", "300,200", "--overlays=reach"}, 0xc8689e3208e78992ull},
        Frame{"Reach16", 1, {"--pointer", "300,200", "--overlays=reach", "--depth", "16"}, 0xfd69a92d118f93f6ull},
        Frame{"ReachAndGrid", 1, {"--view", "12.5,7", "--pointer", "300,200", "--overlays=grid,reach"}, 0x6e25ba12a2d83cf6ull}),
    [](const auto &entry) { return std::string(entry.param.name); });

} // namespace

namespace {

// A binary PPM as qmtool writes it: "P6\n<width> <height>\n255\n", then RGB bytes.
struct Ppm {
    int width = 0, height = 0;
    std::vector<uint8_t> bytes;
    size_t data = 0;

    explicit Ppm(const std::string &path) : bytes(qmtest::readFile(path))
    {
        const std::string text(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 32));
        int consumed = 0;
        if (std::sscanf(text.c_str(), "P6 %d %d 255%n", &width, &height, &consumed) == 2 && consumed > 0)
            data = size_t(consumed) + 1;
        if (data + size_t(width) * size_t(height) * 3 > bytes.size())
            width = height = 0;
    }
    uint32_t rgb(int x, int y) const
    {
        const uint8_t *p = &bytes[data + (size_t(y) * size_t(width) + size_t(x)) * 3];
        return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
};

// Runs qmtool; an empty text when it exits 0, else its status and what it printed on standard error.
std::string runQmtool(const QStringList &args)
{
    QProcess tool;
    tool.start(QMTOOL_PATH, args);
    if (!tool.waitForFinished(60000))
        return "qmtool did not finish";
    if (tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0)
        return {};
    return "exit " + std::to_string(tool.exitCode()) + ": " + tool.readAllStandardError().toStdString();
}

// The pixels of a sheet's first thumbnail (--size 4, level 1 of width x height squares) that differ
// from lev render's drawing of level 1 sampled at the middle of each quarter of a square.
int firstThumbnailAgainstRender(const Ppm &sheet, const Ppm &full, int width, int height)
{
    if (full.width != width * 40 || full.height != height * 40 || sheet.width < 8 + width * 4)
        return -1;
    const int left = 8, top = 8 + 7 + 3; // the margin, the label and its gap
    int differing = 0;
    for (int y = 0; y < height * 4; ++y)
        for (int x = 0; x < width * 4; ++x)
            differing += sheet.rgb(left + x, top + y) != full.rgb(x / 4 * 40 + 5 + x % 4 * 10, y / 4 * 40 + 5 + y % 4 * 10);
    return differing;
}

} // namespace

// The sheet of a file drawn with the synthetic pictures, looked at and found right: every level under
// its number and name. QM_PRINT_GOLDEN=1 prints its checksum. Its first thumbnail is lev render's
// drawing of level 1 sampled at the middle of each quarter of a square; that holds for the sample
// file and its generated artwork too, whose pixels are compared with each other but never with a
// recorded checksum (they are drawn with antialiasing, which differs between machines).
TEST(QmtoolSheet, MatchesTheGoldenAndTheRenderedLevel)
{
    qmtest::TempDir dir;
    writeSyntheticGame(dir);
    const QString file = QString::fromStdString(dir.path("frames.lev"));
    const QString gamedir = QString::fromStdString(dir.path());
    const QString out = QString::fromStdString(dir.path("sheet.ppm"));
    const QString render = QString::fromStdString(dir.path("render.ppm"));
    ASSERT_EQ(runQmtool({"lev", "render", file, "1", render, "--gamedir", gamedir}), "");
    ASSERT_EQ(runQmtool({"lev", "sheet", file, out, "--columns", "1", "--size", "4", "--gamedir", gamedir}), "");
    const uint64_t hash = fnv1a(qmtest::readFile(out.toStdString()));
    if (qEnvironmentVariableIsSet("QM_PRINT_GOLDEN"))
        std::printf("Sheet 0x%016llxull\n", static_cast<unsigned long long>(hash));
    EXPECT_EQ(hash, 0x5bf5abad74e39981ull) << "the sheet changed: look at it and renew the checksum";
    EXPECT_EQ(firstThumbnailAgainstRender(Ppm(out.toStdString()), Ppm(render.toStdString()), 30, 20), 0);

    ASSERT_EQ(runQmtool({"lev", "render", QM_GAME_DIR "/Sample.lev", "1", render}), "");
    ASSERT_EQ(runQmtool({"lev", "sheet", QM_GAME_DIR "/Sample.lev", out, "--columns", "4", "--size", "4"}), "");
    EXPECT_EQ(firstThumbnailAgainstRender(Ppm(out.toStdString()), Ppm(render.toStdString()), 24, 14), 0);

    QProcess tool;
    tool.start(QMTOOL_PATH, {"lev", "sheet", QM_GAME_DIR "/Sample.lev", out, "--size", "41"});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(tool.readAllStandardError().startsWith("--size takes a number from 1 to 40"));
}

// A level walled off in its right part: with --overlays=reach the squares behind the wall are shaded,
// those beside the start, the wall and the palette panel are as without it; a hashed frame of the
// synthetic pictures, and an unknown overlay is refused.
TEST(QmtoolReach, ShadesWhatCannotBeReached)
{
    qmtest::TempDir dir;
    writeSyntheticGame(dir);
    levelsinfo = Tlevels{};
    resetstore();
    addlevel();
    tlevel &level = levels[1];
    level.width = 20; // larger than the map, so that the view stays at 0, 0
    level.height = 14;
    level.startx = level.starty = 40 + 20; // square 2, 2
    for (int r = 1; r <= 14; ++r)
        level.cellAt(r, 8)->tile = 41; // a wall that never moves or breaks
    level.cellAt(4, 4)->tile = 20;     // a boulder: reached only by moving it
    levelsfilepath = dir.path("reach.lev");
    writelevelsfile();
    const QString gamedir = QString::fromStdString(dir.path());
    const QString off = QString::fromStdString(dir.path("off.ppm")), on = QString::fromStdString(dir.path("on.ppm"));
    const QStringList common{"lev", "frame", QString::fromStdString(levelsfilepath), "1"};
    const QStringList options{"--gamedir", gamedir, "--pointer", "300,200"};
    ASSERT_EQ(runQmtool(common + QStringList{off} + options), "");
    ASSERT_EQ(runQmtool(common + QStringList{on} + options + QStringList{"--overlays=reach"}), "");
    const Ppm plain(off.toStdString()), shaded(on.toStdString());
    ASSERT_EQ(plain.width, 761);
    const auto middle = [](const Ppm &ppm, int r, int c) { return ppm.rgb(40 * (c - 1) + 20, 40 * (r - 1) + 30); };
    EXPECT_NE(middle(shaded, 3, 11), middle(plain, 3, 11)) << "behind the wall";
    EXPECT_NE(middle(shaded, 4, 4), middle(plain, 4, 4)) << "the boulder";
    EXPECT_NE(middle(shaded, 3, 11), middle(shaded, 4, 4)) << "never and obstructed differ";
    EXPECT_EQ(middle(shaded, 3, 3), middle(plain, 3, 3));
    EXPECT_EQ(middle(shaded, 3, 8), middle(plain, 3, 8)) << "the wall";
    int panelDiffers = 0;
    for (int y = 0; y < plain.height; ++y)
        for (int x = 640; x < plain.width; ++x)
            panelDiffers += plain.rgb(x, y) != shaded.rgb(x, y);
    EXPECT_EQ(panelDiffers, 0);
    const uint64_t hash = fnv1a(qmtest::readFile(on.toStdString()));
    if (qEnvironmentVariableIsSet("QM_PRINT_GOLDEN"))
        std::printf("WalledOff 0x%016llxull\n", static_cast<unsigned long long>(hash));
    EXPECT_EQ(hash, 0x76fc21895f661c93ull);
    EXPECT_NE(runQmtool(common + QStringList{on} + options + QStringList{"--overlays=grid,fog"}).find("not \"fog\""),
              std::string::npos);
}
