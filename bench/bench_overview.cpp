// The levels overview opening on a full levels file (200 levels of 100 x 100): how long until every
// thumbnail is drawn, and the longest the event loop waited meanwhile (the window's responsiveness).

#include "editor/overviewwindow.h"
#include "editor/thumbnaillist.h"
#include "levels/levelstore.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <random>

namespace {

QApplication &application()
{
    static int argc = 1;
    static char name[] = "qmbench";
    static char *argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit the static destructors of Qt's input devices may already have run, and
    // an application torn down after them crashes the benchmark after its last case.
    static QApplication *app = new QApplication(argc, argv);
    return *app;
}

// 200 levels of 100 x 100, every one different, so that no thumbnail is another's.
void prepareFullFile()
{
    qm::initStore();
    qm::gamedir = std::string(QM_GAME_DIR) + "/";
    qm::levelsinfo = qm::Tlevels{};
    qm::resetstore();
    std::mt19937 random(17);
    for (int k = 1; k <= qm::kMaxLevels; ++k) {
        qm::addlevel();
        qm::tlevel &level = qm::levels[k];
        level.width = level.height = qm::kGridSize;
        for (int r = 1; r <= qm::kGridSize; ++r)
            for (int c = 1; c <= qm::kGridSize; ++c)
                level.cellAt(r, c)->tile = 12 + int(random() % 57);
    }
    qm::fileopen = true;
    qm::curlevel = 1;
}

void BM_OverviewOpening(benchmark::State &state)
{
    application();
    prepareFullFile();
    double worstWait = 0;
    for (auto _ : state) {
        auto window = std::make_unique<qm::OverviewWindow>();
        // A probe on the event loop: the gap between two of its turns is how long an event waited.
        QElapsedTimer sinceProbe;
        qint64 longest = 0;
        QTimer probe;
        probe.setInterval(0);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            longest = std::max(longest, sinceProbe.nsecsElapsed());
            sinceProbe.restart();
        });
        sinceProbe.start();
        probe.start();
        window->show();
        while (window->list()->drawing() || window->thumbnailsDrawn() < qm::kMaxLevels)
            QApplication::processEvents(QEventLoop::AllEvents);
        longest = std::max(longest, sinceProbe.nsecsElapsed());
        worstWait = std::max(worstWait, double(longest));
        benchmark::DoNotOptimize(window->thumbnailsDrawn());
    }
    state.counters["max_event_wait_ns"] = worstWait;
}
BENCHMARK(BM_OverviewOpening)->UseRealTime()->Unit(benchmark::kMillisecond);

// What the open overview costs after each edit (at most every 100 ms while painting): the fingerprints
// of all 200 levels compared, nothing to draw again.
void BM_OverviewRecheck(benchmark::State &state)
{
    application();
    prepareFullFile();
    qm::OverviewWindow window;
    window.show();
    while (window.list()->drawing() || window.thumbnailsDrawn() < qm::kMaxLevels)
        QApplication::processEvents(QEventLoop::AllEvents);
    for (auto _ : state)
        window.refresh();
    if (window.thumbnailsDrawn() != qm::kMaxLevels || window.list()->drawing())
        state.SkipWithError("a level unchanged was drawn again");
}
BENCHMARK(BM_OverviewRecheck)->Unit(benchmark::kMillisecond);

} // namespace
