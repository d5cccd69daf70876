#include "filedrop.h"

#include <cctype>

namespace qm {

namespace {

// The part after the last dot of the name's last component, in lower case; empty without one.
std::string extension(const std::string &name)
{
    const size_t slash = name.find_last_of('/');
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ending = name.substr(dot + 1);
    for (char &c : ending)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ending;
}

} // namespace

bool isLevelsFileName(const std::string &name) { return extension(name) == "lev"; }

bool isSupaplexFileName(const std::string &name)
{
    // .dat, and the numbered files beside it (.d01, ...): a "d" and two more characters.
    const std::string ending = extension(name);
    return (ending.size() == 3 && ending[0] == 'd') || ending == "sp";
}

DropChoice chooseDrop(const std::vector<std::string> &names, bool fileOpen)
{
    for (size_t k = 0; k < names.size(); ++k)
        if (isLevelsFileName(names[k]))
            return {DropChoice::Action::Open, k};
    if (fileOpen)
        for (size_t k = 0; k < names.size(); ++k)
            if (isSupaplexFileName(names[k]))
                return {DropChoice::Action::Import, k};
    return {};
}

} // namespace qm
