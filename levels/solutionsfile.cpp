#include "solutionsfile.h"

#include "levelstore.h"

#include "platform/bytes.h"
#include "platform/errors.h"

#include <cstring>

namespace qm {

namespace {

constexpr char kMagic[8] = {'Q', 'M', 'S', 'O', 'L', 'V', 'E', '1'};
constexpr uint32_t kLongestRecording = 48650; // what the game reads after a level, end mark included
constexpr size_t kLargestFile = 8 + 4 + size_t(kMaxLevels) * (8 + kLongestRecording);

[[noreturn]] void damaged(const std::string &why) { throw Error("ESolutionsError", "The solutions file is damaged: " + why + "."); }

uint32_t le32(const uint8_t *p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

} // namespace

std::string solutionsPathOf(const std::string &levelsPath) { return levelsPath + ".solutions"; }

Bytes solutionsBytes()
{
    Bytes out(kMagic, kMagic + sizeof kMagic);
    uint32_t count = 0;
    for (int k = 1; k <= levelsinfo.count; ++k)
        count += !levels[k].solution.empty();
    appendLe32(out, count);
    for (int k = 1; k <= levelsinfo.count; ++k) {
        const std::vector<uint8_t> &solution = levels[k].solution;
        if (solution.empty())
            continue;
        appendLe32(out, uint32_t(k));
        appendLe32(out, uint32_t(solution.size()));
        out.insert(out.end(), solution.begin(), solution.end());
    }
    return out;
}

Solutions parseSolutions(const uint8_t *data, size_t size)
{
    if (size < 12 || std::memcmp(data, kMagic, sizeof kMagic) != 0)
        damaged("it does not start as a solutions file does");
    const uint32_t count = le32(data + 8);
    if (count > uint32_t(kMaxLevels))
        damaged("it names " + std::to_string(count) + " solutions, more than a file has levels");
    size_t at = 12;
    Solutions read(size_t(kMaxLevels) + 1);
    for (uint32_t n = 0; n < count; ++n) {
        if (size - at < 8)
            damaged("it ends inside solution " + std::to_string(n + 1));
        const uint32_t level = le32(data + at), length = le32(data + at + 4);
        at += 8;
        if (level < 1 || level > uint32_t(kMaxLevels) || !read[level].empty())
            damaged("solution " + std::to_string(n + 1) + " names level " + std::to_string(level));
        if (length < 2 || length > kLongestRecording || size - at < length || data[at + length - 1] != 0xFF)
            damaged("the recording of level " + std::to_string(level) + " is not whole");
        read[level].assign(data + at, data + at + length);
        at += length;
    }
    if (at != size)
        damaged("it has bytes after its last solution");
    return read;
}

void storeSolutions(Solutions solutions)
{
    for (int k = 1; k <= levelsinfo.count; ++k)
        levels[k].solution = size_t(k) < solutions.size() ? std::move(solutions[size_t(k)]) : std::vector<uint8_t>();
}

void readSolutions(const uint8_t *data, size_t size)
{
    for (int k = 1; k <= levelsinfo.count; ++k)
        levels[k].solution.clear();
    storeSolutions(parseSolutions(data, size));
}

void readSolutionsFile(const std::string &levelsPath)
{
    for (int k = 1; k <= levelsinfo.count; ++k)
        levels[k].solution.clear();
    const std::string path = solutionsPathOf(levelsPath);
    if (!fileIdentity(path))
        return;
    const Bytes bytes = readWholeFile(path, kLargestFile);
    readSolutions(bytes.data(), bytes.size());
}

void writeSolutionsFile(const std::string &levelsPath)
{
    const std::string path = solutionsPathOf(levelsPath);
    bool any = false;
    for (int k = 1; k <= levelsinfo.count && !any; ++k)
        any = !levels[k].solution.empty();
    if (!any && !fileIdentity(path))
        return;
    writeFileSafely(path, solutionsBytes());
}

} // namespace qm
