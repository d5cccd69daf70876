#include "levelcheck.h"

#include "gamelevel.h"

#include "game/recording.h"
#include "platform/errors.h"

#include "gamerules.h"
#include "painting.h"
#include "supaplexexport.h"
#include "palette.h"
#include "reach.h"
#include "startsquare.h"
#include "tiles.h"

#include "game/engine.h"
#include "game/objects.h"

#include <algorithm>
#include <array>
#include <climits>
#include <deque>
#include <map>
#include <string>
#include <unordered_map>

namespace qm {

namespace {

std::string place(int32_t row, int32_t column)
{
    return "column " + std::to_string(column) + ", row " + std::to_string(row);
}

// "a boulder (20)", "an exit (63)".
std::string withArticle(int32_t tile)
{
    const std::string words = tileWords(tile);
    return (std::string("aeiou").find(words[0]) != std::string::npos ? "an " : "a ") + words;
}

std::string count(int64_t n, const char *one, const char *many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The smallest and largest width and height the Levels dialog accepts; both even.
constexpr int32_t kDialogSmallest = 6;
constexpr int32_t kDialogLargest = 70;

bool dialogSize(int32_t squares) { return squares >= kDialogSmallest && squares <= kDialogLargest && squares % 2 == 0; }

// Notes that fold: the words for many of a kind.
struct NoteKind {
    const char *code;
    const char *many;
};
constexpr std::array<NoteKind, 7> kNoteKinds{{
    {"imported-exit", "exits (63) without the empty square and filler below them, as imported"},
    {"imported-chip-upper", "upper halves of vertical chips (31) without their lower half, as imported"},
    {"imported-chip-lower", "lone lower halves of vertical chips (31), as imported"},
    {"imported-chip-left", "left halves of horizontal chips (29) without their right half, as imported"},
    {"imported-chip-right", "lone right halves of horizontal chips (29), as imported"},
    {"imported-block", "long blocks (36) of a single square, as imported"},
    {"hidden-cells", "notes on cells outside the level"},
}};

// What painting left in one square, after all of its writes to that square (kinds left out: they only
// choose the drawing pass, and imported strips carry the ordinary kind).
struct Expected {
    int32_t row;
    int32_t column;
    uint8_t fields;
    int32_t tile;
    int32_t pattern;
};

// An object larger than one square found at its first square.
struct Object {
    int32_t row, column, tile;
    bool imported;           // as the Supaplex import leaves it: a single square of the ordinary kind
    int32_t squares = 0;     // the squares painting writes
    int32_t outside = 0;     // of them, beyond the level's right or bottom edge
    bool right = false, below = false;
    int32_t lost = 0;        // of them, inside the level but holding something else
    Expected firstLost{};
    size_t lostFrom = 0, lostTo = 0; // its lost squares in Checker::mLostSquares
    int32_t overlap = -1;    // the object it was painted over with, so that neither is whole
};

// Frames a level is played without input to see whether the hero survives standing still: a little
// over a second, about as long as a player takes to look and move.
constexpr int kFramesStandingStill = 40;

std::string killerInTileWords(game::Killer killer)
{
    switch (killer) {
    case game::Killer::Zonk: return withArticle(kTileBoulder) + " that falls on him";
    case game::Killer::Infotron: return withArticle(kTileInfotron) + " that falls on him";
    case game::Killer::OrangeDisk: return "the explosion of " + withArticle(kTileOrangeDisk);
    case game::Killer::SnikSnak: return withArticle(kTileSpinner);
    case game::Killer::Electron: return withArticle(kTileSpark);
    case game::Killer::Bug: return withArticle(kTileBug);
    case game::Killer::RedDisk: return "the explosion of " + withArticle(kTileRedDisk);
    case game::Killer::Explosion:
    case game::Killer::None: break;
    }
    return "an explosion";
}

// Many of a tile, in words: "boulders (20)", "ports right (49)".
std::string plural(int32_t tile)
{
    const TileRules *rules = tileRules(tile);
    if (!rules)
        return "squares of " + tileWords(tile);
    std::string name = rules->name;
    const size_t port = name.find("port");
    if (port != std::string::npos)
        name.insert(port + 4, "s");
    else
        name += "s";
    return name + " (" + std::to_string(tile) + ")";
}

// The tiles the import writes as objects larger than one square, one square each.
bool importedObjectTile(int32_t tile)
{
    return tile == kTileStripHorizontal || tile == kTileStripVertical || tile == kTileBlock7x1 || tile == kTileExit;
}

class Checker {
public:
    Checker(const tlevel &level, const LevelGraphics *graphics)
        : mLevel(level), mGraphics(graphics), mRows(std::max(0, std::min(level.height, kGridSize))),
          mColumns(std::max(0, std::min(level.width, kGridSize))), mRun(level)
    {
    }

    std::vector<Finding> run(const CheckOptions &options)
    {
        std::vector<Finding> findings;
        checkStart(findings);
        checkHeroStandingStill(findings);
        checkSize(findings);
        checkSpecialPorts(findings);
        checkInfotronsAndExit(findings);
        checkGraphicsFile(findings);
        if (loaded())
            checkPictures(findings);
        checkObjects(findings);
        checkParts(findings);
        checkFillers(findings);
        if (options.hiddenCells)
            checkHiddenCells(findings);
        return findings;
    }

private:
    bool loaded() const { return mGraphics && mGraphics->state == LevelGraphics::State::Loaded; }
    size_t index(int32_t r, int32_t c) const { return size_t(r - 1) * kGridSize + size_t(c - 1); }
    const cell &at(int32_t r, int32_t c) const { return *mLevel.cellAt(r, c); }

    int32_t widthOf(int32_t tile) const { return mGraphics ? mGraphics->widthOf(tile) : 0; }

    // ---- the start square, the size, the infotrons and the exit ----------------------------------

    void checkStart(std::vector<Finding> &findings) const
    {
        const int64_t column = startSquareOf(mLevel.startx), row = startSquareOf(mLevel.starty);
        const bool outside = column < 1 || column > mColumns || row < 1 || row > mRows;
        if (outside && keepsSupaplexRecord(mLevel)) {
            // The whole import leaves the start outside when the record holds no hero.
            findings.push_back({Severity::Error, "no-hero",
                                "the level has no hero square: the game finds no hero and ends the level as failed",
                                std::nullopt});
            return;
        }
        if (outside) {
            findings.push_back({Severity::Error, "start-outside",
                                "the start square (column " + std::to_string(column) + ", row " + std::to_string(row)
                                    + ") lies outside the level's " + std::to_string(mLevel.width) + " x "
                                    + std::to_string(mLevel.height) + " squares",
                                std::nullopt});
            return;
        }
        const CellPlace start{int32_t(row), int32_t(column)};
        const int32_t tile = at(start.row, start.column).tile;
        const TileRule rule = ruleOf(tile);
        if (rule == TileRule::Wall)
            findings.push_back({Severity::Error, "start-wall",
                                "the start square at " + place(start.row, start.column) + " is on " + withArticle(tile)
                                    + ", a wall that never moves or breaks",
                                start});
        else if (rule != TileRule::Passable && rule != TileRule::Unknown)
            findings.push_back({Severity::Warning, "start-tile",
                                "the hero starts on " + withArticle(tile) + " at " + place(start.row, start.column), start});
    }

    // The level played without input for its first frames: a hero who dies there is killed by what
    // falls on him or comes at him before a player could move him away.
    void checkHeroStandingStill(std::vector<Finding> &findings) const
    {
        const int64_t column = startSquareOf(mLevel.startx), row = startSquareOf(mLevel.starty);
        if (column < 1 || column > mColumns || row < 1 || row > mRows)
            return;
        game::Level played;
        try {
            played = gameLevelOf(mLevel); // as Play Level plays it
        } catch (const Error &) {
            return; // too small to play: the size check says so
        }
        game::Engine engine(played);
        for (int frame = 0; frame < kFramesStandingStill && !engine.stopped() && !engine.heroDied(); ++frame)
            engine.frame(game::kNone);
        if (!engine.heroDied())
            return;
        findings.push_back({Severity::Warning, "hero-killed",
                            "the hero, standing still on the start square at " + place(int32_t(row), int32_t(column))
                                + ", is killed in frame " + std::to_string(engine.diedAtFrame()) + " by "
                                + killerInTileWords(engine.killer()),
                            CellPlace{int32_t(row), int32_t(column)}});
    }

    void checkSize(std::vector<Finding> &findings) const
    {
        if (dialogSize(mLevel.width) && dialogSize(mLevel.height))
            return;
        findings.push_back({Severity::Warning, "size",
                            "the level's stored size, " + std::to_string(mLevel.width) + " x "
                                + std::to_string(mLevel.height)
                                + " squares, breaks the Levels dialog's rule: even numbers from 6 to 70",
                            std::nullopt});
    }

    void checkSpecialPorts(std::vector<Finding> &findings) const
    {
        const auto ports = specialPortsOf(mLevel);
        if (ports.size() <= size_t(kSupaplexPortEntries))
            return;
        const auto [column, row] = ports[size_t(kSupaplexPortEntries)];
        findings.push_back({Severity::Warning, "special-ports",
                            "the level holds " + std::to_string(ports.size())
                                + " special ports; the game allows at most 10 (the 11th is at " + place(row, column) + ")",
                            CellPlace{row, column}});
    }

    // What each square is to the game once the level has started.
    struct Square {
        uint8_t code = 0;      // the game's code at the start
        bool survives = false; // an explosion leaves it as it is
    };

    void readSquares()
    {
        mSquares.assign(size_t(mRun.squares()), Square{});
        for (int32_t at = 0; at < mRun.squares(); ++at) {
            const cell &square = squareAt(at);
            mSquares[size_t(at)] = {game::codeAtStart(playedCodeOf(square)), survivesExplosions(square)};
        }
    }
    const cell &squareAt(int32_t square) const { return at(square / mRun.columns + 1, square % mRun.columns + 1); }
    bool electron(int32_t at) const { return game::blastOn(mSquares[size_t(at)].code) == game::Blast::GoesOffInfotrons; }
    // Goes off in a chain an electron starts, leaving infotrons (the hero aside: his death ends the level).
    bool chained(int32_t at) const
    {
        const uint8_t code = mSquares[size_t(at)].code;
        return game::blastOn(code) == game::Blast::GoesOff && code != game::code::kHero;
    }

    void checkInfotronsAndExit(std::vector<Finding> &findings)
    {
        readSquares();
        int64_t infotronTiles = 0, electrons = 0, chain = 0;
        std::optional<CellPlace> exit;
        for (int32_t r = 1; r <= mRows; ++r)
            for (int32_t c = 1; c <= mColumns; ++c) {
                const int32_t tile = at(r, c).tile;
                const int32_t square = (r - 1) * mColumns + c - 1;
                infotronTiles += tile == kTileInfotron;
                electrons += electron(square);
                chain += chained(square);
                if (tile == kTileExit && !exit)
                    exit = CellPlace{r, c};
            }
        // Each electron's explosion leaves up to nine infotrons, and so does each disk or snik snak that
        // goes off in a chain an electron's explosion starts.
        const int64_t perBlast = int64_t(game::kBlastSide) * game::kBlastSide;
        if (electrons == 0)
            chain = 0;
        const int64_t bound = infotronTiles + perBlast * (electrons + chain);
        // A level kept for the game asks as the game reads it: 0 is every infotron, counted mod 256.
        const int64_t asked =
            mLevel.infotrons == 0 && keepsSupaplexRecord(mLevel) ? infotronTiles % 256 : int64_t(mLevel.infotrons);
        const bool countPossible = asked <= bound;
        if (asked > 0 && !countPossible)
            findings.push_back(
                {Severity::Error, "infotrons",
                 "the level asks for " + std::to_string(asked) + " infotrons but can hold at most "
                     + std::to_string(bound) + ": " + count(infotronTiles, "infotron (12)", "infotrons (12)") + " and "
                     + count(electrons, "spark (39)", "sparks (39)") + " that leave nine each when destroyed"
                     + (chain ? ", and nine for each of the " + std::to_string(chain)
                                    + " disks and spinners their explosions can set off"
                              : ""),
                 std::nullopt});
        if (!exit)
            findings.push_back({Severity::Error, "no-exit", "the level has no exit (63)", std::nullopt});
        const std::string noInfotrons =
            asked == 0 ? std::string("the level asks for no infotrons: the exit is open from the start")
                       : "the level asks for " + std::to_string(asked) + " infotrons, that is none: the exit is open from the start";
        const bool reachNote = checkReach(findings, exit, asked > 0 && countPossible ? asked : 0,
                                          asked <= 0 ? noInfotrons : std::string());
        if (asked <= 0 && !reachNote)
            findings.push_back({Severity::Note, "no-infotrons", noInfotrons, std::nullopt});
    }

    // What the hero can reach: errors where no way exists even with everything movable, breakable,
    // locked and (where something can explode) everything but hardware out of the way; a note where
    // every way needs something moved, broken or opened, naming what stands on it, after `first` when
    // given. Whether it gave that note.
    bool checkReach(std::vector<Finding> &findings, std::optional<CellPlace> anyExit, int64_t needed,
                    const std::string &first)
    {
        findReach(mLevel, mReach);
        if (!mReach.startValid)
            return false;
        std::optional<CellPlace> exitWide, exitFree, firstCutOff;
        int64_t infotronsWide = 0, infotronsFree = 0, cutOff = 0;
        for (int32_t r = 1; r <= mRows; ++r)
            for (int32_t c = 1; c <= mColumns; ++c) {
                const int32_t tile = at(r, c).tile;
                const Reached reached = mReach.at(r, c);
                if (tile == kTileExit && reached != Reached::Never) {
                    exitWide = exitWide ? exitWide : CellPlace{r, c};
                    if (reached == Reached::Freely)
                        exitFree = exitFree ? exitFree : CellPlace{r, c};
                }
                if (tile == kTileInfotron) {
                    infotronsWide += reached != Reached::Never;
                    infotronsFree += reached == Reached::Freely;
                    if (reached == Reached::Never && !cutOff++)
                        firstCutOff = CellPlace{r, c};
                }
            }
        // Electrons move, and disks fall, within the squares that no hardware closes off; the infotrons
        // of an electron's explosion and of the chain it starts count when that space meets the squares
        // the hero reaches.
        labelOpenSpaces();
        const int64_t perBlast = int64_t(game::kBlastSide) * game::kBlastSide;
        std::vector<int64_t> electronsIn(size_t(mSpaces) + 1), chainIn(size_t(mSpaces) + 1);
        std::vector<bool> spaceWide(size_t(mSpaces) + 1), spaceFree(size_t(mSpaces) + 1);
        for (int32_t square = 0; square < mRun.squares(); ++square) {
            const size_t space = size_t(mSpace[size_t(square)]);
            electronsIn[space] += electron(square);
            chainIn[space] += chained(square);
            const Reached reached = mReach.squares[size_t(square)];
            spaceWide[space] = spaceWide[space] || reached != Reached::Never;
            spaceFree[space] = spaceFree[space] || reached == Reached::Freely;
        }
        bool anySpark = false;
        for (size_t space = 1; space <= size_t(mSpaces); ++space) {
            anySpark = anySpark || electronsIn[space] != 0;
            const int64_t left = electronsIn[space] ? perBlast * (electronsIn[space] + chainIn[space]) : 0;
            infotronsWide += spaceWide[space] ? left : 0;
            infotronsFree += spaceFree[space] ? left : 0;
        }

        const std::string anyway = " cannot be reached from the start square, even with every boulder, chip and "
                                   "locked door out of the way";
        if (anyExit && !exitWide)
            findings.push_back({Severity::Error, "exit-unreachable", "the " + tileWords(kTileExit) + " at "
                                                                         + place(anyExit->row, anyExit->column) + anyway,
                                *anyExit});
        if (needed > infotronsWide) {
            // The first infotron cut off is named, so that a double-click shows where the trouble is.
            const std::string others =
                firstCutOff ? "the infotron at " + place(firstCutOff->row, firstCutOff->column)
                                  + (cutOff > 1 ? " and " + std::to_string(cutOff - 1) + " more" : "")
                            : std::string("the others");
            findings.push_back({Severity::Error, "infotrons-unreachable",
                                "only " + std::to_string(infotronsWide) + " of the " + std::to_string(needed)
                                    + " infotrons the level asks for"
                                    + (anySpark ? " (nine for each spark and for each disk or spinner its explosion "
                                                  "can set off)"
                                                : "")
                                    + " can be reached from the start square; " + others + anyway,
                                firstCutOff});
        }
        std::vector<std::string> blocked;
        if (exitWide && !exitFree)
            blocked.push_back("the " + tileWords(kTileExit) + " at " + place(exitWide->row, exitWide->column));
        if (needed <= infotronsWide && needed > infotronsFree)
            blocked.push_back(std::to_string(needed - infotronsFree) + " of the " + std::to_string(needed)
                              + " infotrons needed");
        if (blocked.empty())
            return false;
        const std::string obstacles = obstaclesOnTheWay(exitWide && !exitFree ? exitWide : std::nullopt);
        findings.push_back({Severity::Note, "reach-obstructed",
                            (first.empty() ? std::string() : first + "; ") + "the hero reaches " + blocked[0]
                                + (blocked.size() > 1 ? " and " + blocked[1] : "")
                                + " only by moving, breaking or opening something on the way"
                                + (obstacles.empty() ? "" : ": " + obstacles),
                            blocked.size() == 1 && exitWide && !exitFree ? exitWide : std::nullopt});
        return true;
    }

    // What stands on the cheapest ways from the squares reached freely to the exit (when given) and to
    // the infotrons and electrons reached only past something: the tiles in words, most frequent first
    // (empty when no such way is found square by square).
    std::string obstaclesOnTheWay(std::optional<CellPlace> exit)
    {
        const int32_t n = mRun.squares();
        auto obstacle = [&](int32_t square) { return !freelyPassable(ruleOf(squareAt(square).tile)); };
        constexpr int32_t kFar = INT32_MAX;
        std::vector<int32_t> cost(size_t(n), kFar), from(size_t(n), -1);
        std::deque<int32_t> queue;
        for (int32_t square = 0; square < n; ++square)
            if (mReach.squares[size_t(square)] == Reached::Freely) {
                cost[size_t(square)] = 0;
                queue.push_back(square);
            }
        while (!queue.empty()) {
            const int32_t square = queue.front();
            queue.pop_front();
            for (auto [dr, dc] : {std::pair{0, 1}, {1, 0}, {0, -1}, {-1, 0}}) {
                const int32_t next = mRun.step(square, dr, dc);
                if (next < 0 || mReach.squares[size_t(next)] == Reached::Never)
                    continue;
                const int32_t step = obstacle(next) ? 1 : 0;
                if (cost[size_t(square)] + step >= cost[size_t(next)])
                    continue;
                cost[size_t(next)] = cost[size_t(square)] + step;
                from[size_t(next)] = square;
                if (step)
                    queue.push_back(next);
                else
                    queue.push_front(next);
            }
        }
        std::vector<int32_t> targets;
        if (exit)
            targets.push_back((exit->row - 1) * mColumns + exit->column - 1);
        for (int32_t square = 0; square < n; ++square)
            if (mReach.squares[size_t(square)] == Reached::Obstructed
                && (squareAt(square).tile == kTileInfotron || electron(square)))
                targets.push_back(square);
        std::vector<bool> named(static_cast<size_t>(n));
        std::map<int32_t, int64_t> byTile;
        std::vector<int32_t> order;
        for (int32_t target : targets)
            for (int32_t square = target; square >= 0 && cost[size_t(square)] > 0 && !named[size_t(square)];
                 square = from[size_t(square)]) {
                named[size_t(square)] = true;
                if (!obstacle(square))
                    continue;
                const int32_t tile = squareAt(square).tile;
                if (byTile[tile]++ == 0)
                    order.push_back(tile);
            }
        std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) { return byTile[a] > byTile[b]; });
        std::string words;
        for (size_t k = 0; k < order.size(); ++k) {
            words += k == 0 ? "" : k + 1 == order.size() ? " and " : ", ";
            words += byTile[order[k]] == 1 ? withArticle(order[k]) : std::to_string(byTile[order[k]]) + " " + plural(order[k]);
        }
        return words;
    }

