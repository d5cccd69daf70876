#include "maptools.h"

#include "levels/palette.h"
#include "levels/startsquare.h"
#include "levels/tiles.h"

#include "graphics/picturecollection.h"

#include "platform/errors.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace qm {

namespace {

constexpr char kCellsMagic[] = "QMCELLS1";
constexpr size_t kMagicSize = sizeof(kCellsMagic) - 1;
constexpr size_t kCellBytes = 16;

const char *kindName(int32_t kind)
{
    switch (kind) {
    case kKindOrdinary:
        return "ordinary";
    case kKindMarked:
        return "marked";
    case kKindOnTop:
        return "on top";
    default:
        return "unknown kind";
    }
}

// The name a tile's picture has in the loaded graphics file, or "no picture".
std::string pictureName(const TPictureCollection &tiles, int32_t tile)
{
    if (tile < 0 || tile >= tiles.Count())
        return "no picture";
    const std::string &name = tiles.Items(tile).Name();
    return name.empty() ? "unnamed picture" : name;
}

std::string tileText(const TPictureCollection &tiles, int32_t tile)
{
    return std::to_string(tile) + " " + pictureName(tiles, tile);
}

void putNumber(std::string &out, int32_t value)
{
    const auto bits = uint32_t(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(char((bits >> shift) & 0xFF));
}

int32_t numberAt(std::string_view bytes, size_t at)
{
    uint32_t bits = 0;
    for (int k = 0; k < 4; ++k)
        bits |= uint32_t(uint8_t(bytes[at + size_t(k)])) << (8 * k);
    return int32_t(bits);
}

constexpr uint32_t kGridColour = 0x00909090;
constexpr uint32_t kStartColour = 0x0000FF40; // green

Error damaged(const std::string &what)
{
    return Error("ECellsClipboard", "The cells on the clipboard are damaged: " + what + ".");
}

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

void MapTools::carry(Stamp cells)
{
    stamp = std::move(cells);
    carriedtile = kStampCarried;
}

void MapTools::dropStamp()
{
    stamp.reset();
    if (carriedtile == kStampCarried)
        carriedtile = kPaletteSlotCarried;
}

bool MapTools::drop()
{
    const bool held = stamp || marked || drag != Drag::None;
    dropStamp();
    marked.reset();
    drag = Drag::None;
    return held;
}

std::optional<CellRect> cellsBetween(const tlevel &level, CellPosition a, CellPosition b)
{
    CellRect rect{std::max(std::min(a.row, b.row), 1), std::max(std::min(a.column, b.column), 1),
                  std::min({std::max(a.row, b.row), level.height, kGridSize}),
                  std::min({std::max(a.column, b.column), level.width, kGridSize})};
    if (rect.bottom < rect.top || rect.right < rect.left)
        return std::nullopt;
    return rect;
}

Stamp captureStamp(const tlevel &level, const CellRect &rect)
{
    Stamp stamp{rect.rows(), rect.columns(), {}};
    stamp.cells.reserve(size_t(stamp.rows) * size_t(stamp.columns));
    for (int32_t r = rect.top; r <= rect.bottom; ++r)
        for (int32_t c = rect.left; c <= rect.right; ++c) {
            const cell *at = level.cellAt(r, c);
            stamp.cells.push_back(at ? *at : kDefaultCell);
        }
    return stamp;
}

void writeStamp(StoreStep &step, int32_t k, CellPosition topLeft, const Stamp &stamp)
{
    const tlevel &level = levels[k];
    for (int32_t r = 0; r < stamp.rows; ++r)
        for (int32_t c = 0; c < stamp.columns; ++c) {
            const int64_t row = int64_t(topLeft.row) + r, column = int64_t(topLeft.column) + c;
            if (row >= 1 && row <= level.height && column >= 1 && column <= level.width)
                step.setCell(k, int32_t(row), int32_t(column), stamp.at(r, c));
        }
}

void clearCells(StoreStep &step, int32_t k, const CellRect &rect)
{
    for (int32_t r = rect.top; r <= rect.bottom; ++r)
        for (int32_t c = rect.left; c <= rect.right; ++c)
            step.setCell(k, r, c, kDefaultCell);
}

CellPosition paintedSize(int32_t tile, const TileWidth &widthOf)
{
    CellPosition size{1, 1};
    paintingWrites(1, 1, tile, PaintVariant::Press, widthOf, [&](const CellWrite &write) {
        if (write.fields & CellWrite::Tile) {
            size.row = std::max(size.row, write.row);
            size.column = std::max(size.column, write.column);
        }
    });
    return size;
}

namespace {

// Calls put(row, column) at each place where a rows x columns piece starts when rect is covered with
// whole pieces side by side from its top left; answers how many.
template <class Put> int32_t tileRect(const CellRect &rect, CellPosition size, Put &&put)
{
    int32_t count = 0;
    for (int32_t r = rect.top; r + size.row - 1 <= rect.bottom; r += size.row)
        for (int32_t c = rect.left; c + size.column - 1 <= rect.right; c += size.column) {
            put(r, c);
            ++count;
        }
    return count;
}

} // namespace

int32_t fillCells(StoreStep &step, int32_t k, const CellRect &rect, int32_t tile, const TileWidth &widthOf)
{
    return tileRect(rect, paintedSize(tile, widthOf),
                    [&](int32_t r, int32_t c) { step.paint(k, r, c, tile, PaintVariant::Press, widthOf); });
}

int32_t fillWithStamp(StoreStep &step, int32_t k, const CellRect &rect, const Stamp &stamp)
{
    return tileRect(rect, {stamp.rows, stamp.columns},
                    [&](int32_t r, int32_t c) { writeStamp(step, k, {r, c}, stamp); });
}

void carryTile(int32_t tile)
{
    if (!onPalette(tile)) {
        carriedtile = tile;
        return;
    }
    carriedtile = kPaletteSlotCarried;
    const PaletteSlot slot = paletteSlot(tile);
    palrow = slot.row;
    palcolumn = slot.column;
    palscroll = paletteScrollShowing(palrow, palscroll);
}

std::optional<int32_t> paletteTileAt(int32_t x, int32_t y)
{
    const std::optional<PaletteSlot> slot = paletteSlotAt(x, y);
    if (!slot)
        return std::nullopt;
    return paletteTile(slot->row, slot->column);
}

CellPosition startSquare(const tlevel &level)
{
    return {int32_t(startSquareOf(level.starty)), int32_t(startSquareOf(level.startx))};
}

bool moveStartSquare(StoreStep &step, int32_t k, CellPosition to)
{
    tlevel &level = levels[k];
    const int32_t row = std::clamp(to.row, 1, std::clamp(level.height, 1, kGridSize));
    const int32_t column = std::clamp(to.column, 1, std::clamp(level.width, 1, kGridSize));
    const int32_t startx = startPixelOf(column), starty = startPixelOf(row);
    if (startx == level.startx && starty == level.starty)
        return false;
    step.levelChanging(k);
    level.startx = startx;
    level.starty = starty;
    return true;
}

std::optional<CellRect> visibleCells()
{
    const tlevel *level = currentLevel();
    if (!level)
        return std::nullopt;
    // A cell is shown when any of its pixels lies on the map area.
    const auto first = [](double view) { return int32_t(std::floor(view / kSquare)) + 1; };
    const auto last = [](double view, int32_t extent) { return int32_t(std::ceil((view + extent) / kSquare)); };
    return cellsBetween(*level, {first(viewy), first(viewx)}, {last(viewy, kMapHeight), last(viewx, kMapWidth)});
}

CellPosition nearestVisibleCell(CellPosition cell)
{
    const std::optional<CellRect> shown = visibleCells();
    if (!shown)
        return cell;
    return {std::clamp(cell.row, shown->top, shown->bottom), std::clamp(cell.column, shown->left, shown->right)};
}

void scrollViewBy(double dx, double dy)
{
    if (!currentLevel())
        return;
    viewx += dx;
    viewy += dy;
    clampView();
}

void scrollViewToEdge(bool bottomRight)
{
    const double far = bottomRight ? kGridSize * double(kSquare) : -kGridSize * double(kSquare);
    scrollViewBy(far - viewx, far - viewy);
}

std::string stampBytes(const Stamp &stamp)
{
    std::string out(kCellsMagic, kMagicSize);
    putNumber(out, stamp.rows);
    putNumber(out, stamp.columns);
    for (const cell &square : stamp.cells)
        for (int32_t value : {square.tile, square.reserved, square.kind, square.pattern})
            putNumber(out, value);
    return out;
}

std::string stampText(const Stamp &stamp)
{
    std::string out;
    for (int32_t r = 0; r < stamp.rows; ++r) {
        for (int32_t c = 0; c < stamp.columns; ++c)
            out += (c ? "\t" : "") + std::to_string(stamp.at(r, c).tile);
        out += '\n';
    }
    return out;
}

Stamp readStampBytes(std::string_view bytes)
{
    if (bytes.size() < kMagicSize + 8 || bytes.substr(0, kMagicSize) != std::string_view(kCellsMagic, kMagicSize))
        throw damaged("they do not start as cells of a level do");
    const int32_t rows = numberAt(bytes, kMagicSize), columns = numberAt(bytes, kMagicSize + 4);
    if (rows < 1 || rows > kGridSize || columns < 1 || columns > kGridSize)
        throw damaged(std::to_string(rows) + " x " + std::to_string(columns) + " is no size of a level's cells");
    const size_t count = size_t(rows) * size_t(columns);
    const size_t expected = kMagicSize + 8 + count * kCellBytes;
    if (bytes.size() != expected)
        throw damaged(std::to_string(expected) + " bytes were expected for " + std::to_string(rows) + " x "
                      + std::to_string(columns) + " cells, " + std::to_string(bytes.size()) + " are there");
    Stamp stamp{rows, columns, {}};
    stamp.cells.reserve(count);
    for (size_t at = kMagicSize + 8; at < bytes.size(); at += kCellBytes) {
        const cell square{numberAt(bytes, at), numberAt(bytes, at + 4), numberAt(bytes, at + 8),
                          numberAt(bytes, at + 12)};
        // Kinds and signs that no level the editor paints, imports or reads can hold. Any tile number
        // and reserved value pass: Copy takes cells as a file holds them, and they must paste back.
        const size_t index = stamp.cells.size();
        const std::string where = "cell " + std::to_string(index / size_t(columns) + 1) + ","
                                  + std::to_string(index % size_t(columns) + 1);
        if (square.kind != kKindOrdinary && square.kind != kKindMarked && square.kind != kKindOnTop)
            throw damaged(where + " has kind " + std::to_string(square.kind));
        if (square.tile < 0)
            throw damaged(where + " has tile " + std::to_string(square.tile));
        if (square.pattern < 0)
            throw damaged(where + " has pattern " + std::to_string(square.pattern));
        stamp.cells.push_back(square);
    }
    return stamp;
}

std::string statusText(const MapTools &tools, const TPictureCollection &tiles, const std::string &fileName,
                       bool mapShown)
{
    std::string text = fileName + (saved ? " (saved)" : " (changed)");
    const tlevel *level = currentLevel();
    if (!level)
        return text;
    text += " | Level " + std::to_string(curlevel) + " " + level->name;
    if (!mapShown)
        return text;
    if (pointerx > kMapWidth) {
        if (const std::optional<int32_t> tile = paletteTileAt(pointerx, pointery))
            text += " | Palette: " + tileText(tiles, *tile);
    } else {
        const CellPosition at = pointercell();
        // In the order of the levels dialog's start square: X (the column), then Y (the row).
        text += " | Column " + std::to_string(at.column) + ", row " + std::to_string(at.row);
        const cell *square = level->cellAt(at.row, at.column);
        if (square && at.row <= level->height && at.column <= level->width) {
            text += ": " + tileText(tiles, square->tile) + ", " + kindName(square->kind);
        } else {
            text += ": outside the level";
        }
    }
    if (tools.stamp)
        text += " | Stamp " + std::to_string(tools.stamp->columns) + " x " + std::to_string(tools.stamp->rows);
    else
        text += " | Carrying " + tileText(tiles, selectedtile());
    int64_t held = 0;
    for (int32_t r = 1; r <= std::min(level->height, kGridSize); ++r)
        for (int32_t c = 1; c <= std::min(level->width, kGridSize); ++c)
            held += level->cellAt(r, c)->tile == kTileInfotron;
    text += " | Infotrons " + std::to_string(level->infotrons) + " asked, " + std::to_string(held) + " held";
    return text;
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
    if (!level || (!tools.overlays && !tools.stamp && tools.drag == MapTools::Drag::None && !tools.marked))
        return;

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
