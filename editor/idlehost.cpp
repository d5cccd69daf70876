#include "idlehost.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace qm {

IdleHost::IdleHost(QObject *parent) : QObject(parent)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double refresh = screen && screen->refreshRate() > 1 ? screen->refreshRate() : 60.0;
    mTicker.setTimerType(Qt::PreciseTimer);
    mTicker.setInterval(std::clamp(static_cast<int>(std::lround(1000.0 / refresh)), 1, 50));
    connect(&mTicker, &QTimer::timeout, this, [this] {
        if (mTimer)
            mTimer->idlePass();
    });
    mActive = QGuiApplication::applicationState() == Qt::ApplicationActive;
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, &IdleHost::applicationStateChanged);
}

void IdleHost::attach(TDXTimer *timer) { mTimer = timer; }

void IdleHost::installIdleHandler() { mTicker.start(); }

void IdleHost::removeIdleHandler() { mTicker.stop(); }

bool IdleHost::applicationActive() const { return QGuiApplication::applicationState() == Qt::ApplicationActive; }

void IdleHost::applicationStateChanged(Qt::ApplicationState state)
{
    const bool active = state == Qt::ApplicationActive;
    if (active == mActive || !mTimer)
        return;
    mActive = active;
    if (active)
        mTimer->applicationActivated();
    else
        mTimer->applicationDeactivated();
}

} // namespace qm
