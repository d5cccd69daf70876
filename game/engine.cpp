#include "engine.h"

#include "objects.h"

#include <algorithm>
#include <stdexcept>

namespace qm::game {

namespace {

// The cells before square 0 as the game finds them: (first cell, last cell, word) runs, from cell -344.
struct MemoryRun {
    int first, last;
    uint16_t word;
};
constexpr MemoryRun kMemoryBefore[] = {
    {-344, -342, 0x8995}, {-341, -334, 0x8A3B}, {-333, -326, 0x8AE8}, {-325, -318, 0x8BB1}, {-317, -310, 0x8C85},
    {-309, -302, 0x8D5B}, {-301, -294, 0x8E06}, {-293, -286, 0x8EAC}, {-285, -278, 0x8F59}, {-276, -276, 0x1370},
    {-273, -273, 0x17E8}, {-269, -269, 0x3869}, {-260, -260, 0x86D0}, {-258, -258, 0x34B2}, {-253, -253, 0x8B8F},
    {-252, -252, 0x341D}, {-246, -246, 0x3923}, {-245, -245, 0x0909}, {-244, -244, 0x0C00}, {-243, -243, 0x0800},
    {-242, -242, 0x5800}, {-239, -239, 0x2500}, {-238, -238, 0x0677}, {-237, -237, 0x007F}, {-235, -235, 0x0001},
    {-164, -164, 0xEC00}, {-163, -163, 0x2606}, {-162, -162, 0x0005}, {-159, -159, 0x0100}, {-156, -156, 0x3231},
    {-155, -155, 0x3433}, {-154, -154, 0x3635}, {-153, -153, 0x3837}, {-152, -152, 0x3039}, {-151, -151, 0x002D},
    {-150, -150, 0x0008}, {-149, -149, 0x5751}, {-148, -148, 0x5245}, {-147, -147, 0x5954}, {-146, -146, 0x4955},
    {-145, -145, 0x504F}, {-143, -143, 0x000A}, {-142, -142, 0x5341}, {-141, -141, 0x4644}, {-140, -140, 0x4847},
    {-139, -139, 0x4B4A}, {-138, -138, 0x004C}, {-135, -135, 0x585A}, {-134, -134, 0x5643}, {-133, -133, 0x4E42},
    {-132, -132, 0x004D}, {-129, -129, 0x2000}, {-77, -77, 0x002E}, {-76, -76, 0x001E}, {-75, -75, 0x0031},
    {-74, -74, 0x0014}, {-73, -73, 0x0039}, {-72, -72, 0x001F}, {-71, -71, 0x0014}, {-70, -70, 0x0018},
    {-69, -69, 0xFFFF}, {-68, -68, 0x0001}, {-67, -67, 0x4C01}, {-66, -66, 0x5645}, {-65, -65, 0x4C45},
    {-64, -64, 0x2E53}, {-63, -63, 0x4144}, {-62, -62, 0x0054},
};

constexpr uint16_t kFree = 0x0000;
constexpr uint16_t kHardwareWord = 0x0006;
constexpr uint16_t kRollReserved = 0x8888;  // a zonk or infotron is about to roll into it
constexpr uint16_t kFallReserved = 0x9999;  // a zonk or infotron is about to fall into it
constexpr uint16_t kRollLeaving = 0xAAAA;   // a rolling zonk or infotron is leaving it
constexpr uint16_t kLeavingMarker = 0xFFFF; // a falling zonk or infotron is leaving it
constexpr uint16_t kHeroLeaving = 0x0300;   // the hero is leaving it
constexpr uint16_t kHeroStanding = 0x0003;

constexpr uint16_t makeWord(uint8_t state, uint8_t objectCode) { return uint16_t(state << 8 | objectCode); }

// A zonk or infotron can roll off these.
bool isSupport(uint16_t w) { return w == 0x0001 || w == 0x0004 || w == 0x0005; }
bool isRollRoom(uint16_t w) { return w == kFree || w == kRollReserved || w == kRollLeaving; }

// Update routines, by the object code found when the frame's list is made.
enum Routine : uint8_t { kNoRoutine, kZonkRoutine, kInfotronRoutine, kOrangeRoutine, kSnikSnakRoutine,
                         kTerminalRoutine, kElectronRoutine, kBugRoutine, kExplosionRoutine };
constexpr std::array<uint8_t, 256> makeRoutines()
{
    std::array<uint8_t, 256> r{};
    r[code::kZonk] = kZonkRoutine;
    r[code::kInfotron] = kInfotronRoutine;
    r[code::kOrangeDisk] = kOrangeRoutine;
    r[code::kSnikSnak] = kSnikSnakRoutine;
    r[code::kTerminal] = kTerminalRoutine;
    r[code::kElectron] = kElectronRoutine;
    r[code::kBug] = kBugRoutine;
    r[code::kExplosion] = kExplosionRoutine;
    return r;
}
constexpr std::array<uint8_t, 256> kRoutines = makeRoutines();
constexpr uint64_t kMovingBits[2] = {0, ~uint64_t(0)};

// The hero's actions: the state his square holds while he acts.
namespace act {
constexpr uint8_t kUpSpace = 0x01, kLeftSpace = 0x02, kDownSpace = 0x03, kRightSpace = 0x04, kUpBase = 0x05,
                  kDownBase = 0x07, kRightBase = 0x08, kUpInfotron = 0x09, kExit = 0x0D, kPushZonkLeft = 0x0E,
                  kPushZonkRight = 0x0F, kSnapBase = 0x10, kSnapInfotron = 0x14, kPort = 0x18, kRedDiskUp = 0x1C,
                  kRedDiskLeft = 0x1D, kRedDiskDown = 0x1E, kRedDiskRight = 0x1F, kSnapRedDisk = 0x20,
                  kYellowUp = 0x24, kYellowLeft = 0x25, kYellowRight = 0x26, kYellowDown = 0x27,
                  kOrangeLeft = 0x28, kOrangeRight = 0x29, kPlant = 0x2A;
}

// Steps each action takes once its wait is over.
int stepsOf(uint8_t state)
{
    if (state == act::kExit)
        return 40;
    if (state >= act::kSnapInfotron && state <= act::kSnapInfotron + 3)
        return 7;
    if (state == act::kRedDiskRight)
        return 9;
    if (state == act::kPlant)
        return 1;
    return 8;
}

enum Direction { kDirUp = 1, kDirLeft = 2, kDirDown = 3, kDirRight = 4 };

} // namespace

Engine::Engine(const Level &level) : mLevel(level)
{
    const std::string problem = levelProblem(level);
    if (!problem.empty())
        throw std::invalid_argument(problem);
    mWidth = level.width;
    mSquares = level.squares();
    mGuard = 3 * mWidth + 3;
    mOrigin = mGuard + kCellsBefore;
    const size_t cells = size_t(mOrigin) + size_t(mSquares) + kCellsAfter + size_t(mGuard);
    mMemory.assign(cells, kHardwareWord);
    mTimers.assign(cells, 0);
    mList.assign(size_t(mSquares), 0);
    mMoving.assign(size_t(mSquares + 63) / 64, 0);
    mSnapshot.assign(mMoving.size(), 0);
    startLevel();
}

void Engine::restart() { startLevel(); }

inline void Engine::put(int cell, uint16_t w)
{
    mMemory[size_t(mOrigin + cell)] = w;
    if (unsigned(cell) < unsigned(mSquares)) {
        const uint64_t bit = uint64_t(1) << (cell & 63);
        uint64_t &bits = mMoving[size_t(cell >> 6)];
        bits = (bits & ~bit) | (kMovingBits[kRoutines[uint8_t(w)] != kNoRoutine] & bit);
    }
}

inline void Engine::setTimer(int cell, int8_t value)
{
    int8_t &t = mTimers[size_t(mOrigin + cell)];
    if (unsigned(cell) < unsigned(mSquares))
        mTimersRunning += int(value != 0) - int(t != 0);
    t = value;
}

uint16_t Engine::word(int cell) const
{
    if (cell < -kCellsBefore - mGuard || cell >= mSquares + kCellsAfter + mGuard)
        return kHardwareWord;
    return get(cell);
}

int8_t Engine::timer(int cell) const
{
    if (cell < -kCellsBefore - mGuard || cell >= mSquares + kCellsAfter + mGuard)
        return 0;
    return mTimers[size_t(mOrigin + cell)];
}

int Engine::offsetOf(int direction) const
{
    switch (direction) {
    case kDirUp: return -mWidth;
    case kDirLeft: return -1;
    case kDirDown: return mWidth;
    default: return 1;
    }
}

uint16_t Engine::draw()
{
    mRandom = uint16_t(mRandom * 1509 + 49);
    return uint16_t(mRandom >> 1);
}

void Engine::clearUnlessExplosion(int cell)
{
    if (codeAt(cell) != code::kExplosion)
        put(cell, kFree);
}

// ---------------------------------------------------------------------------------------------------
// The start of a level

void Engine::startLevel()
{
    std::fill(mMemory.begin(), mMemory.end(), kHardwareWord);
    std::fill(mTimers.begin(), mTimers.end(), int8_t(0));
    std::fill(mMoving.begin(), mMoving.end(), uint64_t(0));
    mTimersRunning = 0;
    for (int cell = -kCellsBefore; cell < 0; ++cell)
        put(cell, kFree);
    for (const MemoryRun &run : kMemoryBefore)
        for (int cell = run.first; cell <= run.last; ++cell)
            put(cell, run.word);
    for (int cell = 0; cell < mSquares; ++cell)
        put(cell, mLevel.codes[size_t(cell)]);
    for (int k = 0; k < kCellsAfter; ++k)
        put(mSquares + k, mLevel.settings[size_t(k)]);

    mGravity = mLevel.settings[settings::kGravity];
    mFreezeZonks = mLevel.settings[settings::kFreezeZonks];
    mFreezeEnemies = 0;
    mRandom = mLevel.seed();
    mFrame = 0;
    mRedDisks = 0;
    mKill = false;
    mExitFlag = false;
    mQuitCountdown = 0;
    mQuitCountdownShown = 0;
    mExplosionFlag = false;
    mTerminalMask = 0x7F;
    mTerminalUsed = false;
    mPlantedCountdown = 0;
    mPlantedCell = 0;
    mSuccess = false;
    mStopped = false;
    mIdleBefore = false; // a fresh program's value: a replay starts from one
    mWait = 0;
    mSteps = 0;
    mStepCount = 0;
    mDiedAtFrame = -1;
    mDiedAtCell = 0;
    mKiller = Killer::None;

    // The conversion pass: variants become the plain object, special ports keep state 1, and each
    // enemy takes its first direction.
    int infotrons = 0;
    for (int cell = 0; cell < mSquares; ++cell) {
        const uint16_t w = get(cell);
        const uint8_t c = uint8_t(w), s = uint8_t(w >> 8);
        if (c == 0xF1) {
            put(cell, makeWord(s, codeAtStart(c)));
        } else if (c == code::kInfotron) {
            ++infotrons;
        } else if (s == 0 && (c == code::kSnikSnak || c == code::kElectron)) {
            if (get(cell - 1) == kFree) {
                put(cell, makeWord(1, c));
            } else if (get(cell - mWidth) == kFree) {
                put(cell - mWidth, makeWord(0x10, c));
                put(cell, 0xFFFF);
            } else if (get(cell + 1) == kFree) {
                put(cell + 1, makeWord(0x28, c));
                put(cell, 0xFFFF);
            }
        } else if (s == 0 && codeAtStart(c) != c) {
            put(cell, makeWord(isSpecialPortCode(c) ? 1 : 0, codeAtStart(c)));
        }
    }
    const int needed = mLevel.settings[settings::kInfotrons];
    mInfotronsLeft = needed != 0 ? needed : infotrons % 256;

    mHero = 0; // a fresh program's value when the level has no hero
    mHasHero = false;
    for (int cell = 0; cell < mSquares; ++cell)
        if (mLevel.codes[size_t(cell)] == code::kHero) {
            mHero = cell;
            mHasHero = true;
            break;
        }
    mHeroLastFound = mHero;
    mHeroFound = false;
}

// ---------------------------------------------------------------------------------------------------
// One frame

void Engine::frame(uint8_t input, bool endMark)
{
    if (mStopped)
        return;
    mInput = uint8_t(input & 0x0F);
    if (endMark) {
        mExitFlag = true;
        mQuitCountdown = 100;
    }
    mActing = code::kHero;
    updateHero();
    updateObjects();
    mActing = 0;
    deathCheck();
    mActing = code::kRedDisk;
    plantedDiskStep();
    mActing = code::kExplosion;
    explosionTimers();
    if (mExplosionFlag)
        draw(); // the screen shakes: the number is not used, the draw is
    ++mFrame;
    mQuitCountdownShown = mQuitCountdown;
    if (mExitFlag) {
        mStopped = true;
    } else if (mQuitCountdown != 0) {
        if (--mQuitCountdown == 0)
            mStopped = true;
    }
}

void Engine::deathCheck()
{
    if (!mKill && mHeroFound)
        return;
    if (mQuitCountdown != 0)
        return;
    mKill = false;
    if (mDiedAtFrame < 0 && !mSuccess) {
        mDiedAtFrame = mFrame;
        mDiedAtCell = mHeroLastFound;
    }
    explode(mHeroLastFound);
    mQuitCountdown = 64;
}

void Engine::plantedDiskStep()
{
    if (mPlantedCountdown <= 1)
        return;
    if (get(mPlantedCell) == kFree)
        put(mPlantedCell, makeWord(0, code::kRedDisk));
    if (++mPlantedCountdown >= 40) {
        explode(mPlantedCell);
        mPlantedCountdown = 0;
    }
}

void Engine::explosionTimers()
{
    for (int cell = 0; cell < mSquares && mTimersRunning != 0; ++cell) {
        const int8_t t = timerAt(cell);
        if (t == 0)
            continue;
        if (t > 0) {
            setTimer(cell, int8_t(t - 1));
            if (t == 1)
                explode(cell);
        } else {
            setTimer(cell, int8_t(t + 1));
            if (t == -1) {
                put(cell, makeWord(0xFF, code::kElectron));
                explode(cell);
            }
        }
    }
}

void Engine::updateObjects()
{
    // The list is made before any object moves: the squares from row 1, column 1 to the row before the
    // last, second column from the end, that hold an object with an update.
    const int first = mWidth + 1, last = mSquares - mWidth - 2;
    std::copy(mMoving.begin(), mMoving.end(), mSnapshot.begin());
    size_t count = 0;
    for (int index = first >> 6; index <= last >> 6; ++index) {
        uint64_t bits = mSnapshot[size_t(index)];
        while (bits != 0) {
            const int cell = index * 64 + __builtin_ctzll(bits);
            bits &= bits - 1;
            if (cell >= first && cell <= last)
                mList[count++] = cell << 8 | codeAt(cell);
        }
    }
    // Each routine is the one of the code listed; it does nothing once its square holds another code.
    for (size_t k = 0; k < count; ++k) {
        const int cell = mList[k] >> 8;
        const uint8_t listed = uint8_t(mList[k]);
        if (codeAt(cell) != listed)
            continue;
        mActing = listed;
        switch (kRoutines[listed]) {
        case kZonkRoutine: updateFaller(cell, kZonkKind); break;
        case kInfotronRoutine: updateFaller(cell, kInfotronKind); break;
        case kOrangeRoutine: updateOrangeDisk(cell); break;
        case kSnikSnakRoutine: updateEnemy(cell, code::kSnikSnak); break;
        case kElectronRoutine: updateEnemy(cell, code::kElectron); break;
        case kTerminalRoutine: updateTerminal(cell); break;
        case kBugRoutine: updateBug(cell); break;
        case kExplosionRoutine: updateExplosion(cell); break;
        default: break;
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// The hero. His square holds code 3 and, while he acts, the action in its state byte. Walking moves
// take him into the new square at once and leave the old one reserved; pushes, ports and red disks
// above or below keep him in his square until the action completes.

void Engine::updateHero()
{
    if (codeAt(mHero) != code::kHero) {
        mHeroFound = false;
        return;
    }
    mHeroFound = true;
    mHeroLastFound = mHero;
    if (stateAt(mHero) != 0)
        continueAction();
    else
        heroStanding();
}

void Engine::heroStanding()
{
    const int p = mHero;
    const uint8_t above = codeAt(p - mWidth);
    const bool falls = mGravity != 0 && above != code::kPortUp && above != code::kPortVertical &&
                       above != code::kPortFourWay && get(p + mWidth) == kFree;
    if (mInput == kNone) {
        mIdleBefore = true;
        if (falls)
            heroDirection(kDirDown);
        return;
    }
    uint8_t v = mInput;
    // Falling, the hero can only dig into base up, left or right; anything else takes him down.
    if (falls && !(v == kUp && get(p - mWidth) == 0x0002) && !(v == kLeft && get(p - 1) == 0x0002) &&
        !(v == kRight && get(p + 1) == 0x0002))
        v = kDown;
    if (v != kSpace)
        mIdleBefore = false;
    if (v >= kUp && v <= kRight) {
        heroDirection(v);
    } else if (v >= kSnapUp && v <= kSnapRight) {
        heroSnap(v - 4);
    } else if (v == kSpace && mRedDisks != 0 && mPlantedCountdown == 0 && mIdleBefore) {
        mPlantedCountdown = 1;
        mPlantedCell = p;
        beginAction(p, act::kPlant, 64);
    }
}

void Engine::beginAction(int cell, uint8_t state, int wait)
{
    put(cell, makeWord(state, code::kHero));
    mStepCount = stepsOf(state);
    mSteps = 0;
    mWait = wait;
    continueAction();
}

bool Engine::heroDirection(int d)
{
    const int p = mHero, off = offsetOf(d), t = p + off, f = t + off;
    const bool vertical = d == kDirUp || d == kDirDown;
    for (;;) {
        const uint16_t tw = get(t);
        const uint8_t tc = uint8_t(tw), ts = uint8_t(tw >> 8);
        const auto walk = [&](uint8_t state, uint16_t leaves) {
            put(p, leaves);
            mHero = t;
            beginAction(t, state, 0);
        };
        if (tw == kFree) {
            walk(uint8_t(d), kHeroLeaving); // 1..4: up, left, down, right into space
            return true;
        }
        if (tw == 0x0002 || (tc == code::kBug && ts >= 0x80)) {
            static constexpr uint8_t kIntoBase[] = {0, act::kUpBase, act::kLeftSpace, act::kDownBase, act::kRightBase};
            walk(kIntoBase[d], kHeroLeaving);
            return true;
        }
        if (tc == code::kBug) { // an active bug: its sparks kill the hero
            explode(p);
            return false;
        }
        if (d == kDirDown ? tc == code::kInfotron : tw == 0x0004) {
            walk(uint8_t(act::kUpInfotron + d - 1), d == kDirDown ? 0x0302 : kHeroLeaving);
            return true;
        }
        if (d == kDirDown ? tc == code::kExit : tw == 0x0007) {
            if (mInfotronsLeft != 0)
                return false;
            mSuccess = true;
            mQuitCountdown = 64;
            beginAction(p, act::kExit, 0);
            return true;
        }
        if (!vertical && tw == 0x0001) {
            if (get(f) != kFree || (d == kDirRight && get(t + mWidth) == kFree))
                return false;
            put(f, 0x0100);
            beginAction(p, d == kDirLeft ? act::kPushZonkLeft : act::kPushZonkRight, 8);
            return true;
        }
        if (tc == code::kTerminal) {
            touchTerminal();
            return false;
        }
        const bool passes = tc == code::kPortFourWay || tc == (vertical ? code::kPortVertical : code::kPortHorizontal) ||
                            tc == (d == kDirUp ? code::kPortUp : d == kDirLeft ? code::kPortLeft
                                                               : d == kDirDown ? code::kPortDown : code::kPortRight);
        if (passes) {
            if (get(f) != kFree)
                return false;
            put(f, kHeroLeaving);
            beginAction(p, uint8_t(act::kPort + d - 1), 0);
            return true;
        }
        if (d == kDirLeft ? tw == 0x0014 : tc == code::kRedDisk) {
            if (vertical) {
                put(t, 0x0314);
                beginAction(p, d == kDirUp ? act::kRedDiskUp : act::kRedDiskDown, 0);
            } else {
                walk(d == kDirLeft ? act::kRedDiskLeft : act::kRedDiskRight, kHeroLeaving);
            }
            return true;
        }
        if (d == kDirLeft ? tw == 0x0012 : tc == code::kYellowDisk) {
            if (get(f) != kFree)
                return false;
            put(f, 0x1200);
            static constexpr uint8_t kPush[] = {0, act::kYellowUp, act::kYellowLeft, act::kYellowDown, act::kYellowRight};
            beginAction(p, kPush[d], 8);
            return true;
        }
        if (!vertical && tw == 0x0008) {
            if (get(f) != kFree || (d == kDirRight && get(t + mWidth) == kFree))
                return false;
            put(f, d == kDirLeft ? 0x0800 : 0x0100);
            beginAction(p, d == kDirLeft ? act::kOrangeLeft : act::kOrangeRight, 8);
            return true;
        }
        if (heroGeneralCheck(d, t) != Checked::Again)
            return false;
    }
}

// What the hero does to a square that none of his moves knows: a moving object or an early explosion
// in his way explodes, a still one stops him.
Engine::Checked Engine::heroGeneralCheck(int direction, int x)
{
    const uint16_t w = get(x);
    if (w == 0xFFFF || w == kRollLeaving)
        return Checked::Nothing;
    const uint8_t s = uint8_t(w >> 8), c = uint8_t(w);
    if (s == 0)
        return Checked::Nothing;
    if (c == code::kZonk) {
        const uint8_t phase = s & 0xF0;
        if (direction == kDirLeft && (phase == 0x20 || phase == 0x40 || phase == 0x50 || phase == 0x70))
            return Checked::Nothing;
        if (direction == kDirRight && (phase == 0x30 || phase == 0x40 || phase == 0x60 || phase == 0x70))
            return Checked::Nothing;
        explode(x);
        return Checked::Nothing;
    }
    if (c == code::kExplosion) {
        if (s >= 0x80 || s < 4) {
            explode(x);
            return Checked::Nothing;
        }
        put(x, kFree); // a fading explosion: he walks into it
        return Checked::Again;
    }
    if (c >= code::kOrangeDisk && c <= code::kPortUp)
        return Checked::Nothing;
    explode(x);
    return Checked::Nothing;
}

void Engine::heroSnap(int d)
{
    const int p = mHero, t = p + offsetOf(d);
    const uint16_t tw = get(t);
    const uint8_t tc = uint8_t(tw), ts = uint8_t(tw >> 8);
    if (tc == code::kBug && ts < 0x80) {
        explode(p);
        return;
    }
    if (tw == 0x0002 || tc == code::kBug) {
        put(t, 0x0002);
        beginAction(p, uint8_t(act::kSnapBase + d - 1), 0);
    } else if (tw == 0x0004) {
        put(t, 0xFF04);
        beginAction(p, uint8_t(act::kSnapInfotron + d - 1), 0);
    } else if (tc == code::kTerminal) {
        touchTerminal();
    } else if (tc == code::kRedDisk) {
        put(t, 0x0314);
        beginAction(p, uint8_t(act::kSnapRedDisk + d - 1), 0);
    }
}

void Engine::touchTerminal()
{
    if (mTerminalUsed)
        return;
    mTerminalUsed = true;
    mTerminalMask = 7;
    for (int cell = 0; cell < mSquares; ++cell)
        if (get(cell) == 0x0012)
            explode(cell);
}

void Engine::continueAction()
{
    const int p = mHero;
    const uint8_t state = stateAt(p);
    if (mWait != 0) {
        --mWait;
        // The key must stay held while the hero pushes or plants; letting go puts everything back.
        uint8_t key = 0;
        int object = 0;
        uint16_t objectWord = 0;
        switch (state) {
        case act::kPushZonkLeft: key = kLeft, object = p - 1, objectWord = 0x0001; break;
        case act::kPushZonkRight: key = kRight, object = p + 1, objectWord = 0x0001; break;
        case act::kOrangeLeft: key = kLeft, object = p - 1, objectWord = 0x0008; break;
        case act::kOrangeRight: key = kRight, object = p + 1, objectWord = 0x0008; break;
        case act::kYellowUp: key = kUp, object = p - mWidth, objectWord = 0x0012; break;
        case act::kYellowLeft: key = kLeft, object = p - 1, objectWord = 0x0012; break;
        case act::kYellowDown: key = kDown, object = p + mWidth, objectWord = 0x0012; break;
        case act::kYellowRight: key = kRight, object = p + 1, objectWord = 0x0012; break;
        case act::kPlant:
            if (mInput != kSpace) {
                put(p, kHeroStanding);
                mPlantedCountdown = 0;
            }
            return;
        default: return;
        }
        if (mInput == key && get(object) == objectWord)
            return;
        put(p, kHeroStanding);
        put(object, objectWord);
        clearUnlessExplosion(object + (object - p));
        return;
    }
    if (++mSteps < mStepCount)
        return;
    put(p, kHeroStanding);
    completeAction(state);
}

void Engine::completeAction(uint8_t state)
{
    const int p = mHero, w = mWidth;
    const auto collected = [this] {
        if (mInfotronsLeft > 0)
            --mInfotronsLeft;
    };
    switch (state) {
    case act::kUpInfotron: collected(); [[fallthrough]];
    case act::kUpSpace:
    case act::kUpBase:
        put(p, kHeroStanding);
        heroLeft(p + w);
        break;
    case act::kUpInfotron + 1: collected(); [[fallthrough]];
    case act::kLeftSpace:
    case 0x06:
        put(p, kHeroStanding);
        heroLeft(p + 1);
        break;
    case act::kUpInfotron + 2: collected(); [[fallthrough]];
    case act::kDownSpace:
    case act::kDownBase:
        clearUnlessExplosion(p - w);
        put(p, kHeroStanding);
        break;
    case act::kUpInfotron + 3: collected(); [[fallthrough]];
    case act::kRightSpace:
    case act::kRightBase:
        heroLeft(p - 1);
        put(p, kHeroStanding);
        break;
    case act::kExit: mExitFlag = true; break;
    case act::kPushZonkLeft:
    case act::kPushZonkRight: {
        const int d = state == act::kPushZonkLeft ? -1 : 1;
        clearUnlessExplosion(p);
        put(p + d, kHeroStanding);
        put(p + 2 * d, 0x0001);
        mHero = p + d;
        const uint8_t below = codeAt(p + 2 * d + w);
        if (below == code::kSnikSnak || below == code::kLeaving)
            explode(p + 2 * d + w);
        break;
    }
    case act::kSnapBase:
    case act::kSnapBase + 1:
    case act::kSnapBase + 2:
    case act::kSnapBase + 3: clearUnlessExplosion(p + offsetOf(state - act::kSnapBase + 1)); break;
    case act::kSnapInfotron:
    case act::kSnapInfotron + 1:
    case act::kSnapInfotron + 2:
    case act::kSnapInfotron + 3:
        collected();
        clearUnlessExplosion(p + offsetOf(state - act::kSnapInfotron + 1));
        break;
    case act::kPort:
    case act::kPort + 1:
    case act::kPort + 2:
    case act::kPort + 3: {
        const int off = offsetOf(state - act::kPort + 1);
        clearUnlessExplosion(p);
        put(p + 2 * off, kHeroStanding);
        mHero = p + 2 * off;
        if (stateAt(p + off) == 1)
            applySpecialPort(p + off);
        break;
    }
    case act::kRedDiskUp:
    case act::kRedDiskDown: {
        const int to = p + (state == act::kRedDiskUp ? -w : w);
        clearUnlessExplosion(p);
        put(to, kHeroStanding);
        mHero = to;
        collectRedDisk(to);
        break;
    }
    case act::kRedDiskLeft:
    case act::kRedDiskRight:
        clearUnlessExplosion(state == act::kRedDiskLeft ? p + 1 : p - 1);
        put(p, kHeroStanding);
        collectRedDisk(p);
        break;
    case act::kSnapRedDisk:
    case act::kSnapRedDisk + 1:
    case act::kSnapRedDisk + 2:
    case act::kSnapRedDisk + 3: {
        const int cell = p + offsetOf(state - act::kSnapRedDisk + 1);
        clearUnlessExplosion(cell);
        collectRedDisk(cell);
        break;
    }
    case act::kYellowUp:
    case act::kYellowLeft:
    case act::kYellowRight:
    case act::kYellowDown: {
        const int off = state == act::kYellowUp ? -w : state == act::kYellowLeft ? -1 : state == act::kYellowRight ? 1 : w;
        clearUnlessExplosion(p);
        put(p + off, kHeroStanding);
        put(p + 2 * off, 0x0012);
        mHero = p + off;
        break;
    }
    case act::kOrangeLeft:
        clearUnlessExplosion(p);
        put(p - 1, kHeroStanding);
        put(p - 2, 0x0008);
        mHero = p - 1;
        break;
    case act::kOrangeRight:
        clearUnlessExplosion(p);
        put(p + 1, kHeroStanding);
        put(p + 2, 0x0008);
        mHero = p + 1;
        if (get(p + 2 + w) == kFree) { // the disk starts falling at once
            put(p + 2, 0x2008);
            put(p + 2 + w, 0x0800);
        }
        break;
    case act::kPlant:
        put(p, kHeroStanding);
        mPlantedCountdown = 2;
        mRedDisks = (mRedDisks - 1) & 0xFF;
        break;
    default: mExitFlag = true; break;
    }
}

// The square the hero has just left (moving up, left or right): it empties, and what rests above it
// may start to fall or roll.
void Engine::heroLeft(int v)
{
    clearUnlessExplosion(v);
    const int a = v - mWidth;
    const uint16_t aw = get(a);
    if (aw == kFree || aw == kFallReserved) {
        const uint16_t upLeft = get(a - 1), upRight = get(a + 1);
        if ((upLeft == 0x0001 || upLeft == 0x0004) && isSupport(get(v - 1))) {
            setState(a - 1, 0x60);
            put(a, kRollReserved);
        } else if ((upRight == 0x0001 || upRight == 0x0004) && isSupport(get(v + 1))) {
            setState(a + 1, 0x50);
            put(a, kRollReserved);
        }
    } else if (aw == 0x0001 || aw == 0x0004) {
        setState(a, 0x40);
    }
}

// A red disk picked up counts, except the hero's own planted disk while it waits to go off.
void Engine::collectRedDisk(int cell)
{
    if (mPlantedCountdown != 0 && mPlantedCell == cell)
        return;
    mRedDisks = (mRedDisks + 1) & 0xFF;
}

void Engine::applySpecialPort(int port)
{
    const int count = std::min<int>(mLevel.settings[settings::kPortCount], kSpecialPortEntries);
    for (int k = 0; k < count; ++k) {
        const uint8_t *entry = &mLevel.settings[settings::kPortTable + size_t(k) * settings::kPortEntry];
        if (((entry[0] << 8) | entry[1]) / 2 != port)
            continue;
        mGravity = entry[2];
        mFreezeZonks = entry[3];
        mFreezeEnemies = entry[4];
        return;
    }
}

// ---------------------------------------------------------------------------------------------------
// Zonks and infotrons. State 0 rests; 0x40 is about to fall, 0x50/0x60 about to roll left/right (the
// square beside reserved), 0x70 falls on to the next square; 0x1X falls into its square, 0x2X/0x3X
// finish a roll left/right. The two move alike; where they differ, their kind says how.

void Engine::updateFaller(int p, const FallerKind &kind)
{
    if (get(p) == kind.code) {
        if (kind.freezes && zonksFrozen())
            return;
        const int w = mWidth;
        if (get(p + w) == kFree) {
            setState(p, 0x40);
        } else {
            if (!isSupport(get(p + w)))
                return;
            if (isRollRoom(get(p + w - 1)) && get(p - 1) == kFree) {
                setState(p, 0x50);
                put(p - 1, kRollReserved);
            } else if (!startRollingRight(p, kind)) {
                return;
            }
        }
    }
    fallerStep(p, kind);
}

// Left is always tried before right; a resting zonk may also roll into a square reserved below a
// resting zonk.
bool Engine::startRollingRight(int p, const FallerKind &kind)
{
    if (!isRollRoom(get(p + mWidth + 1)))
        return false;
    const bool intoReserved =
        kind.rollsIntoFallReserved && get(p + 1) == kFallReserved && get(p - mWidth + 1) == 0x0001;
    if (get(p + 1) != kFree && !intoReserved)
        return false;
    setState(p, 0x60);
    put(p + 1, kRollReserved);
    return true;
}

void Engine::fallerStep(int p, const FallerKind &kind)
{
    const int w = mWidth;
    uint8_t s = stateAt(p);
    switch (s & 0xF0) {
    case 0x10: fallerFalling(p, kind); return;
    case 0x20:
    case 0x30: {
        const uint8_t phase = s & 0xF0;
        const int origin = phase == 0x20 ? p + 1 : p - 1;
        ++s;
        if (s == phase + 4)
            put(origin, kRollLeaving);
        if (s == phase + 6) {
            setState(p, s);
            fallerVacated(origin, kind);
            return;
        }
        if (s < phase + 8) {
            setState(p, s);
            return;
        }
        if (kind.dropsAtRollEnd) {
            put(p, kLeavingMarker);
            put(p + w, makeWord(0x10, kind.code));
        } else {
            put(p, makeWord(0x70, kind.code));
        }
        return;
    }
    default: break;
    }
    if (kind.freezes && zonksFrozen())
        return;
    switch (s & 0xF0) {
    case 0x40:
        if (++s < 0x42) {
            setState(p, s);
        } else if (get(p + w) == kFree) {
            put(p, kLeavingMarker);
            put(p + w, makeWord(0x10, kind.code));
        }
        return;
    case 0x50:
    case 0x60: {
        const int side = (s & 0xF0) == 0x50 ? -1 : 1;
        if ((++s & 0x0F) < 2) {
            setState(p, s);
        } else if (get(p + w + side) == kFree && (get(p + side) == kFree || get(p + side) == kRollReserved)) {
            put(p, kLeavingMarker);
            put(p + side, makeWord(side < 0 ? 0x22 : 0x32, kind.code));
            put(p + w + side, kind.rollReservesBelow);
        }
        return;
    }
    case 0x70:
        if (get(p + w) != kFree && get(p + w) != kFallReserved)
            return;
        put(p, kLeavingMarker);
        put(p + w, makeWord(0x10, kind.code));
        fallerFalling(p + w, kind);
        return;
    default: return;
    }
}

void Engine::fallerFalling(int p, const FallerKind &kind)
{
    const uint8_t s = uint8_t(stateAt(p) + 1);
    if (s == 0x16) {
        setState(p, s);
        fallerVacated(p - mWidth, kind);
        return;
    }
    if (s < 0x18) {
        setState(p, s);
        return;
    }
    setState(p, 0);
    if (kind.code == code::kInfotron)
        infotronLanded(p);
    else if (!zonksFrozen())
        zonkLanded(p);
}

// Having fallen on a zonk, an infotron or a chip, the object rolls off: left first; when the left is
// blocked only beside it, the right is tried as a resting object tries it, and the roll goes on in
// this frame.
void Engine::rollOffLanding(int p, const FallerKind &kind)
{
    const int b = p + mWidth;
    if (isRollRoom(get(b - 1))) {
        if (get(p - 1) == kFree) {
            setState(p, 0x50);
            put(p - 1, kRollReserved);
        } else if (startRollingRight(p, kind)) {
            fallerStep(p, kind);
        }
        return;
    }
    if (isRollRoom(get(b + 1)) && get(p + 1) == kFree) {
        setState(p, 0x60);
        put(p + 1, kRollReserved);
    }
}

// A zonk has fallen a whole square: what lies below decides whether it falls on, explodes something,
// rolls off or rests.
void Engine::zonkLanded(int p)
{
    const int w = mWidth, b = p + w;
    const uint16_t bw = get(b);
    const uint8_t bc = uint8_t(bw), bs = uint8_t(bw >> 8);
    if (bw == kFree || bw == kFallReserved) {
        put(p, 0x7001);
        put(b, kFallReserved);
        return;
    }
    if (bc == code::kHero) {
        if (bs == 0x0E || bs == 0x0F || bs == 0x25 || bs == 0x26 || bs == 0x28 || bs == 0x29)
            return;
        zonkEnemyBelow(p, b - 1);
        return;
    }
    if (bc == code::kSnikSnak) {
        explode(b);
        return;
    }
    if (bw == 0x02BB) {
        zonkEnemyBelow(p, b - 1);
        return;
    }
    if (bw == 0x04BB) {
        zonkEnemyBelow(p, b + 1);
        return;
    }
    if (bc == code::kElectron) {
        explode(b);
        return;
    }
    if (bw == 0x0008) {
        setTimer(b, 6);
        return;
    }
    if (isSupport(bw))
        rollOffLanding(p, kZonkKind);
}

// A zonk lands on an enemy leaving its square (or on the hero): the enemy beside is pulled back into
// the blast.
void Engine::zonkEnemyBelow(int p, int side)
{
    const int b = p + mWidth;
    if (codeAt(side) == code::kElectron)
        put(b, makeWord(0, code::kElectron));
    clearUnlessExplosion(side);
    explode(b);
}

// The square a zonk or infotron has left: it empties, and a resting object of the same kind above-left
// or above-right may start to roll into the square above it.
void Engine::fallerVacated(int v, const FallerKind &kind)
{
    const int w = mWidth;
    clearUnlessExplosion(v);
    if (!(get(v - w) == kFree || (get(v - w) == kFallReserved && codeAt(v - 2 * w) == kind.wokenFromTwoAbove)))
        return;
    if (get(v - w - 1) == kind.code && isSupport(get(v - 1))) {
        put(v - w - 1, makeWord(0x60, kind.code));
        put(v - w, kRollReserved);
    } else if (get(v - w + 1) == kind.code && isSupport(get(v + 1))) {
        put(v - w + 1, makeWord(0x50, kind.code));
        put(v - w, kRollReserved);
    }
}

void Engine::infotronLanded(int p)
{
    const int w = mWidth, b = p + w;
    const uint16_t bw = get(b);
    const uint8_t bc = uint8_t(bw), bs = uint8_t(bw >> 8);
    if (bw == kFree || bw == kFallReserved) {
        put(p, 0x7004);
        put(b, kFallReserved);
        return;
    }
    if (bc == code::kHero) {
        if (bs == 0x0E || bs == 0x0F || bs == 0x25 || bs == 0x26 || bs == 0x28 || bs == 0x29)
            return;
        explode(b);
        return;
    }
    if (bw == 0x0014 || bc == code::kSnikSnak || bc == code::kElectron || bw == 0x0012 || bw == 0x0008) {
        explode(b);
        return;
    }
    if (isSupport(bw))
        rollOffLanding(p, kInfotronKind);
}

// ---------------------------------------------------------------------------------------------------
// Orange disks fall (never roll) and explode on landing.

void Engine::updateOrangeDisk(int p)
{
    const int w = mWidth, b = p + w;
    const uint16_t dw = get(p);
    uint8_t s = uint8_t(dw >> 8);
    if (dw >= 0x3008) {
        ++s;
        if ((s & 7) != 0) {
            setState(p, s);
            return;
        }
        put(p, kFree);
        put(b, 0x0008);
        if (get(b + w) == kFree) {
            setState(b, 0x30);
            put(b + w, 0x0800);
        } else if (codeAt(b + w) != code::kExplosion) {
            explode(b);
        }
        return;
    }
    if (dw >= 0x2008) {
        if (get(b) == kFree) {
            put(p, 0x0008);
            return;
        }
        ++s;
        setState(p, s == 0x22 ? 0x30 : s);
        return;
    }
    if (get(b) == kFree) {
        setState(p, 0x20);
        put(b, 0x0800);
    }
}

// ---------------------------------------------------------------------------------------------------
// Snik snaks and electrons. States 0..7 turn left, 8..15 turn right (45 degrees every fourth frame,
// looking ahead on the frame after), 0x10/0x18/0x20/0x28 + step move up/left/down/right.

namespace {
// For each direction moved (1..4): the directions on the enemy's left hand, ahead and right hand, and
// the turning states that start a left or right turn from it.
struct AfterMove {
    int left, ahead, right;
    uint8_t turnLeft, turnRight;
};
constexpr AfterMove kAfterMove[5] = {
    {},
    {kDirLeft, kDirUp, kDirRight, 0x01, 0x09},
    {kDirDown, kDirLeft, kDirUp, 0x03, 0x0F},
    {kDirRight, kDirDown, kDirLeft, 0x05, 0x0D},
    {kDirUp, kDirRight, kDirDown, 0x07, 0x0B},
};
// The direction a standing enemy faces, by its state (0 while between two directions).
constexpr int kFacing[16] = {kDirUp, 0, kDirLeft, 0, kDirDown, 0, kDirRight, 0,
                             kDirUp, 0, kDirRight, 0, kDirDown, 0, kDirLeft, 0};
constexpr uint8_t kMoveBase[5] = {0, 0x10, 0x18, 0x20, 0x28};
} // namespace

void Engine::updateEnemy(int p, uint8_t enemy)
{
    if (mFreezeEnemies == 1)
        return;
    const uint8_t s = stateAt(p);
    if (s >= 0x10) {
        enemyMoving(p, enemy);
        return;
    }
    const int m = mFrame & 3;
    if (m == 0) {
        setState(p, s < 8 ? uint8_t((s + 1) & 7) : uint8_t(((s + 1) & 7) | 8));
        return;
    }
    if (m != 3)
        return;
    const int facing = kFacing[s];
    if (facing == 0)
        return;
    const int ahead = p + offsetOf(facing);
    if (get(ahead) == kFree) {
        enemyStartMove(p, enemy, facing);
    } else if (codeAt(ahead) == code::kHero) {
        const uint8_t heroState = stateAt(ahead);
        if (enemy == code::kSnikSnak && heroState >= act::kPort && heroState <= act::kPort + 3)
            return; // a snik snak spares the hero inside a port
        explode(p);
    }
}

void Engine::enemyStartMove(int p, uint8_t enemy, int direction)
{
    put(p, makeWord(uint8_t(direction), code::kLeaving));
    put(p + offsetOf(direction), makeWord(kMoveBase[direction], enemy));
}

void Engine::enemyMoving(int p, uint8_t enemy)
{
    const uint8_t s = stateAt(p);
    const uint8_t base = s & 0xF8;
    const int direction = (base - 0x10) / 8 + 1;
    const int n = s - base + 1;
    if (n == 7)
        clearUnlessExplosion(p - offsetOf(direction));
    if (n < 8) {
        setState(p, uint8_t(base + n));
        return;
    }
    put(p, makeWord(0, enemy));
    const AfterMove &after = kAfterMove[direction];
    const int left = p + offsetOf(after.left), ahead = p + offsetOf(after.ahead), right = p + offsetOf(after.right);
    if (get(left) == kFree || codeAt(left) == code::kHero) {
        setState(p, after.turnLeft);
    } else if (get(ahead) == kFree) {
        enemyStartMove(p, enemy, after.ahead);
    } else if (codeAt(ahead) == code::kHero) {
        explode(p);
    } else if (get(right) == kFree || codeAt(right) == code::kHero) {
        setState(p, after.turnRight);
    } else {
        setState(p, after.turnLeft);
    }
}

// ---------------------------------------------------------------------------------------------------
// Terminals, bugs and explosions

void Engine::updateTerminal(int p)
{
    const int8_t s = int8_t(int8_t(stateAt(p)) + 1);
    if (s <= 0) {
        setState(p, uint8_t(s));
        return;
    }
    const uint16_t r = draw();
    setState(p, uint8_t(-int((r & 0xFF) & mTerminalMask)));
}

void Engine::updateBug(int p)
{
    if ((mFrame & 3) != 0)
        return;
    int n = int8_t(stateAt(p)) + 1;
    if (n >= 14) {
        const uint16_t r = draw();
        n = -(((r & 0xFF) & 0x3F) + 0x20);
    }
    setState(p, uint8_t(n));
}

void Engine::updateExplosion(int p)
{
    if ((mFrame & 3) != 0)
        return;
    const uint8_t s = uint8_t(stateAt(p) + 1);
    if ((s & 0x80) != 0 ? s == 0x89 : s == 8) {
        put(p, (s & 0x80) != 0 ? makeWord(0, code::kInfotron) : kFree);
        mExplosionFlag = false;
        return;
    }
    setState(p, s);
}

// A big explosion: the 3 x 3 squares around the centre, all but hardware. Centred on an electron it
// leaves infotrons. Disks, snik snaks, electrons and the hero caught in it go off in turn 13 frames
// later.
void Engine::explode(int c)
{
    if (blastOn(codeAt(c)) == Blast::Survives)
        return;
    mExplosionFlag = true;
    mBlastCentre = codeAt(c);
    if (codeAt(c) == code::kHero) {
        mKill = true;
        noteKiller();
    }
    const bool leavesInfotrons = codeAt(c) == code::kElectron;
    const uint16_t blast = leavesInfotrons ? 0x801F : 0x001F;
    const int8_t timer = leavesInfotrons ? -13 : 13;
    const int w = mWidth;
    explodeNeighbour(c - w - 1, blast, timer);
    explodeNeighbour(c - w, blast, timer);
    explodeNeighbour(c - w + 1, blast, timer);
    explodeNeighbour(c - 1, blast, timer);
    put(c, blast);
    explodeNeighbour(c + 1, blast, timer);
    explodeNeighbour(c + w - 1, blast, timer);
    explodeNeighbour(c + w, blast, timer);
    explodeNeighbour(c + w + 1, blast, timer);
}

// Remembers, for the first explosion that reaches the hero, what set it off.
void Engine::noteKiller()
{
    if (mKiller != Killer::None || mSuccess)
        return;
    switch (mActing) {
    case code::kSnikSnak: mKiller = Killer::SnikSnak; break;
    case code::kElectron: mKiller = Killer::Electron; break;
    case code::kZonk: mKiller = Killer::Zonk; break;
    case code::kInfotron: mKiller = Killer::Infotron; break;
    case code::kOrangeDisk: mKiller = Killer::OrangeDisk; break;
    case code::kRedDisk: mKiller = Killer::RedDisk; break;
    case code::kHero:
        // The hero's own move: into a bug's sparks (the blast is on him), or into something moving.
        mKiller = mBlastCentre == code::kHero       ? Killer::Bug
                  : mBlastCentre == code::kSnikSnak ? Killer::SnikSnak
                  : mBlastCentre == code::kElectron ? Killer::Electron
                  : mBlastCentre == code::kZonk     ? Killer::Zonk
                                                    : Killer::Explosion;
        break;
    default: mKiller = Killer::Explosion; break;
    }
}

void Engine::explodeNeighbour(int cell, uint16_t blast, int8_t timer)
{
    const uint16_t old = get(cell);
    const uint8_t caught = uint8_t(old);
    switch (blastOn(caught)) {
    case Blast::Survives: return;
    case Blast::GoesOff:
        if (caught == code::kHero) {
            mKill = true;
            noteKiller();
        }
        setTimer(cell, timer);
        put(cell, blast);
        return;
    case Blast::GoesOffInfotrons:
        setTimer(cell, int8_t(-timer));
        put(cell, 0x801F);
        return;
    case Blast::Destroyed:
        if (caught == code::kZonk || caught == code::kInfotron)
            cleanUpCaught(cell, old, caught == code::kZonk);
        put(cell, blast);
        return;
    }
}

// A falling or rolling zonk or infotron caught in a blast gives up the squares it had reserved.
void Engine::cleanUpCaught(int cell, uint16_t old, bool zonk)
{
    const int w = mWidth;
    switch ((old >> 8) & 0xF0) {
    case 0x10:
    case 0x70:
        clearUnlessExplosion(cell - w);
        if (get(cell + w) == kFallReserved)
            clearUnlessExplosion(cell + w);
        break;
    case 0x20:
    case 0x30: {
        const int origin = ((old >> 8) & 0xF0) == 0x20 ? cell + 1 : cell - 1;
        clearUnlessExplosion(origin);
        if (zonk || get(cell + w) == kFallReserved)
            clearUnlessExplosion(cell + w);
        break;
    }
    case 0x50: clearUnlessExplosion(cell - 1); break;
    case 0x60: clearUnlessExplosion(cell + 1); break;
    default: break;
    }
}

} // namespace qm::game
