// The levels-file commands through the real window and dialogs: every prompt, file dialog and modal
// dialog is answered by the test.

#include "mainwindowfixture.h"

#include "commands/qmeditor3.h"
#include "commands/qmeditorunit2.h"
#include "commands/unitlevelsfile.h"
#include "editor/recentfiles.h"
#include "levels/levelsfile.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace qm;
using qmtest::MainWindowTest;
using qmtest::whenShown;

namespace {

class FileCommands : public MainWindowTest {
protected:
    // New Levels File with name and author typed into "Create new"; the levels dialog then closes
    // with Edit (accept) or Cancel.
    void newFile(const QString &name, bool accept, const QString &author = QString())
    {
        whenShown(dialog<Tnewlevels>(), [=, this] {
            dialog<Tnewlevels>()->ename->setText(name);
            dialog<Tnewlevels>()->ecopyright->setText(author);
            QTest::mouseClick(dialog<Tnewlevels>()->bok, Qt::LeftButton);
        });
        closeLevelsDialog(accept);
        item("Newlevelsfile1")->trigger();
    }
    // Open Levels File choosing path; the levels dialog then closes with Edit or Cancel.
    void openFile(const std::string &path, bool accept = true)
    {
        fileAnswers.push_back(QString::fromStdString(path));
        closeLevelsDialog(accept);
        item("Openlevelsfile1")->trigger();
    }
    void closeLevelsDialog(bool accept)
    {
        whenShown(dialog<Tnewlevel>(), [=, this] {
            QTest::mouseClick(accept ? dialog<Tnewlevel>()->Button5 : dialog<Tnewlevel>()->Button6, Qt::LeftButton);
        });
    }
    void paint(int x, int y)
    {
        move(x, y);
        press(x, y);
        release(x, y);
    }
};

} // namespace

TEST_F(FileCommands, NewThenCancelInTheLevelsDialogLeavesAnOpenFileWithoutLevels)
{
    newFile("Sea", false);
    EXPECT_TRUE(fileopen);
    EXPECT_EQ(levelsinfo.count, 0);
    EXPECT_TRUE(saved);
    EXPECT_TRUE(item("Save1")->isEnabled());
    EXPECT_TRUE(item("Thislevel1")->isEnabled());
    EXPECT_FALSE(form->DXTimer.Enabled()) << "the map is not started";
    EXPECT_EQ(newfilename, "Sea");
}

TEST_F(FileCommands, SaveProposesTheFilesOwnNameAndNeverABareExtension)
{
    EXPECT_EQ(form->DXDraw->hint(), kNoLevelHint);
    newFile("Sea", true, "Me");
    EXPECT_TRUE(form->DXTimer.Enabled());
    EXPECT_TRUE(form->DXDraw->hint().isEmpty());
    EXPECT_EQ(levelsinfo.author, "Me");
    fileAnswers.push_back(QString::fromStdString(dir.path("Sea.lev")));
    item("Save1")->trigger();
    ASSERT_EQ(fileDialogs.size(), 1u);
    EXPECT_EQ(fileDialogs[0].title, "Save levels file");
    EXPECT_EQ(fileDialogs[0].initialName, "Sea.lev");
    EXPECT_EQ(fileDialogs[0].filter, "Quill Moss levels files|*.lev|Single level file|*.qlv|All files|*.*");
    EXPECT_EQ(qmtest::readFile(dir.path("Sea.lev")).size(), 4011u + 25646u);

    item("Save1")->trigger(); // a known path: written at once
    EXPECT_EQ(fileDialogs.size(), 1u);

    openFile(dir.path("Sea.lev"));
    ASSERT_EQ(fileDialogs.size(), 2u);
    EXPECT_EQ(fileDialogs[1].title, "Open levels file");
    EXPECT_EQ(fileDialogs[1].initialDirectory, QString::fromStdString(dir.path() + "/"));
    EXPECT_EQ(fileDialogs[1].filter, "Levels data file|*.lev|All files|*.*");
    item("Saveas1")->trigger();
    EXPECT_EQ(fileDialogs.back().initialName, "Sea.lev");
    EXPECT_EQ(fileDialogs.back().initialDirectory + "/", QString::fromStdString(dir.path()));

    newFile("", false);
    item("Save1")->trigger();
    EXPECT_EQ(fileDialogs.back().initialName, "Untitled.lev");
}

