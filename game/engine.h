#pragma once
// The game played frame by frame, exactly as the game plays it: the field as the game keeps it (an
// object code in the low byte and a state in the high byte of every square's word), one frame as one
// step from (field, input) to field. Deterministic: no clock, no floating point, and nothing is
// allocated once a level has started.
//
// The field is one run of squares: the square left of column 0 is the last column of the row above.
// Around it lies memory the game also reads and writes: fixed cells before square 0 and the record's
// settings bytes after the last square. Beyond those, a band of hardware keeps every object (the hero
// included) inside the memory held here.

#include "level.h"

#include <cstdint>
#include <vector>

namespace qm::game {

// The input of one frame: 0 nothing, 1..4 up, left, down, right, 5..8 snap (space with a direction),
// 9 space alone (plant a red disk). 10..15 come only from recordings; 15 is the end mark's frame.
enum Input : uint8_t {
    kNone = 0,
    kUp = 1,
    kLeft = 2,
    kDown = 3,
    kRight = 4,
    kSnapUp = 5,
    kSnapLeft = 6,
    kSnapDown = 7,
    kSnapRight = 8,
    kSpace = 9,
    kEndMarkInput = 15,
};

// Object codes of the field.
namespace code {
inline constexpr uint8_t kSpace = 0, kZonk = 1, kBase = 2, kHero = 3, kInfotron = 4, kChip = 5, kHardware = 6,
                         kExit = 7, kOrangeDisk = 8, kPortRight = 9, kPortDown = 10, kPortLeft = 11, kPortUp = 12,
                         kSnikSnak = 17, kYellowDisk = 18, kTerminal = 19, kRedDisk = 20, kPortVertical = 21,
                         kPortHorizontal = 22, kPortFourWay = 23, kElectron = 24, kBug = 25, kExplosion = 31,
                         kLeaving = 0xBB;
}

// What set off the explosion that reached the hero.
enum class Killer : uint8_t { None, SnikSnak, Electron, Zonk, Infotron, OrangeDisk, Bug, RedDisk, Explosion };

class Engine {
public:
    // The level must be playable (levelProblem() empty); the engine starts it at once.
    explicit Engine(const Level &level);

    // Starts the level again from its first frame.
    void restart();

    // Plays one frame. endMark: this frame reads a recording's end mark, which ends the run after it.
    void frame(uint8_t input, bool endMark = false);

    // The run has stopped: the hero left through the exit, died (and the countdown ran out), or the
    // recording ended.
    bool stopped() const { return mStopped; }
    // The hero reached the exit with every infotron needed: the level is finished, whatever follows.
    bool finished() const { return mSuccess; }

    int width() const { return mWidth; }
    int squares() const { return mSquares; }
    // The word of any cell from the memory before square 0 to the settings after the field; hardware
    // outside that.
    uint16_t word(int cell) const;
    int8_t timer(int cell) const;
    // Cells of memory the game keeps before square 0 and after the last square.
    static constexpr int kCellsBefore = 344;
    static constexpr int kCellsAfter = int(kSettingsSize);

    uint16_t frameCounter() const { return mFrame; }
    int heroCell() const { return mHero; }
    int heroLastFound() const { return mHeroLastFound; }
    bool heroFound() const { return mHeroFound; }
    int infotronsLeft() const { return mInfotronsLeft; }
    int redDisks() const { return mRedDisks; }
    int gravity() const { return mGravity; }
    int freezeZonks() const { return mFreezeZonks; }
    int freezeEnemies() const { return mFreezeEnemies; }
    uint16_t randomState() const { return mRandom; }
    // The countdown to the end of the run as the frame left it, before the end of the frame counts it down.
    int quitCountdown() const { return mQuitCountdownShown; }
    int plantedCountdown() const { return mPlantedCountdown; }
    // The hero was killed (an explosion reached him, or he vanished from his square).
    // The level held no hero at its start.
    bool levelHasHero() const { return mHasHero; }
    bool heroDied() const { return mDiedAtFrame >= 0; }
    int diedAtFrame() const { return mDiedAtFrame; }
    int diedAtCell() const { return mDiedAtCell; }
    Killer killer() const { return mKiller; }
    // Steps the hero's current action has taken (his picture moves by them between two squares).
    int heroSteps() const { return mSteps; }

private:
    // Every write goes through put, which keeps the map of squares holding an object that moves.
    void put(int cell, uint16_t word);
    uint16_t get(int cell) const { return mMemory[size_t(mOrigin + cell)]; }
    int8_t timerAt(int cell) const { return mTimers[size_t(mOrigin + cell)]; }
    void setTimer(int cell, int8_t value);
    uint8_t codeAt(int cell) const { return uint8_t(get(cell)); }
    uint8_t stateAt(int cell) const { return uint8_t(get(cell) >> 8); }
    void setState(int cell, uint8_t state) { mMemory[size_t(mOrigin + cell)] = uint16_t(state << 8 | codeAt(cell)); }
    void clearUnlessExplosion(int cell);
    uint16_t draw();

