#pragma once
// The frame timer: runs a frame handler on the application's idle passes and reports the
// milliseconds since the previous frame (LagCount, at least 1). It also reports when the application
// gains or loses activation, whether or not it is enabled.
//
// The timer has no window system in it. A host hooks it into the application's message loop: while
// the timer is running the host calls idlePass() whenever the loop is idle, and it reports activation
// changes. The clock can be replaced, so that tests control time.

#include <cstdint>
#include <functional>

namespace qm {

class TDXTimer {
public:
    // What the timer needs of the application it runs in.
    class IdleHost {
    public:
        virtual ~IdleHost() = default;
        // From now on, call idlePass() on every idle pass of the message loop (or stop doing so).
        virtual void installIdleHandler() = 0;
        virtual void removeIdleHandler() = 0;
        virtual bool applicationActive() const = 0;
    };

    // Milliseconds of a clock that wraps at 2^32.
    using Clock = std::function<uint32_t()>;
    static uint32_t systemMilliseconds();

    // The timer starts in its loading state: Enabled is only stored until loaded() is called, as
    // when its window is being built.
    explicit TDXTimer(IdleHost &host, Clock clock = systemMilliseconds);
    ~TDXTimer();
    TDXTimer(const TDXTimer &) = delete;
    TDXTimer &operator=(const TDXTimer &) = delete;

    void loaded();

    bool Enabled() const { return mEnabled; }
    void setEnabled(bool enabled);
    int32_t Interval() const { return mInterval; }
    void setInterval(int32_t milliseconds);
    bool ActiveOnly() const { return mActiveOnly; }
    void setActiveOnly(bool activeOnly);
    int32_t FrameRate() const { return mFrameRate; }
    bool running() const { return mRunning; }

    std::function<void()> OnActivate;
    std::function<void()> OnDeactivate;
    std::function<void(int32_t lagCount)> OnTimer;

    // Called by the host on each idle pass while the idle handler is installed.
    void idlePass();
    // Called by the host when the application becomes active or inactive.
    void applicationActivated();
    void applicationDeactivated();

private:
    void start();
    void stop();
    void install();
    void uninstall();

    IdleHost &mHost;
    Clock mClock;
    bool mLoading = true;
    bool mEnabled = true;
    bool mActiveOnly = true;
    int32_t mInterval = 1000;
    bool mRunning = false;
    bool mInstalled = false;
    uint32_t mLastTick = 0;
    uint32_t mFrameRateStart = 0;
    int32_t mFrameCount = 0;
    int32_t mFrameRate = 0;
};

} // namespace qm
