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
        if (this != &other)
            mGraphic = other.mGraphic ? other.mGraphic->clone() : nullptr;
        return *this;
    }

    const TGraphic *Graphic() const { return mGraphic.get(); }
    void setGraphic(std::unique_ptr<TGraphic> graphic) { mGraphic = std::move(graphic); }
    int32_t Width() const { return mGraphic ? mGraphic->Width() : 0; }
    int32_t Height() const { return mGraphic ? mGraphic->Height() : 0; }
    bool Empty() const { return !mGraphic || mGraphic->Empty(); }

    // Picture data: one length byte, the graphic's class name ("TDIB", "TBitmap", "TIcon",
    // "TMetafile", letter case counting), then the graphic's own data up to the end. A class this
    // program does not draw (icons, metafiles, anything unknown) leaves the picture empty and its data
    // unread. When the graphic's data fails to decode, the picture is left empty and the error passes
    // on.
    void readData(ByteReader &data);

private:
    std::unique_ptr<TGraphic> mGraphic;
};

} // namespace qm
