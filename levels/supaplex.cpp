#include "supaplex.h"

#include "game/recording.h"

#include "startsquare.h"
#include "supaplexexport.h"
#include "tiles.h"

#include "platform/errors.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

namespace qm {

namespace {

// The conversion of object codes; every code not listed becomes the default cell.
std::array<cell, 256> conversionTable()
{
    std::array<cell, 256> table;
    table.fill(kDefaultCell);
    auto set = [&](uint8_t code, int32_t tile, int32_t kind, int32_t pattern) {
        table[code] = cell{tile, 0, kind, pattern};
    };
    set(0, kTileEmpty, kKindOrdinary, 0);
    set(1, kTileBoulder, kKindOrdinary, 0);
    set(2, kTileBase, kKindOrdinary, 0);
    set(3, kTileBase, kKindOrdinary, 0); // the hero's start becomes an ordinary base
    set(4, kTileInfotron, kKindOrdinary, 0);
    set(5, kTileChip, kKindOrdinary, 0);
    set(6, kTileWall, kKindOrdinary, 0);
    set(7, kTileExit, kKindOrdinary, 0);
    set(8, kTileOrangeDisk, kKindOrdinary, 0);
    for (uint8_t code = 9; code <= 16; ++code) // ports, drawn above their neighbours
        set(code, kTilePortRight + (code - 9) % 4, kKindOnTop, 0);
    set(17, kTileSpinner, kKindOrdinary, 0);
    set(18, kTileOrangeDisk, kKindOrdinary, 0);
    set(19, kTileTerminal, kKindOrdinary, 0);
    set(20, kTileRedDisk, kKindOrdinary, 0);
    set(24, kTileSpark, kKindOrdinary, 0);
    set(26, kTileStripHorizontal, kKindOrdinary, 0); // horizontal chip, left and right halves
    set(27, kTileStripHorizontal, kKindOrdinary, 1);
    set(28, kTileWallPlain, kKindOrdinary, 0);
    set(29, kTileWallStriped, kKindOrdinary, 0);
    set(30, kTileWallBraced, kKindOrdinary, 0);
    set(31, kTileWallStriped, kKindOrdinary, 0);
    set(32, kTileWallBraced, kKindOrdinary, 0);
    set(33, kTileWallLight, kKindOrdinary, 0);
    set(34, kTileWallStriped, kKindOrdinary, 0);
    set(35, kTileWallStriped, kKindOrdinary, 0);
    set(36, kTileBlock7x1, kKindOrdinary, 0);
    set(37, kTileWallStriped, kKindOrdinary, 0); // the last hardware code, a wall like 34 and 35
    set(38, kTileStripVertical, kKindOrdinary, 0); // vertical chip: upper half over lower half
    set(39, kTileStripVertical, kKindOrdinary, 1);
    return table;
}

const std::array<cell, 256> &table()
{
    static const std::array<cell, 256> instance = conversionTable();
    return instance;
}

// 1535 as "1,535".
std::string groupedDigits(uint64_t number)
{
    const std::string digits = std::to_string(number);
    std::string grouped;
    for (size_t at = 0; at < digits.size(); ++at) {
        if (at > 0 && (digits.size() - at) % 3 == 0)
            grouped += ',';
        grouped += digits[at];
    }
    return grouped;
}

// The end of the file comes before the first record: the message says so in numbers, after the
// system's text.
[[noreturn]] void throwShorterThanARecord(const std::string &path, uint64_t size)
{
    throw EInOutError(std::string(kReadBeyondEnd) + ": " + path + " is " + groupedDigits(size)
                          + (size == 1 ? " byte" : " bytes") + ": a Supaplex levels file holds records of "
                          + groupedDigits(kSupaplexRecord) + " bytes",
                      100);
}

} // namespace

int SupaplexFile::records() const { return int(std::min(spbuffer.size() / kSupaplexRecord, size_t(kSupaplexLevels))); }

bool isSupaplexRecording(const std::string &path)
{
    if (path.size() < 3)
        return false;
    std::string ending = path.substr(path.size() - 3);
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char ch) { return char(std::tolower(ch)); });
    return ending == ".sp";
}

