#pragma once
// The drawing target: what image lists attach to and the editor draws each frame into. It owns the
// back buffer (Surface), runs the initialise / finalise / restore sequence, and tells attached
// components (listeners) about each stage. The presentation itself is left to a derived class:
//
//   - the editor's window control (TDXDraw, a Qt widget) derives from DrawTarget and QWidget,
//     overrides present() to paint the back buffer into the widget, hasForm() to say whether it sits
//     in a window, and calls Initialize() when its window is first shown, Finalize() when the window
//     is destroyed, and destroyTarget() first thing in its destructor;
//   - OffscreenDrawTarget (offscreendrawtarget.h) presents nowhere, for qmtool, tests and benchmarks.
//
// Lifecycle (everything on one thread):
//   Initialize():  Finalize() first; fails with EDXDrawError "Form not found" when hasForm() is false;
//                  OnInitializing, busy, notice Initializing; createDisplay(), createPrimary(), back
//                  buffer of SurfaceWidth x SurfaceHeight (at least 1 x 1, filled with 0; failure:
//                  EDXDrawError "Surface cannot be made"); not busy, Initialized; notices Size,
//                  Initialize, OnInitialize, notice InitializeSurface, OnInitializeSurface; Restore().
//                  A failure in between runs Finalize() and passes the error on.
//   Restore():     only when Initialized and not busy: restoreSurfaces(); when that succeeds, the back
//                  buffer is filled with 0, notice Restore (image lists rebuild their pictures),
//                  OnRestoreSurface.
//   Finalize():    only after an Initialize() got as far as its Initializing notice: notice
//                  FinalizeSurface, OnFinalizeSurface, notice Finalize, OnFinalize; then (also when a
//                  handler throws) not Initialized, the back buffer and display released. SurfaceWidth
//                  and SurfaceHeight keep their values.
//   destroyTarget(): Finalize(), then notice Destroying. Safe to call more than once.
//   ReadyToDraw(): Initialized, not busy, back buffer present and not lost; lost surfaces are
//                  restored first and the answer is whether that worked.
//   Flip():        when ReadyToDraw(), present(Surface()).
//
// Listeners are called in reverse order of attachment. A listener attached to an initialised target
// gets Size, then Initialize, InitializeSurface (when that stage has run) and Restore (unless the
// target is inside its own initialise sequence, which sends Restore itself); a new listener always gets
// Size at once. Detaching sends FinalizeSurface and Finalize to that listener when those stages are
// current. A listener may attach or detach listeners, itself included, while it is being notified.

#include "directdrawsurface.h"

#include <functional>
#include <vector>

namespace qm {

enum class DXDrawNotice {
    Destroying,
    Initializing,
    Initialize,
    InitializeSurface,
    FinalizeSurface,
    Finalize,
    Restore,
    Size,
};

class DrawTarget {
public:
    using Listener = std::function<void(DrawTarget &target, DXDrawNotice notice)>;
    using Event = std::function<void()>;

    explicit DrawTarget(SurfacePixelFormat displayFormat);
    DrawTarget(const DrawTarget &) = delete;
    DrawTarget &operator=(const DrawTarget &) = delete;
    virtual ~DrawTarget();

    void Initialize();
    void Finalize();
    void Restore();
    bool ReadyToDraw();
    void Flip();

    bool Initialized() const { return mInitialized; }
    bool busy() const { return mBusy; }
    // Whether Initialize() was ever called (a window initialises automatically only once).
    bool initializeCalled() const { return mInitializeCalled; }

    // The back buffer; 0 x 0 while not initialised.
    TDirectDrawSurface &Surface() { return mSurface; }
    const TDirectDrawSurface &Surface() const { return mSurface; }
    // The pixel format of the display: of the back buffer and of every picture prepared for it.
    SurfacePixelFormat displayFormat() const { return mFormat; }

    // Size of the back buffer. While initialised, a change remakes it (filled with 0) and sends Size.
    int32_t SurfaceWidth() const { return mSurfaceWidth; }
    int32_t SurfaceHeight() const { return mSurfaceHeight; }
    void setSurfaceSize(int32_t width, int32_t height);

    // component identifies the listener (an image list passes itself); attaching again replaces it.
    void attachListener(const void *component, Listener listener);
    void detachListener(const void *component);
    size_t listenerCount() const { return mListeners.size(); }

    // The events of the owner, each called at its stage of the lifecycle above.
    Event OnInitializing, OnInitialize, OnInitializeSurface, OnFinalizeSurface, OnFinalize, OnRestoreSurface;

protected:
    // Platform hooks. Each may throw the program's error for its failure:
    //   createDisplay: EDirectDrawError "DirectDraw cannot be initialized";
    //   createPrimary: EDXDrawError "Primary Surface cannot be made".
    virtual bool hasForm() const { return true; }
    virtual void createDisplay() {}
    virtual void createPrimary() {}
    virtual void releaseDisplay() {}
    // Whether the platform took the surfaces away; restoreSurfaces() gets them back and answers
    // whether both are usable again.
    virtual bool surfacesLost() const { return false; }
    virtual bool restoreSurfaces() { return true; }
    // Shows the back buffer (Flip).
    virtual void present(const TDirectDrawSurface &backBuffer) = 0;

    // Finalize, then the Destroying notice. Derived destructors call it first, while their hooks can
    // still be reached; the base destructor calls it again (then without effect).
    void destroyTarget();

private:
    struct Entry {
        uint64_t id;
        const void *component;
        Listener listener;
    };
    void notify(DXDrawNotice notice);
    void notifyOne(const Entry &entry, DXDrawNotice notice);
    void makeBackBuffer();

    SurfacePixelFormat mFormat;
    TDirectDrawSurface mSurface;
    int32_t mSurfaceWidth = 100;
    int32_t mSurfaceHeight = 100;
    bool mInitialized = false;
    bool mBusy = false;
    bool mInitializeCalled = false;
    bool mNeedFinalize = false;
    bool mInInitializeSequence = false;
    bool mInitializeSent = false;
    bool mInitializeSurfaceSent = false;
    bool mOnInitializeReached = false;
    bool mOnInitializeSurfaceReached = false;
    bool mDestroyed = false;
    uint64_t mNextId = 1;
    std::vector<Entry> mListeners;
};

} // namespace qm
