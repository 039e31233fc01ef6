// Loading the server list: the bytes of the file turned into text, cut into
// rows (each matched against the current server) and handed to the list's model.

#include "BenchData.h"

#include "servers/MessengerSetting.h"
#include "servers/ServerList.h"
#include "servers/ServerListModel.h"

#include <benchmark/benchmark.h>

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
        QVector<ServerEntry> rows = parseServerList(decodeServerListBytes(bytes), current);
        model->setRows(std::move(rows));
        benchmark::DoNotOptimize(model->rowCount());
        // Throwing the rows away is not part of loading them.
        state.PauseTiming();
        if (model->rowCount() != count || model->row(markedRecord).status != CurrentMarker)
            state.SkipWithError("the list did not load as expected");
        model.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// The three stages on their own, to show where the time of the whole goes.
void BM_Decode(benchmark::State &state)
{
    const QByteArray bytes = BenchData::serverList(int(state.range(0)));
    for (auto _ : state) {
        QString text = decodeServerListBytes(bytes);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The second argument: 1 when Messenger names a current server (each record
// is then matched against it), 0 when it names none.
void BM_Parse(benchmark::State &state)
{
    const QString text = decodeServerListBytes(BenchData::serverList(int(state.range(0))));
    const std::optional<CurrentServer> current = state.range(1) != 0
        ? parseCurrentServer(BenchData::currentServerSetting(markedRecord))
        : std::nullopt;
    for (auto _ : state) {
        QVector<ServerEntry> rows = parseServerList(text, current);
        benchmark::DoNotOptimize(rows.data());
        state.PauseTiming();
        rows.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SetRows(benchmark::State &state)
{
    const QVector<ServerEntry> rows =
        parseServerList(decodeServerListBytes(BenchData::serverList(int(state.range(0)))), std::nullopt);
    for (auto _ : state) {
        state.PauseTiming();
        QVector<ServerEntry> copy = rows;
        copy.detach();
        auto model = std::make_unique<ServerListModel>();
        state.ResumeTiming();
        model->setRows(std::move(copy));
        benchmark::DoNotOptimize(model->rowCount());
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

// Fixed iteration counts: the work done outside the timed part (throwing
// the rows away) would otherwise make the library run far too many rounds.
BENCHMARK(BM_ParseAndLoad)
    ->Arg(32768)
    ->Arg(100000)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(15)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_Decode)->Arg(32768)->Unit(benchmark::kMillisecond)->Repetitions(9)->DisplayAggregatesOnly(true);
BENCHMARK(BM_Parse)->Args({32768, 1})->Args({32768, 0})->Iterations(10)->Unit(benchmark::kMillisecond)->Repetitions(9)->DisplayAggregatesOnly(true);
BENCHMARK(BM_SetRows)->Arg(32768)->Iterations(20)->Unit(benchmark::kMillisecond)->Repetitions(9)->DisplayAggregatesOnly(true);