    // Numbers the open spaces: squares that no explosion can clear (hardware) close them off; the
    // others join side by side and corner to corner (an explosion reaches the squares around it
    // diagonally too; ports join both ways). mSpace holds the number of each square of the level, from 1.
    void labelOpenSpaces()
    {
        mSpace.assign(size_t(mRun.squares()), 0);
        mSpaces = 0;
        std::vector<int32_t> queue;
        for (int32_t square = 0; square < mRun.squares(); ++square) {
            if (mSpace[size_t(square)] || mSquares[size_t(square)].survives)
                continue;
            ++mSpaces;
            queue.assign(1, square);
            mSpace[size_t(square)] = mSpaces;
            for (size_t head = 0; head < queue.size(); ++head)
                for (auto [dr, dc] : {std::pair{0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}}) {
                    const int32_t next = mRun.step(queue[head], dr, dc);
                    if (next < 0 || mSpace[size_t(next)] || mSquares[size_t(next)].survives)
                        continue;
                    mSpace[size_t(next)] = mSpaces;
                    queue.push_back(next);
                }
        }
    }

    // ---- the graphics file and its pictures --------------------------------------------------------

    void checkGraphicsFile(std::vector<Finding> &findings) const
    {
        if (!mGraphics)
            return;
        if (mGraphics->state == LevelGraphics::State::Missing)
            findings.push_back({Severity::Error, "graphics-missing",
                                "the graphics file \"" + mLevel.dxg + "\" is not in the game directory", std::nullopt});
        else if (mGraphics->state == LevelGraphics::State::Unreadable)
            findings.push_back({Severity::Error, "graphics-unreadable",
                                "the graphics file \"" + mLevel.dxg + "\" cannot be read: " + mGraphics->message,
                                std::nullopt});
    }

