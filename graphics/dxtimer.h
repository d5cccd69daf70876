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

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    int32_t Interval() const { return m_interval; }
    void setInterval(int32_t milliseconds);
    bool ActiveOnly() const { return m_activeOnly; }
    void setActiveOnly(bool activeOnly);
    int32_t FrameRate() const { return m_frameRate; }
    bool running() const { return m_running; }

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

    IdleHost &m_host;
    Clock m_clock;
    bool m_loading = true;
    bool m_enabled = true;
    bool m_activeOnly = true;
    int32_t m_interval = 1000;
    bool m_running = false;
    bool m_installed = false;
    uint32_t m_lastTick = 0;
    uint32_t m_frameRateStart = 0;
    int32_t m_frameCount = 0;
    int32_t m_frameRate = 0;
};

} // namespace qm
