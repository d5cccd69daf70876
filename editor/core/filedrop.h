#pragma once
// What a drop of files onto the main window does, chosen from the files' names: the first levels file
// (.lev) opens; without one, the first Supaplex levels file (.dat, .d?? or .sp) is imported, but only
// into an open levels file. Anything else is refused.

#include <cstddef>
#include <string>
#include <vector>

namespace qm {

struct DropChoice {
    enum class Action { Refuse, Open, Import };
    Action action = Action::Refuse;
    size_t file = 0; // the index of the file acted on
};

// Endings are compared without regard to case.
bool isLevelsFileName(const std::string &name);
bool isSupaplexFileName(const std::string &name);

DropChoice chooseDrop(const std::vector<std::string> &names, bool fileOpen);

} // namespace qm
