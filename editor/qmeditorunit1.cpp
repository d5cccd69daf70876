#include "qmeditorunit1.h"

#include "editor/core/levelgraphics.h"
#include "editor/core/mapoverlays.h"
#include "editor/core/mapview.h"
#include "recovery.h"

#include "commands/messagebox.h"

#include "levels/gameconfig.h"
#include "levels/levelstore.h"

#include "platform/errors.h"
#include "platform/files.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QSettings>
#include <QUndoStack>
#include <QWindow>
#include <cerrno>

namespace qm {

namespace {

constexpr int kClientWidth = 784;
constexpr int kClientHeight = 480;
const char *const kAskConfirmationsKey = "AskConfirmations";
const char *const kOverlaysKey = "ShowStartSquareAndGrid";

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

std::unique_ptr<QSettings> openSettings(const QString &file)
{
    if (file.isEmpty())
        return std::make_unique<QSettings>("Quillmoss", "qmeditor");
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

} // namespace

TMainForm::TMainForm(const QString &settingsFile, const QString &gameDirectory, const QString &recoveryDirectory)
    : DXTimer(mIdleHost), mSettingsFile(settingsFile), mGameDirectory(gameDirectory)
{
    createRecovery(recoveryDirectory);
    setWindowTitle(kApplicationTitle);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    DXDraw = new TDXDraw(this, TDXDraw::displayPixelFormat());
    DXDraw->setObjectName("DXDraw");
    DXDraw->setFixedSize(kClientWidth, kClientHeight);
    DXDraw->setSurfaceSize(761, 483);
    setCentralWidget(DXDraw);
    DXDraw->OnFinalize = [this] { DXDrawFinalize(); };
    // A surface made, remade, resized or restored holds no frame yet.
    DXDraw->attachListener(&mFrameChanged, [this](DrawTarget &, DXDrawNotice) { frameChanged(); });
    DXDraw->setHint(kNoLevelHint);
    DXDraw->OnMouseDown = [this](Qt::MouseButton button, QPoint p) { DXDrawMouseDown(button, p.x(), p.y()); };
    DXDraw->OnMouseMove = [this](QPoint p) { DXDrawMouseMove(p.x(), p.y()); };
    DXDraw->OnMouseUp = [this](Qt::MouseButton button, QPoint at) {
        toolsMouseUp(button, at);
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

    createMenu();
    qApp->installEventFilter(this);
    FormCreate();
    createStatusLine();

    // The client area is fixed; the menu bar comes on top of it.
    adjustSize();
    setFixedSize(sizeHint());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    DXDraw->setFocus();
}

TMainForm::~TMainForm()
{
    qApp->removeEventFilter(this);
    // The control goes first, while the timer and image lists it notifies still exist.
    delete DXDraw;
    DXDraw = nullptr;
}

QAction *TMainForm::addItem(QMenu *menu, const char *name, const QString &caption, void (TMainForm::*handler)(),
                            const QKeySequence &shortcut)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::ApplicationShortcut);
    if (handler)
        connect(action, &QAction::triggered, this, [this, handler] {
            // A shortcut pressed while Close waits for the surface would run a command inside Close.
            if (!mWaitingForSurface) {
                guarded([this, handler] { (this->*handler)(); });
                workChanged();
            }
        });
    return action;
}

void TMainForm::createMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName("MainMenu1");
    File1 = bar->addMenu("&File");
    File1->setObjectName("File1");
    Newlevelsfile1 = addItem(File1, "Newlevelsfile1", "&New Levels File", &TMainForm::Newlevelsfile1Click);
    Openlevelsfile1 = addItem(File1, "Openlevelsfile1", "&Open Levels File", &TMainForm::Openlevelsfile1Click);
    Save1 = addItem(File1, "Save1", "&Save", &TMainForm::Save1Click, QKeySequence("Ctrl+S"));
    Saveas1 = addItem(File1, "Saveas1", "Save &as...", &TMainForm::Saveas1Click);
    Close1 = addItem(File1, "Close1", "&Close Levels File", &TMainForm::Close1Click);
    File1->addSeparator()->setObjectName("N1");
    Newlevel1 = addItem(File1, "Newlevel1", "Add &Level", &TMainForm::Newlevel1Click, QKeySequence("Ctrl+L"));
    Deletelevel1 = addItem(File1, "Deletelevel1", "&Delete curent Level", &TMainForm::Deletelevel1Click);
    Inportlevel1 = File1->addMenu("&Import Level");
    Inportlevel1->setObjectName("Inportlevel1");
    fromSupaPlexlevelsfile1 = addItem(Inportlevel1, "fromSupaPlexlevelsfile1", "From SupaPlex Levels File",
                                      &TMainForm::fromSupaPlexlevelsfile1Click);
    fromotherlevfile1 = addItem(Inportlevel1, "fromotherlevfile1", "From Other .lev File", &TMainForm::fromotherlevfile1Click);
    File1->addSeparator()->setObjectName("N2");
    Exit1 = addItem(File1, "Exit1", "E&xit", &TMainForm::Exit1Click);

