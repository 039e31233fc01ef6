// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up to the first painted main window filled with 32,768 records,
// against a bare QMainWindow started the same way and against the program's
// own window with an empty list. The kinds are measured in turns, one right
// after the other, so that a busy machine slows them alike; the figures of
// interest are the ratios.
//
// Cold: a fresh process each time, from starting it to its first paint; this
// is what a user waits for.
// Warm: inside this process, after its first window has been shown, so that
// loading the libraries, the platform plugin and the fonts counts for none.

#include "Startup.h"

#include "BenchData.h"

#include "app/Startup.h"
#include "core/MessengerSetting.h"
#include "core/ServerListModel.h"
#include "support/FakePlatform.h"
#include "ui/main/MainWindow.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEvent>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace Startup {

namespace {

constexpr int markedRecord = 100;
constexpr int paintTimeoutMs = 10000;

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Main: return QStringLiteral("main");
    case Kind::MainNoRecords: return QStringLiteral("main-no-records");
    case Kind::Empty: break;
    }
    return QStringLiteral("empty");
}

// The directory whose nexolan.dat the kind reads.
QString dataDirectoryOf(Kind kind, const QString &dataDirectory)
{
    return dataDirectory + (kind == Kind::Main ? QStringLiteral("/records") : QStringLiteral("/no-records"));
}

// Notes the first paint of any top-level widget.
class PaintWatcher : public QObject
{
public:
    bool m_painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
            m_painted = true;
        return false;
    }
};

// What one start needs and leaves: the platform and the objects start-up
// creates must outlive the window.
struct Started
{
    FakePlatform platform;
    StartedObjects objects;
    std::unique_ptr<QMainWindow> window;
    QString error;
};

void prepare(Kind kind, const QString &dataDirectory, Started &started)
{
    if (kind == Kind::Empty)
        return;
    started.platform.platform.programDirectory = dataDirectoryOf(kind, dataDirectory);
    // Not the first launch (no notice), and Messenger set to one of the servers.
    started.platform.settings.insert(QStringLiteral("Opened"), QStringLiteral("1"));
    setRegistryText(started.platform, MessengerServerValue, BenchData::currentServerSetting(markedRecord));
}

