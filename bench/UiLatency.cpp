// How responsive the desktop program stays while a run floods the results
// pane: a worker thread appends hits to the result list as fast as it can
// while the pane follows with its batching timer, and a 10 ms timer on the
// user interface thread measures how late it fires. Prints the worst and
// typical lateness, the time until the view showed everything, and the
// process's peak memory. A figure, not a test: nothing here fails.
//
//   ui-latency [HITS [HITS_PER_FILE [store-only]]]   (defaults 1000000 and 10)
//
// "store-only" runs without the pane, to tell the store's memory from the
// view's. The machine's load shows in the lateness: compare runs made at the
// same time, and read the user interface thread's CPU time beside it.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

#include "results/ResultList.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsPane.h"

namespace {

double threadCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
        usage.ru_stime.tv_usec / 1e3;
}

long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace tarnwick;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long hits = argc > 1 ? std::atol(argv[1]) : 1'000'000;
    const long perFile = std::max(1L, argc > 2 ? std::atol(argv[2]) : 10);
    const bool storeOnly = argc > 3 && std::string(argv[3]) == "store-only";

    auto list = std::make_shared<ResultList>();
    std::unique_ptr<ui::ResultsPane> pane;
    if (!storeOnly) {
        pane = std::make_unique<ui::ResultsPane>(list);
        pane->resize(1200, 700);
        pane->show();
    }
    QCoreApplication::processEvents();
    const double cpuBefore = threadCpuMs();
    const long rssBefore = peakRssKiB();

    list->ClearResults(true);
    list->SetAutoScroll(true);
    list->AddFileItem("Suche nach : needle", ItemKind::Info);

    QElapsedTimer clock;
    clock.start();
    std::vector<double> lateness;
    qint64 lastTick = clock.nsecsElapsed();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        lateness.push_back(std::max(0.0, static_cast<double>(now - lastTick) / 1e6 - 10.0));
        lastTick = now;
    });
    probe.start();

    std::atomic<bool> done{false};
    std::atomic<qint64> workerNs{0};
    std::thread worker([&] {
        QElapsedTimer workerClock;
        workerClock.start();
        std::string context;
        for (long i = 0; i < hits; ++i) {
            if (i % perFile == 0)
                list->AddNoteItem("/home/user/projekt/quellen/datei" + std::to_string(i / perFile) + ".txt", ItemKind::File, 1);
            context = "    int needle = berechne(" + std::to_string(i) + "); // Größe prüfen";
            list->AddHitItem(i * 37, 6, context, 8, ItemKind::None, -1);
        }
        workerNs = workerClock.nsecsElapsed();
        done = true;
    });

    qint64 caughtUpNs = 0;
    QTimer finish;
    finish.setInterval(20);
    QObject::connect(&finish, &QTimer::timeout, [&] {
        if (!done) return;
        if (pane) {
            pane->catchUp();
            if (static_cast<std::size_t>(pane->model()->rowCount()) != list->TopLevelCount()) return;
        }
        caughtUpNs = clock.nsecsElapsed();
        app.quit();
    });
    finish.start();
    app.exec();
    worker.join();
    probe.stop();
    const double uiCpu = threadCpuMs() - cpuBefore;

    std::printf("hits appended            %ld (%ld per file, %zu items)\n", hits, perFile, list->ItemCount());
    std::printf("worker time              %.0f ms\n", static_cast<double>(workerNs.load()) / 1e6);
    std::printf("view caught up after     %.0f ms\n", static_cast<double>(caughtUpNs) / 1e6);
    std::printf("user interface CPU time  %.0f ms%s\n", uiCpu, storeOnly ? " (no pane)" : "");
    std::printf("10 ms timer ticks        %zu\n", lateness.size());
    std::printf("lateness median          %.1f ms\n", percentile(lateness, 0.5));
    std::printf("lateness 99th percentile %.1f ms\n", percentile(lateness, 0.99));
    std::printf("lateness worst           %.1f ms\n", percentile(lateness, 1.0));
    std::printf("peak memory              %.1f MiB (%.1f MiB before the run)\n", peakRssKiB() / 1024.0, rssBefore / 1024.0);
    return 0;
}
