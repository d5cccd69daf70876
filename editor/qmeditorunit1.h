#pragma once
// The main window: the drawing surface, the frame timer, the two image lists, the menu, and the
// handlers that route its events to the document, the controllers per feature (map tools, checks,
// overview, recovery, disk watch) and the editor's plain functions. Menu handlers are in
// menucommands.cpp and desktopcommands.cpp, the menu table in windowactions.cpp. Tests reach menu
// items and dialogs through Qt by object name and type, as a user would.

#include "dxdraw.h"
#include "editorsettings.h"
#include "idlehost.h"
#include "leveldocument.h"
#include "windowdialogs.h"
#include "windowtexts.h"

#include "editor/core/framememory.h"
#include "editor/core/mapediting.h"

#include "graphics/dximagelist.h"
#include "graphics/dxtimer.h"
#include "levels/levelcheck.h"

#include <QMainWindow>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QImage;

namespace qm {

class ChecksController;
class DiskWatch;
struct MapTools;
class MapToolsController;
class OverviewController;
class PlayController;
class RecentFiles;
class RecoveryController;

class TMainForm : public QMainWindow {
    Q_OBJECT
    IdleHost mIdleHost; // first: the frame timer is built on it

public:
    // Empty arguments: the user's settings, the program's own directory, the user's data directory.
    explicit TMainForm(const QString &settingsFile = QString(), const QString &gameDirectory = QString(),
                       const QString &recoveryDirectory = QString());
    ~TMainForm() override;

    // Components.
    TDXDraw *DXDraw = nullptr;
    TDXTimer DXTimer;
    TDXImageList meniulist; // the editor's pictures, by name
    TDXImageList patratele; // the current level's tiles, by tile value

    // Start-up, frame loop, mouse and keys. A tick draws only after frameChanged() (input, window
    // events, commands, undo and store changes mark it already).
    void FormCreate();
    void DXTimerTimer(int32_t lagCount);
    void frameChanged() { mFrameChanged = true; }
    void DXTimerActivate();
    void DXTimerDeactivate();
    void DXDrawFinalize();
    void controlResized(QSize size);
    void DXDrawMouseDown(Qt::MouseButton button, int32_t x, int32_t y);
    void DXDrawMouseMove(int32_t x, int32_t y);
    void DXDrawMouseUp();
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);
    bool FormCloseQuery();
    void FormClose();

    // Menu commands.
    bool asksave();
    void enablefilemenus();
    void disablefilemenus();
    void Newlevelsfile1Click();
    void Openlevelsfile1Click();
    void openLevelsFile(const QString &path); // Open after its file dialog
    void openRecentFile(const QString &path); // Open Recent and dropped files, once asksave said yes
    void openAtStart(const QString &path);    // the file named on the command line
    void Save1Click();
    void Saveas1Click();
    void Close1Click();
    void closeLevelsFile(); // Close past its question
    void Exit1Click();
    void Thislevel1Click();
    void AskConfirmations1Click();
    void Newlevel1Click();
    void Deletelevel1Click();
    void fromSupaPlexlevelsfile1Click();
    void importSupaplexLevel(const QString &file); // empty: asked for
    void fromotherlevfile1Click();
    void exportPictureClick();
    void copyPictureClick();
    QImage levelPicture(); // the current level drawn whole, with the overlays while shown
    void CurentLevesFile1Click();
    void Contents1Click();
    void GettingStarted1Click();
    void About1Click();
    void undoClick();
    void redoClick();
    void checkFileOnDisk(); // when the window becomes active
    void offerRecovery();   // at start-up, before a file named on the command line

    // The map and its tiles.
    void loadTiles(const std::string &dxgName);
    void followCurrentLevel();
    void loadCurrentLevelTiles();
    bool mapShown() const { return DXTimer.Enabled(); }
    int32_t tileWidth(int32_t tile) const;
    void startEditing();
    void showMap();
    void showFinding(int32_t level, std::optional<CellPlace> cell);

    // State for the tests and the controllers.
    LevelDocument &document() { return *mDocument; }
    UndoHistory &history() { return mDocument->history(); }
    const MapTools &mapTools() const;
    PlayController &play() { return *mPlay; }
    // Play Level (F9) and Play from Here (Shift+F9); either one again returns to editing.
    void playLevelClick(bool fromHere);
    void updateStatus();
    QString statusLine() const;
    QString settingsFile() const { return mSettings.file(); }
    bool writesGameConfigAtExit() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The menu table and its running (windowactions.cpp).
    void createActions();
    void runCommand(const std::function<void()> &handler);
    QAction *item(const char *name) const;
    void setFileMenusEnabled(bool enabled);
    void updateUndoActions();
    void followPlaying(bool playing);

    void guarded(const std::function<void()> &handler);
    void workChanged();
    void updateCaption();
    void createDialogs();
    void showLevelsDialogAtStart();
    bool askNewFileName(std::string &name);
    void followHistory();
    void followFileOpened();
    void rememberLevelsFile();
    void waitForSurface();
    void writeLevelsFileTo(const QString &path);
    void writeNamedLevelsFile();
    void reloadLevelsFile();

    enum class GameConfig { NotRead, Unreadable, Missing, Read };
    GameConfig mGameConfig = GameConfig::NotRead;
    EditorSettings mSettings;
    QString mGameDirectory;
    TileWidth mTileWidth;
    LevelDocument *mDocument = nullptr;
    MapToolsController *mMapTools = nullptr;
    ChecksController *mChecks = nullptr;
    OverviewController *mOverview = nullptr;
    PlayController *mPlay = nullptr;
    RecoveryController *mRecovery = nullptr;
    DiskWatch *mDiskWatch = nullptr;
    RecentFiles *mRecentFiles = nullptr;
    std::vector<QAction *> mFileItems;    // the items that need an open file
    std::vector<QAction *> mHistoryItems; // Undo and Redo
    WindowDialogs mDialogs;
    bool mPaused = false;
    bool mFrameChanged = true;
    FrameMemory mFrameMemory; // what the map shows, so that a frame draws only what changed
    bool mFileMenusEnabled = false;
    bool mWaitingForSurface = false; // events run inside Close: menu commands are not started
    const QKeyEvent *mLastKey = nullptr;
    int mLastKeyCode = 0;
    ulong mLastKeyTime = 0;
};

} // namespace qm