// Starts the window and runs the event loop until its first paint is done.
bool launch(Kind kind, Started &started)
{
    PaintWatcher watcher;
    qApp->installEventFilter(&watcher);
    if (kind == Kind::Empty) {
        started.window = std::make_unique<QMainWindow>();
        started.window->show();
    } else {
        startUp(started.platform.platform, started.objects,
                [&started](std::unique_ptr<MainWindow> window) { started.window = std::move(window); });
    }
    // Wakes the loop below should nothing else happen.
    QTimer wakeUp;
    wakeUp.start(paintTimeoutMs);
    const QDeadlineTimer deadline(paintTimeoutMs);
    // The paint happens while an event is handled; the loop returns once that
    // handling, the whole first paint of the window, is over.
    while (!watcher.m_painted && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    qApp->removeEventFilter(&watcher);

    if (!started.window) {
        started.error = QStringLiteral("start-up returned no window");
        return false;
    }
    if (!watcher.m_painted) {
        started.error = QStringLiteral("the window was not painted");
        return false;
    }
    if (kind != Kind::Empty) {
        const auto *main = static_cast<MainWindow *>(started.window.get());
        const int expected = kind == Kind::Main ? recordCount : 0;
        if (main->model()->rowCount() != expected || !started.platform.eventsOf(QStringLiteral("box")).isEmpty()) {
            started.error = QStringLiteral("start-up did not load the list quietly");
            return false;
        }
    }
    return true;
}

// One child process started and timed up to its report of the first paint.
bool timeChild(Kind kind, const QString &dataDirectory, double *seconds, QString *error)
{
    QProcess child;
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments({childOption, kindName(kind), dataDirectory});
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const auto start = BenchData::Clock::now();
    child.start();
    QByteArray output;
    const QDeadlineTimer deadline(paintTimeoutMs);
    while (!output.contains("painted\n") && !deadline.hasExpired()) {
        if (!child.waitForReadyRead(int(deadline.remainingTime())))
            break;
        output += child.readAllStandardOutput();
    }
    const auto end = BenchData::Clock::now();
    const bool painted = output.contains("painted\n");
    if (!child.waitForFinished(paintTimeoutMs)) {
        child.kill();
        child.waitForFinished();
    }
    if (!painted) {
        *error = QStringLiteral("the child process (%1) reported no paint").arg(kindName(kind));
        return false;
    }
    *seconds = BenchData::secondsBetween(start, end);
    return true;
}

// Runs the kinds in turns, starting each turn with the next kind so that none
// always runs first. The iteration time is that of Main; the mean time of
// each kind and the ratios of the sums go into counters.
template<typename TimeOne>
void runInTurns(benchmark::State &state, const std::vector<Kind> &kinds, TimeOne timeOne)
{
    std::map<Kind, double> totals;
    std::size_t first = 0;
    for (auto _ : state) {
        double mainSeconds = 0;
        for (std::size_t n = 0; n < kinds.size(); ++n) {
            const Kind kind = kinds[(first + n) % kinds.size()];
            double seconds = 0;
            QString error;
            if (!timeOne(kind, &seconds, &error)) {
                state.SkipWithError(qPrintable(error));
                return;
            }
            totals[kind] += seconds;
            if (kind == Kind::Main)
                mainSeconds = seconds;
        }
        first = (first + 1) % kinds.size();
        state.SetIterationTime(mainSeconds);
    }
    const double iterations = double(state.iterations());
    if (iterations == 0)
        return;
    for (const auto &[kind, total] : totals)
        state.counters[kindName(kind).toStdString() + "_ms"] = 1000 * total / iterations;
    if (totals[Kind::Empty] > 0)
        state.counters["ratio_to_empty"] = totals[Kind::Main] / totals[Kind::Empty];
    if (totals[Kind::MainNoRecords] > 0)
        state.counters["ratio_to_no_records"] = totals[Kind::Main] / totals[Kind::MainNoRecords];
}

void BM_StartupCold(benchmark::State &state)
{
    QTemporaryDir directory;
    if (!directory.isValid() || !writeDataFiles(directory.path())) {
        state.SkipWithError("cannot write the server lists");
        return;
    }
    runInTurns(state, {Kind::Empty, Kind::MainNoRecords, Kind::Main}, [&](Kind kind, double *seconds, QString *error) {
        return timeChild(kind, directory.path(), seconds, error);
    });
}

void BM_StartupWarm(benchmark::State &state)
{
    QTemporaryDir directory;
    if (!directory.isValid() || !writeDataFiles(directory.path())) {
        state.SkipWithError("cannot write the server lists");
        return;
    }
    // A bare window takes a fraction of a millisecond here: only the
    // program's own window with an empty list is a useful reference.
    runInTurns(state, {Kind::MainNoRecords, Kind::Main}, [&](Kind kind, double *seconds, QString *error) {
        if (startAndPaint(kind, directory.path(), seconds))
            return true;
        *error = QStringLiteral("start-up failed (%1)").arg(kindName(kind));
        return false;
    });
}

} // namespace

bool writeDataFiles(const QString &directory)
{
    const QString records = dataDirectoryOf(Kind::Main, directory);
    const QString noRecords = dataDirectoryOf(Kind::MainNoRecords, directory);
    return QDir().mkpath(records) && QDir().mkpath(noRecords)
        && BenchData::writeServerList(records, QStringLiteral("nexolan.dat"), recordCount)
        && BenchData::writeServerList(noRecords, QStringLiteral("nexolan.dat"), 0);
}

bool startAndPaint(Kind kind, const QString &dataDirectory, double *seconds)
{
    bool ok = false;
    {
        Started started;
        prepare(kind, dataDirectory, started);
        const auto start = BenchData::Clock::now();
        ok = launch(kind, started);
        *seconds = BenchData::secondsBetween(start, BenchData::Clock::now());
        if (!ok)
            std::fprintf(stderr, "start-up (%s): %s\n", qPrintable(kindName(kind)), qPrintable(started.error));
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return ok;
}

int runChild(int argc, char **argv, const QString &kind, const QString &dataDirectory)
{
    QApplication app(argc, argv);
    Kind which = Kind::Empty;
    for (const Kind candidate : {Kind::Main, Kind::MainNoRecords})
        if (kind == kindName(candidate))
            which = candidate;
    Started started;
    prepare(which, dataDirectory, started);
    if (!launch(which, started)) {
        std::fprintf(stderr, "start-up (%s): %s\n", qPrintable(kind), qPrintable(started.error));
        return 1;
    }
    std::fputs("painted\n", stdout);
    std::fflush(stdout);
    return 0;
}

} // namespace Startup

BENCHMARK(Startup::BM_StartupCold)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(4)
    ->Repetitions(9)
    ->DisplayAggregatesOnly(true);
BENCHMARK(Startup::BM_StartupWarm)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10)
    ->Repetitions(9)
    ->DisplayAggregatesOnly(true);
