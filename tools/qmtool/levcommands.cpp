// qmtool lev: levels files.

#include "commands.h"
#include "toolsupport.h"

#include "editor/core/levelcopy.h"
#include "editor/core/levelgraphics.h"
#include "editor/core/levelpicture.h"
#include "editor/core/mapoverlays.h"
#include "editor/core/maptools.h"
#include "editor/core/mapview.h"
#include "editor/core/replacetile.h"
#include "levels/levelcheck.h"
#include "levels/levelsfile.h"
#include "levels/levelstore.h"
#include "platform/fileio.h"
#include "game/recording.h"
#include "levels/solutionsfile.h"
#include "levels/gamelevel.h"
#include "levels/palette.h"

#include "graphics/dximagelist.h"
#include "graphics/offscreendrawtarget.h"

#include "platform/errors.h"
#include "platform/files.h"

#include <QCoreApplication>
#include <QDir>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>
#include <cstdio>
#include <limits>
#include <map>

namespace {

QJsonObject levelJson(const qm::tlevel &level)
{
    return QJsonObject{
        {"dxg", jsonText(level.dxg)},
        {"name", jsonText(level.name)},
        {"startx", level.startx},
        {"starty", level.starty},
        {"reserved", level.reserved},
        {"width", level.width},
        {"height", level.height},
        {"infotrons", level.infotrons},
    };
}

// lev info prints the text QJsonDocument::Indented gives for the whole file, but one level at a time:
// with --cells a file of 200 levels of 100 x 100 squares is some 300 MB of text, and as one document it
// took a gigabyte to build. Each part is Qt's own text with an empty array standing in for what follows
// it, cut where that array opens; strings never hold a raw line break, so the cut cannot fall in one.
struct IndentedJsonStream {
    void write(const QByteArray &text) { std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout); }

    // text's lines, each moved right by `spaces`, without the last line break.
    static QByteArray indented(const QByteArray &text, int spaces)
    {
        const QByteArray pad(spaces, ' ');
        QByteArray out;
        for (const QByteArray &line : text.chopped(text.endsWith('\n') ? 1 : 0).split('\n'))
            out += (out.isEmpty() ? QByteArray() : QByteArray("\n")) + pad + line;
        return out;
    }

    // Splits text at the empty array of `key`: the part up to its opening line break and the part from
    // its closing bracket's indentation.
    static std::pair<QByteArray, QByteArray> around(const QByteArray &text, const char *key, int spaces)
    {
        const QByteArray empty = QByteArray("\"") + key + "\": [\n" + QByteArray(spaces, ' ') + "]";
        const qsizetype at = text.indexOf(empty);
        const qsizetype open = at + empty.size() - spaces - 1;
        return {text.left(open), text.mid(open)};
    }

    // The cells as rows of [tile, reserved, kind, pattern], the rows' brackets `spaces` in.
    void cells(const qm::tlevel &level, int spaces)
    {
        const QByteArray row(spaces, ' '), cell(spaces + 4, ' '), value(spaces + 8, ' ');
        QByteArray text;
        for (int r = 1; r <= level.height; ++r) {
            text.clear();
            text.append(row).append("[\n");
            for (int c = 1; c <= level.width; ++c) {
                const qm::cell *at = level.cellAt(r, c);
                text.append(cell).append("[\n");
                const int32_t numbers[] = {at->tile, at->reserved, at->kind, at->pattern};
                for (int i = 0; i < 4; ++i) {
                    char digits[16];
                    const auto end = std::to_chars(digits, digits + sizeof digits, numbers[i]).ptr;
                    text.append(value).append(digits, end - digits).append(i < 3 ? ",\n" : "\n");
                }
                text.append(cell).append(c < level.width ? "],\n" : "]\n");
            }
            text.append(row).append(r < level.height ? "],\n" : "]\n");
            write(text);
        }
    }
};

} // namespace

