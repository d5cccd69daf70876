#pragma once
// The game's own data beside the repository: recorded solutions and traces of its field.

#include <cstdint>
#include <string>
#include <vector>

namespace gamedata {

// The folder of the game's data (../shared/game beside the repository).
std::string folder();
// The files of a folder whose names end with the suffix, sorted.
std::vector<std::string> filesIn(const std::string &dir, const std::string &suffix);
std::vector<uint8_t> readFile(const std::string &path);
// A gzip file's text.
std::string readGzip(const std::string &path);

} // namespace gamedata
