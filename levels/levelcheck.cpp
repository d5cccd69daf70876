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

#include <algorithm>
#include <array>
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

// The tiles the import writes as objects larger than one square, one square each.
bool importedObjectTile(int32_t tile)
{
    return tile == kTileStripHorizontal || tile == kTileStripVertical || tile == kTileBlock7x1 || tile == kTileExit;
}

class Checker {
public:
    Checker(const tlevel &level, const LevelGraphics *graphics)
        : mLevel(level), mGraphics(graphics), mRows(std::max(0, std::min(level.height, kGridSize))),
          mColumns(std::max(0, std::min(level.width, kGridSize)))
    {
        for (int32_t tile = 0; tile <= kLastPaletteTile; ++tile) {
            mLeftBy[size_t(tile)] = infotronsLeftBy(tile);
            mWall[size_t(tile)] = ruleOf(tile) == TileRule::Wall;
        }
    }

    std::vector<Finding> run(const CheckOptions &options)
    {
        std::vector<Finding> findings;
        checkStart(findings);
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
        if (column < 1 || column > mColumns || row < 1 || row > mRows) {
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

    void checkInfotronsAndExit(std::vector<Finding> &findings)
    {
        int64_t infotronTiles = 0, sparks = 0, bound = 0;
        std::optional<CellPlace> exit;
        for (int32_t r = 1; r <= mRows; ++r)
            for (int32_t c = 1; c <= mColumns; ++c) {
                const int32_t tile = at(r, c).tile;
                const int64_t left = leftBy(tile);
                bound += left;
                infotronTiles += tile == kTileInfotron;
                sparks += left > 1;
                if (tile == kTileExit && !exit)
                    exit = CellPlace{r, c};
            }
        // A level kept for the game asks as the game reads it: 0 is every infotron, counted mod 256.
        const int64_t asked =
            mLevel.infotrons == 0 && keepsSupaplexRecord(mLevel) ? infotronTiles % 256 : int64_t(mLevel.infotrons);
        const bool countPossible = asked <= bound;
        if (asked <= 0)
            findings.push_back({Severity::Warning, "no-infotrons",
                                asked == 0 ? std::string("the level asks for no infotrons: the exit is open from the start")
                                           : "the level asks for " + std::to_string(asked)
                                                 + " infotrons, that is none: the exit is open from the start",
                                std::nullopt});
        else if (!countPossible)
            findings.push_back({Severity::Error, "infotrons",
                                "the level asks for " + std::to_string(asked) + " infotrons but can hold at most "
                                    + std::to_string(bound) + ": " + count(infotronTiles, "infotron (12)", "infotrons (12)")
                                    + " and " + count(sparks, "spark (39)", "sparks (39)")
                                    + " that leave nine each when destroyed",
                                std::nullopt});
        if (!exit)
            findings.push_back({Severity::Error, "no-exit", "the level has no exit (63)", std::nullopt});
        checkReach(findings, exit, asked > 0 && countPossible ? asked : 0);
    }

    // What the hero can reach: errors where no way exists even with everything movable, breakable and
    // locked out of the way, one warning where every way needs something moved, broken or opened.
    void checkReach(std::vector<Finding> &findings, std::optional<CellPlace> anyExit, int64_t needed)
    {
        findReach(mLevel, mReach);
        if (!mReach.startValid)
            return;
        std::optional<CellPlace> exitWide, exitFree, firstCutOff;
        int64_t infotronsWide = 0, infotronsFree = 0, cutOff = 0;
        bool anySpark = false;
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
                anySpark = anySpark || leftBy(tile) > 1;
            }
        // An enemy moves within the squares around it that no wall closes off, and leaves its infotrons
        // around the square where it is destroyed: they count when that space meets the squares the hero
        // reaches.
        mSpaces = 0;
        if (anySpark)
            labelOpenSpaces();
        std::vector<bool> spaceWide(mSpaces + 1), spaceFree(mSpaces + 1);
        if (mSpaces) {
            for (int32_t r = 1; r <= mRows; ++r)
                for (int32_t c = 1; c <= mColumns; ++c) {
                    const Reached reached = mReach.at(r, c);
                    const int32_t space = mSpace[index(r, c)];
                    if (reached != Reached::Never)
                        spaceWide[size_t(space)] = true;
                    if (reached == Reached::Freely)
                        spaceFree[size_t(space)] = true;
                }
        }
        for (int32_t r = 1; r <= mRows; ++r)
            for (int32_t c = 1; c <= mColumns; ++c) {
                const int64_t left = leftBy(at(r, c).tile);
                if (left <= 1)
                    continue;
                const Reached reached = mReach.at(r, c);
                const int32_t space = mSpaces ? mSpace[index(r, c)] : 0;
                if (reached != Reached::Never || spaceWide[size_t(space)])
                    infotronsWide += left;
                if (reached == Reached::Freely || spaceFree[size_t(space)])
                    infotronsFree += left;
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
                                    + " infotrons the level asks for" + (anySpark ? " (nine for each spark)" : "")
                                    + " can be reached from the start square; " + others + anyway,
                                firstCutOff});
        }
        std::vector<std::string> blocked;
        if (exitWide && !exitFree)
            blocked.push_back("the " + tileWords(kTileExit) + " at " + place(exitWide->row, exitWide->column));
        if (needed <= infotronsWide && needed > infotronsFree)
            blocked.push_back(std::to_string(needed - infotronsFree) + " of the " + std::to_string(needed)
                              + " infotrons needed");
        if (!blocked.empty())
            findings.push_back({Severity::Warning, "reach-obstructed",
                                "the hero reaches " + blocked[0] + (blocked.size() > 1 ? " and " + blocked[1] : "")
                                    + " only by moving, breaking or opening something on the way (a boulder, a chip, "
                                      "a door without a key in reach)",
                                blocked.size() == 1 && exitWide && !exitFree ? exitWide : std::nullopt});
    }

    // Numbers the open spaces: squares where no wall that never moves or breaks stands, joined side by
    // side and corner to corner (an explosion reaches the squares around it diagonally too; ports join
    // both ways). mSpace holds the number of each square of the level, from 1.
    void labelOpenSpaces()
    {
        mSpace.assign(size_t(kGridSize) * kGridSize, 0);
        mSpaces = 0;
        std::vector<int32_t> queue;
        for (int32_t r = 1; r <= mRows; ++r)
            for (int32_t c = 1; c <= mColumns; ++c) {
                if (mSpace[index(r, c)] || wall(at(r, c).tile))
                    continue;
                ++mSpaces;
                queue.assign(1, int32_t(index(r, c)));
                mSpace[index(r, c)] = mSpaces;
                for (size_t head = 0; head < queue.size(); ++head) {
                    const int32_t qr = queue[head] / kGridSize + 1, qc = queue[head] % kGridSize + 1;
                    for (auto [dr, dc] : {std::pair{0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}}) {
                        const int32_t nr = qr + dr, nc = qc + dc;
                        if (nr < 1 || nr > mRows || nc < 1 || nc > mColumns || mSpace[index(nr, nc)]
                            || wall(at(nr, nc).tile))
                            continue;
                        mSpace[index(nr, nc)] = mSpaces;
                        queue.push_back(int32_t(index(nr, nc)));
                    }
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

    // The rules of the tiles, looked up once a level.
    int64_t leftBy(int32_t tile) const { return tile >= 0 && tile <= kLastPaletteTile ? mLeftBy[size_t(tile)] : 0; }
    bool wall(int32_t tile) const { return tile >= 0 && tile <= kLastPaletteTile && mWall[size_t(tile)]; }

    const tlevel &mLevel;
    const LevelGraphics *mGraphics;
    const int32_t mRows, mColumns; // the level's rectangle, within the grid
    std::array<int64_t, kLastPaletteTile + 1> mLeftBy{};
    std::array<bool, kLastPaletteTile + 1> mWall{};
    ReachMap mReach;
    std::vector<int32_t> mSpace; // open spaces, see labelOpenSpaces
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
