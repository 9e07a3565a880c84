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

// Every stored reminder as "number dd/mm HH:MM reference state series", the rules of the series
// they belong to, and every reminder's description.
struct SeriesState {
    Lines rows;
    std::vector<Row> rules;
    Lines descriptions;
    friend bool operator==(const SeriesState&, const SeriesState&) = default;
};

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

    SeriesState state() {
        SeriesState now;
        const DataPacket packet = storedPacket();
        std::set<std::string> seriesNumbers;
        const Lines lines = series();
        for (std::size_t i = 0; i < packet.rows.size(); ++i) {
            const std::string number = packet.rows[i][packet.fieldIndex("NRATIVPESS")].toText();
            now.rows.push_back(number + " " + lines[i]);
            now.descriptions.push_back(number + " " + storedDescription(number));
            seriesNumbers.insert(packet.rows[i][packet.fieldIndex("NRREPETATIVP")].toText());
        }
        for (const std::string& number : seriesNumbers) {
            now.rules.push_back(rule(number));
        }
        return now;
    }

    // Changes occurrence `position` on the server, as another desktop would.
    void changeElsewhere(int position, const std::string& reference) {
        const Row before = stored(position);
        Row after = before;
        after[2] = Variant(reference);  // DSREFEATPESS
        ASSERT_TRUE(
            direct_->call("SetAfazer", {Variant(reminderDelta({updateOf(before, after)}))}).ok());
    }

    // Gives occurrence `position` the description `text` on the server, as another desktop
    // would.
    void describeElsewhere(int position, const std::string& text) {
        const std::string number = numbers_[position - 1];
        const Row before = descriptionRow(kOperator, number, storedDescription(number));
        ASSERT_TRUE(direct_
                        ->call("SetDescAFazer",
                               {Variant(descriptionDelta(
                                   {updateOf(before, descriptionRow(kOperator, number, text))}))})
                        .ok());
    }

    // "kind weekdays dd/mm/yyyy HH:MM end" of the series' stored rule, or "<none>".
    std::string ruleText(const std::string& seriesNumber) {
        const Row row = rule(seriesNumber);
        if (row.empty()) {
            return "<none>";
        }
        const DateTime start = row[6].asDateTime();
        return row[2].toText() + " " + row[4].toText() + " " + start.date().format() + " " +
               start.formatTime().substr(0, 5) + " " +
               (row[7].isNull() ? "-" : row[7].asDateTime().date().format());
    }

    void referenceChange(SeriesScope scope, const std::set<int>& changed, int kept);
    void descriptionChange(SeriesScope scope, const std::set<int>& changed);
    void dateChange(SeriesScope scope, const Lines& rows, const Lines& rules);
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

