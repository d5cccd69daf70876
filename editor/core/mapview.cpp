#include "mapview.h"

#include "levels/levelstore.h"
#include "levels/palette.h"
#include "levels/tiles.h"

#include "graphics/directdrawsurface.h"
#include "graphics/picturecollection.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace qm {

namespace {

const TPictureCollectionItem *tilePicture(const TPictureCollection &tiles, int32_t tile)
{
    if (tile < 0 || tile >= tiles.Count())
        return nullptr;
    return &tiles.Items(tile);
}

void drawNamed(TDirectDrawSurface &surface, const TPictureCollection &editor, const char *name, int32_t x,
               int32_t y)
{
    if (const TPictureCollectionItem *item = editor.findItem(name))
        item->Draw(surface, x, y, 0);
}

// What a cell's draw needs of its tile's picture, looked up once a frame.
struct TileReach {
    bool shows = false; // false: the tile draws nothing
    int64_t skipWidth = 0, skipHeight = 0, width = 0, height = 0;
};

// The indices [first, last) of the ascending positions strictly between low and high.
std::pair<int, int> strictlyBetween(const int64_t *positions, int count, int64_t low, int64_t high)
{
    const int64_t *first = std::upper_bound(positions, positions + count, low);
    const int64_t *last = std::lower_bound(first, positions + count, high);
    return {static_cast<int>(first - positions), static_cast<int>(last - positions)};
}

// Whether a picture at (x, y), w x h, puts a pixel outside the cover's bounds or in one of its windows.
bool showsPast(const PanelCover &cover, int64_t x, int64_t y, int64_t w, int64_t h)
{
    const TRect &b = cover.bounds;
    if (x < b.left || y < b.top || x + w > b.right || y + h > b.bottom)
        return true;
    for (const TRect &r : cover.windows)
        if (x < r.right && r.left < x + w && y < r.bottom && r.top < y + h)
            return true;
    return false;
}

// Each picture is shifted left and up by its skips, so pictures larger than a square can be anchored
// above and left. Only the rows and columns where some tile's picture can reach the area are walked
// (cells under the panel are walked too: they show through its windows); a cell elsewhere would be
// clipped away whole. Positions are computed in 64 bits, so no skip offset can wrap a picture back onto
// the surface. Squares are drawn squarePixels apart, the view offset (in level pixels, 40 a square)
// divided alike; reachOfTile(k) tells tile k's reach. reachOf receives every tile's.
template <class ReachOf>
CellPlacement placeCells(const TRect &area, int32_t tileCount, const ReachOf &reachOfTile, const tlevel &level,
                         int32_t squarePixels, std::vector<TileReach> &reachOf)
{
    CellPlacement placed;
    const double scale = double(kSquare) / squarePixels;
    for (int i = 0; i < kGridSize; ++i) {
        placed.columnX[static_cast<size_t>(i)] = static_cast<int64_t>(std::trunc(i * double(squarePixels) - viewx / scale));
        placed.rowY[static_cast<size_t>(i)] = static_cast<int64_t>(std::trunc(i * double(squarePixels) - viewy / scale));
    }
    // A cell at column position x shows tile k on the area only when
    // left + skip - width < x < right + skip; the bounds over all tiles.
    reachOf.assign(static_cast<size_t>(std::max(tileCount, 0)), TileReach{});
    int64_t lowX = INT64_MAX, highX = INT64_MIN, lowY = INT64_MAX, highY = INT64_MIN;
    for (int32_t k = 0; k < tileCount; ++k) {
        const TileReach reach = reachOfTile(k);
        if (!reach.shows)
            continue;
        reachOf[static_cast<size_t>(k)] = reach;
        lowX = std::min(lowX, area.left + reach.skipWidth - reach.width);
        highX = std::max(highX, area.right + reach.skipWidth);
        lowY = std::min(lowY, area.top + reach.skipHeight - reach.height);
        highY = std::max(highY, area.bottom + reach.skipHeight);
    }
    const int width = std::clamp(level.width, 0, kGridSize);
    const int height = std::clamp(level.height, 0, kGridSize);
    std::tie(placed.firstColumn, placed.lastColumn) = strictlyBetween(placed.columnX.data(), width, lowX, highX);
    std::tie(placed.firstRow, placed.lastRow) = strictlyBetween(placed.rowY.data(), height, lowY, highY);
    return placed;
}

// The cells that can show on the surface's clip, in both passes; drawTile(k, x, y, pattern) draws one.
template <class ReachOf, class DrawTile>
void drawCells(TDirectDrawSurface &surface, int32_t tileCount, const ReachOf &reachOfTile, const DrawTile &drawTile,
               const tlevel &level, const PanelCover *cover, int32_t squarePixels)
{
    // The buffers are kept between frames: a frame allocates nothing.
    static std::vector<TileReach> reachOf;
    static std::vector<const cell *> secondPass;
    const CellPlacement placed = placeCells(surface.clip(), tileCount, reachOfTile, level, squarePixels, reachOf);
    const int64_t surfaceWidth = surface.Width(), surfaceHeight = surface.Height();
    secondPass.clear();

    auto draw = [&](const cell &square, int r, int c) {
        if (square.tile < 0 || static_cast<size_t>(square.tile) >= reachOf.size())
            return;
        const TileReach &reach = reachOf[static_cast<size_t>(square.tile)];
        const int64_t x = placed.columnX[static_cast<size_t>(c)] - reach.skipWidth;
        const int64_t y = placed.rowY[static_cast<size_t>(r)] - reach.skipHeight;
        // Off the surface (the picture's own test, before x and y are narrowed to 32 bits).
        if (!reach.shows || x >= surfaceWidth || y >= surfaceHeight || x + reach.width <= 0 || y + reach.height <= 0)
            return;
        if (cover && !showsPast(*cover, x, y, reach.width, reach.height))
            return;
        drawTile(square.tile, static_cast<int32_t>(x), static_cast<int32_t>(y), square.pattern);
    };
    for (int r = placed.firstRow; r < placed.lastRow; ++r) {
        for (int c = placed.firstColumn; c < placed.lastColumn; ++c) {
            const cell &square = level.cells[r][c];
            if (square.kind == kKindOnTop)
                secondPass.push_back(&square); // drawn above all others, in the same order
            else
                draw(square, r, c);
        }
    }
    for (const cell *square : secondPass) {
        const ptrdiff_t at = square - &level.cells[0][0];
        draw(*square, static_cast<int>(at / kGridSize), static_cast<int>(at % kGridSize));
    }
}

TileReach fullSizeReach(const TPictureCollection &tiles, int32_t k)
{
    const TPictureCollectionItem &picture = tiles.Items(k);
    if (!picture.Initialized() || picture.PatternCount() == 0)
        return TileReach{};
    return TileReach{true, picture.SkipWidth(), picture.SkipHeight(), picture.drawnWidth(), picture.drawnHeight()};
}

TileReach scaledReach(const ScaledTiles &tiles, int32_t k)
{
    const ScaledTiles::Tile *tile = tiles.tile(k);
    if (!tile)
        return TileReach{};
    return TileReach{true, tile->skipWidth, tile->skipHeight, tile->width, tile->height};
}

} // namespace

