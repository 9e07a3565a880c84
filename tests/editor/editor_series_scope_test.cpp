// Occurrences of a stored series opened in the editor and deleted from the agenda, against a
// real server: the rule shown again, each scope of a change and of a delete, done occurrences
// kept, and a conflict that leaves the whole series as it was.
#include <gtest/gtest.h>

#include <set>

#include "editor_fixture.h"
#include "series/series_change.h"
#include "support/reminder_deltas.h"

namespace lembrete::testing {
namespace {

using Lines = std::vector<std::string>;

// A weekly series on Monday and Friday, from Monday 16 July to Friday 10 August 2007, 08:00:
// 16, 20, 23, 27, 30 July, 3, 6, 10 August.
class SeriesScopeTest : public EditorFixture {
  protected:
    void SetUp() override {
        EditorFixture::SetUp();
        // The editor finds the reminder it opens among the agenda's rows: all from today on.
        agenda_->ckcTodos.Click();
        edit("", [](TfrmManutAFazer& f) {
            f.drtDesc.TypeText("Reunião");
            f.pgcGeral.SelectPage(f.tshRepeticao);
            f.panSemanal.Click();
            f.panSeg.Click();
            f.panSex.Click();
            f.depDataTermino.EnterText("10/08/2007");
            f.bitConfirma.Click();
        });
        const DataPacket stored = storedPacket();
        for (const Row& row : stored.rows) {
            numbers_.push_back(row[stored.fieldIndex("NRATIVPESS")].toText());
        }
        ASSERT_EQ(numbers_.size(), 8u);
        host_.TakeCalls();
    }

    // Occurrence `position` (from 1), as the server holds it.
    Row stored(int position) { return storedPacket().rows.at(position - 1); }

    // Marks occurrence `position` done on the server, as another desktop would.
    void markDone(int position) {
        const Row before = stored(position);
        Row after = before;
        after[4] = Variant("R");  // IDSITUATPESS
        ASSERT_TRUE(
            direct_->call("SetAfazer", {Variant(reminderDelta({updateOf(before, after)}))}).ok());
    }

    // "dd/mm HH:MM reference state series" per stored reminder, in date order.
    Lines series() {
        const DataPacket packet = storedPacket();
        Lines lines;
        for (const Row& row : packet.rows) {
            const DateTime when = row[packet.fieldIndex("DTATIVPESS")].asDateTime();
            lines.push_back(when.format().substr(0, 5) + " " + when.formatTime().substr(0, 5) +
                            " " + row[packet.fieldIndex("DSREFEATPESS")].toText() + " " +
                            row[packet.fieldIndex("IDSITUATPESS")].toText() + " " +
                            row[packet.fieldIndex("NRREPETATIVP")].toText());
        }
        return lines;
    }

    Row rule(const std::string& seriesNumber) {
        const auto reply = direct_->call("GetRegraAFazer", {kOperator, seriesNumber});
        EXPECT_TRUE(reply.ok());
        const DataPacket packet = reply.payload.asPacket();
        return packet.rows.empty() ? Row{} : packet.rows[0];
    }

    void referenceChange(SeriesScope scope, const std::set<int>& changed, int kept);
    void deleteFromAgenda(SeriesScope scope, const Lines& dates, const std::string& endOfRule);

