#include "levels/levelsfile.h"
#include "levels/levelstore.h"

#include "plainuser.h"
#include "tempdir.h"
#include "toolrun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <cstring>
#include <map>
#include <gtest/gtest.h>
#include <algorithm>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using qmtest::qmtool;
using qmtest::readFile;
using qmtest::TempDir;
using qmtest::ToolRun;
using qmtest::writeFile;

namespace {

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
    qm::initStore();
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

namespace {

QJsonValue latin1(const std::string &bytes) { return QString::fromLatin1(bytes.data(), qsizetype(bytes.size())); }

// lev info's output for the file in the store, made as one QJsonDocument.
QByteArray infoAsOneDocument(bool withCells)
{
    QJsonArray offsets, levels;
    for (int32_t offset : qm::levelsinfo.offsets)
        offsets.append(offset);
    for (int k = 1; k <= qm::levelsinfo.count; ++k) {
        const qm::tlevel &l = qm::levels[k];
        QJsonObject level{{"dxg", latin1(l.dxg)}, {"name", latin1(l.name)}, {"startx", l.startx},
                          {"starty", l.starty}, {"reserved", l.reserved}, {"width", l.width},
                          {"height", l.height}, {"infotrons", l.infotrons}};
        QJsonArray rows;
        for (int r = 1; r <= l.height && withCells; ++r) {
            QJsonArray row;
            for (int c = 1; c <= l.width; ++c)
                row.append(QJsonArray{l.cellAt(r, c)->tile, l.cellAt(r, c)->reserved, l.cellAt(r, c)->kind,
                                      l.cellAt(r, c)->pattern});
            rows.append(row);
        }
        if (withCells)
            level["cells"] = rows;
        levels.append(level);
    }
    return QJsonDocument(QJsonObject{{"reserved", qm::levelsinfo.reserved}, {"author", latin1(qm::levelsinfo.author)},
                                     {"count", qm::levelsinfo.count}, {"offsets", offsets}, {"levels", levels}})
        .toJson(QJsonDocument::Indented);
}

} // namespace

// lev info writes its JSON a level at a time: the bytes are those of the whole document, and a file
// whose 100 offsets all point to one record of 100 x 100 cells (150 MB of text) needs no more memory
// than a small one.
TEST(QmtoolLev, InfoStreamsTheBytesOfOneDocumentInLittleMemory)
{
    TempDir dir;
    std::mt19937 random(26);
    auto text = [&](size_t most) {
        std::string bytes(random() % (most + 1), ' ');
        for (char &b : bytes)
            b = char(random() % 4 == 0 ? "\n\"\\\x01\x7f\xff"[random() % 6] : random() % 256);
        return bytes;
    };
    for (int count : {0, 4}) {
        qm::initStore();
        qm::levelsinfo = qm::Tlevels{};
        qm::levelsinfo.author = text(255);
        qm::resetstore();
        for (int k = 1; k <= count; ++k) {
            qm::addlevel();
            qm::tlevel &level = qm::levels[k];
            level.name = text(30);
            level.width = k == 1 ? 0 : int(random() % 7);
            level.height = k == 2 ? 0 : int(random() % 7);
            level.startx = int32_t(random());
            for (int r = 1; r <= level.height; ++r)
                for (int c = 1; c <= level.width; ++c)
                    *level.cellAt(r, c) = {int32_t(random()), int32_t(random() % 3) - 1, 100, int32_t(random() % 4)};
        }
        qm::levelsfilepath = dir.path("t.lev");
        qm::writelevelsfile();
        qm::resetstore();
        qm::levelsfilepath = dir.path("t.lev");
        qm::readlevelsfile();
        for (bool withCells : {false, true}) {
            QStringList args{"lev", "info", QString::fromStdString(dir.path("t.lev"))};
            const ToolRun info = qmtool(withCells ? args << "--cells" : args);
            ASSERT_EQ(info.status, 0) << info.err.constData();
            EXPECT_EQ(info.out, infoAsOneDocument(withCells)) << count << " levels, cells " << withCells;
        }
    }

    qm::initStore();
    qm::levelsinfo = qm::Tlevels{};
    qm::resetstore();
    qm::addlevel();
    qm::levels[1].width = qm::levels[1].height = 100;
    qm::levelsfilepath = dir.path("copies.lev");
    qm::writelevelsfile();
    std::vector<uint8_t> bytes = readFile(qm::levelsfilepath);
    const int32_t copies = 100;
    std::memcpy(&bytes[5], &copies, 4);
    for (int k = 1; k < copies; ++k)
        std::memcpy(&bytes[9 + 4 * size_t(k)], &bytes[9], 4);
    writeFile(qm::levelsfilepath, bytes);
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's memory is not the program's";
#endif
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(QMTOOL_PATH, {"lev", "info", QString::fromStdString(qm::levelsfilepath), "--cells"});
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitCode(), 0);
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    EXPECT_LT(children.ru_maxrss, 200 * 1024) << "kilobytes at most, of any qmtool run so far";
}

