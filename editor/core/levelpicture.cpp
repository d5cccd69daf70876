#include "levelpicture.h"

#include "mapoverlays.h"
#include "mapview.h"

#include "levels/levelstore.h"

#include "graphics/directdrawsurface.h"

#include "platform/errors.h"
#include "platform/limits.h"

#include <algorithm>

namespace qm {

PictureSize levelPictureSize(const tlevel &level)
{
    // 64-bit: a damaged size must not wrap into a small one.
    const int64_t width = int64_t(std::max(level.width, 1)) * kSquare;
    const int64_t height = int64_t(std::max(level.height, 1)) * kSquare;
    if (width * height > kMaxSurfacePixels)
        throw Error("EDirectDrawSurfaceError", "The picture would be " + std::to_string(width) + " x "
                                                   + std::to_string(height) + " pixels, more than the "
                                                   + std::to_string(kMaxSurfacePixels) + " a picture may have");
    return {int32_t(width), int32_t(height)};
}

void drawLevelPicture(TDirectDrawSurface &surface, const TPictureCollection &tiles, const tlevel &level,
                      bool overlays)
{
    const double formerX = viewx, formerY = viewy;
    viewx = viewy = 0;
    surface.Fill(0);
    drawLevel(surface, tiles, level);
    if (overlays)
        drawLevelOverlays(surface, level);
    viewx = formerX;
    viewy = formerY;
}

} // namespace qm
