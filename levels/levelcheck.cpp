#include "levelcheck.h"

#include "painting.h"
#include "tiles.h"

#include <algorithm>
#include <string>

namespace qm {

namespace {

std::string place(int32_t row, int32_t column)
{
    return "row " + std::to_string(row) + ", column " + std::to_string(column);
}

std::string tileAndPattern(int32_t tile, int32_t pattern)
{
    return "tile " + std::to_string(tile) + " pattern " + std::to_string(pattern);
}

// What painting left in one square, after all of its writes to that square (kinds left out: they only
// choose the drawing pass, and imported strips carry the ordinary kind).
struct Expected {
    int32_t row;
    int32_t column;
    uint8_t fields;
    int32_t tile;
    int32_t pattern;
};

class Checker {
public:
    Checker(const tlevel &level, const LevelGraphics *graphics)
        : mLevel(level), mGraphics(graphics), mRows(std::min(level.height, kGridSize)),
          mColumns(std::min(level.width, kGridSize))
    {
    }

    std::vector<Finding> run(const CheckOptions &options)
    {
        std::vector<Finding> cells;
        int64_t infotronTiles = 0;
        bool exit = false;
        for (int32_t r = 1; r <= mRows; ++r)
            for (int32_t c = 1; c <= mColumns; ++c) {
                const cell &here = *mLevel.cellAt(r, c);
                infotronTiles += here.tile == kTileInfotron;
                exit = exit || here.tile == kTileExit;
                if (loaded())
                    checkPicture(r, c, here, cells);
                if (coversSeveralSquares(here.tile))
                    checkObject(r, c, here, cells);
            }
        checkParts(cells);

        std::vector<Finding> findings;
        checkStart(findings);
        if (mLevel.infotrons > infotronTiles)
            findings.push_back({Severity::Error, "infotrons",
                                "the level asks for " + std::to_string(mLevel.infotrons) + " infotrons but holds "
                                    + std::to_string(infotronTiles) + " infotron tiles (tile "
                                    + std::to_string(kTileInfotron) + ")",
                                std::nullopt});
        if (!exit)
            findings.push_back({Severity::Warning, "no-exit",
                                "the level has no exit (tile " + std::to_string(kTileExit) + ")", std::nullopt});
        checkGraphicsFile(findings);
        findings.insert(findings.end(), cells.begin(), cells.end());
        if (options.hiddenCells)
            checkHiddenCells(findings);
        return findings;
    }

private:
    bool loaded() const { return mGraphics && mGraphics->state == LevelGraphics::State::Loaded; }

    int32_t widthOf(int32_t tile) const
    {
        if (!loaded() || tile < 0 || size_t(tile) >= mGraphics->pictures.size())
            return 0;
        return mGraphics->pictures[size_t(tile)].width;
    }

    void checkStart(std::vector<Finding> &findings) const
    {
        const int32_t column = mLevel.startx / kSquare, row = mLevel.starty / kSquare;
        if (column < 1 || column > mColumns || row < 1 || row > mRows) {
            findings.push_back({Severity::Error, "start-outside",
                                "the start square (column " + std::to_string(column) + ", row " + std::to_string(row)
                                    + ") lies outside the level's " + std::to_string(mLevel.width) + " x "
                                    + std::to_string(mLevel.height) + " squares",
                                std::nullopt});
            return;
        }
        const int32_t tile = mLevel.cellAt(row, column)->tile;
        if (tile != kTileEmpty && tile != kTileBase)
            findings.push_back({Severity::Warning, "start-tile",
                                "the hero starts on tile " + std::to_string(tile) + ", which is neither the empty square ("
                                    + std::to_string(kTileEmpty) + ") nor the base (" + std::to_string(kTileBase) + ")",
                                CellPlace{row, column}});
    }

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

    void checkPicture(int32_t r, int32_t c, const cell &here, std::vector<Finding> &findings) const
    {
        if (here.tile < 0 || size_t(here.tile) >= mGraphics->pictures.size()) {
            findings.push_back({Severity::Warning, "no-picture",
                                "tile " + std::to_string(here.tile) + " has no picture in \"" + mLevel.dxg
                                    + "\", so the square shows nothing",
                                CellPlace{r, c}});
            return;
        }
        const int64_t patterns = mGraphics->pictures[size_t(here.tile)].patterns;
        if (here.pattern < 0 || here.pattern >= patterns)
            findings.push_back({Severity::Warning, "no-pattern",
                                "the picture of tile " + std::to_string(here.tile) + " has " + std::to_string(patterns)
                                    + " patterns, so pattern " + std::to_string(here.pattern) + " shows nothing",
                                CellPlace{r, c}});
    }

    // The pattern of the square that identifies an object of tile t (see checkObject).
    int32_t keyPatternOf(int32_t t) const { return t == kTileBlock7x2 && widthOf(kTileBlock7x2) == kSevenSquaresWide ? 1 : 0; }

