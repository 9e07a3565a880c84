// Posting a long series of reminder rows into a dataset and building its delta: the path every
// occurrence of a repeating reminder takes. Prints rows per second (items_per_second) and the
// cost of one row (ns_per_row), which should stay the same from a thousand rows to a million.
#include <benchmark/benchmark.h>

#include <string>

#include "data/client_data_set.h"
#include "data/reminder_record.h"

namespace lembrete {
namespace {

using R = ReminderRecord;

void appendReminder(ClientDataSet& ds, int number, const DateTime& when) {
    ds.Append();
    ds.FieldByName(R::CDOPERADOR).SetAsString("OPERADOR");
    ds.FieldByName(R::NRATIVPESS).SetAsString(std::to_string(number));
    ds.FieldByName(R::DSREFEATPESS).SetAsString("Reunião semanal da equipe de atendimento");
    ds.FieldByName(R::DTATIVPESS).SetAsDateTime(when);
    ds.FieldByName(R::IDSITUATPESS).SetAsString("P");
    ds.FieldByName(R::IDALARATPESS).SetAsString("S");
    ds.FieldByName(R::QTSEGUATPESS).SetAsFloat(15);
    ds.FieldByName(R::IDUNITATPESS).SetAsString("S");
    ds.FieldByName(R::NRPRIOATPESS).SetAsString("5");
    ds.FieldByName(R::NRREPETATIVP).SetAsString("77");
    ds.Post();
}

void BM_PostRowsAndBuildDelta(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const DateTime start = DateTime::fromParts({2030, 1, 1}, 9, 30);
    for (auto _ : state) {
        ClientDataSet ds("cdsAuxAFazer", R::layout());
        ds.Open();
        for (int i = 0; i < rows; ++i) {
            appendReminder(ds, i + 1, start.withDate(start.date().addDays(i % 36500)));
        }
        DataPacket delta = ds.Delta();
        benchmark::DoNotOptimize(delta);
        if (delta.changes.size() != static_cast<std::size_t>(rows)) {
            state.SkipWithError("delta lost rows");
        }
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["ns_per_row"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * rows * 1e-9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PostRowsAndBuildDelta)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

// The same rows, each sent and merged from AfterPost as the editor does for a single reminder.
void BM_PostAndMergeEachRow(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const DateTime start = DateTime::fromParts({2030, 1, 1}, 9, 30);
    for (auto _ : state) {
        ClientDataSet ds("cdsAuxAFazer", R::layout());
        std::size_t sent = 0;
        ds.AfterPost = [&](ClientDataSet& d) {
            sent += d.Delta().changes.size();
            d.MergeChangeLog();
        };
        ds.Open();
        for (int i = 0; i < rows; ++i) {
            appendReminder(ds, i + 1, start.withDate(start.date().addDays(i % 36500)));
        }
        benchmark::DoNotOptimize(sent);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_PostAndMergeEachRow)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lembrete
