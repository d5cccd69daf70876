#include "dximagelist.h"

#include "drawtarget.h"

namespace qm {

TDXImageList::~TDXImageList() { SetDXDraw(nullptr); }

void TDXImageList::SetDXDraw(DrawTarget *target)
{
    if (mDXDraw == target)
        return;
    if (mDXDraw) {
        DrawTarget *old = mDXDraw;
        mDXDraw = nullptr;
        old->detachListener(this);
        mItems.Finalize();
    }
    mDXDraw = target;
    if (!target)
        return;
    target->attachListener(this, [this](DrawTarget &from, DXDrawNotice notice) {
        switch (notice) {
        case DXDrawNotice::Destroying:
            SetDXDraw(nullptr);
            break;
        case DXDrawNotice::Initialize:
            mItems.Initialize(&from);
            break;
        case DXDrawNotice::Finalize:
            mItems.Finalize();
            break;
        case DXDrawNotice::Restore:
            mItems.Restore();
            break;
        default:
            break;
        }
    });
}

} // namespace qm
