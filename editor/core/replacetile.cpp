#include "replacetile.h"

#include "levels/tiles.h"

#include <algorithm>
#include <utility>

namespace qm {

namespace {

// A square painting writes, relative to the square painted, with the tile and pattern it leaves
// there when the writes to it set them.
struct Written {
    int32_t row, column;
    uint8_t fields;
    int32_t tile, pattern;
};

// What painting tile leaves, square by square, relative to the square painted (the last write to a
// square decides what it holds).
std::vector<Written> writesOf(int32_t tile, const TileWidth &widthOf)
{
    std::vector<Written> writes;
    paintingWrites(1, 1, tile, PaintVariant::Press, widthOf, [&](const CellWrite &write) {
        auto found = std::find_if(writes.begin(), writes.end(), [&](const Written &w) {
            return w.row == write.row - 1 && w.column == write.column - 1;
        });
        if (found == writes.end())
            found = writes.insert(writes.end(), Written{write.row - 1, write.column - 1, 0, 0, 0});
        found->fields |= write.fields & (CellWrite::Tile | CellWrite::Pattern);
        if (write.fields & CellWrite::Tile)
            found->tile = write.tile;
        if (write.fields & CellWrite::Pattern)
            found->pattern = write.pattern;
    });
    return writes;
}

class LevelReplace {
public:
    LevelReplace(const TileReplace &replace, tlevel &level, const TileWidth &widthOf)
        : mReplace(replace), mLevel(level), mWidthOf(widthOf), mRows(std::clamp(level.height, 0, kGridSize)),
          mColumns(std::clamp(level.width, 0, kGridSize)), mTo(writesOf(replace.to, widthOf))
    {
        const bool object = coversSeveralSquares(replace.from);
        mKeyPattern = objectKeyPattern(replace.from, widthOf);
        mWhole = object && (!replace.pattern || *replace.pattern == mKeyPattern);
        if (mWhole)
            mFrom = writesOf(replace.from, widthOf);
        // A tile that painting writes into its own square only: what a cleared square holds painted
        // with it, worked out once and set directly.
        if (mTo.size() == 1 && mTo[0].row == 0 && mTo[0].column == 0) {
            cell painted = kDefaultCell;
            paintingWrites(1, 1, replace.to, PaintVariant::Press, widthOf, [&painted](const CellWrite &write) {
                if (write.fields & CellWrite::Tile)
                    painted.tile = write.tile;
                if (write.fields & CellWrite::Pattern)
                    painted.pattern = write.pattern;
                if (write.fields & CellWrite::Kind)
                    painted.kind = write.kind;
            });
            mPainted = painted;
        }
    }

    // How a run writes: not at all (it counts), through a step, or straight into the level (whose
    // copy the step keeps).
    enum class Output { None, Step, Level };

    // The squares replaced (or that would be).
    int64_t run(Output output, StoreStep *step, int32_t k)
    {
        int64_t squares = 0;
        for (int32_t r = 1; r <= mRows; ++r)
            for (int32_t c = 1; c <= mColumns; ++c) {
                if (written(r, c) || !matches(r, c))
                    continue;
                const int32_t column = mWhole ? c - mKeyPattern : c;
                if (!fits(r, column))
                    continue;
                if (mWritten.empty())
                    mWritten.assign(size_t(kGridSize) * kGridSize, 0);
                replaceAt(output, step, k, r, column);
                ++squares;
            }
        return squares;
    }

    // The cells written by the squares replaced so far (a cell of an object and of its replacement
    // counted twice).
    int64_t cellsWritten() const { return mCells; }

private:
    bool inside(int32_t r, int32_t c) const { return r >= 1 && r <= mRows && c >= 1 && c <= mColumns; }
    size_t index(int32_t r, int32_t c) const { return size_t(r - 1) * kGridSize + size_t(c - 1); }
    bool written(int32_t r, int32_t c) const { return !mWritten.empty() && mWritten[index(r, c)]; }

    // Squares not yet written hold what the level held before the replace.
    bool matches(int32_t r, int32_t c) const
    {
        const cell &here = *mLevel.cellAt(r, c);
        if (here.tile != mReplace.from)
            return false;
        if (mWhole)
            return here.pattern == mKeyPattern;
        return !mReplace.pattern || here.pattern == *mReplace.pattern;
    }

    // Whether TO painted at (r, c) stays inside the level and off the squares written already.
    bool fits(int32_t r, int32_t c) const
    {
        for (const Written &w : mTo)
            if (!inside(r + w.row, c + w.column) || written(r + w.row, c + w.column))
                return false;
        return inside(r, c) && !written(r, c);
    }

