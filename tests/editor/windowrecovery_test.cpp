// The window's recovery copies: what painting leaves behind, and the start-up question answered by
// the user (Recover, Discard, Later) for files saved before and files never saved.

#include "mainwindowfixture.h"

#include "editor/recovery.h"
#include "levels/levelsfile.h"
#include "levels/solutionsfile.h"

#include <QDir>
#include <filesystem>

namespace qmtest {
namespace {

class WindowRecovery : public MainWindowTest {
protected:
    const std::vector<uint8_t> kKeptSolution{0x01, 0x01, 0x03, 0xFF};
    // A copy as an editor that ended without saving leaves it: two levels, a mark of `tile` in level 2.
    Bytes leaveCopy(int32_t tile, const std::string &original, int level, QTime time)
    {
        levelsinfo = Tlevels{};
        resetstore();
        for (int k = 1; k <= 2; ++k) {
            addlevel();
            levels[k].width = 30;
            levels[k].height = 20;
        }
        levels[2].cellAt(4, 6)->tile = tile;
        levels[2].solution = kKeptSolution; // kept since the last save
        std::array<int32_t, kOffsetCount> offsets{};
        RecoverySnapshot snapshot{levelsFileBytes(offsets), original, level,
                                  QDateTime(QDate(2026, 12, 7), time, Qt::LocalTime), solutionsBytes()};
        Bytes bytes = snapshot.levels;
        RecoveryStore other([] { return std::optional<RecoverySnapshot>(); }, recoveryDirectory());
        other.write(std::move(snapshot));
        other.waitForWrites();
        fileopen = false; // the editor starts with nothing open
        return bytes;
    }
    // The copies another editor starting now would offer.
    std::vector<RecoveryCopy> offeredToOthers()
    {
        RecoveryStore other([] { return std::optional<RecoverySnapshot>(); }, recoveryDirectory());
        std::vector<RecoveryProblem> problems;
        std::vector<RecoveryCopy> copies = other.unownedCopies(problems);
        for (const RecoveryCopy &copy : copies)
            other.later(copy);
        return copies;
    }
    QStringList sidecars() const { return QDir(recoveryDirectory()).entryList({"*.json"}, QDir::Files); }
    void saveWithKeys()
    {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(surface(), Qt::Key_S, Qt::ControlModifier);
    }
};

TEST_F(WindowRecovery, RecoverOpensUnsavedWorkAtItsLevelAndSaveWritesItToTheOriginalFile)
{
    const std::string original = dir.path("work.lev");
    const Bytes bytes = leaveCopy(77, original, 2, QTime(11, 42));
    answers = {MessageButton::Recover};
    form->offerRecovery();

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Unsaved work from 2026-12-07 11:42 was found for " + QString::fromStdString(original)
                               + ". Recover it?");
    EXPECT_TRUE(fileopen);
    EXPECT_FALSE(saved);
    EXPECT_EQ(curlevel, 2);
    EXPECT_TRUE(form->mapShown());
    EXPECT_EQ(at(4, 6).tile, 77);
    EXPECT_EQ(levels[2].solution, kKeptSolution) << "the solution kept since the last save comes back too";
    EXPECT_TRUE(item("Save1")->isEnabled());

    saveWithKeys();
    EXPECT_TRUE(saved);
    EXPECT_TRUE(fileDialogs.empty());
    EXPECT_EQ(readFile(original), bytes);
    levels[2].solution.clear();
    readSolutionsFile(original);
    EXPECT_EQ(levels[2].solution, kKeptSolution) << "and is saved beside the file";
    // Saved: the copy is gone, and no other editor is offered it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return sidecars().isEmpty(); }, 5000));
    EXPECT_TRUE(offeredToOthers().empty());
}

TEST_F(WindowRecovery, ANeverSavedFileIsRecoveredAsANewFileWhoseSaveAsksForAName)
{
    const Bytes bytes = leaveCopy(33, "", 1, QTime(9, 5));
    answers = {MessageButton::Recover};
    form->offerRecovery();

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].endsWith("was found for a new levels file. Recover it?")) << messages[0].toStdString();
    EXPECT_FALSE(saved);
    EXPECT_EQ(curlevel, 1);
    EXPECT_TRUE(levelsfilepath.empty());

    fileAnswers = {QString::fromStdString(dir.path("named.lev"))};
    saveWithKeys();
    ASSERT_EQ(fileDialogs.size(), 1u);
    EXPECT_EQ(fileDialogs[0].mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(readFile(dir.path("named.lev")), bytes);
}

TEST_F(WindowRecovery, DiscardDeletesLaterKeepsAndAfterOneRecoverTheRestWaitForTheNextStart)
{
    leaveCopy(1, dir.path("a.lev"), 1, QTime(10, 0)); // oldest: not asked about after the Recover
    leaveCopy(2, dir.path("b.lev"), 1, QTime(11, 0)); // recovered
    leaveCopy(3, dir.path("c.lev"), 1, QTime(12, 0)); // discarded
    leaveCopy(4, dir.path("d.lev"), 1, QTime(13, 0)); // later
    answers = {MessageButton::Later, MessageButton::Discard, MessageButton::Recover};
    form->offerRecovery();

    ASSERT_EQ(messages.size(), 3u); // newest first
    EXPECT_TRUE(messages[0].contains("d.lev"));
    EXPECT_TRUE(messages[1].contains("c.lev"));
    EXPECT_TRUE(messages[2].contains("b.lev"));
    EXPECT_EQ(levelsfilepath, dir.path("b.lev"));
    EXPECT_EQ(sidecars().size(), 3);

    // Another editor is offered the copies kept for later, not the one this editor recovered.
    std::vector<RecoveryCopy> rest = offeredToOthers();
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0].originalPath, dir.path("d.lev"));
    EXPECT_EQ(rest[1].originalPath, dir.path("a.lev"));

    // Closing the recovered work with No gives it up and deletes its copy.
    answer = MessageButton::No;
    item("Close1")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return sidecars().size() == 2; }, 5000));
}