TEST_F(SeriesScopeTest, DeletingTheLastOccurrenceLeftDeletesTheRuleWithIt) {
    const std::string seriesNumber = stored(1)[11].toText();
    agenda_->LoadList();
    ASSERT_TRUE(agenda_->cdsAFazer.Locate("NRATIVPESS", Variant(numbers_[1])));
    host_.AnswerChoice(static_cast<int>(SeriesScope::Following));
    agenda_->sbtExcluir.Click();
    ASSERT_EQ(series().size(), 1u);
    ASSERT_NE(ruleText(seriesNumber), "<none>");
    agenda_->LoadList();
    ASSERT_TRUE(agenda_->cdsAFazer.Locate("NRATIVPESS", Variant(numbers_[0])));
    host_.AnswerChoice(static_cast<int>(SeriesScope::This));
    agenda_->sbtExcluir.Click();
    EXPECT_EQ(series(), Lines{});
    EXPECT_EQ(ruleText(seriesNumber), "<none>");
    EXPECT_EQ(host_.PendingAnswers(), 0u);
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

TEST_F(SeriesScopeTest, DesfazerTakesBackANewRuleAndThenADeleteWithTheSameNumbers) {
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

// The fifth occurrence's long description changed with `scope`, the seventh done and the third
// stored without one: the rows at `changed` take it (the third gets one), the others keep
// theirs, in one SetSerieAFazer when more than one row changes.
void SeriesScopeTest::descriptionChange(SeriesScope scope, const std::set<int>& changed) {
    markDone(7);
    const Row third = descriptionRow(kOperator, numbers_[2], storedDescription(numbers_[2]));
    ASSERT_TRUE(
        direct_->call("SetDescAFazer", {Variant(descriptionDelta({deleteOf(third)}))}).ok());
    const Lines rows = series();
    if (scope != SeriesScope::This) {
        host_.AnswerShowMsg(mrOk);
    }
    const std::string text = "{\\rtf1 Pauta: or\\'e7amento}";
    const bool open = edit(numbers_[4], [&](TfrmManutAFazer& f) {
        f.pgcGeral.SelectPage(f.tshObservacao);
        f.dbrTxAtivPess.EnterText(text);
        host_.AnswerChoice(static_cast<int>(scope));
        host_.TakeCalls();
        f.bitConfirma.Click();
        if (scope != SeriesScope::This) {
            const Lines calls = serverCallsSince();
            EXPECT_EQ(std::count(calls.begin(), calls.end(), "SetSerieAFazer"), 1);
            EXPECT_EQ(std::count(calls.begin(), calls.end(), "SetDescAFazer"), 0);
        }
    });
    EXPECT_FALSE(open);
    EXPECT_EQ(series(), rows);
    for (int position = 1; position <= 8; ++position) {
        const std::string unchanged = position == 3 ? "<none>" : "";
        EXPECT_EQ(storedDescription(numbers_[position - 1]),
                  changed.contains(position) ? text : unchanged)
            << "occurrence " << position;
    }
    EXPECT_EQ(host_.PendingAnswers(), 0u);
}

TEST_F(SeriesScopeTest, ADescriptionChangeOfThisOneOnly) {
    descriptionChange(SeriesScope::This, {5});
}

TEST_F(SeriesScopeTest, ADescriptionChangeOfThisAndTheFollowingKeepsTheDoneOne) {
    descriptionChange(SeriesScope::Following, {5, 6, 8});
}

TEST_F(SeriesScopeTest, ADescriptionChangeOfTheWholeSeriesKeepsTheDoneOne) {
    descriptionChange(SeriesScope::All, {1, 2, 3, 4, 5, 6, 8});
}

// The fifth occurrence (Monday 30 July) moved three days on to Thursday 2 August with `scope`,
// the seventh done and the second at 07:15: the stored rows are `rows` ("{1}" the series'
// number, "{2}" a new series') and the rules of {1} and {2} are `rules`.
void SeriesScopeTest::dateChange(SeriesScope scope, const Lines& rows, const Lines& rules) {
    markDone(7);
    {
        const Row before = stored(2);
        Row after = before;
        after[3] = Variant(DateTime::fromParts({2007, 7, 20}, 7, 15));
        ASSERT_TRUE(
            direct_->call("SetAfazer", {Variant(reminderDelta({updateOf(before, after)}))}).ok());
    }
    const std::string first = stored(1)[11].toText();
    if (scope != SeriesScope::This) {
        host_.AnswerShowMsg(mrOk);
    }
    const bool open = edit(numbers_[4], [&](TfrmManutAFazer& f) {
        f.depData.EnterText("02/08/2007");
        host_.AnswerChoice(static_cast<int>(scope));
        host_.TakeCalls();
        f.bitConfirma.Click();
        const Lines calls = serverCallsSince();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "SetSerieAFazer"),
                  scope == SeriesScope::This ? 0 : 1);
    });
    EXPECT_FALSE(open);
    const Lines stored = series();
    std::string second = "-";
    for (const std::string& line : stored) {
        const std::string number = line.substr(line.rfind(' ') + 1);
        if (number != first) {
            second = number;
        }
    }
    const auto named = [&](std::string line) {
        for (const auto& [mark, number] : {std::pair{"{1}", first}, std::pair{"{2}", second}}) {
            if (const auto at = line.find(mark); at != std::string::npos) {
                line.replace(at, 3, number);
            }
        }
        return line;
    };
    Lines expected;
    std::transform(rows.begin(), rows.end(), std::back_inserter(expected), named);
    EXPECT_EQ(stored, expected);
    EXPECT_EQ((Lines{ruleText(first), second == "-" ? "<none>" : ruleText(second)}), rules);
    EXPECT_EQ(host_.PendingAnswers(), 0u);
}