    std::vector<std::string> numbers_;
};

TEST_F(SeriesScopeTest, OpeningAnOccurrenceShowsItsRuleAndWhichOccurrenceItIs) {
    const bool open = edit(numbers_[1], [](TfrmManutAFazer& f) {
        EXPECT_EQ(f.panSemanal.Color(), clRed);
        EXPECT_EQ(f.panNenhuma.Color(), clWindow);
        EXPECT_TRUE(f.panOpcoes.Visible());
        EXPECT_EQ(f.panSeg.Color(), clRed);
        EXPECT_EQ(f.panSex.Color(), clRed);
        EXPECT_EQ(f.panTer.Color(), clWindow);
        EXPECT_EQ(f.edtInfo.Text(), "Todo(a) seg, sex");
        EXPECT_EQ(f.depDataTermino.GetDate()->date(), Date::fromParts(2007, 8, 10));
        EXPECT_TRUE(f.rdbTermina.Checked());
        f.pgcGeral.SelectPage(f.tshRepeticao);
        EXPECT_EQ(f.panTopoRepet.Caption(), "Inicia em 16 de Julho de 2007 — ocorrência 2 de 8");
        f.bitCancela.Click();
    });
    EXPECT_FALSE(open);
}

TEST_F(SeriesScopeTest, ASeriesStoredWithoutItsRuleShowsTheRuleItsDatesFollowOrNone) {
    const std::string seriesNumber = stored(1)[11].toText();
    ASSERT_TRUE(
        direct_
            ->call("SetSerieAFazer", {Variant(reminderDelta({})), Variant(descriptionDelta({})),
                                      Variant(seriesDelta({deleteOf(rule(seriesNumber))}))})
            .ok());
    ASSERT_TRUE(rule(seriesNumber).empty());
    edit(numbers_[1], [](TfrmManutAFazer& f) {
        EXPECT_EQ(f.panSemanal.Color(), clRed);
        EXPECT_EQ(f.edtInfo.Text(), "Todo(a) seg, sex");
        EXPECT_EQ(f.depDataTermino.GetDate()->date(), Date::fromParts(2007, 8, 10));
        f.pgcGeral.SelectPage(f.tshRepeticao);
        EXPECT_EQ(f.panTopoRepet.Caption(), "Inicia em 16 de Julho de 2007 — ocorrência 2 de 8");
        f.bitCancela.Click();
    });

    // One occurrence moved to a Wednesday: no rule tells these dates.
    const Row before = stored(3);
    Row after = before;
    after[3] = Variant(DateTime::fromParts({2007, 7, 25}, 8));
    ASSERT_TRUE(
        direct_->call("SetAfazer", {Variant(reminderDelta({updateOf(before, after)}))}).ok());
    edit(numbers_[1], [](TfrmManutAFazer& f) {
        EXPECT_EQ(f.panNenhuma.Color(), clRed);
        EXPECT_EQ(f.panSemanal.Color(), clWindow);
        f.bitCancela.Click();
    });
}

TEST_F(SeriesScopeTest, CancellingTheScopeKeepsTheDialogAndChangesNothing) {
    const Lines before = series();
    const bool open = edit(numbers_[4], [&](TfrmManutAFazer& f) {
        f.drtDesc.EnterText("Mudada");
        host_.AnswerChoice(HostServices::kOptionCancelled);
        f.bitConfirma.Click();
        EXPECT_TRUE(f.Visible());
    });
    EXPECT_TRUE(open);
    EXPECT_EQ(series(), before);
    EXPECT_EQ(TakeCalls({"ChooseOption"}),
              Lines{"ChooseOption(Aplicar a:|Somente este lembrete|Este e os próximos|Todos da "
                    "série)"});
}

// The fifth occurrence's reference changed with `scope`, the seventh done: the rows at
// `changed` (positions from 1) take it, and the message tells of `kept` done ones.
void SeriesScopeTest::referenceChange(SeriesScope scope, const std::set<int>& changed, int kept) {
    markDone(7);
    const Lines before = series();
    if (kept > 0) {
        host_.AnswerShowMsg(mrOk);
    }
    const bool open = edit(numbers_[4], [&](TfrmManutAFazer& f) {
        f.drtDesc.EnterText("Mudada");
        host_.AnswerChoice(static_cast<int>(scope));
        f.bitConfirma.Click();
    });
    EXPECT_FALSE(open);
    Lines expected = before;
    for (int position : changed) {
        expected[position - 1].replace(12, std::string("Reunião").size(), "Mudada");
    }
    EXPECT_EQ(series(), expected);
    EXPECT_EQ(
        TakeCalls({"ShowMsg"}),
        kept > 0 ? Lines{"ShowMsg(1 lembrete já realizado foi mantido sem alteração.)"} : Lines{});
}

TEST_F(SeriesScopeTest, AReferenceChangeOfThisOneOnly) {
    referenceChange(SeriesScope::This, {5}, 0);
}

TEST_F(SeriesScopeTest, AReferenceChangeOfThisAndTheFollowingKeepsTheDoneOne) {
    referenceChange(SeriesScope::Following, {5, 6, 8}, 1);
}

TEST_F(SeriesScopeTest, AReferenceChangeOfTheWholeSeriesKeepsTheDoneOne) {
    referenceChange(SeriesScope::All, {1, 2, 3, 4, 5, 6, 8}, 1);
}

TEST_F(SeriesScopeTest, ATimeChangeOfTheWholeSeriesIsOneCallAndMovesTheRuleToo) {
    const bool open = edit(numbers_[2], [&](TfrmManutAFazer& f) {
        f.dtpHora.EnterText("09:30:00");
        host_.AnswerChoice(static_cast<int>(SeriesScope::All));
        host_.TakeCalls();
        f.bitConfirma.Click();
        const Lines calls = serverCallsSince();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "SetSerieAFazer"), 1);
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "SetAfazer"), 0);
    });
    EXPECT_FALSE(open);
    for (const std::string& line : series()) {
        EXPECT_EQ(line.substr(6, 5), "09:30") << line;
    }
    const std::string seriesNumber = stored(1)[11].toText();
    EXPECT_EQ(rule(seriesNumber)[6], Variant(DateTime::fromParts({2007, 7, 16}, 9, 30)));
}

