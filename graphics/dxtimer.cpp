#include "dxtimer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace qm {

uint32_t TDXTimer::systemMilliseconds()
{
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

TDXTimer::TDXTimer(IdleHost &host, Clock clock) : mHost(host), mClock(std::move(clock)) {}

TDXTimer::~TDXTimer() { uninstall(); }

void TDXTimer::loaded()
{
    mLoading = false;
    if (mEnabled)
        start();
}

void TDXTimer::setEnabled(bool enabled)
{
    mEnabled = enabled;
    if (mLoading)
        return;
    if (enabled)
        start();
    else
        stop();
}

void TDXTimer::setInterval(int32_t milliseconds) { mInterval = std::max(milliseconds, 0); }

void TDXTimer::setActiveOnly(bool activeOnly)
{
    mActiveOnly = activeOnly;
    if (mRunning && !mLoading)
        start();
}

void TDXTimer::start()
{
    stop();
    if (!mActiveOnly || mHost.applicationActive()) {
        mLastTick = mFrameRateStart = mClock();
        mFrameCount = 0;
        install();
    }
    mRunning = true;
}

void TDXTimer::stop()
{
    uninstall();
    mRunning = false;
}

void TDXTimer::install()
{
    if (!mInstalled) {
        mInstalled = true;
        mHost.installIdleHandler();
    }
}

void TDXTimer::uninstall()
{
    if (mInstalled) {
        mInstalled = false;
        mHost.removeIdleHandler();
    }
}

void TDXTimer::idlePass()
{
    if (!mInstalled)
        return;
    const uint32_t now = mClock();
    const uint32_t elapsed = now - mLastTick; // the clock wraps; so does the difference
    if (elapsed < static_cast<uint32_t>(mInterval))
        return;
    mLastTick = now;
    const uint32_t divisor = static_cast<uint32_t>(std::max(mInterval, 1));
    const int64_t lag = elapsed / divisor;
    ++mFrameCount;
    const uint32_t span = std::max<uint32_t>(now - mFrameRateStart, 1);
    if (span >= 1000) {
        mFrameRate = static_cast<int32_t>(std::lround(mFrameCount * 1000.0 / span));
        mFrameCount = 0;
        mFrameRateStart = now;
    }
    if (OnTimer)
        OnTimer(static_cast<int32_t>(std::clamp<int64_t>(lag, 1, INT32_MAX)));
}

void TDXTimer::applicationActivated()
{
    if (OnActivate)
        OnActivate();
    if (mActiveOnly && mRunning)
        install();
}

void TDXTimer::applicationDeactivated()
{
    if (OnDeactivate)
        OnDeactivate();
    if (mActiveOnly)
        uninstall();
}

} // namespace qm