void readInto(const QString &path) { qm::openlevelsfile(localPath(path)); }

namespace {

int levInfo(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addOption({"cells", "Include the cells of every level."});
    QStringList words = parseCommand(parser, args, command, 1);
    readInto(words[0]);
    const bool withCells = parser.isSet("cells");
    QJsonArray offsets;
    for (int32_t offset : qm::levelsinfo.offsets)
        offsets.append(offset);
    const QJsonObject file{
        {"reserved", qm::levelsinfo.reserved},
        {"author", jsonText(qm::levelsinfo.author)},
        {"count", qm::levelsinfo.count},
        {"offsets", offsets},
        {"levels", QJsonArray{}},
    };
    IndentedJsonStream out;
    // The levels array's items are 8 spaces in, their keys 12, the rows of their cells 16.
    const auto [head, tail] = out.around(QJsonDocument(file).toJson(QJsonDocument::Indented), "levels", 4);
    out.write(head);
    for (int k = 1; k <= qm::levelsinfo.count; ++k) {
        QJsonObject level = levelJson(qm::levels[k]);
        if (withCells)
            level["cells"] = QJsonArray{};
        QByteArray text = out.indented(QJsonDocument(level).toJson(QJsonDocument::Indented), 8);
        if (withCells) {
            const auto [before, after] = out.around(text, "cells", 12);
            out.write(before);
            out.cells(qm::levels[k], 16);
            text = after;
        }
        out.write(text + (k < qm::levelsinfo.count ? ",\n" : "\n"));
    }
    out.write(tail);
    return 0;
}

int levNew(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addOption({"author", "The author's name.", "TEXT"});
    parser.addOption({"levels", "How many default levels (0 to 200, default 1).", "N", "1"});
    QStringList words = parseCommand(parser, args, command, 1);
    bool ok = false;
    int count = parser.value("levels").toInt(&ok);
    if (!ok || count < 0 || count > qm::kMaxLevels)
        throw UsageError{"--levels takes a number from 0 to 200\nusage: " + usageLine(command)};

    // As the new-file command makes it: a fresh header, then the levels added one by one.
    qm::levelsinfo = qm::Tlevels{};
    qm::levelsinfo.author = shortTextOption(parser.value("author"), "author");
    qm::resetstore();
    qm::curlevel = 1;
    for (int i = 0; i < count; ++i)
        qm::addlevel();
    qm::levelsfilepath = localPath(words[0]);
    qm::writelevelsfile();
    return 0;
}

int levCopy(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    QStringList words = parseCommand(parser, args, command, 2);
    readInto(words[0]);
    qm::levelsfilepath = localPath(words[1]);
    qm::writelevelsfile();
    return 0;
}

int levAppend(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    QStringList words = parseCommand(parser, args, command, 4);
    std::vector<int32_t> chosen;
    for (const QString &number : words[2].split(',')) {
        bool ok = false;
        chosen.push_back(number.toInt(&ok));
        if (!ok)
            throw UsageError{"LEVELS is a list of level numbers such as 1,4,7\nusage: " + usageLine(command)};
    }
    const qm::LevelsFileContent from = qm::loadLevelsFile(localPath(words[1]));
    readInto(words[0]);
    qm::appendLevelCopies(from, chosen, nullptr);
    qm::levelsfilepath = localPath(words[3]);
    qm::writelevelsfile();
    return 0;
}

// A level of the file read, by its number.
int levelNumber(const QString &text)
{
    bool ok = false;
    const int level = text.toInt(&ok);
    if (!ok || level < 1 || level > qm::levelsinfo.count)
        throw qm::Error("ERangeError", "Level " + text.toStdString() + " does not exist: the file holds "
                                           + std::to_string(qm::levelsinfo.count) + " levels");
    return level;
}

} // namespace

std::string gamedirOption(const QCommandLineParser &parser)
{
    QString dir = parser.value("gamedir");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath();
    return localPath(QDir(dir).absolutePath()) + "/";
}