TEST_F(FileCommands, ThePromptNamesTheFileAndCancelKeepsEverything)
{
    newFile("Sea", true);
    paint(100, 100);
    EXPECT_FALSE(saved);
    answer = MessageButton::Cancel;
    item("Newlevelsfile1")->trigger();
    item("Openlevelsfile1")->trigger();
    item("Close1")->trigger();
    form->close();
    ASSERT_EQ(messages.size(), 4u);
    for (const QString &text : messages)
        EXPECT_EQ(text, "This levels file is unsaved.Would you like to save it?");
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(fileopen);
    EXPECT_FALSE(saved);
    EXPECT_TRUE(fileDialogs.empty());

    levelsfilepath = dir.path("named.lev");
    messages.clear();
    item("Close1")->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QString::fromStdString("Save changes to " + dir.path("named.lev") + "?"));
}

TEST_F(FileCommands, YesWithAnAbandonedOrFailedSaveStopsTheCommand)
{
    newFile("Sea", true);
    paint(100, 100);
    answer = MessageButton::Yes;
    item("Close1")->trigger(); // the save dialog is cancelled
    EXPECT_TRUE(fileopen) << "unsaved work is kept";
    EXPECT_FALSE(saved);

    fileAnswers.push_back(QString::fromStdString(dir.path("missing/dir/x.lev"))); // the write fails
    item("Close1")->trigger();
    EXPECT_TRUE(fileopen);
    EXPECT_EQ(messages.back(), QString::fromStdString(dir.path("missing/dir/x.lev")) + " was not saved: File not found");
    EXPECT_TRUE(levelsfilepath.empty()) << "a failed save does not name the file";

    fileAnswers.push_back(QString::fromStdString(dir.path("ok.lev")));
    item("Close1")->trigger();
    EXPECT_FALSE(fileopen);
    EXPECT_TRUE(saved);
    EXPECT_FALSE(item("Save1")->isEnabled());
    EXPECT_FALSE(form->DXTimer.Enabled());
    EXPECT_EQ(form->DXDraw->Surface().pixel(100, 100), 0u);
    EXPECT_EQ(form->DXDraw->hint(), kNoLevelHint) << "the surface says what to do next";
}

TEST_F(FileCommands, OpeningAFileThatCannotBeReadLeavesTheEditorAsItWas)
{
    newFile("Sea", true);
    levels[1].name = "kept";
    qmtest::writeFile(dir.path("bad.lev"), std::string("not a levels file"));
    openFile(dir.path("bad.lev"));
    EXPECT_EQ(messages.back(), "Read beyond end of file");
    EXPECT_EQ(levels[1].name, "kept");
    EXPECT_EQ(newfilename, "Sea");
    EXPECT_EQ(levelsinfo.count, 1);
}

TEST_F(FileCommands, UncheckedConfirmationsNeverAsk)
{
    newFile("Sea", true);
    paint(100, 100);
    item("AskConfirmations1")->trigger();
    item("Close1")->trigger();
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
    EXPECT_FALSE(fileopen);
    form->close();
    EXPECT_FALSE(form->isVisible());
}

// Close runs events while it waits for a lost surface: a command started then (a shortcut fires its
// menu item), or closing the window, must not run inside Close; both work again afterwards.
TEST_F(FileCommands, NoMenuCommandRunsWhileCloseWaitsForTheSurface)
{
    newFile("Sea", true);
    item("AskConfirmations1")->trigger();
    form->DXDraw->Finalize();
    bool triedDuringWait = false;
    QTimer::singleShot(20, form.get(), [&] {
        triedDuringWait = fileopen;
        item("Saveas1")->trigger();
        item("Close1")->trigger();
        form->close();
        form->DXDraw->Initialize(); // the surface is back: the wait ends
    });
    item("Close1")->trigger();
    EXPECT_TRUE(triedDuringWait);
    EXPECT_TRUE(fileDialogs.empty());
    EXPECT_FALSE(fileopen);
    EXPECT_TRUE(form->isVisible());
    item("Saveas1")->setEnabled(true);
    item("Saveas1")->trigger();
    EXPECT_EQ(fileDialogs.size(), 1u);
    form->close();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FileCommands, EditLevelsNeedsAnOpenFileAndAddingALevelUndoneDoesNotAskAtExit)
{
    item("Thislevel1")->setEnabled(true);
    item("Thislevel1")->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "You must first open or create a new levels file");

    newFile("Sea", false); // no level: the map does not run
    closeLevelsDialog(true);
    item("Newlevel1")->trigger();
    EXPECT_EQ(levelsinfo.count, 1);
    EXPECT_TRUE(form->DXTimer.Enabled()) << "the added level is shown";
    item("Deletelevel1")->trigger();
    EXPECT_EQ(levelsinfo.count, 0);
    // Adding and deleting are changes of the file; undone, the file is as it was saved.
    EXPECT_FALSE(saved);
    item("Undo1")->trigger();
    item("Undo1")->trigger();
    EXPECT_EQ(levelsinfo.count, 0);
    messages.clear();
    form->close();
    EXPECT_TRUE(messages.empty());
}

