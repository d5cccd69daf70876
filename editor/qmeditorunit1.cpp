#include "qmeditorunit1.h"

#include "checkscontroller.h"
#include "diskwatch.h"
#include "maptoolscontroller.h"
#include "recoverycontroller.h"
#include "overviewcontroller.h"
#include "playcontroller.h"

#include "editor/core/levelgraphics.h"
#include "editor/core/mapoverlays.h"
#include "editor/core/mapview.h"
#include "editor/core/playsession.h"

#include "commands/messagebox.h"

#include "levels/gameconfig.h"
#include "levels/levelstore.h"

#include "platform/errors.h"
#include "platform/files.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QUndoStack>
#include <QWindow>
#include <cerrno>

namespace qm {

namespace {

// Events after which the frame may show something else: input to any window of the editor (its
// other windows act on the map too), and what the window system does to the main window and its
// surface. Paint events are not among them: they show the frame already drawn.
bool changesFrame(const QEvent &event, bool toMainWindow)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::Drop:
        return true;
    case QEvent::Expose:
    case QEvent::Show:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
    case QEvent::ScreenChangeInternal:
        return toMainWindow;
    default:
        return false;
    }
}

} // namespace

TMainForm::TMainForm(const QString &settingsFile, const QString &gameDirectory, const QString &recoveryDirectory)
    : DXTimer(mIdleHost), mSettings(settingsFile), mGameDirectory(gameDirectory)
{
    mDocument = new LevelDocument(this);
    connect(mDocument, &LevelDocument::historyMoved, this, [this] { frameChanged(); });
    mRecovery = new RecoveryController(this, *mDocument, recoveryDirectory,
                                       {[this](const std::function<void()> &handler) { guarded(handler); },
                                        [this] {
                                            if (curlevel >= 1)
                                                startEditing();
                                            followFileOpened();
                                            enablefilemenus();
                                            // This editor's own copy replaces the recovered one.
                                            workChanged();
                                        },
                                        [this] { updateCaption(); }});
    mMapTools = new MapToolsController(this, *mDocument,
                                       {[this] { return mapShown(); }, [this]() -> const TPictureCollection & {
                                            return patratele.Items();
                                        },
                                        [this](int32_t tile) { return tileWidth(tile); }, [this] { workChanged(); },
                                        [this](const std::function<void()> &handler) { guarded(handler); }});
    mChecks = new ChecksController(
        this, *mDocument,
        [this](int32_t level, std::optional<CellPlace> cell) { guarded([&] { showFinding(level, cell); }); },
        [this] { updateCaption(); });
    mPlay = new PlayController(this, *mDocument,
                               {[this] { frameChanged(); }, [this](bool playing) { followPlaying(playing); },
                                [this](const QString &text) { statusBar()->showMessage(text); },
                                [this](const std::function<void()> &handler) { guarded(handler); }});
    connect(mDocument, &LevelDocument::solutionsUnreadable, this,
            [this](const QString &why) { mMapTools->showStatusMessage(why); });
    mDiskWatch = new DiskWatch(this, *mDocument,
                               {[this] { item("Save1")->trigger(); },
                                [this] { guarded([this] { reloadLevelsFile(); }); }});
    mOverview = new OverviewController(
        this, *mDocument, mSettings,
        {[this](int32_t level) { guarded([&] { showFinding(level, std::nullopt); }); },
         [this](const std::function<void()> &work) { runCommand([&] { work(); followCurrentLevel(); }); }});
    connect(mDocument, &LevelDocument::savedChanged, this, [this] { updateCaption(); });
    connect(mDocument, &LevelDocument::fileReplaced, this, [this] { updateCaption(); });
    setWindowTitle(QString(kApplicationTitle) + "[*]");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);

    // The first size is the smallest; a larger window shows more of the map (setControlSize).
    maparea = MapArea{};
    DXDraw = new TDXDraw(this, TDXDraw::displayPixelFormat());
    DXDraw->setObjectName("DXDraw");
    DXDraw->setMinimumSize(maparea.controlWidth, maparea.controlHeight);
    DXDraw->resize(maparea.controlWidth, maparea.controlHeight);
    DXDraw->setSurfaceSize(maparea.surfaceWidth(), maparea.surfaceHeight());
    setCentralWidget(DXDraw);
    DXDraw->OnResize = [this](QSize size) { controlResized(size); };
    DXDraw->OnFinalize = [this] { DXDrawFinalize(); };
    // A surface made, remade, resized or restored holds no frame yet.
    DXDraw->attachListener(&mFrameChanged, [this](DrawTarget &, DXDrawNotice) { frameChanged(); });
    DXDraw->setHint(kNoLevelHint);
    DXDraw->OnMouseDown = [this](Qt::MouseButton button, QPoint p) { DXDrawMouseDown(button, p.x(), p.y()); };
    DXDraw->OnMouseMove = [this](QPoint p) { DXDrawMouseMove(p.x(), p.y()); };
    DXDraw->OnMouseUp = [this](Qt::MouseButton button, QPoint at) {
        mMapTools->mouseUp(button, at);
        DXDrawMouseUp();
    };
    // The drawing control's surfaces are made once and never lost: the pictures need not be kept
    // beside them.
    meniulist.Items().setReleasesPictures(true);
    patratele.Items().setReleasesPictures(true);
    meniulist.SetDXDraw(DXDraw);
    patratele.SetDXDraw(DXDraw);
    mTileWidth = [this](int32_t tile) { return tileWidth(tile); };

    // The frame timer as the window defines it: every idle pass a tick, also while inactive.
    mIdleHost.attach(&DXTimer);
    DXTimer.setInterval(0);
    DXTimer.setActiveOnly(false);
    DXTimer.OnTimer = [this](int32_t lag) { DXTimerTimer(lag); };
    DXTimer.OnActivate = [this] { DXTimerActivate(); };
    DXTimer.OnDeactivate = [this] { DXTimerDeactivate(); };
    DXTimer.loaded();

    createActions();
    setAcceptDrops(true);
    qApp->installEventFilter(this);
    FormCreate();
    mMapTools->createStatusLine();

    // The client area's first size is the smallest; the menu bar and status line come on top of it.
    adjustSize();
    setMinimumSize(sizeHint());
    resize(sizeHint());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    DXDraw->setFocus();
}

