#include "mapview.h"

#include "levels/levelstore.h"
#include "levels/tiles.h"

#include "graphics/directdrawsurface.h"
#include "graphics/picturecollection.h"

#include <array>
#include <vector>
#include <cmath>

namespace qm {

namespace {

const TPictureCollectionItem *tilePicture(const TPictureCollection &tiles, int32_t tile)
{
    if (tile < 0 || tile >= tiles.Count())
        return nullptr;
    return &tiles.Items(tile);
}

int32_t truncated(double value) { return static_cast<int32_t>(std::trunc(value)); }

void drawNamed(TDirectDrawSurface &surface, const TPictureCollection &editor, const char *name, int32_t x,
               int32_t y)
{
    if (const TPictureCollectionItem *item = editor.findItem(name))
        item->Draw(surface, x, y, 0);
}

} // namespace

// Every cell is drawn, the surface clips. Each picture is shifted left and up by its skips, so
// pictures larger than a square can be anchored above and left.
void drawLevel(TDirectDrawSurface &surface, const TPictureCollection &tiles, const tlevel &level)
{
    std::array<int32_t, kGridSize> columnX{};
    std::array<int32_t, kGridSize> rowY{};
    for (int i = 0; i < kGridSize; ++i) {
        columnX[static_cast<size_t>(i)] = truncated(i * double(kSquare) - viewx);
        rowY[static_cast<size_t>(i)] = truncated(i * double(kSquare) - viewy);
    }
    // Looked up once a frame, so that each of up to 20,000 cells costs an index, not a checked call.
    // The buffers are kept between frames: a frame allocates nothing.
    static std::vector<const TPictureCollectionItem *> pictureOf;
    static std::vector<const cell *> secondPass;
    pictureOf.assign(static_cast<size_t>(tiles.Count()), nullptr);
    for (int32_t k = 0; k < tiles.Count(); ++k)
        pictureOf[static_cast<size_t>(k)] = &tiles.Items(k);
    secondPass.clear();

    auto draw = [&](const cell &square, int r, int c) {
        if (square.tile < 0 || static_cast<size_t>(square.tile) >= pictureOf.size())
            return;
        const TPictureCollectionItem *picture = pictureOf[static_cast<size_t>(square.tile)];
        picture->Draw(surface, columnX[static_cast<size_t>(c)] - picture->SkipWidth(),
                      rowY[static_cast<size_t>(r)] - picture->SkipHeight(), square.pattern);
    };
    const int width = std::clamp(level.width, 0, kGridSize);
    const int height = std::clamp(level.height, 0, kGridSize);
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
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
