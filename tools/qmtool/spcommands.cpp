// qmtool sp: Supaplex levels files.

#include "commands.h"
#include "toolsupport.h"

#include "levels/levelsfile.h"
#include "levels/levelstore.h"
#include "levels/supaplex.h"

#include "platform/files.h"

#include <cstdio>

namespace {

int spList(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    QStringList words = parseCommand(parser, args, command, 1);
    for (const std::string &line : qm::supaplexList(qm::readSupaplexFile(localPath(words[0]))))
        std::printf("%s\n", QString::fromLatin1(line.data(), qsizetype(line.size())).toUtf8().constData());
    return 0;
}

int spImport(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addOption({"name", "Name of the imported level (default Untitled).", "TEXT", "Untitled"});
    parser.addOption({"dxg", "Graphics file of the imported level (default computer.dxg).", "NAME", "computer.dxg"});
    QStringList words = parseCommand(parser, args, command, 3);
    bool ok = false;
    const int number = words[1].toInt(&ok);
    if (!ok || number < 1 || number > qm::kSupaplexLevels)
        throw UsageError{"N is a level of the Supaplex file, 1 to 111\nusage: " + usageLine(command)};
    const qm::SupaplexFile supaplex = qm::readSupaplexFile(localPath(words[0]));

    // The levels file: read when it exists, otherwise a new one as New Levels File makes it.
    const std::string levelsPath = localPath(words[2]);
    qm::levelsinfo = qm::Tlevels{};
    qm::resetstore();
    qm::levelsfilepath = levelsPath;
    if (qm::fileexists(levelsPath))
        qm::readlevelsfile();
    qm::curlevel = qm::levelsinfo.count;
    qm::addlevel();
    qm::tlevel &level = qm::levels[qm::curlevel];
    level.name = parser.value("name").toLatin1().toStdString();
    level.dxg = parser.value("dxg").toLatin1().toStdString();
    qm::importSupaplexLevel(supaplex, number, level);
    qm::writelevelsfile();
    return 0;
}

} // namespace

const ToolGroup spGroup{
    "sp", "Supaplex levels files", qm::initStore,
    {
        {"sp", "list", "LEVELSDAT", "Lists the 111 levels of a Supaplex levels file, one a line.", spList},
        {"sp", "import", "LEVELSDAT N LEVFILE [--name TEXT] [--dxg NAME]",
         "Appends Supaplex level N (1 to 111), converted, to a levels file (made when missing).", spImport},
    }};
