// The commands of the main window's menu: New, Open, Save, Save as, Close, Edit Levels, Add and
// Delete Level, the imports, the game's levels file, help and about, and the unsaved-changes prompt.

#include "qmeditorunit1.h"

#include "levels/solutionsfile.h"
#include "checkscontroller.h"
#include "diskwatch.h"
#include "recoverycontroller.h"
#include "editor/core/thumbnailcache.h"
#include "thumbnaillist.h"

#include "commands/filedialogs.h"
#include "commands/helpwindow.h"
#include "commands/importlevel.h"
#include "commands/levelcommands.h"
#include "commands/messagebox.h"
#include "commands/qmeditor3.h"
#include "commands/qmeditorunit2.h"
#include "commands/storetext.h"
#include "commands/unitabout.h"
#include "commands/unitlevelsfile.h"

#include "levels/levelsfile.h"
#include "levels/levelstore.h"

#include "platform/errors.h"
#include "platform/fileio.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QUndoStack>
#include <algorithm>
#include <filesystem>
#include <memory>

namespace qm {

namespace {

const char *const kSaveTitle = "Save levels file";
const char *const kSaveFilter = "Quill Moss levels files|*.lev|Single level file|*.qlv|All files|*.*";

// A dialog that most sessions never show is made the first time it is needed, and kept.
template <typename Dialog> Dialog &madeOnFirstUse(Dialog *&dialog, QWidget *parent)
{
    if (!dialog)
        dialog = new Dialog(parent);
    return *dialog;
}

} // namespace

// Makes the dialogs of the file commands, once: when the window is first exposed, or when a command
// needs them sooner. The levels dialog reports through dialogok.
void TMainForm::createDialogs()
{
    if (mDialogs.newLevels)
        return;
    mDialogs.newLevels = new Tnewlevels(this);
    mDialogs.levelsFile = new Tlevelsfile(this);
    mDialogs.newLevel = new Tnewlevel([this](const std::string &name) { loadTiles(name); }, this);
    mDialogs.newLevel->setStepRecorder([this](const char *text, const LevelDocument::Work &work) {
        mDocument->runStep(text, work);
    });
}

// The levels dialog of New and Open. The file is saved when it shows; what the user changes in it
// (a level renamed, moved, deleted) is one step, which makes the file changed and can be undone.
void TMainForm::showLevelsDialogAtStart()
{
    createDialogs();
    mDocument->runStepWithParts([this](StoreStep &) {
        mDialogs.newLevel->exec();
        return "Edit Levels";
    });
}

// The "Create new" dialog: whether Ok was pressed, and the name typed.
bool TMainForm::askNewFileName(std::string &name)
{
    createDialogs();
    if (mDialogs.newLevels->exec() != QDialog::Accepted)
        return false;
    name = mDialogs.newLevels->ename->text().toLatin1().toStdString();
    return true;
}

bool TMainForm::asksave()
{
    if (!(fileopen && askconfirmations && !saved))
        return true;
    const bool unnamed = levelsfilepath.empty();
    const QString text = unnamed ? QString("This levels file is unsaved.Would you like to save it?")
                                 : "Save changes to " + fromPath(levelsfilepath) + "?";
    switch (showMessage(MessageKind::Confirm, text, MessageButtons::YesNoCancel, this)) {
    case MessageButton::Yes:
        item(unnamed ? "Saveas1" : "Save1")->trigger();
        // A save that did not happen (its dialog cancelled, or the write failed) stops the command
        // as Cancel does: unsaved work is never dropped unless the user says No.
        return saved;
    case MessageButton::No:
        return true;
    default:
        return false;
    }
}

void TMainForm::Newlevelsfile1Click()
{
    if (!asksave())
        return;
    std::string name;
    if (!askNewFileName(name))
        return;
    mDocument->startNew(name);
    mRecovery->dropCopy(); // the work before is given up
    mDiskWatch->remember();
    dialogok = false;
    curlevel = 1;
    addlevel();
    showLevelsDialogAtStart();
    if (dialogok) {
        startEditing();
    } else {
        removecurrentlevel();
        mDocument->clearHistory(); // a file without levels, as New makes it
    }
    followFileOpened();
    enablefilemenus();
}

void TMainForm::Openlevelsfile1Click()
{
    if (!asksave())
        return;
    const QString path = showFileDialog({FileDialogRequest::Mode::Open, kOpenLevelsTitle, kOpenLevelsFilter,
                                         fromPath(gamedir), QString(), true},
                                        this);
    if (path.isEmpty())
        return;
    openLevelsFile(path);
}

void TMainForm::openLevelsFile(const QString &path)
{
    // The file is checked before the open file is given up: a file refused by the check leaves the
    // editor as it was.
    try {
        mDocument->open(toPath(path));
    } catch (...) {
        // A read that failed after the store was begun leaves part of the file in it: nothing of that
        // may be saved over the file, so it is closed as Close does. The recovery copy of the work
        // before stays.
        if (!fileopen)
            closeLevelsFile();
        throw;
    }
    mRecovery->dropCopy(); // the work before is given up
    mDiskWatch->remember();
    // What saves killed in the middle left beside the file goes now, not only with the next save there.
    removeDeadSaveTemporaries(std::filesystem::path(levelsfilepath).parent_path().string());
    dialogok = false;
    prevlevel = 1;
    curlevel = 1;
    showLevelsDialogAtStart();
    if (dialogok)
        startEditing();
    followFileOpened();
    enablefilemenus();
}

// The file named on the command line, opened as Open Levels File does (after the unsaved-changes
// question when recovered work is open); a file that cannot be read shows its message and the
// editor goes on without a file.
void TMainForm::openAtStart(const QString &path)
{
    // Work recovered just before is not given up without the question, even where confirmations
    // are off: the user has just chosen to keep it.
    guarded([this, &path] {
        const bool ask = askconfirmations;
        askconfirmations = true;
        const bool go = asksave();
        askconfirmations = ask;
        // Named from now on as a file chosen in a dialog is: by its absolute path.
        if (go)
            openLevelsFile(fromPath(std::filesystem::absolute(toPath(path)).lexically_normal().string()));
    });
}

void TMainForm::writeLevelsFileTo(const QString &path)
{
    const std::string previous = levelsfilepath;
    levelsfilepath = toPath(path);
    try {
        writeNamedLevelsFile();
    } catch (...) {
        levelsfilepath = previous; // the file is still the one it was
        throw;
    }
    mDocument->markSaved();
    mRecovery->dropCopy();
    rememberLevelsFile();
}

// writelevelsfile and the kept solutions beside it, with the file's name in the message of a failure.
void TMainForm::writeNamedLevelsFile()
{
    try {
        writelevelsfile();
        writeSolutionsFile(levelsfilepath); // the kept solutions beside it, on every save
    } catch (const EInOutError &e) {
        throw EInOutError(levelsfilepath + " was not saved: " + e.what(), e.errorCode());
    } catch (const Error &e) {
        throw Error(e.className(), levelsfilepath + " was not saved: " + e.what());
    }
    mDiskWatch->remember();
}

// When the window becomes active: if another program changed the open file since it was read or
// last written, asks to save over it (unsaved work) or to read it again (saved work), once for each
// change.
void TMainForm::checkFileOnDisk()
{
    if (mWaitingForSurface || !isActiveWindow() || QApplication::activeModalWidget())
        return;
    if (mDiskWatch->checkFile())
        frameChanged();
}

// Reads the open file again in place of the levels held (its question answered), keeping the current
// level and the view where the file still has them.
void TMainForm::reloadLevelsFile()
{
    const std::string path = levelsfilepath;
    const int32_t level = curlevel;
    const double x = viewx, y = viewy;
    try {
        mDocument->open(path);
    } catch (...) {
        if (!fileopen)
            closeLevelsFile(); // part of the file read: nothing of it may be saved over the file
        throw;
    }
    mRecovery->dropCopy();
    mDiskWatch->remember();
    curlevel = levelsinfo.count == 0 ? 0 : std::clamp(level, 1, levelsinfo.count);
    prevlevel = curlevel;
    viewx = x;
    viewy = y;
    clampView();
    enablefilemenus();
    followCurrentLevel();
}

void TMainForm::Save1Click()
{
    mDocument->endStroke();
    if (!levelsfilepath.empty()) {
        if (!mDiskWatch->mayWriteOver(levelsfilepath))
            return;
        writeNamedLevelsFile();
        mDocument->markSaved();
        rememberLevelsFile();
        mChecks->checkSavedFile();
        mRecovery->dropCopy();
        return;
    }
    Saveas1Click();
}

void TMainForm::Saveas1Click()
{
    // The open file's own name, in its own folder; for a new file its name and ".lev", never a bare
    // ".lev" (a hidden file that the open dialog does not list).
    QString directory, name = toQt(newfilename) + ".lev";
    if (!levelsfilepath.empty()) {
        const QFileInfo file(fromPath(levelsfilepath));
        directory = file.path();
        name = file.fileName();
    } else if (newfilename.empty()) {
        name = "Untitled.lev";
    }
    const QString path = showFileDialog({FileDialogRequest::Mode::Save, kSaveTitle, kSaveFilter, directory, name, true},
                                        this);
    if (path.isEmpty() || !mDiskWatch->mayWriteOver(toPath(path)))
        return;
    writeLevelsFileTo(path);
    mChecks->checkSavedFile();
}

// After Open or New: while no level is shown the surface says how to show one; a map still shown
// from the file before gets the tiles of the new current level.
void TMainForm::followFileOpened()
{
    rememberLevelsFile(); // opened, at start, or recovered
    if (!mapShown())
        DXDraw->setHint(kNoLevelShownHint);
    followCurrentLevel();
}

void TMainForm::Close1Click()
{
    if (!asksave())
        return;
    mRecovery->dropCopy(); // saved, or given up
    closeLevelsFile();
}

// Close Levels File past its question: the map stopped and black, no file open, its items disabled.
void TMainForm::closeLevelsFile()
{
    DXTimer.setEnabled(false);
    waitForSurface();
    if (DXDraw->ReadyToDraw()) {
        DXDraw->Surface().Fill(0);
        DXDraw->Flip();
    }
    DXDraw->unsetCursor();
    DXDraw->setHint(kNoLevelHint);
    mDocument->close();
    mDiskWatch->forget();
    disablefilemenus();
}

// Close's bounded wait for the drawing surface, during which no menu command runs.
void TMainForm::waitForSurface()
{
    // The surface may be unavailable for a while (a minimised window); the wait is bounded, and the
    // closing goes on without it.
    mWaitingForSurface = true;
    const std::unique_ptr<bool, void (*)(bool *)> done(&mWaitingForSurface, [](bool *waiting) { *waiting = false; });
    QElapsedTimer waited;
    waited.start();
    while (!DXDraw->ReadyToDraw() && waited.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

void TMainForm::Thislevel1Click()
{
    if (!fileopen) {
        showMessage(MessageKind::Error, "You must first open or create a new levels file", MessageButtons::Ok, this);
        return;
    }
    dialogok = false;
    mDialogs.newLevel->exec(); // its changes are steps of their own
    // A level chosen with Edit is shown, also in a file whose map was not started yet.
    if (dialogok && !mapShown())
        showMap();
    followCurrentLevel();
}

void TMainForm::Newlevel1Click()
{
    // One step for the level added and what is done to the levels while its dialog is open.
    bool kept = false;
    mDocument->runStepWithParts([&](StoreStep &step) {
        kept = addLevelCommand(*mDialogs.newLevel, [this](const std::string &name) { loadTiles(name); }, &step);
        return kept ? "Add Level" : "Edit Levels";
    });
    // The first level of a file whose levels were all cancelled or deleted starts the map.
    if (kept && !mapShown())
        showMap();
    followCurrentLevel();
}

void TMainForm::Deletelevel1Click()
{
    mDocument->runStep("Delete Level", [](StoreStep &step) { deleteCurrentLevelCommand(&step); });
    followCurrentLevel();
}

void TMainForm::fromSupaPlexlevelsfile1Click() { importSupaplexLevel(QString()); }

// Import Level from a Supaplex levels file: the file given (a dropped one), or asked for when empty.
void TMainForm::importSupaplexLevel(const QString &file)
{
    TForm2 &dialog = madeOnFirstUse(mDialogs.importLevels, this);
    dialog.settingsFile = mSettings.file();
    // The preview draws the overview's thumbnails, each graphics file read once for this import.
    auto tiles = std::make_shared<ThumbnailTileCache>(3);
    dialog.previewOf = [tiles](const tlevel &level) { return thumbnailImage(tiles->draw(gamedir, level)); };
    // All the levels imported are one step, taken back together, named by how many they are.
    mDocument->runStepWithParts([&](StoreStep &step) {
        const int imported = importSupaplexCommand(dialog, this, file);
        for (int32_t k = levelsinfo.count - imported + 1; k <= levelsinfo.count; ++k)
            step.levelInserted(k);
        return imported > 1 ? "Import " + std::to_string(imported) + " Levels" : std::string("Import Level");
    });
    followCurrentLevel();
}

// The chosen name reaches the game's configuration file when the program ends.
void TMainForm::CurentLevesFile1Click() { mDialogs.levelsFile->exec(); }

void TMainForm::Contents1Click() { showHelpContents(madeOnFirstUse(mDialogs.help, this)); }

void TMainForm::GettingStarted1Click() { showHelpGettingStarted(madeOnFirstUse(mDialogs.help, this)); }

void TMainForm::About1Click() { madeOnFirstUse(mDialogs.about, this).exec(); }

} // namespace qm