TEST_F(SeriesScopeTest, ADateChangeOfThisOneOnlyMovesItAlone) {
    dateChange(
        SeriesScope::This,
        {"16/07 08:00 Reunião P {1}", "20/07 07:15 Reunião P {1}", "23/07 08:00 Reunião P {1}",
         "27/07 08:00 Reunião P {1}", "02/08 08:00 Reunião P {1}", "03/08 08:00 Reunião P {1}",
         "06/08 08:00 Reunião R {1}", "10/08 08:00 Reunião P {1}"},
        {"S NSNNNSN 16/07/2007 08:00 10/08/2007", "<none>"});
}

TEST_F(SeriesScopeTest, ADateChangeOfThisAndTheFollowingMovesThemAsASeriesOfTheirOwn) {
    dateChange(
        SeriesScope::Following,
        {"16/07 08:00 Reunião P {1}", "20/07 07:15 Reunião P {1}", "23/07 08:00 Reunião P {1}",
         "27/07 08:00 Reunião P {1}", "02/08 08:00 Reunião P {2}", "06/08 08:00 Reunião P {2}",
         "06/08 08:00 Reunião R {1}", "13/08 08:00 Reunião P {2}"},
        {"S NSNNNSN 16/07/2007 08:00 29/07/2007", "S NSNNSNN 02/08/2007 08:00 13/08/2007"});
}

TEST_F(SeriesScopeTest, ADateChangeOfTheWholeSeriesMovesItsRuleAndKeepsTheDoneOne) {
    dateChange(
        SeriesScope::All,
        {"19/07 08:00 Reunião P {1}", "23/07 07:15 Reunião P {1}", "26/07 08:00 Reunião P {1}",
         "30/07 08:00 Reunião P {1}", "02/08 08:00 Reunião P {1}", "06/08 08:00 Reunião P {1}",
         "06/08 08:00 Reunião R {1}", "13/08 08:00 Reunião P {1}"},
        {"S NSNNSNN 19/07/2007 08:00 13/08/2007", "<none>"});
}

TEST_F(SeriesScopeTest, ADateAndTimeChangeGivesEveryMovedOneTheNewTime) {
    host_.AnswerShowMsg(mrOk);
    markDone(1);
    const bool open = edit(numbers_[7], [&](TfrmManutAFazer& f) {
        f.depData.EnterText("08/08/2007");
        f.dtpHora.EnterText("09:30:00");
        host_.AnswerChoice(static_cast<int>(SeriesScope::All));
        f.bitConfirma.Click();
    });
    EXPECT_FALSE(open);
    const std::string number = stored(1)[11].toText();
    EXPECT_EQ(series(),
              (Lines{"16/07 08:00 Reunião R " + number, "18/07 09:30 Reunião P " + number,
                     "21/07 09:30 Reunião P " + number, "25/07 09:30 Reunião P " + number,
                     "28/07 09:30 Reunião P " + number, "01/08 09:30 Reunião P " + number,
                     "04/08 09:30 Reunião P " + number, "08/08 09:30 Reunião P " + number}));
    EXPECT_EQ(ruleText(number), "S NNNSNNS 14/07/2007 09:30 08/08/2007");
}

// A monthly series on the 31st moved a day back falls on 30 January, 28 February, 30 March: no
// monthly rule says so, and the series is left with its dates alone.
TEST_F(SeriesScopeTest, ADateChangeTheRuleCannotFollowLeavesTheSeriesWithoutIt) {
    edit("", [](TfrmManutAFazer& f) {
        f.drtDesc.TypeText("Fechamento");
        f.depData.EnterText("31/01/2008");
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panMensal.Click();
        f.depDataTermino.EnterText("31/03/2008");
        f.bitConfirma.Click();
    });
    agenda_->dbcAFazer.SetDate(Date::fromParts(2008, 1, 31));
    ASSERT_TRUE(agenda_->cdsAFazer.Locate("DSREFEATPESS", Variant("Fechamento")));
    const std::string opened = agenda_->cdsAFazer.FieldByName("NRATIVPESS").AsString();
    const std::string number = agenda_->cdsAFazer.FieldByName("NRREPETATIVP").AsString();
    ASSERT_EQ(ruleText(number), "M NNNNNNN 31/01/2008 08:00 31/03/2008");
    const bool open = edit(opened, [&](TfrmManutAFazer& f) {
        f.depData.EnterText("30/01/2008");
        host_.AnswerChoice(static_cast<int>(SeriesScope::All));
        f.bitConfirma.Click();
    });
    EXPECT_FALSE(open);
    Lines moved;
    for (const std::string& line : series()) {
        if (line.find("Fechamento") != std::string::npos) {
            moved.push_back(line.substr(0, 5));
        }
    }
    EXPECT_EQ(moved, (Lines{"30/01", "28/02", "30/03"}));
    EXPECT_EQ(ruleText(number), "<none>");
}