    // One finding per tile without a picture and per pattern a picture lacks, at its first square.
    void checkPictures(std::vector<Finding> &findings) const
    {
        struct Missing {
            bool picture;
            int32_t tile, pattern;
            int64_t patterns;
            CellPlace first;
            int64_t squares;
        };
        std::vector<Missing> missing;
        std::map<std::pair<int32_t, int32_t>, size_t> known;
        for (int32_t r = 1; r <= mRows; ++r)
            for (int32_t c = 1; c <= mColumns; ++c) {
                const cell &here = at(r, c);
                const bool picture = here.tile < 0 || size_t(here.tile) >= mGraphics->pictures.size();
                int64_t patterns = 0;
                if (!picture) {
                    patterns = mGraphics->pictures[size_t(here.tile)].patterns;
                    if (here.pattern >= 0 && here.pattern < patterns)
                        continue;
                }
                const auto key = std::pair{here.tile, picture ? 0 : here.pattern};
                auto found = known.find(key);
                if (found != known.end()) {
                    ++missing[found->second].squares;
                    continue;
                }
                known.emplace(key, missing.size());
                missing.push_back({picture, here.tile, here.pattern, patterns, CellPlace{r, c}, 1});
            }
        for (const Missing &m : missing) {
            const std::string squares =
                m.squares == 1 ? "the square at " + place(m.first.row, m.first.column)
                               : std::to_string(m.squares) + " squares (the first at " + place(m.first.row, m.first.column)
                                     + ")";
            if (m.picture)
                findings.push_back({Severity::Warning, "no-picture",
                                    "tile " + std::to_string(m.tile) + " has no picture in \"" + mLevel.dxg + "\", so "
                                        + squares + (m.squares == 1 ? " shows" : " show") + " nothing",
                                    m.first});
            else
                findings.push_back({Severity::Warning, "no-pattern",
                                    "the picture of " + tileWords(m.tile) + " has " + std::to_string(m.patterns)
                                        + " patterns, so pattern " + std::to_string(m.pattern) + " shows nothing on "
                                        + squares,
                                    m.first});
        }
    }