TEST_F(SeriesScopeTest, ANewRuleFromTheFifthOccurrenceOnSplitsTheSeries) {
    markDone(6);
    const std::string first = stored(1)[11].toText();
    host_.AnswerShowMsg(mrOk);
    const bool open = edit(numbers_[4], [&](TfrmManutAFazer& f) {
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panSeg.Click();
        f.panSex.Click();
        f.panTer.Click();
        EXPECT_EQ(f.edtInfo.Text(), "Todo(a) ter");
        host_.AnswerChoice(static_cast<int>(SeriesScope::Following));
        f.bitConfirma.Click();
    });
    EXPECT_FALSE(open);
    const Lines rows = series();
    ASSERT_EQ(rows.size(), 7u);
    const std::string second = rows[4].substr(rows[4].rfind(' ') + 1);
    EXPECT_NE(second, first);
    EXPECT_EQ(rows, (Lines{"16/07 08:00 Reunião P " + first, "20/07 08:00 Reunião P " + first,
                           "23/07 08:00 Reunião P " + first, "27/07 08:00 Reunião P " + first,
                           "31/07 08:00 Reunião P " + second, "03/08 08:00 Reunião R " + first,
                           "07/08 08:00 Reunião P " + second}));
    EXPECT_EQ(rule(first)[7], Variant(DateTime::fromParts({2007, 7, 29})));
    const Row newRule = rule(second);
    ASSERT_FALSE(newRule.empty());
    EXPECT_EQ(newRule[2], Variant("S"));
    EXPECT_EQ(newRule[4], Variant("NNSNNNN"));
    EXPECT_EQ(newRule[6], Variant(DateTime::fromParts({2007, 7, 30}, 8)));
    EXPECT_EQ(TakeCalls({"ShowMsg"}),
              Lines{"ShowMsg(1 lembrete já realizado foi mantido sem alteração.)"});
}

TEST_F(SeriesScopeTest, ANewRuleForOneOccurrenceAloneIsRefused) {
    const Lines before = series();
    const bool open = edit(numbers_[4], [&](TfrmManutAFazer& f) {
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panTer.Click();
        host_.AnswerChoice(static_cast<int>(SeriesScope::This));
        f.bitConfirma.Click();
    });
    EXPECT_TRUE(open);
    EXPECT_EQ(series(), before);
    ASSERT_EQ(host_.Errors().size(), 1u);
    EXPECT_EQ(
        host_.Errors()[0],
        "Uma nova regra de repetição vale para \"Este e os próximos\" ou \"Todos da série\".");
}

TEST_F(SeriesScopeTest, AConflictInTheMiddleLeavesTheWholeSeriesAsItWas) {
    const bool open = edit(numbers_[0], [&](TfrmManutAFazer& f) {
        // Another desktop changes the sixth occurrence while this dialog is open.
        const Row before = stored(6);
        Row after = before;
        after[2] = Variant("Mudada lá");
        ASSERT_TRUE(
            direct_->call("SetAfazer", {Variant(reminderDelta({updateOf(before, after)}))}).ok());
        const Lines meanwhile = series();
        f.dtpHora.EnterText("10:00:00");
        host_.AnswerChoice(static_cast<int>(SeriesScope::All));
        f.bitConfirma.Click();
        EXPECT_TRUE(f.Visible());
        EXPECT_EQ(series(), meanwhile);
        ASSERT_EQ(host_.Errors().size(), 1u);
        EXPECT_NE(host_.Errors()[0].find("foi alterado ou excluído em outra sessão"),
                  std::string::npos);
    });
    EXPECT_TRUE(open);
}

// The fifth occurrence deleted from the agenda with `scope`, the seventh done: `dates` stay,
// and the rule ends on `endOfRule`.
void SeriesScopeTest::deleteFromAgenda(SeriesScope scope, const Lines& dates,
                                       const std::string& endOfRule) {
    markDone(7);
    const std::string seriesNumber = stored(1)[11].toText();
    agenda_->LoadList();
    ASSERT_TRUE(agenda_->cdsAFazer.Locate("NRATIVPESS", Variant(numbers_[4])));
    host_.AnswerChoice(static_cast<int>(scope));
    if (scope != SeriesScope::This) {
        host_.AnswerShowMsg(mrOk);
    }
    agenda_->sbtExcluir.Click();
    Lines left;
    for (const std::string& line : series()) {
        left.push_back(line.substr(0, 5));
    }
    EXPECT_EQ(left, dates);
    const Row kept = rule(seriesNumber);
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(kept[7].asDateTime().date().format(), endOfRule);
    EXPECT_EQ(TakeCalls({"ChooseOption"}),
              Lines{"ChooseOption(Este lembrete faz parte de uma série. Excluir:|Excluir somente "
                    "este|Este e os próximos|Toda a série)"});
    EXPECT_EQ(host_.PendingAnswers(), 0u);
}

