#include "data/client_data_set.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "data/field_width_error.h"

namespace lembrete {
namespace {

// A two-column table: a key and a one-letter state, like a reminder's number and state.
const std::vector<FieldDef> kFields{{"NR", FieldType::String, 10, "T.NR"},
                                    {"ST", FieldType::String, 1, "T.ST"}};

DataPacket packetOf(std::vector<std::pair<std::string, std::string>> rows) {
    DataPacket packet{kFields, {}, {}};
    for (auto& [nr, st] : rows) {
        packet.rows.push_back({Variant(nr), Variant(st)});
    }
    return packet;
}

std::string joined(const Row& row) {
    std::string text;
    for (const auto& value : row) {
        text += (text.empty() ? "" : ",") + value.toText();
    }
    return text;
}

// "insert(7,P) update(3: P→R) delete(9,P)": inserts and deletes with all their values, updates
// with their key and each changed field as old→new.
std::string render(const DataPacket& delta) {
    std::string text;
    for (const auto& change : delta.changes) {
        text += text.empty() ? "" : " ";
        text += changeKindName(change.kind);
        switch (change.kind) {
            case ChangeKind::Insert:
                text += "(" + joined(change.newValues) + ")";
                break;
            case ChangeKind::Delete:
                text += "(" + joined(change.oldValues) + ")";
                break;
            case ChangeKind::Update:
                text += "(" + change.oldValues[0].toText() + ":";
                for (std::size_t i = 0; i < change.oldValues.size(); ++i) {
                    if (!(change.oldValues[i] == change.newValues[i])) {
                        text +=
                            " " + change.oldValues[i].toText() + "→" + change.newValues[i].toText();
                    }
                }
                text += ")";
                break;
        }
    }
    return text;
}

std::string rowsOf(const ClientDataSet& ds) {
    std::string text;
    for (int i = 0; i < ds.RecordCount(); ++i) {
        text += (text.empty() ? "" : " ") + ds.RowAt(i)[0].toText() + ":" + ds.RowAt(i)[1].toText();
    }
    return text;
}

class DataSetTest : public ::testing::Test {
  protected:
    DataSetTest() { ds.SetData(packetOf({{"1", "P"}, {"2", "P"}, {"3", "P"}})); }

    // Records the name of every dataset event as it fires.
    void recordEvents() {
        const auto on = [this](const char* name) {
            return [this, name](ClientDataSet&) { events.push_back(name); };
        };
        ds.BeforeInsert = on("BeforeInsert");
        ds.OnNewRecord = on("OnNewRecord");
        ds.AfterInsert = on("AfterInsert");
        ds.BeforeEdit = on("BeforeEdit");
        ds.AfterEdit = on("AfterEdit");
        ds.BeforePost = on("BeforePost");
        ds.AfterPost = on("AfterPost");
        ds.BeforeCancel = on("BeforeCancel");
        ds.AfterCancel = on("AfterCancel");
        ds.BeforeDelete = on("BeforeDelete");
        ds.AfterDelete = on("AfterDelete");
        ds.AfterOpen = on("AfterOpen");
        ds.AfterScroll = on("AfterScroll");
    }
    std::string takeEvents() {
        std::string text;
        for (const auto& e : events) {
            text += (text.empty() ? "" : " ") + e;
        }
        events.clear();
        return text;
    }
    void appendRow(const std::string& nr, const std::string& st) {
        ds.Append();
        ds.FieldByName("NR").SetAsString(nr);
        ds.FieldByName("ST").SetAsString(st);
        ds.Post();
    }
    void setState(const std::string& nr, const std::string& st) {
        ASSERT_TRUE(ds.Locate("NR", Variant(nr))) << nr;
        ds.Edit();
        ds.FieldByName("ST").SetAsString(st);
        ds.Post();
    }