// A text longer than its 255-byte field, or with a character no byte holds, is refused, not cut.
TEST(QmtoolLev, TextsLongerThanTheirFieldAreRefusedNotCut)
{
    TempDir dir;
    const QString file = QString::fromStdString(dir.path("a.lev"));
    const ToolRun longer = qmtool({"lev", "new", file, "--author", QString(256, 'a')});
    EXPECT_EQ(longer.status, 1);
    EXPECT_EQ(longer.err.trimmed(), "--author holds 256 characters; a levels file stores at most 255");
    const ToolRun wide = qmtool({"lev", "new", file, "--author", QString::fromUtf8("caf\u00e9 \u20ac")});
    EXPECT_EQ(wide.status, 1);
    EXPECT_TRUE(wide.err.startsWith("--author holds the character \xe2\x82\xac,")) << wide.err.constData();
    EXPECT_TRUE(dir.entries().empty());

    const QString longest = QString::fromUtf8("\u00e9") + QString(254, 'a');
    ASSERT_EQ(qmtool({"lev", "new", file, "--author", longest}).status, 0);
    EXPECT_EQ(json(qmtool({"lev", "info", file}))["author"].toString(), longest);
}

// Every command that writes an image writes the format its name ends with, and refuses another ending
// before it reads anything.
TEST(QmtoolImages, AreWrittenInTheFormatTheirNameEndsWithOrRefused)
{
    TempDir dir;
    const QString sample = QM_GAME_DIR "/Sample.lev";
    const std::map<QString, QByteArray> starts{{"a.bmp", "BM"}, {"b.PPM", "P6\n"}, {"c.png", "\x89PNG"}};
    for (const auto &[name, start] : starts) {
        const QString out = QString::fromStdString(dir.path(name.toStdString()));
        ASSERT_EQ(qmtool({"lev", "render", sample, "1", out}).status, 0);
        const std::vector<uint8_t> bytes = readFile(out.toStdString());
        EXPECT_TRUE(QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())).startsWith(start))
            << name.toStdString();
    }
    const QString missing = QString::fromStdString(dir.path("missing"));
    const QString gif = QString::fromStdString(dir.path("x.gif"));
    for (const QStringList &args : {QStringList{"lev", "render", missing, "1", gif}, {"lev", "frame", missing, "1", gif},
                                    {"lev", "sheet", missing, gif}, {"dxg", "extract", missing, "0", gif}}) {
        const ToolRun refused = qmtool(args);
        EXPECT_EQ(refused.status, 1) << args.join(' ').toStdString();
        EXPECT_EQ(refused.err.trimmed(), "OUT must end in .png, .ppm or .bmp: " + gif.toUtf8());
    }
    EXPECT_EQ(dir.entries().size(), 3u);
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

