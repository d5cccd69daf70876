// Add Level, Delete curent Level and the "Create new" dialog, each run as the user runs them: the
// modal dialogs are answered through their widgets from inside their own event loops.

#include <QLabel>
#include <QLineEdit>
#include <QGroupBox>

#include "commands/levelcommands.h"
#include "commands/qmeditor3.h"
#include "commands/qmeditorunit2.h"
#include "dialogtest.h"
#include "platform/errors.h"

namespace {

using qmtest::click;
using qmtest::clickRow;
using qmtest::execWith;
using qmtest::typeInto;
using qmtest::whenShown;

class LevelCommands : public qmtest::StoreFixture {
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        mDialog = std::make_unique<qm::Tnewlevel>(mLoader);
        fillStore(5, 2);
        qm::prevlevel = 1;
    }
    void TearDown() override { mDialog.reset(); }

    bool addLevel(std::function<void()> steps)
    {
        whenShown(*mDialog, std::move(steps));
        return qm::addLevelCommand(*mDialog, mLoader);
    }

    std::vector<std::string> mLoads;
    std::function<void(const std::string &)> mLoader = [this](const std::string &name) { mLoads.push_back(name); };
    std::unique_ptr<qm::Tnewlevel> mDialog;
};

const std::vector<std::string> kFive{"Level 1", "Level 2", "Level 3", "Level 4", "Level 5"};

TEST_F(LevelCommands, AddLevelWithEditKeepsTheNewLevelCurrent)
{
    qm::saved = false;
    const bool kept = addLevel([this] {
        EXPECT_EQ(mDialog->sellevel, 6);
        EXPECT_EQ(mDialog->namel->text(), "Untitled");
        typeInto(mDialog->namel, "Sixth");
        click(mDialog->Button5);
    });
    EXPECT_TRUE(kept);
    EXPECT_EQ(qm::levelsinfo.count, 6);
    EXPECT_EQ(qm::curlevel, 6);
    EXPECT_EQ(qm::levels[6].name, "Sixth");
    EXPECT_EQ(qm::levels[6].width, 40);
    EXPECT_EQ(*qm::levels[6].cellAt(100, 100), qm::kDefaultCell);
    EXPECT_FALSE(qm::saved); // adding a level leaves saved alone
    // The dialog loaded the tiles; the command does not load them again.
    EXPECT_EQ(mLoads, std::vector<std::string>{"computer.dxg"});
    EXPECT_EQ(qm::loadeddxg, "computer.dxg");

    // Delete curent Level right after: level 6 goes and level 2 is current again.
    qm::deleteCurrentLevelCommand();
    EXPECT_EQ(levelNames(), kFive);
    EXPECT_EQ(qm::curlevel, 2);
    EXPECT_TRUE(mMessages.entries.empty());
}

TEST_F(LevelCommands, AddLevelWithCancelRestoresTheFile)
{
    EXPECT_FALSE(addLevel([this] { click(mDialog->Button6); }));
    EXPECT_EQ(levelNames(), kFive);
    EXPECT_EQ(qm::curlevel, 2);
    EXPECT_TRUE(mLoads.empty());
    EXPECT_TRUE(mMessages.entries.empty());
}