    // Whether the square still holds what painting FROM at the object's first square left there.
    bool holdsPart(int32_t r, int32_t c, const Written &w) const
    {
        const cell &held = *mLevel.cellAt(r, c);
        return !((w.fields & CellWrite::Tile) && held.tile != w.tile)
               && !((w.fields & CellWrite::Pattern) && held.pattern != w.pattern);
    }

    void replaceAt(Output output, StoreStep *step, int32_t k, int32_t r, int32_t c)
    {
        std::vector<std::pair<int32_t, int32_t>> &cleared = mCleared;
        cleared.assign(1, {r, c});
        for (const Written &w : mFrom) {
            const int32_t row = r + w.row, column = c + w.column;
            if ((w.row || w.column) && inside(row, column) && !written(row, column) && holdsPart(row, column, w))
                cleared.emplace_back(row, column);
        }
        mCells += int64_t(cleared.size() + mTo.size());
        for (const auto &[row, column] : cleared) {
            mWritten[index(row, column)] = 1;
            if (mPainted && row == r && column == c)
                continue;
            if (output == Output::Step)
                step->setCell(k, row, column, kDefaultCell);
            else if (output == Output::Level)
                *mLevel.cellAt(row, column) = kDefaultCell;
        }
        for (const Written &w : mTo)
            mWritten[index(r + w.row, c + w.column)] = 1;
        if (output == Output::Step && mPainted)
            step->setCell(k, r, c, *mPainted);
        else if (output == Output::Step)
            step->paint(k, r, c, mReplace.to, PaintVariant::Press, mWidthOf);
        else if (output == Output::Level && mPainted)
            *mLevel.cellAt(r, c) = *mPainted;
        else if (output == Output::Level)
            paintLevel(mLevel, r, c, mReplace.to, PaintVariant::Press, mWidthOf);
    }

    const TileReplace &mReplace;
    tlevel &mLevel;
    const TileWidth &mWidthOf;
    const int32_t mRows, mColumns;
    const std::vector<Written> mTo;
    std::vector<Written> mFrom; // an object's squares, when FROM is replaced as a whole object
    std::optional<cell> mPainted; // TO painted on a cleared square, when it writes no other square
    int32_t mKeyPattern = 0;
    bool mWhole = false;
    int64_t mCells = 0;
    std::vector<uint8_t> mWritten; // by index(); empty until the first square is replaced
    std::vector<std::pair<int32_t, int32_t>> mCleared; // the squares of the object being replaced
};

ReplaceCount run(StoreStep *step, const TileReplace &replace, const LevelTileWidth &widthsOf)
{
    ReplaceCount count;
    if (replace.from == replace.to)
        return count;
    const int32_t first = replace.level ? replace.level : 1;
    const int32_t last = replace.level ? replace.level : levelsinfo.count;
    for (int32_t k = std::max(first, 1); k <= std::min(last, levelsinfo.count); ++k) {
        const TileWidth widthOf = widthsOf(k);
        LevelReplace counting(replace, levels[k], widthOf);
        const int64_t squares = counting.run(LevelReplace::Output::None, nullptr, k);
        if (step && squares > 0) {
            // Past the size of a level, the step keeps the level whole instead of each cell it changed.
            if (counting.cellsWritten() * int64_t(sizeof(CellChange)) > int64_t(sizeof(tlevel))) {
                step->levelChanging(k);
                LevelReplace(replace, levels[k], widthOf).run(LevelReplace::Output::Level, nullptr, k);
            } else {
                LevelReplace(replace, levels[k], widthOf).run(LevelReplace::Output::Step, step, k);
            }
        }
        count.squares += squares;
        count.levels += squares > 0;
    }
    return count;
}

} // namespace

ReplaceCount countReplacements(const TileReplace &replace, const LevelTileWidth &widthsOf)
{
    return run(nullptr, replace, widthsOf);
}

ReplaceCount replaceTile(StoreStep &step, const TileReplace &replace, const LevelTileWidth &widthsOf)
{
    return run(&step, replace, widthsOf);
}

std::string replaceCountText(const ReplaceCount &count)
{
    return std::to_string(count.squares) + (count.squares == 1 ? " square in " : " squares in ")
           + std::to_string(count.levels) + (count.levels == 1 ? " level" : " levels");
}

TileWidth levelTileWidth(GraphicsFiles &files, const std::string &gameDir, int32_t k)
{
    const LevelGraphics *graphics = &files.of(gameDir, levels[k].dxg);
    return [graphics](int32_t tile) { return graphics->widthOf(tile); };
}

} // namespace qm
