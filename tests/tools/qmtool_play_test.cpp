// qmtool sp play as a user runs it: recorded solutions replayed, one line or one JSON entry a file,
// and the exit status that says whether every one finished.

#include "tempdir.h"
#include "toolrun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using qmtest::qmtool;
using qmtest::TempDir;
using qmtest::ToolRun;

namespace {

const QString kSolutions = QString(QM_GAME_DATA) + "/solutions/00/";

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void write(const std::string &path, const QByteArray &bytes)
{
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(QmtoolPlay, EveryRecordedSolutionOfTheOriginalLevelsFinishes)
{
    QStringList args{"sp", "play", "--json"};
    for (const QString &name : QDir(kSolutions).entryList({"*.sp"}, QDir::Files, QDir::Name))
        args << kSolutions + name;
    ASSERT_EQ(args.size(), 3 + 334);
    const ToolRun run = qmtool(args);
    EXPECT_EQ(run.status, 0) << run.err.constData();
    const QJsonArray results = QJsonDocument::fromJson(run.out).array();
    ASSERT_EQ(results.size(), 334);
    for (const QJsonValue &result : results)
        EXPECT_TRUE(result["finished"].toBool()) << result["file"].toString().toStdString() << ": "
                                                 << result["why"].toString().toStdString();
}

TEST(QmtoolPlay, LinesSayWhyARunDidNotFinishAndTheStatusFollows)
{
    TempDir dir;
    // The shortest solution of level 18 with its input cut after the first byte: the hero takes the
    // infotron, and the recording ends before he reaches the exit.
    QByteArray cut = bytesOf(kSolutions + "00s018-d.sp").left(1536 + 2);
    cut.append(char(0xFF));
    write(dir.path("cut.sp"), cut);
    write(dir.path("short.sp"), QByteArray(100, 0));

    const ToolRun finished = qmtool({"sp", "play", kSolutions + "00s018-d.sp"});
    EXPECT_EQ(finished.status, 0);
    EXPECT_EQ(finished.out, (kSolutions + "00s018-d.sp: finished in 20 frames\n").toUtf8());

    const ToolRun notFinished = qmtool({"sp", "play", QString::fromStdString(dir.path("cut.sp"))});
    EXPECT_EQ(notFinished.status, 2);
    EXPECT_TRUE(notFinished.out.contains("cut.sp: not finished: the recording ended before the hero reached the exit (frame 10)\n"))
        << notFinished.out.constData();

    const ToolRun unreadable = qmtool({"sp", "play", QString::fromStdString(dir.path("cut.sp")),
                                       QString::fromStdString(dir.path("short.sp"))});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_TRUE(unreadable.err.contains("short.sp: The file is 100 bytes: a recorded solution starts with a level of 1,536 bytes"))
        << unreadable.err.constData();
}

TEST(QmtoolPlay, TraceWritesTheFieldFrameByFrame)
{
    TempDir dir;
    const ToolRun run = qmtool({"sp", "play", kSolutions + "00s018-e.sp", "--trace",
                                QString::fromStdString(dir.path("ours.trace"))});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    const QByteArray ours = bytesOf(QString::fromStdString(dir.path("ours.trace")));
    // The engine's tests compare whole traces with the game's; here the file is written, whole.
    EXPECT_TRUE(ours.startsWith("SPTRACE 1\nDEMO 00s018-e.sp\nSEED 10c6\nSTART m=1b7 it=1 rd=0 g=0 fz=0 fe=0\nFIELD\n"));
    EXPECT_TRUE(ours.endsWith("END frames=65 result=success\n"));
}

// A level imported whole from a recorded solution keeps it; the checks replay it, and once an edit
// (the exit replaced by base) breaks it, lev check and lev play say so.
TEST(QmtoolPlay, AKeptSolutionThatAnEditBrokeIsAnError)
{
    TempDir dir;
    const QString levels = QString::fromStdString(dir.path("kept.lev"));
    ToolRun run = qmtool({"sp", "import", kSolutions + "00s018-d.sp", "1", levels, "--whole"});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    run = qmtool({"lev", "check", levels, "1", "--json"});
    EXPECT_EQ(run.status, 0) << run.out.constData();
    EXPECT_TRUE(run.out.contains("Finished by its kept solution in ")) << run.out.constData();

    run = qmtool({"lev", "replace", levels, "63", "16"});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    run = qmtool({"lev", "check", levels, "1", "--json"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.contains("The kept solution no longer finishes the level: the recording ended before the "
                                 "hero reached the exit at frame "))
        << run.out.constData();
    run = qmtool({"lev", "play", levels, "1"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.startsWith((levels + " level 1: not finished: ").toUtf8())) << run.out.constData();
}
