#pragma once
// The window's side of the designer's tools on the map: the right button picks a tile (an object's
// own, on any of its squares) or marks a rectangle of cells that becomes the carried stamp, Shift with
// the left button fills, L or R held with it paints a line or a rectangle, the wheel and the keys
// scroll, the View menu and Ctrl with the wheel zoom, the Edit menu copies, cuts, pastes and deletes
// cells through the system clipboard, flips the carried stamp (X, Y) and moves the start square; the
// status line under the surface and the overlay switches. The rules
// are in core/ (maptools, stamp, mapoverlays, statustext); every change of the file is one step of
// the document's history.

#include "editor/core/maptools.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>

class QLabel;
class QMainWindow;

namespace qm {

class LevelDocument;
class TPictureCollection;

class MapToolsController : public QObject {
    Q_OBJECT

public:
    // What the tools need of the window.
    struct Host {
        std::function<bool()> mapShown;
        std::function<const TPictureCollection &()> tiles; // the current level's tile pictures
        TileWidth tileWidth;
        std::function<void()> workChanged; // after a change of the file
        // Runs a handler; a failure is shown in an error box, as a failed command's is.
        std::function<void(const std::function<void()> &)> guarded;
    };

    MapToolsController(QMainWindow *window, LevelDocument &document, Host host);

    MapTools &tools() { return mTools; }
    const MapTools &tools() const { return mTools; }

    // The routing of the surface's events: whether the tools took the event. at: where the button
    // came up (a fill ends there).
    bool mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int32_t x, int32_t y);
    bool mouseMove(int32_t x, int32_t y);
    void mouseUp(Qt::MouseButton button, QPoint at);
    bool keyPressed(int key);
    // L or R pressed or released (held, they make the left button draw lines or rectangles); all
    // let go when the window loses the keyboard, which then sends no releases.
    void keyHeld(int key, bool down, Qt::KeyboardModifiers modifiers);
    void releaseKeys();
    // With Ctrl, the wheel zooms about the square at `at`.
    void wheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers, QPoint at);
    // View > Zoom In (steps 1), Zoom Out (-1), Actual Size (0); anchor: the map-area position that
    // stays on the same level pixel (none: the middle of the map).
    void zoom(int steps, std::optional<QPoint> anchor = std::nullopt);

    // The Edit menu's cell commands.
    void copyCells();
    void cutCells();
    void pasteCells();
    void deleteCells();
    void setStartSquare();
    // X and Y: the carried stamp mirrored (no step: no level changes until it is written).
    void flipStamp(Flip flip);

    // The status line under the surface, made once; its text now, and a passing message in its
    // place (a paste that found nothing).
    void createStatusLine();
    void updateStatus();
    void showStatusMessage(const QString &text);
    QString statusLine() const;

private:
    QMainWindow *mWindow;
    LevelDocument &mDocument;
    Host mHost;
    MapTools mTools;
    CellPosition mLastStampCell{0, 0};
    int mWheelRest = 0; // eighths of a degree not yet scrolled
    QLabel *mStatusLabel = nullptr;
};

} // namespace qm
