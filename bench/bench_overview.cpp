// The levels overview opening on a full levels file (200 levels of 100 x 100): how long until every
// thumbnail is drawn, and the longest the event loop waited meanwhile (the window's responsiveness).

#include "editor/core/levelcopy.h"
#include "editor/overviewwindow.h"
#include "editor/thumbnaillist.h"
#include "levels/levelstore.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
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

// A drag in the overview of a full file: the first level dropped after the second, as the list
// receives the drop, the store changed as one step, and the overview compared again. Only the two
// thumbnails whose place changed get a picture, both kept ones: none is drawn.
void BM_OverviewDragReorder(benchmark::State &state)
{
    application();
    prepareFullFile();
    qm::OverviewWindow window;
    window.levelsMoved = [](std::vector<int32_t> numbers, int32_t before) {
        qm::StoreStep step;
        step.begin();
        qm::moveLevels(step, numbers, before);
        step.finish();
    };
    window.show();
    while (window.list()->drawing() || window.thumbnailsDrawn() < qm::kMaxLevels)
        QApplication::processEvents(QEventLoop::AllEvents);
    qm::ThumbnailList &list = *window.list();
    const QRect second = list.visualItemRect(list.item(1));
    const QPoint to = second.center() + QPoint(second.width() / 4, 0);
    const int setBefore = list.picturesSet();
    int64_t drags = 0;
    for (auto _ : state) {
        list.clearSelection();
        list.item(0)->setSelected(true);
        std::unique_ptr<QMimeData> dragged(list.selectionDragData());
        // A drop is taken only after the drag entered the list, as a real drag does.
        QDragEnterEvent enter(to, Qt::MoveAction, dragged.get(), Qt::LeftButton, {});
        QApplication::sendEvent(list.viewport(), &enter);
        QDropEvent drop(QPointF(to), Qt::MoveAction, dragged.get(), Qt::LeftButton, {});
        QApplication::sendEvent(list.viewport(), &drop);
        ++drags;
    }
    const double perDrag = double(list.picturesSet() - setBefore) / double(std::max<int64_t>(drags, 1));
    state.counters["pictures_per_drag"] = perDrag;
    if (window.thumbnailsDrawn() != qm::kMaxLevels || perDrag != 2.0)
        state.SkipWithError("a drag drew or replaced more than the two moved thumbnails");
}
BENCHMARK(BM_OverviewDragReorder)->Unit(benchmark::kMillisecond);

} // namespace
