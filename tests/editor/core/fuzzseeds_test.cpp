// The seed corpora of the readers of the clipboard's cells and levels: a few dozen inputs each, made
// by the program's own writers, the valid ones next to near-valid ones that the readers refuse.

#include "editor/core/levelclipboard.h"
#include "editor/core/stamp.h"

#include "platform/errors.h"

#include "tempdir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

using qmtest::readFile;
using qmtest::TempDir;

TEST(FuzzSeeds, TheClipboardReadersStartFromDozensOfValidAndNearValidInputs)
{
    TempDir dir;
    ASSERT_EQ(std::system((std::string(QMFUZZSEEDS_PATH) + " '" + dir.path() + "'").c_str()), 0);
    for (const std::string target : {"cells", "levelclipboard"}) {
        SCOPED_TRACE(target);
        int valid = 0, refused = 0;
        for (const auto &entry : std::filesystem::directory_iterator(dir.path(target))) {
            const std::vector<uint8_t> file = readFile(entry.path().string());
            const std::string bytes(file.begin(), file.end());
            try {
                const std::string written = target == "cells" ? qm::stampBytes(qm::readStampBytes(bytes))
                                                              : qm::levelsBytes(qm::readLevelsBytes(bytes));
                EXPECT_EQ(written, bytes) << entry.path();
                ++valid;
            } catch (const qm::Error &) {
                ++refused;
            }
        }
        EXPECT_GE(valid, 8);
        EXPECT_GE(refused, 16);
    }
}