namespace {

// A file of two levels, the second on another graphics file.
void writeTwoThemeFile(const std::string &path, const std::string &secondDxg)
{
    levelsinfo = Tlevels{};
    resetstore();
    curlevel = 1;
    addlevel();
    addlevel();
    levels[2].dxg = secondDxg;
    levelsfilepath = path;
    writelevelsfile();
    const std::string gameDirectory = gamedir;
    initStore();
    gamedir = gameDirectory;
}

} // namespace

// Open, then Cancel in the levels dialog: nothing is shown, so nothing can change; Edit Levels with
// Edit then shows the map.
TEST_F(FileCommands, NoCellChangesWhileNoLevelIsShown)
{
    writeTwoThemeFile(dir.path("two.lev"), "computer.dxg");
    openFile(dir.path("two.lev"), false);
    EXPECT_EQ(form->DXDraw->hint(), kNoLevelShownHint);
    paint(100, 100);
    EXPECT_TRUE(saved);
    EXPECT_EQ(levels[1].cellAt(2, 2)->tile, 16);

    closeLevelsDialog(true);
    item("Thislevel1")->trigger();
    EXPECT_TRUE(form->DXTimer.Enabled());
    EXPECT_TRUE(form->DXDraw->hint().isEmpty());
    paint(100, 100);
    EXPECT_FALSE(saved);
}

// The map always draws the current level with that level's own tiles; a graphics file that does
// not load changes nothing, is reported once, and the tiles shown stay.
TEST_F(FileCommands, TheCurrentLevelIsDrawnWithItsOwnTiles)
{
    qmtest::writeFile(dir.path("forest.dxg"), qmtest::syntheticTheme());
    qmtest::writeFile(dir.path("broken.dxg"), std::string("not a graphics file"));
    writeTwoThemeFile(dir.path("two.lev"), "forest.dxg");
    whenShown(dialog<Tnewlevel>(), [this] {
        dialog<Tnewlevel>()->StringGrid1->setCurrentCell(1, 0);
        dialog<Tnewlevel>()->StringGrid1Click();
        QTest::mouseClick(dialog<Tnewlevel>()->Button5, Qt::LeftButton);
    });
    fileAnswers.push_back(QString::fromStdString(dir.path("two.lev")));
    item("Openlevelsfile1")->trigger();
    EXPECT_EQ(loadeddxg, "forest.dxg");
    item("Deletelevel1")->trigger();
    EXPECT_EQ(curlevel, 1);
    EXPECT_EQ(loadeddxg, "computer.dxg");
    const int tiles = form->patratele.Items().Count();

    // Edit with a graphics file that exists but does not load.
    whenShown(dialog<Tnewlevel>(), [this] {
        dialog<Tnewlevel>()->dxgl->setEditText("broken.dxg");
        QTest::mouseClick(dialog<Tnewlevel>()->Button5, Qt::LeftButton);
        EXPECT_TRUE(dialog<Tnewlevel>()->isVisible());
        QTest::mouseClick(dialog<Tnewlevel>()->Button6, Qt::LeftButton);
    });
    item("Thislevel1")->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Invalid stream format");
    EXPECT_EQ(levels[1].dxg, "computer.dxg");
    EXPECT_EQ(loadeddxg, "computer.dxg");
    EXPECT_EQ(form->patratele.Items().Count(), tiles);
    EXPECT_TRUE(form->DXTimer.Enabled());
}

// Opening a file loads the chosen level's tiles once: the levels dialog's Edit loads them, and the
// open does not load them a second time (two sets of pictures would be held at once).
TEST_F(FileCommands, OpeningAFileLoadsItsTilesOnce)
{
    writeTwoThemeFile(dir.path("two.lev"), "computer.dxg");
    uint64_t loadedByEdit = 0;
    whenShown(dialog<Tnewlevel>(), [&, this] {
        QTest::mouseClick(dialog<Tnewlevel>()->Button5, Qt::LeftButton);
        ASSERT_GT(form->patratele.Items().Count(), 0);
        loadedByEdit = form->patratele.Items().Items(0).revision();
    });
    fileAnswers.push_back(QString::fromStdString(dir.path("two.lev")));
    item("Openlevelsfile1")->trigger();
    EXPECT_EQ(loadeddxg, "computer.dxg");
    EXPECT_EQ(form->patratele.Items().Items(0).revision(), loadedByEdit);
}

