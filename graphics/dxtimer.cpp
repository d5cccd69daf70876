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

TDXTimer::TDXTimer(IdleHost &host, Clock clock) : m_host(host), m_clock(std::move(clock)) {}

TDXTimer::~TDXTimer() { uninstall(); }

void TDXTimer::loaded()
{
    m_loading = false;
    if (m_enabled)
        start();
}

void TDXTimer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (m_loading)
        return;
    if (enabled)
        start();
    else
        stop();
}

void TDXTimer::setInterval(int32_t milliseconds) { m_interval = std::max(milliseconds, 0); }

void TDXTimer::setActiveOnly(bool activeOnly)
{
    m_activeOnly = activeOnly;
    if (m_running && !m_loading)
        start();
}

void TDXTimer::start()
{
    stop();
    if (!m_activeOnly || m_host.applicationActive()) {
        m_lastTick = m_frameRateStart = m_clock();
        m_frameCount = 0;
        install();
    }
    m_running = true;
}

void TDXTimer::stop()
{
    uninstall();
    m_running = false;
}

void TDXTimer::install()
{
    if (!m_installed) {
        m_installed = true;
        m_host.installIdleHandler();
    }
}

void TDXTimer::uninstall()
{
    if (m_installed) {
        m_installed = false;
        m_host.removeIdleHandler();
    }
}

void TDXTimer::idlePass()
{
    if (!m_installed)
        return;
    const uint32_t now = m_clock();
    const uint32_t elapsed = now - m_lastTick; // the clock wraps; so does the difference
    if (elapsed < static_cast<uint32_t>(m_interval))
        return;
    m_lastTick = now;
    const uint32_t divisor = static_cast<uint32_t>(std::max(m_interval, 1));
    const int64_t lag = elapsed / divisor;
    ++m_frameCount;
    const uint32_t span = std::max<uint32_t>(now - m_frameRateStart, 1);
    if (span >= 1000) {
        m_frameRate = static_cast<int32_t>(std::lround(m_frameCount * 1000.0 / span));
        m_frameCount = 0;
        m_frameRateStart = now;
    }
    if (OnTimer)
        OnTimer(static_cast<int32_t>(std::clamp<int64_t>(lag, 1, INT32_MAX)));
}

void TDXTimer::applicationActivated()
{
    if (OnActivate)
        OnActivate();
    if (m_activeOnly && m_running)
        install();
}

void TDXTimer::applicationDeactivated()
{
    if (OnDeactivate)
        OnDeactivate();
    if (m_activeOnly)
        uninstall();
}

} // namespace qm