    // Edit: Undo and Redo, the cell commands and the start square, then the level checks.
    createEditMenu();
    addMapToolActions(Edit1);
    addCheckActions(Edit1);

    Options1 = bar->addMenu("Options");
    Options1->setObjectName("Options1");
    Thislevel1 = addItem(Options1, "Thislevel1", "&Edit Levels", &TMainForm::Thislevel1Click, QKeySequence("Ctrl+E"));
    addOverviewAction(Options1);
    CurentLevesFile1 = addItem(Options1, "CurentLevesFile1", "&Curent Leves-File", &TMainForm::CurentLevesFile1Click);
    AskConfirmations1 = addItem(Options1, "AskConfirmations1", "Ask Confirmations", &TMainForm::AskConfirmations1Click);
    AskConfirmations1->setCheckable(true);
    AskConfirmations1->setChecked(true);
    addOverlayAction(Options1);

    Help1 = bar->addMenu("Help");
    Help1->setObjectName("Help1");
    Contents1 = addItem(Help1, "Contents1", "&Contents", &TMainForm::Contents1Click);
    GettingStarted1 = addItem(Help1, "GettingStarted1", "&Getting Started", &TMainForm::GettingStarted1Click);
    About1 = addItem(Help1, "About1", "&About...", &TMainForm::About1Click);
    addDesktopActions();

    disablefilemenus();
}

void TMainForm::createEditMenu()
{
    Edit1 = menuBar()->addMenu("&Edit");
    Edit1->setObjectName("Edit1");
    undoAction = addItem(Edit1, "Undo1", "&Undo", &TMainForm::undoClick, QKeySequence::Undo);
    redoAction = addItem(Edit1, "Redo1", "&Redo", &TMainForm::redoClick);
    redoAction->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
    QUndoStack &stack = mHistory.stack();
    for (auto signal : {&QUndoStack::canUndoChanged, &QUndoStack::canRedoChanged})
        connect(&stack, signal, this, [this] { updateUndoActions(); });
    for (auto signal : {&QUndoStack::undoTextChanged, &QUndoStack::redoTextChanged})
        connect(&stack, signal, this, [this] { updateUndoActions(); });
    // The one source of "unsaved": the rest of the editor reads saved.
    connect(&stack, &QUndoStack::cleanChanged, this, [](bool clean) { saved = clean; });
    connect(&stack, &QUndoStack::indexChanged, this, [this, &stack] {
        saved = stack.isClean();
        frameChanged();
    });
}

void TMainForm::updateUndoActions()
{
    const QUndoStack &stack = mHistory.stack();
    undoAction->setText(stack.canUndo() ? "&Undo " + stack.undoText() : QString("&Undo"));
    redoAction->setText(stack.canRedo() ? "&Redo " + stack.redoText() : QString("&Redo"));
    undoAction->setEnabled(mFileMenusEnabled && stack.canUndo());
    redoAction->setEnabled(mFileMenusEnabled && stack.canRedo());
}

