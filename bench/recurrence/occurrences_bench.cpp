// Occurrences per second for ten-year series (the "Sem data de término" span), against bare
// std::chrono loops that write the same days (daily, monthly) into a reserved vector. The
// *AgainstBareLoop cases time the expansion and a bare loop written the same way (the same
// Date values into a vector reserved alike) in turn, in the same iterations, and print the
// median ratio of their times: on a shared machine a ratio measured so is what holds still.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "recurrence/occurrence_cursor.h"

namespace lembrete {
namespace {

const Date kStart = Date(std::chrono::sys_days{std::chrono::year{2007} / 7 / 16});

RecurrenceRule ruleOf(RecurrenceKind kind, std::initializer_list<int> weekdays = {},
                      MonthlyMode mode = MonthlyMode::ByDate) {
    RecurrenceRule rule;
    rule.setKind(kind);
    for (int day : weekdays) {
        rule.setWeekday(day, true);
    }
    rule.setMonthlyMode(mode);
    return rule;
}

void expand(benchmark::State& state, const RecurrenceRule& rule) {
    std::size_t total = 0;
    for (auto _ : state) {
        auto dates = occurrences(rule, kStart);
        benchmark::DoNotOptimize(dates.data());
        total += dates.size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(total));
}

void DailyTenYears(benchmark::State& state) {
    expand(state, ruleOf(RecurrenceKind::Daily));
}

void WeeklyMondayFridayTenYears(benchmark::State& state) {
    expand(state, ruleOf(RecurrenceKind::Weekly, {2, 6}));
}

void MonthlyTenYears(benchmark::State& state) {
    expand(state, ruleOf(RecurrenceKind::Monthly));
}

void MonthlyByWeekdayTenYears(benchmark::State& state) {
    expand(state, ruleOf(RecurrenceKind::Monthly, {}, MonthlyMode::ByWeekday));
}

void BareChronoLoopTenYears(benchmark::State& state) {
    const auto first = kStart.sysDays();
    const auto last = openSeriesEnd(kStart).sysDays();
    std::size_t total = 0;
    for (auto _ : state) {
        std::vector<std::chrono::sys_days> dates;
        dates.reserve(static_cast<std::size_t>((last - first).count() + 1));
        for (auto day = first; day <= last; day += std::chrono::days{1}) {
            dates.push_back(day);
        }
        benchmark::DoNotOptimize(dates.data());
        total += dates.size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(total));
}

// The same month by month, clamping the day to the month's end as a hand-written loop would.
void BareChronoMonthLoopTenYears(benchmark::State& state) {
    using namespace std::chrono;
    const year_month_day first{kStart.sysDays()};
    const auto last = openSeriesEnd(kStart).sysDays();
    std::size_t total = 0;
    for (auto _ : state) {
        std::vector<sys_days> dates;
        dates.reserve(132);
        for (year_month month = first.year() / first.month();; month += months{1}) {
            auto day = sys_days{month / std::min(first.day(), (month / std::chrono::last).day())};
            if (day > last) {
                break;
            }
            dates.push_back(day);
        }
        benchmark::DoNotOptimize(dates.data());
        total += dates.size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(total));
}

std::vector<Date> bareDaily(Date start, Date end) {
    std::vector<Date> dates;
    dates.reserve(static_cast<std::size_t>(start.daysUntil(end) + 1));
    for (auto day = start.sysDays(); day <= end.sysDays(); day += std::chrono::days{1}) {
        dates.push_back(Date(day));
    }
    return dates;
}

std::vector<Date> bareMonthly(Date start, Date end) {
    using namespace std::chrono;
    const year_month_day first{start.sysDays()};
    std::vector<Date> dates;
    dates.reserve(static_cast<std::size_t>(start.daysUntil(end) / 28 + 1));
    for (year_month month = first.year() / first.month();; month += months{1}) {
        const auto day = sys_days{month / std::min(first.day(), (month / last).day())};
        if (day > end.sysDays()) {
            break;
        }
        dates.push_back(Date(day));
    }
    return dates;
}

// Each iteration times a batch of expansions, then a batch of bare loops; the median of the
// iterations' ratios leaves out the batches a busy machine interrupted.
template <typename Bare>
void againstBareLoop(benchmark::State& state, const RecurrenceRule& rule, Bare bare) {
    using Clock = std::chrono::steady_clock;
    constexpr int kBatch = 20;
    const Date end = rule.lastDate(kStart);
    std::vector<double> ratios;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int i = 0; i < kBatch; ++i) {
            auto dates = occurrences(rule, kStart);
            benchmark::DoNotOptimize(dates.data());
        }
        const auto t1 = Clock::now();
        for (int i = 0; i < kBatch; ++i) {
            auto dates = bare(kStart, end);
            benchmark::DoNotOptimize(dates.data());
        }
        const auto t2 = Clock::now();
        ratios.push_back(std::chrono::duration<double>(t1 - t0) /
                         std::chrono::duration<double>(t2 - t1));
    }
    if (occurrences(rule, kStart) != bare(kStart, end)) {
        state.SkipWithError("the bare loop wrote other days");
        return;
    }
    std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
    state.counters["ratio"] = ratios[ratios.size() / 2];
}

void DailyAgainstBareLoop(benchmark::State& state) {
    againstBareLoop(state, ruleOf(RecurrenceKind::Daily), bareDaily);
}

void MonthlyAgainstBareLoop(benchmark::State& state) {
    againstBareLoop(state, ruleOf(RecurrenceKind::Monthly), bareMonthly);
}

BENCHMARK(DailyTenYears);
BENCHMARK(WeeklyMondayFridayTenYears);
BENCHMARK(MonthlyTenYears);
BENCHMARK(MonthlyByWeekdayTenYears);
BENCHMARK(BareChronoLoopTenYears);
BENCHMARK(BareChronoMonthLoopTenYears);
BENCHMARK(DailyAgainstBareLoop);
BENCHMARK(MonthlyAgainstBareLoop);

}  // namespace
}  // namespace lembrete