void drawLevel(TDirectDrawSurface &surface, const TPictureCollection &tiles, const tlevel &level,
               const PanelCover *cover)
{
    drawCells(
        surface, tiles.Count(), [&](int32_t k) { return fullSizeReach(tiles, k); },
        [&](int32_t k, int32_t x, int32_t y, int32_t pattern) { tiles.Items(k).Draw(surface, x, y, pattern); }, level,
        cover, kSquare);
}

void drawScaledLevel(TDirectDrawSurface &surface, const ScaledTiles &tiles, const tlevel &level,
                     const PanelCover *cover)
{
    drawCells(
        surface, tiles.count(), [&](int32_t k) { return scaledReach(tiles, k); },
        [&](int32_t k, int32_t x, int32_t y, int32_t pattern) { tiles.draw(surface, k, x, y, pattern); }, level, cover,
        kSquare / tiles.divisor());
}

CellPlacement cellPlacement(const TDirectDrawSurface &surface, const TPictureCollection &tiles, const tlevel &level)
{
    static std::vector<TileReach> reachOf;
    const TRect area{0, 0, surface.Width(), surface.Height()};
    const ScaledTiles *scaled = scaledTiles(tiles);
    CellPlacement placed =
        scaled ? placeCells(area, scaled->count(), [&](int32_t k) { return scaledReach(*scaled, k); }, level,
                            kSquare / scaled->divisor(), reachOf)
               : placeCells(area, tiles.Count(), [&](int32_t k) { return fullSizeReach(tiles, k); }, level, kSquare,
                            reachOf);
    // Skips come from the graphics file: whatever they say, the rectangles stay far within 32 bits.
    const auto narrow = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, -(int64_t(1) << 28), int64_t(1) << 28)); };
    placed.tileReach.reserve(reachOf.size());
    for (const TileReach &reach : reachOf)
        placed.tileReach.push_back(reach.shows ? TRect{narrow(-reach.skipWidth), narrow(-reach.skipHeight),
                                                       narrow(reach.width - reach.skipWidth),
                                                       narrow(reach.height - reach.skipHeight)}
                                               : TRect{});
    return placed;
}

