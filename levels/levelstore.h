#pragma once
// The level store: the one in-memory model of the open levels file, shared by the whole editor.
//
// It is static storage that lives for the whole run: the header of the file, 200 full-size level
// slots (100 x 100 cells each, about 32 MB, reserved once so that adding, removing and moving levels
// never allocates a level), and the flags and names that the commands, dialogs and window share.
// Everything is read and assigned directly; the only checked access is by number: a slot outside
// 1..200 or a cell outside 1..100 is never touched.

#include "palette.h"
#include "tiles.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qm {

inline constexpr int kMaxLevels = 200;  // slots of the store
inline constexpr int kOffsetCount = 1000; // entries of the offsets table of a levels file
inline constexpr int kGridSize = 100;   // rows and columns of every slot
inline constexpr int kSquare = 40;      // pixels on a side of a square

// One square of a level. Kinds: 100 ordinary, 101 marked, 102 drawn in a second pass above the rest.
// A cell has no default value of its own: the 2,000,000 cells of the store stay untouched memory
// until a level is added or read (a new level gets kDefaultCell everywhere), so that the program
// starts quickly and small.
struct cell {
    int32_t tile;
    int32_t reserved;
    int32_t kind;
    int32_t pattern;
    bool operator==(const cell &) const = default;
};
static_assert(sizeof(cell) == 16, "a cell is four 32-bit numbers, as in the file");

inline constexpr cell kDefaultCell{kTileBase, 0, kKindOrdinary, 0};

// What a new level is: its graphics file, name, size in squares and the hero's start in pixels.
inline constexpr const char *kNewLevelGraphics = "computer.dxg";
inline constexpr const char *kNewLevelName = "Untitled";
inline constexpr int32_t kNewLevelSize = 40;
inline constexpr int32_t kNewLevelStart = 100;

// Header of the open levels file.
struct Tlevels {
    int32_t reserved = 0;
    std::string author;
    int32_t count = 0;
    std::array<int32_t, kOffsetCount> offsets{}; // entry k (1-based) at offsets[k - 1]
};

// One level. Only rows 1..height and columns 1..width belong to it; the rest of the grid is kept
// but not used.
struct tlevel {
    std::string dxg = kNewLevelGraphics;
    std::string name = kNewLevelName;
    int32_t startx = kNewLevelStart;
    int32_t starty = kNewLevelStart;
    int32_t reserved = 0;
    int32_t width = kNewLevelSize;
    int32_t height = kNewLevelSize;
    cell cells[kGridSize][kGridSize]; // [row - 1][column - 1]
    int32_t infotrons = 0;
    // The recorded input of a run that finished the level, kept as its solution (the game's recording
    // bytes, up to and including the end mark); empty without one. Saved beside the levels file.
    std::vector<uint8_t> solution;

    // The cell at row and column (both 1-based), or nullptr outside 1..100.
    cell *cellAt(int row, int column)
    {
        if (row < 1 || row > kGridSize || column < 1 || column > kGridSize)
            return nullptr;
        return &cells[row - 1][column - 1];
    }
    const cell *cellAt(int row, int column) const { return const_cast<tlevel *>(this)->cellAt(row, column); }
};

// The 200 slots, numbered 1..200. Indexing outside that range throws instead of touching memory.
// A slot is constructed when it is first indexed: constructing all 200 at start-up would write a
// page of every slot, 800 KB of memory that most files never use.
class LevelSlots {
public:
    constexpr LevelSlots() = default;
    LevelSlots(const LevelSlots &) = delete;
    LevelSlots &operator=(const LevelSlots &) = delete;
    ~LevelSlots();

    tlevel &operator[](int k);
    const tlevel &operator[](int k) const { return const_cast<LevelSlots &>(*this)[k]; }

private:
    struct alignas(tlevel) Slot {
        unsigned char bytes[sizeof(tlevel)];
    };
    Slot mSlots[kMaxLevels]{};
    bool mConstructed[kMaxLevels]{};
};

// The store.
extern Tlevels levelsinfo;
extern LevelSlots levels;
extern int32_t curlevel;   // the level the window draws and edits; 0 right after a reset
extern int32_t prevlevel;  // the current level before the latest addlevel
extern bool fileopen;      // a levels file is open for editing
extern bool saved;         // no unsaved changes
extern std::string levelsfilepath; // full path of the open file; empty until opened or saved
extern std::string newfilename;    // the name typed in the new-file dialog
extern std::string gamedir;        // directory of the program, ending in '/'; data files are looked up there
extern std::string loadeddxg;      // the graphics file whose pictures are loaded as the tiles
extern bool askconfirmations;      // the unsaved-changes prompt is shown only while set
extern bool dialogok;              // set by the accepting button of a dialog that edits a level

// State of the editor window that a reset returns to its start values.
extern int32_t pointerx, pointery; // last pointer position on the drawing surface
extern double viewx, viewy;        // level pixel at the top left of the map view (multiples of 0.5)
extern int32_t palscroll;          // first palette row shown
extern int32_t palcolumn, palrow;  // the selected palette slot
extern bool painting;              // the left button went down on the surface and is still held
// A tile carried in place of the selected palette slot (picked from the map), or kPaletteSlotCarried.
extern int32_t carriedtile;
inline constexpr int32_t kPaletteSlotCarried = -1;

// The tile that painting writes and the pointer carries.
inline int32_t selectedtile() { return carriedtile != kPaletteSlotCarried ? carriedtile : paletteTile(palrow, palcolumn); }

// Prepares the store for a file that is about to be created or opened: names, view state and
// current/previous level numbers start afresh; the header and the slots stay as they are.
void resetstore();

// Appends a level with every default and makes it current. Refused on a full store: throws
// qm::Error and changes nothing.
void addlevel();
// Throws addlevel's error when the store is full, so that a command can refuse before it asks for
// anything.
void requireRoomForLevel();

// Removes the current level (the levels after it move down one) and returns to prevlevel.
void removecurrentlevel();

// The operations on the levels of the file. They keep levelsinfo.count and leave curlevel,
// prevlevel, saved and the offsets table alone (the writer computes the offsets); a level number
// outside the file changes nothing and answers false.

// Gives a slot every value of a new level: kNewLevel* and kDefaultCell in every cell.
void initNewLevel(tlevel &level);
// Removes level k (1..count): the levels after it move down one.
bool deleteLevel(int32_t k);
// Puts a copy of level at position k (1..count + 1): level k and those after it move up one. The
// inverse of deleteLevel(k). level may be a slot of the store. Throws requireRoomForLevel's error on a
// full store.
bool insertLevel(int32_t k, const tlevel &level);
// Exchanges levels a and b (both 1..count).
bool swapLevels(int32_t a, int32_t b);

// The state at start-up: no file open, an empty header, nothing loaded, gamedir set to the
// program's directory (the slots are not cleared).
void initStore();

} // namespace qm
