// The host's pure helpers and the names of months and weekdays.
#include "shell/consiste.h"

#include <gtest/gtest.h>

#include "data/client_data_set.h"
#include "data/data_source.h"
#include "shell/calendar_names.h"
#include "toolkit/db_grid.h"
#include "toolkit/form.h"

namespace lembrete {
namespace {

TEST(ConsisteTest, EmptyStringIsEmptyOrBlanksOnly) {
    const struct {
        const char* text;
        bool empty;
    } cases[] = {{"", true}, {" ", true}, {"   \t", true}, {" a ", false}, {"ç", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(EmptyString(c.text), c.empty) << '"' << c.text << '"';
    }
}

TEST(ConsisteTest, SetaCampoNullTurnsEmptyStringsOfTheRowIntoNulls) {
    ClientDataSet dataSet("cdsAuxAFazer", std::vector<FieldDef>{
                                              {"CDOPERADOR", FieldType::String, 12, ""},
                                              {"NRPRIOATPESS", FieldType::String, 3, ""},
                                              {"IDUNITATPESS", FieldType::String, 1, ""},
                                              {"QTSEGUATPESS", FieldType::Float, 0, ""},
                                          });
    dataSet.Open();
    EXPECT_THROW(Seta_Campo_Null(dataSet), std::logic_error);  // browse state
    dataSet.Append();
    dataSet.FieldByName("CDOPERADOR").SetAsString("ANA");
    dataSet.FieldByName("NRPRIOATPESS").SetAsString("");
    dataSet.FieldByName("IDUNITATPESS").SetAsString(" ");
    dataSet.FieldByName("QTSEGUATPESS").SetAsFloat(0);
    Seta_Campo_Null(dataSet);
    EXPECT_EQ(dataSet.FieldByName("CDOPERADOR").AsString(), "ANA");
    EXPECT_TRUE(dataSet.FieldByName("NRPRIOATPESS").IsNull());
    EXPECT_EQ(dataSet.FieldByName("IDUNITATPESS").AsString(), " ");  // a blank is not empty
    EXPECT_FALSE(dataSet.FieldByName("QTSEGUATPESS").IsNull());
}

TEST(ConsisteTest, IndiceColFindsTheColumnOfAField) {
    TForm form("frmAFazer");
    auto& grid = form.Add<TDBGrid>("dbsAFazer");
    grid.SetColumns({{"IDSITUATPESS", "Ok", 19},
                     {"NRPRIOATPESS", "Prioridade"},
                     {"HORARIO", "Horário"},
                     {"DTATIVPESS", "Data", 65},
                     {"DSREFEATPESS", "Referência", 307}});
    EXPECT_EQ(IndiceCol(grid, "IDSITUATPESS"), 0);
    EXPECT_EQ(IndiceCol(grid, "dsrefeatpess"), 4);
    EXPECT_EQ(IndiceCol(grid, "NRATIVPESS"), -1);
}

TEST(CalendarNamesTest, MonthAndWeekdayNames) {
    EXPECT_EQ(NomeMes(Date::fromParts(2003, 8, 15)), "Agosto");
    EXPECT_EQ(NomeMes(Date::fromParts(2003, 3, 1)), "Março");
    EXPECT_EQ(NomeDia(Date::fromParts(2007, 7, 16)), "Segunda");
    EXPECT_EQ(NomeDia(Date::fromParts(2007, 7, 21)), "Sábado");
    EXPECT_THROW(monthName(13), std::out_of_range);
    EXPECT_THROW(weekdayName(0), std::out_of_range);
}

}  // namespace
}  // namespace lembrete