    // ---- objects larger than one square ------------------------------------------------------------

    // The pattern of the square that identifies an object of tile t (see findObject).
    int32_t keyPatternOf(int32_t t) const
    {
        return objectKeyPattern(t, [this](int32_t tile) { return widthOf(tile); });
    }

    // What painting tile t at (r, c) leaves, square by square: the squares painting t at (1, 1) leaves,
    // worked out once per tile, moved to (r, c). A strip is followed only to the first square past the
    // grid, as painting does.
    void expectedWrites(int32_t r, int32_t c, int32_t t)
    {
        if (t < 0 || t > kLastPaletteTile)
            return;
        std::vector<Expected> &known = mExpectedOf[size_t(t)];
        if (known.empty()) {
            writesAt(1, 1, t);
            known = mExpected;
        }
        const bool strip = t == kTileStripHorizontal || t == kTileStripVertical;
        mExpected.clear();
        for (Expected e : known) {
            e.row += r - 1;
            e.column += c - 1;
            if (!strip || (e.row <= kGridSize + 1 && e.column <= kGridSize + 1))
                mExpected.push_back(e);
        }
    }

    void writesAt(int32_t r, int32_t c, int32_t t)
    {
        mExpected.clear();
        auto width = [this](int32_t tile) { return widthOf(tile); };
        paintingWrites(r, c, t, PaintVariant::Press, width, [this](const CellWrite &write) {
            const uint8_t fields = write.fields & (CellWrite::Tile | CellWrite::Pattern);
            if (!fields)
                return;
            Expected *entry = nullptr;
            for (Expected &e : mExpected)
                if (e.row == write.row && e.column == write.column)
                    entry = &e;
            if (!entry)
                entry = &mExpected.emplace_back(Expected{write.row, write.column, 0, 0, 0});
            entry->fields |= fields;
            if (fields & CellWrite::Tile)
                entry->tile = write.tile;
            if (fields & CellWrite::Pattern)
                entry->pattern = write.pattern;
        });
    }

