// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the server list: the file's bytes cut into typed rows (each
// matched against the current server) and handed to the list's model; and
// the peak memory of loading a list of the largest size that is read.

#include "BenchData.h"

#include "app/Startup.h"
#include "core/MessengerSetting.h"
#include "core/ServerListModel.h"
#include "core/StoreFile.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

constexpr int markedRecord = 100;

void BM_ParseAndLoad(benchmark::State &state)
{
    const int count = int(state.range(0));
    const QByteArray bytes = BenchData::serverList(count);
    const std::optional<CurrentServer> current = parseCurrentServer(BenchData::currentServerSetting(markedRecord));
    for (auto _ : state) {
        auto model = std::make_unique<ServerListModel>();
        model->setList(ServerList::parse(bytes, current));
        benchmark::DoNotOptimize(model->rowCount());
        // Throwing the rows away is not part of loading them.
        state.PauseTiming();
        if (model->rowCount() != count || !model->list().isCurrent(markedRecord))
            state.SkipWithError("the list did not load as expected");
        model.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

qint64 statusField(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return 0;
}

// A list of the largest size that is read, loaded in a fresh process: its
// peak memory over what the process had before, against the file's size.
void BM_PeakMemory(benchmark::State &state)
{
    QTemporaryDir directory;
    const int records = int(ServerListSizeLimit / 58); // about 56 bytes a record
    if (!BenchData::writeServerList(directory.path(), QStringLiteral("list.dat"), records)) {
        state.SkipWithError("cannot write the list");
        return;
    }
    const QString path = directory.filePath(QStringLiteral("list.dat"));
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--load-list"), path});
        if (!child.waitForFinished(60000) || child.exitCode() != 0) {
            state.SkipWithError("the loading process failed");
            return;
        }
        const QList<QByteArray> numbers = child.readAllStandardOutput().trimmed().split(' ');
        const double peak = numbers.value(0).toDouble();
        const double size = numbers.value(1).toDouble();
        state.counters["peak_MiB"] = peak / (1024 * 1024);
        state.counters["file_MiB"] = size / (1024 * 1024);
        state.counters["peak_per_file_size"] = size > 0 ? peak / size : 0;
    }
}

} // namespace

namespace BenchData {

int loadListChild(const QString &path)
{
    const qint64 before = statusField("VmRSS:");
    QByteArray bytes;
    QString error;
    if (StoreFile::read(path, ServerListSizeLimit, &bytes, &error) != StoreFile::ReadStatus::Ok)
        return 1;
    ServerListModel model;
    model.setList(ServerList::parse(bytes, parseCurrentServer(currentServerSetting(markedRecord))));
    const qsizetype size = bytes.size();
    bytes.clear();
    std::printf("%lld %lld\n", statusField("VmHWM:") - before, qint64(size));
    return model.rowCount() > 0 ? 0 : 1;
}

} // namespace BenchData

// Fixed iteration counts: the work done outside the timed part (throwing
// the rows away) would otherwise make the library run far too many rounds.
BENCHMARK(BM_ParseAndLoad)
    ->Arg(32768)
    ->Arg(100000)
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_PeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