// The whole road of a level designer: new file, paint, save, close, open again; the bytes on disk
// are those of the same content written by the store directly.
TEST_F(FileCommands, ARoundTripKeepsEveryByte)
{
    newFile("Trip", true, "Designer");
    paint(100, 100);
    paint(140, 100);
    fileAnswers.push_back(QString::fromStdString(dir.path("trip.lev")));
    item("Save1")->trigger();
    item("Close1")->trigger();
    openFile(dir.path("trip.lev"));
    EXPECT_EQ(levels[1].cellAt(4, 4)->tile, 12);
    EXPECT_EQ(levels[1].cellAt(4, 5)->tile, 12);

    levelsinfo = Tlevels{};
    levelsinfo.author = "Designer";
    resetstore();
    curlevel = 1;
    addlevel();
    levels[1].cellAt(4, 4)->tile = 12;
    levels[1].cellAt(4, 5)->tile = 12;
    levelsfilepath = dir.path("direct.lev");
    writelevelsfile();
    EXPECT_EQ(qmtest::readFile(dir.path("trip.lev")), qmtest::readFile(dir.path("direct.lev")));
}

TEST_F(FileCommands, TheGamesLevelsFileChosenIsWrittenAtExit)
{
    qmtest::writeFile(dir.path("Other.lev"), std::string("x"));
    whenShown(dialog<Tlevelsfile>(), [this] {
        dialog<Tlevelsfile>()->Edit1->setText("Other.lev");
        QTest::mouseClick(dialog<Tlevelsfile>()->Button3, Qt::LeftButton);
    });
    item("CurentLevesFile1")->trigger();
    EXPECT_EQ(cfglevelsfile, "Other.lev");
    form->close();
    std::vector<uint8_t> config = qmtest::readFile(dir.path("Quillmoss.Cfg"));
    EXPECT_NE(std::string(config.begin(), config.end()).find("\r\nLevels File = Other.lev;\r\n"), std::string::npos);
}

// The file named on the command line: opened as Open Levels File does, without its file dialog; one
// that cannot be read shows its message and leaves the editor without a file.
TEST_F(FileCommands, TheFileNamedAtStartOpensAsOpenDoes)
{
    qmtest::writeFile(dir.path("bad.lev"), std::string("not a levels file"));
    form->openAtStart(QString::fromStdString(dir.path("bad.lev")));
    EXPECT_EQ(messages.back(), "Read beyond end of file");
    EXPECT_FALSE(fileopen);

    newFile("Sea", true);
    fileAnswers.push_back(QString::fromStdString(dir.path("start.lev")));
    item("Saveas1")->trigger();
    item("Close1")->trigger();
    ASSERT_FALSE(fileopen);
    closeLevelsDialog(true);
    form->openAtStart(QString::fromStdString(dir.path("start.lev")));
    EXPECT_TRUE(fileopen);
    EXPECT_TRUE(form->DXTimer.Enabled());
    EXPECT_EQ(levelsfilepath, dir.path("start.lev"));
    ASSERT_EQ(fileDialogs.size(), 1u); // Save as only
    EXPECT_EQ(fileDialogs[0].title, "Save levels file");
}

// A file named at start by a relative name that is not UTF-8 (a Latin-1 "é", as main passes it on)
// opens, saves and is remembered under exactly the bytes of its name, and the prompts name it by its
// absolute path, as they name a file chosen in a dialog.
TEST_F(FileCommands, TheFileNamedAtStartKeepsTheBytesOfItsNameAndIsNamedByItsAbsolutePath)
{
    const std::string name = "caf\xe9.lev";
    writeTwoThemeFile(dir.path(name), "computer.dxg");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    closeLevelsDialog(true);
    form->openAtStart(fileNameFromBytes(QByteArray::fromStdString(name)));
    std::filesystem::current_path(before);
    ASSERT_TRUE(fileopen) << (messages.empty() ? std::string() : messages.back().toStdString());
    EXPECT_EQ(levelsfilepath, dir.path(name));

    paint(100, 100);
    answer = MessageButton::Cancel;
    item("Close1")->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Save changes to " + fromPath(dir.path(name)) + "?");
    item("Save1")->trigger();
    EXPECT_TRUE(saved);
    const std::vector<std::string> entries = dir.entries();
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](const std::string &e) { return e.starts_with("caf"); }), 1);
    const QStringList recent = form->findChild<RecentFiles *>()->files();
    ASSERT_FALSE(recent.isEmpty());
    EXPECT_EQ(toPath(recent.first()), dir.path(name)) << "kept in the settings under its bytes";
}

