#pragma once
// Supaplex levels files ("Levels.dat"): level records of 1,536 bytes, back to back; a collection holds
// 111 of them, a single level one. Of a record the import uses the grid, 60 columns x 24 rows of
// one-byte object codes row by row (bytes 0..1,439), the title, 23 characters at bytes 1,446..1,468,
// and, when asked to, the infotrons needed at byte 1,470. The outer frame of the grid (rows 0 and 23,
// columns 0 and 59) is not imported: a level becomes 58 x 22 squares, and the byte of row r, column c
// (counted from 0) becomes cell [r][c] of the level (counted from 1), so the frame has no square.
//
// A file is read as the whole records it holds, at most 111. A file shorter than one record fails with
// "Read beyond end of file"; bytes after the records read (a partial record, or records past 111) are
// ignored and noted. A file whose name ends in ".sp" (any case) is a recording: one record, then the
// level number + 0x80, the recorded keys (one byte a run of frames: low 4 bits the key, high 4 bits the
// run's length - 1), 0xFF and maybe a signature. Only its record is read.

#include "levelstore.h"

#include "platform/fileio.h"

#include <string>
#include <vector>

namespace qm {

inline constexpr int kSupaplexLevels = 111;
inline constexpr size_t kSupaplexRecord = 1536;
inline constexpr size_t kSupaplexFileSize = kSupaplexLevels * kSupaplexRecord; // 170,496
inline constexpr int kSupaplexColumns = 60;
inline constexpr int kSupaplexRows = 24;
inline constexpr size_t kSupaplexTitleAt = 1446;
inline constexpr size_t kSupaplexTitleLength = 23;
inline constexpr size_t kSupaplexInfotronsAt = 1470;
inline constexpr uint8_t kSupaplexHero = 3;
inline constexpr uint8_t kSupaplexInfotron = 4;

// The records of a file as read.
struct SupaplexFile {
    Bytes spbuffer;       // whole records, back to back
    uint64_t ignored = 0; // bytes of the file after the records read
    bool recording = false; // a ".sp" file: one record and a recorded solution
    std::vector<uint8_t> recordedInput{}; // a recording's input, end mark included; empty when it has none
    std::string recordingProblem{};     // why a recording's input could not be read
    // Whole records held, at most 111.
    int records() const;
};

// Reads the whole records of a file (at most 111); a file shorter than one record fails with
// "Read beyond end of file".
SupaplexFile readSupaplexFile(const std::string &path);
// Whether a file name ends in ".sp", in any case: a recording.
bool isSupaplexRecording(const std::string &path);
// The same rule over the first size bytes of a file held in memory.
SupaplexFile supaplexFileOf(const uint8_t *data, size_t size);
// What was left of the file, for the user: empty when every byte was read.
std::string supaplexIgnoredNote(const SupaplexFile &file);

// The lines of the import list: for each record n, n, a space and its 23 title bytes.
std::vector<std::string> supaplexList(const SupaplexFile &file);

// The cell an object code becomes.
cell supaplexCell(uint8_t code);

// What a record knows beyond its grid.
struct SupaplexRecord {
    std::string title;          // the 23 title bytes without outer spaces and dashes
    std::string titleBytes;     // the 23 title bytes as they stand
    int32_t heroes = 0;         // imported squares holding the hero
    int32_t heroesOnFrame = 0;  // heroes on the frame, which has no square in the level
    int32_t heroColumn = 0;     // the level square of the first imported hero in reading order
    int32_t heroRow = 0;        //   (0, 0 without one)
    int32_t infotronsByte = 0;  // byte 1,470
    int32_t infotronsHeld = 0;  // imported squares holding an infotron
    // The infotrons needed: the byte, or every infotron the level holds when it is 0.
    int32_t infotronsNeeded() const { return infotronsByte != 0 ? infotronsByte : infotronsHeld; }
    // The name a level takes from the title: the title, or "Untitled" when nothing is left of it.
    std::string name() const { return title.empty() ? kNewLevelName : title; }
};

// Reads record splevel (1..records()); a number outside throws.
SupaplexRecord supaplexRecord(const SupaplexFile &file, int splevel);

// The 23 title bytes with outer spaces and dashes cut: "------- WARM UP -------" is "WARM UP".
std::string supaplexTitle(const std::string &bytes);

// What the hero's square of a record cannot say by itself: several heroes (the first in reading order
// is taken), a hero on the frame (left out), no hero (the start is left as it is). Each a clause
// without its full stop, to follow "Supaplex level N: " or "Note: ".
std::vector<std::string> supaplexHeroNotes(const SupaplexRecord &record);

// Refuses (ELevelStoreFull, before anything changes) to import `adding` levels into a file that holds
// `held`, when they would pass the 200 levels a levels file can hold.
void requireRoomForImport(int32_t held, int32_t adding);

// What an import takes from the record besides the grid.
struct SupaplexTakes {
    bool hero = false;  // the hero's square as the start, and the infotrons needed
    bool title = false; // the title as the name
    bool whole = false; // the whole record (supaplexexport.h): 60 x 24, every object, the settings kept;
                        // implies hero; with title the name is the 23 title bytes as they stand
};

// Converts level splevel (1..records()) into level: 58 x 22 squares, cell [r][c] from byte 60 x r + c
// of the record. With takes, also the start square, the infotrons needed and the name; nothing else
// of the level changes. A number outside the records throws and changes nothing.
void importSupaplexLevel(const SupaplexFile &file, int splevel, tlevel &level, SupaplexTakes takes = {});

} // namespace qm