    // An object is recognised by the square where painting leaves its tile with pattern 0 (the 7 x 2
    // block 37 leaves an empty square there and is recognised by its pattern 1 to the right).
    void checkObject(int32_t r, int32_t c, const cell &here, std::vector<Finding> &findings)
    {
        const int32_t t = here.tile;
        const int32_t keyPattern = keyPatternOf(t);
        if (here.pattern != keyPattern)
            return;
        const int32_t anchor = c - keyPattern;
        if (anchor < 1)
            return;

        mExpected.clear();
        auto width = [this](int32_t tile) { return widthOf(tile); };
        paintingWrites(r, anchor, t, PaintVariant::Press, width, [this](const CellWrite &write) {
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

        bool right = false, below = false;
        const Expected *broken = nullptr;
        for (const Expected &e : mExpected) {
            right = right || e.column > mColumns;
            below = below || e.row > mRows;
            if (e.column > mColumns || e.row > mRows)
                continue;
            const cell &held = *mLevel.cellAt(e.row, e.column);
            if (((e.fields & CellWrite::Tile) && held.tile != e.tile)
                || ((e.fields & CellWrite::Pattern) && held.pattern != e.pattern))
                broken = broken ? broken : &e;
            else
                mClaimed[size_t(e.row - 1) * kGridSize + size_t(e.column - 1)] = true;
        }
        if (!right && !below && !broken)
            return;
        const std::string object = "the object of tile " + std::to_string(t);
        if (right || below)
            findings.push_back({Severity::Warning, "object-cut",
                                object + " is cut by the level's "
                                    + (right && below ? "right and bottom edges" : right ? "right edge" : "bottom edge"),
                                CellPlace{r, anchor}});
        if (broken) {
            const cell &held = *mLevel.cellAt(broken->row, broken->column);
            const bool withPattern = broken->fields & CellWrite::Pattern;
            findings.push_back(
                {Severity::Warning, "object-broken",
                 object + " lost a companion square: " + place(broken->row, broken->column) + " holds "
                     + (withPattern ? tileAndPattern(held.tile, held.pattern) : "tile " + std::to_string(held.tile))
                     + " where painting wrote "
                     + (withPattern ? tileAndPattern(broken->tile, broken->pattern) : "tile " + std::to_string(broken->tile)),
                 CellPlace{r, anchor}});
        }
    }

    // Squares that show a part of an object (its tile with a pattern that only painting the object
    // writes there) while no object found in the level covers them: what is left of an object whose
    // first square was painted over.
    void checkParts(std::vector<Finding> &findings) const
    {
        std::vector<bool> parts[kLastPaletteTile + 1];
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
                parts[t][size_t(write.pattern)] = true;
            });
        }
        for (int32_t r = 1; r <= mRows; ++r)
            for (int32_t c = 1; c <= mColumns; ++c) {
                const cell &here = *mLevel.cellAt(r, c);
                if (here.tile < 0 || here.tile > kLastPaletteTile || here.pattern < 0
                    || size_t(here.pattern) >= parts[here.tile].size() || !parts[here.tile][size_t(here.pattern)]
                    || mClaimed[size_t(r - 1) * kGridSize + size_t(c - 1)])
                    continue;
                findings.push_back({Severity::Warning, "object-part",
                                    "pattern " + std::to_string(here.pattern) + " of tile " + std::to_string(here.tile)
                                        + " is a part of an object that no longer stands here",
                                    CellPlace{r, c}});
            }
    }

    void checkHiddenCells(std::vector<Finding> &findings) const
    {
        int64_t count = 0;
        CellPlace first{0, 0};
        for (int32_t r = 1; r <= kGridSize; ++r)
            for (int32_t c = 1; c <= kGridSize; ++c) {
                if ((r <= mRows && c <= mColumns) || *mLevel.cellAt(r, c) == kDefaultCell)
                    continue;
                if (count++ == 0)
                    first = {r, c};
            }
        if (count)
            findings.push_back({Severity::Information, "hidden-cells",
                                std::to_string(count) + " cells outside the level's " + std::to_string(mLevel.width)
                                    + " x " + std::to_string(mLevel.height)
                                    + " squares differ from the default cell, the first at " + place(first.row, first.column)
                                    + "; they are neither drawn nor saved",
                                std::nullopt});
    }

    const tlevel &mLevel;
    const LevelGraphics *mGraphics;
    const int32_t mRows, mColumns; // the level's rectangle, within the grid
    std::vector<Expected> mExpected; // kept between objects: checking allocates once
    std::vector<bool> mClaimed = std::vector<bool>(size_t(kGridSize) * kGridSize); // squares of objects found
};

} // namespace

std::vector<Finding> checkLevel(const tlevel &level, const LevelGraphics *graphics, const CheckOptions &options)
{
    return Checker(level, graphics).run(options);
}

const char *severityName(Severity severity)
{
    switch (severity) {
    case Severity::Error: return "error";
    case Severity::Warning: return "warning";
    case Severity::Information: return "information";
    }
    return "";
}

} // namespace qm
