#include "levels/levelsfile.h"
#include "levels/levelstore.h"

#include "tempdir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

using qmtest::readFile;
using qmtest::TempDir;
using qmtest::writeFile;

namespace {

struct ToolRun {
    int status;
    QByteArray out;
    QByteArray err;
};

ToolRun qmtool(const QStringList &args)
{
    QProcess process;
    process.start(QMTOOL_PATH, args);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QJsonObject json(const ToolRun &run) { return QJsonDocument::fromJson(run.out).object(); }

} // namespace

TEST(QmtoolLev, NewInfoAndCopyAgreeWithTheLibrary)
{
    TempDir dir;
    QString file = QString::fromStdString(dir.path("new.lev"));
    ToolRun made = qmtool({"lev", "new", file, "--author", "abc", "--levels", "2"});
    ASSERT_EQ(made.status, 0) << made.err.constData();
    EXPECT_EQ(readFile(dir.path("new.lev")).size(), 4012u + 2 * 25646u);

    ToolRun info = qmtool({"lev", "info", file, "--cells"});
    ASSERT_EQ(info.status, 0) << info.err.constData();
    QJsonObject root = json(info);
    EXPECT_EQ(root["author"].toString(), "abc");
    EXPECT_EQ(root["count"].toInt(), 2);
    EXPECT_EQ(root["offsets"].toArray().size(), 1000);
    EXPECT_EQ(root["offsets"].toArray()[1].toInt(), 29658);
    QJsonObject level = root["levels"].toArray()[0].toObject();
    EXPECT_EQ(level["name"].toString(), "Untitled");
    EXPECT_EQ(level["dxg"].toString(), "computer.dxg");
    QJsonArray cells = level["cells"].toArray();
    ASSERT_EQ(cells.size(), 40);
    EXPECT_EQ(cells[39].toArray().size(), 40);
    EXPECT_EQ(cells[0].toArray()[0].toArray(), (QJsonArray{16, 0, 100, 0}));

    ASSERT_EQ(qmtool({"lev", "copy", file, QString::fromStdString(dir.path("copy.lev"))}).status, 0);
    EXPECT_EQ(readFile(dir.path("copy.lev")), readFile(dir.path("new.lev")));
}

TEST(QmtoolLev, EightBitTextsComeOutAsLatin1Characters)
{
    TempDir dir;
    qm::initstore();
    qm::levelsinfo = qm::Tlevels{};
    qm::levelsinfo.author = "caf\xe9 \x01";
    qm::resetstore();
    qm::addlevel();
    qm::levels[1].name = "\xff";
    qm::levelsfilepath = dir.path("t.lev");
    qm::writelevelsfile();
    QJsonObject root = json(qmtool({"lev", "info", QString::fromStdString(qm::levelsfilepath)}));
    EXPECT_EQ(root["author"].toString(), QString::fromUtf8("caf\u00e9 \u0001"));
    EXPECT_EQ(root["levels"].toArray()[0].toObject()["name"].toString(), QString::fromUtf8("\u00ff"));
}

TEST(QmtoolErrors, AreTheEditorsTextsWithStatusOne)
{
    TempDir dir;
    ToolRun missing = qmtool({"lev", "info", QString::fromStdString(dir.path("none.lev"))});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.trimmed(), "File not found");
    EXPECT_TRUE(missing.out.isEmpty());

    writeFile(dir.path("short.lev"), std::string("abc"));
    ToolRun shortFile = qmtool({"lev", "info", QString::fromStdString(dir.path("short.lev"))});
    EXPECT_EQ(shortFile.status, 1);
    EXPECT_EQ(shortFile.err.trimmed(), "Read beyond end of file");

    EXPECT_EQ(qmtool({"lev", "new", "x.lev", "--levels", "201"}).status, 1);
    EXPECT_EQ(qmtool({"lev", "frobnicate"}).status, 1);
    EXPECT_EQ(qmtool({}).status, 1);
}

TEST(QmtoolCfg, InfoAndCopyNormaliseAndReportFailures)
{
    TempDir dir;
    writeFile(dir.path("in.cfg"),
              std::string("a\r\nb\r\n\r\nCharacter = Eddie;\r\nShow tips = true;\r\nMusic enabled = false;\r\n"
                          "Sounds enabled = TRUE;\r\nSpeed = 007;\r\nLevels File = My.lev;\r\n"));
    QString in = QString::fromStdString(dir.path("in.cfg"));
    ToolRun info = qmtool({"cfg", "info", in});
    EXPECT_EQ(info.status, 1);
    EXPECT_EQ(info.err.trimmed(), "Read beyond end of file");

    ToolRun copy = qmtool({"cfg", "copy", in, QString::fromStdString(dir.path("out.cfg"))});
    EXPECT_EQ(copy.status, 1);
    EXPECT_EQ(copy.err.trimmed(), "Read beyond end of file");
    std::vector<uint8_t> out = readFile(dir.path("out.cfg"));
    std::string text(out.begin(), out.end());
    EXPECT_NE(text.find("Character = Eddie;\r\nShow tips = true;\r\nMusic enabled = false;\r\n"
                        "Sounds enabled = false;\r\nSpeed = 7;\r\nLevels File = My.lev;\r\n"),
              std::string::npos);

    ToolRun reread = qmtool({"cfg", "info", QString::fromStdString(dir.path("out.cfg"))});
    ASSERT_EQ(reread.status, 0) << reread.err.constData();
    QJsonObject root = json(reread);
    EXPECT_TRUE(root["cfgeddie"].toBool());
    EXPECT_EQ(root["cfgspeed"].toInt(), 7);
    EXPECT_EQ(root["cfglevelsfile"].toString(), "My.lev");
    EXPECT_EQ(root["cfglevelsongs"].toArray(), QJsonArray{0});

    const std::vector<uint8_t> damaged = readFile(dir.path("in.cfg"));
    ToolRun over = qmtool({"cfg", "copy", in, QString::fromStdString(dir.path(".") + "/in.cfg")});
    EXPECT_EQ(over.status, 1);
    EXPECT_TRUE(over.err.startsWith("Read beyond end of file\nOUT is the file read")) << over.err.constData();
    EXPECT_EQ(readFile(dir.path("in.cfg")), damaged);
}
