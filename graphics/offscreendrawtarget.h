#pragma once
// A drawing target without a window: pictures are prepared and drawn exactly as on screen, and Flip
// only counts. Used by qmtool, the tests and the benchmarks.

#include "drawtarget.h"

namespace qm {

class OffscreenDrawTarget : public DrawTarget {
public:
    explicit OffscreenDrawTarget(SurfacePixelFormat format = SurfacePixelFormat::Xrgb8888, int32_t width = 761,
                                 int32_t height = 483)
        : DrawTarget(format)
    {
        setSurfaceSize(width, height);
    }
    ~OffscreenDrawTarget() override { destroyTarget(); }

    int flipCount() const { return mFlips; }
    // Test hooks: pretend not to sit in a window, or that the platform took the surfaces away.
    void setOnForm(bool onForm) { mOnForm = onForm; }
    void loseSurfaces() { mLost = true; }
    void setRestorable(bool restorable) { mRestorable = restorable; }

protected:
    bool hasForm() const override { return mOnForm; }
    bool surfacesLost() const override { return mLost; }
    bool restoreSurfaces() override
    {
        if (mRestorable)
            mLost = false;
        return !mLost;
    }
    void present(const TDirectDrawSurface &) override { ++mFlips; }

private:
    int mFlips = 0;
    bool mOnForm = true;
    bool mLost = false;
    bool mRestorable = true;
};

} // namespace qm
