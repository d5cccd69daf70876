// qmtool cfg: the game configuration file.

#include "commands.h"
#include "toolsupport.h"

#include "levels/gameconfig.h"

#include "platform/errors.h"

#include <filesystem>

#include <QJsonArray>
#include <QJsonObject>
#include <cstdio>

namespace {

int cfgInfo(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    QStringList words = parseCommand(parser, args, command, 1);
    qm::readgameconfig(localPath(words[0]));
    QJsonArray songs;
    for (int k = 1; k <= std::min(qm::cfgsongcount, qm::kMaxSongs); ++k)
        songs.append(jsonText(qm::cfgsongs[static_cast<size_t>(k)]));
    QJsonArray levelSongs;
    for (int k = 0; k <= std::min(qm::cfglevelsongcount, qm::kMaxLevelSongs); ++k)
        levelSongs.append(qm::cfglevelsongs[static_cast<size_t>(k)]);
    printJson(QJsonObject{
        {"cfgeddie", qm::cfgeddie},
        {"cfgshowtips", qm::cfgshowtips},
        {"cfgmusic", qm::cfgmusic},
        {"cfgsounds", qm::cfgsounds},
        {"cfgspeed", qm::cfgspeed},
        {"cfglevelsfile", jsonText(qm::cfglevelsfile)},
        {"cfgsongcount", qm::cfgsongcount},
        {"cfgsongs", songs},
        {"cfglevelsongcount", qm::cfglevelsongcount},
        {"cfglevelsongs", levelSongs},
    });
    return 0;
}

// As the editor does at exit: whatever was read is written, even after a failed read.
int cfgCopy(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    QStringList words = parseCommand(parser, args, command, 2);
    int status = 0;
    try {
        qm::readgameconfig(localPath(words[0]));
    } catch (const qm::Error &e) {
        std::fprintf(stderr, "%s\n", e.what());
        status = 1;
    }
    // OUT is never the file read: after a failed read that would replace the values not read with
    // blanks.
    std::error_code ignored;
    if (std::filesystem::equivalent(localPath(words[0]), localPath(words[1]), ignored))
        throw UsageError{"OUT is the file read: cfg copy never writes over it\nusage: qmtool cfg copy IN OUT"};
    qm::writegameconfig(localPath(words[1]));
    return status;
}

} // namespace

const ToolGroup cfgGroup{
    "cfg", "the game configuration file", qm::initGameConfig,
    {
        {"cfg", "info", "FILE", "Reads a game configuration file and prints its values as JSON.", cfgInfo},
        {"cfg", "copy", "IN OUT",
         "Reads a game configuration file and writes it again as the editor does at exit.", cfgCopy},
    }};
