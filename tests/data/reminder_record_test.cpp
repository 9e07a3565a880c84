#include "data/reminder_record.h"

#include <gtest/gtest.h>

#include <string>

#include "data/client_data_set.h"
#include "data/field_width_error.h"

namespace lembrete {
namespace {

std::string describe(const std::vector<FieldLayout>& layouts) {
    std::string text;
    for (const auto& f : layouts) {
        text += f.def.name + ":" + fieldTypeName(f.def.type) + ":" + std::to_string(f.def.size);
        if (!f.label.empty()) {
            text += ":" + f.label + (f.alignment == Alignment::Right ? ">" : "");
        }
        text += f.visible ? "*" : "";
        text += "\n";
    }
    return text;
}

TEST(ReminderRecord, FieldsInOrderWithTypesWidthsAndLabels) {
    EXPECT_EQ(describe(ReminderRecord::layout()),
              "CDOPERADOR:string:12\n"
              "NRATIVPESS:string:10\n"
              "DSREFEATPESS:string:100:Referência*\n"
              "DTATIVPESS:datetime:0:Data*\n"
              "IDSITUATPESS:string:1*\n"
              "IDALARATPESS:string:1\n"
              "QTSEGUATPESS:float:0\n"
              "IDUNITATPESS:string:1\n"
              "HORARIO:string:8:Horário*\n"
              "NRPRIOATPESS:string:3:Prioridade>*\n"
              "DATA:string:10\n"
              "NRREPETATIVP:string:10\n");
}

TEST(ReminderRecord, StoredColumnsCarryTheirOrigin) {
    for (const auto& def : ReminderRecord::fields()) {
        if (def.name == "HORARIO" || def.name == "DATA") {
            EXPECT_EQ(def.origin, "") << def.name;
        } else {
            EXPECT_EQ(def.origin, "DBHALVARD.ATIVPESSOAL." + def.name);
        }
    }
}

TEST(ReminderRecord, DescriptionAndMarkedDates) {
    EXPECT_EQ(describe(DescriptionRecord::layout()),
              "TXATIVPESS:blob:0*\nCDOPERADOR:string:12\nNRATIVPESS:string:10\n");
    EXPECT_EQ(describe(MarkedDateRecord::layout()), "DTATIVPESS:datetime:0*\n");
}

TEST(ReminderRecord, TheDateColumnShowsTheDateAloneAlsoAfterAReload) {
    // The list shows the time in HORARIO, so "Data" must not repeat it (nor be cut off).
    ClientDataSet list("cdsAFazer", ReminderRecord::layout());
    DataPacket packet{ReminderRecord::fields(), {}, {}};
    Row row(packet.fields.size());
    row[3] = DateTime::fromParts({2026, 3, 11}, 9, 30);
    row[8] = "09:30:00";
    packet.rows.push_back(row);
    list.SetData(packet);

    const auto& layouts = list.FieldLayouts();
    EXPECT_EQ(layouts[3].displayText(list.RowAt(0)[3]), "11/03/2026");
    EXPECT_EQ(layouts[8].displayText(list.RowAt(0)[8]), "09:30:00");
    EXPECT_EQ(list.FieldByName("DTATIVPESS").AsString(), "11/03/2026 09:30:00");
}

TEST(ReminderRecord, CodeValues) {
    EXPECT_TRUE(ReminderRecord::isState("P"));
    EXPECT_TRUE(ReminderRecord::isState("R"));
    EXPECT_FALSE(ReminderRecord::isState("p"));
    EXPECT_FALSE(ReminderRecord::isState(""));
    EXPECT_TRUE(ReminderRecord::isAlarm("S"));
    EXPECT_FALSE(ReminderRecord::isAlarm("R"));
    for (const char* unit : {"S", "M", "D", ""}) {
        EXPECT_TRUE(ReminderRecord::isUnit(unit)) << unit;
    }
    EXPECT_FALSE(ReminderRecord::isUnit("H"));
    EXPECT_TRUE(ReminderRecord::isLead(1));
    EXPECT_TRUE(ReminderRecord::isLead(1000));
    EXPECT_FALSE(ReminderRecord::isLead(0));
    EXPECT_FALSE(ReminderRecord::isLead(1000.5));
    EXPECT_FALSE(ReminderRecord::isLead(1.5));

    struct Case {
        const char* text;
        bool valid;
    };
    const Case priorities[] = {{"0", true},    {"999", true},  {" 12", true},   {"5  ", true},
                               {"", false},    {"   ", false}, {"1000", false}, {"-1", false},
                               {"1 2", false}, {"a", false}};
    for (const auto& c : priorities) {
        EXPECT_EQ(ReminderRecord::isPriority(c.text), c.valid) << '"' << c.text << '"';
    }
    // As stored (what the server accepts): no blanks; no priority is null, not empty.
    const Case stored[] = {{"0", true},   {"999", true},   {"", false},   {" 12", false},
                           {"5 ", false}, {"1000", false}, {"-1", false}, {"a", false}};
    for (const auto& c : stored) {
        EXPECT_EQ(ReminderRecord::isStoredPriority(c.text), c.valid) << '"' << c.text << '"';
    }
}

TEST(ReminderRecord, DataSetRefusesReferenceBeyondItsWidth) {
    ClientDataSet ds("cdsAuxAFazer", ReminderRecord::layout());
    ds.Open();
    ds.Append();
    std::string reference;
    for (int i = 0; i < 100; ++i) {
        reference += "ê";
    }
    ds.FieldByName(ReminderRecord::DSREFEATPESS).SetAsString(reference);
    EXPECT_THROW(ds.FieldByName(ReminderRecord::DSREFEATPESS).SetAsString(reference + "a"),
                 FieldWidthError);
    EXPECT_THROW(ds.FieldByName(ReminderRecord::NRPRIOATPESS).SetAsString("1000"), FieldWidthError);
    ds.FieldByName(ReminderRecord::IDSITUATPESS).SetAsString(std::string(ReminderRecord::kPending));
    ds.Post();
    EXPECT_EQ(ds.Delta().changes.size(), 1u);
    EXPECT_EQ(ds.Delta().changes[0].newValues[2], Variant(reference));
}

}  // namespace
}  // namespace lembrete