    ClientDataSet ds{"cdsTeste", kFields};
    std::vector<std::string> events;
};

// --- states and events ------------------------------------------------------------------------

TEST_F(DataSetTest, EventsFireInOrderThroughEveryState) {
    recordEvents();
    ds.SetData(packetOf({{"1", "P"}}));
    EXPECT_EQ(takeEvents(), "AfterOpen AfterScroll");
    EXPECT_EQ(ds.State(), DataSetState::Browse);

    ds.Append();
    EXPECT_EQ(ds.State(), DataSetState::Insert);
    EXPECT_EQ(takeEvents(), "BeforeInsert OnNewRecord AfterInsert");
    ds.FieldByName("NR").SetAsString("2");
    ds.Post();
    EXPECT_EQ(takeEvents(), "BeforePost AfterPost");
    EXPECT_EQ(ds.State(), DataSetState::Browse);

    ds.Edit();
    EXPECT_EQ(ds.State(), DataSetState::Edit);
    EXPECT_EQ(takeEvents(), "BeforeEdit AfterEdit");
    ds.Edit();  // already editing: nothing happens
    EXPECT_EQ(takeEvents(), "");
    ds.Cancel();
    EXPECT_EQ(takeEvents(), "BeforeCancel AfterCancel");

    ds.Delete();
    EXPECT_EQ(takeEvents(), "BeforeDelete AfterDelete AfterScroll");
    ds.Close();
    EXPECT_EQ(ds.State(), DataSetState::Inactive);
    EXPECT_THROW(ds.First(), std::logic_error);
}

TEST_F(DataSetTest, FailingNewRecordHandlersAbortTheAppend) {
    for (auto* handler : {&ds.BeforeInsert, &ds.OnNewRecord}) {
        *handler = [](ClientDataSet&) { throw std::runtime_error("recusado"); };
        EXPECT_THROW(ds.Append(), std::runtime_error);
        EXPECT_EQ(ds.State(), DataSetState::Browse);
        EXPECT_EQ(ds.RecordCount(), 3);
        EXPECT_EQ(ds.ChangeCount(), 0);
        EXPECT_EQ(ds.FieldByName("NR").AsString(), "1");
        *handler = nullptr;
    }
}

TEST_F(DataSetTest, FailingBeforePostKeepsTheRowInEdit) {
    ds.BeforePost = [](ClientDataSet&) { throw std::runtime_error("inválido"); };
    ds.Append();
    ds.FieldByName("NR").SetAsString("4");
    EXPECT_THROW(ds.Post(), std::runtime_error);
    EXPECT_EQ(ds.State(), DataSetState::Insert);
    EXPECT_EQ(ds.FieldByName("NR").AsString(), "4");
    EXPECT_EQ(ds.RecordCount(), 3);

    ds.BeforePost = nullptr;
    ds.Post();
    EXPECT_EQ(rowsOf(ds), "1:P 2:P 3:P 4:");
    EXPECT_EQ(render(ds.Delta()), "insert(4,)");
}

TEST_F(DataSetTest, FailingAfterPostLeavesTheRowPostedAndLogged) {
    ds.AfterPost = [](ClientDataSet&) { throw std::runtime_error("falha no envio"); };
    ds.Edit();
    ds.FieldByName("ST").SetAsString("R");
    EXPECT_THROW(ds.Post(), std::runtime_error);
    EXPECT_EQ(ds.State(), DataSetState::Browse);
    EXPECT_EQ(render(ds.Delta()), "update(1: P→R)");
}

TEST_F(DataSetTest, BeforePostMayFillFieldsAndAfterPostMayReloadOrMerge) {
    ds.BeforePost = [](ClientDataSet& d) {
        if (d.State() == DataSetState::Insert) {
            d.FieldByName("ST").SetAsString("P");
        }
    };
    ds.AfterPost = [](ClientDataSet& d) {
        EXPECT_EQ(render(d.Delta()), "insert(9,P)");
        d.MergeChangeLog();
        d.SetData(d.Data());
    };
    ds.Append();
    ds.FieldByName("NR").SetAsString("9");
    ds.Post();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(rowsOf(ds), "1:P 2:P 3:P 9:P");
    EXPECT_EQ(ds.RecNo(), 1);
}

TEST_F(DataSetTest, CursorWalksBetweenBofAndEof) {
    std::string seen;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        seen += ds.FieldByName("NR").AsString();
    }
    EXPECT_EQ(seen, "123");
    EXPECT_EQ(ds.RecNo(), 3);
    for (ds.Last(); !ds.Bof(); ds.Prior()) {
        seen += ds.FieldByName("NR").AsString();
    }
    EXPECT_EQ(seen, "123321");
    EXPECT_TRUE(ds.MoveTo(2));
    EXPECT_EQ(ds.FieldByName("NR").AsString(), "2");
    EXPECT_FALSE(ds.MoveTo(4));