namespace {

// The palette's slots with their tiles (without tiles, the bare slots), moved by (dx, dy).
void drawPalette(TDirectDrawSurface &surface, const TPictureCollection &editor, const TPictureCollection *tiles,
                 int32_t dx = 0, int32_t dy = 0)
{
    const TPictureCollectionItem *slot = editor.findItem("p");
    for (int i = 0; i < kPaletteRowsShown; ++i) {
        for (int k = 0; k < kPaletteColumns; ++k) {
            const int32_t x = slotLeft() + kSlotPitch * k + dx;
            const int32_t y = kSlotTop + kSlotPitch * i + dy;
            if (slot)
                slot->Draw(surface, x, y, 0);
            const int32_t tile = paletteTile(palscroll + i, k);
            if (const TPictureCollectionItem *picture = tiles ? tilePicture(*tiles, tile) : nullptr)
                picture->Draw(surface, x - picture->SkipWidth(), y - picture->SkipHeight(), 0);
        }
    }
}

// The slots without tiles and the panel, moved by (dx, dy): what covers the map whatever palscroll.
void drawBarePanel(TDirectDrawSurface &surface, const TPictureCollection &editor, int32_t dx, int32_t dy)
{
    drawPalette(surface, editor, nullptr, dx, dy);
    drawNamed(surface, editor, "fondtop", maparea.width() + dx, dy);
}

// The cover's rectangles are tested per cell; past this many, one rectangle around them all stands in.
constexpr size_t kMaxWindows = 64;
// A panel larger than this is taken to cover only this much (the rest is treated as showing).
constexpr int32_t kMaxCoverSide = 1024;

// The pixels of a w x h area that draw leaves as they were: drawn on two backgrounds, a pixel that
// keeps both was not drawn. The area is done in bands of rows, so that the scratch surface stays small
// beside everything the theme has just loaded; draw(scratch, top) draws the area moved up by top.
std::vector<bool> untouched(int32_t w, int32_t h, const std::function<void(TDirectDrawSurface &, int32_t)> &draw)
{
    constexpr int32_t kBandRows = 32;
    TDirectDrawSurface scratch;
    scratch.SetSize(w, std::min(h, kBandRows));
    std::vector<bool> kept(size_t(w) * size_t(h), true);
    for (int32_t top = 0; top < h; top += kBandRows) {
        const int32_t rows = std::min(kBandRows, h - top);
        for (uint32_t background : {0x00000000u, 0x00FFFFFFu}) {
            scratch.Fill(background);
            draw(scratch, top);
            for (int32_t y = 0; y < rows; ++y) {
                const auto *row = reinterpret_cast<const uint32_t *>(scratch.bits() + y * scratch.pitch());
                for (int32_t x = 0; x < w; ++x)
                    if (row[x] != background)
                        kept[size_t(top + y) * size_t(w) + size_t(x)] = false;
            }
        }
    }
    return kept;
}

// The rectangles of the true cells of a w x h mask: equal runs of consecutive rows merged.
std::vector<TRect> maskRectangles(const std::vector<bool> &shows, int32_t w, int32_t h)
{
    std::vector<TRect> done, open, next;
    for (int32_t y = 0; y <= h; ++y) {
        next.clear();
        for (int32_t x = 0; y < h && x < w;) {
            if (!shows[size_t(y) * size_t(w) + size_t(x)]) {
                ++x;
                continue;
            }
            const int32_t start = x;
            while (x < w && shows[size_t(y) * size_t(w) + size_t(x)])
                ++x;
            auto same = std::find_if(open.begin(), open.end(), [&](const TRect &r) { return r.left == start && r.right == x; });
            if (same != open.end()) {
                next.push_back({start, same->top, x, y + 1});
                same->right = same->left; // taken over
            } else {
                next.push_back({start, y, x, y + 1});
            }
        }
        for (const TRect &r : open)
            if (!r.isEmpty())
                done.push_back(r);
        std::swap(open, next);
    }
    return done;
}

} // namespace