TEST(QmtoolLev, CheckPrintsFindingsAndExitsTwoOnErrors)
{
    TempDir dir;
    qm::initStore();
    qm::levelsinfo = qm::Tlevels{};
    qm::resetstore();
    qm::addlevel();
    qm::levels[1].name = "Crystal Mines";
    qm::levels[1].cellAt(2, 2)->tile = 20; // the start square
    qm::levels[1].cellAt(5, 5)->tile = 63; // an exit without its squares below
    qm::addlevel();
    qm::levels[2].infotrons = 5;
    qm::levels[2].cellAt(5, 5)->tile = 63;
    qm::levels[2].cellAt(6, 5)->tile = 15;
    qm::levels[2].cellAt(7, 5)->tile = 11;
    qm::levelsfilepath = dir.path("t.lev");
    qm::writelevelsfile();
    const QString file = QString::fromStdString(qm::levelsfilepath);

    ToolRun all = qmtool({"lev", "check", file});
    EXPECT_EQ(all.status, 2) << all.err.constData();
    EXPECT_EQ(all.out.toStdString(), "level 1 (Crystal Mines), column 2, row 2: warning: the hero starts on a boulder (20) at column 2, "
                       "row 2\n"
                       "level 1 (Crystal Mines): notes: the level asks for no infotrons: the exit is open from the start; "
                       "the exit (63) at column 5, row 5 stands without the empty square and filler below it, as "
                       "imported\n"
                       "level 2 (Untitled): error: the level asks for 5 infotrons but can hold at most 0: 0 infotrons (12) "
                       "and 0 sparks (39) that leave nine each when destroyed\n");
    EXPECT_EQ(qmtool({"lev", "check", file, "1"}).status, 0);

    ToolRun asJson = qmtool({"lev", "check", file, "2", "--json"});
    EXPECT_EQ(asJson.status, 2);
    const QJsonArray findings = json(asJson)["findings"].toArray();
    ASSERT_EQ(findings.size(), 1);
    EXPECT_EQ(findings[0].toObject()["code"].toString(), "infotrons");
    EXPECT_EQ(findings[0].toObject()["level"].toInt(), 2);

    // No graphics file in the game directory: an error after the warnings of the start square and the count.
    ToolRun elsewhere = qmtool({"lev", "check", file, "1", "--gamedir", QString::fromStdString(dir.path("")), "--json"});
    EXPECT_EQ(elsewhere.status, 2);
    EXPECT_EQ(json(elsewhere)["findings"].toArray()[2].toObject()["code"].toString(), "graphics-missing");

    writeFile(dir.path("short.lev"), std::string("abc"));
    ToolRun damaged = qmtool({"lev", "check", QString::fromStdString(dir.path("short.lev"))});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_EQ(damaged.err.trimmed(), "Read beyond end of file");
    EXPECT_TRUE(damaged.out.isEmpty());
    EXPECT_EQ(qmtool({"lev", "check", file, "3"}).status, 1);
}

// Notes fold into one line a level, by kind; --all lists every one and --json gives each with its code.
// Control characters of a level's name are escaped as JSON escapes them.
TEST(QmtoolLev, CheckFoldsNotesAndEscapesNames)
{
    TempDir dir;
    qm::initStore();
    qm::levelsinfo = qm::Tlevels{};
    qm::resetstore();
    qm::addlevel();
    qm::tlevel &level = qm::levels[1];
    level.name = std::string("Two\nlines\x1b[31m\\");
    level.infotrons = 1;
    level.cellAt(3, 3)->tile = 12;
    level.cellAt(9, 9)->tile = 63;
    level.cellAt(10, 9)->tile = 15;
    level.cellAt(11, 9)->tile = 11;
    for (int c = 5; c <= 8; ++c)
        *level.cellAt(20, c) = qm::cell{31, 0, 100, 1}; // lower halves of vertical chips, as imported
    *level.cellAt(22, 5) = qm::cell{36, 0, 100, 0};   // a long block of one square, as imported
    qm::levelsfilepath = dir.path("notes.lev");
    qm::writelevelsfile();
    const QString file = QString::fromStdString(qm::levelsfilepath);

    ToolRun folded = qmtool({"lev", "check", file});
    EXPECT_EQ(folded.status, 0) << folded.err.constData();
    EXPECT_EQ(folded.out, "level 1 (Two\\nlines\\u001b[31m\\\\): notes: the long block (36) at column 5, row 22 is a "
                          "single square, as imported; 4 lone lower halves of vertical chips (31), as imported\n");
    ToolRun all = qmtool({"lev", "check", file, "--all"});
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.out.count('\n'), 5);
    EXPECT_TRUE(all.out.endsWith("level 1 (Two\\nlines\\u001b[31m\\\\), column 8, row 20: note: the lower half of a "
                                 "vertical chip (31) at column 8, row 20 stands alone, as imported\n"))
        << all.out.constData();
    const QJsonArray findings = json(qmtool({"lev", "check", file, "--json"}))["findings"].toArray();
    ASSERT_EQ(findings.size(), 5);
    EXPECT_EQ(findings[0].toObject()["severity"].toString(), "note");
    EXPECT_EQ(findings[0].toObject()["code"].toString(), "imported-block");
    EXPECT_EQ(findings[4].toObject()["code"].toString(), "imported-chip-lower");
    EXPECT_EQ(findings[4].toObject()["column"].toInt(), 8);
    EXPECT_EQ(findings[0].toObject()["name"].toString(), QString("Two\nlines\x1b[31m\\"));
}

