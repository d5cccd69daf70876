// qmtool cfg: the game configuration file.

#include "commands.h"
#include "toolsupport.h"

#include "levels/gameconfig.h"

#include "platform/errors.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cstdio>
#include <filesystem>

namespace {

int cfgInfo(const QStringList &args)
{
    QCommandLineParser parser;
    QStringList words = parseCommand(parser, args, 1, "cfg info FILE");
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

// Whatever was read is written to OUT, even after a failed read. OUT is never the file read: after a
// failed read that would replace the values not read with blanks.
int cfgCopy(const QStringList &args)
{
    QCommandLineParser parser;
    QStringList words = parseCommand(parser, args, 2, "cfg copy IN OUT");
    const std::string in = localPath(words[0]), out = localPath(words[1]);
    int status = 0;
    try {
        qm::readgameconfig(in);
    } catch (const qm::Error &e) {
        std::fprintf(stderr, "%s\n", e.what());
        status = 1;
    }
    std::error_code ignored;
    if (std::filesystem::equivalent(in, out, ignored))
        throw UsageError{"OUT is the file read: cfg copy never writes over it\nusage: qmtool cfg copy IN OUT"};
    qm::writegameconfig(out);
    return status;
}

} // namespace

int runCfgCommand(const QStringList &args)
{
    qm::initgameconfig();
    const QString command = args.value(0);
    if (command == "info")
        return cfgInfo(args);
    if (command == "copy")
        return cfgCopy(args);
    throw UsageError{"unknown command: cfg " + command};
}
