#pragma once
// File names of the program: the game directory and the existence test of data files.

#include <string>

namespace qm {

// True exactly when a directory search for name finds at least one entry of any kind (file,
// directory, link, device). The last part of the name may hold the wildcards '*' and '?'. An empty
// name, or one that ends in a separator, does not exist. Letter case: the exact name is tried first;
// when it is missing, an entry whose name differs only in letter case counts (data files such as
// "Computer.dxg" are found as "computer.dxg").
bool fileexists(const std::string &name);

// The name under which a data file can be opened: name itself when it exists as written, otherwise
// the entry of its directory that matches it without regard to letter case, otherwise name unchanged
// (so that opening it reports "File not found").
std::string resolveDataFile(const std::string &name);

// The directory of the running program, ending in '/' (the game directory).
std::string executableDirectory();

} // namespace qm
