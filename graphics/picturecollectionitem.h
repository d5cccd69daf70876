#pragma once
// One named picture of an image list, with its cutting into patterns and the surfaces that hold it
// in the display's format once it has been prepared (Initialize, then Restore).

#include "colors.h"
#include "directdrawsurface.h"
#include "patternlayout.h"
#include "picture.h"

#include <memory>
#include <string>
#include <vector>

namespace qm {

class TPictureCollection;

// A pattern: its rectangle on one of the item's surfaces (not owned).
struct TPictureCollectionItemPattern {
    TRect Rect;
    const TDirectDrawSurface *Surface = nullptr;
};

class TPictureCollectionItem {
public:
    // Items are made by TPictureCollection::Add.
    explicit TPictureCollectionItem(TPictureCollection &collection) : mCollection(collection) { touch(); }
    TPictureCollectionItem(const TPictureCollectionItem &) = delete;
    TPictureCollectionItem &operator=(const TPictureCollectionItem &) = delete;

    TPictureCollection &Collection() const { return mCollection; }

    const std::string &Name() const { return mName; }
    // Moves the item to the head of its name's chain of the lookup index, unless name equals the
    // current one exactly.
    void setName(const std::string &name);

    TPicture &Picture() { return mPicture; }
    const TPicture &Picture() const { return mPicture; }
    void setPicture(const TPicture &picture) { mPicture = picture; }

    bool Initialized() const { return mInitialized; }
    int32_t PatternWidth() const { return mGeometry.patternWidth; }
    int32_t PatternHeight() const { return mGeometry.patternHeight; }
    int32_t SkipWidth() const { return mGeometry.skipWidth; }
    int32_t SkipHeight() const { return mGeometry.skipHeight; }
    bool SystemMemory() const { return mGeometry.systemMemory; }
    bool Transparent() const { return mTransparent; }
    TColor TransparentColor() const { return mTransparentColor; }
    void setPatternWidth(int32_t v) { mGeometry.patternWidth = v; }
    void setPatternHeight(int32_t v) { mGeometry.patternHeight = v; }
    void setSkipWidth(int32_t v) { mGeometry.skipWidth = v; }
    void setSkipHeight(int32_t v) { mGeometry.skipHeight = v; }
    void setSystemMemory(bool v) { mGeometry.systemMemory = v; }
    void setTransparent(bool v)
    {
        mTransparent = v;
        touch();
    }
    // Re-keys every surface the item already has.
    void setTransparentColor(TColor color);
    const PatternGeometry &patternGeometry() const { return mGeometry; }
    // Changes whenever what Draw puts down may change (surfaces made or dropped, key, transparency).
    // Numbers are never reused, by this item or any other, so a value also tells items apart.
    uint64_t revision() const { return mRevision; }

    // The patterns built by Restore (none before).
    int64_t PatternCount() const { return mSurfaces.empty() ? 0 : mLayout.count(); }
    // The size every pattern is drawn at, once Restore has built them.
    int64_t drawnWidth() const { return mLayout.patternWidth(); }
    int64_t drawnHeight() const { return mLayout.patternHeight(); }
    TPictureCollectionItemPattern Pattern(int64_t index) const;
    const std::vector<std::unique_ptr<TDirectDrawSurface>> &surfaces() const { return mSurfaces; }

    void Initialize();
    void Finalize();
    void Restore();

    // Copies pattern patternIndex to dest at (x, y), with Transparent as the key switch. Draws
    // nothing when the item is not prepared or the index is not one of its patterns.
    void Draw(TDirectDrawSurface &dest, int32_t x, int32_t y, int32_t patternIndex) const
    {
        if (!mInitialized || patternIndex < 0 || patternIndex >= PatternCount())
            return;
        // A pattern that misses the destination altogether costs no more than these tests.
        if (x >= dest.Width() || y >= dest.Height() || int64_t(x) + mLayout.patternWidth() <= 0
            || int64_t(y) + mLayout.patternHeight() <= 0)
            return;
        PatternLayout::Place p = mLayout.place(patternIndex);
        dest.Draw(x, y, p.rect, mSurfaces[p.block].get(), mTransparent);
    }

private:
    void clearSurfaces();
    void touch();

    TPictureCollection &mCollection;
    std::string mName;
    TPicture mPicture;
    bool mInitialized = false;
    PatternGeometry mGeometry;
    bool mTransparent = true;
    TColor mTransparentColor = clBlack;
    PatternLayout mLayout;
    std::vector<std::unique_ptr<TDirectDrawSurface>> mSurfaces;
    uint64_t mRevision = 0;
};

} // namespace qm