namespace {

// What render and frame share: the file read, the chosen level current, the pictures loaded from the
// game directory and prepared for an off-screen target of the editor's pixel format.
struct LevelScene {
    qm::OffscreenDrawTarget target;
    qm::TDXImageList meniulist;
    qm::TDXImageList patratele;

    LevelScene(const QCommandLineParser &parser, const QStringList &words, int width, int height, bool editorPictures)
        : target(depthOf(parser), width, height)
    {
        readInto(words[0]);
        const int level = levelNumber(words[1]);
        qm::curlevel = level;
        qm::fileopen = true;
        qm::gamedir = gamedirOption(parser);

        target.Initialize();
        meniulist.SetDXDraw(&target);
        patratele.SetDXDraw(&target);
        if (editorPictures)
            meniulist.Items().LoadFromFile(qm::gamedir + "Editor.dxg");
        qm::loadLevelGraphics(patratele.Items(), qm::gamedir, qm::levels[level].dxg);
    }

    static qm::SurfacePixelFormat depthOf(const QCommandLineParser &parser)
    {
        const QString depth = parser.value("depth");
        if (depth == "16")
            return qm::SurfacePixelFormat::Rgb565;
        if (depth.isEmpty() || depth == "32")
            return qm::SurfacePixelFormat::Xrgb8888;
        throw UsageError{"--depth takes 16 or 32"};
    }
};

void addPictureOptions(QCommandLineParser &parser)
{
    parser.addOption({"gamedir", "Where the graphics files are (default: the directory of qmtool).", "DIR"});
    parser.addOption({"depth", "Pixel format of the display: 16 or 32 bits (default 32).", "BITS"});
}

int levRender(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    addPictureOptions(parser);
    QStringList words = parseCommand(parser, args, command, 3);
    imageFormat(words[2]);
    // The size is known once the file is read: read it first for the level's extent.
    readInto(words[0]);
    const int level = words[1].toInt();
    const bool known = level >= 1 && level <= qm::levelsinfo.count;
    const qm::PictureSize size = known ? qm::levelPictureSize(qm::levels[level]) : qm::PictureSize{1, 1};
    LevelScene scene(parser, words, size.width, size.height, false);
    qm::TDirectDrawSurface &surface = scene.target.Surface();
    qm::drawLevelPicture(surface, scene.patratele.Items(), qm::levels[qm::curlevel], false);
    saveSurfaceImage(surface, words[2]);
    return 0;
}

int levFrame(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    addPictureOptions(parser);
    parser.addOption({"view", "The view offset before scrolling (default 0,0).", "X,Y"});
    parser.addOption({"pointer", "The last pointer position (default 320,240).", "X,Y"});
    parser.addOption({"lag", "Milliseconds since the previous frame (default 1).", "N", "1"});
    parser.addOption({"palscroll", QString("The first palette row shown, 0 to %1 (default 0).").arg(qm::kPaletteScrollMax),
                      "N", "0"});
    parser.addOption({"palette", "The selected palette slot (default 0,0).", "COLUMN,ROW"});
    parser.addOption({"overlays", "Also the start square, the grid and the frame of the selected palette slot; "
                                  "=reach shades the squares the hero cannot reach instead, =grid,reach both."});
    // --overlays=LIST names the overlays; plain --overlays is --overlays=grid.
    const QString listed = "--overlays=";
    bool grid = false, reach = false;
    QStringList plain;
    for (const QString &arg : args) {
        if (!arg.startsWith(listed)) {
            plain << arg;
            continue;
        }
        for (const QString &name : arg.mid(listed.size()).split(',')) {
            if (name == "grid")
                grid = true;
            else if (name == "reach")
                reach = true;
            else
                throw UsageError{"--overlays= takes grid, reach or both, separated by a comma, not \"" + name + "\""};
        }
    }
    QStringList words = parseCommand(parser, plain, command, 3);
    grid = grid || parser.isSet("overlays");
    imageFormat(words[2]);
    LevelScene scene(parser, words, 761, 483, true);
    auto [vx, vy] = parseOffset(parser.value("view").isEmpty() ? "0,0" : parser.value("view"), "view");
    auto [px, py] = parsePair(parser.value("pointer").isEmpty() ? "320,240" : parser.value("pointer"), "pointer");
    auto [column, row] = parsePair(parser.value("palette").isEmpty() ? "0,0" : parser.value("palette"), "palette");
    bool lagOk = false, scrollOk = false;
    const int lag = parser.value("lag").toInt(&lagOk);
    const int palscroll = parser.value("palscroll").toInt(&scrollOk);
    if (!lagOk || lag < 1)
        throw UsageError{"--lag takes a whole number of at least 1"};
    if (!scrollOk || palscroll < 0 || palscroll > qm::kPaletteScrollMax)
        throw UsageError{QString("--palscroll takes a number from 0 to %1").arg(qm::kPaletteScrollMax)};
    qm::viewx = vx;
    qm::viewy = vy;
    qm::pointerx = px;
    qm::pointery = py;
    qm::palscroll = palscroll;
    qm::palcolumn = column;
    qm::palrow = row;
    const qm::FramePictures pictures{scene.meniulist.Items(), scene.patratele.Items()};
    if (grid || reach) {
        qm::MapTools tools;
        tools.overlays = grid;
        tools.reach = reach;
        qm::drawToolsFrame(lag, scene.target.Surface(), pictures, tools);
    } else {
        qm::drawframe(lag, scene.target.Surface(), pictures);
    }
    saveSurfaceImage(scene.target.Surface(), words[2]);
    return 0;
}

// A level's name or a message for a line of text: the bytes as --json shows them (Latin-1 as UTF-8),
// with control characters and the backslash escaped as JSON escapes them, so that no byte of a file
// can move the terminal's cursor or forge a line.
std::string escapedText(const std::string &bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        switch (byte) {
        case '\\': out += "\\\\"; continue;
        case '\b': out += "\\b"; continue;
        case '\f': out += "\\f"; continue;
        case '\n': out += "\\n"; continue;
        case '\r': out += "\\r"; continue;
        case '\t': out += "\\t"; continue;
        default: break;
        }
        if (byte < 0x20 || byte == 0x7f || (byte >= 0x80 && byte < 0xa0)) {
            static const char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[byte >> 4];
            out += hex[byte & 15];
        } else if (byte >= 0x80) {
            out += char(0xc0 | (byte >> 6));
            out += char(0x80 | (byte & 0x3f));
        } else {
            out += ch;
        }
    }
    return out;
}

