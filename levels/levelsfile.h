#pragma once
// The levels file (.lev): one header and the levels of the store, the game's level data and the
// editor's only document.
//
// Layout. Numbers are signed 32-bit little-endian; a text is one length byte (0..255) and that many
// 8-bit characters. No padding, no magic number.
//   header:  reserved (4), author (text), count (4), offsets (1,000 x 4): entry k is the absolute
//            position of level k. The header is 4,009 + L bytes (L = length of the author).
//   level:   dxg (text), name (text), startx, starty, reserved, width W, height H (4 each), the cells
//            of rows 1..H, each row columns 1..W, 16 bytes a cell (tile, reserved, kind, pattern),
//            then infotrons (4). A level is 26 + L1 + L2 + 16 x W x H bytes.
// The editor writes the levels back to back in order 1..count right after the header. Readers find
// each level only through its offsets entry, so files whose levels lie elsewhere read as well.

#include "levelstore.h"

#include "platform/fileio.h"

#include <string>
#include <vector>

namespace qm {

// A levels file read whole and checked, not yet in the store. Building one never changes the store,
// so a file that fails to read leaves the editor as it was.
struct LevelsFileContent {
    struct Level {
        std::string dxg, name;
        int32_t startx = 0, starty = 0, reserved = 0, width = 0, height = 0;
        size_t cellsAt = 0; // position in the file (and in `bytes`) of the cells, then infotrons
    };
    RawBytes bytes; // empty for a file checked where it lies (CheckedLevelsFile)
    Tlevels header;
    std::vector<Level> levels; // levels 1..count
};

// Reads and checks the whole file. Throws EInOutError with the system's text ("File not found",
// "Read beyond end of file", ...) or a clear message when the file cannot be held by the store (more
// than 200 levels, a level larger than 100 x 100 or of negative size, a level outside the file).
LevelsFileContent loadLevelsFile(const std::string &path);
// The same for a file's bytes already in memory.
LevelsFileContent parseLevelsFile(RawBytes bytes);

// Puts a checked file into the store: the header into levelsinfo, level k into slot k. Cells of a
// slot outside the level's width x height are left as they were.
void storeLevelsFile(const LevelsFileContent &content);
// Puts level index (0 for level 1) of a checked file into slot, as storeLevelsFile does.
void storeFileLevel(const LevelsFileContent &content, size_t index, tlevel &slot);

// The largest levels file read whole into memory by CheckedLevelsFile; larger files are read in
// windows of this size.
inline constexpr size_t kLevelsFileWindowBytes = size_t(1) << 21;

// A levels file read from the disk into the store without holding all of it in memory.
//
// Making one checks the file where it lies: the header and the first bytes of each level record are
// read and checked as loadLevelsFile checks them, with the same messages, and the store is not
// touched. store() then reads the levels' cells in a few large reads through one window of the file and
// copies them into their slots. (A file that fits in one window is read whole by the check and stored
// from memory; its store() cannot fail.)
class CheckedLevelsFile {
public:
    explicit CheckedLevelsFile(const std::string &path);

    // Puts the file into the store as storeLevelsFile does. A file that cannot be opened again, or
    // that was replaced or changed since the check, fails before the store is touched. A read that
    // fails after that (an I/O error, or "Read beyond end of file" for a file cut meanwhile) leaves
    // the store part new: levelsinfo holds the new file's header with count 0, and slots 1 and up
    // partly new contents. The caller must then treat the store as holding no file.
    void store();

private:
    std::string mPath;
    bool mInPlace = false;
    FileIdentity mIdentity;
    LevelsFileContent mContent;
};

// Opens the levels file at path into the store, the one way every opener does it (the editor's Open,
// its reading again after another program changed the file, qmtool): the file is checked first, so a
// refused file leaves the store as it was; then the store is reset (resetstore), levelsfilepath names
// path and the levels are read. A read that fails after the check leaves the store as
// CheckedLevelsFile::store says, holding no file: fileopen is cleared.
void openlevelsfile(const std::string &path);
// The same for a file read and checked already (a recovery copy), which cannot fail; levelsfilepath
// names storedPath (empty: a file never saved).
void openlevelsfile(const LevelsFileContent &content, const std::string &storedPath);

// Reads the file named by levelsfilepath into the store: a file refused by the check leaves the
// store unchanged; a failure while the levels are read leaves it as CheckedLevelsFile::store says.
void readlevelsfile();

// The bytes writelevelsfile writes for the store; the offsets of levels 1..count are computed as the
// levels are laid out and returned in `offsets` (entries above count as the store holds them).
Bytes levelsFileBytes(std::array<int32_t, kOffsetCount> &offsets);

// Writes the header and levels 1..count to levelsfilepath, replacing its contents, then sets saved
// and keeps the offsets just written. On failure the previous file is untouched and saved unchanged.
void writelevelsfile();

// One length-prefixed text. Texts longer than 255 characters are cut to their first 255.
void writeshortstring(Bytes &out, const std::string &text);

} // namespace qm