PanelCover panelCover(const TPictureCollection &editor)
{
    // The bounds of everything the slots and the panel draw.
    int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
    auto include = [&](const char *name, int64_t x, int64_t y) {
        const TPictureCollectionItem *item = editor.findItem(name);
        if (!item || !item->Initialized() || item->PatternCount() == 0)
            return;
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x + item->drawnWidth());
        bottom = std::max(bottom, y + item->drawnHeight());
    };
    for (int i = 0; i < kPaletteRowsShown; ++i)
        for (int k = 0; k < kPaletteColumns; ++k)
            include("p", slotLeft() + kSlotPitch * k, kSlotTop + kSlotPitch * i);
    include("fondtop", maparea.width(), 0);
    if (left >= right || top >= bottom)
        return {};
    right = std::min(right, left + kMaxCoverSide);
    bottom = std::min(bottom, top + kMaxCoverSide);
    const int32_t w = int32_t(right - left), h = int32_t(bottom - top);

    const int32_t dx = int32_t(-left), dy = int32_t(-top);
    const std::vector<bool> shows =
        untouched(w, h, [&](TDirectDrawSurface &scratch, int32_t band) { drawBarePanel(scratch, editor, dx, dy - band); });
    PanelCover cover{{int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)}, maskRectangles(shows, w, h)};
    if (cover.windows.size() > kMaxWindows) {
        TRect around = cover.windows.front();
        for (const TRect &r : cover.windows)
            around = {std::min(around.left, r.left), std::min(around.top, r.top), std::max(around.right, r.right),
                      std::max(around.bottom, r.bottom)};
        cover.windows = {around};
    }
    for (TRect &r : cover.windows)
        r = {r.left + cover.bounds.left, r.top + cover.bounds.top, r.right + cover.bounds.left,
             r.bottom + cover.bounds.top};
    return cover;
}

void drawPanel(TDirectDrawSurface &surface, const FramePictures &pictures)
{
    drawPalette(surface, pictures.editor, &pictures.tiles);
    drawNamed(surface, pictures.editor, "fondtop", maparea.width(), 0);
    // A window taller than the first size: below the panel its column stays dark, as the map area
    // ends at the panel's left edge.
    const int32_t panelBottom = MapArea{}.surfaceHeight();
    if (surface.Height() > panelBottom)
        surface.Fill(TRect{maparea.width(), panelBottom, surface.Width(), surface.Height()}, 0);
}

namespace {

// The background picture at (0, dy); a map area larger than the first one has more copies side by side,
// at least 640 x 480 apart, so that the first one stays where it is.
void drawBackground(TDirectDrawSurface &surface, const TPictureCollectionItem *background, int32_t dy)
{
    if (!background)
        return;
    const int64_t stepX = std::max<int64_t>(background->drawnWidth(), kMapWidth);
    const int64_t stepY = std::max<int64_t>(background->drawnHeight(), kMapHeight);
    for (int64_t y = 0; y < maparea.height(); y += stepY)
        for (int64_t x = 0; x < maparea.width(); x += stepX)
            background->Draw(surface, int32_t(x), int32_t(y + dy), 0);
}

// What a frame of the surface's size needs besides the pictures, found again only when one of the
// pictures it depends on, or the size, has changed: the panel's cover, and the parts of the frame
// that neither the background nor the panel draws over (the only parts the fill must clear; null
// when they are too many rectangles to be worth it).
struct FrameCover {
    PanelCover panel;
    std::optional<std::vector<TRect>> fill;
};

const FrameCover &currentCover(const FramePictures &pictures, const TDirectDrawSurface &surface)
{
    static FrameCover cover;
    static std::array<uint64_t, 6> madeFor{};
    auto revision = [](const TPictureCollectionItem *item) { return item ? item->revision() : 0; };
    const TPictureCollectionItem *background = tilePicture(pictures.tiles, 0);
    const std::array<uint64_t, 6> now{revision(pictures.editor.findItem("p")), revision(pictures.editor.findItem("fondtop")),
                                      revision(background), uint64_t(surface.Width()), uint64_t(surface.Height()),
                                      uint64_t(maparea.width())};
    if (now == madeFor)
        return cover;
    cover.panel = panelCover(pictures.editor);
    const int32_t w = surface.Width(), h = surface.Height();
    cover.fill.reset();
    if (w > 0 && h > 0) {
        std::vector<TRect> rects = maskRectangles(untouched(w, h, [&](TDirectDrawSurface &scratch, int32_t top) {
                                                      drawBackground(scratch, background, -top);
                                                      drawBarePanel(scratch, pictures.editor, 0, -top);
                                                  }),
                                                  w, h);
        if (rects.size() <= kMaxWindows)
            cover.fill = std::move(rects);
    }
    madeFor = now;
    return cover;
}

} // namespace

