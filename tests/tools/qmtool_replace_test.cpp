// qmtool lev replace: the count printed, the file written only after every argument was accepted.

#include "levels/levelsfile.h"
#include "levels/levelstore.h"
#include "platform/fileio.h"

#include "plainuser.h"
#include "tempdir.h"
#include "toolrun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

using qmtest::qmtool;
using qmtest::readFile;
using qmtest::TempDir;
using qmtest::ToolRun;

// Three default levels; a wall in level 3.
TEST(QmtoolLevReplace, CountsWritesAndRefusesBeforeWriting)
{
    TempDir dir;
    qm::initStore();
    qm::levelsinfo = qm::Tlevels{};
    qm::resetstore();
    for (int k = 0; k < 3; ++k)
        qm::addlevel();
    qm::levels[3].cellAt(4, 4)->tile = 41;
    qm::levelsfilepath = dir.path("t.lev");
    qm::writelevelsfile();
    const QString file = QString::fromStdString(qm::levelsfilepath);
    const auto original = readFile(qm::levelsfilepath);

    const std::vector<std::pair<QStringList, QByteArray>> refused{
        {{"abc", "41"}, "FROM takes a whole number from 0 to 77, not \"abc\""},
        {{"16", "0"}, "TO takes a whole number from 1 to 77, not \"0\""},
        {{"16", "78"}, "TO takes a whole number from 1 to 77, not \"78\""},
        {{"16", "41", "--pattern", "-1"}, "--pattern takes a whole number from 0 to 2147483647, not \"-1\""},
        {{"16", "41", "--level", "4"}, "Level 4 does not exist: the file holds 3 levels"},
        {{"16", "41", "--level", "0"}, "Level 0 does not exist: the file holds 3 levels"},
    };
    for (const auto &[words, message] : refused) {
        const ToolRun run = qmtool(QStringList{"lev", "replace", file} + words);
        EXPECT_EQ(run.status, 1) << words.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith(message)) << run.err.constData();
        EXPECT_TRUE(run.out.isEmpty());
    }
    ASSERT_EQ(readFile(qm::levelsfilepath), original);

    const std::optional<qm::FileIdentity> before = qm::fileIdentity(qm::levelsfilepath);
    ToolRun none = qmtool({"lev", "replace", file, "63", "16"});
    EXPECT_EQ(none.status, 0) << none.err.constData();
    EXPECT_EQ(none.out, "Replaced 0 squares in 0 levels: the file is left as it was\n");
    EXPECT_EQ(qm::fileIdentity(qm::levelsfilepath), before) << "not written again";
    ToolRun one = qmtool({"lev", "replace", file, "41", "12", "--level", "3", "--pattern", "0"});
    EXPECT_EQ(one.out, "Replaced 1 square in 1 level\n");
    ToolRun all = qmtool({"lev", "replace", file, "16", "12"});
    EXPECT_EQ(all.out, "Replaced 4799 squares in 3 levels\n");
    qm::openlevelsfile(qm::levelsfilepath);
    for (int k = 1; k <= 3; ++k)
        for (int r = 1; r <= 40; ++r)
            for (int c = 1; c <= 40; ++c)
                ASSERT_EQ(qm::levels[k].cellAt(r, c)->tile, 12) << k << " " << r << " " << c;
}

// With the game directory's own pictures: exits, strips and blocks painted over the filling are whole,
// and replacing them by the filling again gives the file back byte for byte.
TEST(QmtoolLevReplace, ObjectsAreWholeAndReplacingBackRestoresTheFile)
{
    TempDir dir;
    const QString file = QString::fromStdString(dir.path("t.lev"));
    ASSERT_EQ(qmtool({"lev", "new", file, "--levels", "2"}).status, 0);
    const auto original = readFile(dir.path("t.lev"));
    for (const char *object : {"63", "29", "31", "37", "40", "68"}) {
        const ToolRun there = qmtool({"lev", "replace", file, "16", object, "--level", "2"});
        ASSERT_EQ(there.status, 0) << there.err.constData();
        const ToolRun check = qmtool({"lev", "check", file, "2", "--json", "--all"});
        for (const QJsonValue finding : QJsonDocument::fromJson(check.out).object()["findings"].toArray())
            EXPECT_FALSE(finding.toObject()["code"].toString().startsWith("object-"))
                << object << ": " << finding.toObject()["message"].toString().toStdString();
        const ToolRun back = qmtool({"lev", "replace", file, object, "16"});
        EXPECT_EQ(back.out.split(' ').value(1), there.out.split(' ').value(1)) << object << ": " << back.out.constData();
        EXPECT_EQ(readFile(dir.path("t.lev")), original) << object;
    }
}

// A file in a folder the user may not write: the replace fails with the writer's message, and the file
// and the folder stay as they were.
TEST(QmtoolLevReplace, AFolderThatCannotBeWrittenKeepsTheFile)
{
    if (!qmtest::runsAsPlainUser())
        return;
    TempDir dir;
    const QString file = QString::fromStdString(dir.path("t.lev"));
    ASSERT_EQ(qmtool({"lev", "new", file}).status, 0);
    const auto original = readFile(dir.path("t.lev"));
    namespace fs = std::filesystem;
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    const ToolRun run = qmtool({"lev", "replace", file, "16", "41"});
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(run.err.trimmed().isEmpty());
    EXPECT_FALSE(run.out.startsWith("Replaced")) << run.out.constData();
    EXPECT_EQ(readFile(dir.path("t.lev")), original);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"t.lev"});
}
