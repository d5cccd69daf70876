#include "files.h"

#include <cctype>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qm {
namespace {

struct SplitName {
    std::string dir;  // "" for the working directory, otherwise ends with '/'
    std::string last; // the final component
};

SplitName splitName(const std::string &name)
{
    size_t slash = name.rfind('/');
    if (slash == std::string::npos)
        return {"", name};
    return {name.substr(0, slash + 1), name.substr(slash + 1)};
}

bool hasWildcards(const std::string &s) { return s.find_first_of("*?") != std::string::npos; }

char fold(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// '*' matches any run of characters, '?' any one character; letters match in either case.
bool wildcardMatch(const char *pattern, const char *text)
{
    const char *starPattern = nullptr;
    const char *starText = nullptr;
    while (*text) {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starText = text;
        } else if (*pattern == '?' || (*pattern && fold(*pattern) == fold(*text))) {
            ++pattern;
            ++text;
        } else if (starPattern) {
            pattern = starPattern;
            text = ++starText;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

// Names of the entries of dir that match pattern without regard to letter case.
std::vector<std::string> matchingEntries(const std::string &dir, const std::string &pattern, bool firstOnly)
{
    std::vector<std::string> found;
    DIR *d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        return found;
    while (dirent *entry = ::readdir(d)) {
        if (wildcardMatch(pattern.c_str(), entry->d_name)) {
            found.emplace_back(entry->d_name);
            if (firstOnly)
                break;
        }
    }
    ::closedir(d);
    return found;
}

bool entryExists(const std::string &name)
{
    struct stat st {};
    return ::lstat(name.c_str(), &st) == 0;
}

} // namespace

bool fileexists(const std::string &name)
{
    if (name.empty() || name.back() == '/')
        return false;
    SplitName parts = splitName(name);
    if (!hasWildcards(parts.last) && entryExists(name))
        return true;
    return !matchingEntries(parts.dir, parts.last, true).empty();
}

std::string resolveDataFile(const std::string &name)
{
    if (name.empty() || name.back() == '/' || entryExists(name))
        return name;
    SplitName parts = splitName(name);
    if (hasWildcards(parts.last))
        return name;
    std::vector<std::string> found = matchingEntries(parts.dir, parts.last, true);
    return found.empty() ? name : parts.dir + found.front();
}

std::string executableDirectory()
{
    std::string buffer(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0)
        return "./";
    buffer.resize(static_cast<size_t>(n));
    return buffer.substr(0, buffer.rfind('/') + 1);
}

} // namespace qm