const ScaledTiles *scaledTiles(const TPictureCollection &tiles)
{
    if (maparea.square >= kSquare || maparea.square <= 0)
        return nullptr;
    // One set a zoom level: going back to a zoom already seen costs nothing.
    static std::map<int32_t, ScaledTiles> sets;
    ScaledTiles &set = sets[maparea.square];
    set.follow(tiles, kSquare / maparea.square);
    return &set;
}

void drawTileAtZoom(TDirectDrawSurface &surface, const TPictureCollection &tiles, int32_t tile, int32_t x, int32_t y,
                    int32_t pattern, bool lessSkips)
{
    if (const ScaledTiles *scaled = scaledTiles(tiles)) {
        if (const ScaledTiles::Tile *drawn = scaled->tile(tile))
            scaled->draw(surface, tile, lessSkips ? x - drawn->skipWidth : x, lessSkips ? y - drawn->skipHeight : y,
                         pattern);
    } else if (const TPictureCollectionItem *picture = tilePicture(tiles, tile)) {
        picture->Draw(surface, lessSkips ? x - picture->SkipWidth() : x, lessSkips ? y - picture->SkipHeight() : y,
                      pattern);
    }
}

namespace {

// The frame around the carried tile ("mousex", one pixel up and left of it), made smaller with the
// squares when the map is zoomed out, so that it still frames the square that a press paints.
void drawCarriedFrame(TDirectDrawSurface &surface, const TPictureCollection &editor)
{
    const TPictureCollectionItem *frame = editor.findItem("mousex");
    if (!frame)
        return;
    if (maparea.square >= kSquare || maparea.square <= 0) {
        frame->Draw(surface, pointerx - 1, pointery - 1, 0);
        return;
    }
    static std::map<int32_t, ScaledTiles> sets;
    ScaledTiles &set = sets[maparea.square];
    set.follow(editor, kSquare / maparea.square);
    for (int32_t k = 0; k < editor.Count(); ++k)
        if (&editor.Items(k) == frame)
            set.draw(surface, k, pointerx, pointery, 0);
}

} // namespace

void drawPointer(TDirectDrawSurface &surface, const FramePictures &pictures, PointerZone zone)
{
    switch (zone) {
    case PointerZone::None:
        if (pointerx < maparea.width()) {
            drawTileAtZoom(surface, pictures.tiles, selectedtile(), pointerx, pointery, 0, false);
            drawCarriedFrame(surface, pictures.editor);
        }
        break;
    case PointerZone::Up:
        drawNamed(surface, pictures.editor, "mouseup", pointerx, pointery);
        break;
    case PointerZone::Down:
        drawNamed(surface, pictures.editor, "mousedown", pointerx - 27, pointery);
        break;
    case PointerZone::Left:
        drawNamed(surface, pictures.editor, "mouseleft", pointerx, pointery);
        break;
    case PointerZone::Panel:
        // The right scrolling band lies in the panel; it shows the right arrow so that the user sees
        // why the view moves.
        if (pointerx > maparea.controlWidth - 20)
            drawNamed(surface, pictures.editor, "mouseright", pointerx - 27, pointery);
        else
            drawNamed(surface, pictures.editor, "mouse", pointerx, pointery);
        break;
    }
}

void drawMapBase(TDirectDrawSurface &surface, const FramePictures &pictures)
{
    const FrameCover &cover = currentCover(pictures, surface);
    if (cover.fill) {
        for (const TRect &rect : *cover.fill)
            surface.Fill(rect, 0);
    } else {
        surface.Fill(0);
    }
    drawBackground(surface, tilePicture(pictures.tiles, 0), 0);
    if (curlevel >= 1 && curlevel <= levelsinfo.count) {
        if (const ScaledTiles *scaled = scaledTiles(pictures.tiles))
            drawScaledLevel(surface, *scaled, levels[curlevel], &cover.panel);
        else
            drawLevel(surface, pictures.tiles, levels[curlevel], &cover.panel);
    }
    drawPanel(surface, pictures);
}

void drawMapView(TDirectDrawSurface &surface, const FramePictures &pictures, PointerZone zone)
{
    drawMapBase(surface, pictures);
    drawPointer(surface, pictures, zone);
}

void drawframe(int32_t lagCount, TDirectDrawSurface &surface, const FramePictures &pictures)
{
    drawMapView(surface, pictures, scrollview(lagCount));
}

} // namespace qm
