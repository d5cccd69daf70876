#pragma once
// The main window: the drawing surface, the frame timer, the two image lists, the menu and the
// handlers that route the window's events to the editor's plain functions.

#include "dxdraw.h"
#include "editorsettings.h"
#include "idlehost.h"
#include "leveldocument.h"

#include "editor/core/mapediting.h"

#include "graphics/dximagelist.h"
#include "graphics/dxtimer.h"
#include "levels/levelcheck.h"
#include "platform/fileio.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QImage;
class QLabel;
class QMenu;
class QTimer;

namespace qm {

class HelpWindow;
class ChecksController;
class DiskWatch;
struct MapTools;
class MapToolsController;
class OverviewController;
class RecentFiles;
class RecoveryController;
class TForm2;
class TForm3;
class Tlevelsfile;
class Tnewlevel;
class Tnewlevels;

inline constexpr const char *kApplicationTitle = "Quillmoss the Virtual Reality Levels-Editor v1.2";
// What the drawing surface says while no level is shown.
inline constexpr const char *kNoLevelHint = "Open a levels file, or make a new one, from the File menu.";
// What it says while a levels file is open but none of its levels is shown.
inline constexpr const char *kNoLevelShownHint = "This levels file has no level shown: pick one with Edit Levels "
                                                 "(Ctrl+E) or add one with Add Level (Ctrl+L).";

// Added to the start-up error when the game configuration was not read: exit leaves the file alone.
inline constexpr const char *kGameConfigKept = "Quillmoss.Cfg was not read: the editor leaves it as it is.";

class TMainForm : public QMainWindow {
    Q_OBJECT
    IdleHost mIdleHost; // first: the frame timer is built on it

public:
    // settingsFile: where the "Ask Confirmations" preference is kept (empty: the user's settings).
    // gameDirectory: where the data files are (empty: the program's own directory, as always outside
    // the tests). recoveryDirectory: where recovery copies of unsaved work go (empty: the user's data
    // directory).
    explicit TMainForm(const QString &settingsFile = QString(), const QString &gameDirectory = QString(),
                       const QString &recoveryDirectory = QString());
    ~TMainForm() override;

    // Components.
    TDXDraw *DXDraw = nullptr;
    TDXTimer DXTimer;
    TDXImageList meniulist; // the editor's pictures, by name
    TDXImageList patratele; // the current level's tiles, by tile value

    // Start-up and frame loop.
    void FormCreate();
    // A tick draws and presents a frame only when something it shows may have changed since the last
    // one presented; otherwise the screen already shows it.
    void DXTimerTimer(int32_t lagCount);
    // Marks the frame as changed: the next tick draws it. Input, expose, resize and show events, menu
    // commands, undo and redo, store and tiles changes and edge scrolling mark it already; anything
    // else that changes what the frame shows (a timer of its own, say) calls this.
    void frameChanged() { mFrameChanged = true; }
    void DXTimerActivate();
    void DXTimerDeactivate();
    void DXDrawFinalize();

    // Mouse and keys.
    void DXDrawMouseDown(Qt::MouseButton button, int32_t x, int32_t y);
    void DXDrawMouseMove(int32_t x, int32_t y);
    void DXDrawMouseUp();
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);

    // The status line's text now, as the tick brings it up to date (the map tools own it).
    void updateStatus();
    QString statusLine() const;

    // Levels-file commands and the unsaved-changes prompt; their handlers are in menucommands.cpp.
    // The menu items and dialogs are the window's own: tests reach them through Qt by their object
    // names (findChild<QAction *>("Save1")) and types (findChild<Tnewlevel *>()), as a user would.
    bool asksave();
    void enablefilemenus();
    void disablefilemenus();
    void Newlevelsfile1Click();
    void Openlevelsfile1Click();
    // Open Levels File after its file dialog: reads path, then shows the levels dialog.
    void openLevelsFile(const QString &path);
    // File > Open Recent, dropped files and the current level as a picture (desktopcommands.cpp). A
    // recent file opens as Open Levels File does after its file dialog, once asksave has said yes.
    void openRecentFile(const QString &path);
    void exportPictureClick();
    void copyPictureClick();
    // The current level drawn whole, as `qmtool lev render` draws it, with the overlays while shown.
    QImage levelPicture();
    // The file named on the command line, opened as Open Levels File does (after the unsaved-changes
    // question when recovered work is open); a file that cannot be read shows its message and the
    // editor goes on without a file.
    void openAtStart(const QString &path);
    // When the window becomes active: if another program changed the open file since it was read or
    // last written, asks to save over it (unsaved work) or to read it again (saved work), once for
    // each change.
    void checkFileOnDisk();
    void Save1Click();
    void Saveas1Click();
    void Close1Click();
    // Close Levels File past its question: the map stopped and black, no file open, its items disabled.
    void closeLevelsFile();
    void Exit1Click();
    void Thislevel1Click();
    void AskConfirmations1Click();
    void Newlevel1Click();
    void Deletelevel1Click();
    void fromSupaPlexlevelsfile1Click();
    // Import Level from a Supaplex levels file: the file given (a dropped one), or asked for when empty.
    void importSupaplexLevel(const QString &file);
    void fromotherlevfile1Click();
    void CurentLevesFile1Click();
    void Contents1Click();
    void GettingStarted1Click();
    void About1Click();
    bool FormCloseQuery();
    void FormClose();

