#pragma once
// The names of a level's data files (its graphics file): a name stored in a levels file is opened in
// the game directory only when it names a file directly inside it.

#include <string_view>

namespace qm {

// True for a name that is one plain file name: not empty, not "." or "..", and without '/' or '\'.
// Any other name is never opened; it counts as a file that is not there.
inline bool isPlainDataFileName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string_view::npos;
}

} // namespace qm