// Dialog actions that end where they began are no change of the file: Edit with every field as it was,
// and Add Level, Move Up, Cancel. Neither leaves a step to undo, and the file stays saved.
TEST_F(FileCommands, DialogActionsThatChangeNothingLeaveTheFileSaved)
{
    const std::string path = dir.path("still.lev");
    writeTwoThemeFile(path, "computer.dxg");
    const std::vector<uint8_t> bytes = qmtest::readFile(path);
    openFile(path);
    ASSERT_TRUE(saved);
    const auto expectUnchanged = [&](const char *what) {
        SCOPED_TRACE(what);
        form->updateStatus();
        EXPECT_TRUE(saved);
        EXPECT_FALSE(item("Undo1")->isEnabled()) << item("Undo1")->text().toStdString();
        EXPECT_TRUE(form->statusLine().contains("(saved)")) << form->statusLine().toStdString();
        EXPECT_EQ(levelsinfo.count, 2);
    };

    closeLevelsDialog(true);
    item("Thislevel1")->trigger();
    expectUnchanged("Edit");

    whenShown(dialog<Tnewlevel>(), [this] {
        QTest::mouseClick(dialog<Tnewlevel>()->Button1, Qt::LeftButton);
        QTest::mouseClick(dialog<Tnewlevel>()->Button6, Qt::LeftButton);
    });
    item("Newlevel1")->trigger();
    expectUnchanged("Add Level, Move Up, Cancel");

    messages.clear();
    form->close();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(qmtest::readFile(path), bytes);
}

// A change made in the levels dialog that Open and New show is a change of the file: one step to undo,
// the file changed, and Close asks before it is lost.
TEST_F(FileCommands, ARenameInTheLevelsDialogAtOpenOrNewIsAStepAndCloseAsks)
{
    const std::string path = dir.path("rename.lev");
    writeTwoThemeFile(path, "computer.dxg");
    const auto renameAndEdit = [this] {
        whenShown(dialog<Tnewlevel>(), [this] {
            qmtest::typeInto(dialog<Tnewlevel>()->namel, "Renamed");
            QTest::mouseClick(dialog<Tnewlevel>()->Button2, Qt::LeftButton);
            QTest::mouseClick(dialog<Tnewlevel>()->Button5, Qt::LeftButton);
        });
    };
    for (const char *command : {"Openlevelsfile1", "Newlevelsfile1"}) {
        SCOPED_TRACE(command);
        if (std::string(command) == "Openlevelsfile1") {
            fileAnswers.push_back(QString::fromStdString(path));
        } else {
            whenShown(dialog<Tnewlevels>(), [this] {
                dialog<Tnewlevels>()->ename->setText("Sea");
                QTest::mouseClick(dialog<Tnewlevels>()->bok, Qt::LeftButton);
            });
        }
        renameAndEdit();
        item(command)->trigger();
        ASSERT_EQ(levels[1].name, "Renamed");
        form->updateStatus();
        EXPECT_FALSE(saved);
        EXPECT_FALSE(form->statusLine().contains("(saved)")) << form->statusLine().toStdString();
        EXPECT_EQ(item("Undo1")->text(), "&Undo Edit Levels");
        EXPECT_TRUE(form->isWindowModified()) << "the title carries the mark of unsaved work";
        item("Undo1")->trigger();
        EXPECT_NE(levels[1].name, "Renamed");
        EXPECT_TRUE(saved) << "undone, the file is as it was opened";
        EXPECT_FALSE(form->isWindowModified());
        item("Redo1")->trigger();

        messages.clear();
        answer = MessageButton::No;
        item("Close1")->trigger();
        EXPECT_EQ(messages.size(), 1u) << "the rename is not lost without a question";
        EXPECT_FALSE(fileopen);
    }
}

// A save that fails names the file it could not write, with the system's text.
TEST_F(FileCommands, ASaveErrorNamesTheFile)
{
    newFile("Sea", true);
    const std::string path = dir.path("no such folder") + "/Sea.lev";
    fileAnswers.push_back(QString::fromStdString(path));
    messages.clear();
    item("Saveas1")->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(QString::fromStdString(path))) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].endsWith("File not found")) << messages[0].toStdString();
    EXPECT_EQ(levelsfilepath, "");
}
