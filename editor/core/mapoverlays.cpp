#include "mapoverlays.h"

#include "levels/gamerules.h"
#include "levels/levelstore.h"
#include "levels/palette.h"
#include "levels/tiles.h"

#include "graphics/picturecollection.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <type_traits>

namespace qm {

namespace {

constexpr uint32_t kGridColour = 0x00909090;
constexpr uint32_t kStartColour = 0x0000FF40; // green

// Rectangles drawn onto the surface, clipped to the map area (in a frame) or to the whole surface
// (a level's picture).
struct MapCanvas {
    TDirectDrawSurface &surface;
    int32_t width = kMapWidth, height = kMapHeight;

    void fill(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t pixel) const
    {
        left = std::max(left, 0);
        top = std::max(top, 0);
        right = std::min({right, width, surface.Width()});
        bottom = std::min({bottom, height, surface.Height()});
        for (int32_t y = top; y < bottom; ++y)
            for (int32_t x = left; x < right; ++x)
                surface.setPixel(x, y, pixel);
    }
    // A frame of the given thickness inside the pixel rectangle.
    void frame(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t thickness, uint32_t pixel) const
    {
        fill(left, top, right, top + thickness, pixel);
        fill(left, bottom - thickness, right, bottom, pixel);
        fill(left, top, left + thickness, bottom, pixel);
        fill(right - thickness, top, right, bottom, pixel);
    }
};

// Where a cell's top-left corner is on the map area; far-off cells (a start square read from a damaged
// file) are kept within reach of 32-bit pixel arithmetic.
int32_t onMap(double pixel) { return int32_t(std::trunc(std::clamp(pixel, -1e6, 1e6))); }
int32_t screenX(int32_t column) { return onMap((column - 1) * double(kSquare) - viewx); }
int32_t screenY(int32_t row) { return onMap((row - 1) * double(kSquare) - viewy); }

void drawGrid(const MapCanvas &canvas, const tlevel &level, uint32_t pixel)
{
    const int32_t width = std::clamp(level.width, 0, kGridSize), height = std::clamp(level.height, 0, kGridSize);
    const int32_t right = screenX(width + 1), bottom = screenY(height + 1);
    const int32_t left = screenX(1), top = screenY(1);
    // Dotted, so that the cells show through.
    for (int32_t c = 1; c <= width + 1; ++c) {
        const int32_t x = screenX(c);
        if (x >= 0 && x < canvas.width)
            for (int32_t y = std::max(top, 0) & ~1; y < std::min(bottom, canvas.height); y += 2)
                canvas.surface.setPixel(x, y, pixel);
    }
    for (int32_t r = 1; r <= height + 1; ++r) {
        const int32_t y = screenY(r);
        if (y >= 0 && y < canvas.height)
            for (int32_t x = std::max(left, 0) & ~1; x < std::min(right, canvas.width); x += 2)
                canvas.surface.setPixel(x, y, pixel);
    }
}

void drawStartMarker(const MapCanvas &canvas, const tlevel &level, uint32_t outer, uint32_t inner)
{
    const CellPosition start = startSquare(level);
    const int32_t x = screenX(start.column), y = screenY(start.row);
    canvas.frame(x, y, x + kSquare, y + kSquare, 4, outer);
    canvas.frame(x + 4, y + 4, x + kSquare - 4, y + kSquare - 4, 2, inner);
    // A diamond in the middle.
    for (int32_t d = 0; d < 8; ++d) {
        canvas.fill(x + 20 - d, y + 12 + d, x + 20 + d, y + 13 + d, outer);
        canvas.fill(x + 20 - d, y + 27 - d, x + 20 + d, y + 28 - d, outer);
    }
}

void drawStamp(TDirectDrawSurface &surface, const TPictureCollection &tiles, const Stamp &stamp, int32_t x, int32_t y)
{
    // As the level's cells are drawn: the kind 102 cells last.
    for (const bool onTopPass : {false, true})
        for (int32_t r = 0; r < stamp.rows; ++r)
            for (int32_t c = 0; c < stamp.columns; ++c) {
                const cell &square = stamp.at(r, c);
                if ((square.kind == kKindOnTop) != onTopPass || square.tile < 0 || square.tile >= tiles.Count())
                    continue;
                const TPictureCollectionItem &picture = tiles.Items(square.tile);
                picture.Draw(surface, x + c * kSquare - picture.SkipWidth(), y + r * kSquare - picture.SkipHeight(),
                             square.pattern);
            }
}

} // namespace

void drawReachShading(TDirectDrawSurface &surface, const tlevel &level, const ReachMap &reach)
{
    const SurfacePixelFormat format = surface.pixelFormat();
    const bool wide = format == SurfacePixelFormat::Xrgb8888;
    // Half and a quarter of each channel, as shifts with the bits that cross into the next channel
    // masked off.
    const uint32_t halfMask = wide ? 0x7F7F7Fu : 0x7BEFu, quarterMask = wide ? 0x3F3F3Fu : 0x39E7u;
    const uint32_t tint = surface.ColorToPixel(0x00400CB4); // deep red
    const uint32_t halfTint = (tint >> 1) & halfMask, quarterTint = (tint >> 2) & quarterMask;
    const int32_t right = std::min(kMapWidth, surface.Width()), bottom = std::min(kMapHeight, surface.Height());
    uint8_t *bits = nullptr;
    for (int32_t r = 1; r <= reach.rows; ++r) {
        const int32_t top = std::max(screenY(r), 0), below = std::min(screenY(r + 1), bottom);
        if (top >= below)
            continue;
        for (int32_t c = 1; c <= reach.columns; ++c) {
            const Reached reached = reach.at(r, c);
            if (reached == Reached::Freely)
                continue;
            const int32_t left = std::max(screenX(c), 0), beyond = std::min(screenX(c + 1), right);
            if (left >= beyond || ruleOf(level.cellAt(r, c)->tile) == TileRule::Wall)
                continue;
            if (!bits)
                bits = surface.mutableBits();
            const bool never = reached == Reached::Never;
            const auto shade = [&](auto *row) {
                for (int32_t x = left; x < beyond; ++x) {
                    const uint32_t p = row[x];
                    row[x] = static_cast<std::remove_reference_t<decltype(row[x])>>(
                        never ? ((p >> 1) & halfMask) + halfTint : p - ((p >> 2) & quarterMask) + quarterTint);
                }
            };
            for (int32_t y = top; y < below; ++y) {
                uint8_t *row = bits + ptrdiff_t(y) * surface.pitch();
                if (wide)
                    shade(reinterpret_cast<uint32_t *>(row));
                else
                    shade(reinterpret_cast<uint16_t *>(row));
            }
        }
    }
}

void drawLevelOverlays(TDirectDrawSurface &surface, const tlevel &level)
{
    const MapCanvas canvas{surface, surface.Width(), surface.Height()};
    drawGrid(canvas, level, surface.ColorToPixel(kGridColour));
    drawStartMarker(canvas, level, surface.ColorToPixel(kStartColour), surface.ColorToPixel(clBlack));
}

void drawToolsFrame(int32_t lagCount, TDirectDrawSurface &surface, const FramePictures &pictures, MapTools &tools)
{
    drawToolsFrame(scrollview(lagCount), surface, pictures, tools);
}

void drawToolsFrame(PointerZone zone, TDirectDrawSurface &surface, const FramePictures &pictures, MapTools &tools)
{
    if (tools.stamp)
        carriedtile = kStampCarried; // also after a new file reset the store's window state
    drawMapView(surface, pictures, zone);
    const tlevel *level = currentLevel();
    if (!level
        || (!tools.overlays && !tools.reach && !tools.stamp && tools.drag == MapTools::Drag::None && !tools.marked))
        return;
    if (tools.reach)
        drawReachShading(surface, *level, tools.reachShading.of(*level));

    const MapCanvas canvas{surface};
    const uint32_t gridPixel = surface.ColorToPixel(kGridColour);
    const uint32_t markPixel = surface.ColorToPixel(0x0000E0FF);  // amber
    const uint32_t startPixel = surface.ColorToPixel(kStartColour);
    const uint32_t darkPixel = surface.ColorToPixel(clBlack);
    const uint32_t whitePixel = surface.ColorToPixel(clWhite);
    if (tools.overlays) {
        drawGrid(canvas, *level, gridPixel);
        drawStartMarker(canvas, *level, startPixel, darkPixel);
    }
    const auto outline = [&](const CellRect &rect, uint32_t pixel) {
        canvas.frame(screenX(rect.left) - 1, screenY(rect.top) - 1, screenX(rect.right + 1) + 1,
                     screenY(rect.bottom + 1) + 1, 2, pixel);
    };
    if (tools.drag == MapTools::Drag::Mark || tools.drag == MapTools::Drag::Fill) {
        if (const std::optional<CellRect> rect = cellsBetween(*level, tools.dragFrom, pointercell()))
            outline(*rect, tools.drag == MapTools::Drag::Fill ? whitePixel : markPixel);
    } else if (tools.marked) {
        outline(*tools.marked, markPixel);
    }
    if (tools.stamp && zone == PointerZone::None && pointerx < kMapWidth) {
        // The panel is kept as it is: the overlays belong to the map area. The canvas keeps to it; the
        // stamp's tiles are drawn whole, so the panel under them is put back after them.
        const int32_t panelWidth = surface.Width() - kMapWidth;
        TDirectDrawSurface &panel = tools.panelCopy;
        if (panelWidth > 0) {
            if (panel.pixelFormat() != surface.pixelFormat())
                panel.setPixelFormat(surface.pixelFormat());
            if (panel.Width() != panelWidth || panel.Height() != surface.Height())
                panel.SetSize(panelWidth, surface.Height());
            panel.Draw(0, 0, TRect{kMapWidth, 0, surface.Width(), surface.Height()}, &surface, false);
        }
        drawStamp(surface, pictures.tiles, *tools.stamp, pointerx, pointery);
        canvas.frame(pointerx - 1, pointery - 1, pointerx + tools.stamp->columns * kSquare + 1,
                     pointery + tools.stamp->rows * kSquare + 1, 1, whitePixel);
        if (panelWidth > 0)
            surface.Draw(kMapWidth, 0, TRect{0, 0, panelWidth, surface.Height()}, &panel, false);
    }
    if (tools.overlays && carriedtile == kPaletteSlotCarried && !tools.stamp && palrow >= palscroll
        && palrow < palscroll + kPaletteRowsShown) {
        const int32_t x = kSlotLeft + kSlotPitch * palcolumn, y = kSlotTop + kSlotPitch * (palrow - palscroll);
        for (int32_t t = 0; t < 2; ++t)
            for (int32_t k = -1 - t; k <= kSquare + t; ++k) {
                for (const int32_t edge : {-1 - t, kSquare + t}) {
                    if (x + k >= 0 && x + k < surface.Width() && y + edge >= 0 && y + edge < surface.Height())
                        surface.setPixel(x + k, y + edge, markPixel);
                    if (x + edge >= 0 && x + edge < surface.Width() && y + k >= 0 && y + k < surface.Height())
                        surface.setPixel(x + edge, y + k, markPixel);
                }
            }
    }
    drawPointer(surface, pictures, zone);
}

} // namespace qm