namespace {

// The recorded input after a recording's level, as the game reads it; a damaged one is left out with
// the reason.
void readRecordedInput(ReadableFile &file, SupaplexFile &result)
{
    Bytes bytes(result.spbuffer.begin(), result.spbuffer.end());
    bytes.resize(game::kMaxRecordingFile + 1);
    size_t used = kSupaplexRecord;
    while (used < bytes.size()) {
        const size_t n = file.readSome(bytes.data() + used, bytes.size() - used);
        if (n == 0)
            break;
        used += n;
    }
    try {
        const game::Recording read = game::readRecording(bytes.data(), used);
        result.recordedInput = read.input;
    } catch (const Error &e) {
        result.recordingProblem = e.what();
    }
}

} // namespace

SupaplexFile readSupaplexFile(const std::string &path)
{
    ReadableFile file(path, SIZE_MAX);
    const bool recording = isSupaplexRecording(path);
    // A regular file's size says how many records it holds: only those are read. Anything else is
    // read to its end or to 111 records. A recording holds one.
    const size_t most = recording ? kSupaplexRecord : kSupaplexFileSize;
    size_t wanted = most;
    if (file.regular()) {
        if (file.size() < kSupaplexRecord)
            throwShorterThanARecord(path, file.size());
        wanted = size_t(std::min<uint64_t>(file.size() / kSupaplexRecord * kSupaplexRecord, most));
    }
    SupaplexFile result;
    result.recording = recording;
    result.spbuffer.resize(wanted);
    size_t used = 0;
    while (used < wanted) {
        const size_t n = file.readSome(result.spbuffer.data() + used, wanted - used);
        if (n == 0)
            break;
        used += n;
    }
    if (file.regular() && used < wanted) // the file became shorter while it was read
        throwReadBeyondEnd();
    if (used < kSupaplexRecord)
        throwShorterThanARecord(path, used);
    const size_t whole = used / kSupaplexRecord * kSupaplexRecord;
    result.spbuffer.resize(whole);
    if (file.regular()) {
        result.ignored = file.size() - whole;
    } else {
        result.ignored = used - whole;
        uint8_t more = 0;
        if (whole == most && file.readSome(&more, 1) > 0)
            result.ignored += 1; // at least this much is left; the rest is not read
    }
    if (recording && whole == kSupaplexRecord)
        readRecordedInput(file, result);
    file.close();
    return result;
}

SupaplexFile supaplexFileOf(const uint8_t *data, size_t size)
{
    const size_t whole = std::min(size / kSupaplexRecord * kSupaplexRecord, kSupaplexFileSize);
    if (whole == 0)
        throwReadBeyondEnd();
    SupaplexFile file;
    file.spbuffer.assign(data, data + whole);
    file.ignored = size - whole;
    return file;
}

std::string supaplexIgnoredNote(const SupaplexFile &file)
{
    if (file.ignored == 0)
        return {};
    if (file.recording && !file.recordingProblem.empty())
        return "The recorded solution after the level could not be read: " + file.recordingProblem;
    if (file.recording && !file.recordedInput.empty())
        return "The recorded solution after the level is kept as its solution when the level is imported whole.";
    if (file.recording)
        return "The recorded solution after the level was not imported.";
    if (file.records() == kSupaplexLevels)
        return "Only the first " + std::to_string(kSupaplexLevels) + " levels of the file were read; the rest of it was ignored.";
    return "The last " + std::to_string(file.ignored) + " bytes of the file are not a whole level of "
           + std::to_string(kSupaplexRecord) + " bytes and were ignored.";
}

std::vector<std::string> supaplexList(const SupaplexFile &file)
{
    std::vector<std::string> lines;
    const int records = file.records();
    for (int n = 1; n <= records; ++n) {
        const uint8_t *title = file.spbuffer.data() + size_t(n - 1) * kSupaplexRecord + kSupaplexTitleAt;
        lines.push_back(std::to_string(n) + " " + std::string(reinterpret_cast<const char *>(title), kSupaplexTitleLength));
    }
    return lines;
}

cell supaplexCell(uint8_t code) { return table()[code]; }

