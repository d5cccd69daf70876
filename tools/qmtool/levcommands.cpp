// qmtool lev: levels files.

#include "commands.h"
#include "toolsupport.h"

#include "levels/levelsfile.h"
#include "levels/levelstore.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QJsonObject levelJson(const qm::tlevel &level, bool withCells)
{
    QJsonObject json{
        {"dxg", jsonText(level.dxg)},
        {"name", jsonText(level.name)},
        {"startx", level.startx},
        {"starty", level.starty},
        {"reserved", level.reserved},
        {"width", level.width},
        {"height", level.height},
        {"infotrons", level.infotrons},
    };
    if (withCells) {
        QJsonArray rows;
        for (int r = 1; r <= level.height; ++r) {
            QJsonArray row;
            for (int c = 1; c <= level.width; ++c) {
                const qm::cell *cell = level.cellAt(r, c);
                row.append(QJsonArray{cell->tile, cell->reserved, cell->kind, cell->pattern});
            }
            rows.append(row);
        }
        json["cells"] = rows;
    }
    return json;
}

void readInto(const QString &path)
{
    qm::resetstore();
    qm::levelsfilepath = localPath(path);
    qm::readlevelsfile();
}

int levInfo(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addOption({"cells", "Include the cells of every level."});
    QStringList words = parseCommand(parser, args, 1, "lev info FILE [--cells]");
    readInto(words[0]);
    QJsonArray offsets;
    for (int32_t offset : qm::levelsinfo.offsets)
        offsets.append(offset);
    QJsonArray levels;
    for (int k = 1; k <= qm::levelsinfo.count; ++k)
        levels.append(levelJson(qm::levels[k], parser.isSet("cells")));
    printJson(QJsonObject{
        {"reserved", qm::levelsinfo.reserved},
        {"author", jsonText(qm::levelsinfo.author)},
        {"count", qm::levelsinfo.count},
        {"offsets", offsets},
        {"levels", levels},
    });
    return 0;
}

int levNew(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addOption({"author", "The author's name.", "TEXT"});
    parser.addOption({"levels", "How many default levels (0 to 200, default 1).", "N", "1"});
    const QString synopsis = "lev new FILE [--author TEXT] [--levels N]";
    QStringList words = parseCommand(parser, args, 1, synopsis);
    bool ok = false;
    int count = parser.value("levels").toInt(&ok);
    if (!ok || count < 0 || count > qm::kMaxLevels)
        throw UsageError{"--levels takes a number from 0 to 200\nusage: qmtool " + synopsis};

    // As the new-file command makes it: a fresh header, then the levels added one by one.
    qm::levelsinfo = qm::Tlevels{};
    qm::levelsinfo.author = parser.value("author").toLatin1().toStdString();
    qm::resetstore();
    qm::curlevel = 1;
    for (int i = 0; i < count; ++i)
        qm::addlevel();
    qm::levelsfilepath = localPath(words[0]);
    qm::writelevelsfile();
    return 0;
}

int levCopy(const QStringList &args)
{
    QCommandLineParser parser;
    QStringList words = parseCommand(parser, args, 2, "lev copy IN OUT");
    readInto(words[0]);
    qm::levelsfilepath = localPath(words[1]);
    qm::writelevelsfile();
    return 0;
}

} // namespace

int runLevCommand(const QStringList &args)
{
    qm::initstore();
    const QString command = args.value(0);
    if (command == "info")
        return levInfo(args);
    if (command == "new")
        return levNew(args);
    if (command == "copy")
        return levCopy(args);
    throw UsageError{"unknown command: lev " + command};
}
