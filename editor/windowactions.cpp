// Every item of the main window's menu, made in one place from one table: its menu, object name,
// caption, shortcut, handler and whether it needs an open levels file. The File-menu commands are
// enabled and disabled by walking the items made from it, so nothing stays enabled without a file.

#include "qmeditorunit1.h"

#include "checkscontroller.h"
#include "maptoolscontroller.h"
#include "overviewcontroller.h"
#include "playcontroller.h"
#include "recentfiles.h"
#include "resizeleveldialog.h"
#include "replacetiledialog.h"
#include "supaplexcommands.h"

#include "levels/levelstore.h"

#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QUndoStack>

namespace qm {

namespace {

enum class Row { Menu, Submenu, EndSubmenu, Item, Separator, RecentFiles };

enum Flag : unsigned {
    kNeedsFile = 1,      // enabled only while a levels file is open
    kCheckable = 2,
    kWindowOnly = 4,     // its shortcut only while the main window is active (in a dialog the keys are the fields')
    kFollowsHistory = 8, // Undo and Redo: also only while the history has a step to take
};

struct MenuRow {
    Row row;
    const char *name; // the object name; tests and users' scripts reach items by it
    const char *caption = nullptr;
    std::function<void()> handler = {};
    QList<QKeySequence> shortcuts = {};
    unsigned flags = 0;
};

} // namespace

void TMainForm::createActions()
{
    using K = QKeySequence;
    // The order of the menus as shown. Specified items keep their names; items added since are lowerCamel.
    const std::vector<MenuRow> table = {
        {Row::Menu, "File1", "&File"},
        {Row::Item, "Newlevelsfile1", "&New Levels File", [this] { Newlevelsfile1Click(); }},
        {Row::Item, "Openlevelsfile1", "&Open Levels File", [this] { Openlevelsfile1Click(); }},
        {Row::RecentFiles, "Openrecent1", "Open &Recent"},
        {Row::Item, "Save1", "&Save", [this] { Save1Click(); }, {K("Ctrl+S")}, kNeedsFile},
        {Row::Item, "Saveas1", "Save &as...", [this] { Saveas1Click(); }, {}, kNeedsFile},
        {Row::Item, "Close1", "&Close Levels File", [this] { Close1Click(); }, {}, kNeedsFile},
        {Row::Separator, "N1"},
        {Row::Item, "Newlevel1", "Add &Level", [this] { Newlevel1Click(); }, {K("Ctrl+L")}, kNeedsFile},
        {Row::Item, "Deletelevel1", "&Delete curent Level", [this] { Deletelevel1Click(); }, {}, kNeedsFile},
        {Row::Submenu, "Inportlevel1", "&Import Level", {}, {}, kNeedsFile},
        {Row::Item, "fromSupaPlexlevelsfile1", "From SupaPlex Levels File", [this] { fromSupaPlexlevelsfile1Click(); }},
        {Row::Item, "fromotherlevfile1", "From Other .lev File", [this] { fromotherlevfile1Click(); }},
        {Row::EndSubmenu, ""},
        {Row::Item, "exportSupaplex", "Export to &Supaplex…", [this] {
             exportSupaplexCommand(this, [this](const QString &text) { mMapTools->showStatusMessage(text); });
         }, {}, kNeedsFile},
        {Row::Item, "Exportlevelpicture1", "&Export Level Picture…", [this] { exportPictureClick(); }, {}, kNeedsFile},
        {Row::Item, "Copylevelpicture1", "Copy Level &Picture", [this] { copyPictureClick(); }, {K("Ctrl+Shift+C")},
         kNeedsFile},
        {Row::Separator, "N2"},
        {Row::Item, "Exit1", "E&xit", [this] { Exit1Click(); }},

        {Row::Menu, "Edit1", "&Edit"},
        {Row::Item, "Undo1", "&Undo", [this] { undoClick(); }, {K(K::Undo)}, kNeedsFile | kFollowsHistory},
        {Row::Item, "Redo1", "&Redo", [this] { redoClick(); }, {K("Ctrl+Shift+Z"), K("Ctrl+Y")},
         kNeedsFile | kFollowsHistory},
        {Row::Separator, ""},
        {Row::Item, "Cut1", "Cu&t", [this] { mMapTools->cutCells(); }, {K(K::Cut)}, kNeedsFile | kWindowOnly},
        {Row::Item, "Copy1", "&Copy", [this] { mMapTools->copyCells(); }, {K(K::Copy)}, kNeedsFile | kWindowOnly},
        {Row::Item, "Paste1", "&Paste", [this] { mMapTools->pasteCells(); }, {K(K::Paste)}, kNeedsFile | kWindowOnly},
        {Row::Item, "Delete1", "&Delete", [this] { mMapTools->deleteCells(); }, {K(Qt::Key_Delete)}, kNeedsFile | kWindowOnly},
        {Row::Separator, ""},
        {Row::Item, "SetStartSquare1", "Set &Start Square Here", [this] { mMapTools->setStartSquare(); }, {K(Qt::Key_S)},
         kNeedsFile | kWindowOnly},
        {Row::Item, "flipStampLeftRight", "&Flip Stamp Left–Right", [this] { mMapTools->flipStamp(Flip::LeftRight); },
         {K(Qt::Key_X)}, kNeedsFile | kWindowOnly},
        {Row::Item, "flipStampTopBottom", "Flip Stamp Top–&Bottom", [this] { mMapTools->flipStamp(Flip::TopBottom); },
         {K(Qt::Key_Y)}, kNeedsFile | kWindowOnly},
        {Row::Separator, ""},
        {Row::Item, "resizeLevel", "Resi&ze Level…", [this] { resizeLevelCommand(this, *mDocument, mTileWidth); },
         {K("Ctrl+R")}, kNeedsFile},
        {Row::Item, "replaceTile", "Replace T&ile…", [this] {
             replaceTileCommand(this, *mDocument, mTileWidth, [this](const QString &text) { mMapTools->showStatusMessage(text); });
         }, {K("Ctrl+H")}, kNeedsFile},
        {Row::Item, "gameSettings", "&Game Settings…", [this] { gameSettingsCommand(this, *mDocument); }, {}, kNeedsFile},
        {Row::Separator, ""},
        {Row::Item, "checkLevel", "Check &Level", [this] { mChecks->showChecks(false); }, {K(Qt::Key_F7)}, kNeedsFile},
        {Row::Item, "checkAllLevels", "Check &All Levels", [this] { mChecks->showChecks(true); }, {}, kNeedsFile},

        {Row::Menu, "View1", "&View"},
        {Row::Item, "zoomIn", "Zoom &In", [this] { mMapTools->zoom(1); }, {K(K::ZoomIn), K("Ctrl+=")}, kNeedsFile},
        {Row::Item, "zoomOut", "Zoom &Out", [this] { mMapTools->zoom(-1); }, {K(K::ZoomOut)}, kNeedsFile},
        {Row::Item, "actualSize", "&Actual Size", [this] { mMapTools->zoom(0); }, {K("Ctrl+0")}, kNeedsFile},

        {Row::Menu, "Options1", "Options"},
        {Row::Item, "Thislevel1", "&Edit Levels", [this] { Thislevel1Click(); }, {K("Ctrl+E")}, kNeedsFile},
        {Row::Item, "levelsOverview", "Levels &Overview", [this] { mOverview->show(); }, {K(Qt::Key_F8)}},
        {Row::Item, "CurentLevesFile1", "&Curent Leves-File", [this] { CurentLevesFile1Click(); }},
        {Row::Item, "AskConfirmations1", "Ask Confirmations", [this] { AskConfirmations1Click(); }, {}, kCheckable},
        {Row::Item, "ShowStartSquareAndGrid1", "Show Start Square and Grid", [this] {
             mMapTools->tools().overlays = item("ShowStartSquareAndGrid1")->isChecked();
         }, {},
         kCheckable},
        {Row::Item, "reachOverlay", "Reach", [this] {
             mMapTools->tools().reach = item("reachOverlay")->isChecked();
             frameChanged();
         }, {}, kCheckable},

        {Row::Menu, "game", "&Game"},
        {Row::Item, "playLevel", "&Play Level", [this] { playLevelClick(false); }, {K(Qt::Key_F9)}, kNeedsFile},
        {Row::Item, "playFromHere", "Play from &Here", [this] { playLevelClick(true); }, {K("Shift+F9")},
         kNeedsFile},

        {Row::Menu, "Help1", "Help"},
        {Row::Item, "Contents1", "&Contents", [this] { Contents1Click(); }},
        {Row::Item, "GettingStarted1", "&Getting Started", [this] { GettingStarted1Click(); }},
        {Row::Item, "About1", "&About...", [this] { About1Click(); }},
    };

    QMenuBar *bar = menuBar();
    bar->setObjectName("MainMenu1");
    QMenu *menu = nullptr, *outer = nullptr;
    for (const MenuRow &row : table) {
        QAction *action = nullptr;
        switch (row.row) {
        case Row::Menu:
            menu = bar->addMenu(row.caption);
            menu->setObjectName(row.name);
            continue;
        case Row::Submenu:
            outer = menu;
            menu = outer->addMenu(row.caption);
            menu->setObjectName(row.name);
            action = menu->menuAction();
            break;
        case Row::EndSubmenu:
            menu = outer;
            continue;
        case Row::Separator:
            menu->addSeparator()->setObjectName(row.name);
            continue;
        case Row::RecentFiles:
            mRecentFiles = new RecentFiles(mSettings, this);
            mRecentFiles->setObjectName(row.name);
            mRecentFiles->setTitle(row.caption);
            menu->addMenu(mRecentFiles);
            connect(mRecentFiles, &RecentFiles::chosen, this,
                    [this](const QString &path) { runCommand([this, &path] { openRecentFile(path); }); });
            continue;
        case Row::Item:
            action = menu->addAction(row.caption);
            action->setObjectName(row.name);
            action->setShortcuts(row.shortcuts);
            action->setShortcutContext((row.flags & kWindowOnly) ? Qt::WindowShortcut : Qt::ApplicationShortcut);
            action->setCheckable(row.flags & kCheckable);
            connect(action, &QAction::triggered, this, [this, handler = row.handler] { runCommand(handler); });
            break;
        }
        if (row.flags & kFollowsHistory)
            mHistoryItems.push_back(action);
        else if (row.flags & kNeedsFile)
            mFileItems.push_back(action);
    }
    connect(mDocument, &LevelDocument::undoStateChanged, this, [this] { updateUndoActions(); });
    disablefilemenus();
}

// A menu command: not while Close waits for the surface, a failure in an error box.
void TMainForm::runCommand(const std::function<void()> &handler)
{
    // A shortcut pressed while Close waits for the surface would run a command inside Close.
    if (mWaitingForSurface)
        return;
    guarded(handler);
    workChanged();
}

QAction *TMainForm::item(const char *name) const { return findChild<QAction *>(name); }

void TMainForm::enablefilemenus() { setFileMenusEnabled(true); }

void TMainForm::disablefilemenus() { setFileMenusEnabled(false); }

void TMainForm::setFileMenusEnabled(bool enabled)
{
    for (QAction *action : mFileItems)
        action->setEnabled(enabled);
    mFileMenusEnabled = enabled;
    updateUndoActions();
}

// While playing, nothing that changes the file can be started: every item that needs the file, Undo
// and Redo, New, Open and Open Recent wait; the play items stay to return to editing.
void TMainForm::followPlaying(bool playing)
{
    for (QAction *action : mFileItems)
        action->setEnabled(!playing && mFileMenusEnabled);
    for (const char *name : {"Newlevelsfile1", "Openlevelsfile1"})
        item(name)->setEnabled(!playing);
    mRecentFiles->setEnabled(!playing);
    for (const char *name : {"playLevel", "playFromHere"})
        item(name)->setEnabled(mFileMenusEnabled);
    updateUndoActions();
    if (!playing)
        statusBar()->clearMessage();
}

void TMainForm::playLevelClick(bool fromHere)
{
    if (mPlay->playing()) {
        mPlay->stop();
        return;
    }
    std::optional<Square> square;
    if (fromHere) {
        const CellPosition at = pointercell();
        square = Square{at.column, at.row};
    }
    mPlay->start(square);
}

// Texts and enabled state of Undo and Redo from the history, while the file commands are enabled.
void TMainForm::updateUndoActions()
{
    // Their texts name the step they take: "&Undo Paint".
    const QUndoStack &stack = mDocument->history().stack();
    const bool can[] = {stack.canUndo(), stack.canRedo()};
    const QString texts[] = {can[0] ? "&Undo " + stack.undoText() : QString("&Undo"),
                             can[1] ? "&Redo " + stack.redoText() : QString("&Redo")};
    for (size_t k = 0; k < mHistoryItems.size() && k < 2; ++k) {
        mHistoryItems[k]->setText(texts[k]);
        mHistoryItems[k]->setEnabled(mFileMenusEnabled && can[k] && !(mPlay && mPlay->playing()));
    }
}

} // namespace qm
