#include "picturecollectionitem.h"

#include "drawtarget.h"
#include "graphicserrors.h"
#include "picturecollection.h"

#include "platform/limits.h"

#include <atomic>

namespace qm {

void TPictureCollectionItem::touch()
{
    static std::atomic<uint64_t> last{0};
    mRevision = ++last;
}

void TPictureCollectionItem::setName(const std::string &name)
{
    if (name == mName)
        return;
    std::string old = std::move(mName);
    mName = name;
    mCollection.renamed(*this, old);
}

void TPictureCollectionItem::setTransparentColor(TColor color)
{
    if (color == mTransparentColor)
        return;
    mTransparentColor = color;
    for (auto &surface : mSurfaces)
        surface->setColorKey(surface->ColorToPixel(color));
    touch();
}

TPictureCollectionItemPattern TPictureCollectionItem::Pattern(int64_t index) const
{
    if (index < 0 || index >= PatternCount())
        return {};
    PatternLayout::Place p = mLayout.place(index);
    return {p.rect, mSurfaces[p.block].get()};
}

void TPictureCollectionItem::clearSurfaces()
{
    mLayout = PatternLayout();
    mSurfaces.clear();
    touch();
}

void TPictureCollectionItem::Initialize()
{
    Finalize();
    mInitialized = mCollection.initialized();
    touch();
}

void TPictureCollectionItem::Finalize()
{
    if (!mInitialized)
        return;
    mInitialized = false;
    clearSurfaces();
    touch();
}

void TPictureCollectionItem::Restore()
{
    if (mPicture.Empty())
        return;
    if (!mInitialized) {
        if (mCollection.initialized())
            Initialize();
        if (!mInitialized)
            return;
    }
    clearSurfaces();
    const TGraphic &graphic = *mPicture.Graphic();
    PatternLayout layout(graphic.Width(), graphic.Height(), mGeometry);
    if (layout.count() == 0)
        return;
    // Blocks only split the picture's pixels over several surfaces; a picture too large for one
    // surface is refused as that surface would be, before any memory is taken.
    if (int64_t(graphic.Width()) * graphic.Height() > kMaxSurfacePixels)
        throw EDirectDrawSurfaceError(formatMessage("%s cannot be made", {"Surface"}));
    const SurfacePixelFormat format = mCollection.DXDraw()->displayFormat();
    std::vector<std::unique_ptr<TDirectDrawSurface>> surfaces;
    for (const TRect &block : layout.blocks()) {
        auto surface = std::make_unique<TDirectDrawSurface>(format);
        surface->setSystemMemory(mGeometry.systemMemory);
        surface->LoadFromPicture(graphic, block);
        surface->setColorKey(surface->ColorToPixel(mTransparentColor));
        surfaces.push_back(std::move(surface));
    }
    mLayout = std::move(layout);
    mSurfaces = std::move(surfaces);
    if (mCollection.releasesPictures())
        mPicture.releaseGraphic();
    touch();
}

} // namespace qm
