// Event boundaries as the components use them: an Abandon raised anywhere inside a user
// action ends that whole action; other exceptions pass through.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "toolkit/button.h"
#include "toolkit/check_box.h"
#include "toolkit/edit.h"
#include "toolkit/form.h"
#include "toolkit/panel.h"

namespace lembrete {
namespace {

struct Screen : TForm {
    Screen() : TForm("frmTeste") {}
    TButton& btnA = Add<TButton>("btnA");
    TCheckBox& ckcB = Add<TCheckBox>("ckcB");
    TEdit& edtC = Add<TEdit>("edtC");
    std::vector<std::string> log;
};

TEST(EventTest, AbandonDeepInsideNestedEventsEndsTheOuterUserAction) {
    Screen screen;
    screen.btnA.OnClick = [&] {
        screen.log.push_back("click start");
        screen.ckcB.SetChecked(true);  // nested: ckcB's OnClick runs inside
        screen.log.push_back("click end");
    };
    screen.ckcB.OnClick = [&] {
        screen.log.push_back("check start");
        screen.edtC.SetText("x");  // nested again
        screen.log.push_back("check end");
    };
    screen.edtC.OnChange = [&] {
        screen.log.push_back("change");
        throw Abandon();
    };

    screen.btnA.Click();

    EXPECT_EQ(screen.log, (std::vector<std::string>{"click start", "check start", "change"}));
    // State set before the abandon stays, as it would on a real screen.
    EXPECT_TRUE(screen.ckcB.Checked());
    EXPECT_EQ(screen.edtC.Text(), "x");
    EXPECT_FALSE(EventBoundary::insideEvent());
}

TEST(EventTest, OtherExceptionsPassTheBoundary) {
    Screen screen;
    screen.btnA.OnClick = [] { throw std::runtime_error("falha"); };
    EXPECT_THROW(screen.btnA.Click(), std::runtime_error);
    EXPECT_FALSE(EventBoundary::insideEvent());
}

TEST(EventTest, AfterAnAbandonTheNextUserActionRunsNormally) {
    Screen screen;
    int clicks = 0;
    screen.btnA.OnClick = [&] {
        if (++clicks == 1) {
            throw Abandon();
        }
    };
    screen.btnA.Click();
    screen.btnA.Click();
    EXPECT_EQ(clicks, 2);
}

TEST(EventTest, DisabledOrHiddenControlsIgnoreTheUser) {
    Screen screen;
    int clicks = 0;
    screen.btnA.OnClick = [&] { ++clicks; };
    screen.btnA.SetEnabled(false);
    screen.btnA.Click();
    screen.btnA.SetEnabled(true);
    screen.btnA.SetVisible(false);
    screen.btnA.Click();
    EXPECT_EQ(clicks, 0);
}

TEST(EventTest, AHiddenOrDisabledContainerStopsTheUserToo) {
    Screen screen;
    auto& panel = screen.Add<TPanel>("panOpcoes");
    auto& group = screen.Add<TPanel>("panRepetir");
    group.SetParent(&panel);
    screen.ckcB.SetParent(&group);
    panel.SetVisible(false);
    screen.ckcB.Click();
    EXPECT_FALSE(screen.ckcB.Showing());
    panel.SetVisible(true);
    group.SetEnabled(false);
    screen.ckcB.Click();
    EXPECT_TRUE(screen.ckcB.Showing());
    EXPECT_FALSE(screen.ckcB.Checked());
    group.SetEnabled(true);
    screen.ckcB.Click();
    EXPECT_TRUE(screen.ckcB.Checked());
    EXPECT_THROW(panel.SetParent(&screen.ckcB), std::invalid_argument);
}

TEST(EventTest, ObserversSeeEveryPropertyChangeOnceAndStopWhenTheSubscriptionEnds) {
    Screen screen;
    std::vector<std::string> seen;
    auto subscription = screen.ckcB.Observe([&](Component& component, Property property) {
        seen.push_back(component.Name() + "." + std::string(propertyName(property)));
    });
    screen.ckcB.SetChecked(true);
    screen.ckcB.SetChecked(true);  // no change, no notice
    screen.ckcB.SetColor(clRed);
    screen.ckcB.SetCaption("Pendentes");
    subscription.reset();
    screen.ckcB.SetVisible(false);
    EXPECT_EQ(seen, (std::vector<std::string>{"ckcB.Checked", "ckcB.Color", "ckcB.Caption"}));
}

TEST(EventTest, ASubscriptionOutlivingItsComponentIsHarmless) {
    Subscription subscription;
    {
        Screen screen;
        subscription = screen.edtC.Observe([](Component&, Property) {});
    }
    subscription.reset();
    EXPECT_FALSE(subscription.active());
}

}  // namespace
}  // namespace lembrete
