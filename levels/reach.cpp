#include "reach.h"

#include "gamerules.h"
#include "palette.h"
#include "startsquare.h"
#include "supaplexexport.h"
#include "tiles.h"

#include "game/objects.h"

#include <algorithm>
#include <array>

namespace qm {

namespace {

constexpr uint8_t kStood = 1;  // the hero stands on the square
constexpr uint8_t kPassed = 2; // a port the hero passes

class Fill {
public:
    Fill(const tlevel &level, const SquareRun &run) : mRun(run), mExplosive(canExplode(level))
    {
        const size_t n = size_t(run.squares());
        mRule.resize(n);
        mTile.resize(n);
        mSurvives.resize(n);
        std::array<TileRule, kLastPaletteTile + 1> ruleOfTile{};
        std::array<bool, kLastPaletteTile + 1> teleports{};
        for (int32_t tile = 0; tile <= kLastPaletteTile; ++tile) {
            ruleOfTile[size_t(tile)] = ruleOf(tile);
            const TileRules *rules = tileRules(tile);
            teleports[size_t(tile)] = rules && rules->teleports;
        }
        for (int32_t at = 0; at < run.squares(); ++at) {
            const cell &square = *level.cellAt(at / run.columns + 1, at % run.columns + 1);
            const int32_t tile = square.tile;
            const bool known = tile >= 0 && tile <= kLastPaletteTile;
            mTile[size_t(at)] = tile;
            mRule[size_t(at)] = known ? ruleOfTile[size_t(tile)] : TileRule::Unknown;
            mSurvives[size_t(at)] = survivesExplosions(square);
            if (known && teleports[size_t(tile)])
                mTeleporters.push_back(at);
        }
    }

    // Marks every square reached from the start; wide: every movable and breakable object gone and
    // every door open (and, where something can explode, everything but hardware gone).
    void run(int32_t start, bool wide, std::vector<uint8_t> &marks)
    {
        mWide = wide;
        mMarks = &marks;
        marks.assign(mRule.size(), 0);
        mQueue.clear();
        mPendingDoors.clear();
        mFound.fill(false);
        mTeleported = false;
        mAboveWalked = false;
        stand(start);
        static constexpr std::array<std::pair<int32_t, int32_t>, 4> steps{{{0, 1}, {1, 0}, {0, -1}, {-1, 0}}};
        static constexpr std::array<uint8_t, 4> directions{kRight, kDown, kLeft, kUp};
        for (size_t head = 0; head < mQueue.size(); ++head) {
            const int32_t at = mQueue[head];
            for (size_t d = 0; d < 4; ++d) {
                const auto [dr, dc] = steps[d];
                int32_t next = mRun.step(at, dr, dc);
                if (next < 0) {
                    if (mRun.joined && dr < 0)
                        walkAbove();
                    continue;
                }
                if (mRule[size_t(next)] != TileRule::Port || cleared(size_t(next))) {
                    enter(size_t(next));
                    continue;
                }
                // Through the ports that let the hero pass this way, onto the first square beyond them.
                const int32_t firstPort = next;
                while (next >= 0 && mRule[size_t(next)] == TileRule::Port
                       && (portDirections(size_t(next)) & directions[d]))
                    next = mRun.step(next, dr, dc);
                if (next < 0 || mRule[size_t(next)] == TileRule::Port || !canEnter(size_t(next)))
                    continue;
                for (int32_t p = firstPort; p != next; p = mRun.step(p, dr, dc))
                    marks[size_t(p)] |= kPassed;
                enter(size_t(next));
            }
        }
    }

private:
    uint8_t portDirections(size_t at) const
    {
        const TileRules *rules = tileRules(mTile[at]);
        return rules ? rules->directions : 0;
    }

    // The wide fill in a level where something can explode: the square may be blown away.
    bool cleared(size_t at) const { return mWide && mExplosive && !mSurvives[at]; }

    bool canEnter(size_t at) const
    {
        if (cleared(at))
            return true;
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

    // The free row of memory above the field: from it the hero steps down onto any square of the top row.
    void walkAbove()
    {
        if (mAboveWalked)
            return;
        mAboveWalked = true;
        for (int32_t c = 0; c < mRun.columns; ++c)
            enter(size_t(c));
    }

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

    const SquareRun &mRun;
    const bool mExplosive;
    std::vector<TileRule> mRule;
    std::vector<int32_t> mTile;
    std::vector<bool> mSurvives;
    std::vector<int32_t> mTeleporters;
    std::vector<int32_t> mQueue;
    std::vector<int32_t> mPendingDoors;
    std::array<bool, kLastPaletteTile + 1> mFound{}; // tiles stood on, for the keys
    bool mTeleported = false;
    bool mAboveWalked = false;
    bool mWide = false;
    std::vector<uint8_t> *mMarks = nullptr;
};

} // namespace

SquareRun::SquareRun(const tlevel &level)
    : rows(std::max(0, std::min(level.height, kGridSize))), columns(std::max(0, std::min(level.width, kGridSize))),
      joined(keepsSupaplexRecord(level))
{
}

bool survivesExplosions(const cell &square)
{
    const int32_t code = gameCodeOf(square);
    if (code < 0)
        return ruleOf(square.tile) == TileRule::Wall;
    return game::blastOn(game::codeAtStart(uint8_t(code))) == game::Blast::Survives;
}

bool canExplode(const tlevel &level)
{
    const SquareRun run(level);
    for (int32_t r = 1; r <= run.rows; ++r)
        for (int32_t c = 1; c <= run.columns; ++c) {
            const int32_t code = gameCodeOf(*level.cellAt(r, c));
            if (code >= 0 && game::setsOffExplosions(game::codeAtStart(uint8_t(code))))
                return true;
        }
    return false;
}

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
    const SquareRun run(level);
    Fill fill(level, run);
    std::vector<uint8_t> wide, free;
    const int32_t start = (map.startRow - 1) * map.columns + map.startColumn - 1;
    fill.run(start, true, wide);
    fill.run(start, false, free);
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
