#include "scene.h"

#include "levels/levelstore.h"
#include "levels/palette.h"
#include "levels/tiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

namespace qmbench {

using namespace qm;

namespace {

constexpr uint32_t kSeed = 20240611;
constexpr double kViewX = 500.5;
constexpr double kViewY = 600;

int32_t truncated(double value) { return static_cast<int32_t>(std::trunc(value)); }

void addBlit(std::vector<Blit> &out, const TPictureCollectionItem *item, int32_t x, int32_t y, int32_t pattern)
{
    if (!item || !item->Initialized() || pattern < 0 || pattern >= item->PatternCount())
        return;
    TPictureCollectionItemPattern p = item->Pattern(pattern);
    out.push_back({x, y, p.Rect, p.Surface, item->Transparent()});
}

const TPictureCollectionItem *tileItem(const TPictureCollection &tiles, int32_t tile)
{
    return tile >= 0 && tile < tiles.Count() ? &tiles.Items(tile) : nullptr;
}

} // namespace

SurfacePixelFormat formatArg(const benchmark::State &state)
{
    return state.range(0) == 16 ? SurfacePixelFormat::Rgb565 : SurfacePixelFormat::Xrgb8888;
}

GamePictures::GamePictures(SurfacePixelFormat format, bool keyed) : target(format, kFrameWidth, kFrameHeight)
{
    target.Initialize();
    editor.SetDXDraw(&target);
    tiles.SetDXDraw(&target);
    editor.Items().LoadFromFile(std::string(QM_GAME_DIR) + "/Editor.dxg");
    tiles.Items().LoadFromFile(std::string(QM_GAME_DIR) + "/computer.dxg");
    if (!keyed)
        for (TPictureCollection *list : {&editor.Items(), &tiles.Items()})
            for (int32_t i = 0; i < list->Count(); ++i)
                list->Items(i).setTransparent(false);
}

void prepareFullLevelsFile()
{
    initStore();
    levelsinfo = Tlevels{};
    levelsinfo.author = "bench";
    resetstore();
    for (int k = 1; k <= kMaxLevels; ++k) {
        addlevel();
        levels[k].width = 70;
        levels[k].height = 70;
        for (int r = 1; r <= 70; ++r)
            for (int c = 1; c <= 70; ++c)
                levels[k].cellAt(r, c)->tile = (r * 7 + c * 13 + k) % 69;
    }
}

void prepareLevel(int size)
{
    initStore();
    levelsinfo = Tlevels{};
    resetstore();
    addlevel();
    tlevel &level = levels[1];
    level.width = level.height = size;
    // std::mt19937's sequence is fixed by the standard, so the level is the same everywhere; the
    // distributions are not, hence the plain remainders.
    std::mt19937 random(kSeed);
    for (int r = 1; r <= size; ++r)
        for (int c = 1; c <= size; ++c) {
            const int tile = kFirstPaletteTile + int(random() % (kLastPaletteTile - kFirstPaletteTile + 1));
            const bool last = random() % 8 == 0;
            *level.cellAt(r, c) = cell{tile, 0, last ? kKindOnTop : kKindOrdinary, 0};
        }
    fileopen = true;
    viewx = kViewX;
    viewy = kViewY;
    pointerx = 300;
    pointery = 200;
    palscroll = 3;
    palcolumn = 1;
    palrow = 2;
}

// The draws of drawMapView with no pointer zone, in its order.
std::vector<Blit> frameBlits(const FramePictures &pictures)
{
    std::vector<Blit> out;
    addBlit(out, tileItem(pictures.tiles, 0), 0, 0, 0);
    if (curlevel >= 1 && curlevel <= levelsinfo.count) {
        const tlevel &level = levels[curlevel];
        for (bool secondPass : {false, true})
            for (int r = 0; r < std::clamp(level.height, 0, kGridSize); ++r)
                for (int c = 0; c < std::clamp(level.width, 0, kGridSize); ++c) {
                    const cell &square = level.cells[r][c];
                    if ((square.kind == kKindOnTop) != secondPass)
                        continue;
                    if (const TPictureCollectionItem *item = tileItem(pictures.tiles, square.tile))
                        addBlit(out, item, truncated(c * double(kSquare) - viewx) - item->SkipWidth(),
                                truncated(r * double(kSquare) - viewy) - item->SkipHeight(), square.pattern);
                }
    }
    const TPictureCollectionItem *slot = pictures.editor.findItem("p");
    for (int i = 0; i < kPaletteRowsShown; ++i)
        for (int k = 0; k < kPaletteColumns; ++k) {
            const int32_t x = kSlotLeft + kSlotPitch * k, y = kSlotTop + kSlotPitch * i;
            addBlit(out, slot, x, y, 0);
            if (const TPictureCollectionItem *item = tileItem(pictures.tiles, paletteTile(palscroll + i, k)))
                addBlit(out, item, x - item->SkipWidth(), y - item->SkipHeight(), 0);
        }
    addBlit(out, pictures.editor.findItem("fondtop"), 640, 0, 0);
    addBlit(out, tileItem(pictures.tiles, selectedtile()), pointerx, pointery, 0);
    addBlit(out, pictures.editor.findItem("mousex"), pointerx - 1, pointery - 1, 0);
    return out;
}

bool clipBlit(Blit &b, int32_t destWidth, int32_t destHeight)
{
    const TDirectDrawSurface &s = *b.surface;
    int64_t left = std::max<int64_t>(b.rect.left, 0), top = std::max<int64_t>(b.rect.top, 0);
    int64_t right = std::min<int64_t>(b.rect.right, s.Width()), bottom = std::min<int64_t>(b.rect.bottom, s.Height());
    int64_t x = int64_t(b.x) + (left - b.rect.left), y = int64_t(b.y) + (top - b.rect.top);
    if (x < 0) {
        left -= x;
        x = 0;
    }
    if (y < 0) {
        top -= y;
        y = 0;
    }
    right = std::min<int64_t>(right, left + (destWidth - x));
    bottom = std::min<int64_t>(bottom, top + (destHeight - y));
    if (right <= left || bottom <= top)
        return false;
    b = {int32_t(x), int32_t(y), {int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)}, b.surface, b.keyed};
    return true;
}

uint64_t frameChecksum(const uint8_t *bits, int32_t width, int32_t height, ptrdiff_t pitch, int bytesPerPixel)
{
    uint64_t sum = 1469598103934665603ull;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t *row = bits + ptrdiff_t(y) * pitch;
        for (int32_t x = 0; x < width; ++x) {
            uint32_t p = 0;
            std::memcpy(&p, row + ptrdiff_t(x) * bytesPerPixel, size_t(bytesPerPixel));
            if (bytesPerPixel == 4)
                p &= 0xFFFFFF;
            sum = (sum ^ p) * 1099511628211ull;
        }
    }
    return sum;
}

uint64_t frameChecksum(const TDirectDrawSurface &surface)
{
    return frameChecksum(surface.bits(), surface.Width(), surface.Height(), surface.pitch(),
                         bytesPerPixel(surface.pixelFormat()));
}

uint64_t referenceFrame(GamePictures &pictures)
{
    drawframe(1, pictures.back(), pictures.frame());
    return frameChecksum(pictures.back());
}

void checkFrame(benchmark::State &state, uint64_t got, uint64_t expected)
{
    if (got != expected)
        state.SkipWithError("the frame differs from the editor's own frame");
    state.counters["checksum"] = double(got % 1000000);
}

} // namespace qmbench
