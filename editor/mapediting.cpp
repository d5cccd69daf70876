#include "mapediting.h"

#include "levels/levelstore.h"

#include <algorithm>
#include <cmath>

namespace qm {

namespace {

constexpr int32_t kSurfaceClampX = 784;
constexpr int32_t kSurfaceClampY = 480;
constexpr int32_t kEdge = 20;

// The level the window edits, or nullptr when the file has no current level (a file whose only
// level was cancelled keeps a stale slot that must not be edited).
tlevel *currentLevel()
{
    if (curlevel < 1 || curlevel > levelsinfo.count || curlevel > kMaxLevels)
        return nullptr;
    return &levels[curlevel];
}

// One cell of the current level, or nullptr outside the grid: writes there are skipped.
cell *cellOf(int32_t row, int32_t column)
{
    tlevel *level = currentLevel();
    return level ? level->cellAt(row, column) : nullptr;
}

void setTile(int32_t row, int32_t column, int32_t tile)
{
    if (cell *c = cellOf(row, column))
        c->tile = tile;
}

void setKind(int32_t row, int32_t column, int32_t kind)
{
    if (cell *c = cellOf(row, column))
        c->kind = kind;
}

void setCell(int32_t row, int32_t column, int32_t tile, int32_t pattern, int32_t kind)
{
    if (cell *c = cellOf(row, column)) {
        c->tile = tile;
        c->pattern = pattern;
        c->kind = kind;
    }
}

// trunc(value) div 40, both toward zero.
int32_t squareOf(double value) { return static_cast<int32_t>(static_cast<int64_t>(std::trunc(value)) / kSquare); }

} // namespace

PointerZone scrollview(int32_t lagCount)
{
    const double d = lagCount * 0.5;
    PointerZone zone = PointerZone::None;
    if (pointery > kMapHeight - kEdge) {
        viewy += d;
        zone = PointerZone::Down;
    }
    if (pointery < kEdge) {
        viewy -= d;
        zone = PointerZone::Up;
    }
    if (pointerx > 764)
        viewx += d;
    if (pointerx < kEdge) {
        viewx -= d;
        zone = PointerZone::Left;
    }
    if (pointerx > kMapWidth)
        zone = PointerZone::Panel;

    viewy = std::max(viewy, 0.0);
    viewx = std::max(viewx, 0.0);
    pointerx = std::min(pointerx, kSurfaceClampX);
    pointery = std::min(pointery, kSurfaceClampY);
    if (const tlevel *level = currentLevel()) {
        viewy = std::min(viewy, level->height * double(kSquare) - kMapHeight);
        viewx = std::min(viewx, level->width * double(kSquare) - kMapWidth);
    }
    return zone;
}

CellPosition pointercell()
{
    return {squareOf(viewy + pointery + 20) + 1, squareOf(viewx + pointerx + 20) + 1};
}

void paintcell(int32_t r, int32_t c, int32_t t, PaintVariant variant, const TileWidth &widthOf)
{
    if (!currentLevel())
        return;
    if (variant == PaintVariant::Drag)
        setKind(r, c, 100);

    // Marks and fillers.
    switch (t) {
    case 66:
    case 67:
        setKind(r, c, 101);
        setTile(r + 1, c, 11);
        setTile(r + 2, c, 11);
        break;
    case 68:
        setKind(r, c, 101);
        for (int i = 0; i <= 2; ++i)
            for (int j = 0; j <= 2; ++j)
                setTile(r + i, c + j, 11);
        break;
    case 64:
        setTile(r + 1, c, 65);
        break;
    case 49:
    case 50:
    case 51:
    case 52:
        setKind(r, c, 102);
        break;
    case 63:
        setKind(r, c, variant == PaintVariant::Press ? 101 : 102);
        setTile(r + 1, c, 11);
        setTile(r + 2, c, 11);
        break;
    default:
        break;
    }

    setTile(r, c, t);
    if (t == 63)
        setTile(r + 1, c, 15);
    if (cell *at = cellOf(r, c))
        at->pattern = 0;

    // Strips and blocks: objects that cover several squares carry their parts as patterns.
    switch (t) {
    case 29:
        for (int k = 0; k < widthOf(29) / kSquare; ++k)
            setCell(r, c + k, 29, k, 102);
        break;
    case 30:
        if (cell *next = cellOf(r, c + 1)) {
            next->tile = 30;
            next->pattern = 1;
        }
        if (widthOf(30) == 280)
            for (int k = 0; k <= 6; ++k) {
                setCell(r, c + k, 30, k, 101);
                setCell(r + 1, c + k, 30, 7 + k, 101);
            }
        break;
    case 31:
        for (int k = 0; k < widthOf(29) / kSquare; ++k)
            setCell(r + k, c, 31, k, 102);
        break;
    case 36:
        if (widthOf(36) == 280)
            for (int k = 0; k <= 6; ++k)
                setCell(r, c + k, 36, k, 101);
        break;
    case 37:
        if (widthOf(37) == 280) {
            for (int k = 0; k <= 6; ++k) {
                setCell(r, c + k, 15, 0, 101);
                setCell(r + 1, c + k, 37, 7 + k, 101);
            }
            setCell(r, c + 1, 37, 1, 101);
            setCell(r, c + 2, 37, 2, 101);
        }
        break;
    case 40:
        if (widthOf(40) == 240)
            for (int i = 0; i <= 2; ++i)
                for (int k = 0; k <= 5; ++k)
                    setCell(r + i, c + k, 40, 6 * i + k, 101);
        break;
    case 33:
        setKind(r, c, 102);
        break;
    default:
        break;
    }
    saved = false;
}

void mapMouseDown(MouseButton button, int32_t x, int32_t y, const TileWidth &widthOf)
{
    if (!fileopen)
        return;
    if (button == MouseButton::Left)
        painting = true;
    if (x > kMapWidth) {
        // The hit grid has a 40-pixel pitch from (640, 100) while the slots are drawn 41 apart from
        // (641, 97); x 760 and beyond gives column 3, y 420..424 the ninth row.
        if (y > 100 && y < 425) {
            palcolumn = (x - kMapWidth) / 40;
            palrow = (y - 100) / 40 + palscroll;
        } else if (y > 83 && y < 100) {
            --palscroll;
        } else if (y > 425 && y < 445) {
            ++palscroll;
        }
        palscroll = std::clamp(palscroll, 0, kPaletteScrollMax);
    }
    if (painting && x < kMapWidth) {
        CellPosition at = pointercell();
        paintcell(at.row, at.column, selectedtile(), PaintVariant::Press, widthOf);
    }
}

void mapMouseMove(int32_t x, int32_t y, const TileWidth &widthOf)
{
    if (!fileopen)
        return;
    pointerx = x;
    pointery = y;
    if (painting && x < kMapWidth) {
        CellPosition at = pointercell();
        paintcell(at.row, at.column, selectedtile(), PaintVariant::Drag, widthOf);
    }
}

void mapMouseUp() { painting = false; }

} // namespace qm
