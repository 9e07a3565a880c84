#include "data/date.h"

#include <gtest/gtest.h>

namespace lembrete {
namespace {

TEST(DayNumber, KnownAnchors) {
    struct Case {
        DateParts parts;
        int dayNumber;
    };
    const Case cases[] = {
        {{1899, 12, 30}, 0},    {{1899, 12, 31}, 1},    {{1900, 1, 1}, 2},
        {{2000, 1, 1}, 36526},  {{1899, 12, 29}, -1},   {{2099, 12, 31}, 73050},
        {{2024, 2, 29}, 45351},
    };
    for (const auto& c : cases) {
        Date date = Date::fromParts(c.parts);
        EXPECT_EQ(date.dayNumber(), c.dayNumber) << date.format();
        EXPECT_EQ(Date::fromDayNumber(c.dayNumber), date) << c.dayNumber;
    }
}

}  // namespace
}  // namespace lembrete