TMainForm::~TMainForm()
{
    qApp->removeEventFilter(this);
    mDocument->disconnect(this); // its history goes after the menu items it updates
    // The control goes first, while the timer and image lists it notifies still exist.
    delete DXDraw;
    DXDraw = nullptr;
}

void TMainForm::undoClick()
{
    mDocument->undo();
    followHistory();
}

void TMainForm::redoClick()
{
    mDocument->redo();
    followHistory();
}

// After an undo or redo: the current level's tiles, and no recovery copy at the saved state.
void TMainForm::followHistory()
{
    followCurrentLevel();
    // Back at the saved state: the file on disk holds this work, its recovery copy is not needed.
    if (fileopen && saved)
        mRecovery->dropCopy();
}

// Runs a handler; a failure is shown in an error box and ends it, as a failed command does.
void TMainForm::guarded(const std::function<void()> &handler)
{
    frameChanged();
    createDialogs();
    try {
        handler();
    } catch (const std::exception &e) {
        showError(QString::fromLatin1(e.what()), this);
    }
}

void TMainForm::FormCreate()
{
    // The preferences first: whatever fails below, closing writes back what was read here.
    const EditorPreferences preferences = mSettings.readPreferences();
    askconfirmations = preferences.askConfirmations;
    MapTools &tools = mMapTools->tools();
    tools.overlays = preferences.overlays;
    tools.reach = preferences.reach;
    maparea.square = preferences.zoomSquare;
    item("AskConfirmations1")->setChecked(askconfirmations);
    item("ShowStartSquareAndGrid1")->setChecked(tools.overlays);
    item("reachOverlay")->setChecked(tools.reach);
    try {
        gamedir = mGameDirectory.isEmpty() ? executableDirectory() : mGameDirectory.toStdString();
        levelsinfo.count = 0;
        levelsinfo.offsets.fill(0);
        DXTimer.setEnabled(false);
        fileopen = false;
        meniulist.Items().LoadFromFile(gamedir + "Editor.dxg");
        loadeddxg.clear();
        mGameConfig = GameConfig::Unreadable;
        try {
            readgameconfig();
        } catch (const EInOutError &e) {
            if (e.errorCode() == ENOENT)
                mGameConfig = GameConfig::Missing;
            throw;
        }
        mGameConfig = GameConfig::Read;
    } catch (const std::exception &e) {
        // The window opens all the same; the remaining steps are skipped.
        QString text = QString::fromLatin1(e.what());
        if (!writesGameConfigAtExit())
            text += QString("\n\n") + kGameConfigKept;
        showError(text, this);
    }
}

