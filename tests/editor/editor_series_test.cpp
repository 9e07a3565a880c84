// Repeating reminders saved through the editor: the dates each kind stores, the shared series
// number, the few round trips a series costs, and what a failure mid-save leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "editor_fixture.h"

namespace lembrete::testing {
namespace {

using EditorSeriesTest = EditorFixture;
using Lines = std::vector<std::string>;

struct SeriesCase {
    const char* name;
    const char* start;
    const char* end;  // nullptr: "Sem data de término"
    std::function<void(TfrmManutAFazer&)> rule;
    Lines dates;
};

class Series {
  public:
    Series(const DataPacket& packet, const std::string& reference) {
        for (const Row& row : packet.rows) {
            if (row[packet.fieldIndex("DSREFEATPESS")].toText() != reference) {
                continue;
            }
            dates.push_back(row[packet.fieldIndex("DTATIVPESS")].asDateTime().format());
            numbers.push_back(row[packet.fieldIndex("NRATIVPESS")].toText());
            seriesNumbers.insert(row[packet.fieldIndex("NRREPETATIVP")].toText());
        }
    }
    Lines dates;
    Lines numbers;
    std::set<std::string> seriesNumbers;
};

void chooseWeekdays(TfrmManutAFazer& f, std::initializer_list<TPanel*> days) {
    f.panSemanal.Click();
    for (TPanel* day : days) {
        day->Click();
    }
}

TEST_F(EditorSeriesTest, EveryKindStoresItsDates) {
    const std::vector<SeriesCase> cases = {
        {"daily",
         "16/07/2007",
         "18/07/2007",
         [](TfrmManutAFazer& f) { f.panDiario.Click(); },
         {"16/07/2007 08:00:00", "17/07/2007 08:00:00", "18/07/2007 08:00:00"}},
        {"every third day",
         "16/07/2007",
         "25/07/2007",
         [](TfrmManutAFazer& f) {
             f.panDiario.Click();
             f.speDia.EnterText("3");
         },
         {"16/07/2007 08:00:00", "19/07/2007 08:00:00", "22/07/2007 08:00:00",
          "25/07/2007 08:00:00"}},
        {"weekly Monday and Friday from a Wednesday",
         "18/07/2007",
         "31/07/2007",
         [](TfrmManutAFazer& f) {
             chooseWeekdays(f, {&f.panSeg, &f.panSex});
         },
         {"20/07/2007 08:00:00", "23/07/2007 08:00:00", "27/07/2007 08:00:00",
          "30/07/2007 08:00:00"}},
        {"every other week, Sunday and Wednesday",
         "18/07/2007",
         "05/08/2007",
         [](TfrmManutAFazer& f) {
             chooseWeekdays(f, {&f.panDom, &f.panQua});
             f.speDia.EnterText("2");
         },
         {"18/07/2007 08:00:00", "29/07/2007 08:00:00", "01/08/2007 08:00:00"}},
        {"monthly by date from the 31st",
         "31/01/2008",
         "30/04/2008",
         [](TfrmManutAFazer& f) { f.panMensal.Click(); },
         {"31/01/2008 08:00:00", "29/02/2008 08:00:00", "31/03/2008 08:00:00",
          "30/04/2008 08:00:00"}},
        {"monthly by weekday: third Monday",
         "16/07/2007",
         "31/10/2007",
         [](TfrmManutAFazer& f) {
             f.panMensal.Click();
             f.cbbPor.SelectItem(1);
         },
         {"16/07/2007 08:00:00", "20/08/2007 08:00:00", "17/09/2007 08:00:00",
          "15/10/2007 08:00:00"}},
        {"monthly by weekday: last Monday",
         "30/07/2007",
         "30/09/2007",
         [](TfrmManutAFazer& f) {
             f.panMensal.Click();
             f.cbbPor.SelectItem(1);
         },
         {"30/07/2007 08:00:00", "27/08/2007 08:00:00", "24/09/2007 08:00:00"}},
        {"yearly from a leap day",
         "29/02/2008",
         "29/02/2012",
         [](TfrmManutAFazer& f) { f.panAnual.Click(); },
         {"29/02/2008 08:00:00", "28/02/2009 08:00:00", "28/02/2010 08:00:00",
          "28/02/2011 08:00:00", "29/02/2012 08:00:00"}},
    };
    for (const SeriesCase& c : cases) {
        const bool open = edit("", [&](TfrmManutAFazer& f) {
            f.drtDesc.TypeText(c.name);
            f.depData.EnterText(c.start);
            f.pgcGeral.SelectPage(f.tshRepeticao);
            c.rule(f);
            f.depDataTermino.EnterText(c.end);
            f.pgcGeral.SelectPage(f.tshObservacao);
            f.dbrTxAtivPess.EnterText(std::string("texto de ") + c.name);
            f.bitConfirma.Click();
        });
        EXPECT_FALSE(open) << c.name;
        const Series series(storedPacket(), c.name);
        EXPECT_EQ(series.dates, c.dates) << c.name;
        EXPECT_EQ(series.seriesNumbers.size(), 1u) << c.name;
        EXPECT_NE(*series.seriesNumbers.begin(), "") << c.name;
        EXPECT_EQ(std::set<std::string>(series.numbers.begin(), series.numbers.end()).size(),
                  series.numbers.size())
            << c.name;
        for (const std::string& number : series.numbers) {
            EXPECT_EQ(storedDescription(number), std::string("texto de ") + c.name) << c.name;
        }
    }
}

TEST_F(EditorSeriesTest, OpenEndedDailySeriesCostsAFewRoundTrips) {
    Lines saveCalls;
    edit("", [&](TfrmManutAFazer& f) {
        f.drtDesc.TypeText("Diário sem fim");
        f.chbAlarme.Click();
        f.speAlarme.EnterText("10");
        f.cbbAlarme.SelectItem(0);
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panDiario.Click();
        f.rdbSemData.Click();
        host_.TakeCalls();
        f.bitConfirma.Click();
        saveCalls = serverCallsSince();
    });
    const DataPacket stored = storedPacket();
    const Series series(stored, "Diário sem fim");
    // 16 July 2007 to 31 December 2017, both included.
    const int expected = Date::fromParts(2007, 7, 16).daysUntil(Date::fromParts(2017, 12, 31)) + 1;
    ASSERT_EQ(static_cast<int>(series.dates.size()), expected);
    EXPECT_EQ(series.dates.front(), "16/07/2007 08:00:00");
    EXPECT_EQ(series.dates.back(), "31/12/2017 08:00:00");
    EXPECT_EQ(series.seriesNumbers.size(), 1u);
    const Row& first = stored.rows.front();
    EXPECT_EQ(first[stored.fieldIndex("IDALARATPESS")], Variant("S"));
    EXPECT_EQ(first[stored.fieldIndex("QTSEGUATPESS")].toNumber(), 10.0);
    EXPECT_EQ(first[stored.fieldIndex("IDUNITATPESS")], Variant("S"));

    ASSERT_GE(saveCalls.size(), 3u);
    EXPECT_EQ(Lines(saveCalls.begin(), saveCalls.begin() + 3),
              (Lines{"GetPrxNrRepetAtivPess", "GetPrxAtivPessoalBloco", "SetSerieAFazer"}));
    EXPECT_LE(saveCalls.size(), 10u);
    // The agenda shows the day the series starts, not its last occurrence.
    EXPECT_EQ(agenda_->SelectedDate(), Date::fromParts(2007, 7, 16));
    EXPECT_EQ(agenda_->panCalendAFazer.Caption(), "Julho  2007");
}

TEST_F(EditorSeriesTest, SeriesLongerThanOneBlockOfNumbers) {
    Lines saveCalls;
    edit("", [&](TfrmManutAFazer& f) {
        f.drtDesc.TypeText("Trinta anos");
        f.depData.EnterText("01/01/2000");
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panDiario.Click();
        f.depDataTermino.EnterText("31/12/2030");
        host_.TakeCalls();
        f.bitConfirma.Click();
        saveCalls = serverCallsSince();
    });
    const Series series(storedPacket(), "Trinta anos");
    const std::size_t days =
        Date::fromParts(2000, 1, 1).daysUntil(Date::fromParts(2030, 12, 31)) + 1;
    ASSERT_EQ(series.dates.size(), days);
    EXPECT_GT(days, static_cast<std::size_t>(SeriesWriter::kNumbersPerBlock));
    EXPECT_EQ(std::set<std::string>(series.numbers.begin(), series.numbers.end()).size(), days);
    EXPECT_EQ(series.seriesNumbers.size(), 1u);
    EXPECT_EQ(std::count(saveCalls.begin(), saveCalls.end(), "GetPrxAtivPessoalBloco"), 2);
    EXPECT_EQ(std::count(saveCalls.begin(), saveCalls.end(), "SetSerieAFazer"), 1);
}

TEST_F(EditorSeriesTest, EditingAStoredReminderIntoASeriesKeepsItAndAddsTheSeries) {
    const std::string number =
        seedReminder("Existente", DateTime::fromParts({2007, 7, 16}, 9, 15, 30));
    edit(number, [](TfrmManutAFazer& f) {
        f.drtDesc.EnterText("Existente editado");
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panDiario.Click();
        f.depDataTermino.EnterText("18/07/2007");
        f.bitConfirma.Click();
    });
    const DataPacket stored = storedPacket();
    const Series series(stored, "Existente editado");
    EXPECT_EQ(series.dates, (Lines{"16/07/2007 09:15:30", "16/07/2007 09:15:30",
                                   "17/07/2007 09:15:30", "18/07/2007 09:15:30"}));
    EXPECT_EQ(series.numbers.front(), number);
    EXPECT_EQ(series.seriesNumbers, (std::set<std::string>{"", "1"}));
}

TEST_F(EditorSeriesTest, TheRuleIsStoredWithTheSeries) {
    edit("", [](TfrmManutAFazer& f) {
        f.drtDesc.TypeText("Segunda e sexta");
        f.depData.EnterText("18/07/2007");
        f.dtpHora.EnterText("09:30:00");
        f.pgcGeral.SelectPage(f.tshRepeticao);
        chooseWeekdays(f, {&f.panSeg, &f.panSex});
        f.speDia.EnterText("2");
        f.depDataTermino.EnterText("31/10/2007");
        f.bitConfirma.Click();
    });
    const Series series(storedPacket(), "Segunda e sexta");
    ASSERT_EQ(series.seriesNumbers.size(), 1u);
    const auto reply = direct_->call("GetRegraAFazer", {kOperator, *series.seriesNumbers.begin()});
    ASSERT_TRUE(reply.ok());
    const DataPacket rule = reply.payload.asPacket();
    ASSERT_EQ(rule.rows.size(), 1u);
    EXPECT_EQ(rule.rows[0], (Row{kOperator, *series.seriesNumbers.begin(), "S", "2", "NSNNNSN", "1",
                                 DateTime::fromParts({2007, 7, 18}, 9, 30),
                                 DateTime::fromParts({2007, 10, 31})}));
}

// --- failures mid-save ---------------------------------------------------------------------

// A description this large makes the series' request exceed the server's request limit.
std::string oversizedDescription() {
    return std::string(7u << 20, 'x');
}

TEST_F(EditorSeriesTest, DescriptionsRefusedLeaveNothingOfTheSeries) {
    const bool open = edit("", [&](TfrmManutAFazer& f) {
        f.drtDesc.TypeText("Série grande");
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panDiario.Click();
        f.depDataTermino.EnterText("18/07/2007");
        f.pgcGeral.SelectPage(f.tshObservacao);
        f.dbrTxAtivPess.EnterText(oversizedDescription());
        host_.TakeCalls();
        f.bitConfirma.Click();

        const Lines calls = serverCallsSince();
        EXPECT_EQ(calls,
                  (Lines{"GetPrxNrRepetAtivPess", "GetPrxAtivPessoalBloco", "SetSerieAFazer"}));
        EXPECT_TRUE(f.Visible());
        EXPECT_EQ(storedRows(), Lines{});
        // The dialog gives back what the user entered: a second try saves the series once.
        EXPECT_EQ(f.cdsAuxAFazer.State(), DataSetState::Insert);
        EXPECT_EQ(f.drtDesc.Text(), "Série grande");
        f.dbrTxAtivPess.EnterText("curto");
        f.bitConfirma.Click();
    });
    EXPECT_FALSE(open);
    ASSERT_EQ(host_.Errors().size(), 1u);
    const Series series(storedPacket(), "Série grande");
    EXPECT_EQ(series.dates,
              (Lines{"16/07/2007 08:00:00", "17/07/2007 08:00:00", "18/07/2007 08:00:00"}));
    EXPECT_EQ(series.seriesNumbers.size(), 1u);
    for (const std::string& number : series.numbers) {
        EXPECT_EQ(storedDescription(number), "curto");
    }
}

TEST_F(EditorSeriesTest, FailedSeriesGivesAStoredReminderBackUnchanged) {
    const std::string number =
        seedReminder("Original", DateTime::fromParts({2007, 7, 16}, 9, 15, 30));
    const Lines before = storedRows();
    const bool open = edit(number, [&](TfrmManutAFazer& f) {
        f.drtDesc.EnterText("Alterado");
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panDiario.Click();
        f.depDataTermino.EnterText("17/07/2007");
        f.pgcGeral.SelectPage(f.tshObservacao);
        f.dbrTxAtivPess.EnterText(oversizedDescription());
        f.bitConfirma.Click();
        EXPECT_EQ(storedRows(), before);
        EXPECT_EQ(f.cdsAuxAFazer.State(), DataSetState::Edit);
        EXPECT_EQ(f.cdsAuxAFazer.FieldByName("NRATIVPESS").AsString(), number);
        EXPECT_EQ(f.drtDesc.Text(), "Alterado");
    });
    EXPECT_TRUE(open);
    EXPECT_EQ(host_.Errors().size(), 1u);
}

TEST_F(EditorSeriesTest, ServerDownWhileSavingTellsTheUserAndKeepsTheDialog) {
    const bool open = edit("", [&](TfrmManutAFazer& f) {
        f.drtDesc.TypeText("Servidor parado");
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panDiario.Click();
        f.depDataTermino.EnterText("17/07/2007");
        server_.stop();
        f.bitConfirma.Click();
        EXPECT_TRUE(f.Visible());
        EXPECT_EQ(host_.Errors().size(), 1u);
        EXPECT_EQ(f.cdsAuxAFazer.State(), DataSetState::Insert);

        server_.start();
        f.bitConfirma.Click();
    });
    EXPECT_FALSE(open);
    const Series series(storedPacket(), "Servidor parado");
    EXPECT_EQ(series.dates, (Lines{"16/07/2007 08:00:00", "17/07/2007 08:00:00"}));
}

TEST_F(EditorSeriesTest, SingleReminderRetriedAfterTheServerCameBackIsStoredOnce) {
    const bool open = edit("", [&](TfrmManutAFazer& f) {
        f.drtDesc.TypeText("Uma vez");
        server_.stop();
        f.bitConfirma.Click();
        EXPECT_TRUE(f.Visible());
        server_.start();
        f.bitConfirma.Click();
    });
    EXPECT_FALSE(open);
    EXPECT_EQ(storedRows(), Lines{"16/07/2007 08:00:00|Uma vez|P|N|1|S|"});
}

TEST_F(EditorSeriesTest, SingleReminderWhoseDescriptionFailedIsNotStoredTwice) {
    const bool open = edit("", [&](TfrmManutAFazer& f) {
        f.drtDesc.TypeText("Descrição recusada");
        f.pgcGeral.SelectPage(f.tshObservacao);
        // Alone, the description's change log must pass the request limit by itself.
        f.dbrTxAtivPess.EnterText(std::string(13u << 20, 'x'));
        f.bitConfirma.Click();
        EXPECT_TRUE(f.Visible());
        EXPECT_EQ(host_.Errors().size(), 1u);
        // The reminder row went first and stays, as single saves always did.
        EXPECT_EQ(storedRows(), Lines{"16/07/2007 08:00:00|Descrição recusada|P|N|1|S|"});
        f.dbrTxAtivPess.EnterText("curto");
        f.bitConfirma.Click();
    });
    EXPECT_FALSE(open);
    EXPECT_EQ(storedRows(), Lines{"16/07/2007 08:00:00|Descrição recusada|P|N|1|S|"});
    const DataPacket stored = storedPacket();
    EXPECT_EQ(storedDescription(stored.rows[0][stored.fieldIndex("NRATIVPESS")].toText()), "curto");
}

}  // namespace
}  // namespace lembrete::testing
