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
        m_dialog = std::make_unique<qm::Tnewlevel>(m_loader);
        fillStore(5, 2);
        qm::prevlevel = 1;
    }
    void TearDown() override { m_dialog.reset(); }

    bool addLevel(std::function<void()> steps)
    {
        whenShown(*m_dialog, std::move(steps));
        return qm::addLevelCommand(*m_dialog, m_loader);
    }

    std::vector<std::string> m_loads;
    std::function<void(const std::string &)> m_loader = [this](const std::string &name) { m_loads.push_back(name); };
    std::unique_ptr<qm::Tnewlevel> m_dialog;
};

const std::vector<std::string> kFive{"Level 1", "Level 2", "Level 3", "Level 4", "Level 5"};

TEST_F(LevelCommands, AddLevelWithEditKeepsTheNewLevelCurrent)
{
    qm::saved = false;
    const bool kept = addLevel([this] {
        EXPECT_EQ(m_dialog->sellevel, 6);
        EXPECT_EQ(m_dialog->namel->text(), "Untitled");
        typeInto(m_dialog->namel, "Sixth");
        click(m_dialog->Button5);
    });
    EXPECT_TRUE(kept);
    EXPECT_EQ(qm::levelsinfo.count, 6);
    EXPECT_EQ(qm::curlevel, 6);
    EXPECT_EQ(qm::levels[6].name, "Sixth");
    EXPECT_EQ(qm::levels[6].width, 40);
    EXPECT_EQ(*qm::levels[6].cellAt(100, 100), qm::kDefaultCell);
    EXPECT_FALSE(qm::saved); // adding a level leaves saved alone
    // The dialog loaded the tiles; the command does not load them again.
    EXPECT_EQ(m_loads, std::vector<std::string>{"computer.dxg"});
    EXPECT_EQ(qm::loadeddxg, "computer.dxg");

    // Delete curent Level right after: level 6 goes and level 2 is current again.
    qm::deleteCurrentLevelCommand();
    EXPECT_EQ(levelNames(), kFive);
    EXPECT_EQ(qm::curlevel, 2);
    EXPECT_TRUE(m_messages.entries.empty());
}

TEST_F(LevelCommands, AddLevelWithCancelRestoresTheFile)
{
    EXPECT_FALSE(addLevel([this] { click(m_dialog->Button6); }));
    EXPECT_EQ(levelNames(), kFive);
    EXPECT_EQ(qm::curlevel, 2);
    EXPECT_TRUE(m_loads.empty());
    EXPECT_TRUE(m_messages.entries.empty());
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
            c.steps(*m_dialog);
            click(m_dialog->Button6);
        }));
        EXPECT_EQ(levelNames(), c.names);
        EXPECT_EQ(qm::curlevel, c.current);
        EXPECT_EQ(qm::levels[qm::curlevel].name, "Level 2");
        EXPECT_EQ(m_dialog->markedLevel(), 0);
    }
    EXPECT_TRUE(m_messages.entries.empty());
}

TEST_F(LevelCommands, AddLevelOnAFullStoreIsRefused)
{
    fillStore(qm::kMaxLevels, 7);
    QTimer::singleShot(0, m_dialog.get(), [this] {
        if (m_dialog->isVisible()) {
            ADD_FAILURE() << "the levels dialog was shown";
            m_dialog->reject();
        }
    });
    EXPECT_FALSE(qm::addLevelCommand(*m_dialog, m_loader));
    EXPECT_EQ(qm::levelsinfo.count, qm::kMaxLevels);
    EXPECT_EQ(qm::curlevel, 7);
    ASSERT_EQ(m_messages.entries.size(), 1u);
    EXPECT_EQ(m_messages.entries[0].kind, qm::MessageKind::Error);
    EXPECT_NE(m_messages.entries[0].text.find("200"), std::string::npos) << m_messages.entries[0].text;
}

