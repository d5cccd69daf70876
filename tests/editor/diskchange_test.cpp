// Two editors on one file: before Save writes over the open file it checks that the file is still the
// one it read or last wrote, and asks when another program changed it; coming back to the window,
// the editor asks too (save over it while the work is unsaved, reload it while it is saved).

#include "mainwindowfixture.h"

#include "commands/qmeditor3.h"
#include "levels/levelsfile.h"

#include <QPushButton>
#include <QUndoStack>

using namespace qm;
using qmtest::whenShown;

namespace {

class DiskChange : public qmtest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        path = dir.path("work.lev");
        theirs = dir.path("theirs.lev");
        writeFileWithLevel(theirs, "Written by another editor");
        writeFileWithLevel(dir.path("again.lev"), "Written again");
        writeFileWithLevel(path, "Mine");
        std::filesystem::copy_file(path, dir.path("mine.lev"));
    }

    // A levels file of one level named name, written as the editor writes it.
    void writeFileWithLevel(const std::string &file, const std::string &name)
    {
        levelsinfo = Tlevels{};
        resetstore();
        curlevel = 1;
        addlevel();
        levels[1].name = name;
        levelsfilepath = file;
        writelevelsfile();
        const std::string gameDirectory = gamedir;
        initStore();
        gamedir = gameDirectory;
    }
    void openWork()
    {
        fileAnswers.push_back(QString::fromStdString(path));
        whenShown(dialog<Tnewlevel>(), [this] { QTest::mouseClick(dialog<Tnewlevel>()->Button5, Qt::LeftButton); });
        item("Openlevelsfile1")->trigger();
        ASSERT_TRUE(fileopen);
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // Another program writes the open file (in place, as a second editor in a directory it cannot
    // write does).
    void otherProgramWrites()
    {
        std::filesystem::copy_file(theirs, path, std::filesystem::copy_options::overwrite_existing);
    }
    // Paints the next square of the first row: every paint is a change.
    void paint()
    {
        const int x = 20 + 40 * mPainted++;
        move(x, 20);
        press(x, 20);
        release(x, 20);
        ASSERT_FALSE(saved);
    }
    // The user goes to another window and comes back.
    void comeBack()
    {
        QWidget other;
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        other.hide();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::qWait(20);
    }
    QString saveOverQuestion() const
    {
        return "The file " + QString::fromStdString(path)
               + " was changed by another program since it was opened. Save over it?";
    }

    std::string path, theirs;
    int mPainted = 0;
};

TEST_F(DiskChange, SaveAsksBeforeWritingOverAFileChangedOnDisk)
{
    openWork();
    paint();
    otherProgramWrites();
    const std::vector<uint8_t> written = qmtest::readFile(path);

    // No keeps the work unsaved and the other program's file as it is.
    messages.clear();
    answers = {MessageButton::No};
    item("Save1")->trigger();
    EXPECT_EQ(messages, std::vector<QString>{saveOverQuestion()});
    EXPECT_EQ(qmtest::readFile(path), written);
    EXPECT_FALSE(saved);

    // Closing asks to save; the save asks again, and No there stops the closing.
    messages.clear();
    answers = {MessageButton::Yes, MessageButton::No};
    item("Close1")->trigger();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], saveOverQuestion());
    EXPECT_TRUE(fileopen);
    EXPECT_EQ(qmtest::readFile(path), written);

    // Yes writes; the file is then the editor's own again, and the next save asks nothing.
    messages.clear();
    answers = {MessageButton::Yes};
    item("Save1")->trigger();
    EXPECT_EQ(messages, std::vector<QString>{saveOverQuestion()});
    EXPECT_TRUE(saved);
    EXPECT_NE(qmtest::readFile(path), written);
    paint();
    messages.clear();
    item("Save1")->trigger();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(saved);
}

TEST_F(DiskChange, ComingBackToTheWindowAsksAboutAFileChangedOnDisk)
{
    openWork();
    comeBack();
    EXPECT_TRUE(messages.empty()) << "nothing changed on disk";

    // Saved work: the editor offers to reload the file; No keeps the levels as they are, once.
    otherProgramWrites();
    messages.clear();
    answers = {MessageButton::No};
    comeBack();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "The file " + QString::fromStdString(path)
                               + " was changed by another program since it was opened. Reload it?");
    EXPECT_EQ(levels[1].name, "Mine");
    comeBack();
    EXPECT_EQ(messages.size(), 1u) << "the same change is asked about once";

    // Yes reads it again: its levels, the file saved, nothing to undo.
    std::filesystem::copy_file(dir.path("again.lev"), path, std::filesystem::copy_options::overwrite_existing);
    messages.clear();
    answers = {MessageButton::Yes};
    comeBack();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(levels[1].name, "Written again");
    EXPECT_TRUE(fileopen);
    EXPECT_TRUE(saved);
    EXPECT_FALSE(item("Undo1")->isEnabled());

    // Unsaved work: the question of Save; No keeps the work unsaved and asks no more for that change.
    paint();
    std::filesystem::copy_file(dir.path("mine.lev"), path, std::filesystem::copy_options::overwrite_existing);
    const std::vector<uint8_t> written = qmtest::readFile(path);
    messages.clear();
    answers = {MessageButton::No};
    comeBack();
    EXPECT_EQ(messages, std::vector<QString>{saveOverQuestion()});
    EXPECT_FALSE(saved);
    EXPECT_EQ(qmtest::readFile(path), written);
    comeBack();
    EXPECT_EQ(messages.size(), 1u);
    // Save still asks before it writes over the change.
    answers = {MessageButton::Yes};
    item("Save1")->trigger();
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_TRUE(saved);
}

} // namespace