void printLine(const std::string &line) { std::fwrite(line.data(), 1, line.size(), stdout); }

// The findings of one level or of all; exit status 2 when one of them is an error. Notes are folded
// into one line a level, by kind, unless --all asks for every one.
int levPlay(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addOption({"demo", "Replays this recording (.sp) on the level instead of its kept solution.", "FILE"});
    parser.addOption({"json", "Prints the result as JSON."});
    parser.setApplicationDescription("Exit status: 0 when the recording finished the level, 2 when it did not.");
    QStringList words = parseCommand(parser, args, command, 2);
    readInto(words[0]);
    const int k = levelNumber(words[1]);
    std::vector<uint8_t> input;
    QString name = words[0] + " level " + QString::number(k);
    if (parser.isSet("demo")) {
        name = parser.value("demo");
        const qm::Bytes bytes = qm::readWholeFile(localPath(name), qm::game::kMaxRecordingFile);
        const qm::game::Recording recording = qm::game::readRecording(bytes.data(), bytes.size());
        if (!recording.hasInput)
            throw qm::Error("ERecording", localPath(name) + " holds a level without a recorded solution.");
        input = recording.input;
    } else {
        qm::readSolutionsFile(localPath(words[0]));
        input = qm::levels[k].solution;
        if (input.empty())
            throw qm::Error("ERecording", "Level " + std::to_string(k) + " has no kept solution: play it in the "
                                          "editor and keep the run, or give a recording with --demo.");
    }
    const qm::game::ReplayResult result = qm::game::replay(qm::gameLevelOf(qm::levels[k]), input);
    if (parser.isSet("json"))
        printJson(QJsonObject{{"file", name}, {"level", k}, {"finished", result.finished}, {"frames", result.frames},
                              {"why", result.finished ? QString() : QString::fromStdString(result.reason())}});
    else
        std::printf("%s: %s\n", name.toUtf8().constData(), result.summary().c_str());
    return result.finished ? 0 : 2;
}

