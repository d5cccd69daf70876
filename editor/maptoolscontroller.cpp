#include "maptoolscontroller.h"

#include "leveldocument.h"

#include "commands/filenames.h"
#include "editor/core/statustext.h"
#include "graphics/dximagelist.h"
#include "levels/levelobjects.h"
#include "levels/levelstore.h"

#include "platform/errors.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMimeData>
#include <QStatusBar>

namespace qm {

namespace {

constexpr int kMessageMilliseconds = 6000;
constexpr int kWheelNotch = 120;

const char *const kNoMarkedCells = "Mark cells with the right button first.";
const char *const kNoCellsOnClipboard = "The clipboard holds no cells of a level: nothing was pasted.";

// The marked rectangle within the current level as it is now (its size may have changed since).
std::optional<CellRect> markedCells(const MapTools &tools)
{
    const tlevel *level = currentLevel();
    if (!level || !tools.marked)
        return std::nullopt;
    return cellsBetween(*level, {tools.marked->top, tools.marked->left}, {tools.marked->bottom, tools.marked->right});
}

} // namespace

MapToolsController::MapToolsController(QMainWindow *window, LevelDocument &document, Host host)
    : QObject(window), mWindow(window), mDocument(document), mHost(std::move(host))
{
}

void MapToolsController::createStatusLine()
{
    mStatusLabel = new QLabel(mWindow);
    mStatusLabel->setObjectName("statusLine");
    // A long line is cut at the window's edge: the window keeps its size.
    mStatusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    mWindow->statusBar()->setObjectName("statusBar");
    mWindow->statusBar()->setSizeGripEnabled(false);
    mWindow->statusBar()->addWidget(mStatusLabel, 1);
    // Everything the line names changes the frame too: the tick brings it up to date with the frame
    // it draws, so a resting editor does no work for it.
    updateStatus();
}

void MapToolsController::updateStatus()
{
    QString text;
    if (fileopen) {
        const std::string path = levelsfilepath.empty() ? newfilename : levelsfilepath;
        const QString name = path.empty() ? QString("Untitled") : QFileInfo(fromPath(path)).fileName();
        text = QString::fromStdString(statusText(mTools, mHost.tiles(), name.toStdString(), mHost.mapShown()));
    }
    if (mStatusLabel->text() != text)
        mStatusLabel->setText(text);
}

QString MapToolsController::statusLine() const
{
    const QString message = mWindow->statusBar()->currentMessage();
    return message.isEmpty() ? mStatusLabel->text() : message;
}

void MapToolsController::showStatusMessage(const QString &text) { mWindow->statusBar()->showMessage(text, kMessageMilliseconds); }

bool MapToolsController::mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int32_t x, int32_t y)
{
    if (!fileopen)
        return false;
    const bool onMap = x < maparea.width() && currentLevel();
    if (onMap) {
        pointerx = x;
        pointery = y;
    }
    if (paletteTileAt(x, y)) {
        // A palette slot chosen with either button.
        mTools.dropStamp();
        carriedtile = kPaletteSlotCarried;
        return false;
    }
    if (button == Qt::RightButton) {
        // A right click drops the stamp; on the map it starts marking (a click without a drag picks).
        mTools.drop();
        if (!onMap)
            return false;
        mTools.drag = MapTools::Drag::Mark;
        mTools.dragFrom = pointercell();
        return true;
    }
    if (button != Qt::LeftButton)
        return false;
    if (onMap && (mTools.lineKey || mTools.rectangleKey)) {
        // Shift+R: the filled rectangle is the fill.
        mTools.drag = mTools.lineKey                       ? MapTools::Drag::Line
                      : (modifiers & Qt::ShiftModifier) ? MapTools::Drag::Fill
                                                        : MapTools::Drag::Rectangle;
        mTools.dragFrom = pointercell();
        mTools.dragSize = carriedSize(mTools.stamp, selectedtile(), mHost.tileWidth);
        return true;
    }
    if (onMap && (modifiers & Qt::ShiftModifier)) {
        mTools.drag = MapTools::Drag::Fill;
        mTools.dragFrom = pointercell();
        return true;
    }
    if (!mTools.stamp)
        return false;
    if (!onMap) {
        // The palette's scroll arrows work as always; the stamp is not painted as a tile.
        mapMouseDown(MouseButton::Left, x, y, mHost.tileWidth);
        painting = false;
        return true;
    }
    StoreStep &stroke = mDocument.beginStroke("Stamp");
    mTools.drag = MapTools::Drag::Stamp;
    mLastStampCell = pointercell();
    writeStamp(stroke, curlevel, mLastStampCell, *mTools.stamp);
    mDocument.strokeChanged();
    mHost.workChanged();
    return true;
}

