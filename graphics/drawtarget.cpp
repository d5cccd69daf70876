#include "drawtarget.h"

#include "graphicserrors.h"

#include <algorithm>

namespace qm {

DrawTarget::DrawTarget(SurfacePixelFormat displayFormat) : mFormat(displayFormat), mSurface(displayFormat) {}

DrawTarget::~DrawTarget() { destroyTarget(); }

void DrawTarget::destroyTarget()
{
    if (mDestroyed)
        return;
    Finalize();
    mDestroyed = true;
    notify(DXDrawNotice::Destroying);
}

void DrawTarget::makeBackBuffer()
{
    try {
        mSurface.SetSize(std::max(mSurfaceWidth, 1), std::max(mSurfaceHeight, 1));
    } catch (const EDirectDrawSurfaceError &) {
        throw EDXDrawError(formatMessage("%s cannot be made", {"Surface"}));
    }
    mSurface.Fill(0);
}

void DrawTarget::Initialize()
{
    mInitializeCalled = true;
    Finalize();
    if (!hasForm())
        throw EDXDrawError("Form not found");
    if (OnInitializing)
        OnInitializing();
    mBusy = true;
    mNeedFinalize = true;
    try {
        notify(DXDrawNotice::Initializing);
        createDisplay();
        createPrimary();
        makeBackBuffer();
    } catch (...) {
        mBusy = false;
        Finalize();
        throw;
    }
    mBusy = false;
    mInitialized = true;

    mInInitializeSequence = true;
    struct EndSequence {
        bool &flag;
        ~EndSequence() { flag = false; }
    } endSequence{mInInitializeSequence};
    notify(DXDrawNotice::Size);
    mInitializeSent = true;
    notify(DXDrawNotice::Initialize);
    if (OnInitialize)
        OnInitialize();
    mOnInitializeReached = true;
    mInitializeSurfaceSent = true;
    notify(DXDrawNotice::InitializeSurface);
    if (OnInitializeSurface)
        OnInitializeSurface();
    mOnInitializeSurfaceReached = true;
    mInInitializeSequence = false;
    Restore();
}

void DrawTarget::Restore()
{
    if (!mInitialized || mBusy)
        return;
    mBusy = true;
    struct ClearBusy {
        bool &busy;
        ~ClearBusy() { busy = false; }
    } clearBusy{mBusy};
    if (!restoreSurfaces() || !mSurface.exists())
        return;
    mSurface.Fill(0);
    notify(DXDrawNotice::Restore);
    if (OnRestoreSurface)
        OnRestoreSurface();
}

void DrawTarget::Finalize()
{
    if (!mNeedFinalize)
        return;
    mBusy = true;
    // However the handlers end, the target ends up finalised.
    struct Release {
        DrawTarget &t;
        ~Release()
        {
            t.mInitialized = false;
            t.mInitializeSent = t.mInitializeSurfaceSent = false;
            t.mOnInitializeReached = t.mOnInitializeSurfaceReached = false;
            t.mNeedFinalize = false;
            t.mSurface.SetSize(0, 0);
            t.releaseDisplay();
            t.mBusy = false;
        }
    } release{*this};
    bool surfaceStage = mOnInitializeSurfaceReached;
    bool initializeStage = mOnInitializeReached;
    notify(DXDrawNotice::FinalizeSurface);
    mInitializeSurfaceSent = false;
    if (surfaceStage && OnFinalizeSurface)
        OnFinalizeSurface();
    notify(DXDrawNotice::Finalize);
    mInitializeSent = false;
    if (initializeStage && OnFinalize)
        OnFinalize();
}

bool DrawTarget::ReadyToDraw()
{
    if (!mInitialized || mBusy || !mSurface.exists())
        return false;
    if (surfacesLost()) {
        Restore();
        return !surfacesLost() && mSurface.exists();
    }
    return true;
}

void DrawTarget::Flip()
{
    if (ReadyToDraw())
        present(mSurface);
}

void DrawTarget::setSurfaceSize(int32_t width, int32_t height)
{
    if (width == mSurfaceWidth && height == mSurfaceHeight)
        return;
    mSurfaceWidth = width;
    mSurfaceHeight = height;
    if (mInitialized) {
        makeBackBuffer();
        notify(DXDrawNotice::Size);
    }
}

void DrawTarget::attachListener(const void *component, Listener listener)
{
    detachListener(component);
    mListeners.push_back({mNextId++, component, std::move(listener)});
    Entry entry = mListeners.back();
    notifyOne(entry, DXDrawNotice::Size);
    if (mInitialized) {
        if (mInitializeSent)
            notifyOne(entry, DXDrawNotice::Initialize);
        if (mInitializeSurfaceSent)
            notifyOne(entry, DXDrawNotice::InitializeSurface);
        if (!mInInitializeSequence)
            notifyOne(entry, DXDrawNotice::Restore);
    }
}

void DrawTarget::detachListener(const void *component)
{
    auto it = std::find_if(mListeners.begin(), mListeners.end(),
                           [&](const Entry &e) { return e.component == component; });
    if (it == mListeners.end())
        return;
    Entry entry = std::move(*it);
    mListeners.erase(it);
    if (mInitializeSurfaceSent)
        entry.listener(*this, DXDrawNotice::FinalizeSurface);
    if (mInitializeSent)
        entry.listener(*this, DXDrawNotice::Finalize);
}

void DrawTarget::notifyOne(const Entry &entry, DXDrawNotice notice)
{
    // Only while still attached: an earlier listener may have detached it.
    for (const Entry &e : mListeners)
        if (e.id == entry.id) {
            Listener call = e.listener;
            call(*this, notice);
            return;
        }
}

void DrawTarget::notify(DXDrawNotice notice)
{
    std::vector<Entry> snapshot = mListeners;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it)
        notifyOne(*it, notice);
}

} // namespace qm