int levCheck(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addOption({"gamedir", "Where the graphics files are (default: the directory of qmtool).", "DIR"});
    parser.addOption({"json", "Print every finding as JSON, with its code."});
    parser.addOption({"all", "List every note on a line of its own instead of folding them by kind."});
    QStringList words = parseCommand(parser, args, command, 1, 2);
    readInto(words[0]);
    qm::readSolutionsFile(localPath(words[0])); // kept solutions are replayed by the checks
    const int first = words.size() == 2 ? levelNumber(words[1]) : 1;
    const int last = words.size() == 2 ? first : qm::levelsinfo.count;
    const std::string gamedir = gamedirOption(parser);
    const bool asJson = parser.isSet("json"), all = parser.isSet("all");

    qm::GraphicsFiles graphics;
    bool errors = false;
    QJsonArray json;
    for (int k = first; k <= last; ++k) {
        const qm::tlevel &level = qm::levels[k];
        const std::vector<qm::Finding> findings = qm::checkLevel(level, &graphics.of(gamedir, level.dxg));
        const std::string heading = "level " + std::to_string(k) + " (" + escapedText(level.name) + ")";
        for (const qm::Finding &finding : findings) {
            errors = errors || finding.severity == qm::Severity::Error;
            if (asJson) {
                QJsonObject item{{"level", k},
                                 {"name", jsonText(level.name)},
                                 {"severity", qm::severityName(finding.severity)},
                                 {"code", QString::fromStdString(finding.code)},
                                 {"message", jsonText(finding.message)}};
                if (finding.cell) {
                    item["column"] = finding.cell->column;
                    item["row"] = finding.cell->row;
                }
                json.append(item);
                continue;
            }
            if (finding.severity == qm::Severity::Note && !all)
                continue;
            std::string line = heading;
            if (finding.cell)
                line += ", column " + std::to_string(finding.cell->column) + ", row " + std::to_string(finding.cell->row);
            printLine(line + ": " + qm::severityName(finding.severity) + ": " + escapedText(finding.message) + "\n");
        }
        if (asJson || all)
            continue;
        const std::vector<qm::NoteGroup> notes = qm::foldNotes(findings);
        if (notes.empty())
            continue;
        std::string line = heading + ": " + (notes.size() == 1 && notes[0].count == 1 ? "note: " : "notes: ");
        for (size_t n = 0; n < notes.size(); ++n)
            line += (n ? "; " : "") + escapedText(notes[n].text);
        printLine(line + "\n");
    }
    if (asJson)
        printJson(QJsonObject{{"findings", json}});
    return errors ? 2 : 0;
}

// A whole number from lowest to highest given as `what`, or a usage error naming it.
int32_t numberArgument(const QString &text, const QString &what, int32_t lowest, int32_t highest,
                       const ToolCommand &command)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < lowest || value > highest)
        throw UsageError{QString("%1 takes a whole number from %2 to %3, not \"%4\"\nusage: %5")
                             .arg(what)
                             .arg(lowest)
                             .arg(highest)
                             .arg(text, usageLine(command))};
    return int32_t(value);
}

