#include "mapoverlays.h"

#include "levels/gamerules.h"
#include "levels/levelstore.h"
#include "levels/palette.h"
#include "levels/tiles.h"

#include "graphics/picturecollection.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <type_traits>

namespace qm {

namespace {

constexpr uint32_t kGridColour = 0x00909090;
constexpr uint32_t kStartColour = 0x0000FF40; // green

// Where a cell's top-left corner is on the map area; far-off cells (a start square read from a damaged
// file) are kept within reach of 32-bit pixel arithmetic.
int32_t onMap(double pixel) { return int32_t(std::trunc(std::clamp(pixel, -1e6, 1e6))); }

// Rectangles drawn onto the surface, clipped to the map area (in a frame) or to the whole surface
// (a level's picture), with the cells placed by the view offset and drawn square pixels a side.
struct MapCanvas {
    TDirectDrawSurface &surface;
    int32_t width = maparea.width(), height = maparea.height();
    int32_t square = maparea.square;

    double scale() const { return double(kSquare) / square; }
    int32_t screenX(int32_t column) const { return onMap(((column - 1) * double(kSquare) - viewx) / scale()); }
    int32_t screenY(int32_t row) const { return onMap(((row - 1) * double(kSquare) - viewy) / scale()); }

    void fill(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t pixel) const
    {
        surface.Fill(TRect{std::max(left, 0), std::max(top, 0), std::min({right, width, surface.Width()}),
                           std::min({bottom, height, surface.Height()})},
                     pixel);
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

void drawGrid(const MapCanvas &canvas, const tlevel &level, uint32_t pixel)
{
    TDirectDrawSurface &surface = canvas.surface;
    const int32_t width = std::clamp(level.width, 0, kGridSize), height = std::clamp(level.height, 0, kGridSize);
    const int32_t right = canvas.screenX(width + 1), bottom = canvas.screenY(height + 1);
    const int32_t left = canvas.screenX(1), top = canvas.screenY(1);
    // Dotted on even pixels, so that the cells show through; written straight into the rows, within the
    // map area and the clip.
    const TRect clip = surface.clip();
    const int32_t xLow = std::max(0, clip.left), xHigh = std::min({canvas.width, clip.right, surface.Width()});
    const int32_t yLow = std::max(0, clip.top), yHigh = std::min({canvas.height, clip.bottom, surface.Height()});
    if (xLow >= xHigh || yLow >= yHigh)
        return;
    uint8_t *bits = surface.mutableBits();
    const bool wide = surface.pixelFormat() == SurfacePixelFormat::Xrgb8888;
    const auto dot = [&](int32_t x, int32_t y) {
        uint8_t *row = bits + ptrdiff_t(y) * surface.pitch();
        if (wide)
            reinterpret_cast<uint32_t *>(row)[x] = pixel;
        else
            reinterpret_cast<uint16_t *>(row)[x] = static_cast<uint16_t>(pixel);
    };
    const auto evenFrom = [](int32_t first, int32_t low) { return std::max(first & ~1, (low + 1) & ~1); };
    for (int32_t c = 1; c <= width + 1; ++c) {
        const int32_t x = canvas.screenX(c);
        if (x >= xLow && x < xHigh)
            for (int32_t y = evenFrom(std::max(top, 0), yLow); y < std::min(bottom, yHigh); y += 2)
                dot(x, y);
    }
    for (int32_t r = 1; r <= height + 1; ++r) {
        const int32_t y = canvas.screenY(r);
        if (y >= yLow && y < yHigh)
            for (int32_t x = evenFrom(std::max(left, 0), xLow); x < std::min(right, xHigh); x += 2)
                dot(x, y);
    }
}

void drawStartMarker(const MapCanvas &canvas, const tlevel &level, uint32_t outer, uint32_t inner)
{
    const CellPosition start = startSquare(level);
    const int32_t x = canvas.screenX(start.column), y = canvas.screenY(start.row);
    // Drawn for squares of 40 pixels; smaller squares get the same marker in proportion.
    const int32_t s = canvas.square;
    const auto at = [s](int32_t pixels) { return pixels * s / kSquare; };
    const int32_t outerWidth = std::max(at(4), 1), innerWidth = std::max(at(2), 1);
    canvas.frame(x, y, x + s, y + s, outerWidth, outer);
    canvas.frame(x + outerWidth, y + outerWidth, x + s - outerWidth, y + s - outerWidth, innerWidth, inner);
    // A diamond in the middle.
    for (int32_t d = 0; d < at(8); ++d) {
        canvas.fill(x + at(20) - d, y + at(12) + d, x + at(20) + d, y + at(12) + d + 1, outer);
        canvas.fill(x + at(20) - d, y + at(28) - d - 1, x + at(20) + d, y + at(28) - d, outer);
    }
}

void drawStamp(TDirectDrawSurface &surface, const TPictureCollection &tiles, const Stamp &stamp, int32_t x, int32_t y)
{
    const int32_t square = maparea.square;
    // As the level's cells are drawn: the kind 102 cells last.
    for (const bool onTopPass : {false, true})
        for (int32_t r = 0; r < stamp.rows; ++r)
            for (int32_t c = 0; c < stamp.columns; ++c) {
                const cell &at = stamp.at(r, c);
                if ((at.kind == kKindOnTop) == onTopPass)
                    drawTileAtZoom(surface, tiles, at.tile, x + c * square, y + r * square, at.pattern, true);
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
    const MapCanvas canvas{surface};
    // The pixels are changed in place, so the clip is kept here: a pixel shaded twice would darken.
    const TRect clip = surface.clip();
    const int32_t right = std::min(canvas.width, clip.right), bottom = std::min(canvas.height, clip.bottom);
    uint8_t *bits = nullptr;
    for (int32_t r = 1; r <= reach.rows; ++r) {
        const int32_t top = std::max(canvas.screenY(r), clip.top), below = std::min(canvas.screenY(r + 1), bottom);
        if (top >= below)
            continue;
        for (int32_t c = 1; c <= reach.columns; ++c) {
            const Reached reached = reach.at(r, c);
            if (reached == Reached::Freely)
                continue;
            const int32_t left = std::max(canvas.screenX(c), clip.left), beyond = std::min(canvas.screenX(c + 1), right);
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
    const MapCanvas canvas{surface, surface.Width(), surface.Height(), kSquare};
    drawGrid(canvas, level, surface.ColorToPixel(kGridColour));
    drawStartMarker(canvas, level, surface.ColorToPixel(kStartColour), surface.ColorToPixel(clBlack));
}

void drawToolsFrame(int32_t lagCount, TDirectDrawSurface &surface, const FramePictures &pictures, MapTools &tools)
{
    drawToolsFrame(scrollview(lagCount), surface, pictures, tools);
}

namespace {

constexpr uint32_t kMarkColour = 0x0000E0FF; // amber

// What lies under the pointer: the map view without it, the reach shading, the grid, the start marker
// and the frame of the carried tile's palette slot.
void drawToolsBase(TDirectDrawSurface &surface, const FramePictures &pictures, MapTools &tools)
{
    drawMapBase(surface, pictures);
    const tlevel *level = currentLevel();
    if (!level)
        return;
    if (tools.reach)
        drawReachShading(surface, *level, tools.reachShading.of(*level));
    if (tools.overlays) {
        const MapCanvas canvas{surface};
        drawGrid(canvas, *level, surface.ColorToPixel(kGridColour));
        drawStartMarker(canvas, *level, surface.ColorToPixel(kStartColour), surface.ColorToPixel(clBlack));
    }
    if (tools.overlays && carriedtile == kPaletteSlotCarried && !tools.stamp && palrow >= palscroll
        && palrow < palscroll + kPaletteRowsShown) {
        const uint32_t markPixel = surface.ColorToPixel(kMarkColour);
        const int32_t x = slotLeft() + kSlotPitch * palcolumn, y = kSlotTop + kSlotPitch * (palrow - palscroll);
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
}

// What moves with the pointer: the marked or dragged rectangle, the carried stamp and the pointer.
void drawToolsTop(PointerZone zone, TDirectDrawSurface &surface, const FramePictures &pictures, MapTools &tools)
{
    const tlevel *level = currentLevel();
    if (level) {
        const MapCanvas canvas{surface};
        const uint32_t markPixel = surface.ColorToPixel(kMarkColour);
        const uint32_t whitePixel = surface.ColorToPixel(clWhite);
        const auto outline = [&](const CellRect &rect, uint32_t pixel) {
            canvas.frame(canvas.screenX(rect.left) - 1, canvas.screenY(rect.top) - 1,
                         canvas.screenX(rect.right + 1) + 1, canvas.screenY(rect.bottom + 1) + 1, 2, pixel);
        };
        if (tools.drag == MapTools::Drag::Line || tools.drag == MapTools::Drag::Rectangle) {
            // Each piece the release would paint.
            for (const CellPosition &at : tools.dragPieces(*level, pointercell()))
                outline({at.row, at.column, at.row + tools.dragSize.row - 1, at.column + tools.dragSize.column - 1},
                        whitePixel);
        } else if (tools.drag == MapTools::Drag::Mark || tools.drag == MapTools::Drag::Fill) {
            if (const std::optional<CellRect> rect = cellsBetween(*level, tools.dragFrom, pointercell()))
                outline(*rect, tools.drag == MapTools::Drag::Fill ? whitePixel : markPixel);
        } else if (tools.marked) {
            outline(*tools.marked, markPixel);
        }
        const int32_t mapWidth = maparea.width();
        if (tools.stamp && zone == PointerZone::None && pointerx < mapWidth) {
            // The overlays belong to the map area: the stamp's tiles are drawn whole, clipped to it, so
            // the panel stays as it is.
            const TRect clip = surface.clip();
            surface.setClip(TRect{clip.left, clip.top, std::min(clip.right, mapWidth), clip.bottom});
            drawStamp(surface, pictures.tiles, *tools.stamp, pointerx, pointery);
            canvas.frame(pointerx - 1, pointery - 1, pointerx + tools.stamp->columns * canvas.square + 1,
                         pointery + tools.stamp->rows * canvas.square + 1, 1, whitePixel);
            surface.setClip(clip);
        }
    }
    drawPointer(surface, pictures, zone);
}

uint64_t bitsOf(double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void appendRevisions(FrameMemory::Key &key, const TPictureCollection &pictures)
{
    key.push_back(uint64_t(pictures.Count()));
    for (int32_t k = 0; k < pictures.Count(); ++k)
        key.push_back(pictures.Items(k).revision());
}

// FNV-1a over a stamp's cells: it can be flipped without changing its size.
uint64_t fingerprint(const Stamp &stamp)
{
    uint64_t hash = 14695981039346656037ull;
    const auto *bytes = reinterpret_cast<const uint8_t *>(stamp.cells.data());
    for (size_t i = 0; i < stamp.cells.size() * sizeof(cell); ++i)
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

} // namespace

void drawToolsFrame(PointerZone zone, TDirectDrawSurface &surface, const FramePictures &pictures, MapTools &tools)
{
    if (tools.stamp)
        carriedtile = kStampCarried; // also after a new file reset the store's window state
    drawToolsBase(surface, pictures, tools);
    drawToolsTop(zone, surface, pictures, tools);
}

const std::vector<TRect> &drawChangedToolsFrame(FrameMemory &memory, PointerZone zone, TDirectDrawSurface &surface,
                                                const FramePictures &pictures, MapTools &tools)
{
    if (tools.stamp)
        carriedtile = kStampCarried;
    const tlevel *level = currentLevel();
    FrameMemory::Key base{uint64_t(surface.Width()), uint64_t(surface.Height()), uint64_t(surface.pixelFormat()),
                          uint64_t(maparea.controlWidth), uint64_t(maparea.controlHeight), uint64_t(maparea.square),
                          bitsOf(viewx), bitsOf(viewy), uint64_t(curlevel), uint64_t(palscroll),
                          uint64_t(carriedtile), uint64_t(palrow), uint64_t(palcolumn), tools.stamp.has_value(),
                          tools.overlays, tools.reach};
    appendRevisions(base, pictures.tiles);
    appendRevisions(base, pictures.editor);
    if (level) {
        for (const int32_t value : {level->width, level->height, level->startx, level->starty})
            base.push_back(uint64_t(uint32_t(value)));
        if (tools.reach) {
            tools.reachShading.of(*level); // worked out again only when the level changed
            base.push_back(uint64_t(tools.reachShading.fills()));
        }
    }
    FrameMemory::Key top{uint64_t(uint32_t(pointerx)), uint64_t(uint32_t(pointery)), uint64_t(zone),
                         uint64_t(uint32_t(selectedtile())), uint64_t(tools.drag)};
    for (const int32_t value : {tools.dragFrom.row, tools.dragFrom.column, tools.dragSize.row, tools.dragSize.column})
        top.push_back(uint64_t(uint32_t(value)));
    if (tools.marked)
        for (const int32_t value : {tools.marked->left, tools.marked->top, tools.marked->right, tools.marked->bottom})
            top.push_back(uint64_t(uint32_t(value)));
    if (tools.stamp) {
        top.push_back(uint64_t(tools.stamp->rows) << 32 | uint32_t(tools.stamp->columns));
        top.push_back(fingerprint(*tools.stamp));
    }
    return memory.draw(
        surface, std::move(base), std::move(top), level,
        [&] { return cellPlacement(surface, pictures.tiles, *level); }, maparea.square,
        [&](TDirectDrawSurface &s) { drawToolsBase(s, pictures, tools); },
        [&](TDirectDrawSurface &s) { drawToolsTop(zone, s, pictures, tools); });
}

} // namespace qm
