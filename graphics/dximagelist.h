#pragma once
// An image list: a set of named pictures loaded from a graphics file and kept ready to draw on the
// surfaces of the drawing target it is attached to.

#include "picturecollection.h"

namespace qm {

class DrawTarget;

class TDXImageList {
public:
    TDXImageList() : mItems(this) {}
    TDXImageList(const TDXImageList &) = delete;
    TDXImageList &operator=(const TDXImageList &) = delete;
    ~TDXImageList();

    // Attaching to an initialised target prepares every picture at once; the list then follows the
    // target's initialise, finalise, restore and destroying notices.
    DrawTarget *DXDraw() const { return mDXDraw; }
    void SetDXDraw(DrawTarget *target);

    TPictureCollection &Items() { return mItems; }
    const TPictureCollection &Items() const { return mItems; }

private:
    TPictureCollection mItems;
    DrawTarget *mDXDraw = nullptr;
};

} // namespace qm