namespace {

const uint8_t *recordOf(const SupaplexFile &file, int splevel)
{
    const int records = file.records();
    if (splevel < 1 || splevel > records)
        throw Error("ERangeError", "There is no Supaplex level " + std::to_string(splevel) + ": choose one of the "
                                       + std::to_string(records) + " levels of the list.");
    return file.spbuffer.data() + size_t(splevel - 1) * kSupaplexRecord;
}

bool onFrame(int r, int c) { return r == 0 || c == 0 || r == kSupaplexRows - 1 || c == kSupaplexColumns - 1; }

} // namespace

std::string supaplexTitle(const std::string &bytes)
{
    const auto cut = [](char ch) { return ch == ' ' || ch == '-'; };
    size_t first = 0, last = bytes.size();
    while (first < last && cut(bytes[first]))
        ++first;
    while (last > first && cut(bytes[last - 1]))
        --last;
    return bytes.substr(first, last - first);
}

SupaplexRecord supaplexRecord(const SupaplexFile &file, int splevel)
{
    const uint8_t *record = recordOf(file, splevel);
    SupaplexRecord result;
    result.titleBytes.assign(reinterpret_cast<const char *>(record + kSupaplexTitleAt), kSupaplexTitleLength);
    result.title = supaplexTitle(result.titleBytes);
    result.infotronsByte = record[kSupaplexInfotronsAt];
    for (int r = 0; r < kSupaplexRows; ++r)
        for (int c = 0; c < kSupaplexColumns; ++c) {
            const uint8_t code = record[kSupaplexColumns * r + c];
            if (code == kSupaplexHero) {
                if (onFrame(r, c)) {
                    ++result.heroesOnFrame;
                } else if (result.heroes++ == 0) {
                    result.heroColumn = c; // the square the byte converts to
                    result.heroRow = r;
                }
            } else if (code == kSupaplexInfotron && !onFrame(r, c)) {
                ++result.infotronsHeld;
            }
        }
    return result;
}

std::vector<std::string> supaplexHeroNotes(const SupaplexRecord &record)
{
    std::vector<std::string> notes;
    const std::string square = "column " + std::to_string(record.heroColumn) + ", row " + std::to_string(record.heroRow);
    if (record.heroes > 1)
        notes.push_back(std::to_string(record.heroes) + " heroes; the first, at " + square + ", is the start square");
    if (record.heroesOnFrame > 0)
        notes.push_back(record.heroesOnFrame == 1 ? "a hero on the outer ring, which is not imported, was left out"
                                                  : std::to_string(record.heroesOnFrame)
                                                        + " heroes on the outer ring, which is not imported, were left out");
    if (record.heroes == 0)
        notes.push_back("no hero; the start square is left as it is");
    return notes;
}

void requireRoomForImport(int32_t held, int32_t adding)
{
    const int64_t total = int64_t(std::max(held, 0)) + int64_t(std::max(adding, 0));
    if (total > kMaxLevels)
        throw Error("ELevelStoreFull", "Importing " + std::to_string(adding) + (adding == 1 ? " level" : " levels")
                                           + " would make this levels file hold " + std::to_string(total)
                                           + " levels; a levels file can hold at most " + std::to_string(kMaxLevels)
                                           + ". Nothing was imported.");
}

void importSupaplexLevel(const SupaplexFile &file, int splevel, tlevel &level, SupaplexTakes takes)
{
    const uint8_t *record = recordOf(file, splevel);
    if (takes.whole) {
        const std::string name = level.name;
        importSupaplexRecordWhole(record, level);
        level.solution = file.recordedInput; // a recording's solution comes with its level
        if (!takes.title)
            level.name = name;
        return;
    }
    const SupaplexRecord known = supaplexRecord(file, splevel);
    level.width = kSupaplexColumns - 2;
    level.height = kSupaplexRows - 2;
    for (int r = 1; r <= level.height; ++r)
        for (int c = 1; c <= level.width; ++c)
            *level.cellAt(r, c) = supaplexCell(record[kSupaplexColumns * r + c]);
    if (takes.hero) {
        if (known.heroes > 0) {
            level.startx = startPixelOf(known.heroColumn);
            level.starty = startPixelOf(known.heroRow);
        }
        level.infotrons = known.infotronsNeeded();
    }
    if (takes.title)
        level.name = known.name();
}

} // namespace qm