// Another desktop changes a row in the middle of the series while the dialog is open: a time,
// date or description change of the whole series fails whole, rows, descriptions and rule as
// they were.
struct ConflictCase {
    const char* name;
    bool changeTime;
    bool moveDate;
    bool describe;
    bool describedElsewhere;  // else the sixth occurrence's reference is changed
};

class SeriesConflictTest : public SeriesScopeTest,
                           public ::testing::WithParamInterface<ConflictCase> {};

TEST_P(SeriesConflictTest, NothingOfTheChangeIsStored) {
    const ConflictCase& c = GetParam();
    const bool open = edit(numbers_[4], [&](TfrmManutAFazer& f) {
        if (c.describedElsewhere) {
            describeElsewhere(5, "{\\rtf1 de lá}");
        } else {
            changeElsewhere(6, "Mudada lá");
        }
        const SeriesState meanwhile = state();
        if (c.changeTime) {
            f.dtpHora.EnterText("10:00:00");
        }
        if (c.moveDate) {
            f.depData.EnterText("02/08/2007");
        }
        if (c.describe) {
            f.pgcGeral.SelectPage(f.tshObservacao);
            f.dbrTxAtivPess.EnterText("{\\rtf1 daqui}");
        }
        host_.AnswerChoice(static_cast<int>(SeriesScope::All));
        f.bitConfirma.Click();
        EXPECT_TRUE(f.Visible());
        EXPECT_EQ(state(), meanwhile);
        ASSERT_EQ(host_.Errors().size(), 1u);
        EXPECT_NE(host_.Errors()[0].find("foi alterado ou excluído em outra sessão"),
                  std::string::npos);
    });
    EXPECT_TRUE(open);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, SeriesConflictTest,
    ::testing::Values(ConflictCase{"TimeOverAChangedRow", true, false, false, false},
                      ConflictCase{"DateMovedOverAChangedRow", false, true, false, false},
                      ConflictCase{"DescriptionOverAChangedDescription", false, false, true, true},
                      ConflictCase{"DateAndDescriptionOverAChangedRow", false, true, true, false}),
    [](const ::testing::TestParamInfo<ConflictCase>& info) { return info.param.name; });

TEST_F(SeriesScopeTest, DesfazerTakesBackADateAndDescriptionChangeAsOneStep) {
    markDone(7);
    const SeriesState created = state();
    for (const SeriesScope scope : {SeriesScope::All, SeriesScope::Following}) {
        // Saving moves the agenda to the edited day: back to the series' start.
        agenda_->dbcAFazer.SetDate(Date::fromParts(2007, 7, 16));
        host_.AnswerShowMsg(mrOk);
        const bool open = edit(numbers_[4], [&](TfrmManutAFazer& f) {
            f.depData.EnterText("31/07/2007");
            f.pgcGeral.SelectPage(f.tshObservacao);
            f.dbrTxAtivPess.EnterText("{\\rtf1 Pauta}");
            host_.AnswerChoice(static_cast<int>(scope));
            f.bitConfirma.Click();
        });
        EXPECT_FALSE(open);
        const SeriesState changed = state();
        ASSERT_NE(changed, created);
        host_.TakeCalls();
        agenda_->PressShortCut("Ctrl+Z");
        EXPECT_EQ(state(), created);
        // A series the change made goes with it, rule and all.
        for (const std::string& line : changed.rows) {
            const std::string number = line.substr(line.rfind(' ') + 1);
            if (number != stored(1)[11].toText()) {
                EXPECT_EQ(ruleText(number), "<none>");
            }
        }
        const Lines calls = serverCallsSince();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "SetSerieAFazer"), 1);
        EXPECT_FALSE(agenda_->mnuDesfazer.Enabled());
    }
}

}  // namespace
}  // namespace lembrete::testing