    ds.SetData(packetOf({}));
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_TRUE(ds.Eof());
    EXPECT_TRUE(ds.Bof());
    EXPECT_EQ(ds.RecNo(), 0);
    EXPECT_TRUE(ds.FieldByName("NR").IsNull());
    EXPECT_THROW(ds.Delete(), std::logic_error);
}

TEST_F(DataSetTest, MovingAwayStoresAModifiedRowAndDropsAnUntouchedOne) {
    ds.Edit();
    ds.FieldByName("ST").SetAsString("R");
    ds.Next();
    EXPECT_EQ(rowsOf(ds), "1:R 2:P 3:P");

    ds.Append();  // nothing set: moving away drops it
    ds.First();
    EXPECT_EQ(ds.RecordCount(), 3);

    ds.Edit();
    ds.FieldByName("ST").SetAsString("X");
    ds.Append();  // the pending edit is stored before the new row starts
    EXPECT_EQ(rowsOf(ds), "1:X 2:P 3:P");
    EXPECT_EQ(ds.State(), DataSetState::Insert);
}

TEST_F(DataSetTest, WritesNeedEditOrInsertState) {
    EXPECT_THROW(ds.FieldByName("ST").SetAsString("R"), std::logic_error);
    EXPECT_THROW(ds.Post(), std::logic_error);
    EXPECT_THROW(ds.FieldByName("NOPE"), std::out_of_range);
    EXPECT_EQ(ds.FieldByName("st").Index(), 1);
}

TEST_F(DataSetTest, InsertGoesBeforeTheCurrentRowAndEditOnEmptyAppends) {
    ds.MoveTo(2);
    ds.Insert();
    EXPECT_EQ(ds.RecNo(), 2);
    ds.FieldByName("NR").SetAsString("7");
    ds.Post();
    EXPECT_EQ(rowsOf(ds), "1:P 7: 2:P 3:P");
    EXPECT_EQ(ds.FieldByName("NR").AsString(), "7");

    ClientDataSet empty("cdsVazio", kFields);
    empty.Open();
    empty.Edit();
    EXPECT_EQ(empty.State(), DataSetState::Insert);
}

// --- change log ---------------------------------------------------------------------------------

TEST_F(DataSetTest, DeltaNetsOutMixedChanges) {
    ds.SetData(packetOf({{"1", "P"}, {"3", "P"}, {"5", "P"}, {"8", "P"}, {"9", "P"}}));
    setState("3", "R");   // edited once
    appendRow("7", "P");  // inserted
    setState("7", "R");   // inserted then edited: one insert, final values
    appendRow("6", "P");  // inserted then deleted: nothing
    ds.Delete();
    setState("5", "R");  // edited then deleted: delete with the original values
    ds.Delete();
    setState("8", "R");  // edited twice: first old values, latest new values
    setState("8", "X");
    setState("1", "R");  // edited back: nothing
    setState("1", "P");
    ASSERT_TRUE(ds.Locate("NR", Variant("9")));
    ds.Delete();

    EXPECT_EQ(render(ds.Delta()),
              "update(3: P→R) insert(7,R) delete(5,P) update(8: P→X) delete(9,P)");
    EXPECT_EQ(ds.ChangeCount(), 5);
    EXPECT_EQ(ds.Delta().fields, kFields);
    EXPECT_TRUE(ds.Delta().rows.empty());
}

// The delta refers to the rows the dataset holds; a later edit makes new values for the row, so
// a delta taken before it still says what it said.
TEST_F(DataSetTest, DeltaSharesTheRowsAndKeepsThemAcrossLaterEdits) {
    appendRow("4", "P");
    setState("2", "R");
    const DataPacket delta = ds.Delta();
    ASSERT_EQ(render(delta), "insert(4,P) update(2: P→R)");
    EXPECT_EQ(&delta.changes[0].newValues.values(), &ds.RowAt(3));
    EXPECT_EQ(&delta.changes[1].newValues.values(), &ds.RowAt(1));

    setState("4", "X");
    setState("2", "Y");
    ds.First();
    ds.Delete();
    EXPECT_EQ(render(delta), "insert(4,P) update(2: P→R)");
    EXPECT_EQ(render(ds.Delta()), "insert(4,X) update(2: P→Y) delete(1,P)");
    ds.CancelUpdates();
    EXPECT_EQ(rowsOf(ds), "1:P 2:P 3:P");
    EXPECT_EQ(render(delta), "insert(4,P) update(2: P→R)");
}

TEST_F(DataSetTest, PostingAnUnchangedRowLogsNothing) {
    int posts = 0;
    ds.AfterPost = [&](ClientDataSet&) { ++posts; };
    ds.Edit();
    ds.FieldByName("ST").SetAsString("P");
    ds.Post();
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(render(ds.Delta()), "");
}

TEST_F(DataSetTest, MergeAcceptsTheChanges) {
    setState("2", "R");
    appendRow("4", "P");
    ds.MergeChangeLog();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(rowsOf(ds), "1:P 2:R 3:P 4:P");

    setState("2", "P");  // the merged value is now the old value
    ds.Delete();
    EXPECT_EQ(render(ds.Delta()), "delete(2,R)");
    ds.CancelUpdates();
    EXPECT_EQ(rowsOf(ds), "1:P 2:R 3:P 4:P");
}

TEST_F(DataSetTest, CancelUpdatesRestoresRowsInTheirPlaces) {
    const DataPacket before = ds.Data();
    setState("2", "R");
    ds.MoveTo(2);
    ds.Insert();
    ds.FieldByName("NR").SetAsString("5");
    ds.Post();
    setState("1", "X");
    ds.Delete();
    setState("3", "R");
    ds.Edit();
    ds.FieldByName("ST").SetAsString("Y");  // left pending
    ds.CancelUpdates();

    EXPECT_EQ(ds.State(), DataSetState::Browse);
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(ds.Data(), before);
    EXPECT_EQ(render(ds.Delta()), "");
}

TEST_F(DataSetTest, UnloggedPostsStayOutOfTheDelta) {
    ds.SetLogChanges(false);
    appendRow("4", "P");
    ds.SetLogChanges(true);
    appendRow("5", "P");
    ds.First();
    ds.Delete();
    EXPECT_EQ(render(ds.Delta()), "insert(5,P) delete(1,P)");
    ds.CancelUpdates();
    EXPECT_EQ(rowsOf(ds), "1:P 2:P 3:P 4:P");
}

TEST_F(DataSetTest, ChangesFindTheirRowsAcrossMergesReloadsAndReopening) {
    appendRow("4", "P");
    ds.MergeChangeLog();
    setState("4", "R");
    setState("2", "R");
    setState("4", "X");
    EXPECT_EQ(render(ds.Delta()), "update(4: P→X) update(2: P→R)");

    ds.SetData(packetOf({{"7", "P"}, {"8", "P"}}));  // a reload with changes still logged
    setState("8", "R");
    appendRow("9", "P");
    setState("9", "R");
    setState("7", "R");
    setState("7", "P");
    EXPECT_EQ(render(ds.Delta()), "update(8: P→R) insert(9,R)");
    EXPECT_EQ(ds.ChangeCount(), 2);

    ds.Close();
    ds.Open();
    appendRow("1", "P");
    setState("1", "R");
    EXPECT_EQ(render(ds.Delta()), "insert(1,R)");
    EXPECT_EQ(ds.ChangeCount(), 1);
}

TEST_F(DataSetTest, SetDataReplacesFieldsRowsAndLog) {
    setState("1", "R");
    DataPacket packet{{{"A", FieldType::Integer, 0, ""}}, {{Variant(5)}, {Variant(6)}}, {}};
    ds.SetData(packet);
    EXPECT_EQ(ds.FieldCount(), 1);
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(ds.FieldByName("A").AsInteger(), 5);
    EXPECT_EQ(ds.Data(), packet);

    DataPacket ragged{
        {{"A", FieldType::Integer, 0, ""}, {"B", FieldType::Integer, 0, ""}}, {{Variant(1)}}, {}};
    EXPECT_THROW(ds.SetData(ragged), std::invalid_argument);
    EXPECT_EQ(ds.Data(), packet);
}

// --- locate
// ---------------------------------------------------------------------------------------

TEST_F(DataSetTest, LocateIgnoresLetterCase) {
    ClientDataSet refs("cdsRefs", std::vector<FieldDef>{{"REF", FieldType::String, 100, ""},
                                                        {"N", FieldType::Float, 0, ""}});
    refs.SetData(DataPacket{refs.FieldDefs(),
                            {{Variant("Dentista"), Variant(1.0)},
                             {Variant("REUNIÃO ANUAL"), Variant(2.0)},
                             {Variant("Referência"), Variant(3.0)}},
                            {}});
    int scrolls = 0;
    refs.AfterScroll = [&](ClientDataSet&) { ++scrolls; };
    EXPECT_TRUE(refs.Locate("ref", Variant("reunião anual")));
    EXPECT_EQ(refs.RecNo(), 2);
    EXPECT_TRUE(refs.Locate("REF", Variant("REFERÊNCIA")));
    EXPECT_EQ(refs.RecNo(), 3);
    EXPECT_EQ(scrolls, 2);
    EXPECT_FALSE(refs.Locate("REF", Variant("dentist")));
    EXPECT_EQ(refs.RecNo(), 3);
    EXPECT_TRUE(refs.Locate("N", Variant(1)));  // an integer finds the float field's 1.0
    EXPECT_EQ(refs.FieldByName("REF").AsString(), "Dentista");
    EXPECT_TRUE(refs.Locate("N", Variant("3")));
    EXPECT_EQ(refs.RecNo(), 3);
    EXPECT_FALSE(refs.Locate("N", Variant("três")));
    EXPECT_EQ(scrolls, 4);
}

TEST_F(DataSetTest, NumbersFromThePacketTakeTheirFieldsKind) {
    ClientDataSet ds2("cdsNum", std::vector<FieldDef>{{"Q", FieldType::Float, 0, ""},
                                                      {"I", FieldType::Integer, 0, ""}});
    ds2.SetData(DataPacket{ds2.FieldDefs(), {{Variant(15), Variant(4.0)}}, {}});
    EXPECT_EQ(ds2.RowAt(0)[0], Variant(15.0));
    EXPECT_EQ(ds2.RowAt(0)[1], Variant(std::int64_t{4}));
    ds2.Edit();
    ds2.FieldByName("Q").SetAsFloat(15);
    ds2.Post();
    EXPECT_EQ(ds2.ChangeCount(), 0);
}

TEST_F(DataSetTest, NoSecondScrollWhenAfterDeleteReloads) {
    recordEvents();
    ds.AfterDelete = [this](ClientDataSet& d) {
        events.push_back("AfterDelete");
        d.MergeChangeLog();
        d.SetData(d.Data());
    };
    ds.Delete();
    EXPECT_EQ(takeEvents(), "BeforeDelete AfterDelete AfterOpen AfterScroll");
    EXPECT_EQ(rowsOf(ds), "2:P 3:P");
}

// --- values
// -----------------------------------------------------------------------------------------

TEST(FieldWidth, CountsCharactersAndRefusesLongerText) {
    ClientDataSet ds(
        "cdsAFazer",
        {FieldLayout{
            {"DSREFEATPESS", FieldType::String, 100, ""}, "Referência", Alignment::Left, true}});
    ds.Open();
    ds.Append();
    std::string hundred;
    for (int i = 0; i < 10; ++i) {
        hundred += "Referência";  // 10 characters, 11 bytes
    }
    ASSERT_EQ(hundred.size(), 110u);
    ds.FieldByName("DSREFEATPESS").SetAsString(hundred);
    EXPECT_EQ(ds.FieldByName("DSREFEATPESS").AsString(), hundred);

    try {
        ds.FieldByName("DSREFEATPESS").SetAsString(hundred + "ç");
        FAIL() << "a 101st character was accepted";
    } catch (const FieldWidthError& e) {
        EXPECT_STREQ(e.what(), "O campo \"Referência\" aceita no máximo 100 caracteres.");
        EXPECT_EQ(e.width(), 100);
    }
    EXPECT_EQ(ds.FieldByName("DSREFEATPESS").AsString(), hundred);
    ds.Post();
    EXPECT_EQ(ds.FieldByName("DSREFEATPESS").AsString(), hundred);

    ds.Edit();
    EXPECT_THROW(ds.FieldByName("dsrefeatpess").SetValue(Variant(std::string(101, 'x'))),
                 std::invalid_argument);
}

TEST(FieldValues, ConvertToTheFieldType) {
    ClientDataSet ds("cds", std::vector<FieldDef>{{"Q", FieldType::Float, 0, ""},
                                                  {"D", FieldType::DateTime, 0, ""},
                                                  {"I", FieldType::Integer, 0, ""},
                                                  {"T", FieldType::Blob, 0, ""},
                                                  {"S", FieldType::String, 3, ""}});
    ds.Open();
    ds.Append();
    ds.FieldByName("Q").SetAsString("2.5");
    ds.FieldByName("D").SetAsString("29/02/2024 10:15");
    ds.FieldByName("I").SetAsFloat(12);
    ds.FieldByName("T").SetAsString("{\\rtf1 x}");
    ds.FieldByName("S").SetAsInteger(123);
    EXPECT_EQ(ds.FieldByName("Q").AsVariant(), Variant(2.5));
    EXPECT_EQ(ds.FieldByName("D").AsDateTime().format(), "29/02/2024 10:15:00");
    EXPECT_EQ(ds.FieldByName("I").AsVariant(), Variant(std::int64_t{12}));
    EXPECT_EQ(ds.FieldByName("T").AsVariant(), Variant(Blob{"{\\rtf1 x}"}));
    EXPECT_EQ(ds.FieldByName("S").AsString(), "123");

    ds.FieldByName("Q").SetAsString("  ");
    EXPECT_TRUE(ds.FieldByName("Q").IsNull());
    EXPECT_DOUBLE_EQ(ds.FieldByName("Q").AsFloat(), 0);
    EXPECT_THROW(ds.FieldByName("Q").SetAsString("muito"), std::invalid_argument);
    EXPECT_THROW(ds.FieldByName("I").SetAsFloat(1.5), std::invalid_argument);
    EXPECT_THROW(ds.FieldByName("D").SetAsString("31/02/2024"), std::invalid_argument);
    EXPECT_THROW(ds.FieldByName("S").SetAsInteger(1234), FieldWidthError);
    ds.FieldByName("S").Clear();
    EXPECT_TRUE(ds.FieldByName("S").IsNull());
}

}  // namespace
}  // namespace lembrete
