#include "mapediting.h"

#include "levels/levelstore.h"

#include <algorithm>
#include <cmath>

namespace qm {

namespace {

constexpr int32_t kEdge = 20;

// trunc(value) div 40, both toward zero.
int32_t squareOf(double value) { return static_cast<int32_t>(static_cast<int64_t>(std::trunc(value)) / kSquare); }

} // namespace

MapArea maparea;

void setControlSize(int32_t width, int32_t height)
{
    const MapArea first;
    maparea.controlWidth = std::max(width, first.controlWidth);
    maparea.controlHeight = std::max(height, first.controlHeight);
    clampView();
}

int32_t zoomStep(int32_t steps)
{
    const auto *begin = std::begin(kZoomSquares), *end = std::end(kZoomSquares);
    const auto *now = std::find(begin, end, maparea.square);
    const ptrdiff_t at = now == end ? 0 : now - begin;
    // The list goes from the largest squares down: a step in is a step towards its front.
    return kZoomSquares[std::clamp<ptrdiff_t>(at - steps, 0, end - begin - 1)];
}

void setZoom(int32_t square, int32_t anchorX, int32_t anchorY)
{
    if (std::find(std::begin(kZoomSquares), std::end(kZoomSquares), square) == std::end(kZoomSquares))
        return;
    const double levelX = viewx + anchorX * maparea.scale(), levelY = viewy + anchorY * maparea.scale();
    maparea.square = square;
    // The view stays on half pixels, as edge scrolling keeps it.
    viewx = std::round((levelX - anchorX * maparea.scale()) * 2) / 2;
    viewy = std::round((levelY - anchorY * maparea.scale()) * 2) / 2;
    clampView();
}

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
        viewy = std::min(viewy, level->height * double(kSquare) - maparea.height() * maparea.scale());
        viewx = std::min(viewx, level->width * double(kSquare) - maparea.width() * maparea.scale());
    }
}

PointerZone scrollview(int32_t lagCount)
{
    // The same speed on the screen at every zoom.
    const double d = lagCount * 0.5 * maparea.scale();
    PointerZone zone = PointerZone::None;
    if (pointery > maparea.height() - kEdge) {
        viewy += d;
        zone = PointerZone::Down;
    }
    if (pointery < kEdge) {
        viewy -= d;
        zone = PointerZone::Up;
    }
    if (pointerx > maparea.controlWidth - kEdge)
        viewx += d;
    if (pointerx < kEdge) {
        viewx -= d;
        zone = PointerZone::Left;
    }
    if (pointerx > maparea.width())
        zone = PointerZone::Panel;

    pointerx = std::min(pointerx, maparea.controlWidth);
    pointery = std::min(pointery, maparea.controlHeight);
    clampView();
    return zone;
}

void centreViewOn(int32_t row, int32_t column)
{
    const double left = (column - 1) * double(kSquare), top = (row - 1) * double(kSquare);
    const double scale = maparea.scale();
    viewx = left + kSquare / 2 - std::trunc(maparea.width() * scale / 2);
    viewy = top + kSquare / 2 - std::trunc(maparea.height() * scale / 2);
    clampView();
    // A cell off the level (a start square outside it) keeps the mark on the map area.
    pointerx = std::clamp(static_cast<int32_t>(std::trunc((left - viewx) / scale)), 0, maparea.width() - 1);
    pointery = std::clamp(static_cast<int32_t>(std::trunc((top - viewy) / scale)), 0, maparea.height() - 1);
}

CellPosition pointercell()
{
    const double scale = maparea.scale();
    return {squareOf(viewy + pointery * scale + 20) + 1, squareOf(viewx + pointerx * scale + 20) + 1};
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
    const int32_t panel = maparea.width();
    if (x <= panel || y <= 100 || y >= 425)
        return std::nullopt;
    return PaletteSlot{(y - 100) / 40 + palscroll, (x - panel) / 40};
}

void mapMouseDown(MouseButton button, int32_t x, int32_t y, const TileWidth &widthOf, StoreStep *stroke)
{
    if (!fileopen)
        return;
    if (button == MouseButton::Left)
        painting = true;
    if (x > maparea.width()) {
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
    if (painting && x < maparea.width()) {
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
    if (painting && x < maparea.width()) {
        CellPosition at = pointercell();
        paintcell(at.row, at.column, selectedtile(), PaintVariant::Drag, widthOf, stroke);
    }
}

void mapMouseUp() { painting = false; }

} // namespace qm