    bool holds(const Expected &e) const
    {
        const cell &held = at(e.row, e.column);
        return !((e.fields & CellWrite::Tile) && held.tile != e.tile)
               && !((e.fields & CellWrite::Pattern) && held.pattern != e.pattern);
    }

    // An object is recognised by the square where painting leaves its tile with pattern 0 (the 7 x 2
    // block 37 leaves an empty square there and is recognised by its pattern 1 to the right).
    void findObject(int32_t r, int32_t c, const cell &here)
    {
        const int32_t t = here.tile;
        const int32_t keyPattern = keyPatternOf(t);
        if (here.pattern != keyPattern || c - keyPattern < 1)
            return;
        const int32_t anchor = c - keyPattern;
        expectedWrites(r, anchor, t);
        Object object{r, anchor, t, here.kind == kKindOrdinary && importedObjectTile(t)};
        object.squares = int32_t(mExpected.size());
        object.lostFrom = mLostSquares.size();
        const int32_t number = int32_t(mObjects.size());
        for (const Expected &e : mExpected) {
            if (e.column > mColumns || e.row > mRows) {
                object.right = object.right || e.column > mColumns;
                object.below = object.below || e.row > mRows;
                ++object.outside;
                continue;
            }
            if (holds(e)) {
                mClaimed[index(e.row, e.column)] = true;
                mOwner[index(e.row, e.column)] = number;
                continue;
            }
            if (object.lost++ == 0)
                object.firstLost = e;
            mLostSquares.push_back(int32_t(index(e.row, e.column)));
        }
        object.lostTo = mLostSquares.size();
        mObjects.push_back(object);
    }