// Whether closing the window writes the game configuration: only when start-up read it, or found
// none (then it is made).
bool TMainForm::writesGameConfigAtExit() const
{
    // Values that were not read are blanks: written, they would replace the game's own settings.
    return mGameConfig == GameConfig::Read || mGameConfig == GameConfig::Missing;
}

// A tick draws and presents a frame only when something it shows may have changed since the last one
// presented; otherwise the screen already shows it. Anything that changes what the frame shows
// outside input, window events, commands, undo and store changes calls frameChanged().
void TMainForm::DXTimerTimer(int32_t lagCount)
{
    try {
        if (!DXDraw || !DXDraw->ReadyToDraw())
            return;
        PointerZone zone = PointerZone::None;
        // Playing, the view follows the hero; the editing view waits, unscrolled, for its return.
        if (fileopen && !mPlay->playing()) {
            const double x = viewx, y = viewy;
            zone = scrollview(lagCount);
            if (viewx != x || viewy != y)
                frameChanged();
        }
        if (!mFrameChanged)
            return;
        mFrameChanged = false;
        if (mPlay->playing()) {
            drawPlayFrame(DXDraw->Surface(), FramePictures{meniulist.Items(), patratele.Items()}, *mPlay->session());
            DXDraw->Flip();
            return;
        }
        mMapTools->updateStatus();
        if (!fileopen) {
            DXDraw->Surface().Fill(0);
            DXDraw->Flip();
            return;
        }
        // Only what changed since the last frame is drawn and shown again.
        const std::vector<TRect> &changed = drawChangedToolsFrame(
            mFrameMemory, zone, DXDraw->Surface(), FramePictures{meniulist.Items(), patratele.Items()},
            mMapTools->tools());
        if (!changed.empty())
            DXDraw->presentChanged(changed);
    } catch (const std::exception &e) {
        // A surface that cannot be restored stops the frames first: the error box runs ticks of its own.
        DXTimer.setEnabled(false);
        showError(QString::fromLatin1(e.what()), this);
    }
}

// The caption: the program's title, the saved file's error count, " [Pause]" while paused, and a note.
void TMainForm::updateCaption()
{
    // "[*]": the mark of unsaved work, shown while the open file is changed.
    setWindowTitle(QString(kApplicationTitle) + "[*]" + mChecks->savedErrorsNote() + (mPaused ? " [Pause]" : "")
                   + (mRecovery->note().isEmpty() ? QString() : " - " + mRecovery->note()));
    setWindowModified(fileopen && !saved);
}

void TMainForm::DXTimerActivate()
{
    mPaused = false;
    updateCaption();
}

void TMainForm::DXTimerDeactivate()
{
    mPaused = true;
    updateCaption();
}

void TMainForm::DXDrawFinalize() { DXTimer.setEnabled(false); }

// The surface and the map area follow the control: a larger window shows more squares.
void TMainForm::controlResized(QSize size)
{
    setControlSize(size.width(), size.height());
    DXDraw->setSurfaceSize(maparea.surfaceWidth(), maparea.surfaceHeight());
    frameChanged();
}