// An Open whose read fails after the file was checked leaves part of it in the store: the editor
// closes it so that nothing of it can be saved, and keeps the copy of the work it was to replace.
TEST_F(WindowRecovery, AnOpenThatFailsWhileReadingClosesTheFileAndKeepsTheCopyOfTheWorkBefore)
{
    leaveCopy(5, dir.path("work.lev"), 2, QTime(8, 0));
    answers = {MessageButton::Recover, MessageButton::No};
    form->offerRecovery();
    ASSERT_TRUE(fileopen);
    // Another file, large enough to be read in windows.
    const int count = int(kLevelsFileWindowBytes / (sizeof(cell) * kGridSize * kGridSize)) + 1;
    for (int k = 1; k <= count; ++k) {
        if (k > levelsinfo.count)
            addlevel();
        levels[k].width = levels[k].height = kGridSize;
    }
    std::array<int32_t, kOffsetCount> offsets{};
    const Bytes other = levelsFileBytes(offsets);
    ASSERT_GT(other.size(), kLevelsFileWindowBytes);
    writeFile(dir.path("other.lev"), other);

    fileAnswers = {QString::fromStdString(dir.path("other.lev"))};
    iofault::inject(iofault::Op::Read, count + 2, EIO); // past the header and the levels' first bytes
    item("Openlevelsfile1")->trigger();
    iofault::reset();
    EXPECT_EQ(messages.back(), "I/O error 5");
    EXPECT_FALSE(fileopen);
    EXPECT_FALSE(item("Save1")->isEnabled());
    EXPECT_FALSE(form->mapShown());
    EXPECT_FALSE(QTest::qWaitFor([&] { return sidecars().isEmpty(); }, 500));
}

TEST_F(WindowRecovery, ACopyThatCannotBeReadIsReportedByNameAndNotAskedAbout)
{
    QDir().mkpath(recoveryDirectory());
    const QString name = "0b5d8e3c-4c9f-4f3e-9a57-5a1f0d2b7c11.json";
    writeFile((recoveryDirectory() + "/" + name).toStdString(), std::string("{ not json"));
    form->offerRecovery();

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].startsWith("The recovery copy " + name + " cannot be read: ")) << messages[0].toStdString();
    EXPECT_FALSE(fileopen);
}

TEST_F(WindowRecovery, PaintingLeavesACopyOfTheStoreAndSaveDeletesIt)
{
    openLevel();
    levelsfilepath = "named/on/the/command/line.lev"; // relative to the folder the editor started in
    press(100, 100);
    release(100, 100);
    ASSERT_FALSE(saved);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sidecars().size() == 1; }, 8000));

    std::array<int32_t, kOffsetCount> offsets{};
    const Bytes store = levelsFileBytes(offsets);
    const QStringList copies = QDir(recoveryDirectory()).entryList({"*.lev"}, QDir::Files);
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(readFile((recoveryDirectory() + "/" + copies[0]).toStdString()), store);
    EXPECT_TRUE(offeredToOthers().empty()); // this editor runs: the copy is its own
    // The copy names the file wherever the next editor starts.
    const std::vector<uint8_t> sidecar = readFile((recoveryDirectory() + "/" + sidecars()[0]).toStdString());
    EXPECT_NE(std::string(sidecar.begin(), sidecar.end()).find(std::filesystem::absolute(levelsfilepath).string()),
              std::string::npos);

    levelsfilepath = dir.path("saved.lev");
    item("Save1")->trigger();
    EXPECT_TRUE(saved);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sidecars().isEmpty(); }, 5000));
}

TEST_F(WindowRecovery, ACopyThatCannotBeWrittenIsShownInTheCaptionAndTheEditorGoesOn)
{
    std::filesystem::remove_all(recoveryDirectory().toStdString());
    writeFile(recoveryDirectory().toStdString(), std::string("a file where the folder should be"));
    openLevel();
    press(100, 100);
    release(100, 100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->windowTitle().contains("could not be written"); }, 8000));
    EXPECT_TRUE(form->windowTitle().startsWith(kApplicationTitle));
    EXPECT_TRUE(messages.empty()); // no box stops the work
    press(140, 100);
    release(140, 100);
    EXPECT_TRUE(form->mapShown());
    // The note is about unsaved work: once the work is saved, it goes.
    levelsfilepath = dir.path("saved.lev");
    item("Save1")->trigger();
    ASSERT_TRUE(saved);
    EXPECT_FALSE(form->windowTitle().contains("could not be written")) << form->windowTitle().toStdString();
}

} // namespace
} // namespace qmtest
