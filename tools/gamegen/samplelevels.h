#pragma once
// The sample levels file and the sample Supaplex-format levels file of the game directory.

#include "platform/fileio.h"

#include <string>

namespace qm::gamegen {

// Builds the sample levels in the level store (painted with the editor's own painting rules, so
// every object has its companion squares) and writes them to path. The store is replaced.
void writeSampleLevels(const std::string &path);

// A Supaplex-format levels file: 111 records of 1,536 bytes, each a 60 x 24 grid of object codes
// (row by row) and a 23-character title at bytes 1,446..1,468. Our own levels and titles.
inline constexpr int kSupaplexLevels = 111;
inline constexpr int kSupaplexRecordSize = 1536;
Bytes supaplexSample();

} // namespace qm::gamegen
