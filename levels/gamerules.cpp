#include "gamerules.h"

#include "tiles.h"
#include "palette.h"

#include <array>
#include <initializer_list>

namespace qm {

namespace {

constexpr int32_t kTileKey = 14;
constexpr const char *kWalk = "passable: the hero walks onto it";
constexpr const char *kCollect = "passable: the hero collects it";
constexpr const char *kUnknown = "no rule is known: the checks let the hero through";
constexpr const char *kWall = "a wall that never moves or breaks";
constexpr const char *kBreak = "breakable: the hero cannot enter it, an explosion clears it";
constexpr const char *kPush = "movable: the hero pushes it";
constexpr const char *kPort = "port: the hero passes it onto the square beyond, in the arrow's direction only";
constexpr const char *kPortBothWays = "port: the hero passes it onto the square beyond, in either arrow's direction";
constexpr const char *kSpecialPort = "port: the hero passes it onto the square beyond, in the arrow's direction only; "
                                     "passing it can switch gravity and freeze the zonks or the enemies, as the "
                                     "level's Game Settings say";

constexpr uint64_t codes(std::initializer_list<int> list)
{
    uint64_t bits = 0;
    for (int code : list)
        bits |= uint64_t(1) << code;
    return bits;
}

// Each row: tile, name, rule, then the flips (the tile mirrored left to right, top to bottom).
TileRules row(int32_t tile, const char *name, TileRule rule, const char *how, int32_t leftRight, int32_t topBottom)
{
    TileRules rules{tile, name, rule};
    rules.how = how;
    rules.flippedLeftRight = leftRight;
    rules.flippedTopBottom = topBottom;
    return rules;
}

// A single square that looks the same either way round.
TileRules square(int32_t tile, const char *name, TileRule rule, const char *how)
{
    return row(tile, name, rule, how, tile, tile);
}

std::array<TileRules, kLastPaletteTile - kFirstPaletteTile + 1> makeTable()
{
    using R = TileRule;
    std::array<TileRules, kLastPaletteTile - kFirstPaletteTile + 1> t{};
    auto set = [&t](const TileRules &rules) { t[size_t(rules.tile - kFirstPaletteTile)] = rules; };
    set(square(12, "infotron", R::Passable, kCollect));
    set(square(13, "gem", R::Passable, kCollect));
    set(square(14, "key", R::Passable, "passable: the hero collects it, and it opens the locked doors (17)"));
    set(square(15, "empty square", R::Passable, kWalk));
    set(square(16, "base", R::Passable, "passable: the hero digs through it"));
    TileRules door = square(17, "locked door", R::Door, "door: passable once the hero holds a key (14)");
    door.key = kTileKey;
    set(door);
    set(square(18, "lever", R::Unknown, kUnknown));
    set(square(19, "red disk", R::Passable, "passable: the hero picks it up"));
    set(square(20, "boulder", R::Movable, kPush));
    set(square(21, "orange disk", R::Movable, kPush));
    set(square(22, "yellow disk", R::Movable, kPush));
    set(square(23, "crate", R::Movable, kPush));
    TileRules teleporter = square(24, "teleporter", R::Passable, "passable: it takes the hero to any other teleporter");
    teleporter.teleports = true;
    set(teleporter);
    set(square(25, "pit", R::Unknown, kUnknown));
    set(square(26, "ice", R::Passable, kWalk));
    set(square(27, "water", R::Unknown, kUnknown));
    set(square(28, "chip", R::Breakable, kBreak));
    set(row(29, "horizontal chip", R::Breakable, kBreak, kCannotFlip, 29));
    set(row(30, "big block", R::Wall, kWall, kCannotFlip, kCannotFlip));
    set(row(31, "vertical chip", R::Breakable, kBreak, 31, kCannotFlip));
    set(square(32, "wall with a vent", R::Wall, kWall));
    set(square(33, "grating", R::Unknown, kUnknown));
    set(square(34, "wall with lights", R::Wall, kWall));
    set(square(35, "striped wall", R::Wall, kWall));
    set(row(36, "long block", R::Wall, kWall, kCannotFlip, 36));
    set(row(37, "tower block", R::Wall, kWall, kCannotFlip, kCannotFlip));
    TileRules spinner = square(38, "spinner", R::Enemy, "enemy: it moves by itself; destroyed, it leaves nothing");
    set(spinner);
    TileRules spark = square(39, "spark", R::Enemy,
                             "enemy: it moves by itself; destroyed, it leaves nine infotrons (12), three by three around it");
    spark.leaves = kTileInfotron;
    spark.leavesSide = 3;
    set(spark);
    set(row(40, "large block", R::Wall, kWall, kCannotFlip, kCannotFlip));
    set(square(41, "hard wall", R::Wall, kWall));
    set(square(42, "wall with a window", R::Wall, kWall));
    set(square(43, "lamp", R::Unknown, kUnknown));
    set(row(44, "horizontal pipe", R::Unknown, kUnknown, 44, 44));
    set(row(45, "vertical pipe", R::Unknown, kUnknown, 45, 45));
    set(square(46, "pipe crossing", R::Unknown, kUnknown));
    set(square(47, "barrel", R::Unknown, kUnknown));
    set(square(48, "potted plant", R::Unknown, kUnknown));
    auto port = [&](int32_t tile, const char *name, uint8_t direction, int32_t leftRight, int32_t topBottom) {
        TileRules rules = row(tile, name, R::Port, kPort, leftRight, topBottom);
        rules.directions = direction;
        set(rules);
    };
    port(kTilePortRight, "port right", kRight, kTilePortLeft, kTilePortRight);
    port(kTilePortDown, "port down", kDown, kTilePortDown, kTilePortUp);
    port(kTilePortLeft, "port left", kLeft, kTilePortRight, kTilePortLeft);
    port(kTilePortUp, "port up", kUp, kTilePortUp, kTilePortDown);
    set(square(53, "terminal", R::Breakable, kBreak));
    set(square(54, "hourglass", R::Passable, kCollect));
    set(square(55, "heart", R::Passable, kCollect));
    set(square(56, "braced wall", R::Wall, kWall));
    set(square(57, "star", R::Passable, kCollect));
    set(square(58, "coin", R::Passable, kCollect));
    set(square(59, "mushroom", R::Unknown, kUnknown));
    set(square(60, "danger sign", R::Unknown, kUnknown));
    set(square(61, "flag", R::Passable, kWalk));
    set(square(62, "lightning bolt", R::Passable, kCollect));
    set(row(63, "exit", R::Exit, "exit: the level ends here once enough infotrons are collected", 63, kCannotFlip));
    set(row(64, "tall object", R::Unknown, kUnknown, 64, kCannotFlip));
    set(row(65, "lower half of the tall object", R::Unknown, kUnknown, 65, kCannotFlip));
    set(row(66, "pillar", R::Unknown, kUnknown, 66, kCannotFlip));
    set(row(67, "tree", R::Unknown, kUnknown, 67, kCannotFlip));
    set(row(68, "big object", R::Unknown, kUnknown, kCannotFlip, kCannotFlip));
    set(square(kTileBug, "bug", R::Passable,
               "passable: the hero digs through it like base, but it sparks now and then, and a spark is deadly"));
    TileRules upDown = row(kTilePortUpDown, "port up and down", R::Port, kPortBothWays, kTilePortUpDown, kTilePortUpDown);
    upDown.directions = kUp | kDown;
    set(upDown);
    TileRules leftRight =
        row(kTilePortLeftRight, "port left and right", R::Port, kPortBothWays, kTilePortLeftRight, kTilePortLeftRight);
    leftRight.directions = kLeft | kRight;
    set(leftRight);
    TileRules fourWay = square(kTilePortFourWay, "four-way port", R::Port,
                               "port: the hero passes it onto the square beyond, in any direction");
    fourWay.directions = kRight | kDown | kLeft | kUp;
    set(fourWay);
    auto special = [&](int32_t tile, const char *name, uint8_t direction, int32_t mirrored, int32_t flipped) {
        TileRules rules = row(tile, name, R::Port, kSpecialPort, mirrored, flipped);
        rules.directions = direction;
        set(rules);
    };
    special(kTileSpecialPortRight, "special port right", kRight, kTileSpecialPortLeft, kTileSpecialPortRight);
    special(kTileSpecialPortDown, "special port down", kDown, kTileSpecialPortDown, kTileSpecialPortUp);
    special(kTileSpecialPortLeft, "special port left", kLeft, kTileSpecialPortRight, kTileSpecialPortLeft);
    special(kTileSpecialPortUp, "special port up", kUp, kTileSpecialPortUp, kTileSpecialPortDown);
    set(square(kTileInvisibleWall, "invisible wall", R::Breakable,
               "breakable: an obstacle the game does not draw; the hero cannot enter it, an explosion clears it"));

    // The game's object codes. A tile not listed has no counterpart in the game.
    auto code = [&t](int32_t tile, int32_t gameCode, uint64_t variants = 0) {
        TileRules &rules = t[size_t(tile - kFirstPaletteTile)];
        rules.gameCode = gameCode;
        rules.gameVariants = variants;
    };
    code(kTileEmpty, 0);
    code(kTileBoulder, 1);
    code(kTileBase, 2, codes({3})); // 3: a hero that is not the one at the start square
    code(kTileInfotron, 4);
    code(kTileChip, 5);
    code(kTileWall, 6);
    code(kTileExit, 7);
    code(kTileOrangeDisk, 8);
    for (int32_t k = 0; k < 4; ++k) {
        code(kTilePortRight + k, 9 + k);
        code(kTileSpecialPortRight + k, 13 + k);
    }
    code(kTileSpinner, 17);
    code(kTileYellowDisk, 18);
    code(kTileTerminal, 19);
    code(kTileRedDisk, 20);
    code(kTilePortUpDown, 21);
    code(kTilePortLeftRight, 22);
    code(kTilePortFourWay, 23);
    code(kTileSpark, 24);
    code(kTileBug, 25);
    code(kTileStripHorizontal, 26, codes({27})); // left half, right half (pattern 1)
    code(kTileWallPlain, 28);
    code(kTileWallStriped, 29, codes({31, 34, 35, 37}));
    code(kTileWallBraced, 30, codes({32}));
    code(kTileWallLight, 33);
    code(kTileBlock7x1, 36);
    code(kTileStripVertical, 38, codes({39})); // upper half, lower half (pattern 1)
    code(kTileInvisibleWall, 40);
    return t;
}

const std::array<TileRules, kLastPaletteTile - kFirstPaletteTile + 1> &table()
{
    static const auto instance = makeTable();
    return instance;
}

} // namespace

const TileRules *tileRules(int32_t tile)
{
    if (tile < kFirstPaletteTile || tile > kLastPaletteTile)
        return nullptr;
    return &table()[size_t(tile - kFirstPaletteTile)];
}

TileRule ruleOf(int32_t tile)
{
    const TileRules *rules = tileRules(tile);
    return rules ? rules->rule : TileRule::Unknown;
}

std::string tileWords(int32_t tile)
{
    if (const TileRules *rules = tileRules(tile))
        return std::string(rules->name) + " (" + std::to_string(tile) + ")";
    if (tile == kTileFiller)
        return "filler (" + std::to_string(tile) + ")";
    return "tile " + std::to_string(tile);
}

bool tileStandsFor(const TileRules &rules, uint8_t code)
{
    if (rules.gameCode < 0)
        return false;
    if (code == rules.gameCode)
        return true;
    if (rules.tile == kTileInvisibleWall)
        return code > 40;
    return code < 64 && (rules.gameVariants >> code & 1) != 0;
}

int32_t tileOfGameCode(uint8_t code)
{
    static const std::array<int32_t, 256> tileOf = [] {
        std::array<int32_t, 256> result{};
        for (int c = 0; c < 256; ++c)
            for (int32_t tile = kFirstPaletteTile; tile <= kLastPaletteTile; ++tile)
                if (tileStandsFor(*tileRules(tile), uint8_t(c))) {
                    result[size_t(c)] = tile;
                    break;
                }
        return result;
    }();
    return tileOf[code];
}

int64_t infotronsLeftBy(int32_t tile)
{
    if (tile == kTileInfotron)
        return 1;
    const TileRules *rules = tileRules(tile);
    if (rules && rules->leaves == kTileInfotron)
        return int64_t(rules->leavesSide) * rules->leavesSide;
    return 0;
}

} // namespace qm
