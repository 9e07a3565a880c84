// The order a dataset keeps its rows in: how values compare (OrderKey) and what SetOrder,
// SetData and CancelUpdates do with the rows and the cursor.
#include "data/row_order.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/client_data_set.h"

namespace lembrete {
namespace {

TEST(OrderKeyTest, ValuesCompareByWhatTheyMean) {
    const DateTime morning = DateTime::fromParts({2026, 3, 11}, 9);
    const struct {
        const char* name;
        Variant lower, higher;
    } pairs[] = {
        {"null before a number", Variant(), Variant(0)},
        {"null before a text", Variant(), Variant("a")},
        {"whole-number texts as numbers", Variant("9"), Variant("10")},
        {"a blank-padded number", Variant(" 9"), Variant("10 ")},
        {"a negative number", Variant("-3"), Variant("2")},
        {"a number held as integer beside one held as text", Variant(9), Variant("10")},
        {"floats", Variant(1.5), Variant(2)},
        {"numbers before other texts", Variant("999"), Variant("1a")},
        {"booleans", Variant(false), Variant(true)},
        {"date-times by time, across days", morning, DateTime::fromParts({2026, 3, 12}, 8)},
        {"date-times on one day", morning, morning.withTime(std::chrono::hours(10))},
        {"times of day as texts", Variant("09:30:00"), Variant("10:05:00")},
        {"letter case ignored", Variant("abacaxi"), Variant("BANANA")},
        {"accents ignored", Variant("Ação"), Variant("Agenda")},
        {"an accent does not go last", Variant("Édipo"), Variant("Fábio")},
        {"done after pending", Variant("P"), Variant("R")},
        {"a shorter prefix first", Variant("Reunião"), Variant("reuniao de equipe")},
        {"blobs by their bytes", Variant(Blob{"a"}), Variant(Blob{"b"})},
    };
    for (const auto& pair : pairs) {
        EXPECT_LT(OrderKey(pair.lower), OrderKey(pair.higher)) << pair.name;
        EXPECT_GT(OrderKey(pair.higher), OrderKey(pair.lower)) << pair.name;
    }
    const struct {
        const char* name;
        Variant a, b;
    } equal[] = {
        {"case and accents only", Variant("Reunião"), Variant("REUNIAO")},
        {"one number, two forms", Variant("10"), Variant(10)},
        {"two nulls", Variant(), Variant()},
    };
    for (const auto& pair : equal) {
        EXPECT_EQ(OrderKey(pair.a), OrderKey(pair.b)) << pair.name;
    }
}

// Reminders as a list holds them: number, priority (text), reference, date and time.
DataPacket reminders() {
    DataPacket packet;
    packet.fields = {{"NR", FieldType::String, 10, ""},
                     {"PRIO", FieldType::String, 3, ""},
                     {"REF", FieldType::String, 100, ""},
                     {"QUANDO", FieldType::DateTime, 0, ""}};
    const auto at = [](std::uint16_t day, int hour) {
        return DateTime::fromParts({2026, 3, day}, hour);
    };
    packet.rows = {{"1", "10", "reunião", at(11, 9)},
                   {"2", "9", "Almoço", at(11, 12)},
                   {"3", "10", "ÁGUA", at(10, 18)},
                   {"4", Variant(), "Banco", at(12, 8)}};
    return packet;
}

std::string numbers(const ClientDataSet& list) {
    std::string text;
    for (int i = 0; i < list.RecordCount(); ++i) {
        text += (text.empty() ? "" : " ") + list.RowAt(i)[0].toText();
    }
    return text;
}

TEST(DataSetOrderTest, RowsFollowTheOrderEqualValuesKeepTheirsAndTheCursorItsRow) {
    ClientDataSet list("cdsAFazer");
    list.SetData(reminders());
    int scrolls = 0;
    list.AfterScroll = [&](ClientDataSet&) { ++scrolls; };
    ASSERT_TRUE(list.MoveTo(2));
    scrolls = 0;
    const struct {
        RowOrder order;
        const char* expected;
        std::vector<int> placed;
    } orders[] = {
        {{"PRIO", false}, "4 2 1 3", {2, 1, 3, 0}},   {{"PRIO", true}, "1 3 2 4", {0, 2, 1, 3}},
        {{"REF", false}, "3 2 4 1", {3, 1, 0, 2}},    {{"REF", true}, "1 4 2 3", {0, 2, 3, 1}},
        {{"QUANDO", false}, "3 1 2 4", {1, 2, 0, 3}}, {{"quando", true}, "4 2 1 3", {2, 1, 3, 0}},
    };
    for (const auto& [order, expected, placed] : orders) {
        // Each order starts from the rows as the server sent them.
        list.SetOrder(std::nullopt);
        list.SetData(reminders());
        ASSERT_TRUE(list.MoveTo(2));
        scrolls = 0;
        EXPECT_EQ(list.SetOrder(order), placed) << order.field;
        EXPECT_EQ(numbers(list), expected) << order.field << (order.descending ? " desc" : "");
        EXPECT_EQ(list.FieldByName("NR").AsString(), "2") << order.field;
        EXPECT_EQ(scrolls, 0) << "the cursor stayed on its row";
        ASSERT_TRUE(list.Order());
        EXPECT_EQ(*list.Order(), order);
    }
}

TEST(DataSetOrderTest, AReloadAndCancelUpdatesKeepTheOrderAPostedRowStaysPut) {
    ClientDataSet list("cdsAFazer");
    list.SetOrder(RowOrder{"PRIO", false});
    list.SetData(reminders());
    EXPECT_EQ(numbers(list), "4 2 1 3") << "an order set before loading";
    list.SetData(reminders());
    EXPECT_EQ(numbers(list), "4 2 1 3") << "reloaded";

    ASSERT_TRUE(list.Locate("NR", "1"));
    list.Edit();
    list.FieldByName("PRIO").SetAsString("1");
    list.Post();
    EXPECT_EQ(numbers(list), "4 2 1 3") << "the posted row keeps its place";
    ASSERT_TRUE(list.Locate("NR", "2"));
    list.Delete();
    EXPECT_EQ(numbers(list), "4 1 3");
    list.CancelUpdates();
    EXPECT_EQ(numbers(list), "4 2 1 3") << "undone, in order";

    // With no order the rows stay as they are; an order by a field the packet lacks leaves
    // them as they come.
    list.SetOrder(std::nullopt);
    list.SetData(reminders());
    EXPECT_EQ(numbers(list), "1 2 3 4");
    list.SetOrder(RowOrder{"NAOEXISTE", false});
    EXPECT_EQ(numbers(list), "1 2 3 4");
}

TEST(DataSetOrderTest, SettingTheOrderStoresAPendingEditFirst) {
    ClientDataSet list("cdsAFazer");
    list.SetData(reminders());
    ASSERT_TRUE(list.Locate("NR", "4"));
    list.Edit();
    list.FieldByName("PRIO").SetAsString("0");
    list.SetOrder(RowOrder{"PRIO", false});
    EXPECT_EQ(list.State(), DataSetState::Browse);
    EXPECT_EQ(list.ChangeCount(), 1);
    EXPECT_EQ(numbers(list), "4 2 1 3");
    EXPECT_EQ(list.FieldByName("NR").AsString(), "4");
}

}  // namespace
}  // namespace lembrete
