// The level checks by the game's own rules, on levels kept whole for the game: the recorded solutions'
// levels (each finished by a player) get no error, and records made here show each rule.

#include "levels/levelcheck.h"
#include "levels/levelstore.h"
#include "levels/reach.h"
#include "levels/supaplexexport.h"

#include "platform/fileio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace qm;

namespace {

std::unique_ptr<tlevel> wholeLevelOf(const uint8_t *record)
{
    auto level = std::make_unique<tlevel>();
    importSupaplexRecordWhole(record, *level);
    return level;
}

std::string listed(const std::vector<Finding> &findings)
{
    std::string out;
    for (const Finding &f : findings)
        if (f.severity != Severity::Note)
            out += std::string(severityName(f.severity)) + " " + f.code + ": " + f.message + "\n";
    return out;
}

} // namespace

// Every level a recorded solution finishes, imported whole without its recording: no error, and at
// most one warning.
TEST(GameChecks, LevelsOfRecordedSolutionsHaveNoErrorAndAtMostOneWarning)
{
    const std::filesystem::path solutions = std::filesystem::path(QM_SHARED_GAME_DIR) / "solutions" / "00";
    ASSERT_TRUE(std::filesystem::is_directory(solutions)) << solutions;
    int checked = 0;
    for (const auto &entry : std::filesystem::directory_iterator(solutions)) {
        if (entry.path().extension() != ".sp")
            continue;
        const Bytes bytes = readWholeFile(entry.path().string(), 1 << 20);
        ASSERT_GE(bytes.size(), kSupaplexRecordBytes) << entry.path();
        const auto level = wholeLevelOf(bytes.data());
        const std::vector<Finding> findings = checkLevel(*level, nullptr);
        const auto count = [&](Severity severity) {
            return std::count_if(findings.begin(), findings.end(), [&](const Finding &f) { return f.severity == severity; });
        };
        EXPECT_EQ(count(Severity::Error), 0) << entry.path().filename() << "\n" << listed(findings);
        EXPECT_LE(count(Severity::Warning), 1) << entry.path().filename() << "\n" << listed(findings);
        ++checked;
    }
    EXPECT_GT(checked, 300);
}