// Every command listed by --help answers its own --help with its usage line and status 0, and the
// manual page made from the same text has an entry for it.
TEST(QmtoolHelp, EveryListedCommandHasItsHelpAndAManualEntry)
{
    const ToolRun overview = qmtool({"--help"});
    ASSERT_EQ(overview.status, 0);
    const ToolRun manual = qmtool({"--manual-page"});
    ASSERT_EQ(manual.status, 0);
    int commands = 0;
    for (const QByteArray &line : overview.out.split('\n')) {
        if (!line.startsWith("  qmtool "))
            continue;
        const QList<QByteArray> words = line.trimmed().split(' ');
        const ToolRun help = qmtool({QString(words[1]), QString(words[2]), "--help"});
        EXPECT_EQ(help.status, 0) << line.constData();
        EXPECT_TRUE(help.out.startsWith("usage: " + line.trimmed() + "\n")) << help.out.constData();
        EXPECT_TRUE(help.err.isEmpty());
        QByteArray entry = line.trimmed();
        entry.replace("-", "\\-");
        EXPECT_TRUE(manual.out.contains(".B " + entry + "\n")) << line.constData();
        ++commands;
    }
    EXPECT_GE(commands, 12);
    EXPECT_EQ(qmtool({"lev", "--help"}).status, 0);
    EXPECT_TRUE(qmtool({"--version"}).out.startsWith("qmtool 1.2"));
}

