#pragma once
// A picture: holds at most one graphic and owns it.

#include "graphic.h"

#include <memory>
#include <string>

namespace qm {

class ByteReader;

class TPicture {
public:
    TPicture() = default;
    TPicture(const TPicture &other) { *this = other; }
    TPicture &operator=(const TPicture &other)
    {
        if (this != &other) {
            mGraphic = other.mGraphic ? other.mGraphic->clone() : nullptr;
            mKeptWidth = other.mKeptWidth;
            mKeptHeight = other.mKeptHeight;
        }
        return *this;
    }

    const TGraphic *Graphic() const { return mGraphic.get(); }
    void setGraphic(std::unique_ptr<TGraphic> graphic)
    {
        mGraphic = std::move(graphic);
        mKeptWidth = mKeptHeight = 0;
    }
    int32_t Width() const { return mGraphic ? mGraphic->Width() : mKeptWidth; }
    int32_t Height() const { return mGraphic ? mGraphic->Height() : mKeptHeight; }
    bool Empty() const { return !mGraphic || mGraphic->Empty(); }
    // Lets the graphic go and keeps only its size: the picture is then empty, but still tells how
    // large it was (for pictures whose surfaces are made and are never lost).
    void releaseGraphic()
    {
        mKeptWidth = Width();
        mKeptHeight = Height();
        mGraphic.reset();
    }

    // Picture data: one length byte, the graphic's class name ("TDIB", "TBitmap", "TIcon",
    // "TMetafile", letter case counting), then the graphic's own data up to the end. A class this
    // program does not draw (icons, metafiles, anything unknown) leaves the picture empty and its data
    // unread. When the graphic's data fails to decode, the picture is left empty and the error passes
    // on.
    void readData(ByteReader &data);

private:
    std::unique_ptr<TGraphic> mGraphic;
    int32_t mKeptWidth = 0, mKeptHeight = 0; // the size of a graphic let go
};

} // namespace qm