void TMainForm::DXDrawMouseDown(Qt::MouseButton button, int32_t x, int32_t y)
{
    if (!mapShown() || mPlay->playing())
        return;
    const MouseButton which = button == Qt::LeftButton    ? MouseButton::Left
                              : button == Qt::RightButton ? MouseButton::Right
                                                          : MouseButton::Middle;
    if (mMapTools->mouseDown(button, QGuiApplication::keyboardModifiers(), x, y))
        return;
    if (which == MouseButton::Left && fileopen && !mDocument->stroke())
        mDocument->beginStroke("Paint");
    mapMouseDown(which, x, y, mTileWidth, mDocument->stroke());
    if (painting) {
        mDocument->strokeChanged();
        workChanged();
    }
}

void TMainForm::DXDrawMouseMove(int32_t x, int32_t y)
{
    if (!mapShown() || mPlay->playing() || mMapTools->mouseMove(x, y))
        return;
    mapMouseMove(x, y, mTileWidth, mDocument->stroke());
    if (painting) {
        mDocument->strokeChanged();
        workChanged();
    }
}

void TMainForm::DXDrawMouseUp()
{
    mapMouseUp();
    mDocument->endStroke();
}

// After every menu command and every paint: the frame, the status line, the overview and the
// recovery copy follow the work.
void TMainForm::workChanged()
{
    frameChanged();
    // While the map is shown its tick brings the status line along; without it, nothing else would.
    if (!mapShown())
        mMapTools->updateStatus();
    mOverview->storeChanged();
    mRecovery->workChanged();
}

void TMainForm::offerRecovery() { mRecovery->offer(); }

void TMainForm::updateStatus() { mMapTools->updateStatus(); }

QString TMainForm::statusLine() const { return mMapTools->statusLine(); }

const MapTools &TMainForm::mapTools() const { return mMapTools->tools(); }

// The width of the tile picture for a tile value (0 when there is none): painting needs it.
int32_t TMainForm::tileWidth(int32_t tile) const
{
    const TPictureCollection &tiles = patratele.Items();
    if (tile < 0 || tile >= tiles.Count())
        return 0;
    return tiles.Items(tile).Picture().Width();
}

// Loads gamedir + name into patratele and remembers it as loadeddxg. A file that does not load
// leaves the tiles as they were.
void TMainForm::loadTiles(const std::string &dxgName)
{
    // Read aside first: loading clears the tiles before it reads. The trial is let go before the
    // tiles load, so that both are never held at once.
    {
        TPictureCollection trial;
        loadLevelGraphics(trial, gamedir, dxgName);
    }
    loadLevelGraphics(patratele.Items(), gamedir, dxgName);
    loadeddxg = dxgName;
    frameChanged();
}

// The current level's graphics file loaded as the tiles, unless it is the one loaded.
void TMainForm::loadCurrentLevelTiles()
{
    // Only a level whose graphics file is not the one loaded: the levels dialog's Edit has normally
    // loaded it already, and a second load would hold two sets of pictures at once. A theme that
    // cannot be loaded is reported; the level stays open and editable.
    if (curlevel >= 1 && curlevel <= levelsinfo.count && levels[curlevel].dxg != loadeddxg)
        guarded([this] { loadTiles(levels[curlevel].dxg); });
}

// After a command that may change the current level: while the map is shown, the current level's
// graphics file is loaded when it is not the one loaded (a failure is reported, the tiles stay).
void TMainForm::followCurrentLevel()
{
    if (mapShown())
        loadCurrentLevelTiles();
}

// Makes level current as the levels dialog's Edit does, then centres the view on cell and puts the
// pointer's mark there (a finding of the checks, a level of the overview).
void TMainForm::showFinding(int32_t level, std::optional<CellPlace> cell)
{
    // A double-click while Close waits for the surface would change the level inside Close.
    if (mWaitingForSurface || !fileopen || level < 1 || level > levelsinfo.count)
        return;
    curlevel = level;
    if (!mapShown())
        showMap();
    followCurrentLevel();
    if (cell)
        centreViewOn(cell->row, cell->column);
}