TEST_F(SeriesScopeTest, DeletingOnlyThisOccurrence) {
    deleteFromAgenda(SeriesScope::This,
                     {"16/07", "20/07", "23/07", "27/07", "03/08", "06/08", "10/08"}, "10/08/2007");
}

TEST_F(SeriesScopeTest, DeletingThisAndTheFollowingEndsTheRuleTheDayBefore) {
    deleteFromAgenda(SeriesScope::Following, {"16/07", "20/07", "23/07", "27/07", "06/08"},
                     "29/07/2007");
}

TEST_F(SeriesScopeTest, DeletingTheWholeSeriesKeepsTheDoneOneAndItsRule) {
    deleteFromAgenda(SeriesScope::All, {"06/08"}, "10/08/2007");
}

TEST_F(SeriesScopeTest, DeletingAllOfASeriesWithNothingDoneDeletesItsRule) {
    const std::string seriesNumber = stored(1)[11].toText();
    agenda_->LoadList();
    ASSERT_TRUE(agenda_->cdsAFazer.Locate("NRATIVPESS", Variant(numbers_[2])));
    host_.AnswerChoice(static_cast<int>(SeriesScope::All));
    host_.TakeCalls();
    agenda_->sbtExcluir.Click();
    EXPECT_EQ(series(), Lines{});
    EXPECT_TRUE(rule(seriesNumber).empty());
    const Lines calls = serverCallsSince();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "SetSerieAFazer"), 1);
}

// Every stored reminder as "number dd/mm HH:MM reference state series", and the rules of the
// series they belong to.
struct SeriesState {
    Lines rows;
    std::vector<Row> rules;
    friend bool operator==(const SeriesState&, const SeriesState&) = default;
};

TEST_F(SeriesScopeTest, DesfazerTakesBackANewRuleAndThenADeleteWithTheSameNumbers) {
    const auto state = [this] {
        SeriesState now;
        const DataPacket packet = storedPacket();
        std::set<std::string> seriesNumbers;
        const Lines lines = series();
        for (std::size_t i = 0; i < packet.rows.size(); ++i) {
            now.rows.push_back(packet.rows[i][packet.fieldIndex("NRATIVPESS")].toText() + " " +
                               lines[i]);
            seriesNumbers.insert(packet.rows[i][packet.fieldIndex("NRREPETATIVP")].toText());
        }
        for (const std::string& number : seriesNumbers) {
            now.rules.push_back(rule(number));
        }
        return now;
    };
    const SeriesState created = state();
    EXPECT_FALSE(agenda_->mnuDesfazer.Enabled());
    const bool open = edit(numbers_[4], [&](TfrmManutAFazer& f) {
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panSeg.Click();
        f.panSex.Click();
        f.panTer.Click();
        host_.AnswerChoice(static_cast<int>(SeriesScope::Following));
        f.bitConfirma.Click();
    });
    EXPECT_FALSE(open);
    const SeriesState split = state();
    ASSERT_NE(split, created);
    EXPECT_EQ(split.rules.size(), 2u);

    // Saving moved the agenda to the edited day: back to the series' start.
    agenda_->dbcAFazer.SetDate(Date::fromParts(2007, 7, 16));
    ASSERT_TRUE(agenda_->cdsAFazer.Locate("NRATIVPESS", Variant(numbers_[1])));
    host_.AnswerChoice(static_cast<int>(SeriesScope::All));
    agenda_->sbtExcluir.Click();
    ASSERT_EQ(storedPacket().rows.size(), 2u);  // the new series is left

    EXPECT_TRUE(agenda_->mnuDesfazer.Enabled());
    host_.TakeCalls();
    agenda_->PressShortCut("Ctrl+Z");
    EXPECT_EQ(state(), split);
    agenda_->mnuDesfazer.Click();
    EXPECT_EQ(state(), created);
    const Lines calls = serverCallsSince();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "SetSerieAFazer"), 2);
    EXPECT_FALSE(agenda_->mnuDesfazer.Enabled());
    agenda_->PressShortCut("Ctrl+Z");  // nothing left: the disabled item does nothing
    EXPECT_EQ(state(), created);
}

}  // namespace
}  // namespace lembrete::testing