    void checkObjects(std::vector<Finding> &findings)
    {
        for (int32_t r = 1; r <= mRows; ++r)
            for (int32_t c = 1; c <= mColumns; ++c) {
                const cell &here = at(r, c);
                if (coversSeveralSquares(here.tile))
                    findObject(r, c, here);
            }
        // Two objects painted over each other so that neither is whole: one finding for the pair.
        for (size_t a = 0; a < mObjects.size(); ++a) {
            Object &first = mObjects[a];
            if (first.imported || first.lost == 0 || first.overlap >= 0)
                continue;
            for (size_t k = first.lostFrom; k < first.lostTo && first.overlap < 0; ++k) {
                const int32_t b = mOwner[size_t(mLostSquares[k])];
                if (b < 0 || size_t(b) == a)
                    continue;
                Object &second = mObjects[size_t(b)];
                if (second.imported || second.lost == 0 || second.overlap >= 0)
                    continue;
                first.overlap = b;
                second.overlap = int32_t(a);
            }
        }
        for (size_t a = 0; a < mObjects.size(); ++a)
            reportObject(a, findings);
    }

    void reportObject(size_t number, std::vector<Finding> &findings) const
    {
        const Object &o = mObjects[number];
        if (o.outside == 0 && o.lost == 0)
            return;
        const CellPlace anchor{o.row, o.column};
        const std::string where = place(o.row, o.column);
        if (o.imported) {
            switch (o.tile) {
            case kTileExit:
                findings.push_back({Severity::Note, "imported-exit",
                                    "the exit (63) at " + where + " stands without the empty square and filler below it, as imported",
                                    anchor});
                break;
            case kTileStripVertical:
                findings.push_back({Severity::Note, "imported-chip-upper",
                                    "the upper half of a vertical chip (31) at " + where + " stands without its lower half, as imported",
                                    anchor});
                break;
            case kTileStripHorizontal:
                findings.push_back({Severity::Note, "imported-chip-left",
                                    "the left half of a horizontal chip (29) at " + where + " stands without its right half, as imported",
                                    anchor});
                break;
            default:
                findings.push_back({Severity::Note, "imported-block",
                                    "the " + tileWords(o.tile) + " at " + where + " is a single square, as imported", anchor});
                break;
            }
            return;
        }
        const std::string object = "the " + tileWords(o.tile) + " at " + where;
        if (o.overlap >= 0) {
            if (size_t(o.overlap) < number)
                return; // reported with the other object
            const Object &other = mObjects[size_t(o.overlap)];
            findings.push_back({Severity::Warning, "object-overlap",
                                object + " and the " + tileWords(other.tile) + " at " + place(other.row, other.column)
                                    + " are painted over each other, so that neither is whole",
                                anchor});
            return;
        }
        if (o.outside) {
            std::string message = object + " is cut by the level's "
                                  + (o.right && o.below ? "right and bottom edges" : o.right ? "right edge" : "bottom edge")
                                  + " (" + std::to_string(o.outside) + " of " + std::to_string(o.squares)
                                  + " squares missing)";
            if (o.lost)
                message += ", and " + count(o.lost, "more square was", "more squares were") + " painted over";
            findings.push_back({Severity::Warning, "object-cut", message, anchor});
            return;
        }
        const Expected &e = o.firstLost;
        const cell &held = at(e.row, e.column);
        const bool patternOnly = (e.fields & CellWrite::Pattern) && held.tile == e.tile;
        const std::string wrote = patternOnly ? tileWords(e.tile) + " pattern " + std::to_string(e.pattern) : tileWords(e.tile);
        const std::string holdsNow =
            patternOnly ? tileWords(held.tile) + " pattern " + std::to_string(held.pattern) : tileWords(held.tile);
        findings.push_back({Severity::Warning, "object-broken",
                            object + " lost " + std::to_string(o.lost) + " of its " + std::to_string(o.squares)
                                + " squares: " + place(e.row, e.column) + " holds " + holdsNow + " where painting wrote "
                                + wrote,
                            anchor});
    }