// The level chosen: its tiles loaded, the frame timer on, the system pointer hidden over the map
// (each frame draws the editor's own).
void TMainForm::startEditing()
{
    loadCurrentLevelTiles();
    showMap();
}

// The frame timer on and the system pointer hidden over the map, when the map is not shown yet.
void TMainForm::showMap()
{
    DXTimer.setEnabled(true);
    frameChanged();
    DXDraw->setCursor(Qt::BlankCursor);
    DXDraw->setHint(QString());
}

void TMainForm::FormKeyDown(int key, Qt::KeyboardModifiers shift)
{
    if (mMapTools->keyPressed(key))
        return;
    if (key == Qt::Key_Escape)
        close();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && (shift & Qt::AltModifier))
        showMessage(MessageKind::Information, "Quill Moss Editor cannot run in full screen mode.", MessageButtons::Ok,
                    this);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    // Key preview: the window sees every key meant for it before the focused control does, and does
    // not consume it. A key that the control passes on to its parents comes by here again: it counts
    // once, until its release.
    // The dialogs are made once the window is on the screen, not before: start-up shows it sooner.
    if (!mDialogs.newLevels && event->type() == QEvent::Expose && watched == windowHandle())
        createDialogs();
    if (!mFrameChanged && changesFrame(*event, watched == this || watched == DXDraw || watched == windowHandle()))
        frameChanged();
    // Back from another program: once the activation is over, see whether it changed the open file.
    if (event->type() == QEvent::WindowActivate && watched == this)
        QTimer::singleShot(0, this, [this] { checkFileOnDisk(); });
    // Whether the pointer is over the surface: the last position outlives a leave for edge scrolling.
    if (watched == DXDraw && event->type() == QEvent::Leave)
        mMapTools->tools().pointerOver = false;
    if (watched == DXDraw && (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress))
        mMapTools->tools().pointerOver =
            DXDraw->rect().contains(static_cast<const QMouseEvent *>(event)->position().toPoint());
    // Keys let go in another program send no release here.
    if (event->type() == QEvent::WindowDeactivate && watched == this)
        mMapTools->releaseKeys();
    if (event->type() == QEvent::Wheel && watched == DXDraw) {
        const auto *wheel = static_cast<const QWheelEvent *>(event);
        mMapTools->wheel(wheel->angleDelta(), wheel->modifiers(), wheel->position().toPoint());
        return true;
    }
    const bool press = event->type() == QEvent::KeyPress;
    if ((press || event->type() == QEvent::KeyRelease) && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        // Playing, the game's keys are the game's (and Escape returns to editing).
        if (mPlay->keyEvent(*key))
            return true;
        if (!key->isAutoRepeat())
            mMapTools->keyHeld(key->key(), press, key->modifiers());
        if (!press) {
            mLastKey = nullptr;
        } else if (key != mLastKey || key->key() != mLastKeyCode || key->timestamp() != mLastKeyTime) {
            mLastKey = key;
            mLastKeyCode = key->key();
            mLastKeyTime = key->timestamp();
            FormKeyDown(key->key(), key->modifiers());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // Escape or the close box while Close waits for the surface: closing inside Close would end the
    // window under it. The wait is short; the user closes again after it.
    if (mWaitingForSurface) {
        event->ignore();
        return;
    }
    mPlay->stop(); // closing while playing asks what closing while editing asks, no more
    bool canClose = true;
    guarded([&] { canClose = FormCloseQuery(); });
    if (!canClose) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TMainForm::FormCloseQuery() { return asksave(); }

void TMainForm::FormClose()
{
    if (writesGameConfigAtExit())
        guarded([] { writegameconfig(); });
    const MapTools &tools = mMapTools->tools();
    mSettings.writePreferences({askconfirmations, tools.overlays, tools.reach, maparea.square});
    mRecovery->dropCopy();
}

void TMainForm::AskConfirmations1Click()
{
    askconfirmations = item("AskConfirmations1")->isChecked();
}

void TMainForm::Exit1Click() { close(); }


} // namespace qm