bool MapToolsController::mouseMove(int32_t x, int32_t y)
{
    if (!fileopen || mTools.drag == MapTools::Drag::None)
        return false;
    pointerx = x;
    pointery = y;
    if (StoreStep *stroke = mDocument.stroke();
        mTools.drag == MapTools::Drag::Stamp && stroke && mTools.stamp && x < maparea.width() && currentLevel()) {
        const CellPosition at = pointercell();
        if (at.row != mLastStampCell.row || at.column != mLastStampCell.column) {
            mLastStampCell = at;
            writeStamp(*stroke, curlevel, at, *mTools.stamp);
            mDocument.strokeChanged();
            mHost.workChanged();
        }
    }
    return true;
}

void MapToolsController::mouseUp(Qt::MouseButton button, QPoint at)
{
    const MapTools::Drag drag = mTools.drag;
    const tlevel *level = currentLevel();
    if (button == Qt::RightButton && drag == MapTools::Drag::Mark) {
        mTools.drag = MapTools::Drag::None;
        const CellPosition to = pointercell();
        if (!level)
            return;
        if (to.row == mTools.dragFrom.row && to.column == mTools.dragFrom.column) {
            // Any square of an object picks the object itself, not a filler or a lower half.
            if (const cell *square = level->cellAt(to.row, to.column);
                square && to.row <= level->height && to.column <= level->width) {
                const LevelObjects objects(*level, mHost.tileWidth);
                const LevelObject *object = objects.at(to.row, to.column);
                carryTile(object ? object->tile : square->tile);
            }
        } else if (const std::optional<CellRect> rect = cellsBetween(*level, mTools.dragFrom, to)) {
            mTools.marked = rect;
            mTools.carry(captureWholeObjects(*level, *rect, mHost.tileWidth));
        }
    } else if (button == Qt::LeftButton && drag == MapTools::Drag::Fill) {
        mTools.drag = MapTools::Drag::None;
        // Released off the map area, the fill stops at the last square shown.
        pointerx = at.x();
        pointery = at.y();
        const std::optional<CellRect> rect =
            level ? cellsBetween(*level, mTools.dragFrom, nearestVisibleCell(pointercell())) : std::nullopt;
        if (!rect)
            return;
        int32_t painted = 0;
        mHost.guarded([&] {
            mDocument.runStep("Fill", [&](StoreStep &step) {
                // A stamp carried fills with its copies; a tile as painting places it.
                painted = mTools.stamp ? fillWithStamp(step, curlevel, *rect, *mTools.stamp)
                                       : fillCells(step, curlevel, *rect, selectedtile(), mHost.tileWidth);
            });
        });
        if (painted == 0)
            showStatusMessage("The rectangle is too small for what is carried.");
        mHost.workChanged();
    } else if (button == Qt::LeftButton && (drag == MapTools::Drag::Line || drag == MapTools::Drag::Rectangle)) {
        // Released off the map area, the line or rectangle stops at the last square shown.
        pointerx = at.x();
        pointery = at.y();
        const std::vector<CellPosition> pieces =
            level ? mTools.dragPieces(*level, nearestVisibleCell(pointercell())) : std::vector<CellPosition>{};
        mTools.drag = MapTools::Drag::None;
        if (!pieces.empty()) {
            mHost.guarded([&] {
                mDocument.runStep(drag == MapTools::Drag::Line ? "Line" : "Rectangle", [&](StoreStep &step) {
                    paintPieces(step, curlevel, pieces, mTools.stamp, selectedtile(), mHost.tileWidth);
                });
            });
        } else if (level) {
            showStatusMessage("The line or rectangle is too small for what is carried.");
        }
        mHost.workChanged();
    } else if (button == Qt::LeftButton && drag == MapTools::Drag::Stamp) {
        mTools.drag = MapTools::Drag::None;
    }
    updateStatus();
}

