#pragma once
// The game configuration file "Quillmoss.Cfg" in the game directory: the game's settings, read at
// start-up and written back at exit. The editor changes only the levels file the game plays; every
// other value is carried through, normalised ("Eddie" or "Murphy", "true" or "false", plain decimal).
//
// Layout: 8-bit text, every line ending in CR LF. A value line is a key ending in " = ", the value
// and ";". Values are recognised by their order alone: the reader does not compare keys. The lines,
// in order: two banners and an empty line; Character, Show tips, Music enabled, Sounds enabled,
// Speed, Levels File; an empty line, the music banner, an empty line; Number of songs n, an empty
// line, Song1..Songn; an empty line, three banners, an empty line; Number of levels m, an empty line,
// Menu, Level1..Levelm; an empty line and the closing banner.

#include <array>
#include <cstdint>
#include <string>

namespace qm {

inline constexpr int kMaxSongs = 100;
inline constexpr int kMaxLevelSongs = 100;
inline constexpr const char *kGameConfigName = "Quillmoss.Cfg";

extern bool cfgeddie;    // Character: Eddie (set) or Murphy
extern bool cfgshowtips;
extern bool cfgmusic;
extern bool cfgsounds;
extern int32_t cfgspeed;
extern std::string cfglevelsfile; // the levels file the game plays, a name in the game directory
extern int32_t cfgsongcount;
extern std::array<std::string, kMaxSongs + 1> cfgsongs;        // entries 1..100
extern int32_t cfglevelsongcount;
extern std::array<int32_t, kMaxLevelSongs + 1> cfglevelsongs;  // 0: the menu; k: level k; 0 = random

// All values back to their start values (false, 0, empty).
void initGameConfig();

// Reads the file into the values. The first failure (a missing file, a bad number, a file that ends
// before a value it should hold) throws; the values read until then stay, the rest keep their start
// values. A file with more than 100 songs or levels keeps the first 100 of each.
void readgameconfig(const std::string &path);
// The game's own file: gamedir + "Quillmoss.Cfg" (found in any letter case).
void readgameconfig();
// The same for a file's text already in memory.
void readGameConfigText(const std::string &text);

// The file text for the values held.
std::string gameConfigText();

// Writes the values, replacing the file safely: on failure the previous file is untouched. A file that
// already holds exactly these bytes is not written again (nor touched).
void writegameconfig(const std::string &path);
void writegameconfig();

// One value and its terminator: the characters, ";", CR LF.
void writecfgvalue(std::string &out, const std::string &value);

} // namespace qm