TEST_F(LevelCommands, CancelRemovesExactlyTheAddedLevelWhereverTheDialogMovedIt)
{
    struct Case {
        const char *name;
        std::function<void(qm::Tnewlevel &)> steps;
        std::vector<std::string> names; // after Cancel
        int current;                    // the level that was current before, where it now is
    };
    const std::vector<Case> cases{
        {"SaveItOnAnotherLevel",
         [](qm::Tnewlevel &d) {
             clickRow(d.StringGrid1, 3);
             click(d.Button2);
         },
         kFive, 2},
        {"AddedLevelMovedUpTwice",
         [](qm::Tnewlevel &d) {
             click(d.Button1);
             click(d.Button1);
         },
         kFive, 2},
        {"LevelBeforeMovedDownPastTheAddedOne",
         [](qm::Tnewlevel &d) {
             click(d.Button1); // the added level is 5, the old level 5 is 6
             clickRow(d.StringGrid1, 1);
             click(d.Button3);
             click(d.Button3);
             click(d.Button3);
             click(d.Button3);
         },
         {"Level 1", "Level 3", "Level 4", "Level 5", "Level 2"}, 5},
        {"AnotherLevelDeleted",
         [](qm::Tnewlevel &d) {
             clickRow(d.StringGrid1, 0);
             click(d.Button4);
         },
         {"Level 2", "Level 3", "Level 4", "Level 5"}, 1},
        {"AddedLevelDeletedInTheDialog", [](qm::Tnewlevel &d) { click(d.Button4); }, kFive, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fillStore(5, 2);
        EXPECT_FALSE(addLevel([this, &c] {
            c.steps(*mDialog);
            click(mDialog->Button6);
        }));
        EXPECT_EQ(levelNames(), c.names);
        EXPECT_EQ(qm::curlevel, c.current);
        EXPECT_EQ(qm::levels[qm::curlevel].name, "Level 2");
        EXPECT_EQ(mDialog->markedLevel(), 0);
    }
    EXPECT_TRUE(mMessages.entries.empty());
}

TEST_F(LevelCommands, AddLevelOnAFullStoreIsRefused)
{
    fillStore(qm::kMaxLevels, 7);
    QTimer::singleShot(0, mDialog.get(), [this] {
        if (mDialog->isVisible()) {
            ADD_FAILURE() << "the levels dialog was shown";
            mDialog->reject();
        }
    });
    EXPECT_FALSE(qm::addLevelCommand(*mDialog, mLoader));
    EXPECT_EQ(qm::levelsinfo.count, qm::kMaxLevels);
    EXPECT_EQ(qm::curlevel, 7);
    ASSERT_EQ(mMessages.entries.size(), 1u);
    EXPECT_EQ(mMessages.entries[0].kind, qm::MessageKind::Error);
    EXPECT_NE(mMessages.entries[0].text.find("200"), std::string::npos) << mMessages.entries[0].text;
}

TEST_F(LevelCommands, AddLevelLoadsTilesWhenTheAcceptedLevelNeedsOthers)
{
    // Edit on another level whose graphics file is already loaded: nothing to load in the dialog,
    // and the command loads nothing either. Then a level whose file differs from the loaded one.
    qm::levels[3].dxg = "forest.dxg";
    qm::loadeddxg = "forest.dxg";
    EXPECT_TRUE(addLevel([this] {
        clickRow(mDialog->StringGrid1, 2);
        click(mDialog->Button5);
    }));
    EXPECT_EQ(qm::curlevel, 3);
    EXPECT_TRUE(mLoads.empty());

    // A graphics file that does not load stores nothing: the error once, the dialog stays open, and
    // Cancel then drops the added level as for any cancelled Add Level.
    mDialog->setTileLoader([](const std::string &) { throw qm::Error("EPictureCollectionError", "Bad graphics"); });
    EXPECT_FALSE(addLevel([this] {
        click(mDialog->Button5);
        EXPECT_TRUE(mDialog->isVisible());
        EXPECT_FALSE(qm::dialogok);
        click(mDialog->Button6);
    }));
    EXPECT_EQ(mMessages.texts(), std::vector<std::string>{"Bad graphics"});
    EXPECT_EQ(qm::levelsinfo.count, 6);
    EXPECT_EQ(qm::curlevel, 3);
    EXPECT_TRUE(mLoads.empty());
    EXPECT_EQ(qm::loadeddxg, "forest.dxg");
}

TEST_F(LevelCommands, DeleteCurentLevelDownToNoLevels)
{
    qm::curlevel = 3;
    qm::prevlevel = 5;
    std::vector<std::vector<std::string>> seen;
    while (qm::levelsinfo.count > 0) {
        qm::deleteCurrentLevelCommand();
        seen.push_back(levelNames());
        if (qm::levelsinfo.count >= 1) {
            EXPECT_GE(qm::curlevel, 1);
            EXPECT_LE(qm::curlevel, qm::levelsinfo.count);
        }
        ASSERT_LE(seen.size(), 5u);
    }
    // The level to return to (5) follows its level: it is removed last but one.
    EXPECT_EQ(seen[0], (std::vector<std::string>{"Level 1", "Level 2", "Level 4", "Level 5"}));
    EXPECT_EQ(seen[1], (std::vector<std::string>{"Level 1", "Level 2", "Level 4"}));
    EXPECT_EQ(qm::levelsinfo.count, 0);
    EXPECT_EQ(qm::curlevel, 0);
    EXPECT_TRUE(qm::fileopen);
    EXPECT_TRUE(qm::saved);

    // With no level left, and with no file open, the command changes nothing.
    qm::deleteCurrentLevelCommand();
    EXPECT_EQ(qm::levelsinfo.count, 0);
    fillStore(2, 2);
    qm::fileopen = false;
    qm::deleteCurrentLevelCommand();
    EXPECT_EQ(qm::levelsinfo.count, 2);
    EXPECT_TRUE(mMessages.entries.empty());
}

class CreateNewDialog : public qmtest::StoreFixture {
protected:
    qm::Tnewlevels mDialog;
};

TEST_F(CreateNewDialog, LayoutAndCaptions)
{
    mDialog.show();
    EXPECT_EQ(mDialog.windowTitle(), "Create new");
    EXPECT_EQ(mDialog.size(), QSize(297, 151));
    EXPECT_EQ(mDialog.minimumSize(), mDialog.maximumSize());
    EXPECT_EQ(mDialog.GroupBox1->title(), " Levels file ");
    EXPECT_EQ(mDialog.Label1->text(), "Name:");
    EXPECT_EQ(mDialog.Label2->text(), "Author:");
    EXPECT_EQ(mDialog.bok->text(), "Ok");
    EXPECT_EQ(mDialog.bcancel->text(), "Cancel");
    EXPECT_TRUE(mDialog.ename->text().isEmpty());
    EXPECT_TRUE(mDialog.ecopyright->text().isEmpty());
}

TEST_F(CreateNewDialog, OkEmptiesTheHeaderAndTakesTheTexts)
{
    fillStore(3);
    qm::levelsinfo.reserved = 9;
    qm::levelsinfo.author = "Old author";
    qm::levelsinfo.offsets.fill(1234);
    qm::newfilename = "Old";
    EXPECT_EQ(execWith(mDialog, [this] { click(mDialog.bok); }), QDialog::Accepted);
    EXPECT_EQ(qm::levelsinfo.count, 0);
    EXPECT_EQ(qm::levelsinfo.reserved, 0);
    EXPECT_EQ(qm::levelsinfo.author, "");
    EXPECT_EQ(qm::newfilename, "");
    for (int32_t offset : qm::levelsinfo.offsets)
        ASSERT_EQ(offset, 0);

    EXPECT_EQ(execWith(mDialog,
                       [this] {
                           typeInto(mDialog.ename, "Sea");
                           typeInto(mDialog.ecopyright, "Ann");
                           click(mDialog.bok);
                       }),
              QDialog::Accepted);
    EXPECT_EQ(qm::newfilename, "Sea");
    EXPECT_EQ(qm::levelsinfo.author, "Ann");

    // The edits keep their texts for the next showing.
    execWith(mDialog, [this] {
        EXPECT_EQ(mDialog.ename->text(), "Sea");
        EXPECT_EQ(mDialog.ecopyright->text(), "Ann");
        click(mDialog.bcancel);
    });
}

TEST_F(CreateNewDialog, CancelChangesNothing)
{
    fillStore(3);
    qm::levelsinfo.author = "Kept";
    qm::levelsinfo.offsets[4] = 77;
    qm::newfilename = "Kept";
    EXPECT_EQ(execWith(mDialog,
                       [this] {
                           typeInto(mDialog.ename, "Other");
                           typeInto(mDialog.ecopyright, "Other");
                           click(mDialog.bcancel);
                       }),
              QDialog::Rejected);
    EXPECT_EQ(qm::levelsinfo.count, 3);
    EXPECT_EQ(qm::levelsinfo.author, "Kept");
    EXPECT_EQ(qm::levelsinfo.offsets[4], 77);
    EXPECT_EQ(qm::newfilename, "Kept");
    EXPECT_EQ(levelNames().size(), 3u);
    EXPECT_TRUE(mMessages.entries.empty());
}

} // namespace
