// Posting a long series of reminder rows into a dataset and building its delta: the path every
// occurrence of a repeating reminder takes. Prints rows per second (items_per_second) and the
// cost of one row (ns_per_row, CPU time), which should stay the same from a thousand rows to a
// million.
//
// So that what grows can be seen, the cost of a row is also split: by phase (post, delta,
// release: CPU time), by kind (user and kernel CPU, minor page faults, from getrusage over
// the whole run) and by heap traffic (allocations and bytes asked of operator new per row, and
// the heap bytes the dataset and its delta hold per row once built).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "data/client_data_set.h"
#include "data/reminder_record.h"
#include "heap_tally.h"

namespace lembrete {
namespace {

using R = ReminderRecord;

// This thread's CPU time: on a machine shared with other work, the phases' CPU says more than
// their wall time.
struct ThreadCpuClock {
    using duration = std::chrono::nanoseconds;
    static duration now() {
        timespec spent{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &spent);
        return std::chrono::seconds(spent.tv_sec) + duration(spent.tv_nsec);
    }
};
using Clock = ThreadCpuClock;

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

// The process's CPU, faults and heap traffic at one moment.
struct Usage {
    double userSeconds = 0;
    double systemSeconds = 0;
    long minorFaults = 0;
    bench::HeapTally heap;

    static Usage now() {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
        return {seconds(usage.ru_utime), seconds(usage.ru_stime), usage.ru_minflt,
                bench::heapTally()};
    }
};

// Heap bytes in use: small chunks plus those the allocator mapped on their own.
double heapInUse() {
    const auto info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

void BM_PostRowsAndBuildDelta(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const DateTime start = DateTime::fromParts({2030, 1, 1}, 9, 30);
    Clock::duration posting{};
    Clock::duration delta{};
    Clock::duration releasing{};
    std::optional<double> heldBytes;
    const Usage before = Usage::now();
    for (auto _ : state) {
        const auto started = Clock::now();
        const double heapBefore = heldBytes ? 0 : heapInUse();
        auto ds = std::make_unique<ClientDataSet>("cdsAuxAFazer", R::layout());
        ds->Open();
        for (int i = 0; i < rows; ++i) {
            appendReminder(*ds, i + 1, start.withDate(start.date().addDays(i % 36500)));
        }
        const auto posted = Clock::now();
        auto changes = std::make_unique<DataPacket>(ds->Delta());
        benchmark::DoNotOptimize(changes.get());
        const auto built = Clock::now();
        if (changes->changes.size() != static_cast<std::size_t>(rows)) {
            state.SkipWithError("delta lost rows");
        }
        if (!heldBytes) {
            heldBytes = heapInUse() - heapBefore;
        }
        changes.reset();
        ds.reset();
        const auto released = Clock::now();
        posting += posted - started;
        delta += built - posted;
        releasing += released - built;
    }
    const Usage after = Usage::now();
    const double total = static_cast<double>(state.iterations()) * rows;
    const auto perRow = [&](double value) { return benchmark::Counter(value / total); };
    const auto nsPerRow = [&](Clock::duration spent) {
        return perRow(static_cast<double>(spent.count()));
    };
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["ns_per_row"] =
        benchmark::Counter(total * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["post_ns"] = nsPerRow(posting);
    state.counters["delta_ns"] = nsPerRow(delta);
    state.counters["free_ns"] = nsPerRow(releasing);
    state.counters["user_ns"] = perRow((after.userSeconds - before.userSeconds) * 1e9);
    state.counters["sys_ns"] = perRow((after.systemSeconds - before.systemSeconds) * 1e9);
    state.counters["minflt"] = perRow(static_cast<double>(after.minorFaults - before.minorFaults));
    state.counters["allocs"] =
        perRow(static_cast<double>(after.heap.allocations - before.heap.allocations));
    state.counters["alloc_B"] = perRow(static_cast<double>(after.heap.bytes - before.heap.bytes));
    state.counters["held_B"] = benchmark::Counter(heldBytes.value_or(0) / rows);
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