void TMainForm::endStroke()
{
    if (!mStroke)
        return;
    mStroke->finish();
    mHistory.push(mStrokeText, std::move(mStroke));
    mStroke.reset();
    mStrokeText = "Paint";
    // A command in the middle of a stroke ends it: the moves after it paint only after a new press.
    painting = false;
    // A stroke that changed no cell leaves the file as it was.
    saved = mHistory.stack().isClean();
}

void TMainForm::recordStep(const char *text, const std::function<void(StoreStep &)> &work)
{
    if (mOpenStep) {
        work(*mOpenStep);
        return;
    }
    runStep(false, [&](StoreStep &step) {
        work(step);
        return text;
    });
}

void TMainForm::runStep(bool collectParts, const std::function<const char *(StoreStep &)> &work)
{
    endStroke();
    auto step = std::make_unique<StoreStep>();
    step->begin();
    const char *text = "Edit Levels";
    // What was done before a failure is kept as a step too: the history always matches the store.
    const auto push = [&] {
        mOpenStep = nullptr;
        step->finish();
        // Work that ends where it began (a level added, moved and cancelled) is no step.
        if (!step->leavesLevelsAsTheyWere())
            mHistory.push(text, std::move(step));
    };
    if (collectParts)
        mOpenStep = step.get();
    try {
        text = work(*step);
    } catch (...) {
        push();
        throw;
    }
    push();
}

void TMainForm::undoClick()
{
    endStroke();
    mHistory.stack().undo();
    followHistory();
}

void TMainForm::redoClick()
{
    endStroke();
    mHistory.stack().redo();
    followHistory();
}

void TMainForm::followHistory()
{
    followCurrentLevel();
    // Back at the saved state: the file on disk holds this work, its recovery copy is not needed.
    if (fileopen && saved)
        dropRecoveryCopy();
}

void TMainForm::clearHistory()
{
    mStroke.reset();
    mHistory.stack().clear();
    saved = true;
}

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
    {
        const std::unique_ptr<QSettings> settings = openSettings(mSettingsFile);
        askconfirmations = settings->value(kAskConfirmationsKey, true).toBool();
        mTools.overlays = settings->value(kOverlaysKey, true).toBool();
    }
    AskConfirmations1->setChecked(askconfirmations);
    mOverlaysAction->setChecked(mTools.overlays);
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

bool TMainForm::writesGameConfigAtExit() const
{
    // Values that were not read are blanks: written, they would replace the game's own settings.
    return mGameConfig == GameConfig::Read || mGameConfig == GameConfig::Missing;
}