TEST_F(LevelCommands, AddLevelLoadsTilesWhenTheAcceptedLevelNeedsOthers)
{
    // Edit on another level whose graphics file is already loaded: nothing to load in the dialog,
    // and the command loads nothing either. Then a level whose file differs from the loaded one.
    qm::levels[3].dxg = "forest.dxg";
    qm::loadeddxg = "forest.dxg";
    EXPECT_TRUE(addLevel([this] {
        clickRow(m_dialog->StringGrid1, 2);
        click(m_dialog->Button5);
    }));
    EXPECT_EQ(qm::curlevel, 3);
    EXPECT_TRUE(m_loads.empty());

    // A graphics file that does not load stores nothing: the error once, the dialog stays open, and
    // Cancel then drops the added level as for any cancelled Add Level.
    m_dialog->setTileLoader([](const std::string &) { throw qm::Error("EPictureCollectionError", "Bad graphics"); });
    EXPECT_FALSE(addLevel([this] {
        click(m_dialog->Button5);
        EXPECT_TRUE(m_dialog->isVisible());
        EXPECT_FALSE(qm::dialogok);
        click(m_dialog->Button6);
    }));
    EXPECT_EQ(m_messages.texts(), std::vector<std::string>{"Bad graphics"});
    EXPECT_EQ(qm::levelsinfo.count, 6);
    EXPECT_EQ(qm::curlevel, 3);
    EXPECT_TRUE(m_loads.empty());
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
    EXPECT_TRUE(m_messages.entries.empty());
}

class CreateNewDialog : public qmtest::StoreFixture {
protected:
    qm::Tnewlevels m_dialog;
};

TEST_F(CreateNewDialog, LayoutAndCaptions)
{
    m_dialog.show();
    EXPECT_EQ(m_dialog.windowTitle(), "Create new");
    EXPECT_EQ(m_dialog.size(), QSize(297, 151));
    EXPECT_EQ(m_dialog.minimumSize(), m_dialog.maximumSize());
    EXPECT_EQ(m_dialog.GroupBox1->title(), " Levels file ");
    EXPECT_EQ(m_dialog.Label1->text(), "Name:");
    EXPECT_EQ(m_dialog.Label2->text(), "Author:");
    EXPECT_EQ(m_dialog.bok->text(), "Ok");
    EXPECT_EQ(m_dialog.bcancel->text(), "Cancel");
    EXPECT_TRUE(m_dialog.ename->text().isEmpty());
    EXPECT_TRUE(m_dialog.ecopyright->text().isEmpty());
}

TEST_F(CreateNewDialog, OkEmptiesTheHeaderAndTakesTheTexts)
{
    fillStore(3);
    qm::levelsinfo.reserved = 9;
    qm::levelsinfo.author = "Old author";
    qm::levelsinfo.offsets.fill(1234);
    qm::newfilename = "Old";
    EXPECT_EQ(execWith(m_dialog, [this] { click(m_dialog.bok); }), QDialog::Accepted);
    EXPECT_EQ(qm::levelsinfo.count, 0);
    EXPECT_EQ(qm::levelsinfo.reserved, 0);
    EXPECT_EQ(qm::levelsinfo.author, "");
    EXPECT_EQ(qm::newfilename, "");
    for (int32_t offset : qm::levelsinfo.offsets)
        ASSERT_EQ(offset, 0);

    EXPECT_EQ(execWith(m_dialog,
                       [this] {
                           typeInto(m_dialog.ename, "Sea");
                           typeInto(m_dialog.ecopyright, "Ann");
                           click(m_dialog.bok);
                       }),
              QDialog::Accepted);
    EXPECT_EQ(qm::newfilename, "Sea");
    EXPECT_EQ(qm::levelsinfo.author, "Ann");

    // The edits keep their texts for the next showing.
    execWith(m_dialog, [this] {
        EXPECT_EQ(m_dialog.ename->text(), "Sea");
        EXPECT_EQ(m_dialog.ecopyright->text(), "Ann");
        click(m_dialog.bcancel);
    });
}

TEST_F(CreateNewDialog, CancelChangesNothing)
{
    fillStore(3);
    qm::levelsinfo.author = "Kept";
    qm::levelsinfo.offsets[4] = 77;
    qm::newfilename = "Kept";
    EXPECT_EQ(execWith(m_dialog,
                       [this] {
                           typeInto(m_dialog.ename, "Other");
                           typeInto(m_dialog.ecopyright, "Other");
                           click(m_dialog.bcancel);
                       }),
              QDialog::Rejected);
    EXPECT_EQ(qm::levelsinfo.count, 3);
    EXPECT_EQ(qm::levelsinfo.author, "Kept");
    EXPECT_EQ(qm::levelsinfo.offsets[4], 77);
    EXPECT_EQ(qm::newfilename, "Kept");
    EXPECT_EQ(levelNames().size(), 3u);
    EXPECT_TRUE(m_messages.entries.empty());
}

} // namespace
