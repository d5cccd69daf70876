#include "graphics/dxtimer.h"

#include <gtest/gtest.h>
#include <vector>

using qm::TDXTimer;

namespace {

// An application whose idle loop and clock the test drives by hand.
struct FakeApplication : TDXTimer::IdleHost {
    bool installed = false;
    bool active = true;
    uint32_t now = 5000;
    void installIdleHandler() override { installed = true; }
    void removeIdleHandler() override { installed = false; }
    bool applicationActive() const override { return active; }
};

struct EditorTimer {
    FakeApplication app;
    TDXTimer timer{app, [this] { return app.now; }};
    std::vector<int32_t> lags;
    std::vector<std::string> events;

    // The editor's settings: every idle pass is a tick, also while another program is active.
    EditorTimer()
    {
        timer.setInterval(0);
        timer.setActiveOnly(false);
        timer.OnTimer = [this](int32_t lag) { lags.push_back(lag); };
        timer.OnActivate = [this] { events.push_back("activate"); };
        timer.OnDeactivate = [this] { events.push_back("deactivate"); };
        timer.loaded();
    }
    void idle()
    {
        if (app.installed)
            timer.idlePass();
    }
};

} // namespace

TEST(FrameTimer, TicksOnEveryIdlePassWithTheMillisecondsSinceTheLastTick)
{
    EditorTimer t;
    EXPECT_TRUE(t.app.installed);
    t.app.now += 16;
    t.idle();
    t.idle(); // the same millisecond: still a tick, LagCount 1
    t.app.now += 2000;
    t.idle();
    EXPECT_EQ(t.lags, (std::vector<int32_t>{16, 1, 2000}));
}

TEST(FrameTimer, SwitchingOnRestartsTheElapsedTime)
{
    EditorTimer t;
    t.timer.setEnabled(false);
    EXPECT_FALSE(t.app.installed);
    t.app.now += 10000;
    t.idle();
    EXPECT_TRUE(t.lags.empty());
    t.timer.setEnabled(true);
    t.app.now += 7;
    t.idle();
    EXPECT_EQ(t.lags, std::vector<int32_t>{7});
}

TEST(FrameTimer, TheClockMayWrap)
{
    EditorTimer t;
    t.timer.setEnabled(false);
    t.app.now = 0xFFFFFFF0u;
    t.timer.setEnabled(true);
    t.app.now = 0x10; // 32 ms later, past the wrap
    t.idle();
    EXPECT_EQ(t.lags, std::vector<int32_t>{32});
}

TEST(FrameTimer, ActivationEventsComeEvenWhileDisabled)
{
    EditorTimer t;
    t.timer.setEnabled(false);
    t.timer.applicationDeactivated();
    t.timer.applicationActivated();
    EXPECT_EQ(t.events, (std::vector<std::string>{"deactivate", "activate"}));
}

TEST(FrameTimer, WithActiveOnlyItPausesWhileInactive)
{
    EditorTimer t;
    t.timer.setActiveOnly(true);
    t.app.active = false;
    t.timer.applicationDeactivated();
    EXPECT_FALSE(t.app.installed);
    t.app.active = true;
    t.timer.applicationActivated();
    EXPECT_TRUE(t.app.installed);
}

TEST(FrameTimer, AnIntervalDividesTheLagAndMeasuresTheFrameRate)
{
    FakeApplication app;
    TDXTimer timer(app, [&] { return app.now; });
    std::vector<int32_t> lags;
    timer.OnTimer = [&](int32_t lag) { lags.push_back(lag); };
    timer.setInterval(-5);
    EXPECT_EQ(timer.Interval(), 0);
    timer.setInterval(10);
    timer.setEnabled(true); // only stored while loading
    EXPECT_FALSE(app.installed);
    timer.loaded();
    EXPECT_TRUE(app.installed);
    app.now += 9;
    timer.idlePass(); // not yet due
    app.now += 26;
    timer.idlePass(); // 35 ms: LagCount 3
    EXPECT_EQ(lags, std::vector<int32_t>{3});
    for (int i = 0; i < 100; ++i) {
        app.now += 10;
        timer.idlePass();
    }
    EXPECT_NEAR(timer.FrameRate(), 100, 3);
}
