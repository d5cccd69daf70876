#include "reach.h"

#include "gamerules.h"
#include "palette.h"
#include "startsquare.h"
#include "tiles.h"

#include <algorithm>
#include <array>

namespace qm {

namespace {

constexpr uint8_t kStood = 1;  // the hero stands on the square
constexpr uint8_t kPassed = 2; // a port the hero passes

class Fill {
public:
    Fill(const tlevel &level, int32_t rows, int32_t columns) : mRows(rows), mColumns(columns)
    {
        const size_t n = size_t(rows) * size_t(columns);
        mRule.resize(n);
        mTile.resize(n);
        std::array<TileRule, kLastPaletteTile + 1> ruleOfTile{};
        std::array<bool, kLastPaletteTile + 1> teleports{};
        for (int32_t tile = 0; tile <= kLastPaletteTile; ++tile) {
            ruleOfTile[size_t(tile)] = ruleOf(tile);
            const TileRules *rules = tileRules(tile);
            teleports[size_t(tile)] = rules && rules->teleports;
        }
        for (int32_t r = 1; r <= rows; ++r)
            for (int32_t c = 1; c <= columns; ++c) {
                const int32_t tile = level.cellAt(r, c)->tile;
                const size_t at = index(r, c);
                const bool known = tile >= 0 && tile <= kLastPaletteTile;
                mTile[at] = tile;
                mRule[at] = known ? ruleOfTile[size_t(tile)] : TileRule::Unknown;
                if (known && teleports[size_t(tile)])
                    mTeleporters.push_back(int32_t(at));
            }
    }

    // Marks every square reached from the start; wide: every movable and breakable object gone and
    // every door open.
    void run(int32_t startRow, int32_t startColumn, bool wide, std::vector<uint8_t> &marks)
    {
        mWide = wide;
        mMarks = &marks;
        marks.assign(mRule.size(), 0);
        mQueue.clear();
        mPendingDoors.clear();
        mFound.fill(false);
        mTeleported = false;
        stand(int32_t(index(startRow, startColumn)));
        static constexpr std::array<std::pair<int32_t, int32_t>, 4> steps{{{0, 1}, {1, 0}, {0, -1}, {-1, 0}}};
        static constexpr std::array<uint8_t, 4> directions{kRight, kDown, kLeft, kUp};
        for (size_t head = 0; head < mQueue.size(); ++head) {
            const int32_t at = mQueue[head];
            const int32_t r = at / mColumns + 1, c = at % mColumns + 1;
            for (size_t d = 0; d < 4; ++d) {
                const auto [dr, dc] = steps[d];
                int32_t nr = r + dr, nc = c + dc;
                if (!inside(nr, nc))
                    continue;
                size_t next = index(nr, nc);
                if (mRule[next] != TileRule::Port) {
                    enter(next);
                    continue;
                }
                // Through the ports that let the hero pass this way, onto the first square beyond them.
                const size_t firstPort = next;
                while (inside(nr, nc) && mRule[next] == TileRule::Port && (portDirections(next) & directions[d])) {
                    nr += dr;
                    nc += dc;
                    if (inside(nr, nc))
                        next = index(nr, nc);
                }
                if (!inside(nr, nc) || mRule[next] == TileRule::Port || !canEnter(next))
                    continue;
                for (size_t p = firstPort; p != next; p = size_t(int64_t(p) + int64_t(dr) * mColumns + dc))
                    marks[p] |= kPassed;
                enter(next);
            }
        }
    }

private:
    size_t index(int32_t r, int32_t c) const { return size_t(r - 1) * size_t(mColumns) + size_t(c - 1); }
    bool inside(int32_t r, int32_t c) const { return r >= 1 && r <= mRows && c >= 1 && c <= mColumns; }

    uint8_t portDirections(size_t at) const
    {
        const TileRules *rules = tileRules(mTile[at]);
        return rules ? rules->directions : 0;
    }

    bool canEnter(size_t at) const
    {
        const TileRule rule = mRule[at];
        if (rule == TileRule::Wall || rule == TileRule::Port)
            return false;
        if (mWide || freelyPassable(rule))
            return true;
        if (rule == TileRule::Door) {
            const TileRules *rules = tileRules(mTile[at]);
            return rules && keyFound(rules->key);
        }
        return false;
    }

    bool keyFound(int32_t key) const { return key >= 0 && size_t(key) < mFound.size() && mFound[size_t(key)]; }

    void enter(size_t at)
    {
        if ((*mMarks)[at] & kStood)
            return;
        if (canEnter(at))
            stand(int32_t(at));
        else if (!mWide && mRule[at] == TileRule::Door)
            mPendingDoors.push_back(int32_t(at));
    }

    void stand(int32_t at)
    {
        (*mMarks)[size_t(at)] |= kStood;
        mQueue.push_back(at);
        const int32_t tile = mTile[size_t(at)];
        if (tile >= 0 && size_t(tile) < mFound.size() && !mFound[size_t(tile)]) {
            mFound[size_t(tile)] = true;
            // A key found: the doors met so far open.
            std::vector<int32_t> doors;
            doors.swap(mPendingDoors);
            for (int32_t door : doors)
                enter(size_t(door));
        }
        if (mTeleporters.empty() || mTeleported)
            return;
        const TileRules *rules = tileRules(tile);
        if (rules && rules->teleports) {
            mTeleported = true;
            for (int32_t other : mTeleporters)
                enter(size_t(other));
        }
    }

    const int32_t mRows, mColumns;
    std::vector<TileRule> mRule;
    std::vector<int32_t> mTile;
    std::vector<int32_t> mTeleporters;
    std::vector<int32_t> mQueue;
    std::vector<int32_t> mPendingDoors;
    std::array<bool, kLastPaletteTile + 1> mFound{}; // tiles stood on, for the keys
    bool mTeleported = false;
    bool mWide = false;
    std::vector<uint8_t> *mMarks = nullptr;
};

} // namespace

void findReach(const tlevel &level, ReachMap &map)
{
    map.rows = std::max(0, std::min(level.height, kGridSize));
    map.columns = std::max(0, std::min(level.width, kGridSize));
    map.squares.assign(size_t(map.rows) * size_t(map.columns), Reached::Never);
    const int64_t row = startSquareOf(level.starty), column = startSquareOf(level.startx);
    map.startValid = row >= 1 && row <= map.rows && column >= 1 && column <= map.columns
                     && ruleOf(level.cellAt(int32_t(row), int32_t(column))->tile) != TileRule::Wall;
    map.startRow = map.startValid ? int32_t(row) : 0;
    map.startColumn = map.startValid ? int32_t(column) : 0;
    if (!map.startValid)
        return;
    Fill fill(level, map.rows, map.columns);
    std::vector<uint8_t> wide, free;
    fill.run(map.startRow, map.startColumn, true, wide);
    fill.run(map.startRow, map.startColumn, false, free);
    for (size_t at = 0; at < map.squares.size(); ++at)
        map.squares[at] = free[at] ? Reached::Freely : wide[at] ? Reached::Obstructed : Reached::Never;
}

ReachMap findReach(const tlevel &level)
{
    ReachMap map;
    findReach(level, map);
    return map;
}

} // namespace qm
