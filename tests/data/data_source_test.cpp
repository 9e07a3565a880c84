#include "data/data_source.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace lembrete {
namespace {

const char* nameOf(DataChange change) {
    switch (change) {
        case DataChange::DataSetChanged:
            return "dataset";
        case DataChange::RecordChanged:
            return "record";
        case DataChange::Scrolled:
            return "scroll";
        case DataChange::StateChanged:
            return "state";
    }
    return "?";
}

class DataSourceTest : public ::testing::Test {
  protected:
    DataSourceTest() {
        ds.SetData(DataPacket{ds.FieldDefs(), {{Variant("1")}, {Variant("2")}}, {}});
        subscription = source.Subscribe(
            [this](DataChange c) { seen += (seen.empty() ? "" : " ") + std::string(nameOf(c)); });
        seen.clear();
    }
    std::string take() { return std::exchange(seen, {}); }

    ClientDataSet ds{"cdsAFazer", std::vector<FieldDef>{{"NR", FieldType::String, 10, ""}}};
    DataSource source{"dtsAFazer", &ds};
    DataSource::Subscription subscription;
    std::string seen;
};

TEST_F(DataSourceTest, ViewsHearScrollsStatesAndData) {
    ds.Next();
    EXPECT_EQ(take(), "scroll");
    ds.Edit();
    ds.FieldByName("NR").SetAsString("3");
    EXPECT_EQ(take(), "state record");
    ds.Post();
    EXPECT_EQ(take(), "state dataset");
}

TEST_F(DataSourceTest, DisabledControlsDeliverOneNoticeOnEnable) {
    {
        ControlsDisabled outer(ds);
        {
            ControlsDisabled inner(ds);
            ds.First();
            ds.Edit();
            ds.FieldByName("NR").SetAsString("9");
            ds.Post();
        }
        EXPECT_EQ(take(), "");
        EXPECT_TRUE(ds.ControlsDisabled());
    }
    EXPECT_EQ(take(), "dataset");
    EXPECT_FALSE(ds.ControlsDisabled());

    ds.DisableControls();
    ds.EnableControls();  // nothing happened meanwhile: nothing to tell
    EXPECT_EQ(take(), "");
}

TEST_F(DataSourceTest, AttachDetachAndUnsubscribe) {
    source.SetDataSet(nullptr);
    EXPECT_EQ(take(), "dataset");
    ds.Next();
    EXPECT_EQ(take(), "");

    source.SetDataSet(&ds);
    EXPECT_EQ(take(), "dataset");
    subscription.reset();
    ds.Next();
    EXPECT_EQ(take(), "");
}

TEST_F(DataSourceTest, ADestroyedDataSetDetachesItself) {
    auto other = std::make_unique<ClientDataSet>("cdsOutro", ds.FieldDefs());
    source.SetDataSet(other.get());
    take();
    other.reset();
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_EQ(take(), "dataset");
}

TEST(DataSource, SubscriptionsMayOutliveTheSourceAndDropThemselves) {
    ClientDataSet ds("cds", std::vector<FieldDef>{{"NR", FieldType::String, 10, ""}});
    ds.Open();
    DataSource::Subscription survivor;
    int calls = 0;
    {
        DataSource source("dts", &ds);
        DataSource::Subscription self;
        self = source.Subscribe([&](DataChange) {
            ++calls;
            self.reset();  // a view that stops listening while being told
        });
        survivor = source.Subscribe([&](DataChange) { ++calls; });
        ds.First();
        ds.First();
        EXPECT_EQ(calls, 3);
    }
    ds.First();  // the source is gone: nobody is told, nothing breaks
    EXPECT_EQ(calls, 3);
}

}  // namespace
}  // namespace lembrete
