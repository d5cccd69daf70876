#include "supaplexexport.h"

#include "gamelevel.h"

#include "gamerules.h"
#include "startsquare.h"
#include "supaplex.h"
#include "tiles.h"

#include "platform/errors.h"

#include <algorithm>

namespace qm {

namespace {

constexpr int kColumns = kSupaplexColumns;
constexpr int kRows = kSupaplexRows;
constexpr uint8_t kSpace = 0;
constexpr uint8_t kHardware = 6;
constexpr uint32_t kTagMask = 0xFFu << 24;

bool tagged(const cell &square) { return (uint32_t(square.reserved) & kTagMask) == kKeptTag; }

// Where the level's squares go in the record: a full dimension from 0, a smaller one from 1, inside
// the ring.
struct Placement {
    int column = 0, row = 0;
};
Placement placementOf(const tlevel &level)
{
    return {level.width < kColumns ? 1 : 0, level.height < kRows ? 1 : 0};
}

size_t recordIndex(const Placement &at, int32_t column, int32_t row)
{
    return size_t(row - 1 + at.row) * kColumns + size_t(column - 1 + at.column);
}

bool holdsHeader(const tlevel &level)
{
    return level.width >= 1 && level.height >= 1 && level.width <= kGridSize && level.height <= kGridSize
           && int64_t(level.width) * level.height >= int64_t(kSupaplexHeaderBytes);
}

// The j-th cell of the level in reading order (holdsHeader).
const cell &headerCell(const tlevel &level, size_t j)
{
    return *level.cellAt(int(j / size_t(level.width)) + 1, int(j % size_t(level.width)) + 1);
}

std::string squareWords(int32_t column, int32_t row)
{
    return "column " + std::to_string(column) + ", row " + std::to_string(row);
}

[[noreturn]] void refuseExport(int32_t levelNumber, const std::string &why)
{
    throw Error("EExportError", "Level " + std::to_string(levelNumber) + " cannot be exported to Supaplex: " + why + ".");
}

} // namespace

uint8_t supaplexCodeOf(const cell &square, const TileRules &rules)
{
    // The two halves of a chip are told apart by the pattern, as painting writes them.
    if (rules.tile == kTileStripHorizontal || rules.tile == kTileStripVertical)
        return uint8_t(rules.gameCode + (square.pattern == 1 ? 1 : 0));
    const int32_t kept = keptCodeOf(square);
    if (kept >= 0 && tileStandsFor(rules, uint8_t(kept)))
        return uint8_t(kept);
    return uint8_t(rules.gameCode);
}

namespace {

SupaplexRecordBytes ringRecord()
{
    SupaplexRecordBytes record{};
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            record[size_t(r * kColumns + c)] =
                (r == 0 || c == 0 || r == kRows - 1 || c == kColumns - 1) ? kHardware : kSpace;
    return record;
}

void putTitle(SupaplexRecordBytes &record, const std::string &title)
{
    for (size_t k = 0; k < kSupaplexTitleLength; ++k)
        record[kSupaplexTitleAt + k] = k < title.size() ? uint8_t(title[k]) : uint8_t(' ');
}

int32_t portCellOf(const SupaplexHeader &header, int entry)
{
    const size_t at = kSupaplexPortTableAt - kSupaplexHeaderAt + size_t(entry) * kSupaplexPortEntryBytes;
    return ((int32_t(header[at]) << 8) | header[at + 1]) / 2;
}

// The first entry of the table for a record cell, as the game looks it up, or -1. The game keeps at
// most 10 entries whatever the count byte says.
int entryOf(const SupaplexHeader &header, int32_t recordCell)
{
    const int count = std::min<int>(header[kSupaplexPortCountAt - kSupaplexHeaderAt], kSupaplexPortEntries);
    for (int k = 0; k < count; ++k)
        if (portCellOf(header, k) == recordCell)
            return k;
    return -1;
}

uint8_t &headerByte(SupaplexHeader &header, size_t recordAt) { return header[recordAt - kSupaplexHeaderAt]; }

} // namespace

int32_t keptCodeOf(const cell &square)
{
    if (!tagged(square) || !(uint32_t(square.reserved) & kKeptCode))
        return -1;
    return int32_t(uint32_t(square.reserved) & 0xFFu);
}

int32_t gameCodeOf(const cell &square)
{
    const TileRules *rules = tileRules(square.tile);
    return rules && rules->gameCode >= 0 ? supaplexCodeOf(square, *rules) : -1;
}

uint8_t playedCodeOf(const cell &square) { return gameCodeOfSquare(square); }

void importSupaplexRecordWhole(const uint8_t *record, tlevel &level)
{
    level.width = kColumns;
    level.height = kRows;
    bool heroFound = false;
    level.startx = startPixelOf(0); // no hero: the start lies outside the level, as in the game
    level.starty = startPixelOf(0);
    for (int i = 0; i < kColumns * kRows; ++i) {
        const int r = i / kColumns, c = i % kColumns;
        uint8_t code = record[i];
        const int32_t tile = tileOfGameCode(code);
        const cell classic = supaplexCell(code);
        cell square = classic.tile == tile ? classic : cell{tile, 0, kKindOrdinary, 0};
        if (code == kSupaplexHero && !heroFound) {
            // The first hero is the start square; its own square is base, so that moving the start
            // leaves no second hero behind.
            heroFound = true;
            level.startx = startPixelOf(c + 1);
            level.starty = startPixelOf(r + 1);
            code = 2;
        }
        uint32_t kept = kKeptTag | kKeptCode | code;
        if (size_t(i) < kSupaplexHeaderBytes)
            kept |= kKeptHeaderByte | uint32_t(record[kSupaplexHeaderAt + size_t(i)]) << 8;
        square.reserved = int32_t(kept);
        *level.cellAt(r + 1, c + 1) = square;
    }
    level.infotrons = record[kSupaplexInfotronsAt];
    level.name.assign(reinterpret_cast<const char *>(record + kSupaplexTitleAt), kSupaplexTitleLength);
}

SupaplexRecordBytes supaplexRecordOf(const tlevel &level, int32_t levelNumber)
{
    if (level.width < 1 || level.height < 1)
        refuseExport(levelNumber, "it has no squares");
    if (level.width > kColumns || level.height > kRows)
        refuseExport(levelNumber, "it is " + std::to_string(level.width) + " x " + std::to_string(level.height)
                                      + " squares and a Supaplex level holds at most 60 x 24; its square at "
                                      + (level.width > kColumns ? squareWords(kColumns + 1, 1) : squareWords(1, kRows + 1))
                                      + " lies outside");
    SupaplexRecordBytes record = ringRecord();
    const Placement at = placementOf(level);
    int specialPorts = 0;
    for (int32_t r = 1; r <= level.height; ++r)
        for (int32_t c = 1; c <= level.width; ++c) {
            const cell &square = *level.cellAt(r, c);
            const TileRules *rules = tileRules(square.tile);
            if (!rules || rules->gameCode < 0)
                refuseExport(levelNumber, "the square at " + squareWords(c, r) + " holds " + tileWords(square.tile)
                                              + ", which has no counterpart in the game");
            if (isSpecialPort(square.tile) && ++specialPorts > kSupaplexPortEntries)
                refuseExport(levelNumber, "it holds more than 10 special ports, the most the game allows; the 11th is at "
                                              + squareWords(c, r));
            record[recordIndex(at, c, r)] = supaplexCodeOf(square, *rules);
        }
    const int64_t startColumn = startSquareOf(level.startx), startRow = startSquareOf(level.starty);
    if (startColumn >= 1 && startColumn <= level.width && startRow >= 1 && startRow <= level.height)
        record[recordIndex(at, int32_t(startColumn), int32_t(startRow))] = kSupaplexHero;

    const SupaplexHeader header = keptHeaderOf(level);
    std::copy(header.begin(), header.end(), record.begin() + kSupaplexHeaderAt);
    putTitle(record, level.name);
    record[kSupaplexInfotronsAt] = uint8_t(std::clamp(level.infotrons, 0, 255));
    return record;
}

SupaplexRecordBytes emptySupaplexRecord()
{
    SupaplexRecordBytes record = ringRecord();
    putTitle(record, "----- EMPTY LEVEL -----");
    return record;
}

Bytes supaplexExportOf(int32_t first, int32_t last, bool recording)
{
    if (first < 1 || last > levelsinfo.count || first > last)
        throw Error("ERangeError", "There are no levels " + std::to_string(first) + " to " + std::to_string(last)
                                       + " to export: the levels file holds " + std::to_string(levelsinfo.count) + ".");
    const int64_t chosen = int64_t(last) - first + 1;
    if (recording && chosen != 1)
        throw Error("EExportError", "A .sp file holds one level; " + std::to_string(chosen)
                                        + " were chosen. Export several levels as a levels file.");
    if (chosen > kSupaplexLevels)
        throw Error("EExportError", "A Supaplex levels file holds at most " + std::to_string(kSupaplexLevels) + " levels; "
                                        + std::to_string(chosen) + " were chosen. Nothing was exported.");
    Bytes out;
    out.reserve(size_t(recording ? 1 : kSupaplexLevels) * kSupaplexRecordBytes);
    for (int32_t k = first; k <= last; ++k) {
        const SupaplexRecordBytes record = supaplexRecordOf(levels[k], k);
        out.insert(out.end(), record.begin(), record.end());
    }
    if (recording && !levels[first].solution.empty()) {
        // The level's kept solution, as the game records it: the level number (high bit set), the input.
        out.push_back(uint8_t(0x80 | std::min<int32_t>(first, kSupaplexLevels)));
        out.insert(out.end(), levels[first].solution.begin(), levels[first].solution.end());
    }
    if (!recording) {
        const SupaplexRecordBytes empty = emptySupaplexRecord();
        for (int64_t k = chosen; k < kSupaplexLevels; ++k)
            out.insert(out.end(), empty.begin(), empty.end());
    }
    return out;
}

void exportSupaplex(const std::string &path, int32_t first, int32_t last)
{
    writeFileSafely(path, supaplexExportOf(first, last, isSupaplexRecording(path)));
}

bool keepsSupaplexRecord(const tlevel &level)
{
    if (!holdsHeader(level))
        return false;
    const cell &first = headerCell(level, 0);
    return tagged(first) && (uint32_t(first.reserved) & kKeptHeaderByte);
}

SupaplexHeader keptHeaderOf(const tlevel &level)
{
    SupaplexHeader header{};
    if (!holdsHeader(level))
        return header;
    for (size_t j = 0; j < kSupaplexHeaderBytes; ++j) {
        const cell &square = headerCell(level, j);
        if (tagged(square) && (uint32_t(square.reserved) & kKeptHeaderByte))
            header[j] = uint8_t(uint32_t(square.reserved) >> 8);
    }
    return header;
}

void keepHeader(tlevel &level, const SupaplexHeader &header)
{
    if (!holdsHeader(level))
        throw Error("EExportError", "The game's settings need a level of at least " + std::to_string(kSupaplexHeaderBytes)
                                        + " squares; this one has " + std::to_string(int64_t(level.width) * level.height)
                                        + ".");
    for (size_t j = 0; j < kSupaplexHeaderBytes; ++j) {
        cell &square = *level.cellAt(int(j / size_t(level.width)) + 1, int(j % size_t(level.width)) + 1);
        const uint32_t others = tagged(square) ? uint32_t(square.reserved) & (kKeptCode | 0xFFu) : 0;
        square.reserved = int32_t(kKeptTag | others | kKeptHeaderByte | uint32_t(header[j]) << 8);
    }
}

std::vector<std::pair<int32_t, int32_t>> specialPortsOf(const tlevel &level)
{
    std::vector<std::pair<int32_t, int32_t>> ports;
    const int32_t height = std::clamp(level.height, 0, kGridSize), width = std::clamp(level.width, 0, kGridSize);
    for (int32_t r = 1; r <= height; ++r)
        for (int32_t c = 1; c <= width; ++c)
            if (isSpecialPort(level.cellAt(r, c)->tile))
                ports.emplace_back(c, r);
    return ports;
}

GameSettings gameSettingsOf(const tlevel &level)
{
    const SupaplexHeader header = keptHeaderOf(level);
    GameSettings settings;
    settings.gravity = header[kSupaplexGravityAt - kSupaplexHeaderAt] != 0;
    settings.freezeZonks = header[kSupaplexFreezeZonksAt - kSupaplexHeaderAt] == 2;
    const Placement at = placementOf(level);
    for (const auto &[column, row] : specialPortsOf(level)) {
        SpecialPortSettings port{column, row};
        const int entry = entryOf(header, int32_t(recordIndex(at, column, row)));
        if (entry >= 0) {
            const size_t e = kSupaplexPortTableAt - kSupaplexHeaderAt + size_t(entry) * kSupaplexPortEntryBytes;
            port.changes = true;
            port.gravity = header[e + 2] != 0;
            port.freezeZonks = header[e + 3] == 2;
            port.freezeEnemies = header[e + 4] == 1;
        }
        settings.ports.push_back(port);
    }
    return settings;
}

void applyGameSettings(tlevel &level, const GameSettings &settings)
{
    SupaplexHeader header = keptHeaderOf(level);
    // A switch that is unchanged keeps its byte as stored; a changed one takes the value the game reads.
    auto setSwitch = [](uint8_t &byte, bool on, bool isOn, uint8_t onValue) {
        if (on != isOn)
            byte = on ? onValue : 0;
    };
    uint8_t &gravity = headerByte(header, kSupaplexGravityAt);
    setSwitch(gravity, settings.gravity, gravity != 0, 1);
    uint8_t &freeze = headerByte(header, kSupaplexFreezeZonksAt);
    setSwitch(freeze, settings.freezeZonks, freeze == 2, 2);

    uint8_t &count = headerByte(header, kSupaplexPortCountAt);
    const Placement at = placementOf(level);
    for (const SpecialPortSettings &port : settings.ports) {
        if (port.column < 1 || port.row < 1 || port.column > std::min(level.width, kColumns)
            || port.row > std::min(level.height, kRows))
            continue;
        const int32_t recordCell = int32_t(recordIndex(at, port.column, port.row));
        int entry = entryOf(header, recordCell);
        const size_t table = kSupaplexPortTableAt - kSupaplexHeaderAt;
        if (entry >= 0 && !port.changes) {
            // Later entries move up one; the freed last entry is cleared.
            const int used = std::min<int>(count, kSupaplexPortEntries);
            for (int k = entry; k + 1 < used; ++k)
                for (size_t b = 0; b < kSupaplexPortEntryBytes; ++b)
                    header[table + size_t(k) * kSupaplexPortEntryBytes + b] =
                        header[table + size_t(k + 1) * kSupaplexPortEntryBytes + b];
            for (size_t b = 0; b < kSupaplexPortEntryBytes; ++b)
                header[table + size_t(used - 1) * kSupaplexPortEntryBytes + b] = 0;
            count = uint8_t(used - 1);
            continue;
        }
        if (!port.changes)
            continue;
        if (entry < 0) {
            if (count >= kSupaplexPortEntries)
                throw Error("EExportError", "The game keeps the settings of at most 10 special ports; the port at "
                                                + squareWords(port.column, port.row) + " would be the 11th.");
            entry = count++;
            const size_t e = table + size_t(entry) * kSupaplexPortEntryBytes;
            const int32_t position = recordCell * 2;
            header[e] = uint8_t(position >> 8);
            header[e + 1] = uint8_t(position & 0xFF);
            header[e + 2] = header[e + 3] = header[e + 4] = header[e + 5] = 0;
        }
        const size_t e = table + size_t(entry) * kSupaplexPortEntryBytes;
        setSwitch(header[e + 2], port.gravity, header[e + 2] != 0, 1);
        setSwitch(header[e + 3], port.freezeZonks, header[e + 3] == 2, 2);
        setSwitch(header[e + 4], port.freezeEnemies, header[e + 4] == 1, 1);
    }
    keepHeader(level, header);
}

} // namespace qm