    // Squares that show a part of an object (its tile with a pattern that only painting the object
    // writes there) while no object found in the level covers them: what is left of an object whose
    // first square was painted over. One finding per object left, at its first square.
    void checkParts(std::vector<Finding> &findings) const
    {
        struct Offset {
            bool part = false;
            int32_t rows = 0, columns = 0; // from the object's first square
        };
        std::vector<Offset> parts[kLastPaletteTile + 1];
        for (int32_t t = 0; t <= kLastPaletteTile; ++t) {
            if (!coversSeveralSquares(t))
                continue;
            const int32_t keyPattern = keyPatternOf(t);
            auto width = [this](int32_t tile) { return widthOf(tile); };
            paintingWrites(1, 1, t, PaintVariant::Press, width, [&](const CellWrite &write) {
                const uint8_t both = CellWrite::Tile | CellWrite::Pattern;
                if ((write.fields & both) != both || write.tile != t || write.pattern == keyPattern)
                    return;
                if (parts[t].size() <= size_t(write.pattern))
                    parts[t].resize(size_t(write.pattern) + 1);
                parts[t][size_t(write.pattern)] = Offset{true, write.row - 1, write.column - 1};
            });
        }
        struct Left {
            int32_t tile;
            CellPlace first;
            int64_t squares;
            bool imported;
        };
        std::vector<Left> left;
        std::unordered_map<int64_t, size_t> byObject;
        for (int32_t r = 1; r <= mRows; ++r)
            for (int32_t c = 1; c <= mColumns; ++c) {
                const cell &here = at(r, c);
                if (here.tile < 0 || here.tile > kLastPaletteTile || here.pattern < 0
                    || size_t(here.pattern) >= parts[here.tile].size() || !parts[here.tile][size_t(here.pattern)].part
                    || mClaimed[index(r, c)])
                    continue;
                const Offset &offset = parts[here.tile][size_t(here.pattern)];
                const bool imported = here.kind == kKindOrdinary && here.pattern == 1
                                      && (here.tile == kTileStripHorizontal || here.tile == kTileStripVertical);
                // The square the object was painted at; imported halves stand alone, each by itself.
                const int64_t key = imported ? -1 - int64_t(index(r, c))
                                             : (int64_t(here.tile) * 1024 + (r - offset.rows + 256)) * 1024
                                                   + (c - offset.columns + 256);
                auto found = byObject.find(key);
                if (found != byObject.end()) {
                    ++left[found->second].squares;
                    continue;
                }
                byObject.emplace(key, left.size());
                left.push_back({here.tile, CellPlace{r, c}, 1, imported});
            }
        for (const Left &l : left) {
            const std::string where = place(l.first.row, l.first.column);
            if (l.imported && l.tile == kTileStripVertical)
                findings.push_back({Severity::Note, "imported-chip-lower",
                                    "the lower half of a vertical chip (31) at " + where + " stands alone, as imported",
                                    l.first});
            else if (l.imported)
                findings.push_back({Severity::Note, "imported-chip-right",
                                    "the right half of a horizontal chip (29) at " + where + " stands alone, as imported",
                                    l.first});
            else
                findings.push_back({Severity::Warning, "object-part",
                                    (l.squares == 1 ? "a square of " + withArticle(l.tile) + " at " + where + " is"
                                                    : std::to_string(l.squares) + " squares of " + withArticle(l.tile)
                                                          + " from " + where + " on are")
                                        + " left of an object whose first square was painted over",
                                    l.first});
        }
    }

    // Fillers that no object in the level wrote: black holes, one finding for each patch of them.
    void checkFillers(std::vector<Finding> &findings) const
    {
        std::vector<bool> seen(size_t(kGridSize) * kGridSize);
        std::vector<CellPlace> queue;
        auto stray = [&](int32_t r, int32_t c) {
            return r >= 1 && r <= mRows && c >= 1 && c <= mColumns && at(r, c).tile == kTileFiller
                   && !mClaimed[index(r, c)] && !seen[index(r, c)];
        };
        for (int32_t r = 1; r <= mRows; ++r)
            for (int32_t c = 1; c <= mColumns; ++c) {
                if (!stray(r, c))
                    continue;
                seen[index(r, c)] = true;
                queue.assign(1, CellPlace{r, c});
                for (size_t head = 0; head < queue.size(); ++head)
                    for (auto [dr, dc] : {std::pair{0, 1}, {1, 0}, {0, -1}, {-1, 0}}) {
                        const CellPlace next{queue[head].row + dr, queue[head].column + dc};
                        if (!stray(next.row, next.column))
                            continue;
                        seen[index(next.row, next.column)] = true;
                        queue.push_back(next);
                    }
                findings.push_back(
                    {Severity::Warning, "stray-filler",
                     (queue.size() == 1 ? "a stray filler (11) at " + place(r, c) + " shows"
                                        : std::to_string(queue.size()) + " stray fillers (11) from " + place(r, c)
                                              + " on show")
                         + " as a black hole: no object of the level covers "
                         + (queue.size() == 1 ? "it" : "them"),
                     CellPlace{r, c}});
            }
    }

