#include "mapview.h"

#include "levels/levelstore.h"
#include "levels/tiles.h"

#include "graphics/directdrawsurface.h"
#include "graphics/picturecollection.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
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
    const TPictureCollectionItem *picture = nullptr; // null: the tile draws nothing
    int64_t skipWidth = 0, skipHeight = 0, width = 0, height = 0;
};

// The indices [first, last) of the ascending positions strictly between low and high.
std::pair<int, int> strictlyBetween(const int64_t *positions, int count, int64_t low, int64_t high)
{
    const int64_t *first = std::upper_bound(positions, positions + count, low);
    const int64_t *last = std::lower_bound(first, positions + count, high);
    return {static_cast<int>(first - positions), static_cast<int>(last - positions)};
}

} // namespace

// Each picture is shifted left and up by its skips, so pictures larger than a square can be anchored
// above and left. Only the rows and columns where some tile's picture can reach the surface are
// walked (cells under the panel are walked too: they show through its windows); a cell elsewhere
// would be clipped away whole. Positions are computed in 64 bits, so no skip offset can wrap a picture
// back onto the surface.
void drawLevel(TDirectDrawSurface &surface, const TPictureCollection &tiles, const tlevel &level)
{
    std::array<int64_t, kGridSize> columnX{};
    std::array<int64_t, kGridSize> rowY{};
    for (int i = 0; i < kGridSize; ++i) {
        columnX[static_cast<size_t>(i)] = static_cast<int64_t>(std::trunc(i * double(kSquare) - viewx));
        rowY[static_cast<size_t>(i)] = static_cast<int64_t>(std::trunc(i * double(kSquare) - viewy));
    }
    const int64_t surfaceWidth = surface.Width(), surfaceHeight = surface.Height();
    // The buffers are kept between frames: a frame allocates nothing. A cell at column position x
    // shows tile k only when skip - width < x < surfaceWidth + skip; the bounds over all tiles.
    static std::vector<TileReach> reachOf;
    static std::vector<const cell *> secondPass;
    reachOf.assign(static_cast<size_t>(tiles.Count()), TileReach{});
    int64_t lowX = INT64_MAX, highX = INT64_MIN, lowY = INT64_MAX, highY = INT64_MIN;
    for (int32_t k = 0; k < tiles.Count(); ++k) {
        const TPictureCollectionItem &picture = tiles.Items(k);
        if (!picture.Initialized() || picture.PatternCount() == 0)
            continue;
        const TileReach reach{&picture, picture.SkipWidth(), picture.SkipHeight(), picture.drawnWidth(),
                              picture.drawnHeight()};
        reachOf[static_cast<size_t>(k)] = reach;
        lowX = std::min(lowX, reach.skipWidth - reach.width);
        highX = std::max(highX, surfaceWidth + reach.skipWidth);
        lowY = std::min(lowY, reach.skipHeight - reach.height);
        highY = std::max(highY, surfaceHeight + reach.skipHeight);
    }
    secondPass.clear();

    auto draw = [&](const cell &square, int r, int c) {
        if (square.tile < 0 || static_cast<size_t>(square.tile) >= reachOf.size())
            return;
        const TileReach &reach = reachOf[static_cast<size_t>(square.tile)];
        const int64_t x = columnX[static_cast<size_t>(c)] - reach.skipWidth;
        const int64_t y = rowY[static_cast<size_t>(r)] - reach.skipHeight;
        // Off the surface (the picture's own test, before x and y are narrowed to 32 bits).
        if (!reach.picture || x >= surfaceWidth || y >= surfaceHeight || x + reach.width <= 0 || y + reach.height <= 0)
            return;
        reach.picture->Draw(surface, static_cast<int32_t>(x), static_cast<int32_t>(y), square.pattern);
    };
    const int width = std::clamp(level.width, 0, kGridSize);
    const int height = std::clamp(level.height, 0, kGridSize);
    const auto [firstColumn, lastColumn] = strictlyBetween(columnX.data(), width, lowX, highX);
    const auto [firstRow, lastRow] = strictlyBetween(rowY.data(), height, lowY, highY);
    for (int r = firstRow; r < lastRow; ++r) {
        for (int c = firstColumn; c < lastColumn; ++c) {
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

namespace {

void drawPalette(TDirectDrawSurface &surface, const FramePictures &pictures)
{
    const TPictureCollectionItem *slot = pictures.editor.findItem("p");
    for (int i = 0; i < kPaletteRows; ++i) {
        for (int k = 0; k < kPaletteColumns; ++k) {
            const int32_t x = kSlotLeft + kSlotPitch * k;
            const int32_t y = kSlotTop + kSlotPitch * i;
            if (slot)
                slot->Draw(surface, x, y, 0);
            const int32_t tile = (palscroll + i) * 3 + k + 12;
            if (const TPictureCollectionItem *picture = tilePicture(pictures.tiles, tile))
                picture->Draw(surface, x - picture->SkipWidth(), y - picture->SkipHeight(), 0);
        }
    }
}

} // namespace

void drawPointer(TDirectDrawSurface &surface, const FramePictures &pictures, PointerZone zone)
{
    switch (zone) {
    case PointerZone::None:
        if (pointerx < kMapWidth) {
            if (const TPictureCollectionItem *carried = tilePicture(pictures.tiles, selectedtile()))
                carried->Draw(surface, pointerx, pointery, 0);
            drawNamed(surface, pictures.editor, "mousex", pointerx - 1, pointery - 1);
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
        if (pointerx > 764)
            drawNamed(surface, pictures.editor, "mouseright", pointerx - 27, pointery);
        else
            drawNamed(surface, pictures.editor, "mouse", pointerx, pointery);
        break;
    }
}

void drawMapView(TDirectDrawSurface &surface, const FramePictures &pictures, PointerZone zone)
{
    surface.Fill(0);
    if (const TPictureCollectionItem *background = tilePicture(pictures.tiles, 0))
        background->Draw(surface, 0, 0, 0);
    if (curlevel >= 1 && curlevel <= levelsinfo.count)
        drawLevel(surface, pictures.tiles, levels[curlevel]);
    drawPalette(surface, pictures);
    drawNamed(surface, pictures.editor, "fondtop", 640, 0);
    drawPointer(surface, pictures, zone);
}

void drawframe(int32_t lagCount, TDirectDrawSurface &surface, const FramePictures &pictures)
{
    drawMapView(surface, pictures, scrollview(lagCount));
}

} // namespace qm