// Every square of tile FROM (of one pattern, in one level) becomes tile TO, painted as the editor's
// Replace Tile paints it; the file is written again only when something was replaced.
int levReplace(const ToolCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    parser.addOption({"level", "Only level N (default: every level of the file).", "N"});
    parser.addOption({"pattern", "Only the squares of FROM that show pattern P.", "P"});
    parser.addOption({"gamedir", "Where the graphics files are (default: the directory of qmtool).", "DIR"});
    QStringList words = parseCommand(parser, args, command, 3);
    qm::TileReplace replace{numberArgument(words[1], "FROM", 0, qm::kHighestReplaceTile, command),
                            numberArgument(words[2], "TO", 1, qm::kHighestReplaceTile, command)};
    if (parser.isSet("pattern"))
        replace.pattern = numberArgument(parser.value("pattern"), "--pattern", 0, std::numeric_limits<int32_t>::max(), command);
    readInto(words[0]);
    if (parser.isSet("level"))
        replace.level = levelNumber(parser.value("level"));
    qm::GraphicsFiles graphics;
    const std::string gamedir = gamedirOption(parser);
    qm::StoreStep step;
    step.begin();
    const qm::ReplaceCount count =
        qm::replaceTile(step, replace, [&](int32_t k) { return qm::levelTileWidth(graphics, gamedir, k); });
    step.finish();
    if (count.squares > 0) {
        qm::levelsfilepath = localPath(words[0]);
        qm::writelevelsfile();
    }
    printLine("Replaced " + qm::replaceCountText(count) + (count.squares > 0 ? "" : ": the file is left as it was")
              + "\n");
    return 0;
}

} // namespace

const ToolGroup levGroup{
    "lev", "levels files", qm::initStore,
    {
        {"lev", "info", "FILE [--cells]", "Reads a levels file and prints it as JSON.", levInfo},
        {"lev", "new", "FILE [--author TEXT] [--levels N]",
         "Writes a new levels file as New Levels File makes it, with N default levels.", levNew},
        {"lev", "copy", "IN OUT", "Reads a levels file and writes it again, as Save does.", levCopy},
        {"lev", "append", "IN FROM LEVELS OUT",
         "Copies levels of FROM (numbers such as 1,4,7) after the last level of IN and writes OUT, as From Other "
         ".lev File does.",
         levAppend},
        {"lev", "render", "FILE LEVEL OUT [--gamedir DIR] [--depth 16|32]",
         "Draws a whole level as an image (.png, .ppm or .bmp).", levRender},
        {"lev", "frame",
         "FILE LEVEL OUT [--gamedir DIR] [--view X,Y] [--pointer X,Y] [--lag N] [--palscroll N] "
         "[--palette COLUMN,ROW] [--depth 16|32] [--overlays[=grid,reach]]",
         "Draws one frame of the editor on a level, exactly as the window does; --overlays=reach with the "
         "squares the hero cannot reach shaded.", levFrame},
        {"lev", "play", "FILE LEVEL [--demo FILE.sp] [--json]",
         "Replays the level's kept solution (or the given recording) by the game's rules: finished, or why not.",
         levPlay},
        {"lev", "check", "FILE [LEVEL] [--gamedir DIR] [--all] [--json]",
         "Checks one level or all for what would make it unplayable or look wrong; exit status 2 on an error. "
         "Notes are folded by kind, one line a level, unless --all is given.",
         levCheck},
        {"lev", "sheet", "FILE OUT [--columns N] [--size PIXELS] [--gamedir DIR]",
         "Draws every level of a file small on one image, each under its number and name.", levSheet},
        {"lev", "replace", "FILE FROM TO [--level N] [--pattern P] [--gamedir DIR]",
         "Replaces every square of tile FROM (only those of pattern P with --pattern) by tile TO in every level "
         "or in level N, objects whole, as Replace Tile does, and writes the file again.",
         levReplace},
    }};