    void checkHiddenCells(std::vector<Finding> &findings) const
    {
        int64_t hidden = 0;
        CellPlace first{0, 0};
        for (int32_t r = 1; r <= kGridSize; ++r)
            for (int32_t c = 1; c <= kGridSize; ++c) {
                if ((r <= mRows && c <= mColumns) || *mLevel.cellAt(r, c) == kDefaultCell)
                    continue;
                if (hidden++ == 0)
                    first = {r, c};
            }
        if (hidden)
            findings.push_back({Severity::Note, "hidden-cells",
                                std::to_string(hidden) + " cells outside the level's " + std::to_string(mLevel.width)
                                    + " x " + std::to_string(mLevel.height)
                                    + " squares differ from the default cell, the first at " + place(first.row, first.column)
                                    + "; they are neither drawn nor saved",
                                std::nullopt});
    }


    const tlevel &mLevel;
    const LevelGraphics *mGraphics;
    const int32_t mRows, mColumns; // the level's rectangle, within the grid
    const SquareRun mRun;
    std::vector<Square> mSquares; // by square of mRun
    ReachMap mReach;
    std::vector<int32_t> mSpace; // open spaces by square of mRun, see labelOpenSpaces
    int32_t mSpaces = 0;
    std::vector<Expected> mExpected; // kept between objects: checking allocates once
    std::vector<Expected> mExpectedOf[kLastPaletteTile + 1]; // by tile, painted at (1, 1)
    std::vector<Object> mObjects;
    std::vector<int32_t> mLostSquares;
    std::vector<bool> mClaimed = std::vector<bool>(size_t(kGridSize) * kGridSize); // squares of objects found
    std::vector<int32_t> mOwner = std::vector<int32_t>(size_t(kGridSize) * kGridSize, -1);
};

} // namespace

namespace {

// A kept solution is replayed by the game's rules: one that finishes proves the level finishable (no
// error or warning of what the hero can reach stays), one that does not is an error.
void checkKeptSolution(const tlevel &level, std::vector<Finding> &findings)
{
    if (level.solution.empty())
        return;
    game::ReplayResult result;
    try {
        result = game::replay(gameLevelOf(level), level.solution);
    } catch (const Error &e) {
        findings.push_back({Severity::Error, "solution-unplayable",
                            std::string("the kept solution cannot be replayed: ") + e.what(), std::nullopt});
        return;
    }
    if (!result.finished) {
        findings.insert(findings.begin(),
                        {Severity::Error, "solution-broken",
                         "The kept solution no longer finishes the level: " + result.reason() + " at frame " +
                             std::to_string(result.reasonFrame()),
                         result.died ? std::optional<CellPlace>(CellPlace{result.diedAtRow, result.diedAtColumn})
                                     : std::nullopt});
        return;
    }
    std::erase_if(findings, [](const Finding &f) {
        return f.code == "exit-unreachable" || f.code == "infotrons-unreachable" || f.code == "reach-obstructed";
    });
    findings.push_back({Severity::Note, "solution-finishes",
                        "Finished by its kept solution in " + std::to_string(result.frames) + " frames", std::nullopt});
}

} // namespace

std::vector<Finding> checkLevel(const tlevel &level, const LevelGraphics *graphics, const CheckOptions &options)
{
    std::vector<Finding> findings = Checker(level, graphics).run(options);
    checkKeptSolution(level, findings);
    return findings;
}

std::vector<NoteGroup> foldNotes(const std::vector<Finding> &findings)
{
    std::vector<NoteGroup> groups;
    std::vector<const Finding *> firsts;
    for (const Finding &f : findings) {
        if (f.severity != Severity::Note)
            continue;
        auto same = std::find_if(groups.begin(), groups.end(), [&](const NoteGroup &g) { return g.code == f.code; });
        if (same != groups.end()) {
            ++same->count;
            continue;
        }
        groups.push_back({f.code, 1, f.message, f.cell});
    }
    for (NoteGroup &group : groups) {
        if (group.count == 1)
            continue;
        auto kind = std::find_if(kNoteKinds.begin(), kNoteKinds.end(),
                                 [&](const NoteKind &k) { return group.code == k.code; });
        group.text = std::to_string(group.count) + " "
                     + (kind != kNoteKinds.end() ? std::string(kind->many) : "notes \"" + group.code + "\"");
    }
    return groups;
}

const char *severityName(Severity severity)
{
    switch (severity) {
    case Severity::Error: return "error";
    case Severity::Warning: return "warning";
    case Severity::Note: return "note";
    }
    return "";
}

} // namespace qm
