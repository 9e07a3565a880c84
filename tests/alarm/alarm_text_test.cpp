// How far an alarm lies from now, as the alarm window writes it.
#include "alarm/alarm_text.h"

#include <gtest/gtest.h>

#include <chrono>

#include "alarm/alarm_time.h"

namespace lembrete {
namespace {

using namespace std::chrono;

struct TextCase {
    const char* name;
    milliseconds fromNow;
    const char* text;
};

class RelativeTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(RelativeTextTest, CountsWholeUnits) {
    const DateTime now = DateTime::fromParts({2026, 3, 1}, 0, 30);
    EXPECT_EQ(relativeTimeText(shiftedBy(now, GetParam().fromNow), now), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RelativeTextTest,
    ::testing::Values(TextCase{"Now", milliseconds(0), "agora"},
                      TextCase{"UnderAMinuteAhead", seconds(59), "agora"},
                      TextCase{"UnderAMinuteAgo", -seconds(59), "agora"},
                      TextCase{"OneMinuteAhead", minutes(1), "em 1 minuto"},
                      TextCase{"FiveMinutesAhead", minutes(5), "em 5 minutos"},
                      TextCase{"AlmostFiveMinutesAhead", minutes(5) - seconds(1), "em 4 minutos"},
                      TextCase{"FiftyNineMinutesAgo", -minutes(59), "há 59 minutos"},
                      TextCase{"OneHourAgo", -hours(1), "há 1 hora"},
                      TextCase{"TwoHoursAgoAcrossMidnight", -hours(2), "há 2 horas"},
                      TextCase{"AlmostADayAhead", hours(24) - minutes(1), "em 23 horas"},
                      TextCase{"OneDayAgo", -hours(24), "há 1 dia"},
                      TextCase{"ThousandDaysAhead", hours(24 * 1000), "em 1000 dias"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lembrete