    void startLevel();
    void updateHero();
    void heroStanding();
    bool heroDirection(int direction);
    void heroSnap(int direction);
    enum class Checked { Nothing, Again };
    Checked heroGeneralCheck(int direction, int target);
    void beginAction(int cell, uint8_t state, int wait);
    void continueAction();
    void completeAction(uint8_t state);
    void heroLeft(int vacated);
    void touchTerminal();
    void collectRedDisk(int cell);
    void applySpecialPort(int port);

    void updateObjects();
    // Zonks and infotrons move alike; where they differ, their kind says how.
    struct FallerKind {
        uint8_t code;
        bool freezes;               // zonks stand still while frozen, infotrons never
        bool rollsIntoFallReserved; // a resting zonk may roll right into a square reserved below a zonk
        uint16_t rollReservesBelow; // what a roll leaves in the square below its new one
        bool dropsAtRollEnd;        // a zonk drops at the end of a roll; an infotron falls on next frame
        uint8_t wokenFromTwoAbove;  // the object two above a square reserved to fall into that still counts
    };
    static constexpr FallerKind kZonkKind{code::kZonk, true, true, 0xFFFF, true, code::kInfotron};
    static constexpr FallerKind kInfotronKind{code::kInfotron, false, false, 0x9999, false, code::kZonk};
    void updateFaller(int cell, const FallerKind &kind);
    bool startRollingRight(int cell, const FallerKind &kind);
    void fallerStep(int cell, const FallerKind &kind);
    void fallerFalling(int cell, const FallerKind &kind);
    void rollOffLanding(int cell, const FallerKind &kind);
    void fallerVacated(int cell, const FallerKind &kind);
    void zonkLanded(int cell);
    void zonkEnemyBelow(int cell, int side);
    void infotronLanded(int cell);
    void updateOrangeDisk(int cell);
    void updateEnemy(int cell, uint8_t enemy);
    void enemyStartMove(int cell, uint8_t enemy, int direction);
    void enemyMoving(int cell, uint8_t enemy);
    void updateTerminal(int cell);
    void updateBug(int cell);
    void updateExplosion(int cell);

    void explode(int centre);
    void explodeNeighbour(int cell, uint16_t blast, int8_t timer);
    void noteKiller();
    void cleanUpCaught(int cell, uint16_t old, bool zonk);
    void plantedDiskStep();
    void explosionTimers();
    void deathCheck();

    bool zonksFrozen() const { return mFreezeZonks == 2; }
    int offsetOf(int direction) const;

    Level mLevel;
    int mWidth = 0;
    int mSquares = 0;
    int mGuard = 0;  // hardware cells on either side of the memory the game keeps
    int mOrigin = 0; // index of square 0 in mMemory
    std::vector<uint16_t> mMemory;
    std::vector<int8_t> mTimers;
    std::vector<int32_t> mList;      // the cells whose objects this frame updates, with their codes
    std::vector<uint64_t> mMoving;   // a bit a square: it holds an object with an update of its own
    std::vector<uint64_t> mSnapshot; // mMoving as the frame's update found it
    int mTimersRunning = 0;          // squares whose explosion timer is not 0

    uint16_t mFrame = 0;
    uint16_t mRandom = 0;
    int mHero = 0;
    int mHeroLastFound = 0;
    bool mHeroFound = false;
    uint8_t mInput = 0; // this frame's input as recorded, before gravity turns it
    int mSteps = 0;     // steps of the hero's current action done
    int mStepCount = 0; // steps the action takes
    int mWait = 0;      // frames the hero still waits (pushing, planting) before the steps
    bool mIdleBefore = false;
    int mInfotronsLeft = 0;
    int mRedDisks = 0;
    int mPlantedCountdown = 0;
    int mPlantedCell = 0;
    int mGravity = 0;
    int mFreezeZonks = 0;
    int mFreezeEnemies = 0;
    bool mTerminalUsed = false;
    int mTerminalMask = 0x7F;
    bool mKill = false;
    int mQuitCountdown = 0;
    int mQuitCountdownShown = 0;
    bool mExitFlag = false;
    bool mSuccess = false;
    bool mExplosionFlag = false;
    bool mStopped = false;
    bool mHasHero = false;
    uint8_t mActing = 0; // the code of the object whose update runs (31: the explosion timers)
    Killer mKiller = Killer::None;
    uint8_t mBlastCentre = 0; // the code at the centre of the explosion being made
    int mDiedAtFrame = -1;
    int mDiedAtCell = 0;
};

} // namespace qm::game