namespace {

// qmtool run by the shell, so that its arguments reach it as the bytes written here (QProcess would
// pass them through UTF-8); cd: the working directory.
ToolRun qmtoolInShell(const std::string &cd, const std::string &arguments)
{
    QProcess process;
    process.start("/bin/sh", {"-c", QString::fromStdString("cd \"$1\" && exec \"$0\" " + arguments), QMTOOL_PATH,
                              QString::fromStdString(cd)});
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace

// A file name that is not UTF-8 (a Latin-1 "é") is made, read and written under exactly its bytes.
TEST(QmtoolNames, ThatAreNotUtf8AreKeptByteForByte)
{
    TempDir dir;
    const std::string name = "caf\xe9.lev", copy = "\xff\xfe copy.lev";
    ToolRun made = qmtoolInShell(dir.path(), "lev new \"$(printf 'caf\\351.lev')\" --levels 2");
    ASSERT_EQ(made.status, 0) << made.err.constData();
    EXPECT_EQ(dir.entries(), std::vector<std::string>{name});
    ToolRun info = qmtoolInShell(dir.path(), "lev info \"$(printf 'caf\\351.lev')\"");
    ASSERT_EQ(info.status, 0) << info.err.constData();
    EXPECT_EQ(json(info)["count"].toInt(), 2);
    ToolRun copied = qmtoolInShell(dir.path(), "lev copy \"$(printf 'caf\\351.lev')\" \"$(printf '\\377\\376 copy.lev')\"");
    ASSERT_EQ(copied.status, 0) << copied.err.constData();
    EXPECT_EQ(readFile(dir.path(copy)), readFile(dir.path(name)));
    ToolRun missing = qmtoolInShell(dir.path(), "lev info \"$(printf 'caf\\351s.lev')\"");
    EXPECT_EQ(missing.err.trimmed(), "File not found");
    EXPECT_EQ(dir.entries().size(), 2u);
}

// A device, a named pipe or a socket given as the file to write is refused before anything is written,
// by every writer: the levels file, the configuration, pictures and graphics files. As root, who
// could replace any of them, the device is a real one; as a plain user a link to /dev/null.
TEST(QmtoolTargets, ThatAreNotRegularFilesAreRefusedByEveryWriter)
{
    const bool plain = qmtest::runsAsPlainUser(); // as root: the test runs as nobody first
    TempDir dir;
    const QString sample = QM_GAME_DIR "/Sample.lev";
    ASSERT_EQ(qmtool({"lev", "new", QString::fromStdString(dir.path("a.lev"))}).status, 0);
    ASSERT_EQ(qmtool({"cfg", "copy", QM_GAME_DIR "/Quillmoss.Cfg", QString::fromStdString(dir.path("a.cfg"))}).status, 0);
    if (plain)
        ASSERT_EQ(::symlink("/dev/null", dir.path("zdev.png").c_str()), 0);
    else
        ASSERT_EQ(::mknod(dir.path("zdev.png").c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    ASSERT_EQ(::mkfifo(dir.path("p.png").c_str(), 0666), 0);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, dir.path("s.png").c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
    const std::pair<const char *, const char *> targets[] = {
        {"zdev.png", "a device"}, {"p.png", "a named pipe"}, {"s.png", "a socket"}};
    for (auto [name, what] : targets) {
        const QString target = QString::fromStdString(dir.path(name));
        for (const QStringList &args :
             {QStringList{"lev", "copy", QString::fromStdString(dir.path("a.lev")), target},
              {"lev", "new", target},
              {"cfg", "copy", QString::fromStdString(dir.path("a.cfg")), target},
              {"lev", "render", sample, "1", target},
              {"dxg", "extract", QM_GAME_DIR "/Editor.dxg", "0", target}}) {
            const ToolRun refused = qmtool(args);
            EXPECT_EQ(refused.status, 1) << args.join(' ').toStdString();
            EXPECT_EQ(refused.err.trimmed(), QByteArray("Not a regular file (it is ") + what + ")")
                << args.join(' ').toStdString();
        }
        struct stat st {};
        ASSERT_EQ(::lstat(dir.path(name).c_str(), &st), 0);
        EXPECT_FALSE(S_ISREG(st.st_mode)) << name;
    }
    ::close(socket);
    struct stat null {};
    ASSERT_EQ(::stat("/dev/null", &null), 0);
    EXPECT_TRUE(S_ISCHR(null.st_mode));
}

// What a killed save left beside a file goes when qmtool next starts there, however new; a temporary
// file that a save running now holds stays.
TEST(QmtoolTemporaries, OfKilledSavesGoAtTheNextStartBesideTheFileNamed)
{
    TempDir dir;
    ASSERT_EQ(qmtool({"lev", "new", QString::fromStdString(dir.path("a.lev"))}).status, 0);
    writeFile(dir.path(".qmsave-Dead01"), std::vector<uint8_t>(1000, 'd'));
    writeFile(dir.path(".qmsave-Held01"), std::vector<uint8_t>(1000, 'h'));
    const int holder = ::open(dir.path(".qmsave-Held01").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    ASSERT_EQ(qmtool({"lev", "info", QString::fromStdString(dir.path("a.lev"))}).status, 0);
    ::close(holder);
    std::vector<std::string> entries = dir.entries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{".qmsave-Held01", "a.lev"}));
}