    // Loads gamedir + name into patratele and remembers it as loadeddxg. A file that does not load
    // leaves the tiles as they were.
    void loadTiles(const std::string &dxgName);
    // After a command that may change the current level: while the map is shown, the current level's
    // graphics file is loaded when it is not the one loaded (a failure is reported, the tiles stay).
    void followCurrentLevel();
    // The current level's graphics file loaded as the tiles, unless it is the one loaded.
    void loadCurrentLevelTiles();
    // Whether the map is shown: only then do clicks on the surface change anything.
    bool mapShown() const { return DXTimer.Enabled(); }
    // The width of the tile picture for a tile value (0 when there is none): painting needs it.
    int32_t tileWidth(int32_t tile) const;

    // Undo and Redo of the Edit menu. A painting stroke still going on is ended first.
    void undoClick();
    void redoClick();
    // The open file's editing state: its undo history, the stroke and step going on, saved.
    LevelDocument &document() { return *mDocument; }
    UndoHistory &history() { return mDocument->history(); }
    const MapTools &mapTools() const;

    QString settingsFile() const { return mSettings.file(); }
    // Whether closing the window writes the game configuration: only when start-up read it, or
    // found none (then it is made).
    bool writesGameConfigAtExit() const;

    // Makes level current as the levels dialog's Edit does, then centres the view on cell and puts
    // the pointer's mark there (a finding of the checks, a level of the overview).
    void showFinding(int32_t level, std::optional<CellPlace> cell);

    // At start-up, before a file named on the command line: the recovery copies of unsaved work that
    // no running editor owns offered (the recovery controller asks).
    void offerRecovery();

    // The level chosen: its tiles loaded, the frame timer on, the system pointer hidden over the map
    // (each frame draws the editor's own).
    void startEditing();
    // The frame timer on and the system pointer hidden over the map, when the map is not shown yet.
    void showMap();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The menu (windowactions.cpp): every item made from one table. A menu command runs through
    // runCommand: not while Close waits for the surface, a failure in an error box.
    void createActions();
    void runCommand(const std::function<void()> &handler);
    QAction *item(const char *name) const;
    void setFileMenusEnabled(bool enabled);
    std::vector<QAction *> mFileItems;    // the items that need an open file
    std::vector<QAction *> mHistoryItems; // Undo and Redo

    // The dialogs, made once and reused: those of the file commands by createDialogs, the import
    // dialog, the about box and the help window when first shown. The levels dialog reports through
    // dialogok.
    Tnewlevels *newlevels = nullptr;
    Tnewlevel *newlevel = nullptr;
    TForm2 *importdialog = nullptr;
    TForm3 *aboutbox = nullptr;
    Tlevelsfile *levelsfile = nullptr;
    HelpWindow *helpwindow = nullptr;

    // The caption: the program's title, the saved file's error count, " [Pause]" while paused, and a note.
    void updateCaption();
    // The levels dialog of New and Open: what it changes is not a step.
    void showLevelsDialogUnrecorded();
    // Texts and enabled state of Undo and Redo from the history, while the file commands are enabled.
    void updateUndoActions();
    // After an undo or redo: the current level's tiles, and no recovery copy at the saved state.
    void followHistory();
    // Makes the dialogs of the file commands, once: when the window is first exposed, or when a
    // command needs them sooner.
    void createDialogs();
    // The open file's path, when it has one, at the top of Open Recent.
    void rememberLevelsFile();
    // Runs a handler; a failure is shown in an error box and ends it, as a failed command does.
    void guarded(const std::function<void()> &handler);
    // The "Create new" dialog: whether Ok was pressed, and the name typed.
    bool askNewFileName(std::string &name);
    // Close's bounded wait for the drawing surface, during which no menu command runs.
    void waitForSurface();
    void writeLevelsFileTo(const QString &path);
    // writelevelsfile, with the file's name in the message of a failure.
    void writeNamedLevelsFile();
    // Reads the open file again in place of the levels held (its question answered), keeping the
    // current level and the view where the file still has them.
    void reloadLevelsFile();
    // After Open or New: while no level is shown the surface says how to show one; a map still shown
    // from the file before gets the tiles of the new current level.
    void followFileOpened();

    // After every menu command and every paint: the frame, the status line, the overview and the
    // recovery copy follow the work.
    void workChanged();

    enum class GameConfig { NotRead, Unreadable, Missing, Read };
    GameConfig mGameConfig = GameConfig::NotRead;
    EditorSettings mSettings;
    QString mGameDirectory;
    TileWidth mTileWidth;
    RecoveryController *mRecovery = nullptr; // recovery copies of unsaved work
    ChecksController *mChecks = nullptr;     // Check Level, Check All Levels, the saved file's errors
    OverviewController *mOverview = nullptr; // Options > Levels Overview
    bool mPaused = false;
    bool mFrameChanged = true;
    LevelDocument *mDocument = nullptr;
    MapToolsController *mMapTools = nullptr;
    RecentFiles *mRecentFiles = nullptr;
    DiskWatch *mDiskWatch = nullptr; // the open file as read or written, against changes by others
    bool mFileMenusEnabled = false;
    bool mWaitingForSurface = false; // events run inside Close: menu commands are not started
    const QKeyEvent *mLastKey = nullptr;
    int mLastKeyCode = 0;
    ulong mLastKeyTime = 0;
};

} // namespace qm
