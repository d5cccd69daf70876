// qmtool sp: Supaplex levels files.

#include "commands.h"
#include "toolsupport.h"

#include "levels/datafilename.h"
#include "levels/levelsfile.h"
#include "levels/levelstore.h"
#include "levels/supaplex.h"
#include "levels/supaplexexport.h"

#include "platform/errors.h"
#include "platform/files.h"

#include <cstdio>

namespace {

constexpr int kLongestText = 255; // a text of a levels file has a one-byte length

void printNote(const std::string &text)
{
    std::fprintf(stderr, "%s\n", QString::fromLatin1(text.data(), qsizetype(text.size())).toUtf8().constData());
}

int spList(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    QStringList words = parseCommand(parser, args, command, 1);
    const qm::SupaplexFile supaplex = qm::readSupaplexFile(localPath(words[0]));
    for (const std::string &line : qm::supaplexList(supaplex))
        std::printf("%s\n", QString::fromLatin1(line.data(), qsizetype(line.size())).toUtf8().constData());
    if (const std::string note = qm::supaplexIgnoredNote(supaplex); !note.empty())
        printNote(note);
    return 0;
}

// The levels asked for: "N", "A-B" (A up to B) or "all", as a first and last number. "all" is 1 to 0
// until the file says how many records it holds.
std::pair<int, int> levelSet(const QString &text, const ToolCommand &command)
{
    const UsageError wrong{"N is a level of the Supaplex file, 1 to 111, A-B a range of them or all\nusage: "
                           + usageLine(command)};
    if (text == "all")
        return {1, 0};
    const QStringList ends = text.split('-');
    if (ends.size() > 2)
        throw wrong;
    bool ok = false, okLast = false;
    const int first = ends[0].toInt(&ok);
    const int last = ends.size() == 2 ? ends[1].toInt(&okLast) : first;
    if (!ok || (ends.size() == 2 && !okLast) || first < 1 || last > qm::kSupaplexLevels || first > last)
        throw wrong;
    return {first, last};
}

// A graphics file is looked up in the game directory by its name alone.
void checkGraphicsName(const std::string &dxg, const ToolCommand &command)
{
    if (!qm::isPlainDataFileName(dxg) || dxg.size() > size_t(kLongestText))
        throw UsageError{"--dxg is the name of a graphics file in the game directory: a plain file name of 1 to "
                         + QString::number(kLongestText) + " bytes, without / or \\, and not . or ..\nusage: "
                         + usageLine(command)};
}

int spImport(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addOption({"name", "Name of the imported level (default Untitled); one level only.", "TEXT", "Untitled"});
    parser.addOption({"dxg", "Graphics file of the imported levels (default computer.dxg).", "NAME", "computer.dxg"});
    parser.addOption({"hero", "The start square is the hero's square, and the infotrons needed are the record's "
                              "(0 there: every infotron of the level)."});
    parser.addOption({"title", "The name is the record's title without outer spaces and dashes."});
    parser.addOption({"whole", "Keeps the whole level for play and export: 60 x 24 squares (the outer ring too), "
                               "every object, the game's settings; implies --hero, and the name is the 23-byte "
                               "title as it stands unless --name is given."});
    parser.setApplicationDescription(
        "N|A-B|all: one level, the levels A to B, or every level of the file, appended in order.\n"
        "Nothing is written when the levels file would pass 200 levels.");
    QStringList words = parseCommand(parser, args, command, 3);
    auto [first, last] = levelSet(words[1], command);
    const bool several = first != last;
    const bool named = parser.isSet("name");
    if (named && several)
        throw UsageError{"--name names one level: with several, use --title or keep Untitled\nusage: "
                         + usageLine(command)};
    if (named && parser.isSet("title"))
        throw UsageError{"--name and --title both name the level: give one of them\nusage: " + usageLine(command)};
    const std::string name = shortTextOption(parser.value("name"), "name");
    const std::string dxg = parser.value("dxg").toLatin1().toStdString();
    checkGraphicsName(dxg, command);

    const qm::SupaplexFile supaplex = qm::readSupaplexFile(localPath(words[0]));
    if (const std::string note = qm::supaplexIgnoredNote(supaplex); !note.empty())
        printNote(note);
    const int records = supaplex.records();
    if (last == 0)
        last = records;
    if (last > records)
        throw qm::Error("ERangeError", "The Supaplex file holds " + std::to_string(records)
                                           + (records == 1 ? " level" : " levels") + ": there is no level "
                                           + std::to_string(last) + ".");

    // The levels file: read when it exists, otherwise a new one as New Levels File makes it.
    const std::string levelsPath = localPath(words[2]);
    qm::levelsinfo = qm::Tlevels{};
    qm::resetstore();
    qm::levelsfilepath = levelsPath;
    if (qm::fileexists(levelsPath))
        qm::openlevelsfile(levelsPath);
    const int adding = last - first + 1;
    qm::requireRoomForImport(qm::levelsinfo.count, adding);

    const bool whole = parser.isSet("whole");
    const qm::SupaplexTakes takes{parser.isSet("hero") || whole, parser.isSet("title") || (whole && !named), whole};
    for (int n = first; n <= last; ++n) {
        qm::curlevel = qm::levelsinfo.count;
        qm::addlevel();
        qm::tlevel &level = qm::levels[qm::curlevel];
        level.name = name;
        level.dxg = dxg;
        qm::importSupaplexLevel(supaplex, n, level, takes);
        if (takes.hero && !whole)
            for (const std::string &note : qm::supaplexHeroNotes(qm::supaplexRecord(supaplex, n)))
                printNote("Supaplex level " + std::to_string(n) + ": " + note + ".");
    }
    qm::writelevelsfile();
    return 0;
}

// The levels of a levels file asked for: "N", "A-B" or "all", checked against the file's count.
std::pair<int, int> storeLevelSet(const QString &text, const ToolCommand &command)
{
    const UsageError wrong{"N is a level of the levels file, A-B a range of them or all\nusage: " + usageLine(command)};
    if (text == "all")
        return {1, qm::levelsinfo.count};
    const QStringList ends = text.split('-');
    bool ok = false, okLast = true;
    const int first = ends[0].toInt(&ok);
    const int last = ends.size() == 2 ? ends[1].toInt(&okLast) : first;
    if (ends.size() > 2 || !ok || !okLast || first < 1 || first > last)
        throw wrong;
    return {first, last};
}

int spExport(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "N|A-B|all: one level, the levels A to B, or every level of the levels file.\n"
        "OUT ending in .sp (any case): one level as a .sp file; any other name: a Supaplex levels file of 111\n"
        "records, the chosen levels in order (at most 111) and empty levels after them. A level smaller than\n"
        "60 x 24 is placed inside a hardware ring from column 1, row 1. A larger level, a tile with no\n"
        "counterpart in the game or more than 10 special ports is refused before anything is written.");
    QStringList words = parseCommand(parser, args, command, 3);
    qm::levelsinfo = qm::Tlevels{};
    qm::resetstore();
    qm::openlevelsfile(localPath(words[0]));
    const auto [first, last] = storeLevelSet(words[1], command);
    qm::exportSupaplex(localPath(words[2]), first, last);
    return 0;
}

} // namespace

const ToolGroup spGroup{
    "sp", "Supaplex levels files", qm::initStore,
    {
        {"sp", "list", "LEVELSDAT", "Lists the levels of a Supaplex levels file (at most 111), one a line.", spList},
        {"sp", "import", "LEVELSDAT N|A-B|all LEVFILE [--hero] [--title] [--whole] [--name TEXT] [--dxg NAME]",
         "Appends Supaplex levels, converted, to a levels file (made when missing).", spImport},
        {"sp", "export", "LEVFILE N|A-B|all OUT",
         "Writes levels as a Supaplex .sp file (one level) or levels file, exactly as the game reads them.", spExport},
        {"sp", "play", "FILE.sp... [--json] [--trace OUT]",
         "Replays recorded solutions by the game's rules: finished, or why not.", spPlay},
    }};
