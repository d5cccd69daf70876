#pragma once
// Runs the frame timer inside the Qt event loop: while the timer is installed, a Qt timer calls its
// idle pass once per display refresh (also inside modal dialogs and message boxes, whose loops run the
// same timers), and application activation changes are passed on.
//
// Pacing to the refresh rate takes the place of waiting for the vertical blank before presenting, so
// an open level costs a small, steady share of the processor instead of a spinning core.

#include "graphics/dxtimer.h"

#include <QObject>
#include <QTimer>

namespace qm {

class IdleHost : public QObject, public TDXTimer::IdleHost {
    Q_OBJECT
public:
    explicit IdleHost(QObject *parent = nullptr);

    // The timer to drive; it receives the activation changes from now on.
    void attach(TDXTimer *timer);

    void installIdleHandler() override;
    void removeIdleHandler() override;
    bool applicationActive() const override;

    bool installed() const { return mTicker.isActive(); }
    // Milliseconds between idle passes: one display refresh.
    int period() const { return mTicker.interval(); }

private:
    void applicationStateChanged(Qt::ApplicationState state);

    QTimer mTicker;
    TDXTimer *mTimer = nullptr;
    bool mActive = false;
};

} // namespace qm