void MapToolsController::keyHeld(int key, bool down, Qt::KeyboardModifiers modifiers)
{
    // L and R alone (Ctrl+L and Ctrl+R are menu commands); a release always counts.
    if (down && (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return;
    bool *held = key == Qt::Key_L ? &mTools.lineKey : key == Qt::Key_R ? &mTools.rectangleKey : nullptr;
    if (!held || *held == down)
        return;
    *held = down;
    updateStatus();
}

void MapToolsController::releaseKeys()
{
    mTools.lineKey = mTools.rectangleKey = false;
    updateStatus();
}

bool MapToolsController::keyPressed(int key)
{
    if (key == Qt::Key_Escape) {
        // What is held goes first; the next Escape closes the window.
        if (!mTools.drop())
            return false;
        updateStatus();
        return true;
    }
    if (!mHost.mapShown() || !fileopen || !currentLevel())
        return false;
    switch (key) {
    case Qt::Key_Left:
        scrollViewBy(-kSquare, 0);
        break;
    case Qt::Key_Right:
        scrollViewBy(kSquare, 0);
        break;
    case Qt::Key_Up:
        scrollViewBy(0, -kSquare);
        break;
    case Qt::Key_Down:
        scrollViewBy(0, kSquare);
        break;
    case Qt::Key_PageUp:
        scrollViewBy(0, -maparea.height() * maparea.scale());
        break;
    case Qt::Key_PageDown:
        scrollViewBy(0, maparea.height() * maparea.scale());
        break;
    case Qt::Key_Home:
        scrollViewToEdge(false);
        break;
    case Qt::Key_End:
        scrollViewToEdge(true);
        break;
    default:
        return false;
    }
    return true;
}

void MapToolsController::zoom(int steps, std::optional<QPoint> anchor)
{
    // The menu and the keys keep the middle of the map where it is, the wheel the square under it.
    const QPoint at = anchor.value_or(QPoint(maparea.width() / 2, maparea.height() / 2));
    setZoom(steps == 0 ? kSquare : zoomStep(steps), at.x(), at.y());
    updateStatus();
}

void MapToolsController::wheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers, QPoint at)
{
    if (!mHost.mapShown() || !fileopen || !currentLevel())
        return;
    if (modifiers & Qt::ControlModifier) {
        mWheelRest += angleDelta.y();
        const int notches = mWheelRest / kWheelNotch;
        mWheelRest -= notches * kWheelNotch;
        // Away from the user zooms in; over the panel, the middle of the map stays.
        if (notches != 0)
            zoom(notches, at.x() < maparea.width() ? std::optional<QPoint>(at) : std::nullopt);
        return;
    }
    const bool sideways = (modifiers & Qt::ShiftModifier) || angleDelta.y() == 0;
    mWheelRest += angleDelta.y() != 0 ? angleDelta.y() : angleDelta.x();
    const int notches = mWheelRest / kWheelNotch;
    mWheelRest -= notches * kWheelNotch;
    // Turning the wheel away from the user shows what is above (or left).
    if (sideways)
        scrollViewBy(-notches * double(kSquare), 0);
    else
        scrollViewBy(0, -notches * double(kSquare));
}

void MapToolsController::copyCells()
{
    if (!fileopen)
        return;
    const std::optional<CellRect> rect = markedCells(mTools);
    if (!rect) {
        showStatusMessage(kNoMarkedCells);
        return;
    }
    const Stamp stamp = captureStamp(levels[curlevel], *rect);
    auto *cells = new QMimeData;
    const std::string bytes = stampBytes(stamp);
    cells->setData(kCellsMimeType, QByteArray(bytes.data(), qsizetype(bytes.size())));
    cells->setText(QString::fromStdString(stampText(stamp)));
    QGuiApplication::clipboard()->setMimeData(cells);
    showStatusMessage(QString("Copied %1 x %2 cells.").arg(stamp.columns).arg(stamp.rows));
}

void MapToolsController::cutCells()
{
    if (!fileopen)
        return;
    const std::optional<CellRect> rect = markedCells(mTools);
    if (!rect) {
        showStatusMessage(kNoMarkedCells);
        return;
    }
    copyCells();
    mDocument.runStep("Cut", [&](StoreStep &step) { clearCells(step, curlevel, *rect); });
}

void MapToolsController::deleteCells()
{
    if (!fileopen)
        return;
    const std::optional<CellRect> rect = markedCells(mTools);
    if (!rect) {
        showStatusMessage(kNoMarkedCells);
        return;
    }
    mDocument.runStep("Delete", [&](StoreStep &step) { clearCells(step, curlevel, *rect); });
}

void MapToolsController::pasteCells()
{
    if (!fileopen || !currentLevel())
        return;
    const QMimeData *held = QGuiApplication::clipboard()->mimeData();
    if (!held || !held->hasFormat(kCellsMimeType)) {
        showStatusMessage(kNoCellsOnClipboard);
        return;
    }
    const QByteArray bytes = held->data(kCellsMimeType);
    try {
        mTools.drop();
        mTools.carry(withObjects(readStampBytes(std::string_view(bytes.constData(), size_t(bytes.size()))),
                                 mHost.tileWidth));
        showStatusMessage(QString("Carrying %1 x %2 cells: the left button puts them down.")
                              .arg(mTools.stamp->columns)
                              .arg(mTools.stamp->rows));
    } catch (const Error &e) {
        showStatusMessage(QString::fromStdString(e.what()) + " Nothing was pasted.");
    }
}

void MapToolsController::flipStamp(Flip flip)
{
    // The carried stamp only: no level changes, so nothing goes into the history.
    if (!fileopen)
        return;
    if (!mTools.stamp) {
        showStatusMessage("Carry a stamp first: drag with the right button over the squares to flip.");
        return;
    }
    qm::flipStamp(*mTools.stamp, flip);
    showStatusMessage(flip == Flip::LeftRight ? "Flipped the stamp left to right." : "Flipped the stamp top to bottom.");
    updateStatus();
}

void MapToolsController::setStartSquare()
{
    // Only a square of the map area: the pointer over the palette, or gone from the surface (the last
    // position is kept for edge scrolling), names none.
    if (!fileopen || !mHost.mapShown() || !currentLevel() || !mTools.pointerOver || pointerx < 0
        || pointerx >= maparea.width() || pointery < 0 || pointery >= maparea.height())
        return;
    const CellPosition at = nearestVisibleCell(pointercell());
    mDocument.runStep("Set Start Square", [&](StoreStep &step) { moveStartSquare(step, curlevel, at); });
}

} // namespace qm
