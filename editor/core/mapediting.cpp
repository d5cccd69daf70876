#include "mapediting.h"

#include "levels/levelstore.h"

#include <algorithm>
#include <cmath>

namespace qm {

namespace {

constexpr int32_t kSurfaceClampX = 784;
constexpr int32_t kSurfaceClampY = 480;
constexpr int32_t kEdge = 20;

// trunc(value) div 40, both toward zero.
int32_t squareOf(double value) { return static_cast<int32_t>(static_cast<int64_t>(std::trunc(value)) / kSquare); }

} // namespace

tlevel *currentLevel()
{
    if (curlevel < 1 || curlevel > levelsinfo.count || curlevel > kMaxLevels)
        return nullptr;
    return &levels[curlevel];
}

void clampView()
{
    viewy = std::max(viewy, 0.0);
    viewx = std::max(viewx, 0.0);
    if (const tlevel *level = currentLevel()) {
        viewy = std::min(viewy, level->height * double(kSquare) - kMapHeight);
        viewx = std::min(viewx, level->width * double(kSquare) - kMapWidth);
    }
}

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

    pointerx = std::min(pointerx, kSurfaceClampX);
    pointery = std::min(pointery, kSurfaceClampY);
    clampView();
    return zone;
}

void centreViewOn(int32_t row, int32_t column)
{
    const double left = (column - 1) * double(kSquare), top = (row - 1) * double(kSquare);
    viewx = left + kSquare / 2 - kMapWidth / 2;
    viewy = top + kSquare / 2 - kMapHeight / 2;
    clampView();
    // A cell off the level (a start square outside it) keeps the mark on the map area.
    pointerx = std::clamp(static_cast<int32_t>(std::trunc(left - viewx)), 0, kMapWidth - 1);
    pointery = std::clamp(static_cast<int32_t>(std::trunc(top - viewy)), 0, kMapHeight - 1);
}

CellPosition pointercell()
{
    return {squareOf(viewy + pointery + 20) + 1, squareOf(viewx + pointerx + 20) + 1};
}

void paintcell(int32_t r, int32_t c, int32_t t, PaintVariant variant, const TileWidth &widthOf, StoreStep *step)
{
    tlevel *level = currentLevel();
    if (!level)
        return;
    if (step)
        step->paint(curlevel, r, c, t, variant, widthOf);
    else
        paintLevel(*level, r, c, t, variant, widthOf);
    saved = false;
}

std::optional<PaletteSlot> paletteSlotAt(int32_t x, int32_t y)
{
    // The hit grid has a 40-pixel pitch from (640, 100) while the slots are drawn 41 apart from
    // (641, 97); x 760 and beyond gives column 3, y 420..424 the ninth row.
    if (x <= kMapWidth || y <= 100 || y >= 425)
        return std::nullopt;
    return PaletteSlot{(y - 100) / 40 + palscroll, (x - kMapWidth) / 40};
}

void mapMouseDown(MouseButton button, int32_t x, int32_t y, const TileWidth &widthOf, StoreStep *stroke)
{
    if (!fileopen)
        return;
    if (button == MouseButton::Left)
        painting = true;
    if (x > kMapWidth) {
        if (std::optional<PaletteSlot> slot = paletteSlotAt(x, y)) {
            palcolumn = slot->column;
            palrow = slot->row;
        } else if (y > 83 && y < 100) {
            --palscroll;
        } else if (y > 425 && y < 445) {
            ++palscroll;
        }
        palscroll = clampPaletteScroll(palscroll);
    }
    if (painting && x < kMapWidth) {
        CellPosition at = pointercell();
        paintcell(at.row, at.column, selectedtile(), PaintVariant::Press, widthOf, stroke);
    }
}

void mapMouseMove(int32_t x, int32_t y, const TileWidth &widthOf, StoreStep *stroke)
{
    if (!fileopen)
        return;
    pointerx = x;
    pointery = y;
    if (painting && x < kMapWidth) {
        CellPosition at = pointercell();
        paintcell(at.row, at.column, selectedtile(), PaintVariant::Drag, widthOf, stroke);
    }
}

void mapMouseUp() { painting = false; }

} // namespace qm
