// qmtool sp as a user runs it: listing a Supaplex levels file and importing one level, a range or all
// of them, with the hero's square, infotrons and titles, and the refusals that write nothing.

#include "levels/levelsfile.h"
#include "levels/levelstore.h"
#include "levels/supaplex.h"

#include "tempdir.h"
#include "toolrun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using qmtest::qmtool;
using qmtest::readFile;
using qmtest::TempDir;
using qmtest::ToolRun;
using qmtest::writeFile;

namespace {

QJsonArray levelsOf(const std::string &file)
{
    const ToolRun info = qmtool({"lev", "info", QString::fromStdString(file)});
    EXPECT_EQ(info.status, 0) << info.err.constData();
    return QJsonDocument::fromJson(info.out).object()["levels"].toArray();
}

// n records: record n titled "-- LEVEL n --", its hero at row n % 20 + 1, column n + 1 when n < 58,
// 3 infotrons inside, and byte 1,470 = n % 3 (so every third record needs all of its infotrons).
std::vector<uint8_t> collection(int records)
{
    std::vector<uint8_t> bytes(size_t(records) * qm::kSupaplexRecord, 2);
    for (int n = 1; n <= records; ++n) {
        uint8_t *record = bytes.data() + size_t(n - 1) * qm::kSupaplexRecord;
        if (n < 58)
            record[60 * (n % 20 + 1) + n + 1] = qm::kSupaplexHero;
        record[60 * 22 + 1] = record[60 * 22 + 2] = record[60 * 22 + 3] = qm::kSupaplexInfotron;
        std::string title = "-- LEVEL " + std::to_string(n) + " --";
        title.resize(qm::kSupaplexTitleLength, ' ');
        std::copy(title.begin(), title.end(), record + qm::kSupaplexTitleAt);
        record[qm::kSupaplexInfotronsAt] = uint8_t(n % 3);
    }
    return bytes;
}

QString path(const TempDir &dir, const char *name) { return QString::fromStdString(dir.path(name)); }

} // namespace

TEST(QmtoolSp, ListShowsSingleRecordAndPartialRecordFiles)
{
    TempDir dir;
    writeFile(dir.path("one.dat"), collection(1));
    const ToolRun one = qmtool({"sp", "list", path(dir, "one.dat")});
    ASSERT_EQ(one.status, 0) << one.err.constData();
    EXPECT_EQ(one.out, "1 -- LEVEL 1 --          \n");
    EXPECT_TRUE(one.err.isEmpty());

    std::vector<uint8_t> partial = collection(4);
    partial.resize(partial.size() + 9, 0);
    writeFile(dir.path("partial.dat"), partial);
    const ToolRun four = qmtool({"sp", "list", path(dir, "partial.dat")});
    ASSERT_EQ(four.status, 0);
    EXPECT_EQ(four.out.count('\n'), 4);
    EXPECT_EQ(four.err, "The last 9 bytes of the file are not a whole level of 1536 bytes and were ignored.\n");

    writeFile(dir.path("short.dat"), std::vector<uint8_t>(qm::kSupaplexRecord - 1, 0));
    const ToolRun tooShort = qmtool({"sp", "list", path(dir, "short.dat")});
    EXPECT_EQ(tooShort.status, 1);
    EXPECT_EQ(tooShort.err, "Read beyond end of file: " + path(dir, "short.dat").toUtf8()
                                + " is 1,535 bytes: a Supaplex levels file holds records of 1,536 bytes\n");
}