void TMainForm::DXTimerTimer(int32_t lagCount)
{
    try {
        if (!DXDraw || !DXDraw->ReadyToDraw())
            return;
        PointerZone zone = PointerZone::None;
        if (fileopen) {
            const double x = viewx, y = viewy;
            zone = scrollview(lagCount);
            if (viewx != x || viewy != y)
                frameChanged();
        }
        if (!mFrameChanged)
            return;
        mFrameChanged = false;
        updateStatus();
        if (fileopen)
            drawToolsFrame(zone, DXDraw->Surface(), FramePictures{meniulist.Items(), patratele.Items()}, mTools);
        else
            DXDraw->Surface().Fill(0);
        DXDraw->Flip();
    } catch (const std::exception &e) {
        // A surface that cannot be restored stops the frames first: the error box runs ticks of its own.
        DXTimer.setEnabled(false);
        showError(QString::fromLatin1(e.what()), this);
    }
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

void TMainForm::DXDrawMouseDown(Qt::MouseButton button, int32_t x, int32_t y)
{
    if (!mapShown())
        return;
    const MouseButton which = button == Qt::LeftButton    ? MouseButton::Left
                              : button == Qt::RightButton ? MouseButton::Right
                                                          : MouseButton::Middle;
    if (toolsMouseDown(button, QGuiApplication::keyboardModifiers(), x, y))
        return;
    if (which == MouseButton::Left && fileopen && !mStroke) {
        mStroke = std::make_unique<StoreStep>();
        mStroke->begin();
    }
    mapMouseDown(which, x, y, mTileWidth, mStroke.get());
    if (painting)
        workChanged();
}

void TMainForm::DXDrawMouseMove(int32_t x, int32_t y)
{
    if (!mapShown() || toolsMouseMove(x, y))
        return;
    mapMouseMove(x, y, mTileWidth, mStroke.get());
    if (painting)
        workChanged();
}

void TMainForm::DXDrawMouseUp()
{
    mapMouseUp();
    endStroke();
}

int32_t TMainForm::tileWidth(int32_t tile) const
{
    const TPictureCollection &tiles = patratele.Items();
    if (tile < 0 || tile >= tiles.Count())
        return 0;
    return tiles.Items(tile).Picture().Width();
}

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

void TMainForm::loadCurrentLevelTiles()
{
    // Only a level whose graphics file is not the one loaded: the levels dialog's Edit has normally
    // loaded it already, and a second load would hold two sets of pictures at once. A theme that
    // cannot be loaded is reported; the level stays open and editable.
    if (curlevel >= 1 && curlevel <= levelsinfo.count && levels[curlevel].dxg != loadeddxg)
        guarded([this] { loadTiles(levels[curlevel].dxg); });
}

void TMainForm::followCurrentLevel()
{
    if (mapShown())
        loadCurrentLevelTiles();
}

void TMainForm::startEditing()
{
    loadCurrentLevelTiles();
    showMap();
}

void TMainForm::showMap()
{
    DXTimer.setEnabled(true);
    frameChanged();
    DXDraw->setCursor(Qt::BlankCursor);
    DXDraw->setHint(QString());
}

void TMainForm::FormKeyDown(int key, Qt::KeyboardModifiers shift)
{
    if (toolsKey(key))
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
    if (!newlevels && event->type() == QEvent::Expose && watched == windowHandle())
        createDialogs();
    if (!mFrameChanged && changesFrame(*event, watched == this || watched == DXDraw || watched == windowHandle()))
        frameChanged();
    // Back from another program: once the activation is over, see whether it changed the open file.
    if (event->type() == QEvent::WindowActivate && watched == this)
        QTimer::singleShot(0, this, [this] { checkFileOnDisk(); });
    if (event->type() == QEvent::Wheel && watched == DXDraw) {
        const auto *wheel = static_cast<const QWheelEvent *>(event);
        toolsWheel(wheel->angleDelta(), wheel->modifiers());
        return true;
    }
    const bool press = event->type() == QEvent::KeyPress;
    if ((press || event->type() == QEvent::KeyRelease) && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this) {
        const auto *key = static_cast<const QKeyEvent *>(event);
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
    {
        const std::unique_ptr<QSettings> settings = openSettings(mSettingsFile);
        settings->setValue(kAskConfirmationsKey, askconfirmations);
        settings->setValue(kOverlaysKey, mTools.overlays);
    }
    dropRecoveryCopy();
}

void TMainForm::AskConfirmations1Click()
{
    askconfirmations = AskConfirmations1->isChecked();
}

void TMainForm::enablefilemenus()
{
    for (QAction *item : {Save1, Saveas1, Close1, Newlevel1, Deletelevel1, Inportlevel1->menuAction(), Thislevel1,
                           mCheckLevel, mCheckAllLevels})
        item->setEnabled(true);
    for (QAction *item : mCellActions)
        item->setEnabled(true);
    mFileMenusEnabled = true;
    updateUndoActions();
}

void TMainForm::disablefilemenus()
{
    for (QAction *item : {Save1, Saveas1, Close1, Newlevel1, Deletelevel1, Inportlevel1->menuAction(), Thislevel1,
                           mCheckLevel, mCheckAllLevels})
        item->setEnabled(false);
    for (QAction *item : mCellActions)
        item->setEnabled(false);
    mFileMenusEnabled = false;
    updateUndoActions();
}

void TMainForm::Exit1Click() { close(); }


} // namespace qm
