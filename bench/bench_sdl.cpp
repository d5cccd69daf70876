// Peer B, SDL2: the fixed scene's 100 x 100 frame with SDL_BlitSurface, keyed pictures with
// SDL_SetColorKey and RLE acceleration on (SDL's fastest keyed copy), opaque pictures without a key;
// surfaces of the same pixel format as ours (RGB565 or XRGB8888) filled with our prepared pixels, so
// the frame must come out identical to ours. And SDL_LoadBMP_RW on the very bitmap bytes our decoder
// reads in bench_graphics.cpp (BM_DecodeBitmap24 and BM_DecodeBitmapRle8).

#include "scene.h"
#include "decodeinput.h"

#include "levels/levelstore.h"

#include <SDL.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <memory>

using namespace qm;
using namespace qmbench;

namespace {

struct SurfaceFree {
    void operator()(SDL_Surface *s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;

Uint32 sdlFormat(SurfacePixelFormat format)
{
    return format == SurfacePixelFormat::Rgb565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_XRGB8888;
}

SurfacePtr surfaceOf(const TDirectDrawSurface &surface, bool keyed)
{
    const int bpp = bytesPerPixel(surface.pixelFormat());
    SurfacePtr s(SDL_CreateRGBSurfaceWithFormat(0, surface.Width(), surface.Height(), bpp * 8,
                                                sdlFormat(surface.pixelFormat())));
    for (int32_t y = 0; y < surface.Height(); ++y)
        std::memcpy(static_cast<uint8_t *>(s->pixels) + ptrdiff_t(y) * s->pitch, surface.bits() + y * surface.pitch(),
                    size_t(surface.Width()) * size_t(bpp));
    if (keyed)
        SDL_SetColorKey(s.get(), SDL_TRUE | SDL_RLEACCEL, surface.ColorKey());
    return s;
}

void BM_SdlFrame100(benchmark::State &state)
{
    const SurfacePixelFormat format = formatArg(state);
    GamePictures pictures(format);
    prepareLevel(100);
    const uint64_t expected = referenceFrame(pictures);

    struct Draw {
        SDL_Rect from, at;
        SDL_Surface *surface;
    };
    std::map<std::pair<const TDirectDrawSurface *, bool>, SurfacePtr> surfaces;
    std::vector<Draw> draws;
    for (const Blit &b : frameBlits(pictures.frame())) {
        auto [it, added] = surfaces.try_emplace({b.surface, b.keyed});
        if (added)
            it->second = surfaceOf(*b.surface, b.keyed);
        draws.push_back({{b.rect.left, b.rect.top, int(b.rect.width()), int(b.rect.height())}, {b.x, b.y, 0, 0},
                         it->second.get()});
    }
    SurfacePtr back(SDL_CreateRGBSurfaceWithFormat(0, kFrameWidth, kFrameHeight, bytesPerPixel(format) * 8,
                                                   sdlFormat(format)));
    auto frame = [&] {
        SDL_FillRect(back.get(), nullptr, 0);
        for (const Draw &d : draws) {
            SDL_Rect at = d.at;
            SDL_BlitSurface(d.surface, &d.from, back.get(), &at);
        }
    };
    frame(); // SDL encodes the keyed surfaces' runs on their first blit
    for (auto _ : state) {
        frame();
        benchmark::ClobberMemory();
    }
    checkFrame(state,
               frameChecksum(static_cast<const uint8_t *>(back->pixels), back->w, back->h, back->pitch,
                             back->format->BytesPerPixel),
               expected);
}

void loadBmp(benchmark::State &state, const Bytes &picture)
{
    // Our "TBitmap" picture data is the bitmap file behind a 4-byte length.
    const uint8_t *file = picture.data() + 4;
    const int size = int(picture.size() - 4);
    for (auto _ : state) {
        SDL_Surface *s = SDL_LoadBMP_RW(SDL_RWFromConstMem(file, size), 1);
        if (!s) {
            state.SkipWithError(SDL_GetError());
            break;
        }
        benchmark::DoNotOptimize(s->pixels);
        SDL_FreeSurface(s);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * size);
}

void BM_SdlLoadBmp24(benchmark::State &state) { loadBmp(state, bitmap24()); }
void BM_SdlLoadBmpRle8(benchmark::State &state) { loadBmp(state, bitmapRle8()); }

} // namespace

BENCHMARK(BM_SdlFrame100)->ArgName("bits")->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SdlLoadBmp24)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SdlLoadBmpRle8)->Unit(benchmark::kMicrosecond);