// all with --hero --title: every level with its hero's square, infotrons needed and title.
TEST(QmtoolSp, ImportAllWithHeroAndTitle)
{
    TempDir dir;
    writeFile(dir.path("Levels.dat"), collection(qm::kSupaplexLevels));
    const ToolRun run = qmtool({"sp", "import", path(dir, "Levels.dat"), "all", path(dir, "out.lev"), "--hero", "--title"});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    const QJsonArray levels = levelsOf(dir.path("out.lev"));
    ASSERT_EQ(levels.size(), qm::kSupaplexLevels);
    for (int n = 1; n <= qm::kSupaplexLevels; ++n) {
        const QJsonObject level = levels[n - 1].toObject();
        EXPECT_EQ(level["name"].toString(), QString("LEVEL %1").arg(n));
        EXPECT_EQ(level["infotrons"].toInt(), n % 3 ? n % 3 : 3) << n;
        EXPECT_EQ(level["startx"].toInt(), n < 58 ? 40 * (n + 1) + 20 : 100) << n;
        EXPECT_EQ(level["starty"].toInt(), n < 58 ? 40 * (n % 20 + 1) + 20 : 100) << n;
    }
    // The levels without a hero are named on standard error.
    EXPECT_TRUE(run.err.contains("Supaplex level 58: no hero; the start square is left as it is.\n"));
    EXPECT_FALSE(run.err.contains("Supaplex level 57:"));
}

// A range appends in order after the levels already there, named by --name only for one level; without
// --hero and --title the specified import: start 100, 0 infotrons, "Untitled".
TEST(QmtoolSp, ImportSeveralLevelsOfARangeAfterOneNamedLevel)
{
    TempDir dir;
    writeFile(dir.path("Levels.dat"), collection(20));
    const QString out = path(dir, "out.lev");
    ASSERT_EQ(qmtool({"sp", "import", path(dir, "Levels.dat"), "3", out, "--name", "Third", "--dxg", "forest.dxg"}).status, 0);
    const ToolRun range = qmtool({"sp", "import", path(dir, "Levels.dat"), "5-7", out, "--hero"});
    ASSERT_EQ(range.status, 0) << range.err.constData();
    const QJsonArray levels = levelsOf(out.toStdString());
    ASSERT_EQ(levels.size(), 4);
    EXPECT_EQ(levels[0].toObject()["name"].toString(), "Third");
    EXPECT_EQ(levels[0].toObject()["dxg"].toString(), "forest.dxg");
    EXPECT_EQ(levels[0].toObject()["startx"].toInt(), 100);
    EXPECT_EQ(levels[0].toObject()["infotrons"].toInt(), 0);
    for (int i = 1; i <= 3; ++i) {
        const int n = 4 + i;
        const QJsonObject level = levels[i].toObject();
        EXPECT_EQ(level["name"].toString(), "Untitled");
        EXPECT_EQ(level["startx"].toInt(), 40 * (n + 1) + 20);
        EXPECT_EQ(level["infotrons"].toInt(), n % 3 ? n % 3 : 3);
    }
}

// Refusals come before anything is written: the file stays as it was, or is not made.
TEST(QmtoolSp, SeveralLevelsPastTwoHundredAndBadOptionsAreRefusedBeforeWriting)
{
    TempDir dir;
    writeFile(dir.path("Levels.dat"), collection(qm::kSupaplexLevels));
    writeFile(dir.path("few.dat"), collection(2));
    const QString out = path(dir, "out.lev");
    ASSERT_EQ(qmtool({"sp", "import", path(dir, "Levels.dat"), "1-100", out}).status, 0);
    const std::vector<uint8_t> before = readFile(out.toStdString());

    struct Refusal {
        QStringList args;
        const char *says;
    };
    const QString dat = path(dir, "Levels.dat");
    const Refusal refusals[] = {
        {{dat, "1-101", out}, "Importing 101 levels would make this levels file hold 201 levels"},
        {{dat, "all", out}, "Nothing was imported."},
        {{dat, "2-3", out, "--name", "Both"}, "--name names one level"},
        {{dat, "2", out, "--name", "A", "--title"}, "--name and --title both name the level"},
        {{dat, "2", out, "--name", QString(256, 'x')}, "--name holds 256 characters; a levels file stores at most 255"},
        {{dat, "2", out, "--dxg", "../forest.dxg"}, "a plain file name"},
        {{dat, "2", out, "--dxg", "themes\\forest.dxg"}, "without / or \\"},
        {{dat, "2", out, "--dxg", ".."}, "not . or .."},
        {{dat, "2", out, "--dxg", "."}, "not . or .."},
        {{dat, "0", out}, "N is a level of the Supaplex file"},
        {{dat, "7-3", out}, "A-B a range of them"},
        {{dat, "112", out}, "1 to 111"},
        {{dat, "1-2-3", out}, "usage: qmtool sp import"},
        {{path(dir, "few.dat"), "2-3", out}, "The Supaplex file holds 2 levels: there is no level 3."},
    };
    for (const Refusal &refusal : refusals) {
        const ToolRun run = qmtool(QStringList{"sp", "import"} + refusal.args);
        EXPECT_EQ(run.status, 1) << refusal.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(refusal.says)) << run.err.constData();
        EXPECT_EQ(readFile(out.toStdString()), before) << refusal.args.join(' ').toStdString();
    }
    // 255 bytes is the longest name and goes in.
    ASSERT_EQ(qmtool({"sp", "import", dat, "2", out, "--name", QString(255, 'y')}).status, 0);
    EXPECT_EQ(levelsOf(out.toStdString())[100].toObject()["name"].toString(), QString(255, 'y'));
}

