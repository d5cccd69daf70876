#pragma once
// Shared by the tests of the levels dialog and the level commands: a store filled with named levels
// and a game directory with graphics files. Typing, clicking and answering dialogs: dialoghelpers.h.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "levels/levelstore.h"

#include "dialoghelpers.h"
#include "messagelog.h"
#include "tempdir.h"

namespace qmtest {

// A store holding count levels named "Level 1", "Level 2", ... with level 1 current, and a game
// directory holding the four theme files.
class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        qm::initStore();
        qm::gamedir = mGamedir.path() + "/";
        for (const char *name : {"computer.dxg", "forest.dxg", "underground.dxg", "kitchen.dxg"})
            writeFile(mGamedir.path(name), std::string("graphics"));
    }

    static void fillStore(int count, int current = 1)
    {
        qm::resetstore();
        qm::levelsinfo.count = 0;
        for (int k = 1; k <= count; ++k) {
            qm::addlevel();
            qm::levels[k].name = "Level " + std::to_string(k);
        }
        qm::prevlevel = 1;
        qm::curlevel = current;
        qm::saved = true;
    }

    static std::vector<std::string> levelNames()
    {
        std::vector<std::string> names;
        for (int k = 1; k <= qm::levelsinfo.count; ++k)
            names.push_back(qm::levels[k].name);
        return names;
    }

    TempDir mGamedir;
    MessageLog mMessages;
};

} // namespace qmtest
