#pragma once
// Supaplex levels files ("Levels.dat"): 111 level records of 1,536 bytes, back to back. Of a record
// the import uses the grid, 60 columns x 24 rows of one-byte object codes row by row (bytes 0..1,439),
// and the title, 23 characters at bytes 1,446..1,468. The outer frame of the grid (rows 0 and 23,
// columns 0 and 59) is not imported: a level becomes 58 x 22 squares.

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

// The whole file as read: exactly 170,496 bytes.
struct SupaplexFile {
    Bytes spbuffer;
};

// Reads the first 170,496 bytes of the file; a shorter file fails with "Read beyond end of file".
SupaplexFile readSupaplexFile(const std::string &path);

// The lines of the import list: for n = 1..111, n, a space and the 23 title bytes of record n.
std::vector<std::string> supaplexList(const SupaplexFile &file);

// The cell an object code becomes.
cell supaplexCell(uint8_t code);

// Converts level splevel (1..111) into level: 58 x 22 squares, cell [r][c] from byte 60 x r + c of
// the record. Nothing else of the level changes. A number outside 1..111 throws and changes nothing.
void importSupaplexLevel(const SupaplexFile &file, int splevel, tlevel &level);

} // namespace qm