// Imported whole into a levels file, written, read again and exported, every record comes back byte
// for byte: our generated levels file, and a real level from a recording (read as its record alone).
TEST(QmtoolSp, WholeImportAndExportGiveTheRecordsBack)
{
    TempDir dir;
    const QString levels = QM_GAME_DIR "/Levels.dat";
    ToolRun run = qmtool({"sp", "import", levels, "all", path(dir, "all.lev"), "--whole"});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    run = qmtool({"sp", "export", path(dir, "all.lev"), "all", path(dir, "back.dat")});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    EXPECT_TRUE(readFile(dir.path("back.dat")) == readFile(levels.toStdString()));

    // A recording's solution comes with its level, into the solutions file, and goes out with it again.
    const std::string recording = QM_SHARED_GAME_DIR "/solutions/00/00s001-b.sp";
    run = qmtool({"sp", "import", QString::fromStdString(recording), "1", path(dir, "one.lev"), "--whole"});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    EXPECT_EQ(run.err, "The recorded solution after the level is kept as its solution when the level is imported whole.\n");
    run = qmtool({"lev", "play", path(dir, "one.lev"), "1"});
    EXPECT_EQ(run.status, 0) << run.out.constData() << run.err.constData();
    run = qmtool({"sp", "export", path(dir, "one.lev"), "1", path(dir, "one.SP")});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    const std::vector<uint8_t> original = readFile(recording), exported = readFile(dir.path("one.SP"));
    ASSERT_GT(exported.size(), qm::kSupaplexRecord + 1);
    EXPECT_TRUE(std::equal(exported.begin(), exported.begin() + qm::kSupaplexRecord, original.begin()));
    // The input, end mark included, as recorded (the level number and a signature may differ).
    EXPECT_TRUE(std::equal(exported.begin() + qm::kSupaplexRecord + 1, exported.end(),
                           original.begin() + qm::kSupaplexRecord + 1));
    run = qmtool({"sp", "play", path(dir, "one.SP")});
    EXPECT_EQ(run.status, 0) << run.out.constData();

    // Several levels for one .sp, and a level larger than the game's, are refused before anything is
    // written.
    run = qmtool({"sp", "export", path(dir, "all.lev"), "1-2", path(dir, "two.sp")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "A .sp file holds one level; 2 were chosen. Export several levels as a levels file.\n");
    run = qmtool({"lev", "new", path(dir, "own.lev")});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    run = qmtool({"sp", "export", path(dir, "own.lev"), "1", path(dir, "own.dat")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.startsWith("Level 1 cannot be exported to Supaplex: it is 40 x 40 squares")) << run.err.constData();
    EXPECT_FALSE(QFileInfo::exists(path(dir, "own.dat")));
}
